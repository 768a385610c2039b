#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "support/run_program.h"

const char kClosedStdout[] = "<closed>";
const char kBrokenPipe[] = "<broken pipe>";
const char kStdoutWithStderr[] = "<with stderr>";
const char kTerminalStdout[] = "<terminal>";
const char kPipeStdout[] = "<pipe>";

namespace {

// A pseudo-terminal: the master end to read in reader, the terminal itself in
// writer, set to raw mode so that the terminal adds nothing (no CR before LF).
bool open_terminal(int& reader, int& writer) {
  reader = posix_openpt(O_RDWR | O_NOCTTY);
  const char* name = reader >= 0 && grantpt(reader) == 0 && unlockpt(reader) == 0 ? ptsname(reader) : nullptr;
  writer = name ? open(name, O_RDWR | O_NOCTTY) : -1;
  struct termios mode;
  if (writer >= 0 && tcgetattr(writer, &mode) == 0) {
    cfmakeraw(&mode);
    if (tcsetattr(writer, TCSANOW, &mode) == 0) return true;
  }
  if (writer >= 0) close(writer);
  if (reader >= 0) close(reader);
  return false;
}

// Everything written until the last writer has gone (a terminal then says EIO).
std::string read_until_closed(int fd) {
  std::string bytes;
  char block[65536];
  for (;;) {
    ssize_t n = read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return bytes;
    bytes.append(block, static_cast<std::size_t>(n));
  }
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::string& capture_dir, const std::string& stdout_path,
                      const std::vector<std::string>& wrapper) {
  const std::string out_path = stdout_path.empty() ? capture_dir + "/stdout" : stdout_path;
  const std::string err_path = capture_dir + "/stderr";
  std::vector<char*> argv;
  for (const auto& w : wrapper) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  const bool closed = stdout_path == kClosedStdout;
  const bool broken_pipe = stdout_path == kBrokenPipe;
  const bool with_stderr = stdout_path == kStdoutWithStderr;
  RunResult result;
  // A stream read while the program runs: the test keeps reader, the program
  // writes to writer.
  int reader = -1;
  int writer = -1;
  if (stdout_path == kTerminalStdout) {
    if (!open_terminal(reader, writer)) return result;
  } else if (stdout_path == kPipeStdout) {
    int ends[2];
    if (pipe(ends) != 0) return result;
    reader = ends[0];
    writer = ends[1];
  }
  pid_t pid = fork();
  if (pid == 0) {
    int in = open("/dev/null", O_RDONLY);
    int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int out = -1;
    if (broken_pipe) {
      int ends[2];
      if (pipe(ends) != 0) _exit(127);
      close(ends[0]);
      out = ends[1];
    } else if (with_stderr) {
      out = err;
    } else if (writer != -1) {
      close(reader);
      out = writer;
    } else if (!closed) {
      out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (out < 0) _exit(127);
    }
    if (in < 0 || err < 0) _exit(127);
    dup2(in, 0);
    dup2(err, 2);
    if (closed) {
      close(1);
    } else {
      dup2(out, 1);
    }
    signal(SIGPIPE, SIG_DFL);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  if (writer != -1) close(writer);
  if (reader != -1) {
    if (pid > 0) result.out = read_until_closed(reader);
    close(reader);
  }
  if (pid < 0) return result;
  int wstatus = 0;
  struct rusage usage {};
  if (wait4(pid, &wstatus, 0, &usage) != pid) return result;
  result.max_rss_kib = usage.ru_maxrss;
  if (WIFSIGNALED(wstatus)) result.signal = WTERMSIG(wstatus);
  if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
  if (stdout_path.empty()) result.out = read_whole_file(out_path);
  result.err = read_whole_file(err_path);
  return result;
}
