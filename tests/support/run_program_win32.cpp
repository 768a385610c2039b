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
std::wstring quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

// text as UTF-16, read in code_page. With MB_ERR_INVALID_CHARS in flags,
// false when text is not valid in that code page.
bool to_wide(const std::string& text, UINT code_page, DWORD flags, std::wstring& wide) {
  wide.clear();
  if (text.empty()) return true;
  const int n = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(code_page, flags, text.data(), n, nullptr, 0);
  if (size == 0) return false;
  wide.resize(static_cast<std::size_t>(size));
  return MultiByteToWideChar(code_page, flags, text.data(), n, &wide[0], size) == size;
}

// An argument that is valid UTF-8 stands for those characters; any other is
// in the ANSI code page, as CreateProcessA passes it.
std::wstring argument_text(const std::string& arg) {
  std::wstring wide;
  if (!to_wide(arg, CP_UTF8, MB_ERR_INVALID_CHARS, wide)) to_wide(arg, CP_ACP, 0, wide);
  return wide;
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
  // The program's path names a file that the ANSI functions made: it is in
  // the ANSI code page, whatever bytes it holds.
  std::wstring program_text;
  to_wide(program, CP_ACP, 0, program_text);
  std::wstring command = quoted(program_text);
  for (const auto& a : args) command += L" " + quoted(argument_text(a));

  // One handle for both streams shares one file position, as dup does.
  const bool with_stderr = stdout_path == kStdoutWithStderr;
  HANDLE in = inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
  HANDLE err = inheritable(err_path, GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE out = with_stderr ? err : inheritable(out_path, GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOW si{};
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
    started = CreateProcessW(program_text.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
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
