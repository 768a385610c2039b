// End-to-end cases that only the Windows build has.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/fixture.h"
#include "support/records.h"

namespace {

const char kMonth[] = "mcu_event_log_2007_01.txt";

// The server keeps writing its current log while people search it.
TEST(EndToEndWindows, ALogHeldOpenForWritingIsSearched) {
  Fixture f;
  f.write_ini(ini("2007_01", "2007_01", "search1=hit\n"));
  const std::string path = (f.dir() / kMonth).string();
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const std::string log = record("hit while written") + "\r\n";
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writer, log.data(), static_cast<DWORD>(log.size()), &written, nullptr));
  RunResult r = f.run();
  CloseHandle(writer);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, as_written(announced("2007_01", "2007_01", ",target: 'hit'") + printed("hit while written")));
}

// In a double-byte code page a 0x5C can be the second byte of a character
// (cp932 "\x95\x5C"); it is no separator. Run under a Japanese locale.
TEST(EndToEndWindows, TrailByteBackslashInTheProgramNameIsNoSeparator) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese ANSI code page 932";
  Fixture f;
  f.write_ini(ini("2007_01", "2007_01", "search1=hit\n"));
  f.write(kMonth, record("hit") + "\r\n");
  const std::string renamed = f.dir().string() + "\\\x95\x5C.exe";
  if (!CopyFileA(program_under_test().c_str(), renamed.c_str(), TRUE)) {
    // wine names the file on the host in the host's locale, which must exist.
    GTEST_SKIP() << "cannot make the file (error " << GetLastError()
                 << "); under wine the host needs the ja_JP.UTF-8 locale";
  }
  RunResult r = run_program(renamed, {}, f.dir().string());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, as_written(announced("2007_01", "2007_01", ",target: 'hit'") + printed("hit")));
}

}  // namespace
