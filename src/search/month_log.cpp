#include "search/month_log.h"

#include <cstdio>

namespace {
const char kMonthLogName[] = "/mcu_event_log_%04d_%02d.txt";
}  // namespace

// "%04d" writes four digits and "%02d" two: the name is two bytes shorter
// than its format.
const std::size_t kMonthLogNameLength = sizeof kMonthLogName - 1 - 2;

std::string month_log_path(const std::string& directory, int year, int month) {
  const int size = std::snprintf(nullptr, 0, kMonthLogName, year, month);
  std::string name(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(&name[0], name.size(), kMonthLogName, year, month);
  name.resize(static_cast<std::size_t>(size));
  return directory + name;
}
