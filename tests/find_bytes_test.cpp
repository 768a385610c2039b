// The byte searches of every build (find_bytes.h, and each scan loop's own:
// plain, SSE2, AVX2) held against std::string_view on one table: texts of 0 to
// 80 bytes at every alignment, needles of the lengths where the vector code
// changes course, placed at the start, across the 16- and 32-byte vector
// boundaries, at the end, twice, or not at all, among near misses; LFs and
// NULs placed around them for the line-end searches. Each text lies at the
// very end of its allocation, so that a read past it is caught under
// AddressSanitizer.
#include "search/find_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "search/simd/byte_searches.h"

#if defined(__SANITIZE_ADDRESS__)
#define LOGSIFT_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LOGSIFT_ASAN 1
#endif
#endif
#if defined(LOGSIFT_ASAN)
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace {

constexpr std::size_t kNpos = std::string_view::npos;
constexpr std::size_t kMaxText = 80;
constexpr std::size_t kAlignments = 32;  // the widest vector
const std::size_t kNeedleLengths[] = {1, 2, 3, 15, 16, 17, 31, 32, 33};

struct Build {
  std::string name;
  ByteSearches searches;
};

std::vector<Build> builds() {
  std::vector<Build> all = {{"find_bytes.h",
                             {&find_bytes, &find_bytes_anchored, &holds_any_of_three, &find_bytes_or_line_end,
                              &find_line_end_and_any_of_three, &find_line_end_or_nul}}};
  const std::pair<const char*, ScanLoop> loops[] = {
      {"plain loop", ScanLoop::plain}, {"SSE2 loop", ScanLoop::sse2}, {"AVX2 loop", ScanLoop::avx2}};
  for (const auto& [name, loop] : loops) {
    if (const ByteSearches* searches = byte_searches(loop)) {
      all.push_back({name, *searches});
    } else {
      std::printf("note: this build or processor has no %s; its searches are not tested here\n", name);
    }
  }
  return all;
}

// A copy of text whose first byte lies at offset from a 64-byte boundary and
// whose last byte is the last of its allocation. The bytes before it are
// poisoned too, as far as AddressSanitizer can mark them (whole 8-byte
// granules).
class PlacedText {
 public:
  PlacedText(std::string_view text, std::size_t offset)
      : buffer_(static_cast<char*>(::operator new (offset + text.size(), std::align_val_t{64}))), offset_(offset) {
    if (!text.empty()) std::memcpy(buffer_ + offset, text.data(), text.size());
    ASAN_POISON_MEMORY_REGION(buffer_, offset);
  }
  ~PlacedText() {
    ASAN_UNPOISON_MEMORY_REGION(buffer_, offset_);
    ::operator delete (buffer_, std::align_val_t{64});
  }
  PlacedText(const PlacedText&) = delete;
  PlacedText& operator=(const PlacedText&) = delete;
  const char* data() const { return buffer_ + offset_; }

 private:
  char* buffer_;
  std::size_t offset_;
};

// A needle of distinct-looking letters, and a near miss: the same bytes with
// its middle one changed, so that its first and last bytes make candidates.
std::string needle_of(std::size_t length) {
  std::string needle;
  for (std::size_t k = 0; k < length; ++k) needle += static_cast<char>('A' + (k * 7 + length) % 26);
  return needle;
}

std::string near_miss(const std::string& needle) {
  std::string miss = needle;
  miss[miss.size() / 2] = '#';
  return miss;
}

// The text: near misses, one after another with a '.' between, then the
// needle written at each of the places.
std::string text_with(std::size_t length, const std::string& needle, const std::vector<std::size_t>& places) {
  const std::string filler = near_miss(needle) + ".";
  std::string text;
  while (text.size() < length) text += filler;
  text.resize(length);
  for (std::size_t at : places) text.replace(at, needle.size(), needle);
  return text;
}

// Where the needle goes: nowhere, at the start, across each vector boundary,
// at the end, or twice (somewhere and at the end).
std::vector<std::vector<std::size_t>> placements(std::size_t length, std::size_t needle_length) {
  std::vector<std::vector<std::size_t>> all = {{}};
  if (needle_length > length) return all;
  const std::size_t last = length - needle_length;
  std::vector<std::size_t> starts = {0, 1};
  for (std::size_t boundary : {std::size_t{16}, std::size_t{32}, std::size_t{48}, std::size_t{64}}) {
    const std::size_t half = needle_length / 2;
    if (boundary >= half) starts.push_back(boundary - half);
    if (boundary >= needle_length) starts.push_back(boundary - needle_length);  // ends right at the boundary
  }
  starts.push_back(last);
  for (std::size_t at : starts) {
    if (at > last) continue;
    all.push_back({at});
    if (at + needle_length <= last) all.push_back({at, last});
  }
  return all;
}

std::size_t offset_of(const char* found, const char* text) {
  return found == nullptr ? kNpos : static_cast<std::size_t>(found - text);
}

std::size_t line_end_of(std::string_view text) { return text.find_first_of(std::string_view("\n\0", 2)); }

bool holds_any(std::string_view text, const std::string* const three[3]) {
  return text.find(*three[0]) != kNpos || text.find(*three[1]) != kNpos || text.find(*three[2]) != kNpos;
}

// Runs every search of every build on text at one offset and counts the
// answers that differ from std::string_view's, reporting the first few.
class Checker {
 public:
  explicit Checker(std::vector<Build> all) : builds_(std::move(all)) {}

  void check(const std::string& text, std::size_t offset, const std::string& needle, std::size_t rotation) {
    const PlacedText placed(text, offset);
    const char* const t = placed.data();
    const std::size_t n = text.size();
    const std::size_t m = needle.size();
    const std::string_view view(text);

    // Three needles of one length, the placed one among them at a rotating
    // place; the others differ from it in the first or the last byte.
    std::string other_first = needle, other_last = needle;
    other_first[0] = '%';
    other_last[m - 1] = '%';
    const std::string* three_strings[3] = {&needle, &other_first, &other_last};
    std::swap(three_strings[0], three_strings[rotation % 3]);
    const char* const three[3] = {three_strings[0]->data(), three_strings[1]->data(), three_strings[2]->data()};

    const std::size_t want_found = view.find(needle);
    const std::size_t want_end = line_end_of(view);
    const std::size_t want_needle_or_end = std::min(want_found, want_end);
    const bool want_any = holds_any(view, three_strings);
    const bool want_any_before_end = holds_any(view.substr(0, want_end), three_strings);

    for (const Build& b : builds_) {
      const ByteSearches& s = b.searches;
      const auto expect = [&](const char* what, auto got, auto want) {
        if (got == want) return;
        if (++failures_ <= 10) {
          ADD_FAILURE() << b.name << ": " << what << " gives " << got << ", string_view " << want << "; text length "
                        << n << " at offset " << offset << ", needle length " << m << ", text \""
                        << testing::PrintToString(text) << "\"";
        }
      };
      expect("find_bytes", offset_of(s.find_bytes(t, n, needle.data(), m), t), want_found);
      expect("find_line_end_or_nul", offset_of(s.find_line_end_or_nul(t, n), t), want_end);
      if (m < 2) continue;  // the rest take needles of 2 bytes or more
      for (const auto& [first, second] : {std::pair<std::size_t, std::size_t>{0, 1}, {m / 3, m - 1}, {m - 2, m - 1}}) {
        if (first >= second) continue;
        expect("find_bytes_anchored", offset_of(s.find_bytes_anchored(t, n, needle.data(), m, first, second), t),
               want_found);
      }
      expect("holds_any_of_three", s.holds_any_of_three(t, n, three, m), want_any);
      expect("find_bytes_or_line_end", offset_of(s.find_bytes_or_line_end(t, n, needle.data(), m), t),
             want_needle_or_end);
      bool any_before_end = !want_any_before_end;
      expect("find_line_end_and_any_of_three (end)",
             offset_of(s.find_line_end_and_any_of_three(t, n, three, m, any_before_end), t), want_end);
      expect("find_line_end_and_any_of_three (needle)", any_before_end, want_any_before_end);
    }
    ++texts_;
  }

  std::size_t failures() const { return failures_; }
  std::size_t texts() const { return texts_; }
  std::size_t build_count() const { return builds_.size(); }

 private:
  std::vector<Build> builds_;
  std::size_t failures_ = 0;
  std::size_t texts_ = 0;
};

TEST(ByteSearches, EveryBuildFindsNeedlesAsStringViewDoes) {
  Checker checker(builds());
  for (std::size_t length = 0; length <= kMaxText; ++length) {
    for (std::size_t m : kNeedleLengths) {
      const std::string needle = needle_of(m);
      std::size_t rotation = 0;
      for (const auto& places : placements(length, m)) {
        const std::string text = text_with(length, needle, places);
        for (std::size_t offset = 0; offset < kAlignments; ++offset) checker.check(text, offset, needle, rotation);
        ++rotation;
      }
    }
  }
  EXPECT_EQ(checker.failures(), 0u);
  std::printf("%zu texts, each through %zu builds\n", checker.texts(), checker.build_count());
}

// An LF or a NUL at the start, on each side of a vector boundary, at the end,
// and just before, on, inside and after a needle.
TEST(ByteSearches, EveryBuildStopsAtLineEndsAsStringViewDoes) {
  Checker checker(builds());
  for (std::size_t length = 1; length <= kMaxText; ++length) {
    for (std::size_t m : kNeedleLengths) {
      const std::string needle = needle_of(m);
      std::size_t rotation = 0;
      for (const auto& places : placements(length, m)) {
        if (places.size() > 1) continue;  // one needle is enough here
        const std::string text = text_with(length, needle, places);
        std::vector<std::size_t> ends = {0, 15, 16, 31, 32, 33, 63, 64, length - 1};
        if (!places.empty()) {
          const std::size_t at = places[0];
          for (std::size_t end : {at - 1, at, at + m / 2, at + m - 1, at + m}) ends.push_back(end);
        }
        for (std::size_t end : ends) {
          if (end >= length) continue;  // also at - 1 for a needle at 0
          std::string cut = text;
          cut[end] = (end + m) % 2 ? '\n' : '\0';
          // Every fourth alignment, starting from a different one each time:
          // the table as a whole has every alignment.
          for (std::size_t offset = (end + length) % 4; offset < kAlignments; offset += 4) {
            checker.check(cut, offset, needle, rotation);
          }
        }
        ++rotation;
      }
    }
  }
  EXPECT_EQ(checker.failures(), 0u);
  std::printf("%zu texts, each through %zu builds\n", checker.texts(), checker.build_count());
}

}  // namespace
