// Microbenchmarks of the decoder and of the line reader.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "search/decoder.h"
#include "search/line_reader.h"

namespace {

std::string coded_text(std::size_t plain_length) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::mt19937 rng(1);
  std::string coded;
  for (std::size_t i = 0; i < (plain_length + 2) / 3 * 4; ++i) coded += alphabet[rng() % 64];
  return coded + "\r\n";
}

// Message lengths in decoded bytes.
void Decode(benchmark::State& state) {
  const std::size_t length = static_cast<std::size_t>(state.range(0));
  const std::string coded = coded_text(length);
  std::vector<char> plain(coded.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(decode_base64(plain.data(), coded.c_str()));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(coded.size() - 2));
}
BENCHMARK(Decode)->Arg(8)->Arg(100)->Arg(1000);

// Chunks and lines of a 64 MB file of 300-byte CR LF lines, from the page cache.
void ReadLines(benchmark::State& state) {
  const std::string path = "micro_bench_lines.txt";
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const std::string line = std::string(298, 'x') + "\r\n";
    for (int i = 0; i < 64 * 1000 * 1000 / 300; ++i) std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
  }
  std::size_t bytes = 0;
  LineReader reader;
  for (auto _ : state) {
    PlatformFile file{};
    std::string reason;
    if (platform_open_for_reading(path, file, reason) != OpenStatus::opened) {
      state.SkipWithError("cannot open the line file");
      break;
    }
    reader.start(file);
    Chunk chunk;
    Line line;
    std::size_t lines = 0;
    while (reader.next_chunk(chunk)) {
      bytes += static_cast<std::size_t>(chunk.end - chunk.begin);
      while (take_line(chunk, line)) ++lines;
    }
    benchmark::DoNotOptimize(lines);
    platform_close(file);
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(ReadLines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
