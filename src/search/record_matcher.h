// Decides whether a record is one the user asked for: its fields pass the
// record filters (ids, room, time) and its decoded message holds the search
// strings (matcher.h), in any letter case when asked (Unicode simple case
// folding, text/case_fold.h).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "search/record_fields.h"
#include "settings/settings.h"

class RecordMatcher {
 public:
  explicit RecordMatcher(const SearchSettings& settings);

  // Whether the record filters hold. With a time filter, a record whose time
  // stamp does not read as one fails.
  bool fields_match(const RecordFields& fields) const;

  bool message_matches(std::string_view message) const;

 private:
  const SearchSettings& settings_;
  // With ignore_case: the search strings and the room, folded.
  SearchSettings folded_;
  mutable std::string scratch_;  // a folded message or room
};
