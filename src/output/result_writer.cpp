#include "output/result_writer.h"

#include <cinttypes>
#include <string>

#include "output/console_line.h"
#include "output/escape.h"
#include "platform/platform.h"

namespace {

// How a terminal is shown a control byte of a result line.
const char kShownNewline[] = "\\n";
const char kShownReturn[] = "\\r";
const char kShownEscape[] = "\\e";
const char kShownByte[] = "\\x%02x";

const char kCsvHeader[] = "time,from_id,to_id,conf_id,room,message";
const char kCsvMatchColumn[] = ",match";
const char kCsvMatch[] = ",yes";
const char kCsvContext[] = ",no";
const char kJsonMatch[] = ",\"match\":true";
const char kJsonContext[] = ",\"match\":false";
// What sets a context line apart from a match in text.
const char kContextIndent[] = "  ";
const char kCsvLineEnd[] = "\r\n";
const char kCountLine[] = "%04d_%02d %" PRIu64 "\n";
const char kCountTotal[] = "total %" PRIu64 "\n";

// Appends text with each control byte (below 0x20 but tab, and 0x7F) in its
// visible form.
void append_shown(std::string& out, std::string_view text) {
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 0x20 && c != 0x7F) || c == '\t') {
      out += ch;
      continue;
    }
    switch (c) {
      case '\n': out += kShownNewline; break;
      case '\r': out += kShownReturn; break;
      case 0x1B: out += kShownEscape; break;
      default: {
        char shown[8];
        std::snprintf(shown, sizeof shown, kShownByte, static_cast<unsigned>(c));
        out += shown;
      }
    }
  }
}

class TextWriter final : public ResultWriter {
 public:
  explicit TextWriter(const TextStream& stream) : stream_(stream) {}

  bool needs_fields() const override { return false; }

  void record(const FoundRecord& r) override {
    if (!stream_.show_controls && !stream_.console) {
      if (!r.match) std::fputs(kContextIndent, stream_.file);
      std::fwrite(r.head.data(), 1, r.head.size(), stream_.file);
      std::fwrite(r.message.data(), 1, r.message.size(), stream_.file);
      std::putc('\n', stream_.file);
      return;
    }
    line_.clear();
    if (!r.match) line_ += kContextIndent;
    if (stream_.show_controls) {
      append_shown(line_, r.head);
      append_shown(line_, r.message);
    } else {
      line_.append(r.head).append(r.message);
    }
    write_text_line(stream_, line_);
  }

 private:
  TextStream stream_;
  std::string line_;
};

// The fields every data row has, in order.
struct Row {
  const char* name;
  const RecordField& field;
};

class CsvWriter final : public ResultWriter {
 public:
  CsvWriter(const TextStream& stream, bool mark_matches)
      : out_(stream.file), show_controls_(stream.show_controls), mark_matches_(mark_matches) {}

  void start() override {
    std::fputs(kCsvHeader, out_);
    if (mark_matches_) std::fputs(kCsvMatchColumn, out_);
    std::fputs(kCsvLineEnd, out_);
  }

  void record(const FoundRecord& r) override {
    line_.clear();
    for (const RecordField* field : {&r.fields.time, &r.fields.from_id, &r.fields.to_id, &r.fields.conf_id,
                                     &r.fields.room}) {
      append_field(field->text);
      line_ += ',';
    }
    append_field(r.message);
    if (mark_matches_) line_ += r.match ? kCsvMatch : kCsvContext;
    line_ += kCsvLineEnd;
    std::fwrite(line_.data(), 1, line_.size(), out_);
  }

 private:
  // On a terminal the fields' control bytes are shown, as in text.
  void append_field(std::string_view text) {
    if (!show_controls_) {
      append_csv_field(line_, text);
      return;
    }
    shown_.clear();
    append_shown(shown_, text);
    append_csv_field(line_, shown_);
  }

  std::FILE* out_;
  bool show_controls_;
  bool mark_matches_;
  std::string line_;
  std::string shown_;
};

class JsonLinesWriter final : public ResultWriter {
 public:
  JsonLinesWriter(std::FILE* out, bool mark_matches) : out_(out), mark_matches_(mark_matches) {}

  void record(const FoundRecord& r) override {
    line_.clear();
    const Row fields[] = {{"{\"time\":", r.fields.time},
                          {",\"from_id\":", r.fields.from_id},
                          {",\"to_id\":", r.fields.to_id},
                          {",\"conf_id\":", r.fields.conf_id},
                          {",\"room\":", r.fields.room}};
    for (const Row& row : fields) {
      line_ += row.name;
      if (row.field.present) {
        append_json_string(line_, row.field.text);
      } else {
        line_ += "null";
      }
    }
    line_ += ",\"message\":";
    append_json_string(line_, r.message);
    line_ += ",\"message_base64\":";
    append_json_string(line_, r.coded);
    line_ += ",\"file\":";
    append_json_string(line_, r.file_name);
    if (mark_matches_) line_ += r.match ? kJsonMatch : kJsonContext;
    line_ += "}\n";
    std::fwrite(line_.data(), 1, line_.size(), out_);
  }

 private:
  std::FILE* out_;
  bool mark_matches_;
  std::string line_;
};

class CountWriter final : public ResultWriter {
 public:
  explicit CountWriter(std::FILE* out) : out_(out) {}

  void record(const FoundRecord&) override {}

  void month_done(const Month& month, bool exists, std::uint64_t matches) override {
    total_ += matches;
    if (exists) std::fprintf(out_, kCountLine, month.year, month.month, matches);
  }

  void finish() override { std::fprintf(out_, kCountTotal, total_); }

 private:
  std::FILE* out_;
  std::uint64_t total_ = 0;
};

}  // namespace

void write_text_line(const TextStream& stream, std::string_view line) {
  if (stream.console && console_write_for(line) == ConsoleWrite::wide) {
    // Bytes still in the stream's buffer go first.
    std::fflush(stream.file);
    if (platform_console_write_line(line.data(), line.size())) return;
  }
  std::fwrite(line.data(), 1, line.size(), stream.file);
  std::putc('\n', stream.file);
}

std::unique_ptr<ResultWriter> make_result_writer(OutputFormat format, const TextStream& stream, bool mark_matches) {
  switch (format) {
    case OutputFormat::csv: return std::make_unique<CsvWriter>(stream, mark_matches);
    case OutputFormat::jsonl: return std::make_unique<JsonLinesWriter>(stream.file, mark_matches);
    case OutputFormat::count: return std::make_unique<CountWriter>(stream.file);
    case OutputFormat::text: break;
  }
  return std::make_unique<TextWriter>(stream);
}
