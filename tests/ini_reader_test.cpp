#include "platform/ini_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

struct IniCase {
  const char* what;
  std::string text;
  const char* key;
  const char* expected;  // with default "DEF" and capacity 512
};

const IniCase kCases[] = {
    // Line ends.
    {"LF", "[Config]\nsearch1=alpha\n", "search1", "alpha"},
    {"CR LF", "[Config]\r\nsearch1=alpha\r\nsearch2=beta\r\n", "search2", "beta"},
    {"lone CR", "[Config]\rsearch1=alpha\rsearch2=beta", "search2", "beta"},
    {"run of breaks", "[Config]\r\r\n\n\rsearch1=alpha\n\r", "search1", "alpha"},
    {"last line without end", "[Config]\nsearch1=alpha", "search1", "alpha"},
    // Trimming.
    {"blanks around name and value", "[Config]\n  search1 \t=  alpha beta \t\n", "search1", "alpha beta"},
    {"vertical tab, form feed, Ctrl-Z", "[Config]\n\v\fsearch1=alpha\x1a\n", "search1", "alpha"},
    {"Ctrl-Z does not end the file", "[Config]\n\x1a\nsearch1=alpha\n", "search1", "alpha"},
    {"blanks around header", "  [ Config ]  \nsearch1=alpha\n", "search1", "alpha"},
    {"no-break space is not trimmed", "[Config]\nsearch1=\xa0x\xa0\n", "search1", "\xa0x\xa0"},
    // Case.
    {"section case ignored", "[CONFIG]\nsearch1=alpha\n", "search1", "alpha"},
    {"key case ignored", "[Config]\nSEARCH1=alpha\n", "search1", "alpha"},
    {"value case kept", "[Config]\nsearch1=AlPhA\n", "search1", "AlPhA"},
    // Quotes.
    {"double quotes keep blanks", "[Config]\nsearch1=\"  alpha \"\n", "search1", "  alpha "},
    {"single quotes", "[Config]\nsearch1='alpha'\n", "search1", "alpha"},
    {"quotes removed once", "[Config]\nsearch1=\"\"alpha\"\"\n", "search1", "\"alpha\""},
    {"mixed quotes kept", "[Config]\nsearch1=\"alpha'\n", "search1", "\"alpha'"},
    {"lone quote kept", "[Config]\nsearch1=\"\n", "search1", "\""},
    {"empty quotes", "[Config]\nsearch1=\"\"\n", "search1", ""},
    {"inner quotes kept", "[Config]\nsearch1=a\"b\"c\n", "search1", "a\"b\"c"},
    // Duplicates and sections.
    {"first duplicate wins", "[Config]\nsearch1=one\nsearch1=two\n", "search1", "one"},
    {"empty first duplicate wins", "[Config]\nsearch1=\nsearch1=two\n", "search1", ""},
    {"second Config section ignored", "[Config]\nsearch2=x\n[Config]\nsearch1=two\n", "search1", "DEF"},
    {"empty first Config still wins", "[Config]\n[config]\nsearch1=two\n", "search1", "DEF"},
    {"other section skipped", "[Other]\nsearch1=no\n[Config]\nsearch1=yes\n", "search1", "yes"},
    {"key after Config in next section", "[Config]\n[Other]\nsearch1=no\n", "search1", "DEF"},
    {"keys before any header never found", "search1=no\n[Config]\n", "search1", "DEF"},
    {"text after last ] ignored", "[Config] trailing\nsearch1=alpha\n", "search1", "alpha"},
    {"name up to last ]", "[Con]fig]\nsearch1=alpha\n", "search1", "DEF"},
    {"[ without ] is a key line", "[Config]\n[search1=alpha\nsearch1=beta\n", "search1", "beta"},
    // Lines without "=", empty values, comments.
    {"line without = gives default", "[Config]\nsearch1\nsearch1=alpha\n", "search1", "DEF"},
    {"empty value is not the default", "[Config]\nmulti_search=\n", "multi_search", ""},
    {"first = splits", "[Config]\nsearch1=a=b\n", "search1", "a=b"},
    {"no comments", "[Config]\n;search1=no\nsearch1=a;b #c\n", "search1", "a;b #c"},
    {"hash line is a key", "[Config]\n#search1=no\n", "search1", "DEF"},
    {"brackets and percent kept", "[Config]\nsearch1=[x] %PATH%\n", "search1", "[x] %PATH%"},
    {"missing key", "[Config]\nsearch2=alpha\n", "search1", "DEF"},
    {"empty text", "", "search1", "DEF"},
    // NUL bytes.
    {"NUL ends the value", "[Config]\nsearch1=ab\0cd\nsearch2=x\n"s, "search1", "ab"},
    {"NUL does not end the line", "[Config]\nsearch2=ab\0cd\nsearch1=x\n"s, "search1", "x"},
    {"NUL ends the name", "[Config]\nsearch1\0junk=alpha\n"s, "search1", "alpha"},
    // Encodings.
    {"UTF-8 BOM skipped", "\xEF\xBB\xBF[Config]\nsearch1=\xC3\xA9t\xC3\xA9\n", "search1", "\xC3\xA9t\xC3\xA9"},
    {"UTF-8 passes through", "[Config]\nsearch1=\xE4\xBD\xA0\xE5\xA5\xBD\n", "search1", "\xE4\xBD\xA0\xE5\xA5\xBD"},
    {"UTF-16 LE", "\xFF\xFE[\0C\0o\0n\0f\0i\0g\0]\0\n\0s\0e\0a\0r\0c\0h\0001\0=\0\xE9\0\n\0"s, "search1", "\xC3\xA9"},
    {"UTF-16 BE", "\xFE\xFF\0[\0C\0o\0n\0f\0i\0g\0]\0\n\0s\0e\0a\0r\0c\0h\0001\0=\x4F\x60"s, "search1", "\xE4\xBD\xA0"},
};

TEST(IniReader, AnswersLikeTheProfileReader) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ini_lookup(c.text, "Config", c.key, "DEF", 512), c.expected);
  }
}

struct CapacityCase {
  const char* what;
  std::string value_text;
  std::size_t capacity;
  std::string expected;
};

TEST(IniReader, CutsToCapacityLessOne) {
  const std::string long_value(600, 'x');
  const CapacityCase cases[] = {
      {"long value", long_value, 512, std::string(511, 'x')},
      {"exactly capacity - 1", std::string(255, 'y'), 256, std::string(255, 'y')},
      {"quoted value of capacity - 1 keeps every character", "\"" + std::string(255, 'q') + "\"", 256,
       std::string(255, 'q')},
      {"quotes removed before cutting", "'" + std::string(300, 'q') + "'", 256, std::string(255, 'q')},
      {"capacity 1", "abc", 1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ini_lookup("[Config]\nk=" + c.value_text + "\n", "Config", "k", "", c.capacity), c.expected);
  }
  EXPECT_EQ(ini_lookup("", "Config", "k", "default", 4), "def");
}

TEST(IniReader, LongLinesDoNotHideLaterKeys) {
  std::string text = "[Config]\nfiller=" + std::string(70000, 'z') + "\nsearch1=found\n";
  EXPECT_EQ(ini_lookup(text, "Config", "search1", "", 512), "found");
}

}  // namespace
