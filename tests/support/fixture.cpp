#include "support/fixture.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

std::string program_under_test() { return LOGSIFT_PROGRAM; }

std::string read_whole_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool windows_build() { return fs::path(program_under_test()).extension() == ".exe"; }

std::string as_written(const std::string& text) {
  if (!windows_build()) return text;
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

Fixture::Fixture(std::size_t directory_length) {
  static std::atomic<unsigned> counter{0};
  std::random_device seed;
  root_ = fs::temp_directory_path() /
          ("logsift-test-" + std::to_string(seed()) + "-" + std::to_string(counter++));
  fs::create_directories(root_);
  dir_ = root_ / "app";
  while (dir_.string().size() < directory_length) {
    std::size_t room = directory_length - dir_.string().size() - 1;  // after a separator
    std::size_t step = room > 100 ? (room - 100 == 1 ? 99 : 100) : room;
    if (step == 0) throw std::runtime_error("cannot pad the folder to the length asked for");
    dir_ /= std::string(step, 'p');
  }
  capture_ = root_ / "capture";
  fs::create_directories(dir_);
  fs::create_directories(capture_);
  fs::path program = program_under_test();
  fs::copy_file(program, dir_ / program.filename());
}

Fixture::~Fixture() {
  std::error_code ignored;
  fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(root_, ignored);
}

void Fixture::write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(dir_ / name, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

RunResult Fixture::run(const std::vector<std::string>& args, const std::string& stdout_path,
                       const std::vector<std::string>& wrapper) const {
  fs::path program = dir_ / fs::path(program_under_test()).filename();
  std::vector<std::string> command = wrapper;
  if (const char* words = std::getenv("LOGSIFT_TEST_WRAPPER")) {
    std::istringstream split(words);
    for (std::string word; split >> word;) command.push_back(word);
  }
  return run_program(program.string(), args, capture_.string(), stdout_path, command);
}
