// The search done the plainest way, as a yardstick for the real scan: whole
// file in memory, one line at a time, std::string throughout.
#pragma once

#include <string>
#include <vector>

struct ReferenceSettings {
  std::vector<std::string> search;  // slots 1..9; "" for an empty slot
  bool all_mode = true;
  std::string search_id;            // "" for none
};

// The leading run of base64 characters of coded, decoded: six bits each, cut
// into bytes, the bits that do not fill a byte dropped.
std::string reference_decode(const std::string& coded);

// What the program prints for one month file's bytes (results only, without
// the announcement).
std::string reference_search(const std::string& file, const ReferenceSettings& settings);
