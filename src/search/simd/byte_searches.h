// The byte searches of find_bytes.h as each scan loop is built with them, one
// table per loop, so that tests can hold every build of them against a plain
// search. The scan itself does not go through these tables: each loop has its
// searches inline.
#pragma once

#include <cstddef>

#include "search/scan_loop.h"

struct ByteSearches {
  const char* (*find_bytes)(const char* text, std::size_t length, const char* needle, std::size_t needle_length);
  const char* (*find_bytes_anchored)(const char* text, std::size_t length, const char* needle,
                                     std::size_t needle_length, std::size_t first, std::size_t second);
  bool (*holds_any_of_three)(const char* text, std::size_t length, const char* const needles[3],
                             std::size_t needle_length);
  const char* (*find_bytes_or_line_end)(const char* text, std::size_t length, const char* needle,
                                        std::size_t needle_length);
  const char* (*find_line_end_and_any_of_three)(const char* text, std::size_t length, const char* const needles[3],
                                                std::size_t needle_length, bool& needle_before_end);
  const char* (*find_line_end_or_nul)(const char* text, std::size_t length);
};

// The searches that loop is built with, or nullptr when this build or this
// processor lacks the loop.
const ByteSearches* byte_searches(ScanLoop loop);
