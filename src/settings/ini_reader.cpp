#include "settings/ini_reader.h"

#include <cstdint>

namespace {

bool is_ini_space(char c) {
  switch (static_cast<unsigned char>(c)) {
    case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x1A: case 0x20:
      return true;
    default:
      return false;
  }
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_ini_space(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_ini_space(s.back())) s.remove_suffix(1);
  return s;
}

// A NUL ends the name or value that holds it; it is looked at after trimming,
// so blanks before the NUL stay.
std::string_view cut_at_nul(std::string_view s) {
  std::size_t nul = s.find('\0');
  return nul == std::string_view::npos ? s : s.substr(0, nul);
}

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equal_ignoring_ascii_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  }
  return true;
}

void append_utf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// UTF-16 text after its BOM, as UTF-8. An unpaired surrogate becomes U+FFFD;
// an odd last byte is dropped.
std::string utf16_to_utf8(std::string_view bytes, bool big_endian) {
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](std::size_t i) -> std::uint32_t {
    const std::uint32_t b0 = static_cast<unsigned char>(bytes[i]);
    const std::uint32_t b1 = static_cast<unsigned char>(bytes[i + 1]);
    return big_endian ? (b0 << 8 | b1) : (b1 << 8 | b0);
  };
  std::size_t i = 0;
  while (i + 1 < bytes.size()) {
    std::uint32_t u = unit(i);
    i += 2;
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < bytes.size()) {
      std::uint32_t low = unit(i);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        i += 2;
        append_utf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        continue;
      }
    }
    append_utf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
  }
  return out;
}

struct Answer {
  bool found = false;
  std::string_view value;
};

Answer find_key(std::string_view text, std::string_view section, std::string_view key) {
  enum { before_section, in_section, after_section } where = before_section;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty()) continue;

    if (line.front() == '[') {
      std::size_t close = line.rfind(']');
      if (close != std::string_view::npos && close > 0) {
        if (where == in_section) return {};  // the first matching section had no such key
        if (where == before_section &&
            equal_ignoring_ascii_case(cut_at_nul(trim(line.substr(1, close - 1))), section)) {
          where = in_section;
        }
        continue;
      }
    }
    if (where != in_section) continue;

    std::size_t equals = line.find('=');
    std::string_view name =
        cut_at_nul(trim(equals == std::string_view::npos ? line : line.substr(0, equals)));
    if (!equal_ignoring_ascii_case(name, key)) continue;
    if (equals == std::string_view::npos) return {};
    return {true, cut_at_nul(trim(line.substr(equals + 1)))};
  }
  return {};
}

}  // namespace

std::string ini_lookup(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view default_value, std::size_t capacity) {
  std::string converted;
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
    text.remove_prefix(3);
  } else if (text.size() >= 2 && (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF")) {
    converted = utf16_to_utf8(text.substr(2), text[0] == '\xFE');
    text = converted;
  }

  Answer answer = find_key(text, section, key);
  std::string_view value = default_value;
  if (answer.found) {
    value = answer.value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
  }
  if (capacity == 0) return {};
  return std::string(value.substr(0, capacity - 1));
}
