// Random month logs full of oddities, searched by the program and by the plain
// reference; the outputs must be the same, byte for byte. The same logs are
// also searched in-process through each build of the scan's loop (plain,
// SSE2, AVX2), since the program runs only the fastest one there is, each
// searching first and visiting every line.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "search/month_scan.h"
#include "search/record_finder.h"
#include "support/fixture.h"
#include "support/records.h"
#include "support/scan_in_process.h"
#include "reference/reference_search.h"

namespace {

class OddLogs {
 public:
  explicit OddLogs(unsigned seed) : rng_(seed) {}

  unsigned below(unsigned n) { return static_cast<unsigned>(rng_() % n); }

  std::string word() {
    static const char* const kWords[] = {"hit", "hi", "h", "it", "zanzibar", "caf\xc3\xa9", "\xe4\xbc\x9a",
                                         "12", "id,12", "a b", "x", "HIT", "hitch", "=", "\r\n", "\n"};
    return kWords[below(16)];
  }

  std::string message() {
    std::string m;
    for (unsigned n = below(8); n > 0; --n) m += word() + (below(3) ? " " : "");
    if (below(20) == 0) m.insert(below(static_cast<unsigned>(m.size()) + 1), 1, '\0');
    if (below(30) == 0) m += std::string(3000 + below(20000), 'L');
    return m;
  }

  std::string id() {
    static const char* const kIds[] = {"12", "123", "1200", "12x", "12-3", "7", "x12"};
    return kIds[below(7)];
  }

  std::string line() {
    std::string prefix = "2007-01-08 09:02:13 ";
    switch (below(40)) {
      case 0: prefix.pop_back(); break;            // tag at 19
      case 1: prefix += ' '; break;                // tag at 21
      case 2: prefix[below(20)] = '\0'; break;     // NUL before the tag
      case 3: prefix = "ab],msg=aGl0IQ==    "; break;  // marker before the tag
      default: break;
    }
    std::string l;
    switch (below(10)) {
      case 0: l = prefix + "user_join,conf id,7,user id," + id(); break;
      case 1: l = prefix + "im_log,from id," + id() + ",no marker " + base64(message()); break;
      case 2: l = std::string(below(40), 'q'); break;
      default: {
        l = prefix + "im_log,from id," + id() + ",to id," + id() + ",[room],msg=" + base64(message());
        switch (below(12)) {
          case 0: l += "],msg=" + base64(message()); break;  // second marker
          case 1: l += "==" + base64(message()); break;      // padding, then more
          case 2: l += " trailing"; break;
          case 3: l += '\r'; break;                          // a lone CR before the line end
          case 4: l.insert(below(static_cast<unsigned>(l.size())), 1, '\0'); break;
          case 5: l.insert(below(static_cast<unsigned>(l.size())), 1, static_cast<char>(below(256))); break;
          default: break;
        }
      }
    }
    if (below(50) == 0) l = std::string(below(70000), 'z') + l;
    return l;
  }

  std::string file() {
    std::string f;
    if (below(15) == 0) return f;  // empty file
    for (unsigned n = 1 + below(120); n > 0; --n) {
      f += line();
      f += below(4) ? "\r\n" : "\n";
      if (below(300) == 0) f += '\x1a';  // the end of the file, for the text reader
    }
    if (below(3) == 0) f += line();  // last line without a line end
    return f;
  }

  ReferenceSettings settings() {
    ReferenceSettings s;
    s.all_mode = below(2) == 0;
    for (unsigned n = below(4); n > 0; --n) s.search.push_back(below(6) ? word() : "");
    while (!s.search.empty() && s.search.back() == "\n") s.search.pop_back();
    if (below(3) == 0 || s.search.empty() || s.search[0].empty()) s.search_id = id();
    return s;
  }

