#include "search/matcher.h"

#include <cstring>

#include "settings/settings.h"

bool message_matches(const char* text) {
  const bool all = is_all_mode(search_settings);
  int tested = 0;
  for (int slot = 0; slot < kSearchSlots; ++slot) {
    const char* wanted = search_settings.search_strings[slot];
    if (wanted[0] == '\0') break;
    ++tested;
    const bool found = std::strstr(text, wanted) != nullptr;
    if (found && !all) return true;
    if (!found && all) return false;
  }
  return tested == 0 || all;
}
