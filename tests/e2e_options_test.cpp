// The command line and the search.ini keys that go with it, run as a user runs
// the program, over one folder of month logs. Both builds run every case.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/fixture.h"
#include "support/records.h"

namespace {

namespace fs = std::filesystem;

// One record of the fixture's logs.
struct Rec {
  char name;
  int month;          // 1 or 2 (of 2007)
  const char* time;   // 19 characters
  const char* head;   // from "im_log," to the marker's "]", exclusive
  const char* message;
};

const Rec kRecords[] = {
    {'A', 1, "2007-01-08 09:02:13", "from id,1042,to id,2001,conf id,7,[Weekly sync", "Coffee at ten?"},
    {'B', 1, "2007-01-08 23:59:59", "from id,7,to id,1042,conf id,70,[Sales 7", "no coffee for me, \"thanks\""},
    {'C', 1, "2007-01-09 00:00:00", "from id,1042,to id,7,conf id,7,[Weekly sync", "CAF\xC3\x89 au lait\r\nplease"},
    {'D', 1, "2007/01/09 12:30:45", "from id,2001,to id,1042,conf id,12,[Ops", "Stra\xC3\x9F" "e gesperrt"},
    {'E', 1, "2007-01-32 12:00:00", "from id,1042,to id,2001,conf id,7,[Weekly sync",
     "\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x99\xCE\x91 said coffee"},
    {'F', 1, "2007-01-10 08:00:00", "from id,5,to id,6,", "caf\xC9 latin-1"},
    {'G', 2, "2007-02-01 10:00:00", "from id,1042,to id,2001,conf id,7,[Weekly sync",
     "\xD0\x96\xD0\xA3\xD0\xA0\xD0\x9D\xD0\x90\xD0\x9B coffee"},
    {'H', 2, "2007-02-28 23:59:00", "from id,1042,to id,2001,conf id,7,[Weekly sync",
     "\xE1\xBA\x9E upper sharp s"},
    {'I', 2, "2007-02-10 12:00:00", "from id,9,to id,8,conf id,99,[\xE6\x9D\xB1\xE4\xBA\xAC",
     "\xE3\x82\xB3\xE3\x83\xBC\xE3\x83\x92\xE3\x83\xBC\xE3\x82\x92\xE3\x81\xA9\xE3\x81\x86\xE3\x81\x9E"},
};

std::string head_of(const Rec& r) { return std::string(r.time) + " im_log," + r.head + "],msg="; }

// The month logs: each record, and a line that is no record, with CR LF ends.
std::string month_log(int month) {
  std::string log = "2007-0" + std::to_string(month) + "-01 00:00:00 conf_start,conf id,7,[Weekly sync]\r\n";
  for (const Rec& r : kRecords) {
    if (r.month == month) log += head_of(r) + base64(r.message) + "\r\n";
  }
  return log;
}

// The text lines of the named records, in log order.
std::string text_lines(const std::string& names) {
  std::string out;
  for (const Rec& r : kRecords) {
    if (names.find(r.name) != std::string::npos) out += head_of(r) + r.message + "\n";
  }
  return out;
}

const char kIni[] = "[Config]\nsearch1=Kaffee\nstart_time=2007_01\nend_time=2007_01\n";

struct OptionCase {
  const char* what;
  const char* ini;  // nullptr: no search.ini at all
  std::vector<std::string> args;
  int status;
  std::string out;  // as text; a run in csv or jsonl writes it as it is
  std::string err;
};

const std::string kRange = "Search instant message between 2007_01 and 2007_02";

std::vector<OptionCase> option_cases() {
  const std::vector<std::string> range = {"--start", "2007_01", "--end", "2007_02"};
  auto with_range = [&](std::vector<std::string> more) {
    std::vector<std::string> args = range;
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  return {
      // The strings.
      {"--search, case counts", nullptr, with_range({"--search", "coffee"}), 0,
       kRange + ",target: 'coffee'\n" + text_lines("BEG"), ""},
      {"--ignore-case: ASCII", nullptr, with_range({"--search", "coffee", "--ignore-case"}), 0,
       kRange + ",target: 'coffee', in any letter case\n" + text_lines("ABEG"), ""},
      {"--ignore-case: \xC3\xA9 finds \xC3\x89", nullptr, with_range({"--search", "caf\xC3\xA9", "--ignore-case"}), 0,
       kRange + ",target: 'caf\xC3\xA9', in any letter case\n" + text_lines("C"), ""},
      {"--ignore-case: \xC3\x9F finds \xE1\xBA\x9E", nullptr, with_range({"--search", "\xC3\x9F", "--ignore-case"}), 0,
       kRange + ",target: '\xC3\x9F', in any letter case\n" + text_lines("DH"), ""},
      {"--ignore-case: Greek", nullptr,
       with_range({"--search", "\xCF\x83\xCE\xBF\xCF\x86\xCE\xB9\xCE\xB1", "--ignore-case"}), 0,
       kRange + ",target: '\xCF\x83\xCE\xBF\xCF\x86\xCE\xB9\xCE\xB1', in any letter case\n" + text_lines("E"), ""},
      {"--ignore-case: Cyrillic", nullptr,
       with_range({"--search", "\xD0\xB6\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB", "--ignore-case"}), 0,
       kRange + ",target: '\xD0\xB6\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB', in any letter case\n" +
           text_lines("G"),
       ""},
      {"ignore_case=yes: bytes that are no UTF-8 compare as themselves",
       "[Config]\nsearch1=CAF\xC9\nignore_case=yes\nstart_time=2007_01\nend_time=2007_01\n", {}, 0,
       "Search instant message between 2007_01 and 2007_01,target: 'CAF\xC9', in any letter case\n" +
           text_lines("F"),
       ""},
      {"--search: Japanese text", nullptr, with_range({"--search", "\xE3\x82\xB3\xE3\x83\xBC\xE3\x83\x92\xE3\x83\xBC"}),
       0, kRange + ",target: '\xE3\x82\xB3\xE3\x83\xBC\xE3\x83\x92\xE3\x83\xBC'\n" + text_lines("I"), ""},
      {"--room: Japanese text", nullptr, with_range({"--room", "\xE6\x9D\xB1"}), 0,
       kRange + ", room '\xE6\x9D\xB1'\n" + text_lines("I"), ""},
      {"--any and two strings", nullptr, with_range({"--search", "lait", "--search", "sharp", "--any"}), 0,
       kRange + ",target: 'lait' or 'sharp'\n" + text_lines("CH"), ""},
      {"--all overrides multi_search=or", "[Config]\nmulti_search=or\n",
       with_range({"--search", "coffee", "--search", "me", "--all"}), 0,
       kRange + ",target: 'coffee' and 'me'\n" + text_lines("B"), ""},
      // The record filters.
      {"--id: the whole id in any id field", nullptr, with_range({"--id", "7"}), 0,
       kRange + " for id 7\n" + text_lines("ABCEGH"), ""},
      {"--from-id: the field exactly", nullptr, with_range({"--from-id", "7"}), 0,
       kRange + ", from id 7\n" + text_lines("B"), ""},
      {"--from-id: no prefix match", nullptr, with_range({"--from-id", "104"}), 0, kRange + ", from id 104\n", ""},
      {"--to-id", nullptr, with_range({"--to-id", "7"}), 0, kRange + ", to id 7\n" + text_lines("C"), ""},
      {"--conf-id: 7 is not 70", nullptr, with_range({"--conf-id", "7"}), 0,
       kRange + ", conf id 7\n" + text_lines("ACEGH"), ""},
      {"--room: part of the name", nullptr, with_range({"--room", "sync", "--search", "coffee"}), 0,
       kRange + ",target: 'coffee', room 'sync'\n" + text_lines("EG"), ""},
      {"--room in any case", nullptr, with_range({"--room", "SALES", "--ignore-case"}), 0,
       kRange + ", room 'SALES', in any letter case\n" + text_lines("B"), ""},
      {"--room: a record without a name", nullptr, with_range({"--room", "6"}), 0, kRange + ", room '6'\n", ""},
      // The time filters.
      {"a date takes in its whole day", nullptr, with_range({"--since", "2007-01-08", "--until", "2007-01-08"}), 0,
       kRange + ", since 2007-01-08, until 2007-01-08\n" + text_lines("AB"), ""},
      {"--since to the second, inclusive", nullptr, with_range({"--since", "2007-01-08 23:59:59", "--until",
                                                                "2007/01/09"}),
       0, kRange + ", since 2007-01-08 23:59:59, until 2007/01/09\n" + text_lines("BCD"), ""},
      {"--until HH:MM takes in the whole minute", nullptr, {"--since", "2007-02-28 23:59", "--until",
                                                            "2007-02-28 23:59"},
       0, "Search instant message between 2007_02 and 2007_02, since 2007-02-28 23:59, until 2007-02-28 23:59\n" +
              text_lines("H"),
       ""},
      {"--until before the record's minute", nullptr, {"--since", "2007-02-28", "--until", "2007-02-28 23:58"}, 0,
       "Search instant message between 2007_02 and 2007_02, since 2007-02-28, until 2007-02-28 23:58\n", ""},
      {"the months come from the times; a bad time stamp is left out", nullptr,
       {"--since", "2007-01-09", "--until", "2007-02-01 10:00:00"}, 0,
       kRange + ", since 2007-01-09, until 2007-02-01 10:00:00\n" + text_lines("CDFG"), ""},
      {"--start wins over the --since month", nullptr, {"--start", "2007_02", "--since", "2007-01-01",
                                                        "--until", "2007-12-31"},
       0, "Search instant message between 2007_02 and 2007_12, since 2007-01-01, until 2007-12-31\n" +
              text_lines("GHI"),
       ""},
      // The file and the command line.
      {"the file alone, as before", kIni, {}, 0,
       "Search instant message between 2007_01 and 2007_01,target: 'Kaffee'\n", ""},
      {"--search replaces every searchN, --end the end", "[Config]\nsearch1=Kaffee\nsearch2=tea\nstart_time=2007_01\n"
       "end_time=2007_01\nmulti_search=or\n", {"--search=coffee", "--end=2007_02"}, 0,
       kRange + ",target: 'coffee'\n" + text_lines("BEG"), ""},
      {"search.ini keys for the filters",
       "[Config]\nfrom_id=1042\nroom=Weekly\nsince=2007-01-09\nuntil=2007-02-01\nsearch_id=\n", {}, 0,
       kRange + ", from id 1042, room 'Weekly', since 2007-01-09, until 2007-02-01\n" + text_lines("CG"), ""},
      {"unknown arguments are passed over", kIni, {"--Version", "-version", "--version2", "version", "stray"}, 0,
       "Search instant message between 2007_01 and 2007_01,target: 'Kaffee'\n", ""},
      {"--version later is no option", kIni, {"stray", "--version"}, 0,
       "Search instant message between 2007_01 and 2007_01,target: 'Kaffee'\n", ""},
      // Formats that are not data.
      {"count: each month that is there, then the total", nullptr,
       {"--start", "2006_12", "--end", "2007_03", "--search", "coffee", "--format", "count"}, 0,
       "2007_01 2\n2007_02 1\ntotal 3\n",
       "Search instant message between 2006_12 and 2007_03,target: 'coffee'\n"},
      {"format=count in the file", "[Config]\nformat=COUNT\n", with_range({"--id", "1042"}), 0,
       "2007_01 5\n2007_02 2\ntotal 7\n", kRange + " for id 1042\n"},
      // Errors: one message, status 1, nothing searched.
      {"an option without its value", kIni, {"--start"}, 1, "", "option --start needs a value\n"},
      {"a flag with a value", kIni, {"--all=yes"}, 1, "", "option --all takes no value\n"},
      {"an empty path", kIni, {"--dir="}, 1, "", "option --dir needs a value\n"},
      {"a tenth --search", kIni,
       {"--search", "1", "--search", "2", "--search", "3", "--search", "4", "--search", "5", "--search", "6",
        "--search", "7", "--search", "8", "--search", "9", "--search", "10"},
       1, "", "too many search strings: --search is given more than 9 times\n"},
      {"--start as today", kIni, {"--start", "2007-01"}, 1, "", "invalid start time: 2007-01\n"},
      {"--end as today", kIni, {"--end", "2007_13"}, 1, "", "invalid end time: 2007_13\n"},
      {"--since: no such day", kIni, {"--since", "2007-02-29"}, 1, "", "invalid since time: 2007-02-29\n"},
      {"--since: seconds without minutes", kIni, {"--since", "2007-02-01 10"}, 1, "",
       "invalid since time: 2007-02-01 10\n"},
      {"--until: a word", kIni, {"--until", "tomorrow"}, 1, "", "invalid until time: tomorrow\n"},
      {"--until gives the end month, checked", nullptr, {"--start", "2007_01", "--until", "2007-1-5", "--id", "1"}, 1,
       "", "invalid until time: 2007-1-5\n"},
      {"--until is checked before the months it would give", nullptr, {"--until", "yesterday", "--search", "x"}, 1,
       "", "invalid until time: yesterday\n"},
      {"--format", kIni, {"--format", "xml"}, 1, "", "invalid format: xml\n"},
      {"ignore_case", "[Config]\nignore_case=maybe\nsearch1=x\nstart_time=2007_01\nend_time=2007_01\n", {}, 1, "",
       "invalid ignore_case: maybe\n"},
      {"progress", "[Config]\nprogress=sometimes\nsearch1=x\nstart_time=2007_01\nend_time=2007_01\n", {}, 1, "",
       "invalid progress: sometimes\n"},
      {"--no-progress takes no value", kIni, {"--no-progress=yes"}, 1, "", "option --no-progress takes no value\n"},
      {"no task but the months", nullptr, range, 1, "", "no id or string specified\n"},
      {"no task and no file", nullptr, {"--search", "x"}, 1, "", "invalid start time: \nno settings file at @\n"},
      {"--help wins", kIni, {"--search", "x", "--help", "--format", "xml"}, 0, "@usage", ""},
  };
}

TEST(EndToEndOptions, OptionListsAgainstOneFolder) {
  for (const OptionCase& c : option_cases()) {
    SCOPED_TRACE(c.what);
    Fixture f;
    if (c.ini) f.write_ini(c.ini);
    f.write("mcu_event_log_2007_01.txt", month_log(1));
    f.write("mcu_event_log_2007_02.txt", month_log(2));
    RunResult r = f.run(c.args);
    EXPECT_EQ(r.status, c.status);
    if (c.out == "@usage") {
      EXPECT_EQ(r.out.rfind("Usage: logsift [OPTION]...", 0), 0u) << r.out;
    } else {
      EXPECT_EQ(r.out, as_written(c.out));
    }
    std::string err = c.err;
    const std::size_t at = err.find('@');
    if (at != std::string::npos) err.replace(at, 1, (f.dir() / "search.ini").generic_string());
    EXPECT_EQ(r.err, as_written(err));
  }
}

// The data formats: one record per row, the message's line ends and quotes
// kept inside its field, and bytes that are no UTF-8 as U+FFFD.
TEST(EndToEndOptions, DataFormats) {
  const std::vector<std::string> bcf = {"--start", "2007_01", "--end", "2007_01", "--any", "--search", "thanks",
                                        "--search", "lait", "--search", "latin"};
  const std::string b64_b = base64(kRecords[1].message);
  const std::string b64_c = base64(kRecords[2].message);
  const std::string b64_f = base64(kRecords[5].message);
  const struct {
    const char* format;
    std::string out;
  } cases[] = {
      {"csv",
       "time,from_id,to_id,conf_id,room,message\r\n"
       "2007-01-08 23:59:59,7,1042,70,Sales 7,\"no coffee for me, \"\"thanks\"\"\"\r\n"
       "2007-01-09 00:00:00,1042,7,7,Weekly sync,\"CAF\xC3\x89 au lait\r\nplease\"\r\n"
       "2007-01-10 08:00:00,5,6,,,caf\xEF\xBF\xBD latin-1\r\n"},
      {"jsonl",
       "{\"time\":\"2007-01-08 23:59:59\",\"from_id\":\"7\",\"to_id\":\"1042\",\"conf_id\":\"70\",\"room\":\"Sales "
       "7\",\"message\":\"no coffee for me, \\\"thanks\\\"\",\"message_base64\":\"" +
           b64_b +
           "\",\"file\":\"mcu_event_log_2007_01.txt\"}\n"
           "{\"time\":\"2007-01-09 00:00:00\",\"from_id\":\"1042\",\"to_id\":\"7\",\"conf_id\":\"7\",\"room\":"
           "\"Weekly sync\",\"message\":\"CAF\xC3\x89 au lait\\r\\nplease\",\"message_base64\":\"" +
           b64_c +
           "\",\"file\":\"mcu_event_log_2007_01.txt\"}\n"
           "{\"time\":\"2007-01-10 08:00:00\",\"from_id\":\"5\",\"to_id\":\"6\",\"conf_id\":null,\"room\":null,"
           "\"message\":\"caf\xEF\xBF\xBD latin-1\",\"message_base64\":\"" +
           b64_f + "\",\"file\":\"mcu_event_log_2007_01.txt\"}\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    Fixture f;
    f.write("mcu_event_log_2007_01.txt", month_log(1));
    std::vector<std::string> args = bcf;
    args.insert(args.end(), {"--format", c.format});
    RunResult r = f.run(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, c.out) << "the same bytes on every system";
    EXPECT_EQ(r.err, as_written("Search instant message between 2007_01 and 2007_01,target: 'thanks' or 'lait' or "
                                "'latin'\n"));
  }
}

// --output: the results go to the file, which is replaced only by a search
// that could write them all; a failed run leaves it as it was, and no other
// file behind.
TEST(EndToEndOptions, OutputFileIsReplacedOnlyWhole) {
  const std::string old_content = "results of an earlier search\n";
  const struct {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::string file;  // what the output file holds after the run
    std::string err_start;
  } cases[] = {
      {"a search replaces the file", {"--search", "coffee"}, 0,
       as_written("Search instant message between 2007_01 and 2007_02,target: 'coffee'\n" + text_lines("BEG")), ""},
      {"data go to the file too",
       {"--search", "lait", "--format", "csv"},
       0,
       "time,from_id,to_id,conf_id,room,message\r\n2007-01-09 00:00:00,1042,7,7,Weekly sync,\"CAF\xC3\x89 au "
       "lait\r\nplease\"\r\n",
       "Search instant message"},
      {"a settings error leaves the file", {"--search", "coffee", "--since", "never"}, 1, old_content,
       "invalid since time: never"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.write("mcu_event_log_2007_01.txt", month_log(1));
    f.write("mcu_event_log_2007_02.txt", month_log(2));
    f.write("results.txt", old_content);
    std::vector<std::string> args = {"--start", "2007_01", "--end", "2007_02", "--output",
                                     (f.dir() / "results.txt").string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    RunResult r = f.run(args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind(c.err_start, 0), 0u) << r.err;
    EXPECT_EQ(read_whole_file((f.dir() / "results.txt").string()), c.file);
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(f.dir())) files += entry.path().filename() != "search.ini";
    EXPECT_EQ(files, 4u) << "the program, two logs and the results";
  }
}

TEST(EndToEndOptions, OutputIntoAMissingFolderIsAnError) {
  Fixture f;
  f.write("mcu_event_log_2007_01.txt", month_log(1));
  const std::string path = (f.dir() / "no such folder" / "results.txt").string();
  RunResult r = f.run({"--start", "2007_01", "--end", "2007_01", "--search", "x", "--output", path});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind("can not write to " + path + ": ", 0), 0u) << r.err;
  EXPECT_FALSE(fs::exists(f.dir() / "no such folder"));
}

// The folders: --dir, log_dir beside the settings file, --config.
TEST(EndToEndOptions, FoldersAndSettingsFile) {
  Fixture f;
  fs::create_directories(f.dir() / "logs");
  fs::create_directories(f.dir() / "conf");
  f.write("logs/mcu_event_log_2007_02.txt", month_log(2));
  f.write("conf/mine.ini", "[Config]\nlog_dir=../logs\nsearch1=coffee\nstart_time=2007_02\nend_time=2007_02\n");
  const std::string logs = (f.dir() / "logs").string();
  const std::string ini = (f.dir() / "conf" / "mine.ini").string();
  const std::string found = "Search instant message between 2007_02 and 2007_02,target: 'coffee'\n" + text_lines("G");
  const struct {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  } cases[] = {
      {"--dir", {"--dir", logs, "--start", "2007_02", "--end", "2007_02", "--search", "coffee"}, 0, found, ""},
      {"log_dir is taken from the settings file's folder", {"--config", ini}, 0, found, ""},
      {"--dir wins over log_dir", {"--config", ini, "--dir", f.dir().string()}, 0,
       "Search instant message between 2007_02 and 2007_02,target: 'coffee'\n", ""},
      {"a missing --config", {"--config", ini + ".missing"}, 1, "",
       "can not read " + ini + ".missing: no such file\n"},
      {"a missing --dir", {"--dir", logs + "2", "--config", ini}, 1, "", "can not read " + logs + "2: no such folder\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RunResult r = f.run(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, as_written(c.out));
    EXPECT_EQ(r.err, as_written(c.err));
  }
}

// The usage fits in one screen of 80 by 24, without a line filling a row.
TEST(EndToEndOptions, HelpFitsOneScreen) {
  Fixture f;
  RunResult r = f.run({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  std::size_t lines = 0;
  std::size_t start = 0;
  for (std::size_t end = r.out.find('\n'); end != std::string::npos; end = r.out.find('\n', start)) {
    ++lines;
    const std::string line = r.out.substr(start, end - start);
    EXPECT_LE(line.size() - (!line.empty() && line.back() == '\r'), 79u) << line;
    start = end + 1;
  }
  EXPECT_EQ(start, r.out.size()) << "the last line ends";
  EXPECT_GE(lines, 10u);
  EXPECT_LE(lines, 24u);
  for (const char* option : {"--dir", "--config", "--start", "--end", "--search", "--all", "--any", "--id",
                             "--from-id", "--to-id", "--conf-id", "--room", "--since", "--until", "--ignore-case",
                             "--format", "--context", "--no-progress", "--output", "--manifest"}) {
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
  }
}

}  // namespace
