// Text made safe for the data formats. Both give valid UTF-8: each byte that
// is not part of a valid UTF-8 sequence becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

// A JSON string, quotes included: '"', '\' and the control characters below
// 0x20 escaped.
void append_json_string(std::string& out, std::string_view text);

// A CSV field (RFC 4180): quoted, with its quotes doubled, when it holds a
// comma, a quote, CR or LF; as it is otherwise. Line ends inside it stay.
void append_csv_field(std::string& out, std::string_view text);
