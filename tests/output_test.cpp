// The data formats' escapes, and how a line reaches a console.
#include <gtest/gtest.h>

#include <string>

#include "output/console_line.h"
#include "output/escape.h"

namespace {

TEST(JsonString, EscapesWhatJsonRequiresAndRepairsUtf8) {
  const struct {
    std::string text;
    std::string json;
  } cases[] = {
      {"plain", "\"plain\""},
      {"", "\"\""},
      {"a \"quote\" and a \\", "\"a \\\"quote\\\" and a \\\\\""},
      {"line\r\nend\ttab", "\"line\\r\\nend\\ttab\""},
      {std::string("nul\0byte", 8), "\"nul\\u0000byte\""},
      {"\x01\x1f\x7f\b\f", "\"\\u0001\\u001f\x7f\\b\\f\""},
      {"caf\xC3\xA9 \xE3\x82\xB3 \xF0\x9F\x98\x80", "\"caf\xC3\xA9 \xE3\x82\xB3 \xF0\x9F\x98\x80\""},
      {"caf\xE9!", "\"caf\xEF\xBF\xBD!\""},
      {"\xE3\x82", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"/ is no escape", "\"/ is no escape\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::string out = "[";
    append_json_string(out, c.text);
    EXPECT_EQ(out, "[" + c.json);
  }
}

TEST(CsvField, QuotesOnlyWhenItMust) {
  const struct {
    std::string text;
    std::string field;
  } cases[] = {
      {"plain text", "plain text"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"lone\rreturn", "\"lone\rreturn\""},
      {"caf\xE9,\"x\"", "\"caf\xEF\xBF\xBD,\"\"x\"\"\""},
      {"caf\xE9", "caf\xEF\xBF\xBD"},
      {" padded ", " padded "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::string out = "x,";
    append_csv_field(out, c.text);
    EXPECT_EQ(out, "x," + c.field);
  }
}

TEST(ConsoleLine, WideOnlyForUtf8) {
  const struct {
    const char* what;
    std::string line;
    ConsoleWrite how;
  } cases[] = {
      {"ASCII", "2007-01-08 09:02:13 im_log,from id,1,[x],msg=hello", ConsoleWrite::wide},
      {"empty", "", ConsoleWrite::wide},
      {"UTF-8 Japanese", "\xE3\x82\xB3\xE3\x83\xBC\xE3\x83\x92\xE3\x83\xBC", ConsoleWrite::wide},
      {"UTF-8 with escapes shown", "caf\xC3\xA9\\n\\x01", ConsoleWrite::wide},
      {"Latin-1 code page", "caf\xE9", ConsoleWrite::bytes},
      {"Shift-JIS code page", "\x83\x52\x81\x5B\x83\x71\x81\x5B", ConsoleWrite::bytes},
      {"UTF-8 cut short", "caf\xC3", ConsoleWrite::bytes},
      {"UTF-8 then one bad byte", "caf\xC3\xA9 \xFF", ConsoleWrite::bytes},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(console_write_for(c.line), c.how);
  }
}

}  // namespace
