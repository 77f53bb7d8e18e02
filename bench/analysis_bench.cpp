// Segmentation on the scene compare.py chooses (a natural photograph mosaic,
// a generated smear, or random colours), 4096 x 3072: the gray levels and
// their histogram, thresholding at [0, 140], labelling and the mask
// clean-ups. bench/analysis_yardstick.py gives OpenCV the same mask.
#include <benchmark/benchmark.h>

#include <cstring>

#include "analysis/cleanup.h"
#include "analysis/histogram.h"
#include "analysis/label.h"
#include "bench_main.h"
#include "picture_bench.h"

namespace opta {
namespace {

// The scene's pixels, surfaces, and the mask the program's gray and
// threshold [0, 140] give; a working copy is restored outside the timing.
struct Masks {
  ByteMatrix gray, mask, work;
  explicit Masks(const bench::Picture& p) {
    const int w = p.pixels.width(), h = p.pixels.height();
    Histogram hist;
    ComputeHistogram(hist, h, w, p.pixels, gray);
    ThresholdRange(gray, mask, 140, 0, w, h);
    work.copyFrom(mask);
  }
};

Masks& Get(benchmark::State& state) {
  static Masks m(bench::SharedPicture(state));
  return m;
}

LabelEnv Env(const ByteMatrix& m) { return LabelEnv{Size{m.width(), m.height()}, MessageFn{}, ""}; }

// The copy baseline: one plain copy of the mask.
void BM_Memcpy(benchmark::State& state) {
  Masks& s = Get(state);
  for (auto _ : state) {
    std::memcpy(s.work.data(), s.mask.data(), s.mask.size());
    benchmark::ClobberMemory();
  }
}

// Labelling alone, painting the labelled objects into both surfaces.
void BM_LabelObjects(benchmark::State& state) {
  Masks& s = Get(state);
  bench::Picture& p = bench::SharedPicture(state);
  Canvas canvas(p.window, p.memory);
  std::uint32_t count = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(s.work.data(), s.mask.data(), s.mask.size());
    state.ResumeTiming();
    count = LabelObjects(s.work, s.work.width(), s.work.height(), canvas, Env(s.work));
    benchmark::ClobberMemory();
  }
  state.counters["objects"] = count;
}

// Gray levels and their histogram, the first step of every threshold command.
void BM_ComputeHistogram(benchmark::State& state) {
  Masks& s = Get(state);
  const bench::Picture& p = bench::SharedPicture(state);
  Histogram hist;
  for (auto _ : state) {
    ComputeHistogram(hist, p.pixels.height(), p.pixels.width(), p.pixels, s.gray);
    benchmark::ClobberMemory();
  }
}

// Gray levels, smoothed histogram, [0, 140] and labelling: Threshold, then Grow.
void BM_ThresholdLabel(benchmark::State& state) {
  Masks& s = Get(state);
  bench::Picture& p = bench::SharedPicture(state);
  Canvas canvas(p.window, p.memory);
  const int w = p.pixels.width(), h = p.pixels.height();
  Histogram hist;
  for (auto _ : state) {
    ComputeHistogram(hist, h, w, p.pixels, s.gray);
    SmoothHistogram(hist);
    ThresholdRange(s.gray, s.work, 140, 0, w, h);
    LabelObjects(s.work, w, h, canvas, Env(s.work));
    benchmark::ClobberMemory();
  }
}

void BM_RemoveObjects(benchmark::State& state) {
  Masks& s = Get(state);
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(s.work.data(), s.mask.data(), s.mask.size());
    state.ResumeTiming();
    RemoveObjects(s.work, s.work.width(), s.work.height(), 100, MessageFn{});
    benchmark::ClobberMemory();
  }
}

void BM_FillObjects(benchmark::State& state) {
  Masks& s = Get(state);
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(s.work.data(), s.mask.data(), s.mask.size());
    state.ResumeTiming();
    FillObjects(s.work, s.work.width(), s.work.height(), 1000, MessageFn{});
    benchmark::ClobberMemory();
  }
}

#define OPTA_SIZES Args({4096, 3072})->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_Memcpy)->OPTA_SIZES;
BENCHMARK(BM_LabelObjects)->OPTA_SIZES;
BENCHMARK(BM_ComputeHistogram)->OPTA_SIZES;
BENCHMARK(BM_ThresholdLabel)->OPTA_SIZES;
BENCHMARK(BM_RemoveObjects)->OPTA_SIZES;
BENCHMARK(BM_FillObjects)->OPTA_SIZES;

}  // namespace
}  // namespace opta

OPTA_BENCHMARK_MAIN()
