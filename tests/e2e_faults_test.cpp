// Faults a user can meet, end to end: each case states what the user sees.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/fixture.h"
#include "support/records.h"

namespace fs = std::filesystem;

namespace {

const std::string kIni = ini("2007_01", "2007_02", "search1=hit\n");
const std::string kAnnounced = announced("2007_01", "2007_02", ",target: 'hit'");

// The wrapper that runs the program with at most bytes of address space, or
// nothing where no such limit can be set up: AddressSanitizer needs more
// address space than the limits leave, and under a test wrapper the limit
// would apply to the wrapper.
std::vector<std::string> memory_limit(long bytes) {
#if defined(__SANITIZE_ADDRESS__)
  (void)bytes;
  return {};
#else
  if (std::getenv("LOGSIFT_TEST_WRAPPER")) return {};
  const std::string limit = "--as=" + std::to_string(bytes);
  if (std::system(("prlimit " + limit + " true 2>/dev/null").c_str()) != 0) return {};
  return {"prlimit", limit};
#endif
}

// As root, file permissions do not apply: run the program as "nobody" then.
std::vector<std::string> as_unprivileged_user() {
  if (geteuid() != 0) return {};
  return {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
}

bool can_drop_privileges() {
  return geteuid() != 0 || std::system("setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null") == 0;
}

TEST(Faults, UnreadableFilesAreNamed) {
  if (!can_drop_privileges()) GTEST_SKIP() << "running as root without setpriv: permissions cannot be tested";
  Fixture f;
  f.write_ini(kIni);
  f.write("mcu_event_log_2007_01.txt", record("hit january") + "\r\n");
  f.write("mcu_event_log_2007_02.txt", record("hit february") + "\r\n");
  fs::permissions(f.dir() / "mcu_event_log_2007_01.txt", fs::perms::none);
  RunResult month = f.run({}, "", as_unprivileged_user());
  EXPECT_EQ(month.status, 0);
  EXPECT_EQ(month.out, kAnnounced + printed("hit february"));
  EXPECT_EQ(month.err, "can not read " + (f.dir() / "mcu_event_log_2007_01.txt").string() + ": Permission denied\n");

  fs::permissions(f.dir() / "search.ini", fs::perms::none);
  RunResult settings = f.run({}, "", as_unprivileged_user());
  EXPECT_EQ(settings.status, 1);
  EXPECT_EQ(settings.out, "");
  EXPECT_EQ(settings.err, "can not read " + (f.dir() / "search.ini").string() + ": Permission denied\n");
}

TEST(Faults, SettingsFileShapes) {
  std::mt19937 rng(3);
  std::string binary(1 << 16, '\0');
  for (char& c : binary) c = static_cast<char>(rng());
  struct Case {
    const char* what;
    std::function<void(const Fixture&)> make;
    int status;
    std::string err;  // "%s" stands for the path of search.ini
  };
  const Case cases[] = {
      {"a symlink loop", [](const Fixture& f) { fs::create_symlink("search.ini", f.dir() / "search.ini"); }, 1,
       "can not read %s: Too many levels of symbolic links\n"},
      {"a folder: read as an empty file", [](const Fixture& f) { fs::create_directory(f.dir() / "search.ini"); }, 1,
       "invalid start time: \n"},
      {"binary bytes", [&](const Fixture& f) { f.write_ini(binary); }, 1, "invalid start time: \n"},
      // Reading a process's own memory at offset 0 fails: a read error partway.
      {"a read error", [](const Fixture& f) { fs::create_symlink("/proc/self/mem", f.dir() / "search.ini"); }, 1,
       "can not read %s: Input/output error\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    c.make(f);
    RunResult r = f.run();
    EXPECT_EQ(r.status, c.status);
    std::string err = c.err;
    if (err.find("%s") != std::string::npos) err.replace(err.find("%s"), 2, (f.dir() / "search.ini").string());
    EXPECT_EQ(r.err, err);
  }
}

TEST(Faults, TenMegabyteSettingsFile) {
  Fixture f;
  f.write_ini("[Config]\nfiller=" + std::string(10u << 20, 'f') + "\n" + kIni.substr(9));
  f.write("mcu_event_log_2007_01.txt", record("hit") + "\r\n");
  const auto started = std::chrono::steady_clock::now();
  RunResult r = f.run();
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kAnnounced + printed("hit"));
  if (!std::getenv("LOGSIFT_TEST_WRAPPER")) {
    EXPECT_LT(took, std::chrono::seconds(5));
  }
  std::printf("10 MB search.ini read in %lld ms\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
}

// A FIFO that no process writes to must not hold the program up: search.ini
// reads as an empty file then, as other things that are not files do, and a
// month log as a stream that ends at once. timeout turns a hang into a failure.
TEST(Faults, FifosInPlaceOfFiles) {
  struct Case {
    const char* what;
    const char* fifo;
    int status;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      {"search.ini", "search.ini", 1, "", "invalid start time: \n"},
      {"a month log", "mcu_event_log_2007_01.txt", 0, kAnnounced + printed("hit february"), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.write_ini(kIni);
    f.write("mcu_event_log_2007_02.txt", record("hit february") + "\r\n");
    fs::remove(f.dir() / c.fifo);
    ASSERT_EQ(mkfifo((f.dir() / c.fifo).c_str(), 0644), 0);
    RunResult r = f.run({}, "", {"timeout", "10"});
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
  }
}

// Files of procfs report a size of 0 and have content: they are read to their
// end. The program's own environment holds a record line between two line
// ends (a NUL ends a line's text, and the variables are NUL separated).
TEST(Faults, AProcfsFileIsReadThoughItReportsNoSize) {
  Fixture f;
  f.write_ini(kIni);
  fs::create_symlink("/proc/self/environ", f.dir() / "mcu_event_log_2007_01.txt");
  ASSERT_EQ(setenv("LOGSIFT_TEST_RECORD", ("\n" + record("hit from procfs") + "\n").c_str(), 1), 0);
  RunResult r = f.run();
  unsetenv("LOGSIFT_TEST_RECORD");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, kAnnounced + printed("hit from procfs"));
}

// A search.ini of a section holding one long filler line, then the keys.
void write_large_settings(const Fixture& f, std::size_t filler_megabytes) {
  std::FILE* out = std::fopen((f.dir() / "search.ini").c_str(), "wb");
  std::fputs("[Config]\nfiller=", out);
  const std::string block(1 << 20, 'f');
  for (std::size_t i = 0; i < filler_megabytes; ++i) std::fwrite(block.data(), 1, block.size(), out);
  std::fputs(("\n" + kIni.substr(9)).c_str(), out);
  std::fclose(out);
}

// The file is read and taken apart once, not once for each of its keys.
TEST(Faults, LargeSettingsFileIsReadOnce) {
  Fixture f;
  write_large_settings(f, 150);
  f.write("mcu_event_log_2007_01.txt", record("hit") + "\r\n");
  const auto started = std::chrono::steady_clock::now();
  RunResult r = f.run();
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, kAnnounced + printed("hit"));
  std::printf("150 MB search.ini read in %lld ms\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
  if (!std::getenv("LOGSIFT_TEST_WRAPPER")) {
    EXPECT_LT(took, std::chrono::seconds(4));
  }
}

// A settings file larger than the memory the program may have is named with
// the reason, and the search does not start.
TEST(Faults, SettingsFileTooLargeForMemory) {
  const std::vector<std::string> limited = memory_limit(120000000);
  if (limited.empty()) GTEST_SKIP() << "no address-space limit here: AddressSanitizer, a test wrapper, or no prlimit";
  Fixture f;
  write_large_settings(f, 150);
  RunResult r = f.run({}, "", limited);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "can not read " + (f.dir() / "search.ini").string() + ": not enough memory for a file this large\n");
}

// Every result line must be one of the records written, whole.
void expect_whole_records(const std::string& out, const std::set<std::string>& allowed) {
  std::size_t begin = out.find('\n') + 1;  // after the announcement
  while (begin < out.size()) {
    const std::size_t end = out.find('\n', begin);
    ASSERT_NE(end, std::string::npos) << "a result without its line end";
    const std::string line = out.substr(begin, end + 1 - begin);
    EXPECT_TRUE(allowed.count(line)) << "not a whole record: " << line.substr(0, 200);
    begin = end + 1;
  }
}

TEST(Faults, AFileThatGrowsWhileSearched) {
  Fixture f;
  f.write_ini(kIni);
  const fs::path log = f.dir() / "mcu_event_log_2007_01.txt";
  std::set<std::string> allowed;
  std::string before;
  for (int i = 0; i < 100000; ++i) {
    const std::string m = "hit " + std::to_string(i) + " " + std::string(100, 'm');
    before += record(m) + "\r\n";
    allowed.insert(printed(m));
  }
  f.write(log.filename().string(), before);
  for (int i = 0; i < 100000; ++i) allowed.insert(printed("hit later " + std::to_string(i)));

  // Another process's appends, each line in two writes, as a slow writer makes them.
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    int fd = open(log.c_str(), O_WRONLY | O_APPEND);
    for (int i = 0; i < 100000 && !stop; ++i) {
      const std::string line = record("hit later " + std::to_string(i)) + "\r\n";
      const std::size_t half = line.size() / 2;
      if (write(fd, line.data(), half) < 0 || write(fd, line.data() + half, line.size() - half) < 0) break;
    }
    close(fd);
  });
  RunResult r = f.run();
  stop = true;
  writer.join();
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  // Every line that was there at the start is found, in order, then maybe some appended ones.
  std::string expected_start = kAnnounced;
  for (int i = 0; i < 100000; ++i) expected_start += printed("hit " + std::to_string(i) + " " + std::string(100, 'm'));
  EXPECT_TRUE(r.out.compare(0, expected_start.size(), expected_start) == 0);
  expect_whole_records(r.out, allowed);
}

