// UTF-8 validation, decoding and repair, and simple case folding: tables of
// sequences at the edges of validity (overlong forms, surrogates, the end of
// the code space, text cut short), every scalar value through encode and
// decode, folds across scripts and byte lengths, and the checked-in folding
// table against what its generator makes from the installed Unicode data.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "text/case_fold.h"
#include "text/utf8.h"

namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;

bool is_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

std::string encode(char32_t c) {
  std::string out;
  utf8_append(out, c);
  return out;
}

// ---- utf8_sequence_length, utf8_valid

struct SequenceCase {
  const char* what;
  std::string_view bytes;
  std::size_t length;  // of the sequence at bytes[0]; 0 for invalid
};

const SequenceCase kSequences[] = {
    {"ASCII letter", "A", 1},
    {"DEL, the last ASCII", "\x7F", 1},
    {"ASCII, then a stray continuation", "A\x80", 1},
    {"smallest 2-byte, U+0080", "\xC2\x80", 2},
    {"largest 2-byte, U+07FF", "\xDF\xBF", 2},
    {"smallest 3-byte, U+0800", "\xE0\xA0\x80", 3},
    {"hiragana a, U+3042", "\xE3\x81\x82", 3},
    {"last before the surrogates, U+D7FF", "\xED\x9F\xBF", 3},
    {"first after the surrogates, U+E000", "\xEE\x80\x80", 3},
    {"U+FFFF", "\xEF\xBF\xBF", 3},
    {"smallest 4-byte, U+10000", "\xF0\x90\x80\x80", 4},
    {"last code point, U+10FFFF", "\xF4\x8F\xBF\xBF", 4},
    {"overlong NUL C0 80", "\xC0\x80", 0},
    {"overlong C1 BF", "\xC1\xBF", 0},
    {"overlong 3-byte E0 80 80", "\xE0\x80\x80", 0},
    {"overlong 3-byte E0 9F BF", "\xE0\x9F\xBF", 0},
    {"overlong 4-byte F0 8F BF BF", "\xF0\x8F\xBF\xBF", 0},
    {"first surrogate ED A0 80", "\xED\xA0\x80", 0},
    {"last surrogate ED BF BF", "\xED\xBF\xBF", 0},
    {"above U+10FFFF, F4 90 80 80", "\xF4\x90\x80\x80", 0},
    {"truncated E3 81", "\xE3\x81", 0},
    {"E3 81 then ASCII", "\xE3\x81Z", 0},
    {"truncated 4-byte F0 90 80", "\xF0\x90\x80", 0},
    {"2-byte lead alone", "\xC2", 0},
    {"2-byte lead, then ASCII", "\xC2Z", 0},
    {"4-byte, last byte not a continuation", "\xF0\x90\x80\xC0", 0},
    {"lone continuation 80", "\x80", 0},
    {"lone continuation BF", "\xBF", 0},
    {"F5, past the code space", "\xF5\x80\x80\x80", 0},
    {"F8, a 5-byte form", "\xF8\x88\x80\x80\x80", 0},
    {"FE", "\xFE", 0},
    {"FF", "\xFF", 0},
};

TEST(Utf8, SequenceLengthAndValidity) {
  for (const SequenceCase& c : kSequences) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(utf8_sequence_length(c.bytes.data(), c.bytes.data() + c.bytes.size()), c.length);
    // Each case's bytes are valid as a whole exactly when the first sequence
    // spans all of them.
    EXPECT_EQ(utf8_valid(c.bytes), c.length == c.bytes.size());
  }
}

TEST(Utf8, SequenceCutByTheEndIsInvalid) {
  // The rest of the sequence is in memory, past end: it must not be read.
  for (const SequenceCase& c : kSequences) {
    if (c.length < 2) continue;
    SCOPED_TRACE(c.what);
    for (std::size_t end = 1; end < c.length; ++end) {
      EXPECT_EQ(utf8_sequence_length(c.bytes.data(), c.bytes.data() + end), 0u) << "end at " << end;
      EXPECT_FALSE(utf8_valid(c.bytes.substr(0, end))) << "end at " << end;
    }
  }
}

TEST(Utf8, EveryScalarValueEncodesAndDecodes) {
  for (char32_t c = 0; c <= kLastCodePoint; ++c) {
    if (is_surrogate(c)) continue;
    const std::string s = encode(c);
    const std::size_t expected = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    ASSERT_EQ(s.size(), expected) << "U+" << std::hex << static_cast<unsigned long>(c);
    ASSERT_EQ(utf8_sequence_length(s.data(), s.data() + s.size()), expected)
        << "U+" << std::hex << static_cast<unsigned long>(c);
    ASSERT_EQ(utf8_decode(s.data(), s.size()), c) << "U+" << std::hex << static_cast<unsigned long>(c);
  }
}

