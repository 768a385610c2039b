// Reads a month log as text, the same way on every system, so that both
// builds see the same lines:
//  - a line ends at LF; the LF is not part of the line, and a CR right before
//    it is dropped too (logs written on Windows end lines with CR LF). A CR
//    anywhere else stays.
//  - a Ctrl-Z byte (0x1A) ends the file: nothing after it is read.
//  - the last line needs no line end; an empty file has no lines.
//  - lines of any length arrive whole. The buffer grows with the longest line
//    and with nothing else; nothing is allocated per line.
// The byte right after every line's text is CR, LF or NUL, none of which is a
// base64 character, so a decoder can run from inside a line without a length.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"

struct Line {
  const char* text;
  std::size_t length;  // without the line end
  bool ended;          // true when an LF followed
};

class LineReader {
 public:
  LineReader();

  // Starts on an open file; the reader does not close it.
  void start(PlatformFile file);

  // The next line, valid until the next call. False at the end of the file or
  // on a read error; then failed() tells which.
  bool next(Line& line);

  bool failed() const { return failed_; }
  const std::string& reason() const { return reason_; }

 private:
  bool fill();

  std::vector<char> buffer_;  // one byte more than the data, for the NUL after it
  std::size_t begin_ = 0;     // start of the unread lines
  std::size_t scanned_ = 0;   // bytes from begin_ known to hold no LF
  std::size_t end_ = 0;       // end of the data
  bool at_end_ = false;
  bool failed_ = false;
  std::string reason_;
  PlatformFile file_{};
};
