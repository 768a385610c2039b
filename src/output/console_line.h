// How a line of text reaches a console: as wide characters when it is UTF-8,
// so that it reads right whatever the console's code page; as its bytes
// otherwise, so that text in the system's ANSI code page shows as it did.
#pragma once

#include <string_view>

enum class ConsoleWrite { wide, bytes };

ConsoleWrite console_write_for(std::string_view line);