TEST(Utf8, AppendWritesReplacementForNonScalarValues) {
  for (const char32_t c : {char32_t{0xD800}, char32_t{0xDBFF}, char32_t{0xDC00}, char32_t{0xDFFF}, char32_t{0x110000},
                           char32_t{0xFFFFFFFF}}) {
    std::string out = "x";
    utf8_append(out, c);
    EXPECT_EQ(out, "x\xEF\xBF\xBD") << "value " << std::hex << static_cast<unsigned long>(c);
  }
}

TEST(Utf8, AsciiStretchEndsAtTheFirstHighByte) {
  // Every position within and around the eight-byte steps, for a stray
  // continuation byte (invalid) and for é (valid).
  for (std::size_t at = 0; at <= 20; ++at) {
    SCOPED_TRACE("high byte at " + std::to_string(at));
    const std::string ascii(at, 'a');
    const std::string tail(at % 7, 'z');
    EXPECT_EQ(ascii_prefix_length(ascii), at);
    EXPECT_TRUE(utf8_valid(ascii));
    EXPECT_EQ(ascii_prefix_length(ascii + "\x80" + tail), at);
    EXPECT_FALSE(utf8_valid(ascii + "\x80" + tail));
    EXPECT_EQ(ascii_prefix_length(ascii + "\xC3\xA9" + tail), at);
    EXPECT_TRUE(utf8_valid(ascii + "\xC3\xA9" + tail));
  }
}

// ---- append_utf8_replacing

struct RepairCase {
  const char* what;
  std::string_view bytes;
  std::string_view expected;
};

#define FFFD "\xEF\xBF\xBD"

const RepairCase kRepairs[] = {
    {"empty", "", ""},
    {"ASCII", "plain text", "plain text"},
    {"valid 2, 3 and 4 bytes", "\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80", "\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80"},
    {"FF between letters", "x\xFFy", "x" FFFD "y"},
    {"truncated E3 81: one per byte", "\xE3\x81", FFFD FFFD},
    {"truncated, then ASCII", "\xE3\x81ok", FFFD FFFD "ok"},
    {"overlong C0 80", "\xC0\x80", FFFD FFFD},
    {"surrogate ED A0 80", "\xED\xA0\x80", FFFD FFFD FFFD},
    {"above U+10FFFF", "\xF4\x90\x80\x80", FFFD FFFD FFFD FFFD},
    {"valid, then a stray continuation", "\xE3\x81\x82\x80", "\xE3\x81\x82" FFFD},
    {"invalid after a long ASCII stretch", "0123456789abcdef\xFE", "0123456789abcdef" FFFD},
    {"U+FFFD itself stays one", FFFD, FFFD},
};

TEST(Utf8, AppendReplacing) {
  for (const RepairCase& c : kRepairs) {
    SCOPED_TRACE(c.what);
    std::string out = "kept:";
    append_utf8_replacing(out, c.bytes);
    EXPECT_EQ(out, "kept:" + std::string(c.expected));
    EXPECT_TRUE(utf8_valid(out));
  }
}

// ---- case folding

struct FoldCase {
  const char* what;
  std::string_view text;
  std::string_view expected;
};

const FoldCase kFolds[] = {
    {"empty", "", ""},
    {"ASCII around the capitals", "@AZ[`az{ 09", "@az[`az{ 09"},
    {"ASCII over several eight-byte steps", "THE QUICK BROWN FOX Jumps", "the quick brown fox jumps"},
    {"e acute", u8"CAFÉ Élan élan", u8"café élan élan"},
    {"capital sharp s folds to sharp s, not ss", u8"STRAẞE Straße", u8"straße straße"},
    {"Greek sigma, final sigma", u8"ΣΟΦΟΣ σοφος σοφός", u8"σοφοσ σοφοσ σοφόσ"},
    {"Greek omega and the ohm sign", u8"Ω ω \u2126", u8"ω ω ω"},
    {"Cyrillic", u8"ЖЁЛТЫЙ Жёлтый", u8"жёлтый жёлтый"},
    {"Kelvin sign: three bytes to one", "273 \xE2\x84\xAA", "273 k"},
    {"A with stroke: two bytes to three", "\xC8\xBA", "\xE2\xB1\xA5"},
    {"capital I with dot has no simple folding", "\xC4\xB0 I", "\xC4\xB0 i"},
    {"4-byte: Deseret", "\xF0\x90\x90\x80", "\xF0\x90\x90\xA8"},
    {"already folded", u8"straße σ ж k", u8"straße σ ж k"},
    {"invalid bytes copied unchanged", "A\xFFZ\x80", "a\xFFz\x80"},
    {"overlong and surrogate copied unchanged", "\xC0\x80Q\xED\xA0\x80R", "\xC0\x80q\xED\xA0\x80r"},
    {"truncated E acute at the end", "X\xC3", "x\xC3"},
};

TEST(CaseFold, FoldCase) {
  for (const FoldCase& c : kFolds) {
    SCOPED_TRACE(c.what);
    std::string out = "stale contents";
    fold_case(c.text, out);
    EXPECT_EQ(out, c.expected);
  }
}