 private:
  std::mt19937 rng_;
};

std::string ini_text(const ReferenceSettings& s) {
  std::string text = "[Config]\nstart_time=2007_01\nend_time=2007_03\n";
  text += s.all_mode ? "multi_search=and\n" : "multi_search=or\n";
  for (std::size_t k = 0; k < s.search.size(); ++k) {
    // Quotes keep blanks at the ends of a value.
    text += "search" + std::to_string(k + 1) + "=\"" + s.search[k] + "\"\n";
  }
  if (!s.search_id.empty()) text += "search_id=" + s.search_id + "\n";
  return text;
}

TEST(Differential, ProgramMatchesThePlainReference) {
  const int runs = windows_build() ? 40 : 150;
  std::size_t results = 0;
  for (int seed = 1; seed <= runs; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    OddLogs logs(static_cast<unsigned>(seed));
    ReferenceSettings settings = logs.settings();
    for (auto& s : settings.search) {
      if (s.find_first_of("\r\n") != std::string::npos) s = "hit";  // a value cannot hold a line end
    }
    Fixture f;
    f.write_ini(ini_text(settings));
    std::string expected;
    for (const char* month : {"01", "02", "03"}) {
      std::string bytes = logs.file();
      f.write(std::string("mcu_event_log_2007_") + month + ".txt", bytes);
      expected += reference_search(bytes, settings);
    }
    for (char c : expected) results += c == '\n';
    RunResult r = f.run();
    ASSERT_EQ(r.status, 0) << r.err;
    const std::size_t announcement_end = r.out.find('\n') + 1;
    EXPECT_TRUE(r.out.substr(announcement_end) == as_written(expected))
        << "program:\n" << r.out.substr(announcement_end, 2000) << "\nreference:\n" << expected.substr(0, 2000);
  }
  std::printf("%zu result lines compared\n", results);
  // The logs must give results at all, or the comparison proves little.
  EXPECT_GT(results, static_cast<std::size_t>(runs) * 5);
}

class EachLoop : public testing::TestWithParam<std::tuple<ScanLoop, ScanPath>> {};

TEST_P(EachLoop, MatchesThePlainReference) {
  const auto [loop, path] = GetParam();
  if (record_finder(loop) == nullptr) GTEST_SKIP() << "this build or processor has no such loop";
  // In-process runs are cheap: more logs than the program gets.
  const int runs = windows_build() ? 100 : 500;
  std::size_t results = 0;
  Fixture f;
  for (int seed = 1; seed <= runs; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    OddLogs logs(static_cast<unsigned>(seed));
    ReferenceSettings settings = logs.settings();
    for (auto& s : settings.search) {
      if (s.find_first_of("\r\n") != std::string::npos) s = "hit";  // as in the program's search.ini
    }
    for (const char* month : {"01", "02", "03"}) {
      const std::string bytes = logs.file();
      const std::string name = std::string("mcu_event_log_2007_") + month + ".txt";
      f.write(name, bytes);
      const std::string expected = reference_search(bytes, settings);
      for (char c : expected) results += c == '\n';
      const std::string got = scan_in_process(loop, path, settings, f.dir() / name, f.dir() / "results.txt");
      EXPECT_TRUE(got == expected) << "scan:\n" << got.substr(0, 2000) << "\nreference:\n" << expected.substr(0, 2000);
    }
  }
  std::printf("%zu result lines compared\n", results);
  EXPECT_GT(results, static_cast<std::size_t>(runs) * 5);
}

std::string loop_name(const testing::TestParamInfo<std::tuple<ScanLoop, ScanPath>>& info) {
  const char* path = std::get<1>(info.param) == ScanPath::search_first ? "_search_first" : "_every_line";
  switch (std::get<0>(info.param)) {
    case ScanLoop::plain:
      return std::string("plain") + path;
    case ScanLoop::sse2:
      return std::string("sse2") + path;
    case ScanLoop::avx2:
      return std::string("avx2") + path;
    case ScanLoop::fastest:
      break;
  }
  return std::string("fastest") + path;
}

INSTANTIATE_TEST_SUITE_P(Differential, EachLoop,
                         testing::Combine(testing::Values(ScanLoop::plain, ScanLoop::sse2, ScanLoop::avx2),
                                          testing::Values(ScanPath::search_first, ScanPath::every_line)),
                         loop_name);

}  // namespace
