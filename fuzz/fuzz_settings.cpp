// Any bytes as search.ini: every key is looked up as the program does, and
// the answers must keep the reader's promises; the checks and the
// announcement then run on them.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/ini_reader.h"
#include "platform/platform.h"
#include "settings/settings.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

std::string ini_path() { return "/dev/shm/logsift-fuzz-" + std::to_string(getpid()) + ".ini"; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const IniFile ini(text);
  for (const char* key : {"search1", "search9", "multi_search", "start_time", "end_time", "search_id"}) {
    for (std::size_t capacity : {std::size_t{1}, std::size_t{2}, kIdCapacity, kTextCapacity}) {
      const std::string value = ini.value("Config", key, "xyz", capacity);
      check(value.size() < capacity);
      check(value.find('\0') == std::string::npos);
    }
  }

  // The same text as the program meets it: a file, read and checked.
  const std::string path = ini_path();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
  SettingsFile settings_file;
  std::string reason;
  check(settings_file.open(path, reason) == OpenStatus::opened);
  const SettingsReading reading = read_search_settings(settings_file);
  const SearchSettings& s = reading.settings.search;
  for (const std::string& slot : s.search_strings) check(slot.size() < kTextCapacity);
  check(s.search_id.size() < kIdCapacity);
  // The time filters are checked before the months, which they may give.
  const SettingsProblem p = reading.problem;
  if (p != SettingsProblem::invalid_start_time && p != SettingsProblem::invalid_since_time &&
      p != SettingsProblem::invalid_until_time) {
    check(s.start.month >= 1 && s.start.month <= 12 && s.start.year >= 1999 && s.start.year <= 9999);
  }
  if (reading.problem == SettingsProblem::none) {
    check(!s.search_id.empty() || !s.search_strings[0].empty() || s.filters_records());
    const std::string line = format_announcement(s);
    check(!line.empty() && line.back() == '\n');
  }
  return 0;
}