struct CodePointCase {
  char32_t c;
  char32_t folded;
};

const CodePointCase kCodePoints[] = {
    {U'A', U'a'},          // first capital
    {U'Z', U'z'},          // last capital
    {U'a', U'a'},          // already folded
    {U'@', U'@'},          // just below A
    {U'[', U'['},          // just above Z
    {0xC9, 0xE9},          // É
    {0xDF, 0xDF},          // ß: its only row is F (to "ss")
    {0x1E9E, 0xDF},        // ẞ: the S row, not the F row
    {0x3A3, 0x3C3},        // Σ
    {0x3C2, 0x3C3},        // ς
    {0x212A, U'k'},        // Kelvin sign
    {0x130, 0x130},        // İ: only F and T rows
    {0x10400, 0x10428},    // Deseret, beyond the BMP
    {0x10FFFF, 0x10FFFF},  // the last code point
    {0x110000, 0x110000},  // not a code point
};

TEST(CaseFold, FoldCodePoint) {
  for (const CodePointCase& c : kCodePoints) {
    EXPECT_EQ(static_cast<unsigned long>(fold_code_point(c.c)), static_cast<unsigned long>(c.folded))
        << "U+" << std::hex << static_cast<unsigned long>(c.c);
  }
}

TEST(CaseFold, FoldingIsIdempotent) {
  // A folded code point folds to itself; otherwise folding the fold of a
  // search string would change it again.
  for (char32_t c = 0; c <= kLastCodePoint; ++c) {
    const char32_t folded = fold_code_point(c);
    ASSERT_EQ(fold_code_point(folded), folded) << "U+" << std::hex << static_cast<unsigned long>(c);
  }
}

struct VariantsCase {
  char32_t c;
  std::vector<char32_t> variants;
};

const VariantsCase kVariants[] = {
    {U'k', {U'K', U'k', 0x212A}},
    {0x212A, {U'K', U'k', 0x212A}},
    {U's', {U'S', U's', 0x17F}},
    {0xDF, {0xDF, 0x1E9E}},
    {0x1E9E, {0xDF, 0x1E9E}},
    {0x3C3, {0x3A3, 0x3C2, 0x3C3}},
    {0x3B8, {0x398, 0x3B8, 0x3D1, 0x3F4}},
    {0x130, {0x130}},
    {U'1', {U'1'}},
};

TEST(CaseFold, CaseVariants) {
  for (const VariantsCase& c : kVariants) {
    const std::vector<char32_t> got = case_variants(c.c);
    EXPECT_EQ(std::vector<unsigned long>(got.begin(), got.end()),
              std::vector<unsigned long>(c.variants.begin(), c.variants.end()))
        << "U+" << std::hex << static_cast<unsigned long>(c.c);
  }
}

// ---- the checked-in table

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The first line at which a and b differ, 1-based, for the failure message.
std::string first_difference(const std::string& a, const std::string& b) {
  std::istringstream in_a(a), in_b(b);
  std::string line_a, line_b;
  for (int number = 1;; ++number) {
    const bool more_a = static_cast<bool>(std::getline(in_a, line_a));
    const bool more_b = static_cast<bool>(std::getline(in_b, line_b));
    if (!more_a && !more_b) return "none by lines";
    if (more_a != more_b || line_a != line_b) {
      return "line " + std::to_string(number) + ": \"" + (more_a ? line_a : "(end)") + "\" vs \"" +
             (more_b ? line_b : "(end)") + "\"";
    }
  }
}

TEST(CaseFoldingTable, IsWhatTheGeneratorMakesNow) {
  const std::string data = "/usr/share/unicode/CaseFolding.txt";
  if (!std::ifstream(data)) {
    GTEST_SKIP() << data << " is not installed (Debian's unicode-data)";
  }
  // Where no python3 runs, as for a Windows build under wine, the check is
  // left to the native build: both compile the same table file.
#ifdef _WIN32
  const char* const quiet = " >NUL 2>&1";
#else
  const char* const quiet = " >/dev/null 2>&1";
#endif
  if (std::system((std::string("python3 --version") + quiet).c_str()) != 0) {
    GTEST_SKIP() << "no python3 to run";
  }

  const std::string source_dir = LOGSIFT_SOURCE_DIR;
  const std::string made = ::testing::TempDir() + "text_test_case_folding_table.inc";
  const std::string command =
      "python3 \"" + source_dir + "/tools/make-case-folding\" \"" + data + "\" --output \"" + made + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::string expected = read_file(made);
  std::remove(made.c_str());
  const std::string checked_in = read_file(source_dir + "/src/text/case_folding_table.inc");
  ASSERT_FALSE(expected.empty());
  EXPECT_TRUE(checked_in == expected) << "src/text/case_folding_table.inc is out of date; first difference at "
                                      << first_difference(checked_in, expected)
                                      << "; regenerate it with tools/make-case-folding";
}

}  // namespace
