// Any bytes as search.ini: every key is looked up as the program does, and
// the answers must keep the reader's promises; the month parser and the
// announcement then run on them.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "settings/ini_reader.h"
#include "settings/settings.h"

namespace {
void check(bool ok) {
  if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  SearchSettings s{};
  auto lookup = [&](const char* key, const char* def, char* out, std::size_t capacity) {
    const std::string value = ini_lookup(text, "Config", key, def, capacity);
    check(value.size() < capacity);
    check(value.find('\0') == std::string::npos);
    std::memcpy(out, value.c_str(), value.size() + 1);
  };
  for (int k = 0; k < kSearchSlots; ++k) {
    const std::string key = "search" + std::to_string(k + 1);
    lookup(key.c_str(), "", s.search_strings[k], kTextCapacity);
  }
  lookup("multi_search", "and", s.mode_text, kTextCapacity);
  char work[kTextCapacity];
  lookup("start_time", "", work, kTextCapacity);
  if (parse_month(work, s.start_year, s.start_month)) check(s.start_month >= 1 && s.start_month <= 12);
  lookup("end_time", "", work, kTextCapacity);
  if (parse_month(work, s.end_year, s.end_month)) check(s.end_year >= 1999 && s.end_year <= 9999);
  char id[kIdCapacity];
  lookup("search_id", "", id, kIdCapacity);
  const std::string line = format_announcement(s, id);
  check(!line.empty() && line.back() == '\n');
  // Whatever the text, a lookup with a tiny capacity is cut, never overrun.
  check(ini_lookup(text, "config", "SEARCH1", "xyz", 2).size() <= 1);
  return 0;
}
