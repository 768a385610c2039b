// Byte-string search for the scan's hot path. Plain bytes, case significant,
// NUL an ordinary byte. These are the searches of simd/finders.h built with
// the build's default policy: SSE2 where the compiler targets it (every x86-64
// build), the plain memchr loops elsewhere (the 32-bit Windows build). Every
// policy gives the same answers. No search reads outside text[0, length).
#pragma once

#include <cstddef>

// First occurrence of needle[0, needle_length) in text[0, length), or nullptr.
// An empty needle is found at text.
const char* find_bytes(const char* text, std::size_t length, const char* needle, std::size_t needle_length);

// The same, with the two bytes that select candidates chosen by the caller:
// needle[first] and needle[second], first < second < needle_length. Picking
// bytes that are rare together in the text saves most of the comparisons.
const char* find_bytes_anchored(const char* text, std::size_t length, const char* needle, std::size_t needle_length,
                                std::size_t first, std::size_t second);

// True when any of the three needles, all of length needle_length (at least
// 2), occurs in text[0, length). One pass for the three.
bool holds_any_of_three(const char* text, std::size_t length, const char* const needles[3], std::size_t needle_length);

// Whichever comes first in text[0, length): the first occurrence of needle (at
// least 2 bytes, holding no LF or NUL), or the first LF or NUL. nullptr when
// there is neither.
const char* find_bytes_or_line_end(const char* text, std::size_t length, const char* needle, std::size_t needle_length);

// First LF or NUL in text[0, length), or nullptr; needle_before_end tells
// whether any of the three needles (as for holds_any_of_three, holding no LF or
// NUL) occurs before it (before length when there is none). One pass for both.
const char* find_line_end_and_any_of_three(const char* text, std::size_t length, const char* const needles[3],
                                           std::size_t needle_length, bool& needle_before_end);

// First LF or NUL in text[0, length), or nullptr.
const char* find_line_end_or_nul(const char* text, std::size_t length);
