// Segmentation on a 4096 x 3072 smear-like picture: pale background with
// about three thousand cell discs (radius 14..21, a third with a pale
// centre), many touching, so some 1600 objects. bench/analysis_yardstick.py
// builds the same scene for OpenCV.
#include <benchmark/benchmark.h>

#include <cstring>

#include "analysis/cleanup.h"
#include "analysis/histogram.h"
#include "analysis/label.h"
#include "bench_main.h"

namespace opta {
namespace {

// The scene generator both sides share: a 31-bit LCG, one draw per value.
struct Lcg {
  std::uint32_t state = 12345;
  std::uint32_t next() {
    state = (state * 1103515245u + 12345u) & 0x7FFFFFFFu;
    return state;
  }
};

constexpr Colour kBackground = Rgb(230, 220, 225);  // gray 69 + 129 + 24 = 222
constexpr Colour kCell = Rgb(180, 90, 100);         // gray 54 + 53 + 11 = 118

struct Scene {
  PixelMatrix pixels;
  ByteMatrix mask;  // 255 on the cells: what thresholding [0, 140] gives
  ByteMatrix work, gray;
  Surface window, memory;
  Scene(int w, int h) {
    pixels.allocate(w, h);
    pixels.fill(kBackground);
    Lcg rng;
    const int discs = w * h / 4000;
    for (int i = 0; i < discs; ++i) {
      const int cx = static_cast<int>(rng.next() % w), cy = static_cast<int>(rng.next() % h);
      const int r = 14 + static_cast<int>(rng.next() % 8);
      const int hole = i % 3 == 0 ? r / 3 : 0;
      for (int y = cy - r; y <= cy + r; ++y) {
        for (int x = cx - r; x <= cx + r; ++x) {
          const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
          if (pixels.contains(x, y) && d2 <= r * r) pixels.at(x, y) = d2 < hole * hole ? kBackground : kCell;
        }
      }
    }
    mask.allocate(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) mask.at(x, y) = pixels.at(x, y) == kCell ? 255 : 0;
    work.allocate(w, h);
    window.allocate(1920, 1080);
    memory.allocate(w, h);
  }
};

Scene& Get(benchmark::State& state) {
  static Scene s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  return s;
}

LabelEnv Env(const Scene& s) { return LabelEnv{Size{s.mask.width(), s.mask.height()}, MessageFn{}, ""}; }

// The copy baseline: one plain copy of the mask.
void BM_Memcpy(benchmark::State& state) {
  Scene& s = Get(state);
  for (auto _ : state) {
    std::memcpy(s.work.data(), s.mask.data(), s.mask.size());
    benchmark::ClobberMemory();
  }
}

// Labelling alone: the thresholded mask is restored outside the timing.
void BM_LabelObjects(benchmark::State& state) {
  Scene& s = Get(state);
  Canvas canvas(s.window, s.memory);
  std::uint32_t count = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(s.work.data(), s.mask.data(), s.mask.size());
    state.ResumeTiming();
    count = LabelObjects(s.work, s.work.width(), s.work.height(), canvas, Env(s));
    benchmark::ClobberMemory();
  }
  state.counters["objects"] = count;
}

// Gray levels and their histogram, the first step of every threshold command.
void BM_ComputeHistogram(benchmark::State& state) {
  Scene& s = Get(state);
  Histogram hist;
  for (auto _ : state) {
    ComputeHistogram(hist, s.pixels.height(), s.pixels.width(), s.pixels, s.gray);
    benchmark::ClobberMemory();
  }
}

// Gray levels, smoothed histogram, [0, 140] and labelling: Threshold, then Grow.
void BM_ThresholdLabel(benchmark::State& state) {
  Scene& s = Get(state);
  Canvas canvas(s.window, s.memory);
  const int w = s.pixels.width(), h = s.pixels.height();
  Histogram hist;
  for (auto _ : state) {
    ComputeHistogram(hist, h, w, s.pixels, s.gray);
    SmoothHistogram(hist);
    ThresholdRange(s.gray, s.work, 140, 0, w, h);
    LabelObjects(s.work, w, h, canvas, Env(s));
    benchmark::ClobberMemory();
  }
}

// The whole Threshold + Grow pair as the program runs it, the black and
// white mask shown in between.
void BM_ThresholdShowLabel(benchmark::State& state) {
  Scene& s = Get(state);
  Canvas canvas(s.window, s.memory);
  const int w = s.pixels.width(), h = s.pixels.height();
  Histogram hist;
  for (auto _ : state) {
    ComputeHistogram(hist, h, w, s.pixels, s.gray);
    SmoothHistogram(hist);
    ThresholdRange(s.gray, s.work, 140, 0, w, h);
    ShowMask(s.work, canvas, w, h);
    LabelObjects(s.work, w, h, canvas, Env(s));
    benchmark::ClobberMemory();
  }
}

void BM_RemoveObjects(benchmark::State& state) {
  Scene& s = Get(state);
  ByteMatrix scratch;
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(s.work.data(), s.mask.data(), s.mask.size());
    state.ResumeTiming();
    RemoveObjects(s.work, s.work.width(), s.work.height(), 100, MessageFn{}, &scratch);
    benchmark::ClobberMemory();
  }
}

void BM_FillObjects(benchmark::State& state) {
  Scene& s = Get(state);
  ByteMatrix scratch;
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(s.work.data(), s.mask.data(), s.mask.size());
    state.ResumeTiming();
    FillObjects(s.work, s.work.width(), s.work.height(), 1000, MessageFn{}, &scratch);
    benchmark::ClobberMemory();
  }
}

#define OPTA_SIZES Args({4096, 3072})->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_Memcpy)->OPTA_SIZES;
BENCHMARK(BM_LabelObjects)->OPTA_SIZES;
BENCHMARK(BM_ComputeHistogram)->OPTA_SIZES;
BENCHMARK(BM_ThresholdLabel)->OPTA_SIZES;
BENCHMARK(BM_ThresholdShowLabel)->OPTA_SIZES;
BENCHMARK(BM_RemoveObjects)->OPTA_SIZES;
BENCHMARK(BM_FillObjects)->OPTA_SIZES;
// TRFG and RBC General join here.

}  // namespace
}  // namespace opta

OPTA_BENCHMARK_MAIN()
