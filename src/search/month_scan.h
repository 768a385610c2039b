// The search proper: walks the month logs of the range and prints every
// instant-message record whose decoded message matches.
//
// A record line, as the scan relies on it:
//  - from character 20, exactly "im_log,from id,";
//  - the first "],msg=" in the line is the message marker, and the base64
//    message text follows it up to the first non-base64 byte;
//  - when search_id is set, the line holds it by the id rule (whole_id.h).
// A line's text ends at its first NUL byte, and a message at its first NUL.
// Each match goes to the writer, in file order and month order; in text, as
// the line cut right after its marker, the decoded message, and a newline.
// The record filters (ids, room, time) are tested before the message is
// decoded.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "search/found_record.h"
#include "search/scan_loop.h"
#include "settings/settings.h"

// Told how a search advances, to show it to a waiting user.
class ScanProgress {
 public:
  // A month log is opened, and its size taken: what it grows by is not read.
  virtual void log_started(const std::string& file_name) = 0;
  // bytes more of it were read; matches so far in all months.
  virtual void advanced(std::uint64_t bytes, std::uint64_t matches) = 0;
  // Something is about to be written (a result or a message).
  virtual void before_output() = 0;

 protected:
  ~ScanProgress() = default;
};

// What a search did with one month log of its range, for the record of it.
struct LogAudit {
  std::string name;            // the log's file name
  bool exists = false;         // false: there was no such file
  std::uint64_t bytes = 0;     // the bytes searched (read up to the size at the open)
  std::string sha256;          // of those bytes, hex
  std::uint64_t records = 0;   // record lines
  std::uint64_t matches = 0;
  std::string cannot_read;     // why it could not be read (whole); empty when it was
};

// Where the results go, and where a month that cannot be read is told of.
struct ScanOutput {
  std::FILE* results;    // checked for a write error after each record
  ResultWriter* writer;  // writes the results, to results, in some form
  // Called for a month log that exists but cannot be read, with the reason.
  void (*cannot_read)(const std::string& path, const std::string& reason);
  ScanProgress* progress = nullptr;  // nullptr: nobody is told
  // When given, one entry is added for each month searched, in order; the
  // search then hashes what it reads and counts every record line.
  std::vector<LogAudit>* audit = nullptr;
};

// One search: the folder of the logs, what to look for, and where to put it.
struct ScanTask {
  std::string directory;
  SearchSettings settings;
  ScanOutput output;
  // The build of the scan's loop (scan_loop.h); one that record_finder() does
  // not have makes the scan throw std::invalid_argument.
  ScanLoop loop = ScanLoop::fastest;
  // How the loop finds the lines it reads (scan_loop.h).
  ScanPath path = ScanPath::fastest;
};

// Searches the months from task.settings.start to task.settings.end. A
// missing month is passed over silently (the writer is told of it). The walk stops early when the results
// can no longer be written; false then (the caller reports that).
bool scan_event_logs(const ScanTask& task);

// The bytes of the month logs from start to end that are regular files.
std::uint64_t log_bytes(const std::string& directory, const Month& start, const Month& end);

// Searches one log file; task.directory is not used. False when the results
// can no longer be written.
bool scan_one_log(const ScanTask& task, const std::string& path);
