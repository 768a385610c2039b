// The record finder's loop with the AVX2 kernels inline. This file alone is
// compiled for AVX2; record_finder.cpp uses it only on processors that have it.
#include "search/record_finder_loop.h"

using FindRecords = bool (*)(const Chunk&, const RecordFilter&, RecordSink&);

FindRecords avx2_find_records() { return &find_records_with<Avx2>; }