TEST(Faults, AFileTruncatedWhileSearched) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    SCOPED_TRACE(attempt);
    Fixture f;
    f.write_ini(kIni);
    const fs::path log = f.dir() / "mcu_event_log_2007_01.txt";
    std::set<std::string> allowed;
    std::string bytes;
    for (int i = 0; i < 200000; ++i) {
      const std::string m = "hit " + std::to_string(i);
      bytes += record(m) + "\r\n";
      allowed.insert(printed(m));
    }
    f.write(log.filename().string(), bytes);
    std::thread truncater([&] {
      std::this_thread::sleep_for(std::chrono::microseconds(200 * attempt));
      truncate(log.c_str(), static_cast<off_t>(bytes.size() / (2 + attempt)));
    });
    RunResult r = f.run();
    truncater.join();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    expect_whole_records(r.out, allowed);
  }
}

TEST(Faults, HugeLineWithoutLineEnd) {
  Fixture f;
  f.write_ini(kIni);
  {
    std::FILE* out = std::fopen((f.dir() / "mcu_event_log_2007_01.txt").c_str(), "wb");
    const std::string block(1 << 20, 'x');
    for (int i = 0; i < 200; ++i) std::fwrite(block.data(), 1, block.size(), out);
    std::fclose(out);
  }
  f.write("mcu_event_log_2007_02.txt", record("hit after") + "\r\n");
  // A child forked from this big test process would be charged with its
  // memory; /usr/bin/time forks the program from a small process instead.
  const bool measured = fs::exists("/usr/bin/time") && !std::getenv("LOGSIFT_TEST_WRAPPER");
  const std::string rss_file = (f.dir().parent_path() / "rss").string();
  RunResult r = f.run({}, "", measured ? std::vector<std::string>{"/usr/bin/time", "-f", "%M", "-o", rss_file}
                                       : std::vector<std::string>{});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, kAnnounced + printed("hit after"));
  if (!measured) GTEST_SKIP() << "peak memory not measured: no /usr/bin/time, or the program runs under a wrapper";
  long rss_kib = 0;
  std::FILE* in = std::fopen(rss_file.c_str(), "r");
  ASSERT_NE(in, nullptr);
  ASSERT_EQ(std::fscanf(in, "%ld", &rss_kib), 1);
  std::fclose(in);
  std::printf("a 200 MB line without line end: peak memory %ld KiB\n", rss_kib);
  // AddressSanitizer's runtime alone takes about 20 MB; a line held whole
  // would still be ten times that.
