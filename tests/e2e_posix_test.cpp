// End-to-end cases that need POSIX facilities to set up.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "support/fixture.h"
#include "support/records.h"

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

// The program is found where it was started from: through a link to it, its
// search.ini and logs are those beside the link. Only when the name it was
// started by holds no folder (a search of PATH) is its own file asked for.
TEST(EndToEndPosix, AProgramStartedThroughALinkSearchesBesideTheLink) {
  Fixture f;
  const fs::path bin = f.dir() / "bin";
  const fs::path logs = f.dir() / "logs";
  fs::create_directories(bin);
  fs::create_directories(logs);
  fs::copy_file(program_under_test(), bin / "logsift");
  fs::create_symlink("../bin/logsift", logs / "logsift");
  const std::string search = "[Config]\nsearch1=hit\nstart_time=2007_01\nend_time=2007_01\n";
  for (const auto& [folder, message] : {std::pair{bin, "hit in bin"}, std::pair{logs, "hit in logs"}}) {
    std::ofstream(folder / "search.ini") << search;
    std::ofstream(folder / "mcu_event_log_2007_01.txt", std::ios::binary) << record(message) << "\r\n";
  }
  struct Case {
    const char* what;
    fs::path cwd;
    std::string program;
    const char* found;
  };
  const Case cases[] = {
      {"an absolute path", "/", (logs / "logsift").string(), "hit in logs"},
      {"a relative path", f.dir(), "logs/logsift", "hit in logs"},
      {"dots and doubled slashes", f.dir(), "./logs//./logsift", "hit in logs"},
      {"a parent folder, kept as written", bin, "../logs/logsift", "hit in logs"},
      {"the program itself", "/", (bin / "logsift").string(), "hit in bin"},
      {"a search of PATH", "/", "logsift", "hit in bin"},
  };
  const fs::path capture = f.dir().parent_path() / "capture";
  const fs::path start = fs::current_path();
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::current_path(c.cwd);
    setenv("PATH", logs.c_str(), 1);
    RunResult r = run_program(c.program, {}, capture.string());
    setenv("PATH", path.c_str(), 1);
    fs::current_path(start);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "Search instant message between 2007_01 and 2007_01,target: 'hit'\n" + printed(c.found));
  }
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

// On a terminal, the control bytes of a result line are shown, not obeyed: a
// message cannot forge lines or send the terminal commands. Files and pipes
// get the bytes as they are.
TEST(EndToEndPosix, ControlBytesAreShownOnlyOnATerminal) {
  using namespace std::string_literals;
  struct Line {
    std::string message;
    std::string from_id;
    std::string on_terminal;  // the line as a terminal shows it, without its line end
  };
  const std::string head = "2007-01-08 09:02:13 im_log,from id,";
  const std::string room = ",to id,2001,[Weekly sync],msg=";
  const Line lines[] = {
      {"hit\n" + head + "1,to id,2,[forged],msg=hit forged", "5",
       head + "5" + room + "hit\\n" + head + "1,to id,2,[forged],msg=hit forged"},
      {"hit\r\x1b[2J\x1b]0;title\x07", "5", head + "5" + room + "hit\\r\\e[2J\\e]0;title\\x07"},
      {"hit\ttab \x01\x1f\x7f caf\xc3\xa9 \\n", "5", head + "5" + room + "hit\ttab \\x01\\x1f\\x7f caf\xc3\xa9 \\n"},
      {"hit in a line with a control byte", "5\x1b[8m", head + "5\\e[8m" + room + "hit in a line with a control byte"},
  };
  Fixture f;
  f.write_ini("[Config]\nsearch1=hit\nstart_time=2007_01\nend_time=2007_01\n");
  std::string log;
  std::string raw = "Search instant message between 2007_01 and 2007_01,target: 'hit'\n";
  std::string shown = raw;
  for (const auto& l : lines) {
    log += record(l.message, l.from_id) + "\r\n";
    raw += printed(l.message, l.from_id);
    shown += l.on_terminal + "\n";
  }
  f.write("mcu_event_log_2007_01.txt", log);
  const fs::path file = f.dir().parent_path() / "results";
  struct Case {
    const char* what;
    std::string stdout_path;
    const std::string& expected;
  };
  const Case cases[] = {
      {"a terminal", kTerminalStdout, shown},
      {"a pipe", kPipeStdout, raw},
      {"a file", file.string(), raw},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RunResult r = f.run({}, c.stdout_path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(c.stdout_path == file.string() ? read_whole_file(file.string()) : r.out, c.expected);
  }
}

// Standard output can fail when a message flushes it: the walk stops there,
// and the failure is told with its own reason, after the message.
TEST(EndToEndPosix, OutputFailingBeforeAMessageIsToldWithItsReason) {
  Fixture f;
  f.write_ini("[Config]\nsearch1=hit\nstart_time=2007_01\nend_time=2007_04\n");
  f.write("mcu_event_log_2007_01.txt", record("hit") + "\r\n");
  fs::create_directory(f.dir() / "mcu_event_log_2007_02.txt");
  fs::create_directory(f.dir() / "mcu_event_log_2007_04.txt");
  RunResult r = f.run({}, "/dev/full");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "can not read " + (f.dir() / "mcu_event_log_2007_02.txt").string() +
                       ": Is a directory\ncan not write to standard output: No space left on device\n");
}

