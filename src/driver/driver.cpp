#include "driver/driver.h"

#include <cstdarg>
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

bool locate_executable_directory(const char* argv0) {
  return platform_executable_directory(argv0, executable_directory);
}

void report(const char* format, ...) {
  // A stream that has failed keeps its error for the end of the run, where it
  // is reported; flushing it again would only repeat the failed write.
  if (!std::ferror(stdout)) std::fflush(stdout);
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
}

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
