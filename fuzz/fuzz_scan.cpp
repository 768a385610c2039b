// Any bytes as a month log, searched with settings picked by the first two
// bytes through every build of the scan's loop that this build and processor
// have (plain, SSE2, AVX2), each searching first and visiting every line: the
// result lines of each must equal those of the plain reference search, so a
// wrong result fails as a crash would.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "output/result_writer.h"
#include "search/month_scan.h"
#include "search/record_finder.h"
#include "settings/settings.h"
#include "reference/reference_search.h"

namespace {

const char* const kStrings[] = {"hit", "h", "hi", "zanzibar", "caf\xc3\xa9", "12", "a b", "=="};
const char* const kIds[] = {"", "12", "7", "12-"};

// The log is a plain file that the target itself wrote: it can always be read.
void cannot_read(const std::string&, const std::string&) { std::abort(); }

std::string log_path() {
  return "/dev/shm/logsift-fuzz-" + std::to_string(getpid()) + ".txt";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const unsigned pick = static_cast<unsigned>(data[0]) | static_cast<unsigned>(data[1]) << 8;
  const std::string file(reinterpret_cast<const char*>(data) + 2, size - 2);

  ReferenceSettings reference;
  reference.all_mode = pick & 1;
  const unsigned slots = (pick >> 1) & 3;  // 0 to 3 strings
  for (unsigned k = 0; k < slots; ++k) reference.search.push_back(kStrings[(pick >> (3 + 3 * k)) & 7]);
  if (slots == 2 && (pick & 0x8000)) reference.search[0] = "";  // an empty first slot
  reference.search_id = kIds[(pick >> 12) & 3];

  ScanTask task{"", {}, {nullptr, nullptr, &cannot_read}};
  task.settings.all_mode = reference.all_mode;
  for (std::size_t k = 0; k < reference.search.size(); ++k) task.settings.search_strings[k] = reference.search[k];
  task.settings.search_id = reference.search_id;

  const std::string path = log_path();
  std::FILE* log = std::fopen(path.c_str(), "wb");
  if (!log) std::abort();
  std::fwrite(file.data(), 1, file.size(), log);
  std::fclose(log);

  const std::string expected = reference_search(file, reference);
  const ScanLoop loops[] = {ScanLoop::plain, ScanLoop::sse2, ScanLoop::avx2};
  for (int run = 0; run < 6; ++run) {
    const ScanLoop loop = loops[run / 2];
    if (record_finder(loop) == nullptr) continue;
    task.path = run % 2 ? ScanPath::every_line : ScanPath::search_first;
    char* printed = nullptr;
    std::size_t printed_size = 0;
    std::FILE* out = open_memstream(&printed, &printed_size);
    const std::unique_ptr<ResultWriter> writer = make_result_writer(OutputFormat::text, {out});
    task.output.results = out;
    task.output.writer = writer.get();
    task.loop = loop;
    if (!scan_one_log(task, path)) std::abort();
    std::fclose(out);
    const std::string got(printed, printed_size);
    std::free(printed);
    if (got != expected) {
      std::fprintf(stderr, "scan through loop %d, path %d and reference differ\n", static_cast<int>(loop), run % 2);
      std::abort();
    }
  }
  return 0;
}
