#include "search/month_scan.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "platform/platform.h"
#include "search/decoder.h"
#include "search/find_bytes.h"
#include "search/line_reader.h"
#include "search/matcher.h"
#include "search/prefilter.h"
#include "settings/settings.h"

namespace {

const char kMonthFile[] = "%s/mcu_event_log_%04d_%02d.txt";
const char kUnreadable[] = "can not read %s: %s\n";

const char kRecordTag[] = "im_log,from id,";
constexpr std::size_t kTagAt = 20;
constexpr std::size_t kTagLength = sizeof kRecordTag - 1;
// The "l" and "g" of "im_log": rarely two apart in other event lines or in
// base64 text, unlike the tag's first and last bytes.
constexpr std::size_t kTagAnchor1 = 3;
constexpr std::size_t kTagAnchor2 = 5;
const char kMarker[] = "],msg=";
constexpr std::size_t kMarkerLength = sizeof kMarker - 1;

bool is_ascii_alnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

struct Scanner {
  Base64Prefilter prefilter{search_settings};
  std::size_t needle_length = 0;
  const char* const* single_needles = prefilter.single_needles(needle_length);
  std::vector<char> message = std::vector<char>(20000);
  LineReader reader;
  const char* id_filter = search_settings.id_filter;
  std::size_t id_length = std::strlen(search_settings.id_filter);

  // Prints a record whose text is text[0, length) and whose marker ends at
  // coded, when its message matches. maybe is the prefilter's verdict when
  // the caller has it already. False when standard output has failed.
  bool consider(const char* text, std::size_t length, const char* coded, bool maybe) {
    if (length < kTagAt + kTagLength) return true;
    if (id_length > 0 && !line_has_id(text, length, id_filter)) return true;
    const std::size_t coded_length = static_cast<std::size_t>(text + length - coded);
    if (!maybe || (single_needles == nullptr && !prefilter.may_match(coded, coded_length))) return true;

    if (message.size() < coded_length / 4 * 3 + 4) message.resize(coded_length / 4 * 3 + 4);
    int decoded = 0;
    decode_message(coded, message.data(), &decoded);
    if (!message_matches(message.data())) return true;

    std::fwrite(text, 1, static_cast<std::size_t>(coded - text), stdout);
    std::fputs(message.data(), stdout);
    std::putc('\n', stdout);
    return !std::ferror(stdout);
  }

  // Looks for the record tag across the chunk instead of splitting every
  // line; only lines that hold it at character 20 are looked at further, in
  // two passes: from the line start to the marker, and from the marker to the
  // line end, the second also looking for the prefilter's needles.
  bool scan_chunk(const Chunk& chunk) {
    const char* const end = chunk.end;
    const char* from = chunk.begin;
    while (static_cast<std::size_t>(end - from) >= kTagAt + kTagLength) {
      // Where records are dense, the next line is often one: try it first.
      const char* tag = from + kTagAt;
      if (std::memcmp(tag, kRecordTag, kTagLength) != 0) {
        tag = find_bytes_anchored(tag, static_cast<std::size_t>(end - tag), kRecordTag, kTagLength, kTagAnchor1,
                                  kTagAnchor2);
        if (tag == nullptr) return true;
      }
      // The tag counts at character 20 of a line. An LF between start and
      // the tag makes a text too short to be a record, which consider() sees.
      const char* start = tag - kTagAt;
      if (start != chunk.begin && start[-1] != '\n') {
        from = start + 1;
        continue;
      }
      // A line's text ends at its LF (less a CR right before it) or at its
      // first NUL, whichever comes first.
      const char* stop = find_bytes_or_line_end(start, static_cast<std::size_t>(end - start), kMarker, kMarkerLength);
      const char* coded = nullptr;
      bool maybe = true;
      if (stop != nullptr && *stop == kMarker[0]) {
        coded = stop + kMarkerLength;
        const std::size_t rest = static_cast<std::size_t>(end - coded);
        stop = single_needles ? find_line_end_noting(coded, rest, single_needles, needle_length, maybe)
                              : find_line_end_or_nul(coded, rest);
      }
      const char* text_end = stop ? stop : end;
      const char* next = stop ? stop + 1 : end;
      if (stop && *stop == '\n') {
        if (stop[-1] == '\r') --text_end;
      } else if (stop) {
        const void* lf = std::memchr(stop, '\n', static_cast<std::size_t>(end - stop));
        next = lf ? static_cast<const char*>(lf) + 1 : end;
      }
      if (coded && !consider(start, static_cast<std::size_t>(text_end - start), coded, maybe)) return false;
      from = next;
    }
    return true;
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
    Chunk chunk;
    bool output_ok = true;
    while (output_ok && reader.next_chunk(chunk)) output_ok = scan_chunk(chunk);
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
    const char* found = find_bytes(at, static_cast<std::size_t>(end - at), id_filter, id_length);
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
