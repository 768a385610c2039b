// The prefilter's promise: it never rules out a message that matches. For
// many messages and search strings (1 to 10 bytes, at every byte offset mod 3,
// at the message's start and end, one slot or several, all-mode and
// any-mode), whenever the decoded message satisfies the matcher, the
// prefilter must say that it may match: Base64Prefilter::may_match on the
// base64 text, the single string's needles on that text, and the verdict that
// each build of the record finder hands over with the record, visiting every
// line or searching first for the chunk's needles (which must find the line).
#include "search/prefilter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "search/chunk_needles.h"
#include "search/find_bytes.h"
#include "search/matcher.h"
#include "search/record_finder.h"
#include "settings/settings.h"
#include "support/records.h"

namespace {

struct Verdicts final : RecordSink {
  std::vector<bool> may_match;
  bool take(const RecordLine& record) override {
    may_match.push_back(record.message_may_match);
    return true;
  }
};

struct Loop {
  const char* name;
  FindRecords find;
};

std::vector<Loop> loops() {
  std::vector<Loop> all;
  const std::pair<const char*, ScanLoop> named[] = {
      {"plain loop", ScanLoop::plain}, {"SSE2 loop", ScanLoop::sse2}, {"AVX2 loop", ScanLoop::avx2}};
  for (const auto& [name, loop] : named) {
    if (FindRecords find = record_finder(loop)) {
      all.push_back({name, find});
    } else {
      std::printf("note: this build or processor has no %s; its verdicts are not tested here\n", name);
    }
  }
  return all;
}

class PromiseChecker {
 public:
  // Checks one message against one set of settings.
  void check(const SearchSettings& settings, const std::string& message) {
    // The message ends at its first NUL for the matcher, as in the scan.
    const std::size_t nul = message.find('\0');
    const std::string_view matched(message.data(), nul == std::string::npos ? message.size() : nul);
    const bool matches = message_matches(settings, matched);
    const Base64Prefilter prefilter(settings);
    const std::string coded = base64(message);
    const bool may_match = prefilter.may_match(coded.data(), coded.size());
    if (!matches) {
      ++not_matching_;
      if (!may_match) ++ruled_out_;
      return;
    }
    ++matching_;
    const auto fail = [&](const std::string& path) {
      if (++failures_ > 10) return;
      std::string slots;
      for (const std::string& s : settings.search_strings) {
        if (!s.empty()) slots += testing::PrintToString(s) + " ";
      }
      ADD_FAILURE() << path << " rules out a matching message " << testing::PrintToString(message) << " (base64 "
                    << coded << ") for " << slots << (settings.all_mode ? "(all)" : "(any)");
    };
    if (!may_match) fail("may_match");

    std::size_t needle_length = 0;
    if (const char* const* needles = prefilter.single_string_needles(needle_length)) {
      if (!holds_any_of_three(coded.data(), coded.size(), needles, needle_length)) fail("the single string's needles");
    }

    const std::string line = record(message) + "\n";
    const Chunk chunk{line.data(), line.data() + line.size()};
    // Each loop visiting every line, and searching first for the chunk's
    // needles where there are any: those must be in the matching line.
    const ChunkNeedles chunk_needles(settings, "");
    for (const ChunkNeedles* needles : {static_cast<const ChunkNeedles*>(nullptr), &chunk_needles}) {
      if (needles != nullptr && !needles->usable()) continue;
      const RecordFilter filter{&prefilter, "", 0, needles};
      for (const Loop& loop : loops_) {
        const std::string name = std::string(loop.name) + (needles ? ", searching first" : "");
        Verdicts verdicts;
        loop.find(chunk, filter, verdicts);
        if (verdicts.may_match.size() != 1) {
          fail(name + " (found " + std::to_string(verdicts.may_match.size()) + " records)");
        } else if (!verdicts.may_match[0]) {
          fail(name);
        }
      }
    }
  }

  std::size_t failures() const { return failures_; }
  std::size_t matching() const { return matching_; }
  std::size_t not_matching() const { return not_matching_; }
  std::size_t ruled_out() const { return ruled_out_; }

