// The AVX2 copies of the search kernels. This file alone is compiled for AVX2;
// find_bytes.cpp uses its kernels only on processors that have it.
#include "search/find_kernels.h"

const FindKernels* avx2_find_kernels() {
  static constexpr FindKernels kAvx2 = kernels_for<Avx2>();
  return &kAvx2;
}
