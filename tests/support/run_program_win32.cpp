#include <windows.h>

#include <string>


#include "support/run_program.h"

const char kClosedStdout[] = "<closed>";
const char kBrokenPipe[] = "<broken pipe>";
const char kStdoutWithStderr[] = "<with stderr>";
const char kTerminalStdout[] = "<terminal>";
const char kPipeStdout[] = "<pipe>";

namespace {

// One argument quoted the way the C runtime splits a command line.
std::string quoted(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

HANDLE inheritable(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::string& capture_dir, const std::string& stdout_path,
                      const std::vector<std::string>& /*wrapper: POSIX only*/) {
  RunResult result;
  if (stdout_path == kTerminalStdout || stdout_path == kPipeStdout) return result;  // POSIX only
  const std::string out_path = stdout_path.empty() ? capture_dir + "\\stdout" : stdout_path;
  const std::string err_path = capture_dir + "\\stderr";
  std::string command = quoted(program);
  for (const auto& a : args) command += " " + quoted(a);

  // One handle for both streams shares one file position, as dup does.
  const bool with_stderr = stdout_path == kStdoutWithStderr;
  HANDLE in = inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
  HANDLE err = inheritable(err_path, GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE out = with_stderr ? err : inheritable(out_path, GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi{};
  // Under wine a start can fail for a moment (seen once in a run of the
  // suite, on a busy machine, with the program just copied); trying again
  // tells that apart from a program that cannot start.
  BOOL started = FALSE;
  DWORD start_error = 0;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    if (attempt > 0) Sleep(200);
    started = CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    if (!started) start_error = GetLastError();
  }
  CloseHandle(in);
  if (!with_stderr) CloseHandle(out);
  CloseHandle(err);
  if (!started) {
    result.err = "<the program could not be started: error " + std::to_string(start_error) + ">";
    return result;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  result.status = static_cast<int>(code);
  if (stdout_path.empty()) result.out = read_whole_file(out_path);
  result.err = read_whole_file(err_path);
  return result;
}
