// The record filters: time stamps and bounds, the fields of a record line, and
// the matcher that applies them.
#include <gtest/gtest.h>

#include <string>

#include "search/record_fields.h"
#include "search/record_matcher.h"
#include "settings/time_stamp.h"

namespace {

TEST(TimeStamp, ReadsOnlyRealTimes) {
  const struct {
    const char* text;
    bool ok;
    TimeKey key;
  } cases[] = {
      {"2007-01-08 09:02:13", true, 20070108090213},
      {"2007/01/08 09:02:13", true, 20070108090213},
      {"2007-01/08 23:59:59 and more", true, 20070108235959},
      {"2008-02-29 00:00:00", true, 20080229000000},
      {"2000-02-29 00:00:00", true, 20000229000000},
      {"1900-02-29 00:00:00", false, 0},
      {"2007-02-29 00:00:00", false, 0},
      {"2007-04-31 00:00:00", false, 0},
      {"2007-13-01 00:00:00", false, 0},
      {"2007-00-01 00:00:00", false, 0},
      {"2007-01-00 00:00:00", false, 0},
      {"2007-01-08 24:00:00", false, 0},
      {"2007-01-08 23:60:00", false, 0},
      {"2007-01-08 23:59:60", false, 0},
      {"2007-01-08T09:02:13", false, 0},
      {"2007-01-08 09:02:1", false, 0},
      {"2007.01.08 09:02:13", false, 0},
      {"2007-01-08 9:02:13 ", false, 0},
      {"+007-01-08 09:02:13", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TimeKey key = -1;
    const std::string text = c.text;
    EXPECT_EQ(read_time_stamp(text.data(), text.size(), key), c.ok);
    if (c.ok) {
      EXPECT_EQ(key, c.key);
    }
  }
}

TEST(TimeBound, TakesInItsWholePrecision) {
  const struct {
    const char* text;
    bool ok;
    TimeKey first, last;
  } cases[] = {
      {"2007-01-08", true, 20070108000000, 20070108235959},
      {"2007/01/08", true, 20070108000000, 20070108235959},
      {"2007-01-08 09:02", true, 20070108090200, 20070108090259},
      {"2007-01-08 09:02:13", true, 20070108090213, 20070108090213},
      {"2007-1-8", false, 0, 0},
      {"2007-01-08 09", false, 0, 0},
      {" 2007-01-08", false, 0, 0},
      {"2007-01-08 ", false, 0, 0},
      {"2007-01-08 09:02:13.5", false, 0, 0},
      {"2007-02-30", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TimeKey first = -1, last = -1;
    EXPECT_EQ(parse_time_bound(c.text, first, last), c.ok);
    EXPECT_EQ(first, c.ok ? c.first : -1);
    EXPECT_EQ(last, c.ok ? c.last : -1);
  }
  EXPECT_EQ(key_year(20070108090213), 2007);
  EXPECT_EQ(key_month(20070108090213), 1);
}

std::string shown(const RecordField& f) { return f.present ? "<" + std::string(f.text) + ">" : "null"; }

TEST(RecordFields, ReadsEachFieldOrNone) {
  const struct {
    const char* head;
    const char* time;
    const char* from;
    const char* to;
    const char* conf;
    const char* room;
  } cases[] = {
      {"2007-01-08 09:02:13 im_log,from id,1042,to id,2001,conf id,7,[Weekly sync],msg=", "<2007-01-08 09:02:13>",
       "<1042>", "<2001>", "<7>", "<Weekly sync>"},
      {"2007-01-08 09:02:13 im_log,from id,5,to id,6,],msg=", "<2007-01-08 09:02:13>", "<5>", "<6>", "null",
       "null"},
      {"2007-01-08 09:02:13 im_log,from id,,to id,2001,[],msg=", "<2007-01-08 09:02:13>", "<>", "<2001>", "null",
       "<>"},
      {"2007-01-08 09:02:13 im_log,from id,1,[a [b] to id,9,c],msg=", "<2007-01-08 09:02:13>", "<1>", "null", "null",
       "<a [b] to id,9,c>"},
      {"2007-01-08 09:02:13 im_log,conf id,7,from id,8,[x],msg=", "<2007-01-08 09:02:13>", "<8>", "null", "<7>",
       "<x>"},
      {"2007-01-08 09:02:13 im_log,from id,1042],msg=", "<2007-01-08 09:02:13>", "<1042>", "null", "null", "null"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.head);
    const RecordFields f = read_record_fields(c.head);
    EXPECT_EQ(shown(f.time), c.time);
    EXPECT_EQ(shown(f.from_id), c.from);
    EXPECT_EQ(shown(f.to_id), c.to);
    EXPECT_EQ(shown(f.conf_id), c.conf);
    EXPECT_EQ(shown(f.room), c.room);
  }
}

TEST(RecordMatcher, FoldsStringsAndRoomOnlyWhenAsked) {
  const struct {
    const char* what;
    const char* search;
    const char* room;
    bool ignore_case;
    const char* message;
    bool matches;
  } cases[] = {
      {"case counts by default", "Caf\xC3\xA9", "", false, "CAF\xC3\x89", false},
      {"\xC3\xA9 and \xC3\x89", "Caf\xC3\xA9", "", true, "un CAF\xC3\x89", true},
      {"Kelvin sign", "kelvin", "", true, "\xE2\x84\xAA" "ELVIN", true},
      {"final sigma", "\xCF\x83", "", true, "\xCF\x82", true},
      {"no full folding: \xC3\x9F is not ss", "stra\xC3\x9F" "e", "", true, "STRASSE", false},
      {"invalid bytes only as themselves", "caf\xE9", "", true, "CAF\xE9", true},
      {"invalid bytes do not fold", "caf\xE9", "", true, "CAF\xC9", false},
      {"room in any case", "", "weekly", true, "x", true},
      {"room case counts by default", "", "weekly", false, "x", false},
  };
  const RecordFields fields = read_record_fields("2007-01-08 09:02:13 im_log,from id,1,[Weekly sync],msg=");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SearchSettings s;
    s.search_strings[0] = c.search;
    s.room = c.room;
    s.ignore_case = c.ignore_case;
    const RecordMatcher m(s);
    EXPECT_EQ(m.fields_match(fields) && m.message_matches(c.message), c.matches);
  }
}

TEST(RecordMatcher, TimeFiltersLeaveOutStampsThatAreNoTimes) {
  SearchSettings s;
  s.since = "2007-01-08";
  s.until = "2007-01-08";
  ASSERT_TRUE(parse_time_bound(s.since, s.since_key, s.until_key));
  const RecordMatcher m(s);
  const struct {
    const char* head;
    bool passes;
  } cases[] = {
      {"2007-01-08 00:00:00 im_log,],msg=", true},  {"2007-01-08 23:59:59 im_log,],msg=", true},
      {"2007-01-07 23:59:59 im_log,],msg=", false}, {"2007-01-09 00:00:00 im_log,],msg=", false},
      {"2007-01-08 25:00:00 im_log,],msg=", false}, {"2007/01/08 12:00:00 im_log,],msg=", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.head);
    EXPECT_EQ(m.fields_match(read_record_fields(c.head)), c.passes);
  }
}

}  // namespace
