// The INI reader that stands in for GetPrivateProfileStringA where Windows is
// not underneath. It answers exactly as that call does on the files that
// search.ini is made of:
//  - Lines end at LF, CR LF or a lone CR; the last line needs no line end.
//  - Each line is trimmed of 09-0D, 1A (Ctrl-Z) and 20 at both ends; empty
//    lines are skipped. Ctrl-Z is white space here, not the end of the file.
//  - "[name]" (name up to the last "]", trimmed) opens a section. A "[" with
//    no "]" after it is an ordinary key line.
//  - Any other line is "name=value", both trimmed, split at the first "=".
//    A line without "=" is a name with no value.
//  - A NUL byte ends the name or value that holds it, not the line.
//  - Only the first section whose name matches (ASCII case ignored) is
//    searched; keys before any header belong to no section.
//  - The first line of that section whose name matches the key (ASCII case
//    ignored) is the answer, even when its value is empty. A match without
//    "=" answers the default.
//  - No comments, no escapes: ";", "#" and "%VAR%" are plain text.
//  - A value of two or more characters wrapped in matching " or ' loses them.
//  - The answer is cut to capacity - 1 bytes.
// Encodings: a leading UTF-8 BOM is skipped and the bytes pass through
// unchanged; a leading UTF-16 BOM (either byte order) makes the text UTF-16,
// which is read as UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// An INI text taken apart once, to answer any number of lookups: for the first
// section of each name, the first line of each key name. Reading it costs one
// pass over the text and memory for the names it holds, not for its lines.
class IniFile {
 public:
  IniFile() = default;  // an empty text
  explicit IniFile(std::string text);

  // The value of key in section, or default_value; at most capacity - 1
  // bytes (capacity 0 gives the empty string).
  std::string value(std::string_view section, std::string_view key, std::string_view default_value,
                    std::size_t capacity) const;

 private:
  struct Span {  // a part of text_
    std::size_t begin;
    std::size_t length;
  };
  struct Key {
    Span name;
    bool has_value;  // false for a line without "=": it answers the default
    Span value;
  };
  struct Section {
    Span name;
    std::vector<Key> keys;  // in file order
  };

  std::string_view view(Span s) const { return std::string_view(text_).substr(s.begin, s.length); }

  std::string text_;  // as read, or as UTF-8 when it came as UTF-16
  std::vector<Section> sections_;
};

// The value of key in section of the INI text, or default_value; at most
// capacity - 1 bytes (capacity 0 gives the empty string).
std::string ini_lookup(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view default_value, std::size_t capacity);
