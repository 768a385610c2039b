#include "support/scan_in_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "output/result_writer.h"

namespace {

void unreadable(const std::string& path, const std::string& reason) {
  ADD_FAILURE() << "cannot read " << path << ": " << reason;
}

}  // namespace

SearchSettings search_settings(const ReferenceSettings& reference) {
  SearchSettings settings;
  settings.all_mode = reference.all_mode;
  for (std::size_t k = 0; k < reference.search.size(); ++k) settings.search_strings[k] = reference.search[k];
  settings.search_id = reference.search_id;
  return settings;
}

std::string scan_in_process(ScanLoop loop, ScanPath path, const ReferenceSettings& settings,
                            const std::filesystem::path& log, const std::filesystem::path& results_path) {
  std::FILE* results = std::fopen(results_path.string().c_str(), "w+b");
  if (results == nullptr) {
    ADD_FAILURE() << "cannot open " << results_path;
    return "";
  }
  const std::unique_ptr<ResultWriter> writer = make_result_writer(OutputFormat::text, {results});
  ScanTask task{"", search_settings(settings), {results, writer.get(), &unreadable}};
  task.loop = loop;
  task.path = path;
  EXPECT_TRUE(scan_one_log(task, log.string()));
  std::string printed;
  std::rewind(results);
  char block[4096];
  for (std::size_t n; (n = std::fread(block, 1, sizeof block, results)) > 0;) printed.append(block, n);
  std::fclose(results);
  return printed;
}
