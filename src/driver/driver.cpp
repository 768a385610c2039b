#include "driver/driver.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "driver/command_line.h"
#include "driver/version.h"
#include "output/manifest.h"
#include "output/progress.h"
#include "output/result_writer.h"
#include "platform/platform.h"
#include "search/month_log.h"
#include "search/month_scan.h"
#include "settings/settings.h"

namespace {

const char kVersionOption[] = "--version";
const char kVersionLine[] = "logsift version %d.%d.%d%s(%s)\n";

const char kCannotRead[] = "can not read %s: %s\n";
const char kCannotWrite[] = "can not write to %s: %s\n";
const char kInvalidStartTime[] = "invalid start time: %s\n";
const char kInvalidEndTime[] = "invalid end time: %s\n";
const char kInvalidSinceTime[] = "invalid since time: %s\n";
const char kInvalidUntilTime[] = "invalid until time: %s\n";
const char kInvalidFormat[] = "invalid format: %s\n";
const char kInvalidIgnoreCase[] = "invalid ignore_case: %s\n";
const char kInvalidContext[] = "invalid context: %s\n";
const char kInvalidProgress[] = "invalid progress: %s\n";
const char kNothingToSearch[] = "no id or string specified\n";
const char kNoSettingsFile[] = "no settings file at %s\n";
const char kMissingValue[] = "option %s needs a value\n";
const char kUnexpectedValue[] = "option %s takes no value\n";
const char kTooManySearches[] = "too many search strings: %s is given more than %d times\n";
const char kNoSuchFile[] = "no such file";
const char kNoSuchFolder[] = "no such folder";
const char kManifestOk[] = "ok";

void report_cannot_read(const std::string& path, const std::string& reason) {
  report(kCannotRead, path.c_str(), reason.c_str());
}

// False after telling the user what is wrong with the command line.
bool check_command_line(const CommandLine& line) {
  switch (line.problem) {
    case CommandLineProblem::none:
      return true;
    case CommandLineProblem::missing_value:
      report(kMissingValue, line.option.c_str());
      return false;
    case CommandLineProblem::unexpected_value:
      report(kUnexpectedValue, line.option.c_str());
      return false;
    case CommandLineProblem::too_many_searches:
      report(kTooManySearches, line.option.c_str(), kSearchSlots);
      return false;
  }
  return false;
}

// The settings, from the file and the command line; false after telling the
// user what is wrong with them.
bool read_settings(const std::string& path, const CommandLine& line, RunSettings& settings) {
  SettingsFile file;
  std::string reason;
  // A settings file that is there but cannot be read would otherwise look
  // empty, and the user would be told the start time is invalid.
  const OpenStatus opened = file.open(path, reason);
  if (opened == OpenStatus::failed) {
    report_cannot_read(path, reason);
    return false;
  }
  // A file the user named must be there; the one beside the program need not
  // be when the command line gives the whole task.
  if (opened == OpenStatus::missing && !line.config.empty()) {
    report_cannot_read(path, kNoSuchFile);
    return false;
  }
  SettingsReading reading = read_search_settings(file, line.overrides);
  const char* text = reading.text.c_str();
  switch (reading.problem) {
    case SettingsProblem::none:
      settings = std::move(reading.settings);
      return true;
    case SettingsProblem::invalid_start_time:
      report(kInvalidStartTime, text);
      // Without the file every key is missing; the path says where it was looked for.
      if (opened == OpenStatus::missing) report(kNoSettingsFile, path.c_str());
      return false;
    case SettingsProblem::invalid_end_time:
      report(kInvalidEndTime, text);
      return false;
    case SettingsProblem::invalid_since_time:
      report(kInvalidSinceTime, text);
      return false;
    case SettingsProblem::invalid_until_time:
      report(kInvalidUntilTime, text);
      return false;
    case SettingsProblem::invalid_format:
      report(kInvalidFormat, text);
      return false;
    case SettingsProblem::invalid_ignore_case:
      report(kInvalidIgnoreCase, text);
      return false;
    case SettingsProblem::invalid_context:
      report(kInvalidContext, text);
      return false;
    case SettingsProblem::invalid_progress:
      report(kInvalidProgress, text);
      return false;
    case SettingsProblem::nothing_to_search:
      report(kNothingToSearch);
      return false;
  }
  return false;
}

// The folder part of a path, without its last separator; "." for none.
std::string folder_of(const std::string& path) {
  const std::size_t slash = path.find_last_of(platform_path_separators());
  if (slash == std::string::npos) return ".";
  return path.substr(0, slash == 0 ? 1 : slash);
}

// The folder of the month logs: --dir as given (a relative one is taken from
// the working directory), else log_dir (a relative one from the settings
// file's folder), else the program's. False after telling the user that a
// folder they named is not there.
bool logs_folder(const CommandLine& line, const RunSettings& settings, const std::string& settings_path,
                 const std::string& program_folder, std::string& folder) {
  if (!line.dir.empty()) {
    folder = line.dir;
  } else if (!settings.log_dir.empty()) {
    folder = platform_is_absolute_path(settings.log_dir) ? settings.log_dir
                                                         : folder_of(settings_path) + "/" + settings.log_dir;
  } else {
    folder = program_folder;
    return true;
  }
  // Every month would look missing, and the search would find nothing.
  if (platform_is_directory(folder)) return true;
  report_cannot_read(folder, kNoSuchFolder);
  return false;
}

// Every setting of the run, as the manifest records it.
std::vector<std::pair<std::string, std::string>> manifest_settings(const RunSettings& run, const std::string& path,
                                                                   const std::string& folder,
                                                                   const CommandLine& line) {
  const SearchSettings& s = run.search;
  static const char* const kFormats[] = {"text", "csv", "jsonl", "count"};
  std::vector<std::pair<std::string, std::string>> out = {{"settings_file", path}, {"log_dir", folder},
                                                          {"start_time", format_month(s.start)},
                                                          {"end_time", format_month(s.end)}};
  for (int slot = 0; slot < kSearchSlots; ++slot) {
    out.emplace_back("search" + std::to_string(slot + 1), s.search_strings[static_cast<std::size_t>(slot)]);
  }
  out.insert(out.end(), {{"multi_search", s.all_mode ? "and" : "or"},
                         {"search_id", s.search_id},
                         {"from_id", s.from_id},
                         {"to_id", s.to_id},
                         {"conf_id", s.conf_id},
                         {"room", s.room},
                         {"since", s.since},
                         {"until", s.until},
                         {"ignore_case", s.ignore_case ? "yes" : "no"},
                         {"format", kFormats[static_cast<int>(run.format)]},
                         {"context", std::to_string(s.context)},
                         {"output", line.output}});
  return out;
}

// Where the results go: standard output, or a new file beside the one the
// user named, which takes that one's place only when everything was written.
class Results {
 public:
  // False after telling the user that the file cannot be made.
  bool open(const std::string& path) {
    path_ = path;
    if (path.empty()) return true;
    std::string reason;
    if (platform_create_beside(path, file_, temp_path_, reason)) return true;
    report(kCannotWrite, path.c_str(), reason.c_str());
    return false;
  }

