// Linux side of the operating-system seam.
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/ini_reader.h"
#include "platform/unique_name.h"

void platform_start() {
  // A closed standard stream must stay unusable: otherwise the next file that
  // is opened takes its number and output would go astray. Opening /dev/null
  // read-only in its place keeps writes to it failing, so they are reported.
  for (int fd = 1; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      int held = open("/dev/null", O_RDONLY);
      if (held != -1 && held != fd) {
        dup2(held, fd);
        close(held);
      }
    }
  }
}

namespace {

// The folder of the executable's own file. /proc/self/exe gives no length in
// advance; grow until the path fits.
bool folder_of_own_file(std::string& directory) {
  std::vector<char> buffer(512);
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0) return false;
    if (static_cast<std::size_t>(n) < buffer.size()) {
      std::string path(buffer.data(), static_cast<std::size_t>(n));
      std::size_t slash = path.rfind('/');
      directory = slash == std::string::npos ? path : path.substr(0, slash);
      return true;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// The folder part of a name the program was started by, made absolute with
// the current directory when relative. Only written text changes: "." and
// empty components go, ".." and links stay, as they lead where the start did.
// False when the current directory cannot be had (deeper than PATH_MAX:
// neither could files be opened under it).
bool folder_as_started(const char* argv0, std::string& directory) {
  const std::string name(argv0);
  std::string path = name.substr(0, name.rfind('/'));
  if (name[0] != '/') {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr) return false;
    path = std::string(cwd) + "/" + path;
  }
  std::string folder;
  std::size_t begin = 0;
  while (begin < path.size()) {
    std::size_t end = path.find('/', begin);
    if (end == std::string::npos) end = path.size();
    const std::string component = path.substr(begin, end - begin);
    if (!component.empty() && component != ".") folder += "/" + component;
    begin = end + 1;
  }
  directory = folder;
  return true;
}

}  // namespace

bool platform_executable_directory(const char* argv0, std::string& directory) {
  // Started by a path: that path's folder, even when it holds a link to the
  // program (a link beside the logs is how it is put to work there). Started
  // by a bare name, through PATH: the program's own file.
  if (argv0 != nullptr && std::strchr(argv0, '/') != nullptr) return folder_as_started(argv0, directory);
  return folder_of_own_file(directory);
}

namespace {

// Opens path for reading without waiting: a FIFO with no writer would
// otherwise hold the open forever. Reads then wait as usual again, so a FIFO
// or device reads as a stream, and a FIFO with no writer ends at once.
int open_for_reading(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd == -1) return -1;
  int flags = fcntl(fd, F_GETFL);
  if (flags == -1 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
    const int saved = errno;
    close(fd);
    errno = saved;
    return -1;
  }
  return fd;
}

const char kFileTooLarge[] = "not enough memory for a file this large";

// Closes a descriptor when it goes out of scope, thrown past or not.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd != -1) close(fd);
  }
};

// Missing, or not a regular file: empty. A file that cannot be opened or
// read: failed, with the reason. Throws std::bad_alloc when the file does not
// fit in memory.
OpenStatus read_settings_file(const std::string& path, std::string& text, std::string& reason) {
  text.clear();
  const Descriptor file{open_for_reading(path)};
  if (file.fd == -1) {
    if (errno == ENOENT || errno == ENOTDIR) return OpenStatus::missing;
    reason = std::strerror(errno);
    return OpenStatus::failed;
  }
  struct stat st;
  if (fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return OpenStatus::opened;
  // Room for the whole file at once: no copies while it grows, and a file too
  // large fails here, before any time is spent on it.
  if (st.st_size > 0) text.reserve(static_cast<std::size_t>(st.st_size));
  char block[65536];
  for (;;) {
    ssize_t n = read(file.fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      reason = std::strerror(errno);
      return OpenStatus::failed;
    }
    if (n == 0) return OpenStatus::opened;
    text.append(block, static_cast<std::size_t>(n));
  }
}

}  // namespace

std::size_t platform_longest_path() { return SIZE_MAX; }

