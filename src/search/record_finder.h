// Finds the instant-message records in a chunk of whole lines, without
// splitting every line: it looks for the record tag across the chunk, and
// only a line that holds it at character 20 is looked at further, in two
// passes: from the line start to the first "],msg=", and from there to the
// line end. When an id is asked for, the line must also mention it as a whole
// id: " id,<id>" somewhere in its text, not followed by an ASCII letter or
// digit when the id ends in one (12 finds "from id,12," but not
// "from id,123").
//
// The finder also gives the prefilter's verdict on each record's message.
// With a single search string of 3 bytes or more it looks for that string's
// base64 needles during its pass to the line end; otherwise it asks the
// prefilter once it has the line's end.
//
// Given the needles of chunk_needles.h, the finder searches first: it looks
// for them across the chunk and reads only the lines that hold one. Without
// them it visits every line start. Both hand the sink the same records with
// the same verdicts, except that search first leaves out records whose line
// holds no needle, which could not have matched.
#pragma once

#include <cstddef>

#include "search/chunk_needles.h"
#include "search/line_reader.h"
#include "search/prefilter.h"
#include "search/scan_loop.h"

// A record: a line whose text holds the tag at character 20, a marker, and
// the id asked for.
struct RecordLine {
  const char* text;  // the line's text: up to its LF (less a CR before it) or its first NUL
  std::size_t length;
  const char* coded;  // right after the first marker
  // False when the prefilter rules out that the decoded message matches: the
  // record can be passed over without decoding. True says nothing yet.
  bool message_may_match;
};

// What the finder looks for besides the record's shape.
struct RecordFilter {
  const Base64Prefilter* prefilter;  // nullptr: every message may match
  const char* id;                    // " id,<id>", or "" for any record
  std::size_t id_length;
  const ChunkNeedles* needles;  // nullptr: every line start is visited
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

// One build of the loop: hands every record of chunk to sink, in order. False
// when the sink stopped the search.
using FindRecords = bool (*)(const Chunk& chunk, const RecordFilter& filter, RecordSink& sink);

// The build of the loop named by loop, or nullptr when this build or this
// processor lacks it. ScanLoop::fastest is always there.
FindRecords record_finder(ScanLoop loop);

// Whether the scan searches first on path through loop (scan_loop.h).
bool searches_first(ScanLoop loop, ScanPath path);
