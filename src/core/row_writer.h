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
#include <utility>

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

namespace detail {

// Where the result rows of `area` go: the window keeps what fits the client
// area, the memory surface what fits the image.
class ResultTargets {
 public:
  ResultTargets(Canvas& canvas, const Rect& area) : window_(canvas.window()), memory_(canvas.memory()) {
    x0 = std::max(0, area.left);
    y0 = std::max(0, area.top);
    winX1_ = std::min(area.right, window_.width());
    winY1_ = std::min(area.bottom, window_.height());
    memX1_ = std::min(area.right, memory_.width());
    memY1_ = std::min(area.bottom, memory_.height());
    toWindow_ = winX1_ > x0 && winY1_ > y0;
    toMemory_ = memX1_ > x0 && memY1_ > y0;
    y1 = std::max(toWindow_ ? winY1_ : y0, toMemory_ ? memY1_ : y0);
    x1 = std::max(toWindow_ ? winX1_ : x0, toMemory_ ? memX1_ : x0);
  }
  int x0, y0, x1, y1;  // nothing to compute when y1 <= y0

  int windowEnd(int y) const { return toWindow_ && y < winY1_ ? winX1_ : x0; }
  int memoryEnd(int y) const { return toMemory_ && y < memY1_ ? memX1_ : x0; }
  int end(int y) const { return std::max(windowEnd(y), memoryEnd(y)); }

  // The len result pixels from (x, y) to the surfaces that hold them.
  void put(int x, int y, const Colour* buffer, int len) {
    const int wEnd = windowEnd(y), mEnd = memoryEnd(y);
    if (x < wEnd) StreamRow(window_.row(y) + x, buffer, std::min(len, wEnd - x));
    if (x < mEnd) StreamRow(memory_.row(y) + x, buffer, std::min(len, mEnd - x));
  }
  // After the threads have joined.
  void markDirty() {
    if (toWindow_) window_.markDirty(Rect{x0, y0, winX1_, winY1_});
    if (toMemory_) memory_.markDirty(Rect{x0, y0, memX1_, memY1_});
  }

 private:
  Surface& window_;
  Surface& memory_;
  int winX1_, winY1_, memX1_, memY1_;
  bool toWindow_, toMemory_;
};

inline void FenceStreamedRows() {
#if defined(__SSE2__)
  _mm_sfence();  // streamed stores are visible before the threads join
#endif
}

}  // namespace detail

// Calls fill(x, y, out, n) to compute the n result pixels from (x, y) along
// row y (24-bit colours) for every pixel of `area` that either surface holds.
// Pixels outside the area are left as they were, so a neighbourhood operation
// passes its interior and keeps the border it cannot compute. Rows go in
// pieces small enough to stay in the first-level cache, however wide.
template <class Fill>
void WriteResultRect(Canvas& canvas, const Rect& area, Fill&& fill) {
  detail::ResultTargets to(canvas, area);
  if (to.y1 <= to.y0) return;
  parallelRows(to.y1 - to.y0, to.x1 - to.x0, [&](int r0, int r1) {
    constexpr int kPiece = 2048;
    alignas(64) Colour buffer[kPiece];
    for (int y = to.y0 + r0; y < to.y0 + r1; ++y) {
      const int end = to.end(y);
      for (int x = to.x0; x < end; x += kPiece) {
        const int len = std::min(kPiece, end - x);
        fill(x, y, buffer, len);
        to.put(x, y, buffer, len);
      }
    }
    detail::FenceStreamedRows();
  });
  to.markDirty();
}

// As WriteResultRect, for results that reuse work from the rows above: each
// thread takes a band of rows and walks it in strips `strip` pixels wide
// (at most 2048), each strip from top to bottom, calling fill(x, y, out, n)
// on the fill that makeFill() made for that band. Within a strip, y usually
// rises by one from call to call; a fill must still accept any (x, y).
template <class MakeFill>
void WriteResultStrips(Canvas& canvas, const Rect& area, int strip, MakeFill&& makeFill) {
  detail::ResultTargets to(canvas, area);
  if (to.y1 <= to.y0 || strip <= 0) return;
  parallelRows(to.y1 - to.y0, to.x1 - to.x0, [&](int r0, int r1) {
    auto fill = makeFill();
    constexpr int kPiece = 2048;
    alignas(64) Colour buffer[kPiece];
    const int step = std::min(strip, kPiece);
    for (int x = to.x0; x < to.x1; x += step)
      for (int y = to.y0 + r0; y < to.y0 + r1; ++y) {
        const int len = std::min(step, to.end(y) - x);
        if (len <= 0) continue;
        fill(x, y, buffer, len);
        to.put(x, y, buffer, len);
      }
    detail::FenceStreamedRows();
  });
  to.markDirty();
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
