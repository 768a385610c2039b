// Decides whether a decoded message is one the user asked for.
#pragma once

#include <string_view>

#include "settings/settings.h"

// True when message satisfies the search strings of settings. Slots are tried
// from search1 up to the first empty one: all-mode needs every tried string to
// occur, any-mode needs one. Plain byte-wise substring search, case
// significant. With search1 empty every message matches.
bool message_matches(const SearchSettings& settings, std::string_view message);
