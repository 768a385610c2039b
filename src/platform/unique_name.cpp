#include "platform/unique_name.h"

std::string unique_name_part(unsigned long long seed) {
  static unsigned long long counter = 0;
  unsigned long long n = seed ^ (++counter * 0x9E3779B97F4A7C15ULL);
  const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string part;
  for (int i = 0; i < 6; ++i) {
    part += kLetters[n % 36];
    n /= 36;
  }
  return part;
}
