#include "search/decoder.h"

#include <array>
#include <climits>
#include <cstddef>

#include "search/base64.h"

namespace {

constexpr unsigned char kOutside = 64;

constexpr std::array<unsigned char, 256> make_table() {
  std::array<unsigned char, 256> table{};
  for (auto& v : table) v = kOutside;
  for (unsigned char i = 0; i < 64; ++i) table[static_cast<unsigned char>(kBase64Alphabet[i])] = i;
  return table;
}

constexpr std::array<unsigned char, 256> kTable = make_table();

inline unsigned value(const char* p) { return kTable[static_cast<unsigned char>(*p)]; }

}  // namespace

std::size_t base64_run_length(const char* coded) {
  std::size_t n = 0;
  while (value(coded + n) < kOutside) ++n;
  return n;
}

int decode_base64(char* plain, const char* coded) {
  // Sizes are counted in size_t: a message may be longer than an int can count.
  const std::size_t n = base64_run_length(coded);

  char* out = plain;
  const char* in = coded;
  std::size_t r = n;
  while (r > 4) {
    unsigned a = value(in), b = value(in + 1), c = value(in + 2), d = value(in + 3);
    *out++ = static_cast<char>((a << 2 | b >> 4) & 0xFF);
    *out++ = static_cast<char>((b << 4 | c >> 2) & 0xFF);
    *out++ = static_cast<char>((c << 6 | d) & 0xFF);
    in += 4;
    r -= 4;
  }
  if (r > 1) *out++ = static_cast<char>((value(in) << 2 | value(in + 1) >> 4) & 0xFF);
  if (r > 2) *out++ = static_cast<char>((value(in + 1) << 4 | value(in + 2) >> 2) & 0xFF);
  if (r > 3) *out++ = static_cast<char>((value(in + 2) << 6 | value(in + 3)) & 0xFF);

  const std::size_t count = 3 * ((n + 3) / 4) - (4 - r) % 4;
  plain[count] = '\0';
  return count > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(count);
}

void decode_message(const char* coded, char* plain, int* length) {
  *length = decode_base64(plain, coded);
}
