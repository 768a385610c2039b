// The id rule. With search_id ID, a record is kept when its line holds
// " id,ID" (a blank, "id", a comma and the id: after "from id,", "to id,",
// "conf id," or any other field whose name ends in a blank and "id") as a
// whole id. When ID ends in an ASCII letter or digit, an occurrence followed by
// an ASCII letter or digit is part of a longer id and does not count: 12 finds
// "from id,12," but not "from id,123". An ID ending in any other byte is found
// as plain text wherever it occurs.
#pragma once

#include <cstddef>
#include <string>

// What a line must hold for id: " id," and the id.
inline std::string whole_id_needle(const std::string& id) { return " id," + id; }

inline bool is_ascii_alnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// True when text[0, length) holds needle (from whole_id_needle) as a whole id.
// find is a byte search: find(text, length, needle, needle_length) gives the
// first occurrence or nullptr.
template <class Find>
bool has_whole_id(const char* text, std::size_t length, const char* needle, std::size_t needle_length, Find find) {
  const bool whole = is_ascii_alnum(needle[needle_length - 1]);
  const char* const end = text + length;
  for (const char* at = text; at < end;) {
    const char* found = find(at, static_cast<std::size_t>(end - at), needle, needle_length);
    if (found == nullptr) return false;
    const char* after = found + needle_length;
    if (!whole || after == end || !is_ascii_alnum(*after)) return true;
    at = found + 1;
  }
  return false;
}
