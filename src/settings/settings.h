// The search settings: read once from "search.ini" in the executable's
// directory (section "Config"), checked, announced on standard output, and
// then only read by the matcher and the scan.
#pragma once

#include <cstddef>
#include <string>

constexpr int kSearchSlots = 9;
constexpr std::size_t kTextCapacity = 512;  // 511 characters and a NUL
constexpr std::size_t kIdCapacity = 256;    // search_id keeps 255 characters

struct SearchSettings {
  // Slot k - 1 holds key search<k>; slot 0 is the primary search string.
  char search_strings[kSearchSlots][kTextCapacity];
  char mode_text[kTextCapacity];  // multi_search; "and" in any ASCII case means all-mode
  int start_year;
  int start_month;
  int end_year;
  int end_month;
  char id_filter[kTextCapacity];  // empty, or " id," and the value of search_id
};

extern SearchSettings search_settings;

// The value of key in section "Config" of the settings file, or default_value;
// at most capacity - 1 characters and a NUL in destination.
void read_config_string(const char* key, const char* default_value, char* destination,
                        std::size_t capacity);

// Reads, checks and announces the settings. Returns 1 when they are usable and
// 0 when not, after one message on standard error.
int load_search_settings();

// True when mode_text equals "and", ignoring ASCII letter case.
bool is_all_mode(const SearchSettings& settings);

// A month text read as scanf's "%04d_%02d" reads it: blanks skipped, a year of
// at most 4 characters, "_" at once, a month of at most 2 characters, anything
// after ignored. Accepted when both numbers are read, the year is 1999 to
// 50000 and the month 1 to 12.
bool parse_month(const char* text, int& year, int& month);

// The announcement line, newline included. search_id is the raw search_id value.
std::string format_announcement(const SearchSettings& settings, const char* search_id);
