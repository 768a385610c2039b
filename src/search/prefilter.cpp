#include "search/prefilter.h"

#include <algorithm>

#include "search/base64.h"
#include "search/find_bytes.h"

namespace {

// Bit k (from the most significant bit of byte 0) of the string bytes.
unsigned bit(const std::string& bytes, std::size_t k) {
  return (static_cast<unsigned char>(bytes[k / 8]) >> (7 - k % 8)) & 1u;
}
}  // namespace

std::string fixed_base64_run(const std::string& bytes, int r) {
  // With r unknown bytes in front, the string covers bits [8r, 8r + 8L) of
  // the group-aligned bit stream; character j covers bits [6j, 6j + 6).
  const std::size_t from = static_cast<std::size_t>(8 * r);
  const std::size_t to = from + 8 * bytes.size();
  std::string run;
  for (std::size_t j = (from + 5) / 6; 6 * j + 6 <= to; ++j) {
    unsigned value = 0;
    for (std::size_t k = 6 * j; k < 6 * j + 6; ++k) value = value << 1 | bit(bytes, k - from);
    run += kBase64Alphabet[value];
  }
  return run;
}

std::array<std::string, 3> base64_needles(const std::string& text) {
  std::array<std::string, 3> runs;
  std::size_t shortest = std::string::npos;
  for (int r = 0; r < 3; ++r) {
    std::string& run = runs[static_cast<std::size_t>(r)];
    run = fixed_base64_run(text, r);
    shortest = std::min(shortest, run.size());
  }
  for (std::string& run : runs) run.resize(shortest);
  return runs;
}

NeedleStrings needle_strings(const SearchSettings& settings) {
  NeedleStrings out;
  out.all_mode = settings.all_mode;
  for (const std::string& text : settings.search_strings) {
    if (text.empty()) break;
    out.strings.push_back(text);
  }
  return out;
}

Base64Prefilter::Base64Prefilter(const NeedleStrings& strings) : all_mode_(strings.all_mode) {
  for (const std::string& text : strings.strings) {
    StringNeedles needles;
    needles.usable = text.size() >= 3;
    if (needles.usable) needles.run = base64_needles(text);
    slots_.push_back(needles);
  }
  if (slots_.size() == 1 && slots_[0].usable) {
    for (std::size_t r = 0; r < 3; ++r) single_[r] = slots_[0].run[r].data();
  }
}

const char* const* Base64Prefilter::single_string_needles(std::size_t& needle_length) const {
  if (single_[0] == nullptr) return nullptr;
  needle_length = slots_[0].run[0].size();
  return single_;
}

bool Base64Prefilter::may_match(const char* coded, std::size_t length) const {
  return may_match_with(coded, length, &::holds_any_of_three);
}
