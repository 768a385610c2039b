// A temporary folder that holds a copy of the built program, its search.ini
// and month logs: the shape of a real installation, made fresh for each test.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"

class Fixture {
 public:
  // The folder is made under the system's temp folder; deeper_name, when
  // given, is a subfolder path to put the program in (to test long paths).
  explicit Fixture(const std::string& deeper_name = "");
  ~Fixture();
  Fixture(const Fixture&) = delete;
  Fixture& operator=(const Fixture&) = delete;

  const std::filesystem::path& dir() const { return dir_; }
  void write(const std::string& name, const std::string& bytes) const;
  void write_ini(const std::string& bytes) const { write("search.ini", bytes); }
  RunResult run(const std::vector<std::string>& args = {}, const std::string& stdout_path = "") const;

 private:
  std::filesystem::path root_;  // removed whole at the end
  std::filesystem::path dir_;   // where the program lies
  std::filesystem::path capture_;
};

// Path of the built program under test.
std::string program_under_test();
