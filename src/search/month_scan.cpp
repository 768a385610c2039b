#include "search/month_scan.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "platform/platform.h"
#include "search/decoder.h"
#include "search/line_reader.h"
#include "search/matcher.h"
#include "search/prefilter.h"
#include "search/record_finder.h"
#include "settings/settings.h"

namespace {

const char kMonthFile[] = "%s/mcu_event_log_%04d_%02d.txt";
const char kLineTooLong[] = "not enough memory for a line this long";

// How a terminal is shown a control byte of a result line.
const char kShownNewline[] = "\\n";
const char kShownReturn[] = "\\r";
const char kShownEscape[] = "\\e";
const char kShownByte[] = "\\x%02x";

// Writes length bytes of text to out, each control byte (below 0x20 but tab,
// and 0x7F) as its visible form.
void write_shown(const char* text, std::size_t length, std::FILE* out) {
  const char* run = text;  // start of the bytes not yet written
  const char* const end = text + length;
  for (const char* p = text; p != end; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if ((c >= 0x20 && c != 0x7F) || c == '\t') continue;
    std::fwrite(run, 1, static_cast<std::size_t>(p - run), out);
    switch (c) {
      case '\n': std::fputs(kShownNewline, out); break;
      case '\r': std::fputs(kShownReturn, out); break;
      case 0x1B: std::fputs(kShownEscape, out); break;
      default: std::fprintf(out, kShownByte, static_cast<unsigned>(c)); break;
    }
    run = p + 1;
  }
  std::fwrite(run, 1, static_cast<std::size_t>(end - run), out);
}

struct Scanner final : RecordSink {
  Base64Prefilter prefilter{search_settings};
  RecordFilter filter{nullptr, 0, search_settings.id_filter, std::strlen(search_settings.id_filter)};
  std::vector<char> message = std::vector<char>(20000);
  LineReader reader;
  std::FILE* out;
  bool show_controls;  // out is a terminal: control bytes are shown, not sent

  Scanner(std::FILE* output, bool on_terminal) : out(output), show_controls(on_terminal) {
    filter.needles = prefilter.single_needles(filter.needle_length);
  }

  // Prints the record when its message matches. False when the output
  // has failed.
  bool take(const RecordLine& r) override {
    const std::size_t coded_length = static_cast<std::size_t>(r.text + r.length - r.coded);
    if (!r.maybe || (filter.needles == nullptr && !prefilter.may_match(r.coded, coded_length))) return true;

    if (message.size() < coded_length / 4 * 3 + 4) message.resize(coded_length / 4 * 3 + 4);
    int decoded = 0;
    decode_message(r.coded, message.data(), &decoded);
    if (!message_matches(message.data())) return true;

    if (show_controls) {
      write_shown(r.text, static_cast<std::size_t>(r.coded - r.text), out);
      write_shown(message.data(), std::strlen(message.data()), out);
    } else {
      std::fwrite(r.text, 1, static_cast<std::size_t>(r.coded - r.text), out);
      std::fputs(message.data(), out);
    }
    std::putc('\n', out);
    return !std::ferror(out);
  }

  // False when the output has failed.
  bool scan_log(const std::string& path) {
    PlatformFile file{};
    std::string reason;
    switch (platform_open_for_reading(path, file, reason)) {
      case OpenStatus::missing:
        return true;
      case OpenStatus::failed:
        report(kCannotRead, path.c_str(), reason.c_str());
        return true;
      case OpenStatus::opened:
        break;
    }
    bool output_ok = true;
    try {
      reader.start(file, &may_be_record);
      Chunk chunk;
      while (output_ok && reader.next_chunk(chunk)) {
        output_ok = find_records(chunk, filter, *this);
      }
      if (reader.failed()) report(kCannotRead, path.c_str(), reader.reason().c_str());
    } catch (const std::bad_alloc&) {
      // A record line too long for the memory there is: the results so far
      // stand, and the next month is searched.
      report(kCannotRead, path.c_str(), kLineTooLong);
    }
    platform_close(file);
    return output_ok;
  }
};

}  // namespace

bool scan_one_log(const std::string& path, std::FILE* out) { return Scanner(out, false).scan_log(path); }

void scan_event_logs() {
  const SearchSettings& s = search_settings;
  Scanner scanner(stdout, platform_stdout_is_terminal());
  for (int year = s.start_year; year <= s.end_year; ++year) {
    const int first = year == s.start_year ? s.start_month : 1;
    const int last = year == s.end_year ? s.end_month : 12;
    for (int month = first; month <= last; ++month) {
      const int size = std::snprintf(nullptr, 0, kMonthFile, executable_directory.c_str(), year, month);
      std::string path(static_cast<std::size_t>(size) + 1, '\0');
      std::snprintf(&path[0], path.size(), kMonthFile, executable_directory.c_str(), year, month);
      path.resize(static_cast<std::size_t>(size));
      // A message flushes standard output first, which can fail there too.
      if (!scanner.scan_log(path) || std::ferror(stdout)) return;
    }
  }
}
