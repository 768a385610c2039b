#include "search/decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace std::string_literals;

struct DecodeCase {
  const char* what;
  std::string coded;
  std::string plain;  // every decoded byte, NULs included
};

const DecodeCase kCases[] = {
    {"empty", "", ""},
    {"starts with =", "=QUJD", ""},
    {"starts with a newline", "\nQUJD", ""},
    {"not base64 at all", "*** hello ***", ""},
    {"one character gives nothing", "Q", ""},
    {"two characters give one byte", "QQ", "A"},
    {"three characters give two bytes", "QUI", "AB"},
    {"a whole group of four", "QUJD", "ABC"},
    {"seven characters and =", "SGVsbG8=", "Hello"},
    {"the same without =", "SGVsbG8", "Hello"},
    {"padding ==", "SGVsbA==", "Hell"},
    {"stops at a newline after four", "QUJD\nREVG", "ABC"},
    {"stops at CR", "QUJDRA\r\n", "ABCD"},
    {"stops at a blank", "QUJD REVG", "ABC"},
    {"stops at NUL", "QUJD\0REVG"s, "ABC"},
    {"stray byte midway", "QUJDR*VG", "ABC"},
    {"spare low bits ignored", "QR", "A"},
    {"eight bits per byte", "////", "\xff\xff\xff"},
    {"plus and slash", "+/+/", "\xfb\xff\xbf"},
    {"a NUL inside the message", "AGI=", "\0b"s},
    {"UTF-8 text", "5pel5pys6Kqe", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"},
};

TEST(Decoder, DecodesTheLeadingAlphabetRun) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    // The coded text is followed by a NUL, as the scan guarantees; the output
    // buffer is sized by the decoder's contract and fenced to catch overruns.
    const std::size_t n = c.coded.size();
    std::string out(3 * ((n + 3) / 4) + 1 + 8, '\x55');
    int count = decode_base64(&out[0], c.coded.c_str());
    ASSERT_EQ(count, static_cast<int>(c.plain.size()));
    EXPECT_EQ(out.substr(0, static_cast<std::size_t>(count)), c.plain);
    EXPECT_EQ(out[static_cast<std::size_t>(count)], '\0');
    EXPECT_EQ(out.substr(3 * ((n + 3) / 4) + 1), std::string(8, '\x55'));

    int length = -1;
    std::string again(out.size(), '\x55');
    decode_message(c.coded.c_str(), &again[0], &length);
    EXPECT_EQ(length, count);
    EXPECT_EQ(again.substr(0, static_cast<std::size_t>(count) + 1), out.substr(0, static_cast<std::size_t>(count) + 1));
  }
}

TEST(Decoder, CountMatchesTheBytesWrittenForEveryLength) {
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (std::size_t n = 0; n <= 64; ++n) {
    SCOPED_TRACE(n);
    std::string coded = alphabet.substr(0, n);
    std::string out(3 * ((n + 3) / 4) + 1 + 4, '\x55');
    int count = decode_base64(&out[0], coded.c_str());
    EXPECT_EQ(count, static_cast<int>(n / 4 * 3 + (n % 4 == 0 ? 0 : n % 4 - 1)));
    EXPECT_EQ(out[static_cast<std::size_t>(count)], '\0');
    EXPECT_EQ(out.substr(out.size() - 4), std::string(4, '\x55'));
  }
}

}  // namespace
