#include "search/chunk_needles.h"

#include <algorithm>
#include <cstring>

#include "search/prefilter.h"

ChunkNeedles::ChunkNeedles(const NeedleStrings& needle_strings, const std::string& id_needle) {
  std::vector<const std::string*> strings;
  for (const std::string& text : needle_strings.strings) strings.push_back(&text);
  const auto short_string = [](const std::string* text) { return text->size() < 3; };
  if (needle_strings.all_mode && !strings.empty()) {
    const std::string* longest = nullptr;
    for (const std::string* text : strings) {
      if (!short_string(text) && (longest == nullptr || text->size() > longest->size())) longest = text;
    }
    if (longest != nullptr) {
      add(base64_needles(*longest));
      return;
    }
  } else if (!strings.empty() && std::none_of(strings.begin(), strings.end(), short_string)) {
    // Strings that differ only in part (the case forms of a word) share
    // needles: each distinct needle is looked for once, three of one length
    // to a group.
    std::vector<std::string> needles;
    for (const std::string* text : strings) {
      for (const std::string& needle : base64_needles(*text)) needles.push_back(needle);
    }
    std::sort(needles.begin(), needles.end(), [](const std::string& a, const std::string& b) {
      return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    needles.erase(std::unique(needles.begin(), needles.end()), needles.end());
    std::vector<std::array<std::string, 3>> groups;
    for (std::size_t i = 0; i < needles.size(); ++i) {
      if (groups.empty() || !groups.back()[2].empty() || groups.back()[0].size() != needles[i].size()) {
        groups.emplace_back();
      }
      std::array<std::string, 3>& group = groups.back();
      for (std::string& place : group) {
        if (place.empty()) {
          place = needles[i];
          break;
        }
      }
    }
    if (groups.size() <= kMaxGroups) {
      for (std::array<std::string, 3>& group : groups) {
        // A group not full repeats its last needle.
        if (group[1].empty()) group[1] = group[0];
        if (group[2].empty()) group[2] = group[1];
        add(group);
      }
      return;
    }
  }
  if (!id_needle.empty()) add({id_needle, id_needle, id_needle});
}

void ChunkNeedles::add(const std::array<std::string, 3>& needles) {
  texts_.push_back(needles);
  groups_.clear();  // texts_ may have moved
  for (const auto& texts : texts_) {
    groups_.push_back({{texts[0].c_str(), texts[1].c_str(), texts[2].c_str()}, texts[0].size()});
    longest_ = std::max(longest_, texts[0].size());
    for (const std::string& needle : texts) {
      starts_[static_cast<unsigned char>(needle.front())] = true;
      ends_[static_cast<unsigned char>(needle.back())] = true;
    }
  }
}

bool ChunkNeedles::holds_at(const char* at, std::size_t room) const {
  for (const NeedleGroup& group : groups_) {
    if (group.length > room) continue;
    for (const char* needle : group.needles) {
      if (std::memcmp(at, needle, group.length) == 0) return true;
    }
  }
  return false;
}
