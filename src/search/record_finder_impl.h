// The record finder's loop, written once over a set of search functions, and
// compiled once per instruction set (record_finder.cpp, record_finder_avx2.cpp)
// so that the vector kernels inline into it. Internal linkage throughout.
#pragma once

#include <cstring>

#include "search/find_bytes.h"
#include "search/find_kernels.h"
#include "search/record_finder.h"
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

// The search functions as find_bytes.h has them.
struct PlainFinders {
  static const char* bytes(const char* text, std::size_t length, const char* needle, std::size_t needle_length) {
    return find_bytes(text, length, needle, needle_length);
  }
  static const char* tag(const char* text, std::size_t length) {
    return find_bytes_anchored(text, length, kRecordTag, kTagLength, kTagAnchor1, kTagAnchor2);
  }
  static const char* marker_or_end(const char* text, std::size_t length) {
    return find_bytes_or_line_end(text, length, kMarker, kMarkerLength);
  }
  static const char* end(const char* text, std::size_t length) { return find_line_end_or_nul(text, length); }
  static const char* end_noting(const char* text, std::size_t length, const char* const* needles,
                                std::size_t needle_length, bool& seen) {
    return find_line_end_noting(text, length, needles, needle_length, seen);
  }
};

// The same, with the vector kernels of V inline; what is left after the
// whole vectors goes to the plain functions.
template <class V>
struct VectorFinders {
  static const char* bytes(const char* text, std::size_t length, const char* needle, std::size_t needle_length) {
    if (needle_length < 2 || length < needle_length) return PlainFinders::bytes(text, length, needle, needle_length);
    const char* found = nullptr;
    const std::size_t i =
        anchored_kernel<V>(text, length, needle, needle_length, 0, needle_length - 1, &found);
    return found ? found : PlainFinders::bytes(text + i, length - i, needle, needle_length);
  }
  static const char* tag(const char* text, std::size_t length) {
    const char* found = nullptr;
    const std::size_t i =
        anchored_kernel<V>(text, length, kRecordTag, kTagLength, kTagAnchor1, kTagAnchor2, &found);
    return found ? found : PlainFinders::tag(text + i, length - i);
  }
  static const char* marker_or_end(const char* text, std::size_t length) {
    const char* found = nullptr;
    const std::size_t i = needle_or_line_end_kernel<V>(text, length, kMarker, kMarkerLength, &found);
    return found ? found : PlainFinders::marker_or_end(text + i, length - i);
  }
  static const char* end(const char* text, std::size_t length) {
    const char* found = nullptr;
    const std::size_t i = line_end_kernel<V>(text, length, &found);
    return found ? found : PlainFinders::end(text + i, length - i);
  }
  static const char* end_noting(const char* text, std::size_t length, const char* const* needles,
                                std::size_t needle_length, bool& seen) {
    const char* found = nullptr;
    seen = false;
    const std::size_t i = line_end_noting_kernel<V>(text, length, needles, needle_length, &seen, &found);
    if (found) return found;
    // Needles that start in the whole vectors were compared there.
    if (seen) return PlainFinders::end(text + i, length - i);
    return PlainFinders::end_noting(text + i, length - i, needles, needle_length, seen);
  }
};

template <class Finders>
bool find_records_with(const Chunk& chunk, const RecordFilter& filter, RecordSink& sink) {
  const auto search_bytes = [](const char* text, std::size_t length, const char* needle, std::size_t needle_length) {
    return Finders::bytes(text, length, needle, needle_length);
  };
  const char* const* needles = filter.needles;
  const std::size_t needle_length = filter.needle_length;
  const char* const end = chunk.end;
  const char* from = chunk.begin;
  while (static_cast<std::size_t>(end - from) >= kTagAt + kTagLength) {
    // Where records are dense, the next line is often one: try it first.
    const char* tag = from + kTagAt;
    if (std::memcmp(tag, kRecordTag, kTagLength) != 0) {
      tag = Finders::tag(tag, static_cast<std::size_t>(end - tag));
      if (tag == nullptr) return true;
    }
    // The tag counts at character 20 of a line. An LF between start and the
    // tag makes a text too short to be a record, which is checked below.
    const char* start = tag - kTagAt;
    if (start != chunk.begin && start[-1] != '\n') {
      from = start + 1;
      continue;
    }
    const char* stop = Finders::marker_or_end(start, static_cast<std::size_t>(end - start));
    const char* coded = nullptr;
    bool maybe = true;
    if (stop != nullptr && *stop == kMarker[0]) {
      coded = stop + kMarkerLength;
      const std::size_t rest = static_cast<std::size_t>(end - coded);
      stop = needles ? Finders::end_noting(coded, rest, needles, needle_length, maybe) : Finders::end(coded, rest);
    }
    // The text ends at the LF (less a CR right before it) or the first NUL.
    const char* text_end = stop ? stop : end;
    const char* next = stop ? stop + 1 : end;
    if (stop && *stop == '\n') {
      text_end = line_text_end(start, stop);
    } else if (stop) {
      const void* lf = std::memchr(stop, '\n', static_cast<std::size_t>(end - stop));
      next = lf ? static_cast<const char*>(lf) + 1 : end;
    }
    const std::size_t length = static_cast<std::size_t>(text_end - start);
    const bool record = coded && length >= kTagAt + kTagLength &&
                        (filter.id_length == 0 || has_whole_id(start, length, filter.id, filter.id_length, search_bytes));
    if (record && !sink.take({start, length, coded, maybe})) return false;
    from = next;
  }
  return true;
}

}  // namespace
