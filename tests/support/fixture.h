// A temporary folder that holds a copy of the built program, its search.ini
// and month logs: the shape of a real installation, made fresh for each test.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"

class Fixture {
 public:
  // The folder is made under the system's temp folder. A directory_length
  // other than 0 pads the program's folder with subfolders until its path is
  // exactly that many bytes long (to test long paths).
  explicit Fixture(std::size_t directory_length = 0);
  ~Fixture();
  Fixture(const Fixture&) = delete;
  Fixture& operator=(const Fixture&) = delete;

  const std::filesystem::path& dir() const { return dir_; }
  void write(const std::string& name, const std::string& bytes) const;
  void write_ini(const std::string& bytes) const { write("search.ini", bytes); }
  // Runs the program. LOGSIFT_TEST_WRAPPER in the environment (words split at
  // blanks, such as "valgrind --error-exitcode=99 -q") goes in front of the
  // program in every run, after wrapper.
  RunResult run(const std::vector<std::string>& args = {}, const std::string& stdout_path = "",
                const std::vector<std::string>& wrapper = {}) const;

 private:
  std::filesystem::path root_;  // removed whole at the end
  std::filesystem::path dir_;   // where the program lies
  std::filesystem::path capture_;
};

// Path of the built program under test.
std::string program_under_test();

// True when the program under test is the Windows build.
bool windows_build();

// What the program writes for text: the text itself, except that the Windows
// build's text-mode streams write every LF as CR LF.
std::string as_written(const std::string& text);
