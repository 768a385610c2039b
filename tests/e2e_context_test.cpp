// --context: the records around each match from its conference, run as a user
// runs the program over two months of two interleaved conversations.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fixture.h"
#include "support/records.h"

namespace {

// One record: a1..a9 in conference 1, b1..b6 in conference 2, n1 in none.
struct Rec {
  const char* name;
  int month;
  const char* time;
  const char* from;
  const char* conf;  // nullptr: no conf id field
  const char* message;
};

const Rec kRecords[] = {
    {"a1", 1, "2007-01-01 10:00:00", "10", "1", "a1"},     {"b1", 1, "2007-01-02 10:00:00", "20", "2", "b1"},
    {"a2", 1, "2007-01-03 10:00:00", "10", "1", "a2 hit"}, {"b2", 1, "2007-01-04 10:00:00", "21", "2", "b2"},
    {"a3", 1, "2007-01-05 10:00:00", "10", "1", "a3"},     {"n1", 1, "2007-01-06 10:00:00", "30", nullptr, "n1 hit"},
    {"b3", 1, "2007-01-07 10:00:00", "20", "2", "b3 hit"}, {"a4", 1, "2007-01-08 10:00:00", "10", "1", "a4"},
    {"a5", 1, "2007-01-09 10:00:00", "11", "1", "a5 hit"}, {"b4", 1, "2007-01-10 10:00:00", "20", "2", "b4"},
    {"a6", 2, "2007-02-01 10:00:00", "10", "1", "a6"},     {"b5", 2, "2007-02-02 10:00:00", "20", "2", "b5"},
    {"a7", 2, "2007-02-03 10:00:00", "10", "1", "a7"},     {"a8", 2, "2007-02-04 10:00:00", "10", "1", "a8"},
    {"a9", 2, "2007-02-05 10:00:00", "10", "1", "a9 hit"}, {"b6", 2, "2007-02-06 10:00:00", "20", "2", "b6 hit"},
};

const Rec& rec(const std::string& name) {
  for (const Rec& r : kRecords) {
    if (name == r.name) return r;
  }
  throw std::logic_error("no record " + name);
}

std::string head_of(const Rec& r) {
  return std::string(r.time) + " im_log,from id," + r.from + ",to id,99," +
         (r.conf ? std::string("conf id,") + r.conf + "," : std::string()) + "[Room],msg=";
}

std::string month_log(int month) {
  std::string log;
  for (const Rec& r : kRecords) {
    if (r.month == month) log += head_of(r) + base64(r.message) + "\r\n";
  }
  return log;
}

// The text lines for names in order; a name ending in "c" is a context line.
std::string text(const std::vector<std::string>& names) {
  std::string out;
  for (std::string name : names) {
    const bool context = name.size() == 3 && name[2] == 'c';
    if (context) name.pop_back();
    const Rec& r = rec(name);
    out += (context ? "  " : "") + head_of(r) + r.message + "\n";
  }
  return out;
}

const char kAnnounce[] = "Search instant message between 2007_01 and 2007_02,target: 'hit'";

struct ContextCase {
  const char* what;
  std::vector<std::string> args;
  std::string out;
};

std::vector<ContextCase> context_cases() {
  const std::string a = std::string(kAnnounce) + "\n";
  return {
      {"N = 0: the matches alone", {"--context", "0"}, a + text({"a2", "n1", "b3", "a5", "a9", "b6"})},
      {"N = 1: before and after, across the month, at the file's end",
       {"--context", "1"},
       a + text({"a1c", "a2", "a3c", "n1", "b2c", "b3", "a4c", "a5", "b4c", "a6c", "a8c", "a9", "b5c", "b6"})},
      {"N = 3: a conversation's earlier lines come with its match; context that is a match prints as one",
       {"--context", "3"},
       a + text({"a1c", "a2", "a3c", "n1", "b1c", "b2c", "b3", "a4c", "a5", "b4c", "a6c", "b5c", "a7c", "a8c", "a9",
                 "b6"})},
      {"--since picks the matches, not the context",
       {"--context", "1", "--since", "2007-01-09"},
       std::string(kAnnounce) + ", since 2007-01-09\n" + text({"a4c", "a5", "a6c", "a8c", "a9", "b5c", "b6"})},
      {"--from-id picks the matches, not the context",
       {"--context", "1", "--from-id", "20"},
       std::string(kAnnounce) + ", from id 20\n" + text({"b2c", "b3", "b4c", "b5c", "b6"})},
      {"--id picks the matches, not the context",
       {"--context", "1", "--id", "11"},
       "Search instant message between 2007_01 and 2007_02 for id 11,target: 'hit'\n" + text({"a4c", "a5", "a6c"})},
      {"count counts matches only", {"--context", "3", "--format", "count"}, "2007_01 4\n2007_02 2\ntotal 6\n"},
  };
}

TEST(EndToEndContext, ConversationsAroundTheMatches) {
  Fixture f;
  f.write("mcu_event_log_2007_01.txt", month_log(1));
  f.write("mcu_event_log_2007_02.txt", month_log(2));
  for (const ContextCase& c : context_cases()) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> args = {"--start", "2007_01", "--end", "2007_02", "--search", "hit"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    RunResult r = f.run(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, as_written(c.out));
  }
}

// The data formats mark each record as a match or not, only with --context.
TEST(EndToEndContext, DataFormatsMarkTheMatches) {
  Fixture f;
  f.write("mcu_event_log_2007_01.txt", month_log(1));
  const std::string a5 = "2007-01-09 10:00:00,11,99,1,Room,a5 hit";
  const std::string a4 = "2007-01-08 10:00:00,10,99,1,Room,a4";
  const struct {
    const char* what;
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {"csv with a match column", {"--format", "csv", "--context", "1"},
       "time,from_id,to_id,conf_id,room,message,match\r\n" + a4 + ",no\r\n" + a5 + ",yes\r\n"},
      {"csv without --context as before", {"--format", "csv"},
       "time,from_id,to_id,conf_id,room,message\r\n" + a5 + "\r\n"},
      {"jsonl with a match key", {"--format", "jsonl", "--context", "1"},
       "{\"time\":\"2007-01-08 10:00:00\",\"from_id\":\"10\",\"to_id\":\"99\",\"conf_id\":\"1\",\"room\":\"Room\","
       "\"message\":\"a4\",\"message_base64\":\"" + base64("a4") +
           "\",\"file\":\"mcu_event_log_2007_01.txt\",\"match\":false}\n"
           "{\"time\":\"2007-01-09 10:00:00\",\"from_id\":\"11\",\"to_id\":\"99\",\"conf_id\":\"1\",\"room\":\"Room\","
           "\"message\":\"a5 hit\",\"message_base64\":\"" + base64("a5 hit") +
           "\",\"file\":\"mcu_event_log_2007_01.txt\",\"match\":true}\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> args = {"--start", "2007_01", "--end", "2007_01", "--search", "a5"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    RunResult r = f.run(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, c.out);
  }
}

TEST(EndToEndContext, InvalidContextIsAnError) {
  Fixture f;
  for (const char* value : {"1001", "-1", "x", "3 ", "99999999999999999999"}) {
    SCOPED_TRACE(value);
    RunResult r = f.run({"--start", "2007_01", "--end", "2007_01", "--search", "x", "--context", value});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, as_written(std::string("invalid context: ") + value + "\n"));
  }
  RunResult r = f.run({"--start", "2007_01", "--end", "2007_01", "--search", "x", "--context", "1000"});
  EXPECT_EQ(r.status, 0);
}

}  // namespace
