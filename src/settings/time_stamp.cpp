#include "settings/time_stamp.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The number in text[0, count), all digits; -1 otherwise.
int digits(const char* text, int count) {
  int n = 0;
  for (int i = 0; i < count; ++i) {
    if (!is_digit(text[i])) return -1;
    n = n * 10 + (text[i] - '0');
  }
  return n;
}

int days_in_month(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

bool is_date_separator(char c) { return c == '-' || c == '/'; }

// Reads "YYYY-MM-DD" and, when present, " HH:MM" and ":SS", as far as length
// allows; the fields not there are given as -1.
struct Fields {
  int year = -1, month = -1, day = -1, hour = -1, minute = -1, second = -1;
};

// length is the text's length; fields_wanted 3, 5 or 6.
bool read_fields(const char* t, std::size_t length, int fields_wanted, Fields& f) {
  static const std::size_t kLengths[] = {0, 0, 0, 10, 0, 16, 19};
  if (length < kLengths[fields_wanted]) return false;
  f.year = digits(t, 4);
  f.month = digits(t + 5, 2);
  f.day = digits(t + 8, 2);
  if (f.year < 0 || !is_date_separator(t[4]) || !is_date_separator(t[7]) || f.month < 1 || f.month > 12 ||
      f.day < 1 || f.day > days_in_month(f.year, f.month)) {
    return false;
  }
  if (fields_wanted == 3) return true;
  f.hour = digits(t + 11, 2);
  f.minute = digits(t + 14, 2);
  if (t[10] != ' ' || t[13] != ':' || f.hour < 0 || f.hour > 23 || f.minute < 0 || f.minute > 59) return false;
  if (fields_wanted == 5) return true;
  f.second = digits(t + 17, 2);
  return t[16] == ':' && f.second >= 0 && f.second <= 59;
}

TimeKey key_of(int year, int month, int day, int hour, int minute, int second) {
  return ((((static_cast<TimeKey>(year) * 100 + month) * 100 + day) * 100 + hour) * 100 + minute) * 100 + second;
}

}  // namespace

bool read_time_stamp(const char* text, std::size_t length, TimeKey& key) {
  Fields f;
  if (!read_fields(text, length, 6, f)) return false;
  key = key_of(f.year, f.month, f.day, f.hour, f.minute, f.second);
  return true;
}

bool parse_time_bound(const std::string& text, TimeKey& first, TimeKey& last) {
  Fields f;
  switch (text.size()) {
    case 10:
      if (!read_fields(text.data(), text.size(), 3, f)) return false;
      first = key_of(f.year, f.month, f.day, 0, 0, 0);
      last = key_of(f.year, f.month, f.day, 23, 59, 59);
      return true;
    case 16:
      if (!read_fields(text.data(), text.size(), 5, f)) return false;
      first = key_of(f.year, f.month, f.day, f.hour, f.minute, 0);
      last = key_of(f.year, f.month, f.day, f.hour, f.minute, 59);
      return true;
    case 19:
      if (!read_fields(text.data(), text.size(), 6, f)) return false;
      first = last = key_of(f.year, f.month, f.day, f.hour, f.minute, f.second);
      return true;
    default:
      return false;
  }
}

int key_year(TimeKey key) { return static_cast<int>(key / 10000000000LL); }
int key_month(TimeKey key) { return static_cast<int>(key / 100000000LL % 100); }
