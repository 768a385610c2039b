#include "settings/settings.h"

#include <gtest/gtest.h>


namespace {

struct MonthCase {
  const char* text;
  bool ok;
  int year, month;
};

const MonthCase kMonths[] = {
    {"2007_07", true, 2007, 7},   {"2007_7", true, 2007, 7},      {" 2007_07", true, 2007, 7},
    {"\t\n2007_07", true, 2007, 7}, {"2007_123", true, 2007, 12}, {"2007_07junk", true, 2007, 7},
    {"2007_ 7", true, 2007, 7},   {"1999_01", true, 1999, 1},     {"9999_12", true, 9999, 12},
    {"2007-07", false, 0, 0},     {"200707", false, 0, 0},        {"07_07", false, 0, 0},
    {"20071_07", false, 0, 0},    {"", false, 0, 0},              {"1998_12", false, 0, 0},
    {"2007_13", false, 0, 0},     {"2007_0", false, 0, 0},        {"2007 _07", false, 0, 0},
    {"+2007_07", false, 0, 0},    {"2007_-1", false, 0, 0},       {"abcd_07", false, 0, 0},
};

TEST(MonthText, ParsesLikeFormattedInput) {
  for (const auto& c : kMonths) {
    SCOPED_TRACE(c.text);
    Month m{-1, -1};
    EXPECT_EQ(parse_month(c.text, m), c.ok);
    if (c.ok) {
      EXPECT_EQ(m.year, c.year);
      EXPECT_EQ(m.month, c.month);
    } else {
      EXPECT_EQ(m.year, -1) << "a rejected text must leave the month alone";
    }
  }
}

SearchSettings make_settings(const char* mode, std::initializer_list<const char*> slots, const char* search_id) {
  SearchSettings s;
  s.all_mode = is_all_mode(mode);
  std::size_t k = 0;
  for (const char* text : slots) s.search_strings[k++] = text;
  s.start = {2006, 11};
  s.end = {2007, 2};
  s.search_id = search_id;
  return s;
}

struct AnnounceCase {
  const char* what;
  SearchSettings settings;
  const char* expected;
};

TEST(Announcement, ListsEveryNonEmptySlotWithTheModeWord) {
  const AnnounceCase cases[] = {
      {"id only", make_settings("and", {}, "42"),
       "Search instant message between 2006_11 and 2007_02 for id 42\n"},
      {"one string", make_settings("and", {"alpha"}, ""),
       "Search instant message between 2006_11 and 2007_02,target: 'alpha'\n"},
      {"all-mode with a gap", make_settings("and", {"alpha", "", "gamma", "", "", "", "", "", "iota"}, ""),
       "Search instant message between 2006_11 and 2007_02,target: 'alpha' and 'gamma' and 'iota'\n"},
      {"AND is all-mode", make_settings("AND", {"a", "b"}, ""),
       "Search instant message between 2006_11 and 2007_02,target: 'a' and 'b'\n"},
      {"any-mode with a gap and an id", make_settings("or", {"alpha", "", "gamma"}, "7"),
       "Search instant message between 2006_11 and 2007_02 for id 7,target: 'alpha' or 'gamma'\n"},
      {"empty mode is any-mode", make_settings("", {"a", "b"}, ""),
       "Search instant message between 2006_11 and 2007_02,target: 'a' or 'b'\n"},
      {"slot 1 empty, later slots still listed", make_settings("any", {"", "b"}, "9"),
       "Search instant message between 2006_11 and 2007_02 for id 9 or 'b'\n"},
      {"percent signs are text", make_settings("and", {"100%s"}, ""),
       "Search instant message between 2006_11 and 2007_02,target: '100%s'\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(format_announcement(c.settings), c.expected);
  }
}

TEST(MatchingMode, IsAllOnlyForAndInAnyCase) {
  const std::pair<const char*, bool> cases[] = {
      {"and", true}, {"AND", true}, {"And", true}, {"aNd", true}, {"", false},
      {"or", false}, {"any", false}, {"and ", false}, {"an", false}, {"andand", false},
  };
  for (const auto& [mode, all] : cases) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(is_all_mode(mode), all);
  }
}

}  // namespace
