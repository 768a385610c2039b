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

bool locate_executable_directory();

// The version option, then the settings, then the scan. Returns the exit status.
int run_search(int argc, char** argv);

void print_version();
