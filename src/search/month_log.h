// Where a month's log lies: mcu_event_log_YYYY_MM.txt in the log folder, one
// file per calendar month.
#pragma once

#include <cstddef>
#include <string>

// The path of the log of month (1 to 12) of year in directory.
std::string month_log_path(const std::string& directory, int year, int month);

// What a month log's path adds to its directory: "/mcu_event_log_YYYY_MM.txt"
// (years have four digits: the settings take no other).
extern const std::size_t kMonthLogNameLength;
