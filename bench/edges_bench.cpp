// The edge detectors on a 4096 x 3072 picture, written to a 1920 x 1080
// window and the picture-sized memory surface as in the program.
#include <benchmark/benchmark.h>

#include "bench_main.h"
#include "edges/edges.h"
#include "picture_bench.h"

namespace opta {
namespace {

using bench::BM_Memcpy;
using bench::RunOnPicture;

const Size kScreen{1920, 1080};

void BM_Homogeneity(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { HomogeneityEdge(c, p, kScreen); });
}
void BM_Difference(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { DifferenceEdge(c, p, kScreen); });
}
void BM_Variance(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { VarianceEdge(c, p, kScreen); });
}
void BM_Quick(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { QuickEdge(c, p, kScreen, kQuickMask); });
}
void BM_Kirsch(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { KirschEdge(c, p, kScreen, kKirschMasks); });
}
void BM_Prewitt(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { PrewittEdge(c, p, kScreen, kPrewittMasks); });
}
void BM_PointDetection(benchmark::State& s) {
  RunOnPicture(s,
               [](Canvas& c, const PixelMatrix& p) { GeometricDetect(c, p, kScreen, GeometricMask(1012)); });
}

#define SIZE ->Args({4096, 3072})->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_Memcpy) SIZE;
BENCHMARK(BM_Homogeneity) SIZE;
BENCHMARK(BM_Difference) SIZE;
BENCHMARK(BM_Variance) SIZE;
BENCHMARK(BM_Quick) SIZE;
BENCHMARK(BM_Kirsch) SIZE;
BENCHMARK(BM_Prewitt) SIZE;
BENCHMARK(BM_PointDetection) SIZE;

}  // namespace
}  // namespace opta

OPTA_BENCHMARK_MAIN()
