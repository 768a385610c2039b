// The whole search, run as a user runs it: the program copied into a fresh
// folder with a search.ini and month logs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/fixture.h"
#include "support/records.h"

namespace {

using namespace std::string_literals;
using Files = std::vector<std::pair<std::string, std::string>>;

const char kJan[] = "mcu_event_log_2007_01.txt";

struct ScanCase {
  const char* what;
  std::string ini;
  Files files;
  std::string out;
};

std::string month_file(const std::string& month) { return "mcu_event_log_" + month + ".txt"; }

const std::string kWithHit = ini("2007_01", "2007_01", "search1=hit\n");
const std::string kHitAnnounced = announced("2007_01", "2007_01", ",target: 'hit'");

std::vector<ScanCase> scan_cases() {
  const std::string long_message = std::string(11000, 'x') + " hit";
  return {
      {"months in order across a year, outside months unread",
       ini("2006_11", "2007_02", "search1=hit\n"),
       {{month_file("2007_02"), record("hit 2007_02") + "\r\n"},
        {month_file("2006_10"), record("hit 2006_10") + "\r\n"},
        {month_file("2007_01"), record("hit 2007_01") + "\r\n"},
        {month_file("2006_12"), record("hit 2006_12") + "\r\n"},
        {month_file("2007_03"), record("hit 2007_03") + "\r\n"},
        {month_file("2006_11"), record("hit 2006_11") + "\r\n"}},
       announced("2006_11", "2007_02", ",target: 'hit'") + printed("hit 2006_11") + printed("hit 2006_12") +
           printed("hit 2007_01") + printed("hit 2007_02")},
      {"a missing month is passed over",
       ini("2007_01", "2007_03", "search1=hit\n"),
       {{month_file("2007_03"), record("hit march")}},
       announced("2007_01", "2007_03", ",target: 'hit'") + printed("hit march")},
      {"start month after end month reads nothing",
       ini("2007_02", "2007_01", "search1=hit\n"),
       {{month_file("2007_01"), record("hit")}, {month_file("2007_02"), record("hit")}},
       announced("2007_02", "2007_01", ",target: 'hit'")},
      {"start year after end year reads nothing",
       ini("2008_01", "2007_12", "search1=hit\n"),
       {{month_file("2007_12"), record("hit")}, {month_file("2008_01"), record("hit")}},
       announced("2008_01", "2007_12", ",target: 'hit'")},
      {"line shapes",
       kWithHit,
       {{kJan, "im_log,from id,1,],msg=" + base64("hit short") + "\r\n" +            // too short, tag at 0
                   "2007-01-08 09:02:1 " + record("hit at 19").substr(20) + "\r\n" +  // tag at 19
                   "2007-01-08  09:02:13 " + record("hit at 21").substr(20) + "\r\n" +  // tag at 21
                   "2007-01-08 09:02:13 IM_LOG,from id,1,],msg=" + base64("hit case") + "\r\n" +
                   "2007-01-08 09:02:13 im_log,from id,\r\n" +  // 35 characters, no marker
                   "2007-01-08 09:02:13 im_log,from id,1042,no marker " + base64("hit") + "\r\n" +
                   record("hit one") + "],msg=" + base64("hit two") + "\r\n" +  // first marker counts
                   record("hit trailing") + " trailing text\r\n" +
                   record("hit lone CR") + "\r\r\n" +
                   "ab],msg=" + base64("hit!") + "    im_log,from id,1042,],msg=" + base64("later") + "\r\n" +
                   record("no match here") + "\r\n" +
                   record("hit last, no line end")}},
       kHitAnnounced + printed("hit one") + printed("hit trailing") + printed("hit lone CR") +
           "ab],msg=hit!\n" + printed("hit last, no line end")},
      {"empty lines first, a tag 20 bytes after the first",
       kWithHit,
       {{kJan, "\n\n\n\n\n\n" + record("hit at 14").substr(6) + "\r\n" + record("hit") + "\r\n"}},
       kHitAnnounced + printed("hit")},
      {"Ctrl-Z ends the file",
       kWithHit,
       {{kJan, record("hit before") + "\r\n\x1a" + record("hit after") + "\r\n"}},
       kHitAnnounced + printed("hit before")},
      {"NUL bytes end the line's text",
       kWithHit,
       {{kJan, "2007-\0" + record("hit NUL in time").substr(6) + "\r\n" +
                   "2007-01-08 09:02:13 im_log,from id,1042\0],msg="s + base64("hit NUL before marker") + "\r\n" +
                   record("hit half") + "\0" + base64(" and more") + "\r\n"s}},
       kHitAnnounced + printed("hit half")},
      {"messages holding line ends pass through",
       kWithHit,
       {{kJan, record("hit\nsecond line") + "\r\n" + record("hit\r\nwindows line") + "\r\n"}},
       kHitAnnounced + printed("hit\nsecond line") + printed("hit\r\nwindows line")},
      {"a NUL in the message ends it",
       kWithHit,
       {{kJan, record("hit\0hidden"s) + "\r\n" + record("x\0hit"s) + "\r\n"}},
       kHitAnnounced + printed("hit")},
      {"a 15,000-character record is printed whole",
       kWithHit,
       {{kJan, record(long_message) + "\r\n" + record("hit after long") + "\r\n"}},
       kHitAnnounced + printed(long_message) + printed("hit after long")},
      {"a record-looking text deep inside a long line is no record",
       kWithHit,
       {{kJan, std::string(9999, 'z') + record("hit inside") + "\r\n" + std::string(9979, 'z') +
                   record("hit inside") + "\r\n"}},
       kHitAnnounced},
      {"search_id matches whole ids",
       ini("2007_01", "2007_01", "search_id=12\n"),
       {{kJan, record("from 12", "12") + "\r\n" + record("from 123", "123") + "\r\n" +
                   record("from 1200", "1200") + "\r\n" + record("from 12x", "12x") + "\r\n" +
                   record("from 12-3", "12-3") + "\r\n" +
                   record("from 123 to 12", "123,to id,12") + "\r\n" +
                   "2007-01-08 09:02:13 im_log,from id,5,to id,7,],msg= id,12\r\n" +
                   "2007-01-08 09:02:13 im_log,from id,5,to id,7,],msg= id,123\r\n"}},
       announced("2007_01", "2007_01", " for id 12") + printed("from 12", "12") + printed("from 12-3", "12-3") +
           printed("from 123 to 12", "123,to id,12") + "2007-01-08 09:02:13 im_log,from id,5,to id,7,],msg=\n"},
      {"an id ending in another character matches as text",
       ini("2007_01", "2007_01", "search_id=12-\n"),
       {{kJan, record("a", "12-3") + "\r\n" + record("b", "12") + "\r\n"}},
       announced("2007_01", "2007_01", " for id 12-") + printed("a", "12-3")},
      {"the id is looked for in the whole line",
       ini("2007_01", "2007_01", "search_id=77\nsearch1=hit\n"),
       {{kJan, record("hit", "5", "2007 id,77 x:x:x:xx ") + "\r\n" + record("hit", "5") + "\r\n"}},
       announced("2007_01", "2007_01", " for id 77,target: 'hit'") + printed("hit", "5", "2007 id,77 x:x:x:xx ")},
      {"several languages, bytes unchanged",
       ini("2007_01", "2007_01", "search1=\xe3\x82\xb3\xe3\x83\xbc\xe3\x83\x92\xe3\x83\xbc\nsearch2=caf\xc3\xa9\nmulti_search=or\n"),
       {{kJan, record("\xe3\x82\xb3\xe3\x83\xbc\xe3\x83\x92\xe3\x83\xbc\xe3\x82\x92") + "\r\n" +
                   record("un caf\xc3\xa9") + "\r\n" + record("\xd0\xba\xd0\xbe\xd1\x84\xd0\xb5") + "\r\n"}},
       announced("2007_01", "2007_01",
                 ",target: '\xe3\x82\xb3\xe3\x83\xbc\xe3\x83\x92\xe3\x83\xbc' or 'caf\xc3\xa9'") +
           printed("\xe3\x82\xb3\xe3\x83\xbc\xe3\x83\x92\xe3\x83\xbc\xe3\x82\x92") + printed("un caf\xc3\xa9")},
  };
}

TEST(EndToEndScan, PrintsMatchingRecords) {
  for (const auto& c : scan_cases()) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.write_ini(c.ini);
    for (const auto& [name, bytes] : c.files) f.write(name, bytes);
    RunResult r = f.run();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out == as_written(c.out)) << "got:\n" << r.out << "\nwanted:\n" << c.out;
  }
}

