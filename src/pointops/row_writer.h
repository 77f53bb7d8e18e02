#pragma once
// Streams a point operation's result rows into both surfaces of a canvas,
// rows split over the cores. Each pixel's result depends on its source alone,
// so the visiting order cannot change what is drawn.
//
// Canvas::putRow would mark the dirty area once per row from two threads at
// once; the rows are written through the surfaces' raw rows instead and the
// area is reported once, after the threads have joined.
#include <algorithm>
#include <cstring>
#include <vector>

#include "core/canvas.h"
#include "core/parallel.h"

namespace opta::pointops {

// Calls fill(y, out, n) to compute the first n result pixels of row y
// (24-bit colours) for every row either surface holds, within the
// width x height area the operation writes.
template <class Fill>
void WriteResultRows(Canvas& canvas, int width, int height, Fill&& fill) {
  Surface& window = canvas.window();
  Surface& memory = canvas.memory();
  const int winW = std::max(0, std::min(width, window.width()));
  const int winH = std::max(0, std::min(height, window.height()));
  const int memW = std::max(0, std::min(width, memory.width()));
  const int memH = std::max(0, std::min(height, memory.height()));
  const int rows = std::max(winW > 0 ? winH : 0, memW > 0 ? memH : 0);
  if (rows <= 0) return;

  parallelRows(rows, std::max(winW, memW), [&](int y0, int y1) {
    std::vector<Colour> buffer;
    for (int y = y0; y < y1; ++y) {
      const int wn = y < winH ? winW : 0;
      const int mn = y < memH ? memW : 0;
      const int n = std::max(wn, mn);
      if (n == 0) continue;
      if (mn == n) {
        // Computed straight into the image, then copied to the screen.
        Colour* out = memory.row(y);
        fill(y, out, n);
        if (wn > 0 && window.row(y) != out) std::memcpy(window.row(y), out, sizeof(Colour) * wn);
      } else {
        if (buffer.size() < static_cast<std::size_t>(n)) buffer.resize(n);
        fill(y, buffer.data(), n);
        std::memcpy(window.row(y), buffer.data(), sizeof(Colour) * wn);
        if (mn > 0) std::memcpy(memory.row(y), buffer.data(), sizeof(Colour) * mn);
      }
    }
  });
  window.markDirty(Rect{0, 0, winW, winH});
  memory.markDirty(Rect{0, 0, memW, memH});
}

// The common case: result pixel (x, y) = op(source pixel (x, y)).
template <class Op>
void MapPixels(Canvas& canvas, const PixelMatrix& pixels, Op op) {
  WriteResultRows(canvas, pixels.width(), pixels.height(), [&](int y, Colour* out, int n) {
    const Colour* src = pixels.row(y);
    for (int x = 0; x < n; ++x) out[x] = op(src[x]) & 0xFFFFFF;
  });
}

}  // namespace opta::pointops
