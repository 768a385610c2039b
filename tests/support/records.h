// Builders for month-log lines in the tests.
#pragma once

#include <string>

std::string base64(const std::string& bytes);

// A record line: 20 characters of time stamp, the tag, the ids, a room and the
// marker, then the message in base64. prefix must be 20 characters.
std::string record(const std::string& message, const std::string& from_id = "1042",
                   const std::string& prefix = "2007-01-08 09:02:13 ");

// What the program prints for that record: the line up to the marker, then
// the message.
std::string printed(const std::string& message, const std::string& from_id = "1042",
                    const std::string& prefix = "2007-01-08 09:02:13 ");

// The search.ini for a month range and further lines (each ending in "\n").
std::string ini(const std::string& start, const std::string& end, const std::string& more);

// The announcement for a range and one search string.
std::string announced(const std::string& start, const std::string& end, const std::string& rest);
