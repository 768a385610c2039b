// Strict UTF-8: the sequences of RFC 3629, so no overlong forms, no surrogates
// (U+D800 to U+DFFF) and nothing above U+10FFFF. A byte that does not start a
// valid sequence, or a sequence cut short by the end of the text, is invalid;
// callers decide what an invalid byte stands for (itself, or U+FFFD). No
// function here reads outside the text it is given.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The length (1 to 4) of the valid sequence that starts at p, or 0 when the
// byte at p does not start one within [p, end). Requires p < end.
std::size_t utf8_sequence_length(const char* p, const char* end);

// The code point of the sequence p[0, length), which utf8_sequence_length has
// found valid and of that length.
char32_t utf8_decode(const char* p, std::size_t length);

// Appends c's sequence to out. A value that is not a Unicode scalar value (a
// surrogate, or above U+10FFFF) is appended as U+FFFD, so that out stays valid.
void utf8_append(std::string& out, char32_t c);

// The number of leading bytes of text below 0x80: the stretch that every
// reader here can take as it is, skipped eight bytes at a time.
std::size_t ascii_prefix_length(std::string_view text);

// True when all of text is valid UTF-8 (the empty text is).
bool utf8_valid(std::string_view text);

// Appends bytes to out, with each byte that is not part of a valid sequence
// replaced by U+FFFD (EF BF BD): one replacement for each such byte, so a
// sequence cut short after two bytes gives two.
void append_utf8_replacing(std::string& out, std::string_view bytes);
