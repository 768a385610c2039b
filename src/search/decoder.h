// Base64 message text to bytes (standard alphabet of RFC 4648). Lenient:
// decodes the longest run of alphabet characters at the start of its input
// and stops at the first other byte ('=', CR, LF, NUL, ...). Never fails.
#pragma once

#include <cstddef>

// The number of alphabet characters at the start of coded: the text that
// decode_base64 decodes.
std::size_t base64_run_length(const char* coded);

// Decodes coded into plain, writes a NUL right after the decoded bytes and
// returns their number (the NUL not counted; a number above INT_MAX is given
// as INT_MAX, the bytes are all written). For n alphabet characters it
// writes 3 * (n / 4) + (0, 0, 1, 2 for n % 4 = 0..3) bytes and the NUL, so a
// buffer of 3 * (n + 3) / 4 + 1 bytes always suffices. A group's spare low
// bits are ignored. Decoded NUL bytes are written and counted like any other.
int decode_base64(char* plain, const char* coded);

// The scan's form: decodes coded into plain and stores the count in *length.
void decode_message(const char* coded, char* plain, int* length);
