#include "search/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/fixture.h"

namespace {

using namespace std::string_literals;

// Every line the reader gives for the file, with "|" for an LF that ended it.
std::string read_all(const Fixture& f, const std::string& bytes, bool& failed) {
  f.write("log.txt", bytes);
  PlatformFile file{};
  std::string reason;
  EXPECT_EQ(platform_open_for_reading((f.dir() / "log.txt").string(), file, reason), OpenStatus::opened);
  LineReader reader;
  reader.start(file);
  std::string seen;
  Chunk chunk;
  while (reader.next_chunk(chunk)) {
    EXPECT_LT(chunk.begin, chunk.end);
    Line line;
    while (take_line(chunk, line)) {
      seen.append(line.text, line.length);
      // The byte after the text stops a base64 decoder.
      const char after = line.text[line.length];
      EXPECT_TRUE(after == '\r' || after == '\n' || after == '\0');
      seen += line.ended ? "|" : "<no end>";
      EXPECT_TRUE(line.ended || chunk.begin == chunk.end) << "only a chunk's last line may lack its LF";
    }
  }
  failed = reader.failed();
  platform_close(file);
  return seen;
}

struct ReaderCase {
  const char* what;
  std::string bytes;
  std::string lines;
};

const ReaderCase kCases[] = {
    {"empty file", "", ""},
    {"LF", "a\nb\n", "a|b|"},
    {"CR LF", "a\r\nb\r\n", "a|b|"},
    {"lone CR stays", "a\rb\n", "a\rb|"},
    {"only the CR before LF goes", "a\r\r\n", "a\r|"},
    {"last line without end", "a\nb", "a|b<no end>"},
    {"last line ends in CR", "a\r", "a\r<no end>"},
    {"empty lines", "\n\r\n\n", "|||"},
    {"Ctrl-Z ends the file", "a\nb\x1a" "c\nd\n", "a|b<no end>"},
    {"Ctrl-Z at the start", "\x1a" "a\n", ""},
    {"NUL is an ordinary byte", "a\0b\nc\n"s, "a\0b|c|"s},
};

TEST(LineReader, SplitsLikeATextModeReader) {
  Fixture f;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    bool failed = true;
    EXPECT_EQ(read_all(f, c.bytes, failed), c.lines);
    EXPECT_FALSE(failed);
  }
}

// Lines of every length, CR LF pairs that straddle the reader's blocks, and a
// line of several blocks, against a plain split of the same bytes.
TEST(LineReader, LargeFilesReadTheSameAsAPlainSplit) {
  std::mt19937 rng(7);
  std::string bytes;
  while (bytes.size() < (5u << 20)) {
    std::size_t length = rng() % 3 == 0 ? rng() % 5000 : rng() % 200;
    if (rng() % 500 == 0) length = 3u << 20;
    bytes.append(length, static_cast<char>('a' + rng() % 26));
    bytes += rng() % 2 ? "\r\n" : "\n";
  }
  std::string expected;
  std::size_t begin = 0;
  while (begin < bytes.size()) {
    std::size_t lf = bytes.find('\n', begin);
    std::size_t end = (lf > begin && bytes[lf - 1] == '\r') ? lf - 1 : lf;
    expected += bytes.substr(begin, end - begin) + "|";
    begin = lf + 1;
  }
  Fixture f;
  bool failed = true;
  EXPECT_TRUE(read_all(f, bytes, failed) == expected);
  EXPECT_FALSE(failed);
}

TEST(LineReader, ADirectoryIsAReadError) {
  Fixture f;
  PlatformFile file{};
  std::string reason;
  OpenStatus status = platform_open_for_reading(f.dir().string(), file, reason);
  if (status == OpenStatus::failed) {
    EXPECT_FALSE(reason.empty());
    return;  // systems that refuse to open a directory
  }
  ASSERT_EQ(status, OpenStatus::opened);
  LineReader reader;
  reader.start(file);
  Chunk chunk;
  EXPECT_FALSE(reader.next_chunk(chunk));
  EXPECT_TRUE(reader.failed());
  EXPECT_FALSE(reader.reason().empty());
  platform_close(file);
}

}  // namespace

namespace {

// Lines handed out by a reader started on path, after `between` has run.
template <class Between>
std::string read_with(const std::string& path, LineReader::WantsLongLine wants, Between between) {
  PlatformFile file{};
  std::string reason;
  EXPECT_EQ(platform_open_for_reading(path, file, reason), OpenStatus::opened);
  LineReader reader;
  reader.start(file, wants);
  between();
  std::string seen;
  Chunk chunk;
  Line line;
  while (reader.next_chunk(chunk)) {
    while (take_line(chunk, line)) seen += std::string(line.text, line.length) + (line.ended ? "|" : "<no end>");
  }
  EXPECT_FALSE(reader.failed());
  platform_close(file);
  return seen;
}

void append(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "ab");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

TEST(LineReader, AGrowingFileIsReadAsItWasAtTheStart) {
  struct Case {
    const char* what;
    std::string before, appended, lines;
  };
  const Case cases[] = {
      {"appended lines wait", "a\nb\n", "c\n", "a|b|"},
      {"a line being written is left out", "a\nb", "c\n", "a|"},
      {"an unchanged file keeps its last line", "a\nb", "", "a|b<no end>"},
      // A log the server has just created: empty is a size like any other.
      {"an empty file stays empty", "", "one\ntwo wo", ""},
  };
  Fixture f;
  const std::string path = (f.dir() / "log.txt").string();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    f.write("log.txt", c.before);
    EXPECT_EQ(read_with(path, nullptr, [&] { append(path, c.appended); }), c.lines);
  }
}

TEST(LineReader, LongLinesTurnedDownAreSkippedUnread) {
  const std::string huge(3u << 20, 'n');  // several blocks, no record
  const std::string bytes = "first\n" + huge + "\r\nafter\n" + huge;
  Fixture f;
  f.write("log.txt", bytes);
  const std::string path = (f.dir() / "log.txt").string();
  auto no_long_lines = [](const char*, std::size_t) { return false; };
  EXPECT_EQ(read_with(path, no_long_lines, [] {}), "first|after|");
  // Without the test, every line arrives whole.
  EXPECT_TRUE(read_with(path, nullptr, [] {}) == "first|" + huge + "|after|" + huge + "<no end>");
}

}  // namespace
