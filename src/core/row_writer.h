#pragma once
// Streams an operation's result rows into both surfaces of a canvas, rows
// split over the cores: the window keeps what fits the client area, the
// memory surface what fits the image, and only that much is ever computed.
// For operations whose every result pixel is independent of the others, so
// the visiting order cannot change what is drawn.
//
// Canvas::putRow would mark the dirty area once per row from two threads at
// once; the rows are written through the surfaces' raw rows instead and the
// area is reported once, after the threads have joined.
#include <algorithm>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/canvas.h"
#include "core/parallel.h"

namespace opta {

// Copies a finished row out without pulling the destination into the cache:
// the surfaces are far larger than the cache and are not read back here.
void StreamRow(Colour* dst, const Colour* src, int n);

// Who computes the rows: the cores in parallel, or the calling thread alone.
// Work that does little more than move bytes runs as fast on one core here
// (memory is the limit) and then never waits for a second, busy one.
enum class RowThreads { Cores, One };

// Calls fill(x, y, out, n) to compute the n result pixels from (x, y) along
// row y (24-bit colours) for every pixel of `area` that either surface holds.
// Pixels outside the area are left as they were, so a neighbourhood operation
// passes its interior and keeps the border it cannot compute. Rows go in
// pieces small enough to stay in the first-level cache, however wide.
template <class Fill>
void WriteResultRect(Canvas& canvas, const Rect& area, Fill&& fill, RowThreads threads = RowThreads::Cores) {
  Surface& window = canvas.window();
  Surface& memory = canvas.memory();
  const int x0 = std::max(0, area.left), y0 = std::max(0, area.top);
  const int winX1 = std::min(area.right, window.width()), winY1 = std::min(area.bottom, window.height());
  const int memX1 = std::min(area.right, memory.width()), memY1 = std::min(area.bottom, memory.height());
  const bool toWindow = winX1 > x0 && winY1 > y0, toMemory = memX1 > x0 && memY1 > y0;
  const int y1 = std::max(toWindow ? winY1 : y0, toMemory ? memY1 : y0);
  if (y1 <= y0) return;

  auto rows = [&](int r0, int r1) {
    // Small enough that the sources being read, the piece and the stores on
    // their way out all stay in the first-level cache.
    constexpr int kPiece = 512;
    alignas(64) Colour buffer[kPiece];
    for (int y = y0 + r0; y < y0 + r1; ++y) {
      const int wEnd = toWindow && y < winY1 ? winX1 : x0;
      const int mEnd = toMemory && y < memY1 ? memX1 : x0;
      const int end = std::max(wEnd, mEnd);
      for (int x = x0; x < end; x += kPiece) {
        const int len = std::min(kPiece, end - x);
        fill(x, y, buffer, len);
        if (x < wEnd) StreamRow(window.row(y) + x, buffer, std::min(len, wEnd - x));
        if (x < mEnd) StreamRow(memory.row(y) + x, buffer, std::min(len, mEnd - x));
      }
    }
#if defined(__SSE2__)
    _mm_sfence();  // streamed stores are visible before the threads join
#endif
  };
  if (threads == RowThreads::One) {
    rows(0, y1 - y0);
  } else {
    parallelRows(y1 - y0, std::max(winX1, memX1) - x0, rows);
  }
  if (toWindow) window.markDirty(Rect{x0, y0, winX1, winY1});
  if (toMemory) memory.markDirty(Rect{x0, y0, memX1, memY1});
}

// The whole width x height picture from (0, 0).
template <class Fill>
void WriteResultRows(Canvas& canvas, int width, int height, Fill&& fill) {
  WriteResultRect(canvas, Rect{0, 0, width, height}, std::forward<Fill>(fill));
}

// The common case: result pixel (x, y) = op(source pixel (x, y)).
template <class Op>
void MapPixels(Canvas& canvas, const PixelMatrix& pixels, Op op) {
  WriteResultRows(canvas, pixels.width(), pixels.height(), [&](int x0, int y, Colour* out, int n) {
    const Colour* src = pixels.row(y) + x0;
    for (int x = 0; x < n; ++x) out[x] = op(src[x]) & 0xFFFFFF;
  });
}

}  // namespace opta
