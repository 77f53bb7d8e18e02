// The morphology operations on a 4096 x 3072 picture, written to a
// 1920 x 1080 window and the picture-sized memory surface as in the
// program, with the result matrices reused from one scratch store.
#include <benchmark/benchmark.h>

#include "bench_main.h"
#include "morphology/morphology.h"
#include "picture_bench.h"

namespace opta {
namespace {

using bench::BM_Memcpy;
using bench::RunOnPicture;

ScratchStore scratch;
const Mask3 kSquare = ShapeElement(1021);
const Mask3 kCross = ShapeElement(1020);

void BM_Erosion(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { MorphErosion(c, p, kSquare, scratch); });
}
void BM_Dilation(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { MorphDilation(c, p, kSquare, scratch); });
}
void BM_ErosionCross(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { MorphErosion(c, p, kCross, scratch); });
}
void BM_Opening10(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { MorphOpening(c, p, kSquare, 10, scratch); });
}
void BM_Closing10(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { MorphClosing(c, p, kSquare, 10, scratch); });
}
void BM_ExteriorOutline(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { ExteriorOutline(c, p, kSquare, scratch); });
}

#define SIZE ->Args({4096, 3072})->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_Memcpy) SIZE;
BENCHMARK(BM_Erosion) SIZE;
BENCHMARK(BM_Dilation) SIZE;
BENCHMARK(BM_ErosionCross) SIZE;
BENCHMARK(BM_Opening10) SIZE;
BENCHMARK(BM_Closing10) SIZE;
BENCHMARK(BM_ExteriorOutline) SIZE;

}  // namespace
}  // namespace opta

OPTA_BENCHMARK_MAIN()
