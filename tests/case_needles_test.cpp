// The needles of a search in any letter case. The promise is the prefilter's:
// a message that holds a search string in any case is never ruled out, by the
// base64 prefilter or by the chunk search, whatever case its letters take.
#include "search/case_needles.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "search/chunk_needles.h"
#include "search/prefilter.h"
#include "search/record_matcher.h"
#include "support/records.h"
#include "text/case_fold.h"
#include "text/utf8.h"

namespace {

// text with each character replaced by one of its case variants, at random.
std::string recased(const std::string& text, std::mt19937& random) {
  std::string out;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end) {
    const std::size_t length = utf8_sequence_length(p, end);
    if (length == 0) {
      out += *p++;
      continue;
    }
    const std::vector<char32_t> variants = case_variants(utf8_decode(p, length));
    utf8_append(out, variants[random() % variants.size()]);
    p += length;
  }
  return out;
}

SearchSettings any_case(std::vector<std::string> strings, bool all_mode) {
  SearchSettings s;
  for (std::size_t k = 0; k < strings.size(); ++k) s.search_strings[k] = strings[k];
  s.all_mode = all_mode;
  s.ignore_case = true;
  return s;
}

TEST(CaseNeedles, NeverRuleOutAMessageThatMatchesInAnyCase) {
  const struct {
    std::vector<std::string> strings;
    bool all_mode;
  } searches[] = {
      {{"coffee"}, true},
      {{"zanzibar"}, true},
      {{"Kaffee", "coffee"}, false},
      {{"caf\xC3\xA9", "tea"}, true},
      {{"\xE3\x82\xB3\xE3\x83\xBC\xE3\x83\x92\xE3\x83\xBC"}, true},
      {{"stra\xC3\x9F" "e"}, true},
      {{"kiss"}, true},
      {{"\xCF\x83\xCE\xBF\xCF\x86\xCE\xB9\xCE\xB1"}, true},
      {{"\xD0\xB6\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB", "x1"}, false},
      {{"ab\xE9" "cd"}, true},
  };
  const std::string filler[] = {"", "a", "ab", "Lorem ipsum ", "\xC3\xA9t\xC3\xA9 "};
  std::mt19937 random(12345);
  int messages = 0;
  for (const auto& search : searches) {
    const SearchSettings settings = any_case(search.strings, search.all_mode);
    SCOPED_TRACE(search.strings[0]);
    const NeedleStrings view = prefilter_strings(settings);
    const Base64Prefilter prefilter(view);
    const ChunkNeedles needles(view, "");
    EXPECT_LE(needles.count(), ChunkNeedles::kMaxGroups);
    const RecordMatcher matcher(settings);
    for (int round = 0; round < 200; ++round) {
      std::string message = filler[random() % 5];
      for (const std::string& text : search.strings) message += recased(text, random) + filler[random() % 5];
      if (!matcher.message_matches(message)) continue;
      ++messages;
      const std::string coded = base64(message);
      ASSERT_TRUE(prefilter.may_match(coded.data(), coded.size())) << message;
      if (!needles.usable()) continue;
      bool found = false;
      for (std::size_t at = 0; at < coded.size() && !found; ++at) found = needles.holds_at(&coded[at], coded.size() - at);
      ASSERT_TRUE(found) << message;
    }
  }
  EXPECT_GT(messages, 1000);
}

// The search keeps a prefilter where the forms fit the budget, and steps aside
// where they do not.
TEST(CaseNeedles, FormsWithinTheBudget) {
  const struct {
    const char* what;
    std::vector<std::string> strings;
    bool all_mode;
    int forms;
  } cases[] = {
      {"four letters of a word: 16 forms", {"coffee"}, true, 16},
      {"no letters: the string itself", {"2007-01"}, true, 1},
      {"Japanese has no case", {"\xE3\x82\xB3\xE3\x83\xBC\xE3\x83\x92\xE3\x83\xBC"}, true, 1},
      {"and: the string with the longest window", {"ab", "12345"}, true, 1},
      {"or: the budget is shared", {"tea", "milk"}, false, 16},
      {"or: too many strings for the budget", {"tea", "milk", "sugar"}, false, 0},
      {"or: a string too short steps aside", {"coffee", "ab"}, false, 0},
      {"a byte that is no UTF-8 ends a window", {"ab\xE9" "cd"}, true, 0},
      {"k has three forms", {"kkk"}, true, 0},
      {"case counts: the settings as they are", {"coffee"}, true, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SearchSettings s = any_case(c.strings, c.all_mode);
    if (c.forms < 0) {
      s.ignore_case = false;
      EXPECT_EQ(prefilter_strings(s).strings, c.strings);
      EXPECT_TRUE(prefilter_strings(s).all_mode);
      continue;
    }
    const NeedleStrings view = prefilter_strings(s);
    EXPECT_EQ(view.strings.size(), static_cast<std::size_t>(c.forms));
  }
}

}  // namespace
