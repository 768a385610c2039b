#include "search/find_bytes.h"

#include <cstring>

#include "search/find_kernels.h"

namespace {

// The whole-vector part of each search: SSE2 where the compiler targets it
// (every x86-64 build), none elsewhere. The scan's own loop has a faster
// build per instruction set (record_finder.cpp); these serve the rest.
#if defined(__SSE2__)
struct VectorPart {
  static std::size_t anchored(const char* t, std::size_t n, const char* w, std::size_t m, std::size_t a,
                              std::size_t b, const char** found) {
    return anchored_kernel<Sse2>(t, n, w, m, a, b, found);
  }
  static std::size_t three(const char* t, std::size_t n, const char* const* w, std::size_t m, bool* seen) {
    return three_kernel<Sse2>(t, n, w, m, seen);
  }
  static std::size_t line_end(const char* t, std::size_t n, const char** found) {
    return line_end_kernel<Sse2>(t, n, found);
  }
  static std::size_t needle_or_line_end(const char* t, std::size_t n, const char* w, std::size_t m,
                                        const char** found) {
    return needle_or_line_end_kernel<Sse2>(t, n, w, m, found);
  }
  static std::size_t line_end_noting(const char* t, std::size_t n, const char* const* w, std::size_t m, bool* seen,
                                     const char** found) {
    return line_end_noting_kernel<Sse2>(t, n, w, m, seen, found);
  }
};
#else
struct VectorPart {
  static std::size_t anchored(const char*, std::size_t, const char*, std::size_t, std::size_t, std::size_t,
                              const char**) {
    return 0;
  }
  static std::size_t three(const char*, std::size_t, const char* const*, std::size_t, bool*) { return 0; }
  static std::size_t line_end(const char*, std::size_t, const char**) { return 0; }
  static std::size_t needle_or_line_end(const char*, std::size_t, const char*, std::size_t, const char**) {
    return 0;
  }
  static std::size_t line_end_noting(const char*, std::size_t, const char* const*, std::size_t, bool*,
                                     const char**) {
    return 0;
  }
};
#endif

inline bool ends_line(char c) { return c == '\n' || c == '\0'; }

// The C library's memchr finds the candidates for the first byte.
const char* find_from_first_byte(const char* text, std::size_t length, const char* needle,
                                 std::size_t needle_length) {
  while (length >= needle_length) {
    const void* first = std::memchr(text, needle[0], length - needle_length + 1);
    if (first == nullptr) return nullptr;
    const char* at = static_cast<const char*>(first);
    if (std::memcmp(at, needle, needle_length) == 0) return at;
    length -= static_cast<std::size_t>(at + 1 - text);
    text = at + 1;
  }
  return nullptr;
}

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
  const char* found = nullptr;
  const std::size_t i = VectorPart::anchored(text, length, needle, needle_length, first, second, &found);
  return found ? found : find_from_first_byte(text + i, length - i, needle, needle_length);
}

bool holds_any_of_three(const char* text, std::size_t length, const char* const needles[3],
                        std::size_t needle_length) {
  bool seen = false;
  const std::size_t i = VectorPart::three(text, length, needles, needle_length, &seen);
  if (seen) return true;
  for (int n = 0; n < 3; ++n) {
    if (find_bytes(text + i, length - i, needles[n], needle_length) != nullptr) return true;
  }
  return false;
}

const char* find_bytes_or_line_end(const char* text, std::size_t length, const char* needle,
                                   std::size_t needle_length) {
  const char* found = nullptr;
  std::size_t i = VectorPart::needle_or_line_end(text, length, needle, needle_length, &found);
  if (found) return found;
  for (; i < length; ++i) {
    const char* at = text + i;
    if (ends_line(*at)) return at;
    if (i + needle_length <= length && std::memcmp(at, needle, needle_length) == 0) return at;
  }
  return nullptr;
}

const char* find_line_end_noting(const char* text, std::size_t length, const char* const needles[3],
                                 std::size_t needle_length, bool& seen) {
  seen = false;
  const char* found = nullptr;
  const std::size_t i = VectorPart::line_end_noting(text, length, needles, needle_length, &seen, &found);
  // A needle that started in the vector part was compared whole there.
  const char* stop = found ? found : find_line_end_or_nul(text + i, length - i);
  if (!seen) {
    const std::size_t before = stop ? static_cast<std::size_t>(stop - text) : length;
    seen = before > i && holds_any_of_three(text + i, before - i, needles, needle_length);
  }
  return stop;
}

const char* find_line_end_or_nul(const char* text, std::size_t length) {
  const char* found = nullptr;
  const std::size_t i = VectorPart::line_end(text, length, &found);
  if (found) return found;
  text += i;
  length -= i;
  // memchr for each: NULs are rare.
  const void* lf = std::memchr(text, '\n', length);
  const std::size_t before_lf = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text) : length;
  const void* nul = std::memchr(text, '\0', before_lf);
  return static_cast<const char*>(nul ? nul : lf);
}
