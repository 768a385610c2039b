// The byte searches, written once over a vector policy (simd/policies.h):
// the policy's kernel runs over the whole vectors, and what is left goes to
// the same search of its Narrower policy, down to NoVector, whose searches
// are the plain loops over the C library's memchr. Finders<DefaultPolicy> is
// find_bytes.h; each scan loop inlines the Finders of its own policy.
//
// The searches are always inlined, so that each scan loop holds its kernels;
// what is left after the whole vectors goes through a call (out_of_line), so
// that the narrower searches do not swell the loop: they run once per search
// at most, on fewer bytes than a vector and a needle.
//
// The contracts are those of find_bytes.h. Internal linkage throughout.
#pragma once

#include <cstddef>
#include <cstring>
#include <utility>

#include "search/simd/kernels.h"
#include "search/simd/policies.h"

namespace {

inline bool ends_line(char c) { return c == '\n' || c == '\0'; }

template <auto search, class... Args>
[[gnu::noinline]] decltype(auto) out_of_line(Args&&... args) {
  return search(std::forward<Args>(args)...);
}

template <class V>
struct Finders;

// What finishes the searches of V after its whole vectors.
template <class V>
using Rest = Finders<typename V::Narrower>;

template <class V>
struct Finders {
  [[gnu::always_inline]] static const char* find_bytes(const char* text, std::size_t length, const char* needle,
                                                       std::size_t needle_length) {
    if (needle_length == 0) return text;
    if (length < needle_length) return nullptr;
    if (needle_length == 1) return static_cast<const char*>(std::memchr(text, needle[0], length));
    return find_bytes_anchored(text, length, needle, needle_length, 0, needle_length - 1);
  }

  [[gnu::always_inline]] static const char* find_bytes_anchored(const char* text, std::size_t length,
                                                                const char* needle, std::size_t needle_length,
                                                                std::size_t first, std::size_t second) {
    if (length < needle_length) return nullptr;
    if constexpr (kHasVectors<V>) {
      const char* found = nullptr;
      const std::size_t i = anchored_kernel<V>(text, length, needle, needle_length, first, second, &found);
      if (found) return found;
      return out_of_line<&Rest<V>::find_bytes_anchored>(text + i, length - i, needle, needle_length, first, second);
    } else {
      // memchr finds the candidates for the first byte.
      while (length >= needle_length) {
        const void* candidate = std::memchr(text, needle[0], length - needle_length + 1);
        if (candidate == nullptr) return nullptr;
        const char* at = static_cast<const char*>(candidate);
        if (std::memcmp(at, needle, needle_length) == 0) return at;
        length -= static_cast<std::size_t>(at + 1 - text);
        text = at + 1;
      }
      return nullptr;
    }
  }

  [[gnu::always_inline]] static bool holds_any_of_three(const char* text, std::size_t length,
                                                        const char* const needles[3], std::size_t needle_length) {
    if constexpr (kHasVectors<V>) {
      bool seen = false;
      const std::size_t i = three_kernel<V>(text, length, needles, needle_length, &seen);
      return seen || out_of_line<&Rest<V>::holds_any_of_three>(text + i, length - i, needles, needle_length);
    } else {
      for (int n = 0; n < 3; ++n) {
        if (find_bytes(text, length, needles[n], needle_length) != nullptr) return true;
      }
      return false;
    }
  }

  [[gnu::always_inline]] static const char* find_bytes_or_line_end(const char* text, std::size_t length,
                                                                   const char* needle, std::size_t needle_length) {
    if constexpr (kHasVectors<V>) {
      const char* found = nullptr;
      const std::size_t i = needle_or_line_end_kernel<V>(text, length, needle, needle_length, &found);
      if (found) return found;
      return out_of_line<&Rest<V>::find_bytes_or_line_end>(text + i, length - i, needle, needle_length);
    } else {
      for (std::size_t i = 0; i < length; ++i) {
        const char* at = text + i;
        if (ends_line(*at)) return at;
        if (i + needle_length <= length && std::memcmp(at, needle, needle_length) == 0) return at;
      }
      return nullptr;
    }
  }

  [[gnu::always_inline]] static const char* find_line_end_and_any_of_three(const char* text, std::size_t length,
                                                                           const char* const needles[3],
                                                                           std::size_t needle_length,
                                                                           bool& needle_before_end) {
    if constexpr (kHasVectors<V>) {
      needle_before_end = false;
      const char* found = nullptr;
      const std::size_t i =
          line_end_and_any_of_three_kernel<V>(text, length, needles, needle_length, &needle_before_end, &found);
      if (found) return found;
      if (needle_before_end) return out_of_line<&Rest<V>::find_line_end_or_nul>(text + i, length - i);
      return out_of_line<&Rest<V>::find_line_end_and_any_of_three>(text + i, length - i, needles, needle_length,
                                                                   needle_before_end);
    } else {
      const char* stop = find_line_end_or_nul(text, length);
      const std::size_t before = stop ? static_cast<std::size_t>(stop - text) : length;
      needle_before_end = holds_any_of_three(text, before, needles, needle_length);
      return stop;
    }
  }

  [[gnu::always_inline]] static const char* find_line_end_or_nul(const char* text, std::size_t length) {
    if constexpr (kHasVectors<V>) {
      const char* found = nullptr;
      const std::size_t i = line_end_kernel<V>(text, length, &found);
      if (found) return found;
      return out_of_line<&Rest<V>::find_line_end_or_nul>(text + i, length - i);
    } else {
      // memchr for each: NULs are rare.
      const void* lf = std::memchr(text, '\n', length);
      const std::size_t before_lf = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text) : length;
      const void* nul = std::memchr(text, '\0', before_lf);
      return static_cast<const char*>(nul ? nul : lf);
    }
  }

  // The first place in text[0, length) where one of needles starts, or
  // nullptr.
  [[gnu::always_inline]] static const char* find_first_needle(const char* text, std::size_t length,
                                                              const ChunkNeedles& needles) {
    if constexpr (kHasVectors<V>) {
      const char* found = nullptr;
      const std::size_t i = needles.count() == 1
                                ? first_needle_kernel<V, OneGroup<V>>(text, length, needles, &found)
                                : first_needle_kernel<V, ManyGroups<V>>(text, length, needles, &found);
      if (found) return found;
      return out_of_line<&Rest<V>::find_first_needle>(text + i, length - i, needles);
    } else {
      // A table of first bytes, and with one group (one length) of last
      // bytes too: a byte common in the logs, such as the blank of an id's
      // needle, then rarely costs a comparison.
      if (needles.count() == 1) {
        const std::size_t last = needles.groups()[0].length - 1;
        for (std::size_t i = 0; i + last < length; ++i) {
          if (needles.may_start(text[i]) && needles.may_end(text[i + last]) && needles.holds_at(text + i, length - i)) {
            return text + i;
          }
        }
        return nullptr;
      }
      for (std::size_t i = 0; i < length; ++i) {
        if (needles.may_start(text[i]) && needles.holds_at(text + i, length - i)) return text + i;
      }
      return nullptr;
    }
  }
};

}  // namespace
