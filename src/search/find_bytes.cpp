#include "search/find_bytes.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Candidates have matched their first and last bytes already.
inline bool same_middle(const char* at, const char* needle, std::size_t needle_length) {
  for (std::size_t k = 1; k + 1 < needle_length; ++k) {
    if (at[k] != needle[k]) return false;
  }
  return true;
}

// The C library's memchr finds the candidates for the first byte.
const char* find_bytes_rare_first(const char* text, std::size_t length, const char* needle,
                                std::size_t needle_length) {
  while (length >= needle_length) {
    const void* first = std::memchr(text, needle[0], length - needle_length + 1);
    if (first == nullptr) return nullptr;
    const char* at = static_cast<const char*>(first);
    if (same_middle(at, needle, needle_length) && at[needle_length - 1] == needle[needle_length - 1]) return at;
    length -= static_cast<std::size_t>(at + 1 - text);
    text = at + 1;
  }
  return nullptr;
}

#if defined(__SSE2__)
inline unsigned lowest_bit(unsigned mask) { return static_cast<unsigned>(__builtin_ctz(mask)); }
#endif

}  // namespace

const char* find_bytes(const char* text, std::size_t length, const char* needle, std::size_t needle_length) {
  if (needle_length == 0) return text;
  if (length < needle_length) return nullptr;
  if (needle_length == 1) return static_cast<const char*>(std::memchr(text, needle[0], length));
  return find_bytes_anchored(text, length, needle, needle_length, 0, needle_length - 1);
}

const char* find_bytes_anchored(const char* text, std::size_t length, const char* needle,
                                std::size_t needle_length, std::size_t first, std::size_t second) {
  if (length < needle_length) return nullptr;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Candidates are the places where both anchor bytes match, sixteen places
  // at a time; only those are compared whole.
  const __m128i want_first = _mm_set1_epi8(needle[first]);
  const __m128i want_second = _mm_set1_epi8(needle[second]);
  for (; i + needle_length - 1 + 16 <= length; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + first));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + second));
    unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, want_first), _mm_cmpeq_epi8(b, want_second))));
    while (mask != 0) {
      const std::size_t at = i + lowest_bit(mask);
      if (std::memcmp(text + at, needle, needle_length) == 0) return text + at;
      mask &= mask - 1;
    }
  }
#else
  (void)first;
  (void)second;
#endif
  return find_bytes_rare_first(text + i, length - i, needle, needle_length);
}

bool holds_any_of_three(const char* text, std::size_t length, const char* const needles[3],
                        std::size_t needle_length) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const std::size_t last = needle_length - 1;
  const __m128i f0 = _mm_set1_epi8(needles[0][0]), l0 = _mm_set1_epi8(needles[0][last]);
  const __m128i f1 = _mm_set1_epi8(needles[1][0]), l1 = _mm_set1_epi8(needles[1][last]);
  const __m128i f2 = _mm_set1_epi8(needles[2][0]), l2 = _mm_set1_epi8(needles[2][last]);
  for (; i + last + 16 <= length; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + last));
    const __m128i hit = _mm_or_si128(
        _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi8(a, f0), _mm_cmpeq_epi8(b, l0)),
                     _mm_and_si128(_mm_cmpeq_epi8(a, f1), _mm_cmpeq_epi8(b, l1))),
        _mm_and_si128(_mm_cmpeq_epi8(a, f2), _mm_cmpeq_epi8(b, l2)));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    while (mask != 0) {
      const char* at = text + i + lowest_bit(mask);
      for (int n = 0; n < 3; ++n) {
        if (at[0] == needles[n][0] && at[last] == needles[n][last] && same_middle(at, needles[n], needle_length)) {
          return true;
        }
      }
      mask &= mask - 1;
    }
  }
#endif
  for (int n = 0; n < 3; ++n) {
    if (find_bytes(text + i, length - i, needles[n], needle_length) != nullptr) return true;
  }
  return false;
}

const char* find_line_end_or_nul(const char* text, std::size_t length) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i newline = _mm_set1_epi8('\n');
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= length; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(a, newline), _mm_cmpeq_epi8(a, zero))));
    if (mask != 0) return text + i + lowest_bit(mask);
  }
#endif
  text += i;
  length -= i;
  const void* lf = std::memchr(text, '\n', length);
  const std::size_t before_lf = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text) : length;
  const void* nul = std::memchr(text, '\0', before_lf);
  return static_cast<const char*>(nul ? nul : lf);
}
