// Windows side of the operating-system seam: the real Windows API.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/unique_name.h"

namespace {

// A Windows path buffer: the ANSI file functions take at most MAX_PATH bytes.
constexpr DWORD kPathBuffer = MAX_PATH;

std::string system_message(DWORD code) {
  char text[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                           text, sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ')) --n;
  if (n == 0) return "error " + std::to_string(code);
  return std::string(text, n);
}

}  // namespace

void platform_start() {}

bool platform_executable_directory(const char* /*argv0: Windows names the started file itself*/,
                                   std::string& directory) {
  char path[kPathBuffer + 1];
  DWORD n = GetModuleFileNameA(nullptr, path, kPathBuffer);
  // A path that filled the buffer was cut short (older systems do not even
  // end it with a NUL); a directory taken from it would be wrong.
  if (n == 0 || n >= kPathBuffer) return false;
  path[n] = '\0';

  // The last backslash, honouring the double-byte characters of the ANSI
  // code page: a 0x5C trail byte is not a separator.
  const char* cut = nullptr;
  for (const char* p = path; *p != '\0'; p = CharNextA(p)) {
    if (*p == '\\') cut = p;
  }
  std::string dir = cut ? std::string(path, static_cast<std::size_t>(cut - path)) : std::string(path, n);

  // Byte by byte, as a plain text operation.
  for (char& c : dir) {
    if (c == '\\') c = '/';
  }
  directory = dir;
  return true;
}

std::size_t platform_longest_path() { return kPathBuffer - 1; }

// GetPrivateProfileStringA reads the file itself; here it is only checked.
OpenStatus SettingsFile::open(const std::string& path, std::string& reason) {
  path_ = path;
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return OpenStatus::missing;
    reason = system_message(code);
    return OpenStatus::failed;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return OpenStatus::opened;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    reason = system_message(GetLastError());
    return OpenStatus::failed;
  }
  CloseHandle(h);
  return OpenStatus::opened;
}

std::string SettingsFile::value(const char* section, const char* key, const char* default_value,
                                std::size_t capacity) const {
  std::string destination(capacity, '\0');
  GetPrivateProfileStringA(section, key, default_value, &destination[0], static_cast<DWORD>(capacity),
                           path_.c_str());
  destination.resize(std::strlen(destination.c_str()));
  return destination;
}

OpenStatus platform_open_for_reading(const std::string& path, PlatformFile& file, std::string& reason) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return OpenStatus::missing;
    reason = system_message(code);
    return OpenStatus::failed;
  }
  file.handle = reinterpret_cast<std::intptr_t>(h);
  return OpenStatus::opened;
}

std::ptrdiff_t platform_read(PlatformFile file, char* buffer, std::size_t size, std::string& reason) {
  DWORD want = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
  DWORD got = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(file.handle), buffer, want, &got, nullptr)) {
    reason = system_message(GetLastError());
    return -1;
  }
  return static_cast<std::ptrdiff_t>(got);
}

namespace {

// Only a console has a console mode; _isatty would also say yes for NUL and
// other character devices.
bool is_console(DWORD standard_handle) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(standard_handle), &mode) != 0;
}

}  // namespace

bool platform_stdout_is_terminal() { return is_console(STD_OUTPUT_HANDLE); }

bool platform_stderr_is_terminal() { return is_console(STD_ERROR_HANDLE); }

bool platform_stdout_is_console() { return is_console(STD_OUTPUT_HANDLE); }

bool platform_file_size(PlatformFile file, std::uint64_t& size) {
  const HANDLE h = reinterpret_cast<HANDLE>(file.handle);
  // Pipes and character devices have no size worth the name.
  if (GetFileType(h) != FILE_TYPE_DISK) return false;
  LARGE_INTEGER n;
  if (!GetFileSizeEx(h, &n)) return false;
  size = static_cast<std::uint64_t>(n.QuadPart);
  return true;
}

void platform_close(PlatformFile file) { CloseHandle(reinterpret_cast<HANDLE>(file.handle)); }

// The C runtime's own parser of the wide command line: msvcrt.dll builds argv
// and this list with the same code, one for each character width, so both
// split a command line alike ('""' inside quotes included, where
// CommandLineToArgvW splits otherwise), and it needs no DLL beyond msvcrt.
// MinGW-w64 starts its wmain programs through it. Declared here as the
// runtime's headers keep it to themselves.
extern "C" {
struct StartupInfo {
  int new_mode;
};
_CRTIMP int __cdecl __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** environment, int expand_wildcards,
                                   StartupInfo* startup);
extern int _dowildcard;  // what the startup code asked for argv
}

namespace {

// The UTF-8 form of a NUL-ended wide string; an unpaired surrogate becomes U+FFFD.
std::string utf8_of(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string converted(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &converted[0], size, nullptr, nullptr);
  converted.resize(static_cast<std::size_t>(size - 1));
  return converted;
}

}  // namespace

