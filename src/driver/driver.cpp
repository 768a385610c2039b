#include "driver/driver.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>

#include "driver/version.h"
#include "platform/platform.h"
#include "search/month_log.h"
#include "search/month_scan.h"
#include "settings/settings.h"

namespace {

const char kVersionOption[] = "--version";
const char kVersionLine[] = "logsift version %d.%d.%d%s(%s)\n";

const char kCannotRead[] = "can not read %s: %s\n";
const char kInvalidStartTime[] = "invalid start time: %s\n";
const char kInvalidEndTime[] = "invalid end time: %s\n";
const char kNothingToSearch[] = "no id or string specified\n";
const char kNoSettingsFile[] = "no settings file at %s\n";

void report_cannot_read(const std::string& path, const std::string& reason) {
  report(kCannotRead, path.c_str(), reason.c_str());
}

// The settings; false after telling the user what is wrong with them.
bool read_settings(const std::string& directory, SearchSettings& settings) {
  const std::string path = directory + "/" + kSettingsFileName;
  SettingsFile file;
  std::string reason;
  // A settings file that is there but cannot be read would otherwise look
  // empty, and the user would be told the start time is invalid.
  const OpenStatus opened = file.open(path, reason);
  if (opened == OpenStatus::failed) {
    report_cannot_read(path, reason);
    return false;
  }
  SettingsReading reading = read_search_settings(file);
  switch (reading.problem) {
    case SettingsProblem::none:
      settings = std::move(reading.settings);
      return true;
    case SettingsProblem::invalid_start_time:
      report(kInvalidStartTime, reading.text.c_str());
      // Without the file every key is missing; the path says where it was looked for.
      if (opened == OpenStatus::missing) report(kNoSettingsFile, path.c_str());
      return false;
    case SettingsProblem::invalid_end_time:
      report(kInvalidEndTime, reading.text.c_str());
      return false;
    case SettingsProblem::nothing_to_search:
      report(kNothingToSearch);
      return false;
  }
  return false;
}

}  // namespace

bool locate_executable_directory(const char* argv0, std::string& directory) {
  if (!platform_executable_directory(argv0, directory)) return false;
  // A folder whose month logs' paths the system cannot open would look as if
  // it held no logs.
  return platform_longest_path() - kMonthLogNameLength >= directory.size();
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
  std::printf(kVersionLine, kVersion.major, kVersion.minor, kVersion.patch, kVersion.release_suffix,
              kVersion.build_note);
}

int run_search(int argc, char** argv, const std::string& directory) {
  if (argc > 1 && std::strcmp(argv[1], kVersionOption) == 0) {
    print_version();
    return 0;
  }
  ScanTask task{directory, {}, {stdout, platform_stdout_is_terminal(), &report_cannot_read}};
  if (!read_settings(directory, task.settings)) return 1;
  std::fputs(format_announcement(task.settings).c_str(), stdout);
  scan_event_logs(task);
  return 0;
}
