#include "settings/settings.h"

#include <cstdio>

namespace {

const char kSection[] = "Config";

const char kAnnounceRange[] = "Search instant message between %04d_%02d and %04d_%02d";
const char kAnnounceId[] = " for id %s";
const char kAnnounceTarget[] = ",target: '%s'";
const char kAnnounceAnd[] = " and '%s'";
const char kAnnounceOr[] = " or '%s'";

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

}  // namespace

bool is_all_mode(const std::string& multi_search) {
  const std::string& m = multi_search;
  return m.size() == 3 && (m[0] == 'a' || m[0] == 'A') && (m[1] == 'n' || m[1] == 'N') && (m[2] == 'd' || m[2] == 'D');
}

bool parse_month(const char* text, Month& month) {
  int y = 0;
  int m = 0;
  if (std::sscanf(text, "%04d_%02d", &y, &m) != 2) return false;
  if (y < 1999 || y > 50000 || m < 1 || m > 12) return false;
  month = {y, m};
  return true;
}

SettingsReading read_search_settings(const SettingsFile& file) {
  SettingsReading r;
  SearchSettings& s = r.settings;
  auto read = [&](const char* key, const char* default_value, std::size_t capacity) {
    return file.value(kSection, key, default_value, capacity);
  };
  for (int slot = 0; slot < kSearchSlots; ++slot) {
    const std::string key = "search" + std::to_string(slot + 1);
    s.search_strings[static_cast<std::size_t>(slot)] = read(key.c_str(), "", kTextCapacity);
  }
  s.all_mode = is_all_mode(read("multi_search", "and", kTextCapacity));

  r.text = read("start_time", "", kTextCapacity);
  if (!parse_month(r.text.c_str(), s.start)) {
    r.problem = SettingsProblem::invalid_start_time;
    return r;
  }
  r.text = read("end_time", "", kTextCapacity);
  if (!parse_month(r.text.c_str(), s.end)) {
    r.problem = SettingsProblem::invalid_end_time;
    return r;
  }
  r.text.clear();
  s.search_id = read("search_id", "", kIdCapacity);
  if (s.search_id.empty() && s.search_strings[0].empty()) r.problem = SettingsProblem::nothing_to_search;
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
  line += '\n';
  return line;
}
