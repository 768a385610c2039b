#include "reference/reference_search.h"

namespace {

int base64_value(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string reference_decode(const std::string& coded) {
  std::string out;
  unsigned bits = 0;
  int count = 0;
  for (char c : coded) {
    int v = base64_value(static_cast<unsigned char>(c));
    if (v < 0) break;
    bits = (bits << 6 | static_cast<unsigned>(v)) & 0xFFFFFF;
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}

namespace {

bool alnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool has_whole_id(const std::string& line, const std::string& id) {
  const std::string filter = " id," + id;
  const bool whole = alnum(filter.back());
  for (std::size_t at = line.find(filter); at != std::string::npos; at = line.find(filter, at + 1)) {
    const std::size_t after = at + filter.size();
    if (!whole || after == line.size() || !alnum(line[after])) return true;
  }
  return false;
}

bool matches(const std::string& message, const ReferenceSettings& s) {
  int tested = 0;
  for (const auto& wanted : s.search) {
    if (wanted.empty()) break;
    ++tested;
    const bool found = message.find(wanted) != std::string::npos;
    if (found && !s.all_mode) return true;
    if (!found && s.all_mode) return false;
  }
  return tested == 0 || s.all_mode;
}

}  // namespace

std::string reference_search(const std::string& file, const ReferenceSettings& settings) {
  std::string text = file.substr(0, file.find('\x1a'));
  std::string out;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t lf = text.find('\n', begin);
    std::string line = text.substr(begin, lf == std::string::npos ? std::string::npos : lf - begin);
    begin = lf == std::string::npos ? text.size() : lf + 1;
    if (lf != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
    line = line.substr(0, line.find('\0'));

    if (line.size() < 35 || line.compare(20, 15, "im_log,from id,") != 0) continue;
    const std::size_t marker = line.find("],msg=");
    if (marker == std::string::npos) continue;
    if (!settings.search_id.empty() && !has_whole_id(line, settings.search_id)) continue;
    std::string message = reference_decode(line.substr(marker + 6));
    message = message.substr(0, message.find('\0'));
    if (!matches(message, settings)) continue;
    out += line.substr(0, marker + 6) + message + "\n";
  }
  return out;
}
