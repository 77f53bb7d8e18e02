#pragma once
// A picture and the two surfaces an operation draws into, for the tests of
// whole-picture operations.
#include <functional>
#include <initializer_list>

#include "core/canvas.h"
#include "core/matrix.h"

namespace opta::testing {

constexpr Colour kBefore = 0x0A0B0C;  // what the surfaces showed before the command

struct Scene {
  Surface window, memory;
  PixelMatrix pixels;
  Scene(int w, int h, int clientW = 64, int clientH = 64) {
    window.allocate(clientW, clientH, kBefore);
    memory.allocate(w, h, kBefore);
    pixels.allocate(w, h);
    pixels.fill(0);
  }
  Canvas canvas() { return Canvas(window, memory); }
};

using Op = std::function<void(Canvas&, const PixelMatrix&)>;

// One pixel through an operation; the window and memory must agree.
inline Colour Apply(const Op& op, Colour source) {
  Scene s(1, 1);
  s.pixels.at(0, 0) = source;
  Canvas c = s.canvas();
  op(c, s.pixels);
  return s.window.get(0, 0) == s.memory.get(0, 0) ? s.memory.get(0, 0) : 0xDEADBEEF;
}

}  // namespace opta::testing
