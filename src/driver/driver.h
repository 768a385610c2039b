// Program entry: the executable's directory, the "--version" option, the
// order of a run, and every message the user is told.
#pragma once

#include <string>

// The program's name, as the directory-failure message shows it.
constexpr char kProgramName[] = "logsift";

// The directory of the running executable (argv0 is argv[0], or null when the
// program was started without one): forward slashes, no trailing separator.
// The settings file and the month logs are looked up there, never in the
// working directory. False when the system cannot tell it, or when a month
// log's path in it would be longer than the system can open.
bool locate_executable_directory(const char* argv0, std::string& directory);

// The version option, then the settings, then the scan of the logs in
// directory. Returns the exit status.
int run_search(int argc, char** argv, const std::string& directory);

void print_version();

// The version line, newline included.
std::string version_line();

// Writes one printf-style message to standard error. Standard output is
// flushed first, so that when both streams go to one place the lines stand in
// the order of the events they tell of. Every message of the program goes
// through here.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void report(const char* format, ...);