TEST(EndToEndScan, UnreadableMonthIsNamedAndTheWalkGoesOn) {
  Fixture f;
  f.write_ini(ini("2006_12", "2007_02", "search1=hit\n"));
  std::filesystem::create_directory(f.dir() / kJan);
  f.write(month_file("2006_12"), record("hit december") + "\r\n");
  f.write(month_file("2007_02"), record("hit february") + "\r\n");
  RunResult r = f.run();
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, as_written(announced("2006_12", "2007_02", ",target: 'hit'") + printed("hit december") +
                                  printed("hit february")));
  const std::string named = "can not read " + f.dir().generic_string() + "/" + kJan + ": ";
  EXPECT_EQ(r.err.rfind(named, 0), 0u) << r.err;
  EXPECT_GT(r.err.size(), named.size() + 2) << "the reason is missing";
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line";
}

// With both streams in one file, the lines come in the order of the events
// they tell of, whatever each stream buffers.
TEST(EndToEndScan, MessagesAndResultsKeepTheirOrderInOneFile) {
  Fixture f;
  f.write_ini(ini("2007_01", "2007_02", "search1=hit\n"));
  f.write(kJan, record("hit january") + "\r\n");
  std::filesystem::create_directory(f.dir() / month_file("2007_02"));
  RunResult r = f.run({}, kStdoutWithStderr);
  EXPECT_EQ(r.status, 0);
  const std::string results = as_written(announced("2007_01", "2007_02", ",target: 'hit'") + printed("hit january"));
  const std::string named = "can not read " + f.dir().generic_string() + "/" + month_file("2007_02") + ": ";
  ASSERT_EQ(r.err.substr(0, results.size()), results) << r.err;
  const std::string message = r.err.substr(results.size());
  EXPECT_EQ(message.rfind(named, 0), 0u) << message;
  EXPECT_EQ(message.find('\n'), message.size() - 1) << "one line, last";
}

}  // namespace
