// Finds the instant-message record lines in a chunk of whole lines, without
// splitting every line: it looks for the record tag across the chunk, and
// only a line that holds it at character 20 is looked at further, in two
// passes: from the line start to the first "],msg=", and from there to the
// line end, the second also looking for the prefilter's needles.
#pragma once

#include <cstddef>

#include "search/line_reader.h"

// A line that holds the tag at character 20 and a marker in its text.
struct RecordLine {
  const char* text;    // the line's text: up to its LF (less a CR before it) or its first NUL
  std::size_t length;  // may be shorter than a record; the caller checks
  const char* coded;   // right after the first marker
  bool maybe;          // false when none of the needles occurs after the marker
};

class RecordSink {
 public:
  // False stops the search (standard output has failed).
  virtual bool take(const RecordLine& record) = 0;

 protected:
  ~RecordSink() = default;
};

// False when the first length bytes of a line show that it is no record: the
// tag is not at character 20, or a NUL ends its text before it.
bool may_be_record(const char* text, std::size_t length);

// Hands every record line of chunk to sink, in order. needles (three, of
// needle_length bytes) may be nullptr; then maybe is always true. False when
// the sink stopped the search.
bool find_records(const Chunk& chunk, const char* const* needles, std::size_t needle_length, RecordSink& sink);
