#include "search/line_reader.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t kBlock = 1 << 20;
}

LineReader::LineReader() : buffer_(kBlock + 1) {}

void LineReader::start(PlatformFile file) {
  file_ = file;
  begin_ = scanned_ = end_ = 0;
  at_end_ = failed_ = false;
  reason_.clear();
  buffer_[0] = '\0';
}

bool LineReader::next(Line& line) {
  for (;;) {
    char* data = buffer_.data();
    const std::size_t from = begin_ + scanned_;
    const void* lf = std::memchr(data + from, '\n', end_ - from);
    if (lf != nullptr) {
      const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
      line.text = data + begin_;
      line.length = at - begin_;
      if (line.length > 0 && data[at - 1] == '\r') --line.length;
      line.ended = true;
      begin_ = at + 1;
      scanned_ = 0;
      return true;
    }
    scanned_ = end_ - begin_;
    if (at_end_) {
      if (failed_ || begin_ == end_) return false;
      line.text = data + begin_;
      line.length = end_ - begin_;
      line.ended = false;
      begin_ = end_;
      scanned_ = 0;
      return true;
    }
    if (!fill()) return false;
  }
}

// Moves the unread part to the front, grows the buffer when that part fills
// it, and reads one more block.
bool LineReader::fill() {
  const std::size_t pending = end_ - begin_;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, pending);
    begin_ = 0;
    end_ = pending;
  }
  if (buffer_.size() - 1 - end_ < kBlock / 2) buffer_.resize(buffer_.size() + std::max(pending, kBlock));

  char* to = buffer_.data() + end_;
  std::ptrdiff_t n = platform_read(file_, to, buffer_.size() - 1 - end_, reason_);
  if (n < 0) {
    failed_ = at_end_ = true;
    return false;
  }
  if (n == 0) {
    at_end_ = true;
  } else if (const void* z = std::memchr(to, 0x1A, static_cast<std::size_t>(n))) {
    n = static_cast<const char*>(z) - to;
    at_end_ = true;
  }
  end_ += static_cast<std::size_t>(n);
  buffer_[end_] = '\0';
  return true;
}
