// Program entry: the executable's directory, the "--version" option and the
// order of a run.
#pragma once

#include <string>

// "logsift", as the directory-failure message shows it.
extern const char* program_name;

// Directory of the running executable: forward slashes, no trailing
// separator. The settings file and the month logs are looked up here, never in
// the working directory. Written once by locate_executable_directory.
extern std::string executable_directory;

// argv0 is argv[0], or null when the program was started without one.
bool locate_executable_directory(const char* argv0);

// Writes one printf-style message to standard error. Standard output is
// flushed first, so that when both streams go to one place the lines stand in
// the order of the events they tell of. Every message of the program goes
// through here.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void report(const char* format, ...);

// The version option, then the settings, then the scan. Returns the exit status.
int run_search(int argc, char** argv);

void print_version();
