// Where the scan hands the records it found, and the forms they are written
// in: text (the line up to its message, then the message), csv, jsonl, or a
// count per month.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

#include "search/record_fields.h"
#include "settings/settings.h"

struct FoundRecord {
  std::string_view head;     // the line's text up to and with the marker "],msg="
  std::string_view message;  // decoded, up to its first NUL
  std::string_view coded;    // the message's base64 text as found, "=" padding included
  const RecordFields& fields;
  std::string_view file_name;  // the month log's name
};

class ResultWriter {
 public:
  virtual ~ResultWriter() = default;
  // Before the first month: a header, in the forms that have one.
  virtual void start() {}
  virtual void record(const FoundRecord& record) = 0;
  // After each month of the range; exists is false for a month whose log is
  // not there.
  virtual void month_done(const Month& month, bool exists, std::uint64_t matches) {
    (void)month, (void)exists, (void)matches;
  }
  // After the last month.
  virtual void finish() {}
};

// How a text line reaches its reader.
struct TextStream {
  std::FILE* file;
  // file is a terminal: the control bytes of a result line or csv field
  // (below 0x20 but tab, and 0x7F) are shown as \n, \r, \e or \xhh rather
  // than sent. (jsonl escapes them anyway.)
  bool show_controls = false;
  // file is standard output and that is a console: lines that are valid UTF-8
  // go through the console's wide-character call.
  bool console = false;
};

// Writes one line and its newline to stream.
void write_text_line(const TextStream& stream, std::string_view line);

// The writer for format. csv and jsonl end their lines themselves: their
// stream must not turn LF into CR LF (platform_binary_stream).
std::unique_ptr<ResultWriter> make_result_writer(OutputFormat format, const TextStream& stream);
