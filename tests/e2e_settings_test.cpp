// The program as a user runs it: copied into a fresh folder beside a search.ini.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/fixture.h"

namespace {

const char kVersionLine[] = "logsift version 0.9.0(built on 07/18/2007)\n";

struct SettingsCase {
  const char* what;
  const char* ini;
  int status;
  const char* out;
  const char* err;
};

const SettingsCase kSettingsCases[] = {
    {"start_time missing", "[Config]\nsearch1=x\nend_time=2007_07\n", 1, "", "invalid start time: \n"},
    {"start_time month 13", "[Config]\nsearch1=x\nstart_time=2007_13\nend_time=2007_07\n", 1, "",
     "invalid start time: 2007_13\n"},
    {"start_time before 1999", "[Config]\nsearch1=x\nstart_time=1998_12\nend_time=2007_07\n", 1, "",
     "invalid start time: 1998_12\n"},
    {"start_time message keeps the text as read",
     "[Config]\nsearch1=x\nstart_time=  \"2007-07 \" \nend_time=2007_07\n", 1, "",
     "invalid start time: 2007-07 \n"},
    {"end_time month 0", "[Config]\nsearch1=x\nstart_time=2007_01\nend_time=2007_0\n", 1, "",
     "invalid end time: 2007_0\n"},
    {"end_time missing", "[Config]\nsearch1=x\nstart_time=2007_01\n", 1, "", "invalid end time: \n"},
    {"start checked before end", "[Config]\nstart_time=bad\nend_time=worse\n", 1, "",
     "invalid start time: bad\n"},
    {"times checked before the search", "[Config]\nstart_time=2007_01\nend_time=2007_0\n", 1, "",
     "invalid end time: 2007_0\n"},
    {"nothing to search for", "[Config]\nstart_time=2007_01\nend_time=2007_02\n", 1, "",
     "no id or string specified\n"},
    {"search2 alone is nothing", "[Config]\nsearch2=x\nstart_time=2007_01\nend_time=2007_02\n", 1, "",
     "no id or string specified\n"},
    {"id only", "[Config]\nsearch_id=42\nstart_time=2007_01\nend_time=2007_02\n", 0,
     "Search instant message between 2007_01 and 2007_02 for id 42\n", ""},
    {"default mode is and", "[Config]\nsearch1=alpha\nsearch3=gamma\nstart_time=1999_01\nend_time=2007_7\n", 0,
     "Search instant message between 1999_01 and 2007_07,target: 'alpha' and 'gamma'\n", ""},
    {"empty mode is or", "[Config]\nmulti_search=\nsearch1=a\nsearch2=b\nstart_time=2007_01\nend_time=2007_02\n",
     0, "Search instant message between 2007_01 and 2007_02,target: 'a' or 'b'\n", ""},
    {"start after end is accepted", "[Config]\nsearch1=a\nstart_time=2008_01\nend_time=2007_02\n", 0,
     "Search instant message between 2008_01 and 2007_02,target: 'a'\n", ""},
    {"CR LF file", "[Config]\r\nsearch1=caf\xC3\xA9\r\nstart_time=2007_01\r\nend_time=2007_01\r\n", 0,
     "Search instant message between 2007_01 and 2007_01,target: 'caf\xC3\xA9'\n", ""},
};

TEST(EndToEndSettings, MessagesAndExitStatus) {
  for (const auto& c : kSettingsCases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.write_ini(c.ini);
    RunResult r = f.run();
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, as_written(c.out));
    EXPECT_EQ(r.err, as_written(c.err));
  }
}

TEST(EndToEndSettings, LongValuesAreCut) {
  Fixture f;
  f.write_ini("[Config]\nsearch1=" + std::string(600, 's') + "\nsearch_id=" + std::string(300, '7') +
              "\nstart_time=2007_01\nend_time=2007_01\n");
  RunResult r = f.run();
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, as_written("Search instant message between 2007_01 and 2007_01 for id " + std::string(255, '7') +
                       ",target: '" + std::string(511, 's') + "'\n"));
}

// No settings file is an invalid start time, and the path that was looked at
// is named; a file that is there reads as it is, however empty.
TEST(EndToEndSettings, MissingSettingsFileIsAnInvalidStartTime) {
  struct Case {
    const char* what;
    void (*make)(const Fixture&);
    bool named;
  };
  const Case cases[] = {
      {"no search.ini", [](const Fixture&) {}, true},
      {"an empty search.ini", [](const Fixture& f) { f.write_ini(""); }, false},
      {"a folder named search.ini", [](const Fixture& f) { std::filesystem::create_directory(f.dir() / "search.ini"); },
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    c.make(f);
    RunResult r = f.run();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    const std::string named = "no settings file at " + f.dir().generic_string() + "/search.ini\n";
    EXPECT_EQ(r.err, as_written("invalid start time: \n" + (c.named ? named : "")));
  }
}

struct ArgsCase {
  std::vector<std::string> args;
  bool version;
};

TEST(EndToEndDriver, VersionOnlyAsTheWholeFirstArgument) {
  const ArgsCase cases[] = {
      {{"--version"}, true},          {{"--version", "more", "args"}, true}, {{"--Version"}, false},
      {{"-version"}, false},          {{"--version2"}, false},               {{"version"}, false},
      {{"x", "--version"}, false},    {{""}, false},                         {{}, false},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& a : c.args) joined += "[" + a + "]";
    SCOPED_TRACE(joined);
    Fixture f;
    f.write_ini("[Config]\nsearch1=a\nstart_time=2007_01\nend_time=2007_01\n");
    RunResult r = f.run(c.args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, as_written(c.version ? kVersionLine
                                          : "Search instant message between 2007_01 and 2007_01,target: 'a'\n"));
  }
}

TEST(EndToEndDriver, VersionDoesNotReadTheSettings) {
  Fixture f;  // no search.ini: a search would fail
  RunResult r = f.run({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, as_written(kVersionLine));
  EXPECT_EQ(r.err, "");
}

// Linux takes directories of any length. Windows paths must fit in MAX_PATH
// bytes, the longest being a month log's: a longer directory is refused with
// the directory message rather than searched as if its logs were missing.
TEST(EndToEndDriver, LongExecutablePaths) {
  struct Case {
    std::size_t length;
    bool works;
  };
  const std::vector<Case> cases = windows_build()
                                      ? std::vector<Case>{{200, true}, {233, true}, {234, false}, {247, false}}
                                      : std::vector<Case>{{233, true}, {320, true}, {1000, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    Fixture f(c.length);
    ASSERT_EQ(f.dir().string().size(), c.length);
    f.write_ini("[Config]\nsearch1=hit\nstart_time=2007_01\nend_time=2007_01\n");
    f.write("mcu_event_log_2007_01.txt",
            "2007-01-08 09:02:13 im_log,from id,5,],msg=aGl0IQ==\r\n");  // "hit!"
    RunResult r = f.run();
    if (c.works) {
      EXPECT_EQ(r.status, 0);
      EXPECT_EQ(r.out, as_written("Search instant message between 2007_01 and 2007_01,target: 'hit'\n"
                                  "2007-01-08 09:02:13 im_log,from id,5,],msg=hit!\n"));
      EXPECT_EQ(r.err, "");
    } else {
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, as_written("logsift can not get executable file directory.\n"));
    }
  }
}

}  // namespace
