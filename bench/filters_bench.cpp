// The neighbourhood filters on a 4096 x 3072 picture, written to a 1920 x 1080
// window and the picture-sized memory surface as in the program
// (bench/filters_yardstick.py has OpenCV's side of each).
#include <benchmark/benchmark.h>

#include "bench_main.h"
#include "filters/kernels.h"
#include "picture_bench.h"

namespace opta {
namespace {

using bench::BM_Memcpy;
using bench::RunOnPicture;

template <void (*F)(Canvas&, const PixelMatrix&, int), int N>
void Sized(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { F(c, p, N); });
}

void BM_LowPass(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) {
    LowPassFilter(c, p, kLowPassMasks[0].mask, kLowPassMasks[0].divisor);
  });
}
void BM_HighPass(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { HighPassFilter(c, p, kHighPassMasks[0]); });
}
void BM_Gaussian(benchmark::State& s) { RunOnPicture(s, GaussianFilter); }

void BM_Median3(benchmark::State& s) { Sized<MedianFilter, 3>(s); }
void BM_Median5(benchmark::State& s) { Sized<MedianFilter, 5>(s); }
void BM_Median7(benchmark::State& s) { Sized<MedianFilter, 7>(s); }
void BM_ArithmeticMean3(benchmark::State& s) { Sized<ArithmeticMeanFilter, 3>(s); }
void BM_ArithmeticMean5(benchmark::State& s) { Sized<ArithmeticMeanFilter, 5>(s); }
void BM_ArithmeticMean7(benchmark::State& s) { Sized<ArithmeticMeanFilter, 7>(s); }
void BM_Max3(benchmark::State& s) { Sized<MaxFilter, 3>(s); }
void BM_Max5(benchmark::State& s) { Sized<MaxFilter, 5>(s); }
void BM_Max7(benchmark::State& s) { Sized<MaxFilter, 7>(s); }
void BM_Min3(benchmark::State& s) { Sized<MinFilter, 3>(s); }
void BM_Min5(benchmark::State& s) { Sized<MinFilter, 5>(s); }
void BM_Min7(benchmark::State& s) { Sized<MinFilter, 7>(s); }
void BM_Midpoint3(benchmark::State& s) { Sized<MidpointFilter, 3>(s); }
void BM_Midpoint5(benchmark::State& s) { Sized<MidpointFilter, 5>(s); }
void BM_Midpoint7(benchmark::State& s) { Sized<MidpointFilter, 7>(s); }
void BM_GeometricMean7(benchmark::State& s) { Sized<GeometricMeanFilter, 7>(s); }
void BM_HarmonicMean7(benchmark::State& s) { Sized<HarmonicMeanFilter, 7>(s); }
// The order the dialog starts with (Q = 10, whole powers) and one that is not whole.
void BM_ContraharmonicMean7(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { ContraharmonicMeanFilter(c, p, 7, 10); });
}
void BM_ContraharmonicMean7Q15(benchmark::State& s) {
  RunOnPicture(s, [](Canvas& c, const PixelMatrix& p) { ContraharmonicMeanFilter(c, p, 7, 15); });
}

#define SIZE ->Args({4096, 3072})->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_Memcpy) SIZE;
BENCHMARK(BM_LowPass) SIZE;
BENCHMARK(BM_HighPass) SIZE;
BENCHMARK(BM_Gaussian) SIZE;
BENCHMARK(BM_Median3) SIZE;
BENCHMARK(BM_Median5) SIZE;
BENCHMARK(BM_Median7) SIZE;
BENCHMARK(BM_ArithmeticMean3) SIZE;
BENCHMARK(BM_ArithmeticMean5) SIZE;
BENCHMARK(BM_ArithmeticMean7) SIZE;
BENCHMARK(BM_Max3) SIZE;
BENCHMARK(BM_Max5) SIZE;
BENCHMARK(BM_Max7) SIZE;
BENCHMARK(BM_Min3) SIZE;
BENCHMARK(BM_Min5) SIZE;
BENCHMARK(BM_Min7) SIZE;
BENCHMARK(BM_Midpoint3) SIZE;
BENCHMARK(BM_Midpoint5) SIZE;
BENCHMARK(BM_Midpoint7) SIZE;
BENCHMARK(BM_GeometricMean7) SIZE;
BENCHMARK(BM_HarmonicMean7) SIZE;
BENCHMARK(BM_ContraharmonicMean7) SIZE;
BENCHMARK(BM_ContraharmonicMean7Q15) SIZE;

}  // namespace
}  // namespace opta

OPTA_BENCHMARK_MAIN()
