// Point operations on a 4096 x 3072 picture, written to a 1920 x 1080 window
// and the 4096 x 3072 memory surface as in the program, beside a plain copy
// of the result's size.
#include <benchmark/benchmark.h>

#include "bench_main.h"
#include "picture_bench.h"
#include "pointops/kernels.h"

namespace opta {
namespace {

using bench::BM_Memcpy;
using bench::RunOnPicture;

const ThreeSlices kSlices{{{50, 100}, {120, 160}, {200, 240}}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};

void BM_Invert(benchmark::State& s) { RunOnPicture(s, InvertImage); }
void BM_GrayScale(benchmark::State& s) { RunOnPicture(s, GrayScaleImage); }
void BM_Solarize(benchmark::State& s) { RunOnPicture(s, SolarizeImage); }
void BM_Emboss(benchmark::State& s) { RunOnPicture(s, EmbossImage); }
void BM_Brighten(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { BrightenImage(c, p, 50); });
}
void BM_Darken(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { DarkenImage(c, p, 50); });
}
// The same gray kernel, timed against an OpenCV gray that also writes four bytes a pixel.
void BM_GrayScaleFourBytes(benchmark::State& s) { RunOnPicture(s, GrayScaleImage); }
void BM_FalseColour1(benchmark::State& s) { RunOnPicture(s, FalseColour1); }
void BM_StaticSlicing(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { StaticIntensitySlicing(c, p, kSlices); });
}
void BM_IncrementalSlicing(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { IncrementalIntensitySlicing(c, p, kSlices); });
}
void BM_ColorSlicing(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) {
    ColorSlicing(c, p, ColourSliceParams{{{0, 100}, {0, 100}, {0, 100}}, 2});
  });
}
// The per-pixel form, to show what the row kernels buy.
void BM_InvertReference(benchmark::State& s) { RunOnPicture(s, reference::InvertImage); }

#define SIZE ->Args({4096, 3072})->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_Memcpy) SIZE;
BENCHMARK(BM_Invert) SIZE;
BENCHMARK(BM_GrayScale) SIZE;
BENCHMARK(BM_GrayScaleFourBytes) SIZE;
BENCHMARK(BM_Solarize) SIZE;
BENCHMARK(BM_Emboss) SIZE;
BENCHMARK(BM_Brighten) SIZE;
BENCHMARK(BM_Darken) SIZE;
BENCHMARK(BM_FalseColour1) SIZE;
BENCHMARK(BM_StaticSlicing) SIZE;
BENCHMARK(BM_IncrementalSlicing) SIZE;
BENCHMARK(BM_ColorSlicing) SIZE;
BENCHMARK(BM_InvertReference) SIZE;

}  // namespace
}  // namespace opta

OPTA_BENCHMARK_MAIN()
