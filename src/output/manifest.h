// The manifest: a JSON record of one search, for auditors, naming what was
// searched with each month log's SHA-256 and what was found.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

struct ManifestFile {
  std::string name;        // the month log's file name
  std::uint64_t size = 0;  // bytes searched (and hashed)
  std::string sha256;      // hex
  std::uint64_t records = 0, matches = 0;
  std::string status;  // "ok" or the can-not-read reason
};

struct Manifest {
  std::string tool;                                           // the version line, without its newline
  std::string started, finished;                              // UTC, ISO 8601, e.g. 2026-12-10T14:53:07Z
  std::vector<std::pair<std::string, std::string>> settings;  // name and value, in order
  std::vector<ManifestFile> files;
  std::vector<std::string> missing;  // month log names not there
  std::uint64_t matches = 0;
  int exit_status = 0;
};

// m as one JSON object, laid out as Python's json.dumps(indent=2) lays it out
// (each member and element on a line of its own, two spaces deeper than its
// brackets; an empty object or array as {} or []), and a newline. Members in
// this order: tool, started, finished, settings (an object of the settings'
// names in order, each value a string), files (an array of objects with name,
// size, sha256, records, matches, status), missing (an array of strings),
// matches, exit_status. Numbers as decimal integers; all text as JSON strings
// through append_json_string, so valid UTF-8 with U+FFFD for each byte that
// is not. Setting names are written as given: unique names are the caller's.
std::string render_manifest(const Manifest& m);

// when as UTC in ISO 8601 to the second with a Z, e.g. 2026-12-10T14:53:07Z;
// empty when the system cannot split the time (see platform_utc_time).
std::string iso8601_utc(std::time_t when);

// The time now, as iso8601_utc gives it.
std::string utc_now_iso8601();
