#include "search/month_scan.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "search/chunk_needles.h"
#include "search/decoder.h"
#include "search/line_reader.h"
#include "search/matcher.h"
#include "search/month_log.h"
#include "search/prefilter.h"
#include "search/record_finder.h"
#include "search/whole_id.h"

namespace {

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
  const SearchSettings& settings;
  const ScanOutput& output;
  std::FILE* const out;
  Base64Prefilter prefilter{settings};
  const std::string id_needle = settings.search_id.empty() ? std::string() : whole_id_needle(settings.search_id);
  const ChunkNeedles chunk_needles{settings, id_needle};
  const RecordFilter filter;
  const FindRecords find_records;
  std::vector<char> message = std::vector<char>(20000);
  LineReader reader;

  explicit Scanner(const ScanTask& task)
      : settings(task.settings),
        output(task.output),
        out(task.output.results),
        filter{&prefilter, id_needle.c_str(), id_needle.size(),
               searches_first(task.loop, task.path) && chunk_needles.usable() ? &chunk_needles : nullptr},
        find_records(record_finder(task.loop)) {
    if (find_records == nullptr) throw std::invalid_argument("this build or processor has no such scan loop");
  }

  // Prints the record when its message matches. False when the output
  // has failed.
  bool take(const RecordLine& r) override {
    if (!r.message_may_match) return true;

    const std::size_t coded_length = static_cast<std::size_t>(r.text + r.length - r.coded);
    if (message.size() < coded_length / 4 * 3 + 4) message.resize(coded_length / 4 * 3 + 4);
    int decoded = 0;
    decode_message(r.coded, message.data(), &decoded);
    // The message ends at its first NUL, for matching and printing alike.
    const void* nul = std::memchr(message.data(), '\0', static_cast<std::size_t>(decoded));
    const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - message.data())
                                   : static_cast<std::size_t>(decoded);
    if (!message_matches(settings, std::string_view(message.data(), length))) return true;

    const std::size_t head = static_cast<std::size_t>(r.coded - r.text);
    if (output.show_controls) {
      write_shown(r.text, head, out);
      write_shown(message.data(), length, out);
    } else {
      std::fwrite(r.text, 1, head, out);
      std::fwrite(message.data(), 1, length, out);
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
        output.cannot_read(path, reason);
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
      if (reader.failed()) output.cannot_read(path, reader.reason());
    } catch (const std::bad_alloc&) {
      // A record line too long for the memory there is: the results so far
      // stand, and the next month is searched.
      output.cannot_read(path, kLineTooLong);
    }
    platform_close(file);
    return output_ok;
  }
};

}  // namespace

bool scan_one_log(const ScanTask& task, const std::string& path) { return Scanner(task).scan_log(path); }

bool scan_event_logs(const ScanTask& task) {
  const Month& start = task.settings.start;
  const Month& end = task.settings.end;
  Scanner scanner(task);
  for (int year = start.year; year <= end.year; ++year) {
    const int first = year == start.year ? start.month : 1;
    const int last = year == end.year ? end.month : 12;
    for (int month = first; month <= last; ++month) {
      // A message flushes the results first, which can fail there too.
      if (!scanner.scan_log(month_log_path(task.directory, year, month)) || std::ferror(task.output.results)) {
        return false;
      }
    }
  }
  return true;
}
