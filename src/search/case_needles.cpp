#include "search/case_needles.h"

#include <cstddef>
#include <string>
#include <vector>

#include "text/case_fold.h"
#include "text/utf8.h"

namespace {

// The shortest form a needle may take: the prefilter has no needle for less.
constexpr std::size_t kShortestForm = 3;

// A character of the string, in each of the ways it may be written.
struct Character {
  std::vector<std::string> forms;
  std::size_t shortest = 0;  // bytes of the shortest form
};

std::vector<Character> characters_of(const std::string& text) {
  std::vector<Character> out;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end) {
    Character c;
    const std::size_t length = utf8_sequence_length(p, end);
    if (length == 0) {
      // A byte that is no UTF-8 has no forms: a window never holds one. Folded
      // text may hold it as part of a character, so that it is not found
      // where it stands in the message.
      ++p;
      out.push_back(c);
      continue;
    }
    for (const char32_t variant : case_variants(utf8_decode(p, length))) {
      std::string form;
      utf8_append(form, variant);
      c.forms.push_back(form);
    }
    p += length;
    c.shortest = c.forms[0].size();
    for (const std::string& form : c.forms) c.shortest = form.size() < c.shortest ? form.size() : c.shortest;
    out.push_back(c);
  }
  return out;
}

// The forms of the best window of text within budget forms; empty when there
// is none.
std::vector<std::string> window_forms(const std::string& text, std::size_t budget) {
  const std::vector<Character> chars = characters_of(text);
  std::size_t best_first = 0, best_end = 0, best_bytes = 0, best_count = 0;
  for (std::size_t first = 0; first < chars.size(); ++first) {
    std::size_t count = 1;
    std::size_t bytes = 0;
    for (std::size_t end = first; end < chars.size(); ++end) {
      if (chars[end].forms.empty()) break;
      count *= chars[end].forms.size();
      if (count > budget) break;
      bytes += chars[end].shortest;
      if (bytes >= kShortestForm && (bytes > best_bytes || (bytes == best_bytes && count < best_count))) {
        best_first = first;
        best_end = end + 1;
        best_bytes = bytes;
        best_count = count;
      }
    }
  }
  std::vector<std::string> forms;
  if (best_bytes == 0) return forms;
  forms.emplace_back();
  for (std::size_t k = best_first; k < best_end; ++k) {
    std::vector<std::string> longer;
    for (const std::string& start : forms) {
      for (const std::string& form : chars[k].forms) longer.push_back(start + form);
    }
    forms.swap(longer);
  }
  return forms;
}

}  // namespace

NeedleStrings prefilter_strings(const SearchSettings& settings) {
  NeedleStrings strings = needle_strings(settings);
  if (!settings.ignore_case || strings.strings.empty()) return strings;
  NeedleStrings forms;
  forms.all_mode = false;
  if (strings.all_mode) {
    // Any one string must occur: take the one whose window is longest.
    std::size_t longest = 0;
    for (const std::string& text : strings.strings) {
      std::vector<std::string> window = window_forms(text, kCaseFormBudget);
      if (!window.empty() && window[0].size() > longest) {
        longest = window[0].size();
        forms.strings = window;
      }
    }
  } else {
    // Every string may be the one that occurs: each needs its own forms.
    const std::size_t budget = kCaseFormBudget / strings.strings.size();
    for (const std::string& text : strings.strings) {
      const std::vector<std::string> window = window_forms(text, budget);
      if (window.empty()) return {};
      forms.strings.insert(forms.strings.end(), window.begin(), window.end());
    }
  }
  return forms;
}