#if defined(__SANITIZE_ADDRESS__)
  const long bound_kib = 32 * 1024;
#else
  const long bound_kib = 16 * 1024;
#endif
  EXPECT_LT(rss_kib, bound_kib) << "a line that is no record is skipped, not held";
}

TEST(Faults, HugeRecordIsHeldWhole) {
  Fixture f;
  f.write_ini(kIni);
  const std::string message = "hit " + std::string(30u << 20, 'r');
  f.write("mcu_event_log_2007_01.txt", record(message));
  RunResult r = f.run({}, (f.dir().parent_path() / "big.out").string());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(fs::file_size(f.dir().parent_path() / "big.out"), kAnnounced.size() + printed(message).size());
}

// A record line longer than the memory the program may have: what was found
// before it stands, the month is named, and the next month is searched.
TEST(Faults, LineTooLongForMemory) {
  const std::vector<std::string> limited = memory_limit(200000000);
  if (limited.empty()) GTEST_SKIP() << "no address-space limit here: AddressSanitizer, a test wrapper, or no prlimit";
  Fixture f;
  f.write_ini(kIni);
  const fs::path log = f.dir() / "mcu_event_log_2007_01.txt";
  {
    std::FILE* out = std::fopen(log.c_str(), "wb");
    const std::string before = record("hit before") + "\r\n";
    std::fwrite(before.data(), 1, before.size(), out);
    const std::string head = "2007-01-08 09:02:13 im_log,from id,1,to id,2,[room],msg=";
    std::fwrite(head.data(), 1, head.size(), out);
    const std::string block(1 << 20, 'Q');
    for (int i = 0; i < 300; ++i) std::fwrite(block.data(), 1, block.size(), out);
    std::fputs("\r\n", out);
    std::fclose(out);
  }
  f.write("mcu_event_log_2007_02.txt", record("hit february") + "\r\n");
  RunResult r = f.run({}, "", limited);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kAnnounced + printed("hit before") + printed("hit february"));
  EXPECT_EQ(r.err, "can not read " + log.string() + ": not enough memory for a line this long\n");
}

TEST(Faults, RandomBinaryLogs) {
  std::mt19937 rng(11);
  Fixture f;
  f.write_ini(kIni);
  for (const char* month : {"01", "02"}) {
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    f.write(std::string("mcu_event_log_2007_") + month + ".txt", bytes);
  }
  RunResult r = f.run();
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, kAnnounced);
}

TEST(Faults, PathsWithBlanksAndNonAsciiBytes) {
  Fixture f;
  const fs::path odd = f.dir() / "with blanks" / "\xc3\xbcnic\xc3\xb6" "de \xff\xfe raw";
  fs::create_directories(odd);
  fs::copy_file(f.dir() / "logsift", odd / "logsift");
  std::FILE* out = std::fopen((odd / "search.ini").c_str(), "wb");
  std::fputs(kIni.c_str(), out);
  std::fclose(out);
  out = std::fopen((odd / "mcu_event_log_2007_01.txt").c_str(), "wb");
  const std::string log = record("hit") + "\r\n";
  std::fwrite(log.data(), 1, log.size(), out);
  std::fclose(out);
  RunResult r = run_program((odd / "logsift").string(), {}, f.dir().string());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, kAnnounced + printed("hit"));
}

}  // namespace
