#include "driver/command_line.h"

#include <cstddef>
#include <cstring>

namespace {

enum class Kind {
  help,
  path,    // to one of the paths
  value,   // to its key
  search,  // to the next searchN key
  flag,    // sets its key to a fixed value; takes none
};

struct Option {
  const char* name;
  Kind kind;
  const char* key;    // the search.ini key, or for a path: "dir", "config" or "output"
  const char* fixed;  // a flag's value
};

const Option kOptions[] = {
    {"--help", Kind::help, nullptr, nullptr},
    {"--dir", Kind::path, "dir", nullptr},
    {"--config", Kind::path, "config", nullptr},
    {"--output", Kind::path, "output", nullptr},
    {"--manifest", Kind::path, "manifest", nullptr},
    {"--start", Kind::value, "start_time", nullptr},
    {"--end", Kind::value, "end_time", nullptr},
    {"--search", Kind::search, nullptr, nullptr},
    {"--all", Kind::flag, "multi_search", "and"},
    {"--any", Kind::flag, "multi_search", "or"},
    {"--id", Kind::value, "search_id", nullptr},
    {"--from-id", Kind::value, "from_id", nullptr},
    {"--to-id", Kind::value, "to_id", nullptr},
    {"--conf-id", Kind::value, "conf_id", nullptr},
    {"--room", Kind::value, "room", nullptr},
    {"--since", Kind::value, "since", nullptr},
    {"--until", Kind::value, "until", nullptr},
    {"--ignore-case", Kind::flag, "ignore_case", "yes"},
    {"--format", Kind::value, "format", nullptr},
    {"--context", Kind::value, "context", nullptr},
    {"--no-progress", Kind::flag, "progress", "no"},
};

const char kUsage[] =
    "Usage: logsift [OPTION]...      (--help: this text)\n"
    "Prints the matching instant-message records of the month logs\n"
    "(mcu_event_log_YYYY_MM.txt), messages decoded. Each option but --help,\n"
    "--config, --output and --manifest has a search.ini key ([Config]), named in ();\n"
    "the command line wins. Give a value as --name VALUE or --name=VALUE.\n"
    "  --dir DIR         the folder of the logs (log_dir; default: the program's)\n"
    "  --config FILE     the settings (default: search.ini beside the program)\n"
    "  --start YYYY_MM, --end YYYY_MM  the months (start_time, end_time; default:\n"
    "                    the months of --since and --until)\n"
    "  --search TEXT     a string the message holds; up to 9 (search1 to search9)\n"
    "  --all, --any      every string must occur, or any one (multi_search)\n"
    "  --id ID           the record mentions the id (search_id)\n"
    "  --from-id ID, --to-id ID, --conf-id ID  that field is ID (from_id, ...)\n"
    "  --room TEXT       the conference name holds TEXT (room)\n"
    "  --since TIME, --until TIME  from, up to TIME, both included (since, until):\n"
    "                    YYYY-MM-DD (the whole day), YYYY-MM-DD HH:MM, or with :SS\n"
    "  --ignore-case     strings and room in any letter case (ignore_case=yes)\n"
    "  --format F        text, csv, jsonl or count (format)\n"
    "  --context N       also up to N records before and after each match from its\n"
    "                    conference (context; 0 to 1000)\n"
    "  --output FILE     the results to FILE, replaced only when all went well\n"
    "  --manifest FILE   a JSON record of the search: settings, logs and SHA-256s\n"
    "  --no-progress     no progress line on a terminal (progress=no)\n"
    "Exit status: 0 when the search ran, 1 on an error.\n";

const Option* find_option(const std::string& name) {
  for (const Option& option : kOptions) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

}  // namespace

const char* usage_text() { return kUsage; }

CommandLine parse_command_line(const std::vector<std::string>& texts, const std::vector<std::string>& paths) {
  CommandLine line;
  int searches = 0;
  for (std::size_t i = 1; i < texts.size(); ++i) {
    const std::string& argument = texts[i];
    const std::size_t equals = argument.find('=');
    const bool inline_value = equals != std::string::npos;
    const Option* option = find_option(inline_value ? argument.substr(0, equals) : argument);
    if (option == nullptr) continue;
    auto fail = [&](CommandLineProblem problem) {
      line.problem = problem;
      line.option = option->name;
      return line;
    };
    if (option->kind == Kind::help || option->kind == Kind::flag) {
      if (inline_value) return fail(CommandLineProblem::unexpected_value);
      if (option->kind == Kind::help) {
        line.help = true;
      } else {
        line.overrides[option->key] = option->fixed;
      }
      continue;
    }
    // The value: after "=", or the next argument, whatever it holds.
    std::string text;
    std::string path;
    if (inline_value) {
      text = argument.substr(equals + 1);
      const std::string& as_path = paths[i];
      const std::size_t path_equals = as_path.find('=');
      path = path_equals == std::string::npos ? text : as_path.substr(path_equals + 1);
    } else {
      if (i + 1 == texts.size()) return fail(CommandLineProblem::missing_value);
      ++i;
      text = texts[i];
      path = paths[i];
    }
    switch (option->kind) {
      case Kind::path:
        // An empty path would read as no path at all.
        if (path.empty()) return fail(CommandLineProblem::missing_value);
        (std::strcmp(option->key, "dir") == 0      ? line.dir
         : std::strcmp(option->key, "config") == 0 ? line.config
         : std::strcmp(option->key, "output") == 0 ? line.output
                                                   : line.manifest) = path;
        break;
      case Kind::value:
        line.overrides[option->key] = text;
        break;
      case Kind::search:
        if (searches == kSearchSlots) return fail(CommandLineProblem::too_many_searches);
        // The first one takes the place of every searchN of the file.
        if (searches == 0) {
          for (int slot = 1; slot <= kSearchSlots; ++slot) line.overrides["search" + std::to_string(slot)] = "";
        }
        line.overrides["search" + std::to_string(++searches)] = text;
        break;
      case Kind::help:
      case Kind::flag:
        break;
    }
  }
  return line;
}
