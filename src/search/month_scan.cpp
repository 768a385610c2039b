#include "search/month_scan.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "platform/platform.h"
#include "search/decoder.h"
#include "search/line_reader.h"
#include "search/matcher.h"
#include "settings/settings.h"

namespace {

const char kMonthFile[] = "%s/mcu_event_log_%04d_%02d.txt";
const char kUnreadable[] = "can not read %s: %s\n";

const char kRecordTag[] = "im_log,from id,";
constexpr std::size_t kTagAt = 20;
constexpr std::size_t kTagLength = sizeof kRecordTag - 1;
const char kMarker[] = "],msg=";
constexpr std::size_t kMarkerLength = sizeof kMarker - 1;

bool is_ascii_alnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

const char* find(const char* text, std::size_t length, const char* wanted, std::size_t wanted_length) {
  if (wanted_length == 0) return text;
  while (length >= wanted_length) {
    const void* first = std::memchr(text, wanted[0], length - wanted_length + 1);
    if (first == nullptr) return nullptr;
    const char* at = static_cast<const char*>(first);
    if (std::memcmp(at, wanted, wanted_length) == 0) return at;
    length -= static_cast<std::size_t>(at + 1 - text);
    text = at + 1;
  }
  return nullptr;
}

struct Scanner {
  std::vector<char> message = std::vector<char>(20000);
  LineReader reader;
  std::size_t id_length = std::strlen(search_settings.id_filter);

  // Prints the record when it is one and its message matches. False when
  // standard output has failed.
  bool consider(const Line& line) {
    // A record is at least 35 characters: 20, then the tag.
    if (line.length < kTagAt + kTagLength ||
        std::memcmp(line.text + kTagAt, kRecordTag, kTagLength) != 0) {
      return true;
    }
    const void* nul = std::memchr(line.text, '\0', line.length);
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - line.text) : line.length;
    if (length < kTagAt + kTagLength) return true;

    const char* marker = find(line.text, length, kMarker, kMarkerLength);
    if (marker == nullptr) return true;
    if (id_length > 0 && !line_has_id(line.text, length, search_settings.id_filter)) return true;

    const char* coded = marker + kMarkerLength;
    const std::size_t coded_room = static_cast<std::size_t>(line.text + line.length - coded);
    if (message.size() < coded_room / 4 * 3 + 4) message.resize(coded_room / 4 * 3 + 4);
    int decoded = 0;
    decode_message(coded, message.data(), &decoded);
    if (!message_matches(message.data())) return true;

    std::fwrite(line.text, 1, static_cast<std::size_t>(coded - line.text), stdout);
    std::fputs(message.data(), stdout);
    std::putc('\n', stdout);
    return !std::ferror(stdout);
  }

  // False when standard output has failed.
  bool scan_month(int year, int month) {
    const int size = std::snprintf(nullptr, 0, kMonthFile, executable_directory.c_str(), year, month);
    std::string path(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(&path[0], path.size(), kMonthFile, executable_directory.c_str(), year, month);
    path.resize(static_cast<std::size_t>(size));

    PlatformFile file{};
    std::string reason;
    switch (platform_open_for_reading(path, file, reason)) {
      case OpenStatus::missing:
        return true;
      case OpenStatus::failed:
        std::fprintf(stderr, kUnreadable, path.c_str(), reason.c_str());
        return true;
      case OpenStatus::opened:
        break;
    }
    reader.start(file);
    Line line;
    bool output_ok = true;
    while (output_ok && reader.next(line)) output_ok = consider(line);
    platform_close(file);
    if (reader.failed()) std::fprintf(stderr, kUnreadable, path.c_str(), reader.reason().c_str());
    return output_ok;
  }
};

}  // namespace

bool line_has_id(const char* text, std::size_t length, const char* id_filter) {
  const std::size_t id_length = std::strlen(id_filter);
  const bool whole = id_length > 0 && is_ascii_alnum(id_filter[id_length - 1]);
  const char* end = text + length;
  for (const char* at = text; at < end;) {
    const char* found = find(at, static_cast<std::size_t>(end - at), id_filter, id_length);
    if (found == nullptr) return false;
    const char* after = found + id_length;
    if (!whole || after == end || !is_ascii_alnum(*after)) return true;
    at = found + 1;
  }
  return id_length == 0;
}

void scan_event_logs() {
  const SearchSettings& s = search_settings;
  Scanner scanner;
  for (int year = s.start_year; year <= s.end_year; ++year) {
    const int first = year == s.start_year ? s.start_month : 1;
    const int last = year == s.end_year ? s.end_month : 12;
    for (int month = first; month <= last; ++month) {
      if (!scanner.scan_month(year, month)) return;
    }
  }
}
