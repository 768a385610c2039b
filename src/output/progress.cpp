#include "output/progress.h"

#include <cinttypes>

namespace {

const char kWithTotal[] = "%s: %.1f of %.1f MB read, %" PRIu64 " matches";
const char kWithoutTotal[] = "%s: %.1f MB read, %" PRIu64 " matches";

constexpr std::chrono::milliseconds kQuietStart(1000);
constexpr std::chrono::milliseconds kRedrawEvery(200);

double megabytes(std::uint64_t bytes) { return static_cast<double>(bytes) / 1e6; }

}  // namespace

ProgressLine::ProgressLine(std::FILE* terminal, std::uint64_t total) : terminal_(terminal), total_(total) {}

void ProgressLine::advanced(std::uint64_t bytes, std::uint64_t matches) {
  read_ += bytes;
  matches_ = matches;
  const auto now = std::chrono::steady_clock::now();
  if (now - started_ < kQuietStart || (shown_ != 0 && now - drawn_ < kRedrawEvery)) return;
  drawn_ = now;
  draw();
}

void ProgressLine::draw() {
  char line[256];
  // A log that grew, or one whose size was not known, reads past the total.
  const int n = total_ != 0 && read_ <= total_
                    ? std::snprintf(line, sizeof line, kWithTotal, file_name_.c_str(), megabytes(read_),
                                    megabytes(total_), matches_)
                    : std::snprintf(line, sizeof line, kWithoutTotal, file_name_.c_str(), megabytes(read_), matches_);
  if (n <= 0) return;
  const std::size_t width = static_cast<std::size_t>(n) < sizeof line ? static_cast<std::size_t>(n) : sizeof line - 1;
  // Blanks over what is left of a longer line before, rather than an escape
  // sequence that not every console knows.
  std::fprintf(terminal_, "\r%s%*s", line, shown_ > width ? static_cast<int>(shown_ - width) : 0, "");
  std::fflush(terminal_);
  shown_ = width > shown_ ? width : shown_;
}

void ProgressLine::erase() {
  if (shown_ == 0) return;
  std::fprintf(terminal_, "\r%*s\r", static_cast<int>(shown_), "");
  std::fflush(terminal_);
  shown_ = 0;
}
