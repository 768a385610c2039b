// The record finder's loop with the AVX2 byte searches inline. This file alone
// is compiled for AVX2; record_finder.cpp uses it only on processors that
// have it.
#include "search/record_finder_loop.h"

FindRecords avx2_find_records() { return &find_records_with<Avx2>; }

const ByteSearches& avx2_byte_searches() { return kByteSearches<Avx2>; }