std::vector<std::string> platform_arguments(int argc, char** argv) {
  int wide_argc = 0;
  wchar_t** wide_argv = nullptr;
  wchar_t** wide_environment = nullptr;
  // The same new-handler mode as the startup code set (none): the call sets it again.
  StartupInfo startup{0};
  // Its status is not relied on, as not every msvcrt.dll returns one: the
  // list it gives, of argc strings, is what counts.
  __wgetmainargs(&wide_argc, &wide_argv, &wide_environment, _dowildcard, &startup);
  std::vector<std::string> arguments;
  if (wide_argv != nullptr && wide_argc == argc) {
    for (int i = 0; i < wide_argc; ++i) arguments.push_back(utf8_of(wide_argv[i]));
    return arguments;
  }
  for (int i = 0; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

namespace {

// WriteConsoleW fails on large buffers on older systems (the console's shared
// memory is 64 KiB there); a line goes in pieces this long, in UTF-16 units.
constexpr std::size_t kConsolePiece = 8192;

bool write_console(HANDLE console, const wchar_t* text, std::size_t length) {
  while (length > 0) {
    std::size_t piece = length < kConsolePiece ? length : kConsolePiece;
    // A surrogate pair stays in one piece.
    if (piece < length && text[piece - 1] >= 0xD800 && text[piece - 1] <= 0xDBFF) --piece;
    DWORD written = 0;
    if (!WriteConsoleW(console, text, static_cast<DWORD>(piece), &written, nullptr) || written == 0) return false;
    text += written;
    length -= written;
  }
  return true;
}

}  // namespace

bool platform_console_write_line(const char* text, std::size_t length) {
  if (length > static_cast<std::size_t>(INT_MAX)) return false;
  std::wstring wide;
  if (length > 0) {
    const int n = static_cast<int>(length);
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, n, nullptr, 0);
    if (size == 0) return false;
    wide.resize(static_cast<std::size_t>(size));
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, n, &wide[0], size) != size) return false;
  }
  wide += L"\r\n";  // the line end that stdout's text mode writes
  std::fflush(stdout);
  return write_console(GetStdHandle(STD_OUTPUT_HANDLE), wide.data(), wide.size());
}

namespace {

// Tries before a folder where every name is taken counts as a failure.
constexpr int kCreateAttempts = 100;

// Differs from process to process and over time.
unsigned long long name_seed() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<unsigned long long>(now.QuadPart) ^ (static_cast<unsigned long long>(GetCurrentProcessId()) << 32);
}

// Where path's name starts: after its last separator ('\\' or '/', or the
// colon of a drive, as in "C:name"), honouring the double-byte characters of
// the ANSI code page: a 0x5C trail byte is not a separator.
std::size_t name_start(const std::string& path) {
  std::size_t start = 0;
  for (const char* p = path.c_str(); *p != '\0'; p = CharNextA(p)) {
    const std::size_t at = static_cast<std::size_t>(p - path.c_str());
    if (*p == '\\' || *p == '/' || (*p == ':' && at == 1)) start = at + 1;
  }
  return start;
}

}  // namespace

bool platform_create_beside(const std::string& path, std::FILE*& file, std::string& temp_path, std::string& reason) {
  const std::size_t start = name_start(path);
  const std::string folder = path.substr(0, start);
  const std::string name = path.substr(start);
  DWORD error = ERROR_FILE_EXISTS;
  for (int attempt = 0; attempt < kCreateAttempts && error == ERROR_FILE_EXISTS; ++attempt) {
    const std::string candidate = folder + "." + name + "." + unique_name_part(name_seed()) + ".tmp";
    HANDLE h = CreateFileA(candidate.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      error = GetLastError();
      if (error == ERROR_ALREADY_EXISTS) error = ERROR_FILE_EXISTS;
      continue;
    }
    // Text mode must be asked for: without _O_TEXT the descriptor is binary.
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_TEXT);
    if (fd == -1) {
      reason = std::strerror(errno);
      CloseHandle(h);
      DeleteFileA(candidate.c_str());
      return false;
    }
    std::FILE* stream = _fdopen(fd, "w");
    if (stream == nullptr) {
      reason = std::strerror(errno);
      _close(fd);
      DeleteFileA(candidate.c_str());
      return false;
    }
    file = stream;
    temp_path = candidate;
    return true;
  }
  reason = system_message(error);
  return false;
}

bool platform_replace_file(const std::string& from, const std::string& to, std::string& reason) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  reason = system_message(GetLastError());
  return false;
}

void platform_remove_file(const std::string& path) { DeleteFileA(path.c_str()); }

void platform_binary_stream(std::FILE* f) {
  // What the stream holds was written in text mode and is written so.
  std::fflush(f);
  _setmode(_fileno(f), _O_BINARY);
}

bool platform_path_size(const std::string& path, std::uint64_t& size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  if ((data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) return false;
  size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  return true;
}

bool platform_is_directory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

const char* platform_path_separators() { return "/\\"; }

bool platform_is_absolute_path(const std::string& path) {
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
  const bool drive_letter = path.size() >= 2 && path[1] == ':' &&
                            ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive_letter;
}

bool platform_utc_time(std::time_t when, std::tm& fields) { return gmtime_s(&fields, &when) == 0; }