OpenStatus SettingsFile::open(const std::string& path, std::string& reason) {
  path_ = path;
  contents_ = IniFile();  // the memory of an earlier file is free for this one
  try {
    std::string text;
    const OpenStatus status = read_settings_file(path, text, reason);
    if (status != OpenStatus::failed) contents_ = IniFile(std::move(text));
    return status;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {  // a size beyond what a string can hold
  }
  reason = kFileTooLarge;
  return OpenStatus::failed;
}

std::string SettingsFile::value(const char* section, const char* key, const char* default_value,
                                std::size_t capacity) const {
  return contents_.value(section, key, default_value, capacity);
}

OpenStatus platform_open_for_reading(const std::string& path, PlatformFile& file,
                                     std::string& reason) {
  int fd = open_for_reading(path);
  if (fd == -1) {
    if (errno == ENOENT || errno == ENOTDIR) return OpenStatus::missing;
    reason = std::strerror(errno);
    return OpenStatus::failed;
  }
  file.handle = fd;
  return OpenStatus::opened;
}

std::ptrdiff_t platform_read(PlatformFile file, char* buffer, std::size_t size,
                             std::string& reason) {
  for (;;) {
    ssize_t n = read(static_cast<int>(file.handle), buffer, size);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    reason = std::strerror(errno);
    return -1;
  }
}

bool platform_stdout_is_terminal() { return isatty(1) != 0; }

bool platform_stderr_is_terminal() { return isatty(2) != 0; }

std::vector<std::string> platform_arguments(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

bool platform_stdout_is_console() { return false; }

bool platform_console_write_line(const char* /*text*/, std::size_t /*length*/) { return false; }

namespace {

// Tries before a folder where every name is taken counts as a failure.
constexpr int kCreateAttempts = 100;

// Differs from process to process and over time.
unsigned long long name_seed() {
  return static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
         (static_cast<unsigned long long>(getpid()) << 32);
}

}  // namespace

bool platform_create_beside(const std::string& path, std::FILE*& file, std::string& temp_path, std::string& reason) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  int error = EEXIST;
  for (int attempt = 0; attempt < kCreateAttempts && error == EEXIST; ++attempt) {
    const std::string candidate = folder + "." + name + "." + unique_name_part(name_seed()) + ".tmp";
    const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd == -1) {
      error = errno;
      continue;
    }
    std::FILE* stream = fdopen(fd, "w");
    if (stream == nullptr) {
      error = errno;
      close(fd);
      unlink(candidate.c_str());
      break;
    }
    file = stream;
    temp_path = candidate;
    return true;
  }
  reason = std::strerror(error);
  return false;
}

bool platform_replace_file(const std::string& from, const std::string& to, std::string& reason) {
  if (rename(from.c_str(), to.c_str()) == 0) return true;
  reason = std::strerror(errno);
  return false;
}

void platform_remove_file(const std::string& path) { unlink(path.c_str()); }

void platform_binary_stream(std::FILE* /*f: Linux streams write LF as it is*/) {}

bool platform_path_size(const std::string& path, std::uint64_t& size) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool platform_is_directory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool platform_file_size(PlatformFile file, std::uint64_t& size) {
  const int fd = static_cast<int>(file.handle);
  struct stat st;
  // Pipes and devices have no size worth the name.
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // Neither have the files of procfs and sysfs, which report 0 or a page.
  struct statfs fs;
  if (fstatfs(fd, &fs) != 0) return false;
  const auto type = static_cast<unsigned long>(fs.f_type);
  if (type == PROC_SUPER_MAGIC || type == SYSFS_MAGIC) return false;
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

void platform_close(PlatformFile file) { close(static_cast<int>(file.handle)); }

const char* platform_path_separators() { return "/"; }

bool platform_is_absolute_path(const std::string& path) { return !path.empty() && path[0] == '/'; }

bool platform_utc_time(std::time_t when, std::tm& fields) { return gmtime_r(&when, &fields) != nullptr; }
