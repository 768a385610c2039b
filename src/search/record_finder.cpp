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

FindRecords record_finder(ScanLoop loop) {
  switch (loop) {
    case ScanLoop::fastest:
      return record_finder(fastest_loop());
    case ScanLoop::plain:
      return &find_records_with<NoVector>;
    case ScanLoop::sse2:
#if defined(__SSE2__)
      return &find_records_with<Sse2>;
#else
      return nullptr;
#endif
    case ScanLoop::avx2:
#if defined(LOGSIFT_AVX2_KERNELS)
      return processor_has_avx2() ? avx2_find_records() : nullptr;
#else
      return nullptr;
#endif
  }
  return nullptr;
}

const ByteSearches* byte_searches(ScanLoop loop) {
  switch (loop) {
    case ScanLoop::fastest:
      return byte_searches(fastest_loop());
    case ScanLoop::plain:
      return &kByteSearches<NoVector>;
    case ScanLoop::sse2:
#if defined(__SSE2__)
      return &kByteSearches<Sse2>;
#else
      return nullptr;
#endif
    case ScanLoop::avx2:
#if defined(LOGSIFT_AVX2_KERNELS)
      return processor_has_avx2() ? &avx2_byte_searches() : nullptr;
#else
      return nullptr;
#endif
  }
  return nullptr;
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
