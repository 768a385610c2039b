// What the scan hands on for each record it found, and the interface of
// whatever writes the records in some form (output/result_writer.h).
#pragma once

#include <cstdint>
#include <string_view>

#include "search/record_fields.h"
#include "settings/settings.h"

struct FoundRecord {
  std::string_view head;     // the line's text up to and with the marker "],msg="
  std::string_view message;  // decoded, up to its first NUL
  // These two are given only to a writer that needs them (empty otherwise).
  std::string_view coded;    // the message's base64 text as found, "=" padding included
  const RecordFields& fields;
  std::string_view file_name;  // the month log's name
  // False for a record printed as the context of a match.
  bool match = true;
};

class ResultWriter {
 public:
  virtual ~ResultWriter() = default;
  // Whether record() reads the fields and the coded text; the text form does
  // not, and a search that prints many records is spared finding them.
  virtual bool needs_fields() const { return true; }
  // Before the first month: a header, in the forms that have one.
  virtual void start() {}
  virtual void record(const FoundRecord& record) = 0;
  // After each month of the range; exists is false for a month whose log is
  // not there.
  virtual void month_done(const Month& month, bool exists, std::uint64_t matches) {
    (void)month, (void)exists, (void)matches;
  }
  // After the last month.
  virtual void finish() {}
};
