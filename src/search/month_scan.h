// The search proper: walks the month logs of the range in search_settings and
// prints every instant-message record whose decoded message matches.
//
// A record line, as the scan relies on it:
//  - from character 20, exactly "im_log,from id,";
//  - the first "],msg=" in the line is the message marker, and the base64
//    message text follows it up to the first non-base64 byte;
//  - when search_id is set, " id,<id>" occurs in the line as a whole id: when
//    the id ends in an ASCII letter or digit, an occurrence followed by an
//    ASCII letter or digit is part of a longer id and does not count.
// A line's text ends at its first NUL byte. Each match is printed as the line
// cut right after its marker, the decoded message (up to its first NUL), and
// a newline, in file order and month order. On a terminal, the control bytes
// of those two parts (below 0x20 but tab, and 0x7F) are shown as \n, \r, \e
// or \xHH rather than sent, so that a message can neither forge lines nor
// command the terminal; elsewhere every byte is written as it is.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// The logs lie in executable_directory as mcu_event_log_YYYY_MM.txt. A missing
// month is passed over silently; one that exists but cannot be read is named
// on standard error, and the walk goes on. The walk stops early when standard
// output fails (the caller reports that).
void scan_event_logs();

// Searches one log file with search_settings, printing results to out, byte
// for byte. A missing file gives nothing; an unreadable one is named on
// standard error. False when writing to out failed.
bool scan_one_log(const std::string& path, std::FILE* out);
