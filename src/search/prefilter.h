// A quick test on a message that is still base64, so that most records are
// passed over without decoding. It never rules out a message that matches:
// "false" is certain, "true" means the decoded message must be tested.
//
// A search string of L >= 3 bytes that occurs in the decoded message at byte
// offset 3q + r encodes to a fixed run of base64 characters, whatever the
// bytes around it: the characters whose six bits lie wholly inside the string.
// For each of the three values of r that run is a needle; a message can hold
// the string only if its base64 text holds one of the three needles.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "settings/settings.h"

// The strings a prefilter looks for, and whether every one must occur or any
// one.
struct NeedleStrings {
  std::vector<std::string> strings;
  bool all_mode = true;
};

// The strings that the matcher uses: search1 up to the first empty slot.
NeedleStrings needle_strings(const SearchSettings& settings);

class Base64Prefilter {
 public:
  explicit Base64Prefilter(const NeedleStrings& strings);
  explicit Base64Prefilter(const SearchSettings& settings) : Base64Prefilter(needle_strings(settings)) {}

  // False only when no message decoded from coded[0, length) can match.
  bool may_match(const char* coded, std::size_t length) const;

  // The same, with the caller's build of find_bytes.h's holds_any_of_three
  // (the record finder's loops each have their own).
  template <class HoldsAnyOfThree>
  bool may_match_with(const char* coded, std::size_t length, HoldsAnyOfThree holds_any_of_three) const;

  // With exactly one search string of 3 bytes or more, its three base64
  // needles (all of needle_length bytes): a message may match exactly when its
  // base64 text holds one of them, so a caller can look for them during a pass
  // of its own. nullptr otherwise.
  const char* const* single_string_needles(std::size_t& needle_length) const;

 private:
  struct StringNeedles {
    bool usable = false;  // strings shorter than 3 bytes give no needles
    std::array<std::string, 3> run;
  };

  std::vector<StringNeedles> slots_;
  bool all_mode_;
  const char* single_[3] = {nullptr, nullptr, nullptr};
};

template <class HoldsAnyOfThree>
bool Base64Prefilter::may_match_with(const char* coded, std::size_t length, HoldsAnyOfThree holds_any_of_three) const {
  if (slots_.empty()) return true;  // no strings: every message matches
  for (const StringNeedles& slot : slots_) {
    const char* const runs[3] = {slot.run[0].data(), slot.run[1].data(), slot.run[2].data()};
    const bool may_hold = !slot.usable || holds_any_of_three(coded, length, runs, slot.run[0].size());
    if (all_mode_ && !may_hold) return false;
    if (!all_mode_ && may_hold) return true;
  }
  return all_mode_;
}

// The base64 characters that bytes[0, length) encode to when they start at
// byte offset r (0, 1 or 2) of a group of three, whatever the other bytes are.
std::string fixed_base64_run(const std::string& bytes, int r);

// The three needles of text (3 bytes or more): its fixed runs for r = 0, 1
// and 2, cut to one length (a part of a needle is a needle too).
std::array<std::string, 3> base64_needles(const std::string& text);
