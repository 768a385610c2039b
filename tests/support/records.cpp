#include "support/records.h"

std::string base64(const std::string& bytes) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                 static_cast<unsigned char>(bytes[i + 2]);
    out += alphabet[v >> 18];
    out += alphabet[(v >> 12) & 63];
    out += alphabet[(v >> 6) & 63];
    out += alphabet[v & 63];
  }
  if (i + 1 == bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    out += alphabet[v >> 18];
    out += alphabet[(v >> 12) & 63];
    out += "==";
  } else if (i + 2 == bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += alphabet[v >> 18];
    out += alphabet[(v >> 12) & 63];
    out += alphabet[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

namespace {
std::string head(const std::string& from_id, const std::string& prefix) {
  return prefix + "im_log,from id," + from_id + ",to id,2001,[Weekly sync],msg=";
}
}  // namespace

std::string record(const std::string& message, const std::string& from_id, const std::string& prefix) {
  return head(from_id, prefix) + base64(message);
}

std::string printed(const std::string& message, const std::string& from_id, const std::string& prefix) {
  return head(from_id, prefix) + message + "\n";
}

std::string ini(const std::string& start, const std::string& end, const std::string& more) {
  return "[Config]\nstart_time=" + start + "\nend_time=" + end + "\n" + more;
}

std::string announced(const std::string& start, const std::string& end, const std::string& rest) {
  return "Search instant message between " + start + " and " + end + rest + "\n";
}
