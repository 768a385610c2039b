// The operating-system seam. Everything that differs between Windows and Linux
// sits behind these functions; the rest of the program never asks which system
// it runs on. One implementation file per system: platform_win32.cpp calls the
// Windows API, platform_posix.cpp stands in for it on Linux.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "platform/ini_reader.h"

// Called once at the very start of main, before anything is opened or printed.
void platform_start();

// The program's arguments, argv[0] included, as UTF-8 text: for option values
// that are text, which must match UTF-8 logs whatever the system's code page.
// Linux: argv as it is. Windows: the wide command line, split the way argv was
// split, so that each element stands for the argv element of the same index;
// where the two lists differ in length, argv as it is. On Windows argv holds
// the ANSI code page's text, in which paths stay. Meant to be called once.
std::vector<std::string> platform_arguments(int argc, char** argv);

// Directory of the running executable, with forward slashes and no trailing
// separator (empty for an executable in the root directory). False when the
// system cannot tell the executable's path. argv0 is the name the program was
// started by (argv[0], or null when there is none): on Linux, when it holds a
// "/", the directory is its folder as written, made absolute, so that a link
// to the program searches beside the link; Windows names the file it started.
bool platform_executable_directory(const char* argv0, std::string& directory);

// The longest path the system's file functions take, in bytes: a longer one
// cannot be opened at all. No limit (SIZE_MAX) where paths fail one by one,
// each with its own reason.
std::size_t platform_longest_path();

enum class OpenStatus { opened, missing, failed };

// The settings file, read once; its keys are then answered as
// GetPrivateProfileStringA answers them. On Windows that call reads the file
// itself; elsewhere IniFile stands in for it.
class SettingsFile {
 public:
  // opened: it was read; a directory, or anything else that is not a regular
  // file, reads as an empty file. missing: there is no such file, and it reads
  // as an empty one. failed: it exists but cannot be opened or read, or does
  // not fit in the memory there is; reason then says why, and every key has
  // its default.
  OpenStatus open(const std::string& path, std::string& reason);

  // The key's value when the file, the section and the key exist (even when
  // the value is empty), default_value otherwise; at most capacity - 1 bytes,
  // ending at the first NUL. The file is only read. capacity is at least 1.
  std::string value(const char* section, const char* key, const char* default_value,
                    std::size_t capacity) const;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  IniFile contents_;  // not used on Windows
};

// True when standard output is a terminal (a console on Windows), where text
// is shown to a person rather than stored.
bool platform_stdout_is_terminal();

// As platform_stdout_is_terminal, for standard error.
bool platform_stderr_is_terminal();

// True when standard output is a Windows console, which takes text as UTF-16
// through platform_console_write_line. Always false on Linux, whose terminals
// take the bytes as written.
bool platform_stdout_is_console();

// Writes one line of UTF-8 text and a line end to the console that standard
// output is (see platform_stdout_is_console), as UTF-16 characters: they show
// whatever the console's code page, which stays as it is. stdout is flushed
// first, so that lines written through it before stay before. False when text
// is not valid UTF-8 (nothing is written then) or the console refuses it (a
// part of the line may be written). Linux: false, nothing written (never
// called there).
bool platform_console_write_line(const char* text, std::size_t length);

// A new, empty file of its own in the folder of path, for a result that is to
// replace path whole (see platform_replace_file): its name is made from
// path's, as ".NAME.XXXXXX.tmp", and is created only where no file of that
// name is, so no other file is ever opened or overwritten. file is open for
// writing as standard output is (Windows: text mode), temp_path its name. On
// failure, false with reason set to the system's message; nothing is left.
// Linux: the mode is 0666 less the umask, as for any new file.
bool platform_create_beside(const std::string& path, std::FILE*& file, std::string& temp_path, std::string& reason);

// Renames from to to, in one step, replacing the file to when there is one:
// readers see the old file or the new, never a part. Both are in one folder,
// and from is closed. False with reason set to the system's message.
bool platform_replace_file(const std::string& from, const std::string& to, std::string& reason);

// Removes the file, when it can; a file that is not there is no error.
void platform_remove_file(const std::string& path);

// From now on f writes each LF as it is (Windows text mode writes CR LF);
// what f holds is written first as it was meant. Nothing to do on Linux.
void platform_binary_stream(std::FILE* f);

// The size of the regular file at path, found without opening it (opening
// a FIFO would wake its writer). False for a missing path and for anything
// that is not a regular file.
bool platform_path_size(const std::string& path, std::uint64_t& size);

// True when path names a folder (or a link to one).
bool platform_is_directory(const std::string& path);

// A month file opened for reading, without denying other processes read or
// write access to it.
struct PlatformFile {
  std::intptr_t handle;
};

// missing: there is no such file (nothing to report). failed: it exists but
// cannot be opened; reason then says why. The open itself never waits (a FIFO
// that no process writes to is opened at once); reads wait as usual.
OpenStatus platform_open_for_reading(const std::string& path, PlatformFile& file,
                                     std::string& reason);

// Reads up to size raw bytes. Returns the count, 0 at the end of the file, or
// -1 on a read error, with reason set.
std::ptrdiff_t platform_read(PlatformFile file, char* buffer, std::size_t size,
                             std::string& reason);

// The file's current size in bytes; 0 for an empty file. False when the
// system cannot tell: for what is not a regular file (a pipe, a device), and
// for the files of pseudo file systems (procfs, sysfs), whose reported size
// says nothing of their content.
bool platform_file_size(PlatformFile file, std::uint64_t& size);

void platform_close(PlatformFile file);

// The characters that separate a path's folders: "/" here, "/" and "\" on
// Windows.
const char* platform_path_separators();

// True when path does not depend on the working directory: it starts at a
// root ("/"; on Windows also "\" or a drive's "X:").
bool platform_is_absolute_path(const std::string& path);

// Splits when into the fields of the UTC calendar (gmtime_r on Linux,
// gmtime_s on Windows). False where the system cannot (a time before 1970 on
// Windows, or out of its range); fields is then unspecified.
bool platform_utc_time(std::time_t when, std::tm& fields);
