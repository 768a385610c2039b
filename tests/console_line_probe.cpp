// A Windows program for wine_console.py: three lines to standard output, which
// must be a console, the middle one through platform_console_write_line and
// the others as bytes through stdio. Exit status 0 when every call did as its
// contract says; 2 when standard output is no console; 3 when the console line
// failed; 4 when text that is not UTF-8 was taken; 5 when stdout failed.
#include <cstdio>
#include <cstring>

#include "platform/platform.h"

int main() {
  if (!platform_stdout_is_console()) return 2;
  std::fputs("before\n", stdout);
  // "Kaffee", a hot beverage sign (U+2615) and katakana "koohii", in UTF-8.
  const char kLine[] = "Kaffee \xE2\x98\x95 \xE3\x82\xB3\xE3\x83\xBC\xE3\x83\x92\xE3\x83\xBC";
  if (!platform_console_write_line(kLine, std::strlen(kLine))) return 3;
  if (platform_console_write_line("\xFF", 1)) return 4;
  std::fputs("after\n", stdout);
  return std::fflush(stdout) == 0 ? 0 : 5;
}
