#include "search/record_matcher.h"

#include "search/matcher.h"
#include "text/case_fold.h"

namespace {

bool field_equals(const RecordField& field, const std::string& wanted) {
  return wanted.empty() || (field.present && field.text == wanted);
}

}  // namespace

RecordMatcher::RecordMatcher(const SearchSettings& settings) : settings_(settings), folded_(settings) {
  if (!settings.ignore_case) return;
  for (std::string& text : folded_.search_strings) {
    std::string folded;
    fold_case(text, folded);
    text = folded;
  }
  std::string room;
  fold_case(settings.room, room);
  folded_.room = room;
}

bool RecordMatcher::fields_match(const RecordFields& fields) const {
  if (!field_equals(fields.from_id, settings_.from_id) || !field_equals(fields.to_id, settings_.to_id) ||
      !field_equals(fields.conf_id, settings_.conf_id)) {
    return false;
  }
  if (!settings_.room.empty()) {
    if (!fields.room.present) return false;
    std::string_view room = fields.room.text;
    if (settings_.ignore_case) {
      fold_case(room, scratch_);
      room = scratch_;
    }
    if (room.find(folded_.room) == std::string_view::npos) return false;
  }
  if (!settings_.since.empty() || !settings_.until.empty()) {
    TimeKey key = 0;
    if (!fields.time.present || !read_time_stamp(fields.time.text.data(), fields.time.text.size(), key)) {
      return false;
    }
    if (key < settings_.since_key || key > settings_.until_key) return false;
  }
  return true;
}

bool RecordMatcher::message_matches(std::string_view message) const {
  if (!settings_.ignore_case) return ::message_matches(settings_, message);
  fold_case(message, scratch_);
  return ::message_matches(folded_, scratch_);
}
