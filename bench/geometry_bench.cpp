// Geometric transforms on a 4096 x 3072 picture, written to a 1920 x 1080
// window and the 4096 x 3072 memory surface as in the program.
#include <benchmark/benchmark.h>

#include "bench_main.h"
#include "geometry/transforms.h"
#include "picture_bench.h"

namespace opta {
namespace {

using bench::BM_Memcpy;
using bench::RunOnPicture;

const Size kScreen{1920, 1080};
void BM_Rotate90(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { RotateImage90(c, p, kScreen); });
}
void BM_Rotate180(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { RotateImage180(c, p); });
}
void BM_Rotate270(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { RotateImage270(c, p); });
}
void BM_FlipHorizontal(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { FlipHorizontal(c, p); });
}
void BM_FlipVertical(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { FlipVertical(c, p); });
}
void BM_Shear(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { ShearImage(c, p); });
}
void BM_DoubleSkew(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { DoubleSkewImage(c, p); });
}
void BM_Zoom2Replicate(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { ZoomReplicate(c, p, 2); });
}
void BM_Zoom2Interpolate(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { ZoomInterpolate(c, p, 2); });
}
void BM_Zoom4Interpolate(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { ZoomInterpolate(c, p, 4); });
}
void BM_ShrinkCorner2(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { ShrinkCorner(c, p, 2, kScreen); });
}
void BM_ShrinkMedian(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { ShrinkMedian(c, p, kScreen); });
}
void BM_ShrinkAverage(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { ShrinkAverage(c, p, kScreen); });
}

#define SIZE ->Args({4096, 3072})->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_Memcpy) SIZE;
BENCHMARK(BM_Rotate90) SIZE;
BENCHMARK(BM_Rotate180) SIZE;
BENCHMARK(BM_Rotate270) SIZE;
BENCHMARK(BM_FlipHorizontal) SIZE;
BENCHMARK(BM_FlipVertical) SIZE;
BENCHMARK(BM_Shear) SIZE;
BENCHMARK(BM_DoubleSkew) SIZE;
BENCHMARK(BM_Zoom2Replicate) SIZE;
BENCHMARK(BM_Zoom2Interpolate) SIZE;
BENCHMARK(BM_Zoom4Interpolate) SIZE;
BENCHMARK(BM_ShrinkCorner2) SIZE;
BENCHMARK(BM_ShrinkMedian) SIZE;
BENCHMARK(BM_ShrinkAverage) SIZE;

}  // namespace
}  // namespace opta

OPTA_BENCHMARK_MAIN()
