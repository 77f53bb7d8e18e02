#pragma once
// Two pictures and the surfaces a two-image operation draws into.
#include "combine/combine.h"
#include "core/canvas.h"
#include "core/cpu.h"

namespace opta::testing {

constexpr Colour kBefore = 0x0A0B0C;  // what the surfaces showed before the command

struct Pair {
  PixelMatrix first, second;
  Surface window, memory;
  Size screen;
  Pair(Size a, Size b, Size client = {64, 64}, Size screenSize = {64, 64}) : screen(screenSize) {
    first.allocate(a.width, a.height);
    second.allocate(b.width, b.height);
    first.fill(0);
    second.fill(0);
    window.allocate(client.width, client.height, kBefore);
    memory.allocate(a.width, a.height, kBefore);
  }
  void run(CombineOp op) {
    Canvas c(window, memory);
    op(c, first, second, screen);
  }
};

// The processor levels a kernel has forms for: every test runs each.
inline constexpr cpu::Level kLevels[] = {cpu::Level::Baseline, cpu::Level::Avx2};

}  // namespace opta::testing
