#include "settings/settings.h"

#include <cstdio>
#include <cstring>

#include "driver/driver.h"
#include "platform/platform.h"

SearchSettings search_settings;

namespace {

const char kSettingsFileName[] = "search.ini";
const char kSection[] = "Config";

const char kInvalidStartTime[] = "invalid start time: %s\n";
const char kInvalidEndTime[] = "invalid end time: %s\n";
const char kNothingToSearch[] = "no id or string specified\n";
const char kNoSettingsFile[] = "no settings file at %s\n";

const char kAnnounceRange[] = "Search instant message between %04d_%02d and %04d_%02d";
const char kAnnounceId[] = " for id %s";
const char kAnnounceTarget[] = ",target: '%s'";
const char kAnnounceAnd[] = " and '%s'";
const char kAnnounceOr[] = " or '%s'";
const char kIdFilter[] = " id,%s";

std::string settings_path;

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

void read_config_string(const char* key, const char* default_value, char* destination,
                        std::size_t capacity) {
  platform_profile_string(settings_path, kSection, key, default_value, destination, capacity);
}

bool is_all_mode(const SearchSettings& settings) {
  const char* t = settings.mode_text;
  return (t[0] == 'a' || t[0] == 'A') && (t[1] == 'n' || t[1] == 'N') &&
         (t[2] == 'd' || t[2] == 'D') && t[3] == '\0';
}

bool parse_month(const char* text, int& year, int& month) {
  int y = 0;
  int m = 0;
  if (std::sscanf(text, "%04d_%02d", &y, &m) != 2) return false;
  if (y < 1999 || y > 50000 || m < 1 || m > 12) return false;
  year = y;
  month = m;
  return true;
}

std::string format_announcement(const SearchSettings& settings, const char* search_id) {
  std::string line = format(kAnnounceRange, settings.start_year, settings.start_month,
                            settings.end_year, settings.end_month);
  if (search_id[0] != '\0') line += format(kAnnounceId, search_id);
  if (settings.search_strings[0][0] != '\0') {
    line += format(kAnnounceTarget, settings.search_strings[0]);
  }
  const char* joiner = is_all_mode(settings) ? kAnnounceAnd : kAnnounceOr;
  for (int slot = 1; slot < kSearchSlots; ++slot) {
    if (settings.search_strings[slot][0] != '\0') {
      line += format(joiner, settings.search_strings[slot]);
    }
  }
  line += '\n';
  return line;
}

int load_search_settings() {
  SearchSettings& s = search_settings;
  settings_path = executable_directory + "/" + kSettingsFileName;
  // A settings file that is there but cannot be read would otherwise look
  // empty, and the user would be told the start time is invalid.
  std::string reason;
  const OpenStatus loaded = platform_load_settings(settings_path, reason);
  if (loaded == OpenStatus::failed) {
    report(kCannotRead, settings_path.c_str(), reason.c_str());
    return 0;
  }

  for (int slot = 0; slot < kSearchSlots; ++slot) {
    char key[16];
    std::snprintf(key, sizeof key, "search%d", slot + 1);
    read_config_string(key, "", s.search_strings[slot], kTextCapacity);
  }
  read_config_string("multi_search", "and", s.mode_text, kTextCapacity);

  char work[kTextCapacity];
  read_config_string("start_time", "", work, kTextCapacity);
  if (!parse_month(work, s.start_year, s.start_month)) {
    report(kInvalidStartTime, work);
    // Without the file every key is missing; the path says where it was looked for.
    if (loaded == OpenStatus::missing) report(kNoSettingsFile, settings_path.c_str());
    return 0;
  }
  read_config_string("end_time", "", work, kTextCapacity);
  if (!parse_month(work, s.end_year, s.end_month)) {
    report(kInvalidEndTime, work);
    return 0;
  }
  char search_id[kIdCapacity];
  read_config_string("search_id", "", search_id, kIdCapacity);
  if (search_id[0] == '\0' && s.search_strings[0][0] == '\0') {
    report(kNothingToSearch);
    return 0;
  }

  std::fputs(format_announcement(s, search_id).c_str(), stdout);

  s.id_filter[0] = '\0';
  if (search_id[0] != '\0') std::snprintf(s.id_filter, sizeof s.id_filter, kIdFilter, search_id);
  return 1;
}
