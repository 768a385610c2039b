// What the base64 prefilter and the chunk search may look for when letter case
// does not count. They compare bytes, so they are given, instead of a search
// string, the ways a part of it can be written: each of its characters in
// each case (every character that folds as it does). A message that holds the
// string in any case holds one of them.
//
// The part is the string's window of whole characters with the fewest bytes
// at least 3 in each of its forms, within a budget of forms, chosen for its
// length. In "and" mode the one string with the longest window is enough; in
// "or" mode every string needs one, and the budget is shared. When a string
// has no such window the search steps aside: no strings, every message may
// match.
#pragma once

#include "search/prefilter.h"
#include "settings/settings.h"

// The forms in all, shared by the strings in "or" mode.
constexpr std::size_t kCaseFormBudget = 16;

// The strings of settings when case counts; otherwise the forms above, in
// "or" mode.
NeedleStrings prefilter_strings(const SearchSettings& settings);
