#include "search/month_scan.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "search/case_needles.h"
#include "search/chunk_needles.h"
#include "search/decoder.h"
#include "search/line_reader.h"
#include "search/record_fields.h"
#include "search/record_matcher.h"
#include "search/month_log.h"
#include "search/prefilter.h"
#include "search/record_finder.h"
#include "search/whole_id.h"

namespace {

const char kLineTooLong[] = "not enough memory for a line this long";

bool is_base64_char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

// The base64 text of a message as it stands in the line: the alphabet's
// characters, then any "=" padding.
std::string_view coded_text(const char* coded, const char* end) {
  const char* p = coded;
  while (p != end && is_base64_char(*p)) ++p;
  while (p != end && *p == '=') ++p;
  return {coded, static_cast<std::size_t>(p - coded)};
}

struct Scanner final : RecordSink {
  const SearchSettings& settings;
  const ScanOutput& output;
  std::FILE* const out;
  ResultWriter* const writer;
  const bool writer_needs_fields = writer->needs_fields();
  const RecordMatcher matcher{settings};
  const NeedleStrings prefilter_strings_ = prefilter_strings(settings);
  Base64Prefilter prefilter{prefilter_strings_};
  const std::string id_needle = settings.search_id.empty() ? std::string() : whole_id_needle(settings.search_id);
  const ChunkNeedles chunk_needles{prefilter_strings_, id_needle};
  const RecordFilter filter;
  const FindRecords find_records;
  std::vector<char> message = std::vector<char>(20000);
  LineReader reader;
  std::uint64_t matches = 0;  // in the current month
  std::string file_name;      // of the current month

  explicit Scanner(const ScanTask& task)
      : settings(task.settings),
        output(task.output),
        out(task.output.results),
        writer(task.output.writer),
        filter{&prefilter, id_needle.c_str(), id_needle.size(),
               searches_first(task.loop, task.path) && chunk_needles.usable() ? &chunk_needles : nullptr},
        find_records(record_finder(task.loop)) {
    if (find_records == nullptr) throw std::invalid_argument("this build or processor has no such scan loop");
  }

  // Prints the record when its message matches. False when the output
  // has failed.
  bool take(const RecordLine& r) override {
    if (!r.message_may_match) return true;
    const std::string_view head(r.text, static_cast<std::size_t>(r.coded - r.text));
    RecordFields fields;
    if (settings.filters_records()) {
      fields = read_record_fields(head);
      if (!matcher.fields_match(fields)) return true;
    }

    const std::size_t coded_length = static_cast<std::size_t>(r.text + r.length - r.coded);
    if (message.size() < coded_length / 4 * 3 + 4) message.resize(coded_length / 4 * 3 + 4);
    int decoded = 0;
    decode_message(r.coded, message.data(), &decoded);
    // The message ends at its first NUL, for matching and printing alike.
    const void* nul = std::memchr(message.data(), '\0', static_cast<std::size_t>(decoded));
    const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - message.data())
                                   : static_cast<std::size_t>(decoded);
    if (!matcher.message_matches(std::string_view(message.data(), length))) return true;

    ++matches;
    std::string_view coded;
    if (writer_needs_fields) {
      if (!settings.filters_records()) fields = read_record_fields(head);
      coded = coded_text(r.coded, r.text + r.length);
    }
    writer->record(FoundRecord{head, std::string_view(message.data(), length), coded, fields, file_name});
    return !std::ferror(out);
  }

  // False when the output has failed.
  // exists tells whether the log was there.
  bool scan_log(const std::string& path, bool* exists = nullptr) {
    PlatformFile file{};
    std::string reason;
    matches = 0;
    file_name = path.substr(path.find_last_of('/') + 1);
    if (exists) *exists = true;
    switch (platform_open_for_reading(path, file, reason)) {
      case OpenStatus::missing:
        if (exists) *exists = false;
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
  scanner.writer->start();
  for (int year = start.year; year <= end.year; ++year) {
    const int first = year == start.year ? start.month : 1;
    const int last = year == end.year ? end.month : 12;
    for (int month = first; month <= last; ++month) {
      bool exists = false;
      const bool written = scanner.scan_log(month_log_path(task.directory, year, month), &exists);
      scanner.writer->month_done({year, month}, exists, scanner.matches);
      // A message flushes the results first, which can fail there too.
      if (!written || std::ferror(task.output.results)) return false;
    }
  }
  scanner.writer->finish();
  return !std::ferror(task.output.results);
}
