#pragma once
// Shared set-up of the picture benchmarks: a random picture, a 1920 x 1080
// window and a memory surface of the picture's size, as in the program, and
// the copy of a picture of the same size that every operation is held to.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>

#include "core/canvas.h"
#include "core/matrix.h"
#include "core/surface.h"

namespace opta::bench {

struct Picture {
  PixelMatrix pixels;
  Surface window, memory;
  Picture(int w, int h) {
    pixels.allocate(w, h);
    std::mt19937 rng(1);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) pixels.at(x, y) = rng() & 0xFFFFFF;
    window.allocate(1920, 1080);
    memory.allocate(w, h);
  }
};

// One picture per program: every benchmark uses the same size.
inline Picture& SharedPicture(const benchmark::State& state) {
  static Picture p(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  return p;
}

inline void SetPictureBytes(benchmark::State& state, const Picture& p) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(p.pixels.size() * sizeof(Colour)));
}

// op(canvas, pixels) once per iteration.
template <class Op>
void RunOnPicture(benchmark::State& state, Op op) {
  Picture& p = SharedPicture(state);
  Canvas canvas(p.window, p.memory);
  for (auto _ : state) {
    op(canvas, p.pixels);
    benchmark::ClobberMemory();
  }
  SetPictureBytes(state, p);
}

// The yardstick: one plain copy of a picture of the same size.
inline void BM_Memcpy(benchmark::State& state) {
  Picture& p = SharedPicture(state);
  for (auto _ : state) {
    std::memcpy(p.memory.row(0), p.pixels.data(), p.pixels.size() * sizeof(Colour));
    benchmark::ClobberMemory();
  }
  SetPictureBytes(state, p);
}

}  // namespace opta::bench
