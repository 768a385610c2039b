// What a search records of each month log for its manifest: the bytes it
// searched and their SHA-256, its record lines and matches, and why a log
// could not be read; a log that grows while it is searched is recorded as it
// was when it was opened.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "output/result_writer.h"
#include "platform/sha256.h"
#include "search/month_log.h"
#include "search/month_scan.h"
#include "support/records.h"

namespace {

namespace fs = std::filesystem;

void ignore(const std::string&, const std::string&) {}

std::string sha256_of(const std::string& bytes) {
  Sha256 hash;
  hash.update(bytes.data(), bytes.size());
  return hash.hex_digest();
}

// Appends to each log as soon as the search has opened it.
struct Appender final : ScanProgress {
  fs::path folder;
  std::string more;
  void log_started(const std::string& file_name) override {
    std::ofstream(folder / file_name, std::ios::binary | std::ios::app) << more;
  }
  void advanced(std::uint64_t, std::uint64_t) override {}
  void before_output() override {}
};

TEST(Audit, EachLogAsItWasSearched) {
  const fs::path folder = fs::temp_directory_path() / ("logsift-audit-" + std::to_string(std::random_device()()));
  fs::create_directories(folder);
  const std::string first =
      "not a record\n" + record("hit one") + "\n" + record("miss") + "\n" + record("hit two") + "\n";
  std::ofstream(folder / "mcu_event_log_2007_01.txt", std::ios::binary) << first;
  fs::create_directories(folder / "mcu_event_log_2007_03.txt");  // a folder cannot be read as a log
  const std::string grown = record("hit three") + "\n" + record("hit four") + "\n";

  SearchSettings settings;
  settings.search_strings[0] = "hit";
  settings.start = {2007, 1};
  settings.end = {2007, 3};
  std::FILE* results = std::tmpfile();
  ASSERT_NE(results, nullptr);
  const std::unique_ptr<ResultWriter> writer = make_result_writer(OutputFormat::text, {results});
  std::vector<LogAudit> audit;
  Appender appender;
  appender.folder = folder;
  appender.more = grown;
  ScanTask task{folder.string(), settings, {results, writer.get(), &ignore}};
  task.output.audit = &audit;
  task.output.progress = &appender;
  EXPECT_TRUE(scan_event_logs(task));
  std::fclose(results);

  ASSERT_EQ(audit.size(), 3u);
  EXPECT_EQ(audit[0].name, "mcu_event_log_2007_01.txt");
  EXPECT_TRUE(audit[0].exists);
  EXPECT_EQ(audit[0].bytes, first.size()) << "only what was there at the open";
  EXPECT_EQ(audit[0].sha256, sha256_of(first));
  EXPECT_EQ(audit[0].records, 3u);
  EXPECT_EQ(audit[0].matches, 2u);
  EXPECT_EQ(audit[0].cannot_read, "");
  EXPECT_EQ(audit[1].name, "mcu_event_log_2007_02.txt");
  EXPECT_FALSE(audit[1].exists);
  EXPECT_EQ(audit[2].name, "mcu_event_log_2007_03.txt");
  EXPECT_TRUE(audit[2].exists);
  EXPECT_NE(audit[2].cannot_read, "");
  EXPECT_EQ(audit[2].bytes, 0u);
  EXPECT_EQ(audit[2].sha256, sha256_of(""));
  fs::remove_all(folder);
}

}  // namespace
