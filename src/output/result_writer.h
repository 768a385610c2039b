// The forms the records found are written in: text (the line up to its
// message, then the message), csv, jsonl, or a count per month.
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

#include "search/found_record.h"
#include "settings/settings.h"

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
// stream must not turn LF into CR LF (platform_binary_stream). With
// mark_matches (context was asked for), csv has a last column "match" (yes or
// no) and jsonl a key "match" (true or false); text always shows a context
// record as its line with two blanks in front.
std::unique_ptr<ResultWriter> make_result_writer(OutputFormat format, const TextStream& stream,
                                                 bool mark_matches = false);
