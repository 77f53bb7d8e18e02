#pragma once
// Shared set-up of the picture benchmarks: the scene picture, a 1920 x 1080
// window and a memory surface of the picture's size, as in the program, and
// the copy of a picture of the same size that every operation is held to.
//
// bench/compare.py names the scene's file in OPTA_BENCH_PICTURE ("OPTAPIC1",
// width and height as little-endian 32-bit numbers, then the colour values),
// so OpenCV's side works on the very same bytes. Without it: random colours.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "core/canvas.h"
#include "core/matrix.h"
#include "core/surface.h"

namespace opta::bench {

// Reads the scene file into pixels; exits with a message when it does not
// hold a w x h picture, since a benchmark of the wrong picture is worthless.
inline void LoadScene(const char* path, int w, int h, PixelMatrix& pixels) {
  std::FILE* f = std::fopen(path, "rb");
  char magic[8] = {};
  std::uint32_t size[2] = {};
  const bool ok = f && std::fread(magic, 1, 8, f) == 8 && std::memcmp(magic, "OPTAPIC1", 8) == 0 &&
                  std::fread(size, 4, 2, f) == 2 && size[0] == static_cast<std::uint32_t>(w) &&
                  size[1] == static_cast<std::uint32_t>(h) &&
                  std::fread(pixels.data(), sizeof(Colour), pixels.size(), f) == pixels.size();
  if (f) std::fclose(f);
  if (!ok) {
    std::fprintf(stderr, "%s: not a %d x %d scene picture\n", path, w, h);
    std::exit(2);
  }
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels.data()[i] &= 0xFFFFFF;
}

struct Picture {
  PixelMatrix pixels;
  Surface window, memory;
  Picture(int w, int h) {
    pixels.allocate(w, h);
    if (const char* scene = std::getenv("OPTA_BENCH_PICTURE")) {
      LoadScene(scene, w, h, pixels);
    } else {
      std::mt19937 rng(1);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pixels.at(x, y) = rng() & 0xFFFFFF;
    }
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
