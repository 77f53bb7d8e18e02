#pragma once
// Holds a fast neighbourhood operation to its reference form, bit for bit:
// every picture shape from 1x1 to 9x9, a few larger odd ones, surfaces
// smaller and larger than the picture, and every instruction set the
// processor has (the plain loops included).
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/canvas.h"
#include "core/cpu.h"
#include "core/matrix.h"

namespace opta::testing {

using PictureOp = std::function<void(Canvas&, const PixelMatrix&)>;

struct Shape {
  int w, h, clientW, clientH;
};

inline std::vector<Shape> ShapesToCompare() {
  std::vector<Shape> shapes;
  for (int w = 1; w <= 9; ++w)
    for (int h = 1; h <= 9; ++h) shapes.push_back({w, h, 7, 6});  // the window cuts some
  shapes.push_back({641, 479, 300, 500});
  shapes.push_back({37, 21, 64, 64});
  shapes.push_back({4101, 5, 2050, 8});  // rows longer than one piece of the row writer
  return shapes;
}

// Random colours, the unused top byte included; every other picture draws
// its channels from a few values, so ties, 0 and 255 are common.
inline void FillPicture(PixelMatrix& p, std::mt19937& rng) {
  static const std::uint32_t kLevels[] = {0, 1, 2, 127, 128, 254, 255};
  const bool levels = rng() % 2 == 0;
  for (int y = 0; y < p.height(); ++y)
    for (int x = 0; x < p.width(); ++x) {
      std::uint32_t c = static_cast<std::uint32_t>(rng());
      if (levels)
        c = (c & 0xFF000000) | kLevels[rng() % 7] | kLevels[rng() % 7] << 8 | kLevels[rng() % 7] << 16;
      p.at(x, y) = c;
    }
}

constexpr Colour kBefore = 0x0A0B0C;  // what the surfaces showed before the operation

inline void ExpectSameAsReference(const std::string& name, const PictureOp& fast, const PictureOp& ref,
                                  std::mt19937& rng) {
  for (const Shape& k : ShapesToCompare()) {
    PixelMatrix pixels;
    ASSERT_TRUE(pixels.allocate(k.w, k.h));
    FillPicture(pixels, rng);
    auto draw = [&](const PictureOp& op, Surface& window, Surface& memory) {
      window.allocate(k.clientW, k.clientH, kBefore);
      memory.allocate(k.w, k.h, kBefore);
      window.takeDirty();
      memory.takeDirty();
      Canvas c(window, memory);
      op(c, pixels);
    };
    Surface refWindow, refMemory;
    draw(ref, refWindow, refMemory);
    const Rect refWindowDirty = refWindow.takeDirty(), refMemoryDirty = refMemory.takeDirty();
    for (cpu::Level level : {cpu::Level::Baseline, cpu::Level::Avx2, cpu::Level::Avx512}) {
      if (level > cpu::Detected()) continue;
      cpu::CapForTest cap(level);
      Surface window, memory;
      draw(fast, window, memory);
      const std::string where = name + " on " + std::to_string(k.w) + "x" + std::to_string(k.h) +
                                " at level " + std::to_string(static_cast<int>(level));
      ASSERT_EQ(window.takeDirty(), refWindowDirty) << where;
      ASSERT_EQ(memory.takeDirty(), refMemoryDirty) << where;
      for (const auto& [s, t] : {std::pair{&window, &refWindow}, std::pair{&memory, &refMemory}})
        for (int y = 0; y < s->height(); ++y)
          for (int x = 0; x < s->width(); ++x)
            ASSERT_EQ(s->get(x, y), t->get(x, y)) << where << " at " << x << "," << y;
    }
  }
}

// What an operation drew on a picture, for hand-worked checks.
struct Drawn {
  Surface window, memory;
  Colour at(int x, int y) const { return memory.get(x, y); }
};

// The surfaces after the reference form (a 64 x 48 window and a memory
// surface of the picture's size, both showing kBefore first); the fast form
// at every instruction set must draw the same.
inline Drawn DrawnByEveryForm(const std::string& name, const PictureOp& fast, const PictureOp& ref,
                              const PixelMatrix& pixels) {
  auto draw = [&](const PictureOp& op, Drawn& d) {
    d.window.allocate(64, 48, kBefore);
    d.memory.allocate(pixels.width(), pixels.height(), kBefore);
    Canvas c(d.window, d.memory);
    op(c, pixels);
  };
  Drawn r;
  draw(ref, r);
  for (cpu::Level level : {cpu::Level::Baseline, cpu::Level::Avx2, cpu::Level::Avx512}) {
    if (level > cpu::Detected()) continue;
    cpu::CapForTest cap(level);
    Drawn f;
    draw(fast, f);
    int differ = 0;
    for (const auto& [a, b] : {std::pair{&f.window, &r.window}, std::pair{&f.memory, &r.memory}})
      for (int y = 0; y < a->height(); ++y)
        for (int x = 0; x < a->width(); ++x) differ += a->get(x, y) != b->get(x, y);
    EXPECT_EQ(differ, 0) << name << ": pixels where the fast form differs at level "
                         << static_cast<int>(level);
  }
  return r;
}

}  // namespace opta::testing
