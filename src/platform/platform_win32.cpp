// Windows side of the operating-system seam: the real Windows API.
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/platform.h"

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

// Only a console has a console mode; _isatty would also say yes for NUL and
// other character devices.
bool platform_stdout_is_terminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

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
