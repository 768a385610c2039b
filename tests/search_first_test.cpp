// Logs built to break the search-first scan: the needles it looks for across a
// chunk, in places where they must not count (the first 20 characters, before
// the marker, after the coded text, in lines that are no records, in the wrong
// phase, after a NUL or a Ctrl-Z), or where the line must be found whole
// (a line hit by several needles, a hit at the end of a read block or of the
// file). Each log is searched by every build of the loop, searching first and
// visiting every line, and must print what the plain reference prints.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/record_finder.h"
#include "support/fixture.h"
#include "support/records.h"
#include "support/scan_in_process.h"
#include "reference/reference_search.h"

namespace {

using namespace std::string_literals;

const char kStamp[] = "2007-01-08 09:02:13 ";
const char kWord[] = "zanzibar";

// base64 without its padding: what the search-first scan looks for.
std::string coded(const std::string& bytes) {
  std::string text = base64(bytes);
  return text.substr(0, text.find('='));
}

// A record line of our own making: the stamp, the tag, the fields up to the
// marker, and what follows the marker.
std::string line(const std::string& fields, const std::string& after_marker, const std::string& stamp = kStamp) {
  return stamp + "im_log,from id,1042,to id,2001," + fields + "],msg=" + after_marker;
}

ReferenceSettings strings(std::vector<std::string> search, bool all_mode = false, std::string id = "") {
  ReferenceSettings s;
  s.search = std::move(search);
  s.all_mode = all_mode;
  s.search_id = std::move(id);
  return s;
}

struct Case {
  const char* what;
  ReferenceSettings settings;
  std::string log;
  std::size_t results;  // lines the reference prints: the case is built as meant
};

// A 20-character stamp holding text.
std::string stamp_with(const std::string& text) { return (text + std::string(20, ' ')).substr(0, 20); }

std::vector<Case> cases() {
  const ReferenceSettings word = strings({kWord});
  // The word at each phase, as three coded texts.
  const std::string at[3] = {coded(kWord), coded(std::string("a ") + kWord).substr(1),
                             coded(std::string("b ") + kWord).substr(2)};
  std::vector<Case> all = {
      {"the word's coded form in the first 20 characters",
       word,
       line("[room", coded("nothing here")) + "\n" + line("[room", coded("nothing"), stamp_with(at[0])) + "\r\n",
       0},
      {"in the first 20 characters and in the message of the same line",
       word,
       line("[room", coded(std::string("x ") + kWord), stamp_with(at[1])) + "\n",
       1},
      {"before the marker, in the room's name",
       word,
       line("[" + at[0], coded("tea")) + "\n" + line("[" + at[1] + at[2], coded("a " + std::string(kWord))) + "\n",
       1},
      {"after the coded text ends",
       word,
       line("[r", coded("tea") + "==" + at[0]) + "\n" + line("[r", coded("tea") + " " + at[1]) + "\r\n" +
           line("[r", coded("tea") + "\r" + at[2]) + "\n" + line("[r", coded("tea") + "],msg=" + at[0]) + "\n",
       0},
      {"in lines that are no records",
       word,
       std::string(kStamp) + "user_join,conf id,7,detail," + at[0] + "\n" + std::string(kStamp).substr(1) +
           "im_log,from id,1,],msg=" + at[0] + "\n" + at[1] + "\n" + "im_log,from id,1,],msg=" + at[2] + "\n" +
           std::string(kStamp) + "im_log,from id,1,no marker " + at[0] + "\n" + line("[r", coded(kWord)) + "\n",
       1},
      {"a candidate in the wrong phase",
       word,
       line("[r", "Q" + coded(std::string("..") + kWord)) + "\n" + line("[r", "QQ" + coded(kWord)) + "\n" +
           line("[r", coded(kWord).substr(1)) + "\n" + line("[r", "QQQQ" + coded(kWord)) + "\n",
       1},
      {"a NUL just before a hit",
       word,
       line("[r", std::string(1, '\0') + coded(kWord)) + "\n" + line("[r", coded("ab") + '\0' + coded(kWord)) + "\n" +
           line(std::string("[r\0", 3), coded(kWord)) + "\n" + line("[r", coded(kWord) + '\0' + at[0]) + "\n",
       1},
      {"a Ctrl-Z just before a hit ends the file",
       word,
       line("[r", coded(kWord)) + "\n\x1a" + line("[r", coded(kWord)) + "\n",
       1},
      {"a Ctrl-Z inside the line before a hit ends the file there",
       word,
       line("[r", coded("ab") + "\x1a" + coded(kWord)) + "\n" + line("[r", coded(kWord)) + "\n",
       0},
      {"one line hit by several needles, once printed",
       strings({kWord, "coffee"}),
       line("[" + at[2], coded(std::string("coffee ") + kWord + " coffee " + kWord)) + "\n" +
           line("[r", coded("tea coffee")) + "\n",
       2},
      {"or: each string alone in its line, at each phase",
       strings({kWord, "coffee"}),
       line("[r", coded(kWord)) + "\n" + line("[r", coded("a " + std::string(kWord))) + "\n" +
           line("[r", coded("ab " + std::string(kWord))) + "\n" + line("[r", coded("coffee")) + "\n" +
           line("[r", coded("a coffee")) + "\n" + line("[r", coded("ab coffee")) + "\n" +
           line("[r", coded("tea")) + "\n",
       6},
      {"and: the longest string found, the other missing",
       strings({"tea", kWord}, true),
       line("[r", coded(kWord)) + "\n" + line("[r", coded(std::string("tea ") + kWord)) + "\n" +
           line("[r", coded("tea")) + "\n",
       1},
      {"and: the other string only in the line's head",
       strings({"tea", kWord}, true),
       line("[" + coded("tea"), coded(kWord)) + "\n",
       0},
      {"or with a string too short for a needle visits every line",
       strings({kWord, "hi"}),
       line("[r", coded("oh hi")) + "\n" + line("[r", coded(kWord)) + "\n" + line("[r", coded("ho")) + "\n",
       2},
      {"an id: a longer id first in the line, the whole id later",
       strings({}, true, "12"),
       line("[r", coded("x")).replace(30, 4, "123,") + "\n" +
           std::string(kStamp) + "im_log,from id,123,to id,12,[r],msg=" + coded("x") + "\n",
       1},
      {"an id in the first 20 characters counts; in a line that is no record or after a NUL it does not",
       strings({}, true, "12"),
       line("[r", coded("x"), stamp_with(" id,12")) + "\n" + std::string(kStamp) + "user_join,user id,12\n" +
           std::string(kStamp) + "im_log,from id,1,\0 id,12,],msg="s + coded("x") + "\n" +
           std::string(kStamp) + "im_log,from id,1,to id,12],msg=" + coded("x") + "\n",
       2},
      {"an id and a word: only lines with both",
       strings({kWord}, true, "2001"),
       line("[r", coded(kWord)) + "\n" + std::string(kStamp) + "im_log,from id,1,to id,2002,],msg=" + coded(kWord) +
           "\n" + line("[r", coded("tea")) + "\n",
       1},
  };
  // Hits at the end of the file without a line end, at every distance from a
  // vector's end, and in lines around the end of a read block (256 KiB).
  std::string tails;
  for (std::size_t pad = 0; pad < 70; ++pad) {
    tails = std::string(pad, 'q') + "\n" + tails;
    all.push_back({"a hit at the file's end", word, tails + line("[r", coded(std::string(pad % 3, '.') + kWord)), 1});
  }
  std::string block;
  const std::string record_line = line("[r", coded(kWord)) + "\r\n";
  while (block.size() < (std::size_t{1} << 18) - 200) block += line("[r", coded("tea and coffee")) + "\r\n";
  for (std::size_t shift = 0; shift < 200; shift += 7) {
    all.push_back({"a hit around the end of a read block", word,
                   block + std::string(shift, 'q') + "\n" + record_line + record_line, 2});
  }
  return all;
}

TEST(SearchFirst, EveryLoopAndPathPrintWhatTheReferencePrints) {
  const ScanLoop loops[] = {ScanLoop::plain, ScanLoop::sse2, ScanLoop::avx2};
  const ScanPath paths[] = {ScanPath::search_first, ScanPath::every_line};
  Fixture f;
  const auto log = f.dir() / "mcu_event_log_2007_01.txt";
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.what);
    const std::string expected = reference_search(c.log, c.settings);
    std::size_t lines = 0;
    for (char ch : expected) lines += ch == '\n';
    EXPECT_EQ(lines, c.results) << "the case is not built as meant:\n" << expected;
    f.write(log.filename().string(), c.log);
    for (ScanLoop loop : loops) {
      if (record_finder(loop) == nullptr) continue;
      for (ScanPath path : paths) {
        const std::string got = scan_in_process(loop, path, c.settings, log, f.dir() / "results.txt");
        EXPECT_TRUE(got == expected) << "loop " << static_cast<int>(loop) << ", path " << static_cast<int>(path)
                                     << ":\n" << got.substr(0, 1000) << "\nreference:\n" << expected.substr(0, 1000);
      }
    }
  }
}

}  // namespace