 private:
  std::vector<Loop> loops_ = loops();
  std::size_t failures_ = 0;
  std::size_t matching_ = 0;
  std::size_t not_matching_ = 0;
  std::size_t ruled_out_ = 0;
};

class Bytes {
 public:
  explicit Bytes(unsigned seed) : rng_(seed) {}
  unsigned below(unsigned n) { return static_cast<unsigned>(rng_() % n); }

  // Any byte but LF and CR, which a search.ini value cannot hold, and NUL,
  // which ends a value.
  std::string search_string(std::size_t length) {
    std::string s;
    while (s.size() < length) {
      const char c = static_cast<char>(1 + below(255));
      if (c != '\n' && c != '\r') s += c;
    }
    return s;
  }

  // Any bytes, a NUL now and then.
  std::string filler(std::size_t length) {
    std::string s;
    for (std::size_t k = 0; k < length; ++k) s += below(40) == 0 ? '\0' : static_cast<char>(1 + below(255));
    return s;
  }

 private:
  std::mt19937 rng_;
};

TEST(Prefilter, NeverRulesOutAMatchingMessageOfOneString) {
  PromiseChecker checker;
  Bytes bytes(3);
  for (std::size_t length = 1; length <= 10; ++length) {
    for (int trial = 0; trial < 40; ++trial) {
      const std::string wanted = bytes.search_string(length);
      SearchSettings settings;
      settings.search_strings[0] = wanted;
      settings.all_mode = trial % 2 == 0;
      // Before it: 0 to 5 bytes, every offset mod 3 and the message start;
      // after it: nothing (the message end, where the last group is cut
      // short) or a few bytes.
      for (std::size_t before = 0; before <= 5; ++before) {
        for (std::size_t after : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}}) {
          checker.check(settings, bytes.filler(before) + wanted + bytes.filler(after));
        }
      }
      // The string with one byte changed, which must not count.
      std::string near = wanted;
      near[length / 2] = static_cast<char>(near[length / 2] ^ 0x40);
      checker.check(settings, bytes.filler(trial % 4) + near + bytes.filler(2));
    }
  }
  EXPECT_EQ(checker.failures(), 0u);
  EXPECT_GT(checker.matching(), 10000u);
  EXPECT_GT(checker.ruled_out(), 0u);
  std::printf("%zu matching messages checked; %zu of %zu others ruled out\n", checker.matching(), checker.ruled_out(),
              checker.not_matching());
}

TEST(Prefilter, NeverRulesOutAMatchingMessageOfSeveralStrings) {
  PromiseChecker checker;
  Bytes bytes(5);
  for (int trial = 0; trial < 10000; ++trial) {
    SearchSettings settings;
    settings.all_mode = bytes.below(2) == 0;
    const unsigned slots = 2 + bytes.below(4);
    std::vector<std::string> wanted;
    for (unsigned k = 0; k < slots; ++k) {
      wanted.push_back(bytes.search_string(1 + bytes.below(10)));
      settings.search_strings[k] = wanted.back();
    }
    // Now and then an empty slot, which ends the strings the matcher tries.
    if (bytes.below(8) == 0) settings.search_strings[1 + bytes.below(slots - 1)].clear();
    // Each string in the message or not, in any order, at any offset.
    std::string message = bytes.filler(bytes.below(4));
    for (unsigned k = 0; k < slots; ++k) {
      const std::string& s = wanted[(k + static_cast<unsigned>(trial)) % slots];
      if (bytes.below(4) != 0) message += s + bytes.filler(bytes.below(4));
    }
    checker.check(settings, message);
  }
  EXPECT_EQ(checker.failures(), 0u);
  EXPECT_GT(checker.matching(), 4000u);
  // The prefilter rules out messages here, so the verdicts above came from
  // its needles, not from a prefilter that lets everything through.
  EXPECT_GT(checker.ruled_out(), 0u);
  std::printf("%zu matching messages checked; %zu of %zu others ruled out\n", checker.matching(), checker.ruled_out(),
              checker.not_matching());
}

}  // namespace
