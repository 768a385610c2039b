// The fields of a record line that the filters and the data formats use. The
// head is the line's text up to its message: the time stamp, the tag, the
// ids, the conference name and the marker "],msg=".
//
//  - time: the first 19 characters;
//  - from_id, to_id, conf_id: the text after the first "from id," ("to id,",
//    "conf id,") before the conference name, up to the next comma;
//  - room: the conference name, from the first "[" up to the marker's "]".
#pragma once

#include <string_view>

struct RecordField {
  bool present = false;
  std::string_view text;
};

struct RecordFields {
  RecordField time;
  RecordField from_id;
  RecordField to_id;
  RecordField conf_id;
  RecordField room;
};

// head ends with the marker "],msg=".
RecordFields read_record_fields(std::string_view head);
