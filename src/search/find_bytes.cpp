#include "search/find_bytes.h"

#include "search/simd/finders.h"

namespace {
using Default = Finders<DefaultPolicy>;
}  // namespace

const char* find_bytes(const char* text, std::size_t length, const char* needle, std::size_t needle_length) {
  return Default::find_bytes(text, length, needle, needle_length);
}

const char* find_bytes_anchored(const char* text, std::size_t length, const char* needle, std::size_t needle_length,
                                std::size_t first, std::size_t second) {
  return Default::find_bytes_anchored(text, length, needle, needle_length, first, second);
}

bool holds_any_of_three(const char* text, std::size_t length, const char* const needles[3], std::size_t needle_length) {
  return Default::holds_any_of_three(text, length, needles, needle_length);
}

const char* find_bytes_or_line_end(const char* text, std::size_t length, const char* needle,
                                   std::size_t needle_length) {
  return Default::find_bytes_or_line_end(text, length, needle, needle_length);
}

const char* find_line_end_and_any_of_three(const char* text, std::size_t length, const char* const needles[3],
                                           std::size_t needle_length, bool& needle_before_end) {
  return Default::find_line_end_and_any_of_three(text, length, needles, needle_length, needle_before_end);
}

const char* find_line_end_or_nul(const char* text, std::size_t length) {
  return Default::find_line_end_or_nul(text, length);
}
