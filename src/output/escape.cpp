#include "output/escape.h"

#include "text/utf8.h"

namespace {

const char kHex[] = "0123456789abcdef";

}  // namespace

void append_json_string(std::string& out, std::string_view text) {
  out += '"';
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c >= 0x80) {
      const std::size_t length = utf8_sequence_length(p, end);
      if (length == 0) {
        out += "\xEF\xBF\xBD";
        ++p;
      } else {
        out.append(p, length);
        p += length;
      }
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 0xF];
        } else {
          out += static_cast<char>(c);
        }
    }
    ++p;
  }
  out += '"';
}

void append_csv_field(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    append_utf8_replacing(out, text);
    return;
  }
  out += '"';
  std::size_t from = 0;
  for (std::size_t quote = text.find('"'); quote != std::string_view::npos; quote = text.find('"', from)) {
    append_utf8_replacing(out, text.substr(from, quote + 1 - from));
    out += '"';
    from = quote + 1;
  }
  append_utf8_replacing(out, text.substr(from));
  out += '"';
}
