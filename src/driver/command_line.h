// The command line: long options only, each value given as "--name VALUE" or
// "--name=VALUE". An argument that is not an option is passed over, as are
// the names this program does not know, so that scripts that pass the program
// words of their own keep working. The values are kept by search.ini key, so
// that they take the place of the file's.
#pragma once

#include <string>
#include <vector>

#include "settings/settings.h"

enum class CommandLineProblem { none, missing_value, unexpected_value, too_many_searches };

struct CommandLine {
  bool help = false;
  SettingOverrides overrides;
  // The paths, as given; empty when not given.
  std::string dir;
  std::string config;
  std::string output;
  std::string manifest;

  CommandLineProblem problem = CommandLineProblem::none;
  std::string option;  // the option with the problem
};

// texts and paths hold the same arguments, argv[0] first: texts as UTF-8
// text, paths as the system's file functions take them (on Windows the two
// differ in encoding). Stops at the first problem.
CommandLine parse_command_line(const std::vector<std::string>& texts, const std::vector<std::string>& paths);

// The usage, newline included.
const char* usage_text();
