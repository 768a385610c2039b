// The progress line of a long search: one line on standard error, redrawn in
// place, that names the month log being read, the bytes read out of the total
// and the matches so far. It shows only after the search has run for a
// second, at most five times a second, and is erased before anything else is
// written and at the end, so the terminal is left as it would be without it.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "search/month_scan.h"

class ProgressLine final : public ScanProgress {
 public:
  // total: the bytes of all the logs to read; 0 when not known.
  ProgressLine(std::FILE* terminal, std::uint64_t total);
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void log_started(const std::string& file_name) override { file_name_ = file_name; }
  void advanced(std::uint64_t bytes, std::uint64_t matches) override;
  void before_output() override { erase(); }
  // At the end of the search.
  void finish() { erase(); }

 private:
  void draw();
  void erase();

  std::FILE* terminal_;
  std::uint64_t total_;
  std::uint64_t read_ = 0;
  std::uint64_t matches_ = 0;
  std::string file_name_;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point drawn_;
  std::size_t shown_ = 0;  // the width of the line on screen; 0 when none is
};
