// Time stamps and the time filters' bounds. A record's time stamp is its first
// 19 characters, "YYYY-MM-DD HH:MM:SS", where "/" may stand for either "-".
// Times are compared as one number, YYYYMMDDhhmmss, which orders them as time
// does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

using TimeKey = std::int64_t;

// Below and above every time stamp: a missing bound.
constexpr TimeKey kEarliestTime = 0;
constexpr TimeKey kLatestTime = INT64_MAX;

// The key of a record's time stamp: the first 19 of length bytes at text.
// False when they do not read as a real date and time (the month 1 to 12, the
// day within the month, the hour 0 to 23, minutes and seconds 0 to 59).
bool read_time_stamp(const char* text, std::size_t length, TimeKey& key);

// A filter's time: "YYYY-MM-DD", "YYYY-MM-DD HH:MM" or "YYYY-MM-DD HH:MM:SS"
// ("/" in place of "-" too), nothing before or after. first and last are the
// first and the last second it takes in: a date alone is the whole day, and
// HH:MM the whole minute. False, leaving both alone, for any other text.
bool parse_time_bound(const std::string& text, TimeKey& first, TimeKey& last);

// The year and month of a key.
int key_year(TimeKey key);
int key_month(TimeKey key);
