#include "search/record_finder.h"

#include "search/record_finder_loop.h"
#include "search/simd/byte_searches.h"

namespace {

bool processor_has_avx2() {
#if defined(LOGSIFT_AVX2_KERNELS)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

ScanLoop fastest_loop() {
  if (processor_has_avx2()) return ScanLoop::avx2;
#if defined(__SSE2__)
  return ScanLoop::sse2;
#else
  return ScanLoop::plain;
#endif
}

}  // namespace

namespace {

template <class V>
constexpr LoopBuild kLoopBuild = {&find_records_with<V>, &kByteSearches<V>};

// The build of loop, or nullptr when this build or this processor lacks it.
const LoopBuild* loop_build(ScanLoop loop) {
  switch (loop) {
    case ScanLoop::fastest:
      return loop_build(fastest_loop());
    case ScanLoop::plain:
      return &kLoopBuild<NoVector>;
    case ScanLoop::sse2:
#if defined(__SSE2__)
      return &kLoopBuild<Sse2>;
#else
      return nullptr;
#endif
    case ScanLoop::avx2:
#if defined(LOGSIFT_AVX2_KERNELS)
      return processor_has_avx2() ? &avx2_loop_build() : nullptr;
#else
      return nullptr;
#endif
  }
  return nullptr;
}

}  // namespace

FindRecords record_finder(ScanLoop loop) {
  const LoopBuild* build = loop_build(loop);
  return build ? build->find_records : nullptr;
}

const ByteSearches* byte_searches(ScanLoop loop) {
  const LoopBuild* build = loop_build(loop);
  return build ? build->byte_searches : nullptr;
}

bool searches_first(ScanLoop loop, ScanPath path) {
  switch (path) {
    case ScanPath::fastest:
      return (loop == ScanLoop::fastest ? fastest_loop() : loop) != ScanLoop::plain;
    case ScanPath::search_first:
      return true;
    case ScanPath::every_line:
      return false;
  }
  return false;
}

bool may_be_record(const char* text, std::size_t length) {
  return length >= kTagAt + kTagLength && std::memcmp(text + kTagAt, kRecordTag, kTagLength) == 0 &&
         std::memchr(text, '\0', kTagAt + kTagLength) == nullptr;
}
