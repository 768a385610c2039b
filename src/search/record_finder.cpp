#include "search/record_finder.h"

#include "search/record_finder_loop.h"

// The AVX2 build of the loop, or nullptr in builds without it.
using FindRecords = bool (*)(const Chunk&, const RecordFilter&, RecordSink&);
FindRecords avx2_find_records();

namespace {

FindRecords choose() {
#if defined(LOGSIFT_AVX2_KERNELS)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return avx2_find_records();
#endif
#if defined(__SSE2__)
  return &find_records_with<Sse2>;
#else
  return &find_records_with<NoVector>;
#endif
}

// Chosen once, before main() runs.
const FindRecords chosen = choose();

}  // namespace

bool find_records(const Chunk& chunk, const RecordFilter& filter, RecordSink& sink) {
  return chosen(chunk, filter, sink);
}

bool may_be_record(const char* text, std::size_t length) {
  return length >= kTagAt + kTagLength && std::memcmp(text + kTagAt, kRecordTag, kTagLength) == 0 &&
         std::memchr(text, '\0', kTagAt + kTagLength) == nullptr;
}
