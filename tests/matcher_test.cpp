#include "search/matcher.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "settings/settings.h"

namespace {

struct MatchCase {
  const char* what;
  const char* mode;
  std::initializer_list<const char*> slots;
  const char* text;
  bool matches;
};

const MatchCase kCases[] = {
    {"no strings: everything", "and", {}, "anything", true},
    {"no strings: even empty", "or", {}, "", true},
    {"empty message, slot 1 set", "and", {"foo"}, "", false},
    {"all: both present", "and", {"foo", "bar"}, "a foo and a bar", true},
    {"all: one missing", "and", {"foo", "bar"}, "only foo", false},
    {"all: AND in capitals", "AND", {"foo", "bar"}, "only foo", false},
    {"any: second present", "or", {"foo", "bar"}, "only bar", true},
    {"any: neither", "or", {"foo", "bar"}, "nothing", false},
    {"any: empty mode", "", {"foo", "bar"}, "bar", true},
    {"any: unknown word", "either", {"foo", "bar"}, "bar", true},
    {"gap ends the walk in all-mode", "and", {"foo", "", "bar"}, "foo only", true},
    {"gap ends the walk in any-mode", "or", {"foo", "", "bar"}, "bar only", false},
    {"slot 1 empty ignores the rest", "and", {"", "bar"}, "nothing", true},
    {"case counts", "and", {"Foo"}, "foo", false},
    {"bytes compared as bytes", "and", {"caf\xc3\xa9"}, "un caf\xc3\xa9 noir", true},
    {"all nine slots", "and", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}, "987654321", true},
    {"ninth slot missing", "and", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}, "87654321", false},
};

TEST(Matcher, AppliesSlotsAndMode) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    SearchSettings settings;
    settings.all_mode = is_all_mode(c.mode);
    std::size_t k = 0;
    for (const char* s : c.slots) settings.search_strings[k++] = s;
    EXPECT_EQ(message_matches(settings, c.text), c.matches);
  }
}

}  // namespace
