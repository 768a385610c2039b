#include <cstdio>

#include "driver/driver.h"
#include "platform/platform.h"

namespace {
const char kNoDirectory[] = "%s can not get executable file directory.\n";
}

int main(int argc, char** argv) {
  program_name = "logsift";
  platform_start();
  if (!locate_executable_directory()) {
    std::fprintf(stderr, kNoDirectory, program_name);
    return 1;
  }
  return run_search(argc, argv);
}
