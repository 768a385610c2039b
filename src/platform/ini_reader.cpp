#include "platform/ini_reader.h"

#include <cstdint>
#include <cstring>
#include <unordered_set>
#include <utility>

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

// Splits text at every CR and at every LF. The next position of each is
// found with memchr and kept until it is passed, so a long line costs one
// fast pass rather than a test of each byte against both.
class LineSplitter {
 public:
  explicit LineSplitter(std::string_view text)
      : text_(text), cr_(find(0, '\r')), lf_(find(0, '\n')) {}

  bool next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    if (cr_ < pos_) cr_ = find(pos_, '\r');
    if (lf_ < pos_) lf_ = find(pos_, '\n');
    const std::size_t end = cr_ < lf_ ? cr_ : lf_;
    line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    return true;
  }

 private:
  // The position of c from from on; the text's size when there is none.
  std::size_t find(std::size_t from, char c) const {
    const void* at = std::memchr(text_.data() + from, c, text_.size() - from);
    return at ? static_cast<std::size_t>(static_cast<const char*>(at) - text_.data()) : text_.size();
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t cr_;
  std::size_t lf_;
};

// A section or key name and the section it belongs to, as one key of a hash
// set: ASCII case ignored, as the names are compared.
struct ScopedName {
  std::size_t section;
  std::string_view name;
};

struct ScopedNameHash {
  std::size_t operator()(const ScopedName& n) const {
    std::uint64_t h = 1469598103934665603u ^ n.section;
    for (char c : n.name) h = (h ^ static_cast<unsigned char>(ascii_lower(c))) * 1099511628211u;
    return static_cast<std::size_t>(h);
  }
};

struct ScopedNameEqual {
  bool operator()(const ScopedName& a, const ScopedName& b) const {
    return a.section == b.section && equal_ignoring_ascii_case(a.name, b.name);
  }
};

}  // namespace

IniFile::IniFile(std::string text) : text_(std::move(text)) {
  std::size_t start = 0;
  if (text_.size() >= 3 && text_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    start = 3;
  } else if (text_.size() >= 2 && (text_.compare(0, 2, "\xFF\xFE") == 0 || text_.compare(0, 2, "\xFE\xFF") == 0)) {
    text_ = utf16_to_utf8(std::string_view(text_).substr(2), text_[0] == '\xFE');
  }
  const std::string_view all(text_);
  auto span = [&](std::string_view part) { return Span{static_cast<std::size_t>(part.data() - all.data()), part.size()}; };

  // Section names are seen under section 0, key names under their section's
  // number plus one.
  std::unordered_set<ScopedName, ScopedNameHash, ScopedNameEqual> seen;
  constexpr std::size_t kNone = SIZE_MAX;  // lines before any header, or in a repeated section
  std::size_t current = kNone;
  LineSplitter lines(all.substr(start));
  std::string_view line;
  while (lines.next(line)) {
    line = trim(line);
    if (line.empty()) continue;

    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos && close > 0) {
        const std::string_view name = cut_at_nul(trim(line.substr(1, close - 1)));
        current = kNone;
        if (seen.insert({0, name}).second) {
          current = sections_.size();
          sections_.push_back({span(name), {}});
        }
        continue;
      }
    }
    if (current == kNone) continue;

    const std::size_t equals = line.find('=');
    const std::string_view name =
        cut_at_nul(trim(equals == std::string_view::npos ? line : line.substr(0, equals)));
    if (!seen.insert({current + 1, name}).second) continue;
    Key key{span(name), equals != std::string_view::npos, {}};
    if (key.has_value) key.value = span(cut_at_nul(trim(line.substr(equals + 1))));
    sections_[current].keys.push_back(key);
  }
}

std::string IniFile::value(std::string_view section, std::string_view key, std::string_view default_value,
                           std::size_t capacity) const {
  if (capacity == 0) return {};
  std::string_view value = default_value;
  for (const Section& s : sections_) {
    if (!equal_ignoring_ascii_case(view(s.name), section)) continue;
    for (const Key& k : s.keys) {
      if (!equal_ignoring_ascii_case(view(k.name), key)) continue;
      if (k.has_value) {
        value = view(k.value);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
          value = value.substr(1, value.size() - 2);
        }
      }
      break;
    }
    break;
  }
  return std::string(value.substr(0, capacity - 1));
}

std::string ini_lookup(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view default_value, std::size_t capacity) {
  return IniFile(std::string(text)).value(section, key, default_value, capacity);
}
