#include "settings/settings.h"

#include <cstdio>
#include <utility>

namespace {

const char kSection[] = "Config";

const char kMonth[] = "%04d_%02d";
const char kAnnounceRange[] = "Search instant message between %04d_%02d and %04d_%02d";
const char kAnnounceId[] = " for id %s";
const char kAnnounceTarget[] = ",target: '%s'";
const char kAnnounceAnd[] = " and '%s'";
const char kAnnounceOr[] = " or '%s'";
const char kAnnounceFromId[] = ", from id %s";
const char kAnnounceToId[] = ", to id %s";
const char kAnnounceConfId[] = ", conf id %s";
const char kAnnounceRoom[] = ", room '%s'";
const char kAnnounceSince[] = ", since %s";
const char kAnnounceUntil[] = ", until %s";
const char kAnnounceAnyCase[] = ", in any letter case";

// printf-style formatting into a string; the pieces here hold at most a few
// hundred characters, so one buffer sized by a first pass is enough.
template <typename... Args>
std::string format(const char* pattern, Args... args) {
  int size = std::snprintf(nullptr, 0, pattern, args...);
  std::string out(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(&out[0], out.size(), pattern, args...);
  out.resize(static_cast<std::size_t>(size));
  return out;
}

// True when text equals word (lower case) in any ASCII letter case.
bool equals_in_any_case(const std::string& text, const char* word) {
  std::size_t i = 0;
  for (; word[i] != '\0'; ++i) {
    if (i == text.size()) return false;
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[i]) return false;
  }
  return i == text.size();
}

}  // namespace

bool is_all_mode(const std::string& multi_search) { return equals_in_any_case(multi_search, "and"); }

std::string format_month(const Month& month) { return format(kMonth, month.year, month.month); }

bool parse_month(const char* text, Month& month) {
  int y = 0;
  int m = 0;
  if (std::sscanf(text, "%04d_%02d", &y, &m) != 2) return false;
  if (y < 1999 || y > 50000 || m < 1 || m > 12) return false;
  month = {y, m};
  return true;
}

namespace {

bool parse_format(const std::string& text, OutputFormat& format) {
  static const struct {
    const char* name;
    OutputFormat format;
  } kFormats[] = {{"", OutputFormat::text},
                  {"text", OutputFormat::text},
                  {"csv", OutputFormat::csv},
                  {"jsonl", OutputFormat::jsonl},
                  {"count", OutputFormat::count}};
  for (const auto& f : kFormats) {
    if (equals_in_any_case(text, f.name)) {
      format = f.format;
      return true;
    }
  }
  return false;
}

bool parse_yes_no(const std::string& text, bool& value) {
  if (text.empty() || equals_in_any_case(text, "no")) {
    value = false;
    return true;
  }
  if (equals_in_any_case(text, "yes")) {
    value = true;
    return true;
  }
  return false;
}

// 0 to kMostContext in decimal digits; empty is 0.
bool parse_context(const std::string& text, int& context) {
  int n = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
    if (n > kMostContext) return false;
  }
  context = n;
  return true;
}

}  // namespace

SettingsReading read_search_settings(const SettingsFile& file, const SettingOverrides& overrides) {
  SettingsReading r;
  RunSettings& run = r.settings;
  SearchSettings& s = run.search;
  auto read = [&](const std::string& key, const char* default_value, std::size_t capacity) {
    const auto given = overrides.find(key);
    if (given != overrides.end()) return given->second;
    return file.value(kSection, key.c_str(), default_value, capacity);
  };
  auto fail = [&](SettingsProblem problem, std::string text) {
    r.problem = problem;
    r.text = std::move(text);
    return r;
  };
  for (int slot = 0; slot < kSearchSlots; ++slot) {
    s.search_strings[static_cast<std::size_t>(slot)] = read("search" + std::to_string(slot + 1), "", kTextCapacity);
  }
  s.all_mode = is_all_mode(read("multi_search", "and", kTextCapacity));
  s.since = read("since", "", kTextCapacity);
  s.until = read("until", "", kTextCapacity);

  // The time filters first: they may stand in for the months.
  TimeKey unused = 0;
  if (!s.since.empty() && !parse_time_bound(s.since, s.since_key, unused)) {
    return fail(SettingsProblem::invalid_since_time, s.since);
  }
  if (!s.until.empty() && !parse_time_bound(s.until, unused, s.until_key)) {
    return fail(SettingsProblem::invalid_until_time, s.until);
  }
  // A month left out is the month of the time filter's bound, when there is one.
  std::string text = read("start_time", "", kTextCapacity);
  if (text.empty() && !s.since.empty()) {
    s.start = {key_year(s.since_key), key_month(s.since_key)};
  } else if (!parse_month(text.c_str(), s.start)) {
    return fail(SettingsProblem::invalid_start_time, text);
  }
  text = read("end_time", "", kTextCapacity);
  if (text.empty() && !s.until.empty()) {
    s.end = {key_year(s.until_key), key_month(s.until_key)};
  } else if (!parse_month(text.c_str(), s.end)) {
    return fail(SettingsProblem::invalid_end_time, text);
  }
  text = read("format", "", kTextCapacity);
  if (!parse_format(text, run.format)) return fail(SettingsProblem::invalid_format, text);
  text = read("ignore_case", "", kTextCapacity);
  if (!parse_yes_no(text, s.ignore_case)) return fail(SettingsProblem::invalid_ignore_case, text);
  text = read("context", "", kTextCapacity);
  s.context_given = !text.empty();
  if (!parse_context(text, s.context)) return fail(SettingsProblem::invalid_context, text);
  text = read("progress", "yes", kTextCapacity);
  if (text.empty()) text = "yes";
  if (!parse_yes_no(text, run.progress)) return fail(SettingsProblem::invalid_progress, text);

  s.search_id = read("search_id", "", kIdCapacity);
  s.from_id = read("from_id", "", kTextCapacity);
  s.to_id = read("to_id", "", kTextCapacity);
  s.conf_id = read("conf_id", "", kTextCapacity);
  s.room = read("room", "", kTextCapacity);
  run.log_dir = read("log_dir", "", kTextCapacity);
  if (s.search_id.empty() && s.search_strings[0].empty() && !s.filters_records()) {
    r.problem = SettingsProblem::nothing_to_search;
  }
  return r;
}

std::string format_announcement(const SearchSettings& settings) {
  std::string line = format(kAnnounceRange, settings.start.year, settings.start.month, settings.end.year,
                            settings.end.month);
  if (!settings.search_id.empty()) line += format(kAnnounceId, settings.search_id.c_str());
  if (!settings.search_strings[0].empty()) line += format(kAnnounceTarget, settings.search_strings[0].c_str());
  const char* joiner = settings.all_mode ? kAnnounceAnd : kAnnounceOr;
  for (int slot = 1; slot < kSearchSlots; ++slot) {
    const std::string& text = settings.search_strings[static_cast<std::size_t>(slot)];
    if (!text.empty()) line += format(joiner, text.c_str());
  }
  const struct {
    const char* pattern;
    const std::string& value;
  } filters[] = {{kAnnounceFromId, settings.from_id}, {kAnnounceToId, settings.to_id},
                 {kAnnounceConfId, settings.conf_id}, {kAnnounceRoom, settings.room},
                 {kAnnounceSince, settings.since},    {kAnnounceUntil, settings.until}};
  for (const auto& filter : filters) {
    if (!filter.value.empty()) line += format(filter.pattern, filter.value.c_str());
  }
  if (settings.ignore_case) line += kAnnounceAnyCase;
  line += '\n';
  return line;
}
