#include "text/case_fold.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "text/utf8.h"

namespace {

struct Folding {
  char32_t from;
  char32_t to;
};

constexpr Folding kFoldings[] = {
#include "text/case_folding_table.inc"
};

// The lookup below is a binary search, so the table must be sorted by from
// with no code point twice; checked here so that a bad table cannot build.
constexpr bool strictly_sorted() {
  for (std::size_t i = 1; i < std::size(kFoldings); ++i) {
    if (!(kFoldings[i - 1].from < kFoldings[i].from)) return false;
  }
  return true;
}
static_assert(strictly_sorted(), "case_folding_table.inc must be sorted by from, each code point once");

inline char fold_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

char32_t fold_code_point(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
  const Folding* const end = std::end(kFoldings);
  const Folding* const found =
      std::lower_bound(std::begin(kFoldings), end, c, [](const Folding& f, char32_t v) { return f.from < v; });
  return found != end && found->from == c ? found->to : c;
}

void fold_case(std::string_view text, std::string& out) {
  out.clear();
  out.reserve(text.size());
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end) {
    // ASCII goes through by the stretch, lowered in place.
    const std::size_t ascii = ascii_prefix_length(std::string_view(p, static_cast<std::size_t>(end - p)));
    if (ascii != 0) {
      const std::size_t at = out.size();
      out.append(p, ascii);
      for (std::size_t i = at; i < out.size(); ++i) out[i] = fold_ascii(out[i]);
      p += ascii;
      continue;
    }
    const std::size_t length = utf8_sequence_length(p, end);
    if (length == 0) {
      out.push_back(*p++);
      continue;
    }
    utf8_append(out, fold_code_point(utf8_decode(p, length)));
    p += length;
  }
}

std::vector<char32_t> case_variants(char32_t c) {
  const char32_t folded = fold_code_point(c);
  // Folding is idempotent, so the folded form is one of the variants; the
  // others are the code points the table sends to it.
  std::vector<char32_t> variants = {folded};
  for (const Folding& f : kFoldings) {
    if (f.to == folded) variants.push_back(f.from);
  }
  std::sort(variants.begin(), variants.end());
  return variants;
}
