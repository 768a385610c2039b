#include "search/matcher.h"

bool message_matches(const SearchSettings& settings, std::string_view message) {
  int tested = 0;
  for (const std::string& wanted : settings.search_strings) {
    if (wanted.empty()) break;
    ++tested;
    const bool found = message.find(wanted) != std::string_view::npos;
    if (found && !settings.all_mode) return true;
    if (!found && settings.all_mode) return false;
  }
  return tested == 0 || settings.all_mode;
}
