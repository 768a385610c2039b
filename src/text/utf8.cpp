#include "text/utf8.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

inline unsigned byte_at(const char* p) { return static_cast<unsigned char>(*p); }

inline bool is_continuation(unsigned b) { return (b & 0xC0) == 0x80; }

}  // namespace

std::size_t utf8_sequence_length(const char* p, const char* end) {
  const unsigned b0 = byte_at(p);
  if (b0 < 0x80) return 1;
  // C0 and C1 could only start overlong forms of ASCII; F5 to FF would start
  // code points above U+10FFFF (or no form at all).
  if (b0 < 0xC2 || b0 > 0xF4) return 0;
  const std::size_t length = b0 < 0xE0 ? 2 : b0 < 0xF0 ? 3 : 4;
  if (end - p < static_cast<std::ptrdiff_t>(length)) return 0;
  // The second byte's range is where overlong forms (after E0, F0), surrogates
  // (after ED) and values above U+10FFFF (after F4) are ruled out.
  const unsigned b1 = byte_at(p + 1);
  unsigned low = 0x80, high = 0xBF;
  switch (b0) {
    case 0xE0:
      low = 0xA0;
      break;
    case 0xED:
      high = 0x9F;
      break;
    case 0xF0:
      low = 0x90;
      break;
    case 0xF4:
      high = 0x8F;
      break;
    default:
      break;
  }
  if (b1 < low || b1 > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!is_continuation(byte_at(p + i))) return 0;
  }
  return length;
}

char32_t utf8_decode(const char* p, std::size_t length) {
  const char32_t b0 = byte_at(p);
  switch (length) {
    case 1:
      return b0;
    case 2:
      return (b0 & 0x1F) << 6 | (byte_at(p + 1) & 0x3F);
    case 3:
      return (b0 & 0x0F) << 12 | (byte_at(p + 1) & 0x3F) << 6 | (byte_at(p + 2) & 0x3F);
    default:
      return (b0 & 0x07) << 18 | (byte_at(p + 1) & 0x3F) << 12 | (byte_at(p + 2) & 0x3F) << 6 | (byte_at(p + 3) & 0x3F);
  }
}

void utf8_append(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    const char bytes[] = {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    out.append(bytes, sizeof bytes);
  } else if (c < 0x10000) {
    if (c >= 0xD800 && c <= 0xDFFF) {
      out.append(kReplacement, 3);
      return;
    }
    const char bytes[] = {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                          static_cast<char>(0x80 | (c & 0x3F))};
    out.append(bytes, sizeof bytes);
  } else if (c <= 0x10FFFF) {
    const char bytes[] = {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                          static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    out.append(bytes, sizeof bytes);
  } else {
    out.append(kReplacement, 3);
  }
}

std::size_t ascii_prefix_length(std::string_view text) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* p = begin;
  // Eight bytes are all ASCII when none has its top bit set, whatever the
  // byte order in which they are loaded.
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if (word & kHighBits) break;
    p += 8;
  }
  while (p != end && byte_at(p) < 0x80) ++p;
  return static_cast<std::size_t>(p - begin);
}

bool utf8_valid(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end) {
    p += ascii_prefix_length(std::string_view(p, static_cast<std::size_t>(end - p)));
    if (p == end) break;
    const std::size_t length = utf8_sequence_length(p, end);
    if (length == 0) return false;
    p += length;
  }
  return true;
}

void append_utf8_replacing(std::string& out, std::string_view bytes) {
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  // Valid stretches are copied whole; only an invalid byte breaks one.
  const char* run = p;
  while (p != end) {
    p += ascii_prefix_length(std::string_view(p, static_cast<std::size_t>(end - p)));
    if (p == end) break;
    const std::size_t length = utf8_sequence_length(p, end);
    if (length != 0) {
      p += length;
      continue;
    }
    out.append(run, static_cast<std::size_t>(p - run));
    out.append(kReplacement, 3);
    run = ++p;
  }
  out.append(run, static_cast<std::size_t>(p - run));
}
