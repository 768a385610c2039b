// Runs a built program the way a user does, for the end-to-end tests.
#pragma once

#include <string>
#include <vector>

struct RunResult {
  int status = -1;  // exit status; -1 when the program could not be run or did not exit
  int signal = 0;   // the signal that ended the program, if one did
  long max_rss_kib = 0;  // the program's peak memory, where the system tells
  std::string out;  // standard output, bytes as written
  std::string err;  // standard error, bytes as written
};

// Runs program with args (argv[0] is program itself), no standard input, and
// standard output and error captured through files in capture_dir. When
// stdout_path is given, standard output goes there instead and out stays empty;
// kClosedStdout starts the program with standard output closed, kBrokenPipe
// with a pipe whose reading end is already closed, and kStdoutWithStderr with
// both streams writing to one file, whose bytes are then in err.
// kTerminalStdout (a pseudo-terminal in raw mode, so that line ends pass
// unchanged) and kPipeStdout (a pipe) are read while the program runs; their
// bytes are in out. Those two are POSIX only: on Windows the run fails.
extern const char kClosedStdout[];
extern const char kBrokenPipe[];
extern const char kStdoutWithStderr[];
extern const char kTerminalStdout[];
extern const char kPipeStdout[];

// The bytes of a file; empty when it cannot be read.
std::string read_whole_file(const std::string& path);

// wrapper, when given, is a command that runs the program (setpriv, valgrind);
// POSIX only.
// On Windows the program gets a UTF-16 command line: an argument that is valid
// UTF-8 reaches it as those characters (its narrow argv holds them in the ANSI
// code page, "?" for any that has none there); program and any other argument
// are read in the ANSI code page.
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::string& capture_dir, const std::string& stdout_path = "",
                      const std::vector<std::string>& wrapper = {});
