// SHA-256 through the system's crypto: the FIPS 180 examples, any split of the
// same bytes, and a hash object used again after its digest.
#include "platform/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace {

// Feeds text in pieces of the given sizes, taken in turn and again from the
// first when the list runs out; the last piece is what remains.
std::string digest_in_pieces(const std::string& text, const std::vector<std::size_t>& sizes) {
  Sha256 hash;
  std::size_t at = 0;
  for (std::size_t i = 0; at < text.size(); ++i) {
    const std::size_t piece = std::min(sizes[i % sizes.size()], text.size() - at);
    hash.update(text.data() + at, piece);
    at += piece;
  }
  return hash.hex_digest();
}

TEST(Sha256, Fips180Examples) {
  const struct {
    const char* what;
    std::string text;
    std::vector<std::size_t> pieces;
    const char* digest;
  } cases[] = {
      {"empty", "", {1}, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "abc", {3}, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"448 bits",
       "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       {56},
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"896 bits",
       "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmno"
       "ijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
       {112},
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {"a million a, in uneven pieces",
       std::string(1000000, 'a'),
       {1, 3, 55, 64, 1000, 4093, 65536, 7},
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(digest_in_pieces(c.text, c.pieces), c.digest);
  }
}

TEST(Sha256, SameDigestHoweverTheBytesAreSplit) {
  // Every byte value, NUL and those above 0x7F included, over several blocks.
  std::string text;
  for (int i = 0; i < 1000; ++i) text += static_cast<char>((i * 131 + 7) & 0xFF);
  Sha256 whole;
  whole.update(text.data(), text.size());
  const std::string expected = whole.hex_digest();
  const std::vector<std::size_t> splits[] = {{1}, {63}, {64}, {65}, {0, 1, 0, 128, 200}};
  for (const auto& pieces : splits) {
    SCOPED_TRACE(::testing::PrintToString(pieces));
    EXPECT_EQ(digest_in_pieces(text, pieces), expected);
  }
}

TEST(Sha256, EachDigestEndsItsHashAndANewOneStarts) {
  Sha256 hash;
  hash.update("abc", 3);
  EXPECT_EQ(hash.hex_digest(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(hash.hex_digest(), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  hash.update(nullptr, 0);
  hash.update("ab", 2);
  hash.update("c", 1);
  EXPECT_EQ(hash.hex_digest(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
