// The search settings: the values of section "Config" of search.ini, checked
// and kept as one value. Reading them prints nothing; the caller tells the
// user about a problem and announces the search.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "platform/platform.h"

// The settings file's name, in the executable's directory.
constexpr char kSettingsFileName[] = "search.ini";

constexpr int kSearchSlots = 9;
constexpr std::size_t kTextCapacity = 512;  // values keep 511 characters
constexpr std::size_t kIdCapacity = 256;    // search_id keeps 255 characters

struct Month {
  int year = 0;
  int month = 0;  // 1 to 12
};

struct SearchSettings {
  // Slot k - 1 holds key search<k>; slot 0 is the primary search string. The
  // matcher uses the slots up to the first empty one, the announcement every
  // non-empty one.
  std::array<std::string, kSearchSlots> search_strings;
  // multi_search equals "and" in any ASCII letter case (the default): every
  // string must occur. Otherwise, the empty value included: any one of them.
  bool all_mode = true;
  Month start;
  Month end;
  std::string search_id;  // as written; empty for none
};

enum class SettingsProblem { none, invalid_start_time, invalid_end_time, nothing_to_search };

struct SettingsReading {
  SettingsProblem problem = SettingsProblem::none;
  std::string text;         // the rejected time, as read
  SearchSettings settings;  // usable when problem is none
};

// Reads and checks the settings, in the order the user is told of problems:
// start_time, then end_time, then whether there is anything to search for
// (search1 or search_id).
SettingsReading read_search_settings(const SettingsFile& file);

// A month text read as scanf's "%04d_%02d" reads it: blanks skipped, a year of
// at most 4 characters, "_" at once, a month of at most 2 characters, anything
// after ignored. Accepted when both numbers are read, the year is 1999 to
// 50000 and the month 1 to 12.
bool parse_month(const char* text, Month& month);

// True when a multi_search value asks for all-mode: "and" in any ASCII case.
bool is_all_mode(const std::string& multi_search);

// The announcement line, newline included.
std::string format_announcement(const SearchSettings& settings);
