// Which build of the scan's loop searches the logs. Each is compiled for one
// instruction set with the byte searches of its policy inline
// (simd/policies.h): plain (no vectors), SSE2 and, on x86-64 Linux, AVX2.
// The program always takes the fastest that the build and the processor
// have; tests name each loop so that every compiled one is run.
#pragma once

enum class ScanLoop { fastest, plain, sse2, avx2 };

// How the scan finds the lines it reads: by searching each chunk for needles
// that every line with a record to print holds (chunk_needles.h), where there
// are such, or by visiting every line start. Both print the same. fastest
// searches first with a vector loop; the plain loop visits every line, since
// its tag search through the C library's memchr outruns its byte loop over
// the needles. Tests name both paths for every loop.
enum class ScanPath { fastest, search_first, every_line };
