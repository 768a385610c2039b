#include "search/record_fields.h"

namespace {

const std::string_view kMarker = "],msg=";
const std::size_t kTimeLength = 19;

RecordField id_field(std::string_view head, std::string_view label) {
  const std::size_t at = head.find(label);
  if (at == std::string_view::npos) return {};
  const std::size_t start = at + label.size();
  const std::size_t comma = head.find(',', start);
  return {true, head.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start)};
}

}  // namespace

RecordFields read_record_fields(std::string_view head) {
  RecordFields f;
  if (head.size() >= kTimeLength) f.time = {true, head.substr(0, kTimeLength)};
  // The marker's "]" closes the conference name, so a name may hold "]".
  const std::string_view before_marker = head.substr(0, head.size() - kMarker.size());
  const std::size_t open = before_marker.find('[');
  // The ids stand before the name, which may hold any text.
  const std::string_view ids = before_marker.substr(0, open);
  f.from_id = id_field(ids, "from id,");
  f.to_id = id_field(ids, "to id,");
  f.conf_id = id_field(ids, "conf id,");
  if (open != std::string_view::npos) f.room = {true, before_marker.substr(open + 1)};
  return f;
}
