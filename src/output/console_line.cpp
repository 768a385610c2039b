#include "output/console_line.h"

#include "text/utf8.h"

ConsoleWrite console_write_for(std::string_view line) {
  return utf8_valid(line) ? ConsoleWrite::wide : ConsoleWrite::bytes;
}
