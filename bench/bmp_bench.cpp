// Decoding and saving a 24-bit BMP of a large microscope picture, beside a
// plain copy of the same number of file bytes.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench_main.h"
#include "document/dib_file.h"
#include "document/save_file.h"

namespace {

using namespace opta;

Surface Picture(int w, int h) {
  Surface s;
  s.allocate(w, h);
  std::mt19937 rng(7);
  for (int y = 0; y < h; ++y) {
    Colour* row = s.row(y);
    for (int x = 0; x < w; ++x) row[x] = Colour24(rng());
  }
  return s;
}

// The saved layout: with 3 x width a multiple of 4 it is a standard BMP too.
std::vector<std::uint8_t> File(int w, int h) { return EncodeSavedBmp(Picture(w, h)); }

void BM_Memcpy(benchmark::State& state) {
  const std::vector<std::uint8_t> src =
      File(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::vector<std::uint8_t> dst(src.size());
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), src.size());
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(src.size()));
}

void BM_DecodeBmp24(benchmark::State& state) {
  const std::vector<std::uint8_t> file =
      File(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  Surface out;
  for (auto _ : state) {
    if (!DecodeDib(file, out)) state.SkipWithError("refused");
    benchmark::DoNotOptimize(out.row(0));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}

void BM_EncodeBmp24(benchmark::State& state) {
  const Surface img = Picture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    std::vector<std::uint8_t> file = EncodeSavedBmp(img);
    benchmark::DoNotOptimize(file.data());
  }
  state.SetBytesProcessed(state.iterations() * 3 * state.range(0) * state.range(1));
}

// Save as the program saves: 1 MiB blocks into a temporary file beside the
// target, fsync, rename. On tmpfs, so the disk's speed stays out of it.
void BM_SaveBmp24(benchmark::State& state) {
  const Surface img = Picture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const std::string path = "/dev/shm/opta_bench_save_" + std::to_string(::getpid()) + ".bmp";
  for (auto _ : state) {
    if (SaveDibFile(path, img) != 0) state.SkipWithError("cannot write");
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(state.iterations() * 3 * state.range(0) * state.range(1));
}

BENCHMARK(BM_Memcpy)->Args({4096, 3072})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeBmp24)->Args({4096, 3072})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EncodeBmp24)->Args({4096, 3072})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveBmp24)->Args({4096, 3072})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

OPTA_BENCHMARK_MAIN()
