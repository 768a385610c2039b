// The record finder's loop, written once over a vector policy, and compiled
// once per instruction set (record_finder.cpp, record_finder_avx2.cpp) so that
// the policy's byte searches inline into it. Internal linkage throughout.
#pragma once

#include <cstring>

#include "search/record_finder.h"
#include "search/simd/byte_searches.h"
#include "search/simd/finders.h"
#include "search/whole_id.h"

namespace {

const char kRecordTag[] = "im_log,from id,";
constexpr std::size_t kTagAt = 20;
constexpr std::size_t kTagLength = sizeof kRecordTag - 1;
// The "l" and "g" of "im_log": rarely two apart in other event lines or in
// base64 text, unlike the tag's first and last bytes.
constexpr std::size_t kTagAnchor1 = 3;
constexpr std::size_t kTagAnchor2 = 5;
const char kMarker[] = "],msg=";
constexpr std::size_t kMarkerLength = sizeof kMarker - 1;

// The line that starts at start, whose tag stands at character 20 (unless an
// LF comes before it): hands it to sink when it is a record, and sets next to
// the start of the line after it. False when the sink stopped the search.
template <class V>
[[gnu::always_inline]] inline bool take_tagged_line(const char* start, const char* end, const RecordFilter& filter,
                                                    const char* const* needles, std::size_t needle_length,
                                                    RecordSink& sink, const char*& next) {
  using Find = Finders<V>;
  const auto search_bytes = [](const char* text, std::size_t length, const char* needle, std::size_t n) {
    return Find::find_bytes(text, length, needle, n);
  };
  const Base64Prefilter* const prefilter = filter.prefilter;
  const char* stop = Find::find_bytes_or_line_end(start, static_cast<std::size_t>(end - start), kMarker, kMarkerLength);
  const char* coded = nullptr;
  bool message_may_match = true;
  if (stop != nullptr && *stop == kMarker[0]) {
    coded = stop + kMarkerLength;
    const std::size_t rest = static_cast<std::size_t>(end - coded);
    stop = needles ? Find::find_line_end_and_any_of_three(coded, rest, needles, needle_length, message_may_match)
                   : Find::find_line_end_or_nul(coded, rest);
  }
  // The text ends at the LF (less a CR right before it) or the first NUL.
  const char* text_end = stop ? stop : end;
  next = stop ? stop + 1 : end;
  if (stop && *stop == '\n') {
    text_end = line_text_end(start, stop);
  } else if (stop) {
    const void* lf = std::memchr(stop, '\n', static_cast<std::size_t>(end - stop));
    next = lf ? static_cast<const char*>(lf) + 1 : end;
  }
  const std::size_t length = static_cast<std::size_t>(text_end - start);
  const bool record = coded && length >= kTagAt + kTagLength &&
                      (filter.id_length == 0 || has_whole_id(start, length, filter.id, filter.id_length, search_bytes));
  if (!record) return true;
  // With a single string the verdict came with the line end.
  if (needles == nullptr && prefilter != nullptr) {
    message_may_match =
        prefilter->may_match_with(coded, static_cast<std::size_t>(text_end - coded), &Find::holds_any_of_three);
  }
  return sink.take({start, length, coded, message_may_match});
}

// Search first: looks across the chunk for the filter's needles
// (chunk_needles.h) and reads only the lines that hold one, the same way as
// the loop over the line starts below; a line without a needle cannot hold a
// record to print. A hit's line starts after the last LF before it.
template <class V>
bool find_records_by_needles(const Chunk& chunk, const RecordFilter& filter, RecordSink& sink) {
  using Find = Finders<V>;
  const ChunkNeedles& chunk_needles = *filter.needles;
  std::size_t needle_length = 0;
  const char* const* needles = filter.prefilter ? filter.prefilter->single_string_needles(needle_length) : nullptr;
  const char* const end = chunk.end;
  const char* from = chunk.begin;  // always a line start
  while (from != end) {
    const char* hit = Find::find_first_needle(from, static_cast<std::size_t>(end - from), chunk_needles);
    if (hit == nullptr) return true;
    const char* start = hit;
    while (start != from && start[-1] != '\n') --start;
    const char* next = nullptr;
    if (static_cast<std::size_t>(end - start) >= kTagAt + kTagLength &&
        std::memcmp(start + kTagAt, kRecordTag, kTagLength) == 0) {
      if (!take_tagged_line<V>(start, end, filter, needles, needle_length, sink, next)) return false;
    } else {
      const void* lf = std::memchr(hit, '\n', static_cast<std::size_t>(end - hit));
      next = lf ? static_cast<const char*>(lf) + 1 : end;
    }
    from = next;
  }
  return true;
}

template <class V>
bool find_records_with(const Chunk& chunk, const RecordFilter& filter, RecordSink& sink) {
  if (filter.needles != nullptr) return find_records_by_needles<V>(chunk, filter, sink);
  using Find = Finders<V>;
  std::size_t needle_length = 0;
  const char* const* needles = filter.prefilter ? filter.prefilter->single_string_needles(needle_length) : nullptr;
  const char* const end = chunk.end;
  const char* from = chunk.begin;
  while (static_cast<std::size_t>(end - from) >= kTagAt + kTagLength) {
    // Where records are dense, the next line is often one: try it first.
    const char* tag = from + kTagAt;
    if (std::memcmp(tag, kRecordTag, kTagLength) != 0) {
      tag = Find::find_bytes_anchored(tag, static_cast<std::size_t>(end - tag), kRecordTag, kTagLength, kTagAnchor1,
                                      kTagAnchor2);
      if (tag == nullptr) return true;
    }
    // The tag counts at character 20 of a line. An LF between start and the
    // tag makes a text too short to be a record, which take_tagged_line
    // checks.
    const char* start = tag - kTagAt;
    if (start != chunk.begin && start[-1] != '\n') {
      from = start + 1;
      continue;
    }
    if (!take_tagged_line<V>(start, end, filter, needles, needle_length, sink, from)) return false;
  }
  return true;
}

template <class V>
constexpr ByteSearches kByteSearches = {
    &Finders<V>::find_bytes,
    &Finders<V>::find_bytes_anchored,
    &Finders<V>::holds_any_of_three,
    &Finders<V>::find_bytes_or_line_end,
    &Finders<V>::find_line_end_and_any_of_three,
    &Finders<V>::find_line_end_or_nul,
};

}  // namespace

// What one instruction set's build gives: the record loop, and its byte
// searches for the tests.
struct LoopBuild {
  FindRecords find_records;
  const ByteSearches* byte_searches;
};

#if defined(LOGSIFT_AVX2_KERNELS)
// In record_finder_avx2.cpp, built for AVX2: to be used only where the
// processor has it.
const LoopBuild& avx2_loop_build();
#endif
