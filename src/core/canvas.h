#pragma once
// Canvas: the two surfaces an operation writes, the window's client area and
// the working image's memory surface. Writing both through one call keeps the
// screen and the saved image from ever disagreeing about what was drawn.
#include <string_view>

#include "core/surface.h"

namespace opta {

class Canvas {
 public:
  Canvas(Surface& window, Surface& memory) : window_(window), memory_(memory) {}

  // Window first, then memory, as every per-pixel write of the program does.
  void put(int x, int y, Colour c) {
    window_.set(x, y, c);
    memory_.set(x, y, c);
  }
  // Memory first, then window: the order the neighbourhood operations that
  // work on a result matrix or a running sum keep.
  void putMemoryFirst(int x, int y, Colour c) {
    memory_.set(x, y, c);
    window_.set(x, y, c);
  }
  void putRow(int x, int y, const Colour* src, int n) {
    window_.putRow(x, y, src, n);
    memory_.putRow(x, y, src, n);
  }
  // Text into both, each with its own context's font and colours.
  void drawText(int x, int y, std::string_view text) {
    window_.drawText(x, y, text);
    memory_.drawText(x, y, text);
  }

  Surface& window() { return window_; }
  Surface& memory() { return memory_; }

 private:
  Surface& window_;
  Surface& memory_;
};

}  // namespace opta
