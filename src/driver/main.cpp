#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "driver/driver.h"
#include "platform/platform.h"

namespace {
const char kNoDirectory[] = "%s can not get executable file directory.\n";
const char kOutputFailed[] = "can not write to standard output: %s\n";

// Results that never reached their destination make the run a failure, not a
// success with missing lines.
int check_output(int status) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  report(kOutputFailed, std::strerror(errno));
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  platform_start();
  std::string directory;
  if (!locate_executable_directory(argc > 0 ? argv[0] : nullptr, directory)) {
    report(kNoDirectory, kProgramName);
    return 1;
  }
  return check_output(run_search(argc, argv, directory));
}
