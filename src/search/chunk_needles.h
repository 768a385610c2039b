// What the search-first scan looks for across a whole chunk before it looks at
// any line: needles that every line with a record to print must hold, so that
// a line without any of them is passed over unread.
//
//  - One search string of 3 bytes or more, or several in "and" mode: the three
//    base64 needles of the string (prefilter.h) with the longest needles, the
//    one least likely to occur. Its coded message holds one of them.
//  - Several strings in "or" mode, all of 3 bytes or more: the needles of every
//    string, each distinct one once, looked for in the same pass, as long as
//    they fill no more than kMaxGroups groups.
//  - Otherwise, when search_id is set: " id,ID" (whole_id.h), once.
//  - Otherwise there is nothing to look for, and every line start is visited.
//
// A needle holds no LF, CR or NUL unless the id does, so an occurrence within a
// line's text lies wholly within the line.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "search/prefilter.h"
#include "settings/settings.h"

// Three needles of one length (at least 2): the base64 needles of one string,
// three distinct needles of "or" mode's strings (the last repeated in a group
// not full), or the id's needle three times.
struct NeedleGroup {
  const char* needles[3];
  std::size_t length;
};

class ChunkNeedles {
 public:
  // The most groups the chunk search takes; more strings in "or" mode leave
  // nothing to look for.
  static constexpr std::size_t kMaxGroups = kSearchSlots;

  // id_needle is whole_id_needle(settings.search_id), or "" without an id.
  ChunkNeedles(const NeedleStrings& strings, const std::string& id_needle);
  ChunkNeedles(const SearchSettings& settings, const std::string& id_needle)
      : ChunkNeedles(needle_strings(settings), id_needle) {}
  ChunkNeedles(const ChunkNeedles&) = delete;
  ChunkNeedles& operator=(const ChunkNeedles&) = delete;

  // False when there is nothing to look for (see above).
  bool usable() const { return !groups_.empty(); }
  const NeedleGroup* groups() const { return groups_.data(); }
  std::size_t count() const { return groups_.size(); }
  std::size_t longest() const { return longest_; }

  // Whether some needle starts with c.
  bool may_start(char c) const { return starts_[static_cast<unsigned char>(c)]; }
  // With one group: whether one of its needles ends with c.
  bool may_end(char c) const { return ends_[static_cast<unsigned char>(c)]; }

  // Whether a needle starts at at, with room bytes from at to the end of the
  // text.
  bool holds_at(const char* at, std::size_t room) const;

 private:
  void add(const std::array<std::string, 3>& needles);

  std::vector<std::array<std::string, 3>> texts_;
  std::vector<NeedleGroup> groups_;
  std::size_t longest_ = 0;
  bool starts_[256] = {};
  bool ends_[256] = {};
};
