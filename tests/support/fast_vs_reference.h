#pragma once
// Holds a fast neighbourhood operation to its reference form, bit for bit,
// at every instruction set the processor has (the plain loops included).
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "core/canvas.h"
#include "core/cpu.h"

namespace opta::testing {

using PictureOp = std::function<void(Canvas&, const PixelMatrix&)>;
constexpr Colour kBefore = 0x0A0B0C;  // what the surfaces showed before the operation

struct Drawn {
  Surface window, memory;
  Rect windowDirty, memoryDirty;
  Colour at(int x, int y) const { return memory.get(x, y); }
};

inline Drawn Draw(const PictureOp& op, const PixelMatrix& p, int clientW, int clientH) {
  Drawn d;
  d.window.allocate(clientW, clientH, kBefore);
  d.memory.allocate(p.width(), p.height(), kBefore);
  Canvas c(d.window, d.memory);
  d.window.takeDirty(), d.memory.takeDirty();
  op(c, p);
  d.windowDirty = d.window.takeDirty(), d.memoryDirty = d.memory.takeDirty();
  return d;
}

// What the reference form drew; the fast form must draw the same at every level.
inline Drawn DrawnByEveryForm(const std::string& name, const PictureOp& fast, const PictureOp& ref,
                              const PixelMatrix& p, int clientW = 64, int clientH = 48) {
  Drawn r = Draw(ref, p, clientW, clientH);
  for (cpu::Level level : {cpu::Level::Baseline, cpu::Level::Avx2, cpu::Level::Avx512}) {
    if (level > cpu::Detected()) continue;
    cpu::CapForTest cap(level);
    const Drawn f = Draw(fast, p, clientW, clientH);
    const std::string where = name + " on " + std::to_string(p.width()) + "x" + std::to_string(p.height()) +
                              " at level " + std::to_string(static_cast<int>(level));
    EXPECT_EQ(f.windowDirty, r.windowDirty) << where;
    EXPECT_EQ(f.memoryDirty, r.memoryDirty) << where;
    for (const auto& [a, b] : {std::pair{&f.window, &r.window}, std::pair{&f.memory, &r.memory}})
      for (int y = 0; y < a->height(); ++y)
        for (int x = 0; x < a->width(); ++x)
          if (a->get(x, y) != b->get(x, y)) {
            ADD_FAILURE() << where << " differs at " << x << "," << y;
            return r;
          }
  }
  return r;
}

// Every shape from 1x1 to 9x9 (in a window that cuts some), a few larger odd
// ones, rows longer than one piece of the row writer; random colours with
// the unused top byte set, every other picture's channels drawn from a few
// values so that ties, 0 and 255 are common.
inline void ExpectSameAsReference(const std::string& name, const PictureOp& fast, const PictureOp& ref,
                                  std::mt19937& rng) {
  struct Shape {
    int w, h, clientW, clientH;
  };
  std::vector<Shape> shapes = {{641, 479, 300, 500}, {37, 21, 64, 64}, {4101, 5, 2050, 8}};
  for (int w = 1; w <= 9; ++w)
    for (int h = 1; h <= 9; ++h) shapes.push_back({w, h, 7, 6});
  static const std::uint32_t kLevels[] = {0, 1, 2, 127, 128, 254, 255};
  for (const Shape& k : shapes) {
    PixelMatrix p;
    ASSERT_TRUE(p.allocate(k.w, k.h));
    const bool levels = rng() % 2 == 0;
    for (int y = 0; y < k.h; ++y)
      for (int x = 0; x < k.w; ++x)
        p.at(x, y) = levels ? (rng() & 0xFF000000) | kLevels[rng() % 7] | kLevels[rng() % 7] << 8 |
                                  kLevels[rng() % 7] << 16
                            : static_cast<Colour>(rng());
    DrawnByEveryForm(name, fast, ref, p, k.clientW, k.clientH);
  }
}

}  // namespace opta::testing
