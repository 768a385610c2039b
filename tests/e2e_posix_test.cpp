// End-to-end cases that need POSIX facilities to set up.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/fixture.h"

namespace fs = std::filesystem;

namespace {

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
  EXPECT_EQ(r.err, "logsift can not get executable file directory.\n");
  EXPECT_EQ(v.status, 1);
  EXPECT_EQ(v.err, "logsift can not get executable file directory.\n");
}

}  // namespace
