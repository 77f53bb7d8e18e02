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
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/canvas.h"
#include "core/parallel.h"

namespace opta {

// Copies a finished row out without pulling the destination into the cache:
// the surfaces are far larger than the cache and are not read back here.
inline void StreamRow(Colour* dst, const Colour* src, int n) {
#if defined(__SSE2__)
  int i = 0;
  for (; i < n && (reinterpret_cast<std::uintptr_t>(dst + i) & 15) != 0; ++i) dst[i] = src[i];
  for (; i + 4 <= n; i += 4)
    _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
  for (; i < n; ++i) dst[i] = src[i];
#else
  std::memcpy(dst, src, sizeof(Colour) * n);
#endif
}

// Calls fill(x, y, out, n) to compute the n result pixels from (x, y) along
// row y (24-bit colours) for every row either surface holds, within the
// width x height area the operation writes. Rows go in pieces small enough
// to stay in the first-level cache, however wide the picture.
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
    constexpr int kPiece = 2048;
    alignas(16) Colour buffer[kPiece];
    for (int y = y0; y < y1; ++y) {
      const int wn = y < winH ? winW : 0;
      const int mn = y < memH ? memW : 0;
      const int n = std::max(wn, mn);
      for (int x = 0; x < n; x += kPiece) {
        const int len = std::min(kPiece, n - x);
        fill(x, y, buffer, len);
        if (x < wn) StreamRow(window.row(y) + x, buffer, std::min(len, wn - x));
        if (x < mn) StreamRow(memory.row(y) + x, buffer, std::min(len, mn - x));
      }
    }
#if defined(__SSE2__)
    _mm_sfence();  // streamed stores are visible before the threads join
#endif
  });
  window.markDirty(Rect{0, 0, winW, winH});
  memory.markDirty(Rect{0, 0, memW, memH});
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
