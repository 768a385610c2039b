#include "search/line_reader.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t kBlock = 1 << 18;
}

LineReader::LineReader() : buffer_(kBlock + 1) {}

void LineReader::start(PlatformFile file, WantsLongLine wants_long_line) {
  file_ = file;
  begin_ = scanned_ = end_ = 0;
  at_end_ = failed_ = skipping_ = grew_ = false;
  reason_.clear();
  buffer_[0] = '\0';
  wants_long_line_ = wants_long_line;
  // Without a size (pipes, devices, procfs) the file is read to its end.
  if (!platform_file_size(file, start_size_)) start_size_ = UINT64_MAX;
  remaining_ = start_size_;
}

bool LineReader::next_chunk(Chunk& chunk) {
  for (;;) {
    const char* data = buffer_.data();
    // The chunk ends after the last LF; the part after it waits for more data.
    for (std::size_t at = end_; at > begin_ + scanned_; --at) {
      if (data[at - 1] == '\n') {
        chunk = {data + begin_, data + at};
        begin_ = at;
        scanned_ = 0;
        return true;
      }
    }
    scanned_ = end_ - begin_;
    if (at_end_) {
      if (failed_ || grew_ || begin_ == end_) return false;
      chunk = {data + begin_, data + end_};
      begin_ = end_;
      scanned_ = 0;
      return true;
    }
    if (!fill()) return false;
  }
}

// Moves the unread part to the front, grows the buffer when that part fills
// most of it, and reads one more block.
bool LineReader::fill() {
  std::size_t pending = end_ - begin_;
  if (pending >= kBlock && wants_long_line_ && !skipping_ && !wants_long_line_(buffer_.data() + begin_, pending)) {
    skipping_ = true;
    begin_ = end_;
    scanned_ = pending = 0;
  }
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, pending);
    begin_ = 0;
    end_ = pending;
  }
  if (buffer_.size() - 1 - end_ < kBlock / 2) buffer_.resize(buffer_.size() + std::max(pending, kBlock));

  char* to = buffer_.data() + end_;
  const std::size_t room = buffer_.size() - 1 - end_;
  std::ptrdiff_t n = 0;
  if (remaining_ > 0) {
    n = platform_read(file_, to, remaining_ < room ? static_cast<std::size_t>(remaining_) : room, reason_);
    if (n < 0) {
      failed_ = at_end_ = true;
      return false;
    }
    remaining_ -= static_cast<std::uint64_t>(n);
  }
  if (n == 0) {
    at_end_ = true;
    // A last line without its line end in a file that has grown since was
    // still being written.
    std::uint64_t now = 0;
    grew_ = end_ > begin_ && remaining_ == 0 && platform_file_size(file_, now) && now > start_size_;
  } else if (const void* z = std::memchr(to, 0x1A, static_cast<std::size_t>(n))) {
    n = static_cast<const char*>(z) - to;
    at_end_ = true;
  }
  if (observer_ != nullptr && n > 0) observer_->bytes_read(to, static_cast<std::size_t>(n));
  if (skipping_) {
    const void* lf = std::memchr(to, '\n', static_cast<std::size_t>(n));
    if (lf == nullptr) {
      n = 0;  // still inside the skipped line
    } else {
      skipping_ = false;
      begin_ = static_cast<std::size_t>(static_cast<const char*>(lf) + 1 - buffer_.data());
    }
  }
  end_ += static_cast<std::size_t>(n);
  buffer_[end_] = '\0';
  return true;
}

bool take_line(Chunk& chunk, Line& line) {
  if (chunk.begin == chunk.end) return false;
  const std::size_t size = static_cast<std::size_t>(chunk.end - chunk.begin);
  const char* lf = static_cast<const char*>(std::memchr(chunk.begin, '\n', size));
  line.text = chunk.begin;
  line.ended = lf != nullptr;
  line.length = lf ? static_cast<std::size_t>(line_text_end(chunk.begin, lf) - chunk.begin) : size;
  chunk.begin = lf ? lf + 1 : chunk.end;
  return true;
}
