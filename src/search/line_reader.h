// Reads a month log as text, the same way on every system, so that both
// builds see the same lines:
//  - a line ends at LF; the LF is not part of the line, and a CR right before
//    it is dropped too (logs written on Windows end lines with CR LF). A CR
//    anywhere else stays.
//  - a Ctrl-Z byte (0x1A) ends the file: nothing after it is read.
//  - the last line needs no line end; an empty file has no lines.
//  - lines of any length arrive whole. The buffer grows with the longest line
//    and with nothing else; nothing is allocated per line. A caller can have
//    long lines it does not want dropped unread instead (see start()).
//  - a file that grows while it is read is read as it was when start() was
//    called: lines appended later are left for the next search, and a last
//    line without a line end is left out too when the file has grown since,
//    since it was still being written. A file that shrinks simply ends early.
//    A file that is empty at start() has no lines. A file without a size
//    (see platform_file_size) is read to its end.
// The file is handed out in chunks of whole lines, so that a search can run
// over many lines at once; take_line() splits a chunk into lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// Whole lines: each ends with LF, except the last line of the file when it has
// none. The byte at end is then a NUL, so the text of every line is followed by
// CR, LF or NUL, none of which is a base64 character: a decoder can run from
// inside a line without a length.
struct Chunk {
  const char* begin;
  const char* end;
};

struct Line {
  const char* text;
  std::size_t length;  // without the line end (LF, or CR LF)
  bool ended;          // true when an LF followed
};

// Sees every byte the reader takes from the file, in order: the bytes up to
// the size the file had at start() (or up to a Ctrl-Z), which are the bytes
// searched.
class ByteObserver {
 public:
  virtual void bytes_read(const char* data, std::size_t length) = 0;

 protected:
  ~ByteObserver() = default;
};

class LineReader {
 public:
  LineReader();

  // Tells observer of the bytes read from now on; nullptr for nobody.
  void observe(ByteObserver* observer) { observer_ = observer; }

  // Tells from the first bytes of a line (at least 256 KiB of it, no line end
  // yet) whether the caller wants it whole.
  using WantsLongLine = bool (*)(const char* text, std::size_t length);

  // Starts on an open file; the reader does not close it. Long lines that
  // wants_long_line turns down are skipped unread; without it every line
  // arrives.
  void start(PlatformFile file, WantsLongLine wants_long_line = nullptr);

  // The next chunk, valid until the next call. False at the end of the file
  // or on a read error; then failed() tells which. After a read error the
  // incomplete line before it is not handed out.
  bool next_chunk(Chunk& chunk);

  bool failed() const { return failed_; }
  const std::string& reason() const { return reason_; }

 private:
  bool fill();

  std::vector<char> buffer_;  // one byte more than the data, for the NUL after it
  std::size_t begin_ = 0;     // start of the lines not yet handed out
  std::size_t scanned_ = 0;   // bytes from begin_ known to hold no LF
  std::size_t end_ = 0;       // end of the data
  bool at_end_ = false;
  bool failed_ = false;
  bool skipping_ = false;          // dropping a turned-down line up to its LF
  bool grew_ = false;              // the file grew past the size it had at start()
  std::uint64_t remaining_ = 0;    // bytes left of the size at start()
  std::uint64_t start_size_ = 0;
  WantsLongLine wants_long_line_ = nullptr;
  ByteObserver* observer_ = nullptr;
  std::string reason_;
  PlatformFile file_{};
};

// Takes the first line off the front of chunk. False when chunk is empty.
bool take_line(Chunk& chunk, Line& line);

// Where the text of a line that starts at start and ends at the LF at lf
// stops: at the LF, or at a CR right before it.
inline const char* line_text_end(const char* start, const char* lf) {
  return lf > start && lf[-1] == '\r' ? lf - 1 : lf;
}
