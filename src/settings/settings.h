// The search settings: the values of section "Config" of search.ini, checked
// and kept as one value. Reading them prints nothing; the caller tells the
// user about a problem and announces the search.
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <string>

#include "platform/platform.h"
#include "settings/time_stamp.h"

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

  // The record filters; each empty one takes in every record. The ids must
  // equal the record's field, the room must occur in its conference name.
  std::string from_id;
  std::string to_id;
  std::string conf_id;
  std::string room;
  // The time filters as written, and the first and last second they take in.
  std::string since;
  std::string until;
  TimeKey since_key = kEarliestTime;
  TimeKey until_key = kLatestTime;
  // The search strings and the room match in any letter case.
  bool ignore_case = false;
  // Up to context records before and after each match from its conference
  // are printed too; context_given tells the data formats to mark matches.
  int context = 0;
  bool context_given = false;

  // Whether a record must pass a filter besides its message.
  bool filters_records() const {
    return !from_id.empty() || !to_id.empty() || !conf_id.empty() || !room.empty() || !since.empty() ||
           !until.empty();
  }
};

// How the results are written.
enum class OutputFormat { text, csv, jsonl, count };

// Everything a run is told by search.ini and the command line.
struct RunSettings {
  SearchSettings search;
  OutputFormat format = OutputFormat::text;
  std::string log_dir;  // as written; empty: the program's folder
  bool progress = true;  // a progress line on a terminal's standard error
};

enum class SettingsProblem {
  none,
  invalid_start_time,
  invalid_end_time,
  invalid_since_time,
  invalid_until_time,
  invalid_format,
  invalid_ignore_case,
  invalid_context,
  invalid_progress,
  nothing_to_search,
};

struct SettingsReading {
  SettingsProblem problem = SettingsProblem::none;
  std::string text;     // the rejected value, as read
  RunSettings settings;  // usable when problem is none
};

// Values given on the command line, by search.ini key; they take the place of
// the file's.
using SettingOverrides = std::map<std::string, std::string>;

// Reads and checks the settings, in the order the user is told of problems:
// since and until when given, start_time, then end_time (a missing one is taken
// from since or until), format, ignore_case, context and progress, then whether there is
// anything to search for (search1, an id, the room or a time).

// The most records of context before and after a match.
constexpr int kMostContext = 1000;
SettingsReading read_search_settings(const SettingsFile& file, const SettingOverrides& overrides = {});

// A month text read as scanf's "%04d_%02d" reads it: blanks skipped, a year of
// at most 4 characters, "_" at once, a month of at most 2 characters, anything
// after ignored. Accepted when both numbers are read, the year is 1999 to
// 50000 and the month 1 to 12.
bool parse_month(const char* text, Month& month);

// A month as YYYY_MM.
std::string format_month(const Month& month);

// True when a multi_search value asks for all-mode: "and" in any ASCII case.
bool is_all_mode(const std::string& multi_search);

// The announcement line, newline included.
std::string format_announcement(const SearchSettings& settings);
