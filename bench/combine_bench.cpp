// Two-image operations on two 4096 x 3072 pictures, written to a 1920 x 1080
// window and the 4096 x 3072 memory surface as in the program, beside a plain
// copy of the result's size. The second picture is the first turned half
// round, so both are the same scene but differ pixel by pixel.
#include <benchmark/benchmark.h>

#include "bench_main.h"
#include "combine/combine.h"
#include "picture_bench.h"

namespace opta {
namespace {

using bench::BM_Memcpy;

const PixelMatrix& SecondPicture(const benchmark::State& state) {
  static PixelMatrix second;
  if (second.empty()) {
    const PixelMatrix& first = bench::SharedPicture(state).pixels;
    const int w = first.width(), h = first.height();
    second.allocate(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) second.at(x, y) = first.at(w - 1 - x, h - 1 - y);
  }
  return second;
}

void Run(benchmark::State& state, CombineOp op) {
  const PixelMatrix& second = SecondPicture(state);
  bench::RunOnPicture(state, [&](Canvas& c, const PixelMatrix& first) {
    op(c, first, second, Size{1920, 1080});
  });
}

void BM_Add(benchmark::State& s) { Run(s, AddImages); }
void BM_Subtract(benchmark::State& s) { Run(s, SubtractImages); }
void BM_And(benchmark::State& s) { Run(s, AndImages); }
void BM_Or(benchmark::State& s) { Run(s, OrImages); }
void BM_Xor(benchmark::State& s) { Run(s, XorImages); }
void BM_Nand(benchmark::State& s) { Run(s, NandImages); }
void BM_Nor(benchmark::State& s) { Run(s, NorImages); }
void BM_Not(benchmark::State& s) { Run(s, NotImages); }
void BM_Less(benchmark::State& s) { Run(s, LessOverlay); }
void BM_Greater(benchmark::State& s) { Run(s, GreaterOverlay); }
void BM_Average(benchmark::State& s) { Run(s, AverageOverlay); }
void BM_Match(benchmark::State& s) { Run(s, MatchOverlay); }
void BM_NonZero(benchmark::State& s) { Run(s, NonZeroOverlay); }
void BM_Zero(benchmark::State& s) { Run(s, ZeroOverlay); }
// The per-pixel form, to show what the row kernels buy.
void BM_AddReference(benchmark::State& s) { Run(s, reference::AddImages); }

#define SIZE ->Args({4096, 3072})->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_Memcpy) SIZE;
BENCHMARK(BM_Add) SIZE;
BENCHMARK(BM_Subtract) SIZE;
BENCHMARK(BM_And) SIZE;
BENCHMARK(BM_Or) SIZE;
BENCHMARK(BM_Xor) SIZE;
BENCHMARK(BM_Nand) SIZE;
BENCHMARK(BM_Nor) SIZE;
BENCHMARK(BM_Not) SIZE;
BENCHMARK(BM_Less) SIZE;
BENCHMARK(BM_Greater) SIZE;
BENCHMARK(BM_Average) SIZE;
BENCHMARK(BM_Match) SIZE;
BENCHMARK(BM_NonZero) SIZE;
BENCHMARK(BM_Zero) SIZE;
BENCHMARK(BM_AddReference) SIZE;

}  // namespace
}  // namespace opta

OPTA_BENCHMARK_MAIN()
