// The part of a temporary file's name that differs from call to call.
#pragma once

#include <string>

// Six letters or digits from seed (the clock and the process id, which the
// caller takes from its system) and a counter of the calls, spread by an odd
// multiplier so that every digit changes even where the clock has not moved.
// The exclusive create of the file, not this, keeps names from colliding.
std::string unique_name_part(unsigned long long seed);
