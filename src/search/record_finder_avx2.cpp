// The record finder's loop with the AVX2 byte searches inline. This file alone
// is compiled for AVX2; record_finder.cpp uses it only on processors that
// have it.
#include "search/record_finder_loop.h"

const LoopBuild& avx2_loop_build() {
  static constexpr LoopBuild kBuild = {&find_records_with<Avx2>, &kByteSearches<Avx2>};
  return kBuild;
}
