// The vector kernels behind the byte searches, written once for any vector
// policy of simd/policies.h that has a width. They are always inlined: each
// scan loop holds its own. Every kernel works on whole
// vectors only, reads nothing at or past text + length, and returns the offset
// where it stopped; the caller finishes the rest (simd/finders.h). A kernel
// that finds its answer sets *found (or *seen) and returns.
//
// Internal linkage throughout: each file compiles its own copy for its
// instruction set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "search/chunk_needles.h"
#include "search/simd/policies.h"

namespace {

// Candidates are compared whole: a few fixed-size loads for short needles.
inline bool equal_bytes(const char* a, const char* b, std::size_t n) {
  if (n >= 8 && n <= 16) {
    std::uint64_t x0, y0, x1, y1;
    std::memcpy(&x0, a, 8);
    std::memcpy(&y0, b, 8);
    std::memcpy(&x1, a + n - 8, 8);
    std::memcpy(&y1, b + n - 8, 8);
    return x0 == y0 && x1 == y1;
  }
  if (n >= 4 && n < 8) {
    std::uint32_t x0, y0, x1, y1;
    std::memcpy(&x0, a, 4);
    std::memcpy(&y0, b, 4);
    std::memcpy(&x1, a + n - 4, 4);
    std::memcpy(&y1, b + n - 4, 4);
    return x0 == y0 && x1 == y1;
  }
  return std::memcmp(a, b, n) == 0;
}

inline unsigned lowest_bit(std::uint32_t mask) { return static_cast<unsigned>(__builtin_ctz(mask)); }

template <class V>
[[gnu::always_inline]] inline std::size_t anchored_kernel(const char* text, std::size_t length, const char* needle,
                                                          std::size_t needle_length, std::size_t first,
                                                          std::size_t second, const char** found) {
  const typename V::Reg want_first = V::splat(needle[first]);
  const typename V::Reg want_second = V::splat(needle[second]);
  std::size_t i = 0;
  for (; i + needle_length - 1 + V::kWidth <= length; i += V::kWidth) {
    std::uint32_t mask =
        V::bits(V::both(V::eq(V::load(text + i + first), want_first), V::eq(V::load(text + i + second), want_second)));
    for (; mask != 0; mask &= mask - 1) {
      const char* at = text + i + lowest_bit(mask);
      if (equal_bytes(at, needle, needle_length)) {
        *found = at;
        return i;
      }
    }
  }
  return i;
}

template <class V>
struct ThreeNeedles {
  typename V::Reg first[3], last[3];
  std::size_t last_offset;
  ThreeNeedles(const char* const needles[3], std::size_t needle_length) : last_offset(needle_length - 1) {
    for (int n = 0; n < 3; ++n) {
      first[n] = V::splat(needles[n][0]);
      last[n] = V::splat(needles[n][last_offset]);
    }
  }
  typename V::Reg candidates(const char* at) const {
    const typename V::Reg a = V::load(at), b = V::load(at + last_offset);
    return V::either(
        V::either(V::both(V::eq(a, first[0]), V::eq(b, last[0])), V::both(V::eq(a, first[1]), V::eq(b, last[1]))),
        V::both(V::eq(a, first[2]), V::eq(b, last[2])));
  }
};

inline bool is_any_of_three(const char* at, const char* const needles[3], std::size_t needle_length) {
  return equal_bytes(at, needles[0], needle_length) || equal_bytes(at, needles[1], needle_length) ||
         equal_bytes(at, needles[2], needle_length);
}

template <class V>
[[gnu::always_inline]] inline std::size_t three_kernel(const char* text, std::size_t length,
                                                       const char* const needles[3], std::size_t needle_length,
                                                       bool* seen) {
  const ThreeNeedles<V> three(needles, needle_length);
  std::size_t i = 0;
  for (; i + needle_length - 1 + V::kWidth <= length; i += V::kWidth) {
    for (std::uint32_t mask = V::bits(three.candidates(text + i)); mask != 0; mask &= mask - 1) {
      if (is_any_of_three(text + i + lowest_bit(mask), needles, needle_length)) {
        *seen = true;
        return i;
      }
    }
  }
  return i;
}

template <class V>
[[gnu::always_inline]] inline typename V::Reg line_ends(typename V::Reg a) {
  return V::either(V::eq(a, V::splat('\n')), V::eq(a, V::splat('\0')));
}

template <class V>
[[gnu::always_inline]] inline std::size_t line_end_kernel(const char* text, std::size_t length, const char** found) {
  std::size_t i = 0;
  for (; i + V::kWidth <= length; i += V::kWidth) {
    if (std::uint32_t mask = V::bits(line_ends<V>(V::load(text + i)))) {
      *found = text + i + lowest_bit(mask);
      return i;
    }
  }
  return i;
}

template <class V>
[[gnu::always_inline]] inline std::size_t needle_or_line_end_kernel(const char* text, std::size_t length,
                                                                    const char* needle, std::size_t needle_length,
                                                                    const char** found) {
  const std::size_t last = needle_length - 1;
  const typename V::Reg first_byte = V::splat(needle[0]), last_byte = V::splat(needle[last]);
  std::size_t i = 0;
  for (; i + last + V::kWidth <= length; i += V::kWidth) {
    const typename V::Reg a = V::load(text + i);
    const typename V::Reg candidate = V::both(V::eq(a, first_byte), V::eq(V::load(text + i + last), last_byte));
    for (std::uint32_t mask = V::bits(V::either(candidate, line_ends<V>(a))); mask != 0; mask &= mask - 1) {
      const char* at = text + i + lowest_bit(mask);
      if (*at == '\n' || *at == '\0' || equal_bytes(at, needle, needle_length)) {
        *found = at;
        return i;
      }
    }
  }
  return i;
}

// Stops at the first line end; *seen tells whether one of the three needles
// lies wholly before it. A needle that starts in the whole vectors is compared
// there, so a caller that gets *seen false goes on from the returned offset.
template <class V>
[[gnu::always_inline]] inline std::size_t line_end_and_any_of_three_kernel(const char* text, std::size_t length,
                                                                           const char* const needles[3],
                                                                           std::size_t needle_length, bool* seen,
                                                                           const char** found) {
  const ThreeNeedles<V> three(needles, needle_length);
  std::size_t i = 0;
  for (; i + needle_length - 1 + V::kWidth <= length; i += V::kWidth) {
    const typename V::Reg a = V::load(text + i);
    const std::uint32_t end = V::bits(line_ends<V>(a));
    if (!*seen) {
      std::uint32_t mask = V::bits(three.candidates(text + i));
      if (end != 0) mask &= (end & (0u - end)) - 1;  // only candidates before the line end
      for (; mask != 0 && !*seen; mask &= mask - 1) {
        *seen = is_any_of_three(text + i + lowest_bit(mask), needles, needle_length);
      }
    }
    if (end != 0) {
      *found = text + i + lowest_bit(end);
      return i;
    }
  }
  return i;
}

// The candidates of a chunk's needles: the first, middle and last bytes of a
// needle of the one group, in registers for the whole search. Three bytes,
// not two: a needle that fits the text only by its ends (base64 text is full
// of them) costs a mispredicted branch, more than the third compare.
template <class V>
struct OneGroup {
  const NeedleGroup& group;
  std::size_t middle, last;
  typename V::Reg first_bytes[3], middle_bytes[3], last_bytes[3];
  explicit OneGroup(const ChunkNeedles& needles)
      : group(needles.groups()[0]), middle(group.length / 2), last(group.length - 1) {
    for (int n = 0; n < 3; ++n) {
      first_bytes[n] = V::splat(group.needles[n][0]);
      middle_bytes[n] = V::splat(group.needles[n][middle]);
      last_bytes[n] = V::splat(group.needles[n][last]);
    }
  }
  typename V::Reg candidates(const char* at) const {
    const typename V::Reg a = V::load(at), b = V::load(at + middle), c = V::load(at + last);
    typename V::Reg any = V::both(V::both(V::eq(a, first_bytes[0]), V::eq(b, middle_bytes[0])), V::eq(c, last_bytes[0]));
    for (int n = 1; n < 3; ++n) {
      any = V::either(any, V::both(V::both(V::eq(a, first_bytes[n]), V::eq(b, middle_bytes[n])), V::eq(c, last_bytes[n])));
    }
    return any;
  }
  // A candidate with room for the needle: compared inline.
  bool holds(const char* at, std::size_t) const { return is_any_of_three(at, group.needles, group.length); }
};

// The same for several groups ("or" mode, one for each string, each with its
// own length), by their first and last bytes, the registers made once.
template <class V>
struct ManyGroups {
  const ChunkNeedles& needles;
  std::size_t count;
  std::size_t last[ChunkNeedles::kMaxGroups];
  typename V::Reg first_bytes[ChunkNeedles::kMaxGroups][3], last_bytes[ChunkNeedles::kMaxGroups][3];
  explicit ManyGroups(const ChunkNeedles& all) : needles(all), count(all.count()) {
    for (std::size_t g = 0; g < count; ++g) {
      const NeedleGroup& group = all.groups()[g];
      last[g] = group.length - 1;
      for (int n = 0; n < 3; ++n) {
        first_bytes[g][n] = V::splat(group.needles[n][0]);
        last_bytes[g][n] = V::splat(group.needles[n][last[g]]);
      }
    }
  }
  typename V::Reg candidates(const char* at) const {
    const typename V::Reg a = V::load(at);
    typename V::Reg any = V::eq(V::splat('\0'), V::splat('\1'));  // none yet
    for (std::size_t g = 0; g < count; ++g) {
      const typename V::Reg b = V::load(at + last[g]);
      for (int n = 0; n < 3; ++n) {
        any = V::either(any, V::both(V::eq(a, first_bytes[g][n]), V::eq(b, last_bytes[g][n])));
      }
    }
    return any;
  }
  bool holds(const char* at, std::size_t) const {
    for (std::size_t g = 0; g < count; ++g) {
      const NeedleGroup& group = needles.groups()[g];
      if (is_any_of_three(at, group.needles, group.length)) return true;
    }
    return false;
  }
};

// The first place where one of the chunk's needles starts. Two vectors a
// round: candidates are rare, and the bits of both are tested at once.
template <class V, class Groups>
[[gnu::always_inline]] inline std::size_t first_needle_kernel(const char* text, std::size_t length,
                                                              const ChunkNeedles& needles, const char** found) {
  const Groups groups(needles);
  const std::size_t reach = needles.longest() - 1;
  std::size_t i = 0;
  for (; i + reach + 2 * V::kWidth <= length; i += 2 * V::kWidth) {
    std::uint64_t mask = V::bits(groups.candidates(text + i)) |
                         static_cast<std::uint64_t>(V::bits(groups.candidates(text + i + V::kWidth))) << V::kWidth;
    for (; mask != 0; mask &= mask - 1) {
      const char* at = text + i + static_cast<unsigned>(__builtin_ctzll(mask));
      if (groups.holds(at, length - static_cast<std::size_t>(at - text))) {
        *found = at;
        return i;
      }
    }
  }
  return i;
}

}  // namespace
