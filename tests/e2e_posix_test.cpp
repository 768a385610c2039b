// End-to-end cases that need POSIX facilities to set up.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/fixture.h"

namespace fs = std::filesystem;

namespace {

// Under AddressSanitizer the runtime itself notes that it cannot read the
// executable's name either; that line is not the program's.
std::string without_sanitizer_notes(const std::string& err) {
  const std::string note = "WARNING: reading executable name failed";
  std::string kept;
  std::size_t begin = 0;
  while (begin < err.size()) {
    std::size_t end = err.find('\n', begin);
    end = end == std::string::npos ? err.size() : end + 1;
    const std::string line = err.substr(begin, end - begin);
    if (!(line.rfind("==", 0) == 0 && line.find(note) != std::string::npos)) kept += line;
    begin = end;
  }
  return kept;
}

// A folder deeper than PATH_MAX can only be made and entered one step at a
// time, relative to the current one.
TEST(EndToEndPosix, ExecutableDeeperThanPathMaxGetsTheDirectoryMessage) {
  Fixture f;
  const fs::path start = fs::current_path();
  ASSERT_EQ(chdir(f.dir().c_str()), 0);
  const std::string step(200, 'd');
  std::size_t depth = f.dir().string().size();
  while (depth <= 4200) {
    ASSERT_EQ(mkdir(step.c_str(), 0755), 0);
    ASSERT_EQ(chdir(step.c_str()), 0);
    depth += step.size() + 1;
  }
  fs::copy_file(program_under_test(), "logsift");
  std::ofstream("search.ini") << "[Config]\nsearch1=a\nstart_time=2007_01\nend_time=2007_01\n";
  fs::path capture = f.dir().parent_path() / "capture";
  RunResult r = run_program("./logsift", {}, capture.string());
  RunResult v = run_program("./logsift", {"--version"}, capture.string());
  fs::current_path(start);
  // Too deep for the standard library to remove.
  ASSERT_EQ(std::system(("rm -rf '" + (f.dir() / step).string() + "'").c_str()), 0);

  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(without_sanitizer_notes(r.err), "logsift can not get executable file directory.\n");
  EXPECT_EQ(v.status, 1);
  EXPECT_EQ(without_sanitizer_notes(v.err), "logsift can not get executable file directory.\n");
}

}  // namespace

namespace {

// Enough matching records to fill any output buffer several times over.
void write_busy_month(const Fixture& f) {
  std::string log;
  for (int i = 0; i < 5000; ++i) log += "2007-01-08 09:02:13 im_log,from id,7,],msg=aGl0IGhpdCBoaXQgaGl0IGhpdA==\r\n";
  f.write_ini("[Config]\nsearch1=hit\nstart_time=2007_01\nend_time=2007_01\n");
  f.write("mcu_event_log_2007_01.txt", log);
}

TEST(EndToEndPosix, OutputThatCannotBeWrittenIsAFailure) {
  struct Case {
    const char* what;
    std::string stdout_path;
    bool busy;
  };
  const Case cases[] = {
      {"full disk, many results", "/dev/full", true},
      {"full disk, announcement only", "/dev/full", false},
      {"closed standard output", kClosedStdout, true},
      {"closed standard output, version", kClosedStdout, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    if (c.busy) {
      write_busy_month(f);
    } else {
      f.write_ini("[Config]\nsearch1=hit\nstart_time=2007_01\nend_time=2007_01\n");
    }
    RunResult r = f.run(c.busy || c.stdout_path == "/dev/full" ? std::vector<std::string>{}
                                                              : std::vector<std::string>{"--version"},
                        c.stdout_path);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("can not write to standard output: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "said once: " << r.err;
  }
}

TEST(EndToEndPosix, BrokenPipeEndsQuietly) {
  Fixture f;
  write_busy_month(f);
  RunResult r = f.run({}, kBrokenPipe);
  EXPECT_EQ(r.signal, SIGPIPE);
  EXPECT_EQ(r.err, "");
}

}  // namespace