TEST(EndToEndPosix, BrokenPipeEndsQuietly) {
  Fixture f;
  write_busy_month(f);
  RunResult r = f.run({}, kBrokenPipe);
  EXPECT_EQ(r.signal, SIGPIPE);
  EXPECT_EQ(r.err, "");
}

}  // namespace

namespace {

// The results file of a search that cannot write them all (here the file
// size limit, as a full disk would) is not made: the file named keeps what it
// held, and no part of the new one is left beside it.
TEST(EndToEndPosix, OutputFileIsLeftAsItWasAfterAWriteError) {
  Fixture f;
  f.write_ini(ini("2007_01", "2007_01", "search1=hit\n"));
  std::string log;
  std::string found = announced("2007_01", "2007_01", ",target: 'hit'");
  for (int k = 0; k < 200; ++k) {
    const std::string message = "hit number " + std::to_string(k) + std::string(80, '.');
    log += record(message) + "\n";
    found += printed(message);
  }
  f.write("mcu_event_log_2007_01.txt", log);
  const std::string out = (f.dir() / "results.txt").string();
  f.write("results.txt", "the earlier results\n");
  // Ignoring SIGXFSZ makes a write past the limit fail with EFBIG.
  const std::vector<std::string> limited = {"bash", "-c", "trap '' XFSZ; ulimit -f 4; exec \"$@\"", "bash"};
  const std::string failed = "can not write to " + out + ": File too large\n";
  const struct {
    const char* format;
    std::string err;
  } cases[] = {{"text", failed}, {"csv", announced("2007_01", "2007_01", ",target: 'hit'") + failed}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    RunResult r = f.run({"--output", out, "--format", c.format}, "", limited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(read_whole_file(out), "the earlier results\n");
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(f.dir())) files += entry.path().filename().string()[0] == '.';
    EXPECT_EQ(files, 0u) << "no temporary file left";
  }
  // Without the limit the same search replaces the file.
  RunResult r = f.run({"--output", out});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(read_whole_file(out), found);
}

// A relative --dir is taken from the working directory.
TEST(EndToEndPosix, RelativeDirIsTakenFromTheWorkingDirectory) {
  Fixture f;
  fs::create_directories(f.dir() / "logs");
  f.write("logs/mcu_event_log_2007_01.txt", record("hit") + "\n");
  const std::vector<std::string> in_dir = {"bash", "-c", "cd \"$0\" && exec \"$@\"", f.dir().string()};
  RunResult r = f.run({"--dir", "logs", "--start", "2007_01", "--end", "2007_01", "--search", "hit"}, "", in_dir);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, announced("2007_01", "2007_01", ",target: 'hit'") + printed("hit"));
}

}  // namespace

namespace {

// csv shows a terminal the control bytes of its fields, as text does; a file
// gets them as they are, quoted where they must be.
TEST(EndToEndPosix, CsvShowsControlBytesOnlyOnATerminal) {
  Fixture f;
  f.write_ini("[Config]\nsearch1=hit\nstart_time=2007_01\nend_time=2007_01\nformat=csv\n");
  f.write("mcu_event_log_2007_01.txt", record("hit\x1b[2J\r\nnext", "5\x07") + "\r\n");
  const std::string header = "time,from_id,to_id,conf_id,room,message\r\n";
  const std::string shown = header + "2007-01-08 09:02:13,5\\x07,2001,,Weekly sync,hit\\e[2J\\r\\nnext\r\n";
  const std::string raw = header + "2007-01-08 09:02:13,5\x07,2001,,Weekly sync,\"hit\x1b[2J\r\nnext\"\r\n";
  const fs::path file = f.dir().parent_path() / "results";
  const struct {
    const char* what;
    std::string stdout_path;
    const std::string& expected;
  } cases[] = {{"a terminal", kTerminalStdout, shown}, {"a file", file.string(), raw}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RunResult r = f.run({}, c.stdout_path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(c.stdout_path == file.string() ? read_whole_file(file.string()) : r.out, c.expected);
  }
}

}  // namespace