  std::FILE* file() const { return file_; }
  bool is_stdout() const { return path_.empty(); }

  // Ends the results of a search that ran; false when they could not be
  // written. A file that could not be written whole leaves the named one as
  // it was. Standard output is checked at the program's end.
  bool close() {
    if (is_stdout()) return true;
    const bool written = std::fflush(file_) == 0 && !std::ferror(file_);
    std::string reason = std::strerror(errno);
    const bool closed = std::fclose(file_) == 0;
    if (written && !closed) reason = std::strerror(errno);
    file_ = nullptr;
    if (written && closed && platform_replace_file(temp_path_, path_, reason)) return true;
    platform_remove_file(temp_path_);
    report(kCannotWrite, path_.c_str(), reason.c_str());
    return false;
  }

  // For a run that ends before its search: no file is left behind.
  ~Results() {
    if (file_ == nullptr || is_stdout()) return;
    std::fclose(file_);
    platform_remove_file(temp_path_);
  }

 private:
  std::string path_;
  std::FILE* file_ = stdout;
  std::string temp_path_;
};

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

std::string version_line() {
  char line[256];
  std::snprintf(line, sizeof line, kVersionLine, kVersion.major, kVersion.minor, kVersion.patch,
                kVersion.release_suffix, kVersion.build_note);
  return line;
}

void print_version() { std::fputs(version_line().c_str(), stdout); }

int run_search(int argc, char** argv, const std::string& directory) {
  if (argc > 1 && std::strcmp(argv[1], kVersionOption) == 0) {
    print_version();
    return 0;
  }
  const CommandLine line = parse_command_line(platform_arguments(argc, argv), std::vector<std::string>(argv, argv + argc));
  if (line.help) {
    std::fputs(usage_text(), stdout);
    return 0;
  }
  if (!check_command_line(line)) return 1;
  const std::string settings_path = line.config.empty() ? directory + "/" + kSettingsFileName : line.config;
  RunSettings settings;
  if (!read_settings(settings_path, line, settings)) return 1;
  std::string folder;
  if (!logs_folder(line, settings, settings_path, directory, folder)) return 1;

  Results results;
  if (!results.open(line.output)) return 1;
  const bool data = settings.format == OutputFormat::csv || settings.format == OutputFormat::jsonl;
  // Their line ends are their own: CR LF in csv, LF in jsonl, on every system.
  if (data) platform_binary_stream(results.file());
  const TextStream stream{results.file(), results.is_stdout() && platform_stdout_is_terminal(),
                          results.is_stdout() && platform_stdout_is_console()};
  const std::string announcement = format_announcement(settings.search);
  // In the data formats it would spoil the data.
  if (settings.format == OutputFormat::text) {
    write_text_line({stream.file, false, stream.console}, announcement.substr(0, announcement.size() - 1));
  } else {
    report("%s", announcement.c_str());
  }
  const std::unique_ptr<ResultWriter> writer =
      make_result_writer(settings.format, stream, settings.search.context_given);
  ScanTask task{folder, settings.search, {results.file(), writer.get(), &report_cannot_read}};
  // Shown to a person waiting at a terminal, and only there.
  std::unique_ptr<ProgressLine> progress;
  if (settings.progress && platform_stderr_is_terminal()) {
    progress = std::make_unique<ProgressLine>(stderr, log_bytes(folder, settings.search.start, settings.search.end));
    task.output.progress = progress.get();
  }
  std::vector<LogAudit> audit;
  Manifest manifest;
  if (!line.manifest.empty()) {
    task.output.audit = &audit;
    manifest.started = utc_now_iso8601();
  }
  scan_event_logs(task);
  if (progress) progress->finish();
  int status = results.close() ? 0 : 1;
  // Standard output's failure is told at the end of the run; the manifest
  // records it already.
  if (results.is_stdout() && (std::fflush(stdout) != 0 || std::ferror(stdout))) status = 1;
  if (line.manifest.empty()) return status;
  manifest.finished = utc_now_iso8601();
  manifest.tool = version_line();
  manifest.tool.pop_back();  // its newline
  manifest.settings = manifest_settings(settings, settings_path, folder, line);
  for (const LogAudit& log : audit) {
    if (!log.exists) {
      manifest.missing.push_back(log.name);
      continue;
    }
    manifest.files.push_back({log.name, log.bytes, log.sha256, log.records, log.matches,
                              log.cannot_read.empty() ? kManifestOk : log.cannot_read});
    manifest.matches += log.matches;
  }
  manifest.exit_status = status;
  Results file;
  if (!file.open(line.manifest)) return 1;
  platform_binary_stream(file.file());
  const std::string text = render_manifest(manifest);
  std::fwrite(text.data(), 1, text.size(), file.file());
  return file.close() ? status : 1;
}
