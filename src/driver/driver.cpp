#include "driver/driver.h"

#include <cstdio>
#include <cstring>

#include "driver/version.h"
#include "platform/platform.h"
#include "search/month_scan.h"
#include "settings/settings.h"

const char* program_name = "";
std::string executable_directory;

namespace {
const char kVersionOption[] = "--version";
const char kVersionLine[] = "logsift version %d.%d.%d%s(%s)\n";
}  // namespace

bool locate_executable_directory() { return platform_executable_directory(executable_directory); }

void print_version() {
  std::printf(kVersionLine, kVersion.major, kVersion.minor, kVersion.patch,
              kVersion.release_suffix, kVersion.build_note);
}

int run_search(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], kVersionOption) == 0) {
    print_version();
    return 0;
  }
  if (!load_search_settings()) return 1;
  scan_event_logs();
  return 0;
}
