// The scan run in-process on one log, through a named build of its loop and
// either path, for tests that hold it against the plain reference search.
#pragma once

#include <filesystem>
#include <string>

#include "reference/reference_search.h"
#include "search/month_scan.h"
#include "settings/settings.h"

// The program's settings for the reference's.
SearchSettings search_settings(const ReferenceSettings& reference);

// What scan_one_log prints for the log at log through loop and path; the
// results go through the file at results_path. A month that cannot be read
// fails the test.
std::string scan_in_process(ScanLoop loop, ScanPath path, const ReferenceSettings& settings,
                            const std::filesystem::path& log, const std::filesystem::path& results_path);
