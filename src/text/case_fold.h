// Unicode simple case folding (the C and S rows of CaseFolding.txt, one code
// point to one) over UTF-8, for matching text without regard to case: two
// strings match case-insensitively when their foldings are equal. The data is
// built in (case_folding_table.inc, whose first lines name its Unicode
// version), so every build folds alike. Neither full folding (ß to "ss") nor
// the Turkic rows apply: İ (U+0130) folds to itself, ß and ẞ both to ß.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The simple case folding of c; c itself where Unicode lists none (so also
// for a value that is not a code point).
char32_t fold_code_point(char32_t c);

// Sets out to text with every valid UTF-8 character replaced by its folding.
// Bytes that are not valid UTF-8 are copied unchanged, so they match only
// themselves. The result may be longer or shorter than text (K, the Kelvin
// sign U+212A, takes three bytes and its folding k one). text must not view
// out's own storage.
void fold_case(std::string_view text, std::string& out);

// Every code point d that folds as c does (fold_code_point(d) ==
// fold_code_point(c)), c included, in increasing order: for 'k' that is K, k
// and U+212A. Scans the whole table, so it suits preparing a search, not the
// search itself.
std::vector<char32_t> case_variants(char32_t c);
