// TRFG followed by RBC General on a 4096 x 3072 synthetic smear, and the
// measurements alone, beside OpenCV's threshold + connectedComponentsWithStats
// (bench/cells_yardstick.py) on the same picture.
//
// The picture comes from tools/smear_generator (seed 11), written once to
// $OPTA_CELLS_SMEAR or /tmp/optascope_cells_smear_4096x3072.bmp; the
// yardstick reads the same file.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "analysis/bloodcells.h"
#include "analysis/cleanup.h"
#include "analysis/histogram.h"
#include "analysis/label.h"
#include "analysis/measure.h"
#include "bench_main.h"
#include "document/dib_file.h"

namespace opta {
namespace {

std::string SmearPath() {
  const char* env = std::getenv("OPTA_CELLS_SMEAR");
  return env ? env : "/tmp/optascope_cells_smear_4096x3072.bmp";
}

// The generator sits in the build tree's tools folder, beside bench/.
bool MakeSmear(const std::string& path) {
  if (std::ifstream(path).good()) return true;
  char self[PATH_MAX] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return false;
  std::string dir(self);
  dir = dir.substr(0, dir.rfind('/'));
  const std::string cmd =
      dir + "/../tools/smear_generator --width 4096 --height 3072 --seed 11 '" + path + "' > /dev/null";
  return std::system(cmd.c_str()) == 0;
}

struct Smear {
  PixelMatrix pixels;
  ByteMatrix gray, mask, labelled;
  Surface window, memory;
  bool ok = false;

  Smear() {
    const std::string path = SmearPath();
    if (!MakeSmear(path)) return;
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Surface decoded;
    if (!DecodeDib(bytes, decoded)) return;
    pixels.allocate(decoded.width(), decoded.height());
    for (int y = 0; y < decoded.height(); ++y)
      std::memcpy(pixels.row(y), decoded.row(y), sizeof(Colour) * decoded.width());
    window.allocate(1920, 1080);
    memory.allocate(pixels.width(), pixels.height());
    // The labelled mask TRFG leaves, for the measurement-only cases.
    Trfg();
    labelled.copyFrom(mask);
    ok = true;
  }

  LabelEnv env() const {
    return LabelEnv{Size{8192, 8192}, [](std::string_view, std::string_view, unsigned) {}, {}};
  }

  void Trfg() {
    const int w = pixels.width(), h = pixels.height();
    Canvas canvas(window, memory);
    ComputeHistogram(GrayHistogram, h, w, pixels, gray);
    SmoothHistogram(GrayHistogram);
    ThresholdRange(gray, mask, 140, 0, w, h);
    const MessageFn quiet = [](std::string_view, std::string_view, unsigned) {};
    RemoveObjects(mask, w, h, 100, quiet);
    FillObjects(mask, w, h, 1000, quiet);
    ShowMask(mask, canvas, w, h);
    LabelObjects(mask, w, h, canvas, env());
  }
};

Smear& Get() {
  static Smear s;
  return s;
}

template <class Body>
void Run(benchmark::State& state, Body body) {
  Smear& s = Get();
  if (!s.ok) {
    state.SkipWithError("no smear picture (build tools/smear_generator)");
    return;
  }
  for (auto _ : state) {
    body(s);
    benchmark::ClobberMemory();
  }
}

void BM_Memcpy(benchmark::State& state) {
  Run(state,
      [](Smear& s) { std::memcpy(s.memory.row(0), s.pixels.data(), s.pixels.size() * sizeof(Colour)); });
}

// TRFG (gray, histogram, threshold, remove, fill, show, label) and RBC General.
void BM_TrfgRbcGeneral(benchmark::State& state) {
  Run(state, [](Smear& s) {
    s.Trfg();
    benchmark::DoNotOptimize(AssessRedCells(s.mask, s.pixels.width(), s.pixels.height()));
  });
}

// Threshold, label, then area and perimeter: what OpenCV's labelling with
// statistics gives.
void BM_LabelAndMeasure(benchmark::State& state) {
  Run(state, [](Smear& s) {
    const int w = s.pixels.width(), h = s.pixels.height();
    Canvas canvas(s.window, s.memory);
    ComputeHistogram(GrayHistogram, h, w, s.pixels, s.gray);
    ThresholdRange(s.gray, s.mask, 140, 0, w, h);
    LabelObjects(s.mask, w, h, canvas, s.env());
    MeasureAreas(s.mask, h, w);
    MeasurePerimeters(s.mask, w, h);
  });
}

// Find WBCs: dark threshold, specks removed, labelled and marked.
void BM_FindWbcs(benchmark::State& state) {
  Run(state, [](Smear& s) {
    const int w = s.pixels.width(), h = s.pixels.height();
    Canvas canvas(s.window, s.memory);
    ComputeHistogram(GrayHistogram, h, w, s.pixels, s.gray);
    SmoothHistogram(GrayHistogram);
    ThresholdRange(s.gray, s.mask, 70, 0, w, h);
    RemoveObjects(s.mask, w, h, 100, [](std::string_view, std::string_view, unsigned) {});
    LabelObjects(s.mask, w, h, canvas, s.env());
    MarkWhiteCells(canvas, s.mask, w, h);
  });
}

void BM_MarkWhiteCells(benchmark::State& state) {
  Run(state, [](Smear& s) {
    Canvas canvas(s.window, s.memory);
    MarkWhiteCells(canvas, s.labelled, s.labelled.width(), s.labelled.height());
  });
}

void BM_Measurements(benchmark::State& state) {
  Run(state, [](Smear& s) {
    MeasureAreas(s.labelled, s.labelled.height(), s.labelled.width());
    MeasurePerimeters(s.labelled, s.labelled.width(), s.labelled.height());
  });
}

void BM_MeanIntensities(benchmark::State& state) {
  Run(state, [](Smear& s) {
    MeasureMeanIntensities(s.pixels, s.labelled, s.labelled.width(), s.labelled.height());
  });
}

void BM_FirstPixels(benchmark::State& state) {
  Run(state, [](Smear& s) {
    benchmark::DoNotOptimize(FindFirstPixels(s.labelled, s.labelled.width(), s.labelled.height()));
  });
}

void BM_MeasurementsReference(benchmark::State& state) {
  Run(state, [](Smear& s) {
    AreaTable a;
    PerimeterTable p;
    ComputeAreasReference(s.labelled, s.labelled.width(), s.labelled.height(), a);
    ComputePerimetersReference(s.labelled, s.labelled.width(), s.labelled.height(), p);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(p);
  });
}

#define SIZE ->Args({4096, 3072})->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_Memcpy) SIZE;
BENCHMARK(BM_TrfgRbcGeneral) SIZE;
BENCHMARK(BM_LabelAndMeasure) SIZE;
BENCHMARK(BM_FindWbcs) SIZE;
BENCHMARK(BM_MarkWhiteCells) SIZE;
BENCHMARK(BM_Measurements) SIZE;
BENCHMARK(BM_MeanIntensities) SIZE;
BENCHMARK(BM_FirstPixels) SIZE;
BENCHMARK(BM_MeasurementsReference) SIZE;

}  // namespace
}  // namespace opta

OPTA_BENCHMARK_MAIN()
