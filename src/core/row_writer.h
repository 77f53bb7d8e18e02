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

// Where the finished rows of a result rectangle go: each surface keeps the
// part of `area` it holds. Rows may be put from several threads at once, each
// thread ending with Fence(); finish() reports the area once they have joined.
class ResultRows {
 public:
  ResultRows(Canvas& canvas, const Rect& area) : window_(canvas.window()), memory_(canvas.memory()) {
    x0_ = std::max(0, area.left);
    y0_ = std::max(0, area.top);
    winX1_ = std::min(area.right, window_.width());
    winY1_ = std::min(area.bottom, window_.height());
    memX1_ = std::min(area.right, memory_.width());
    memY1_ = std::min(area.bottom, memory_.height());
    toWindow_ = winX1_ > x0_ && winY1_ > y0_;
    toMemory_ = memX1_ > x0_ && memY1_ > y0_;
    y1_ = std::max(toWindow_ ? winY1_ : y0_, toMemory_ ? memY1_ : y0_);
  }

  // Rows [top, bottom) reach a surface; of row y, columns [left, end(y)).
  int left() const { return x0_; }
  int top() const { return y0_; }
  int bottom() const { return y1_; }
  int widest() const { return std::max(winX1_, memX1_); }
  int end(int y) const { return std::max(windowEnd(y), memoryEnd(y)); }

  // The result's pixels [x, x + n) of row y, clipped to each surface.
  void put(int x, int y, const Colour* src, int n) const {
    if (x < windowEnd(y)) StreamRow(window_.row(y) + x, src, std::min(n, windowEnd(y) - x));
    if (x < memoryEnd(y)) StreamRow(memory_.row(y) + x, src, std::min(n, memoryEnd(y) - x));
  }

  static void Fence() {
#if defined(__SSE2__)
    _mm_sfence();  // streamed stores are visible before the threads join
#endif
  }

  void finish() {
    if (toWindow_) window_.markDirty(Rect{x0_, y0_, winX1_, winY1_});
    if (toMemory_) memory_.markDirty(Rect{x0_, y0_, memX1_, memY1_});
  }

 private:
  int windowEnd(int y) const { return toWindow_ && y >= y0_ && y < winY1_ ? winX1_ : x0_; }
  int memoryEnd(int y) const { return toMemory_ && y >= y0_ && y < memY1_ ? memX1_ : x0_; }

  Surface& window_;
  Surface& memory_;
  int x0_, y0_, y1_, winX1_, winY1_, memX1_, memY1_;
  bool toWindow_, toMemory_;
};

// Calls fill(x, y, out, n) to compute the n result pixels from (x, y) along
// row y (24-bit colours) for every pixel of `area` that either surface holds.
// Pixels outside the area are left as they were, so a neighbourhood operation
// passes its interior and keeps the border it cannot compute. Rows go in
// pieces small enough to stay in the first-level cache, however wide.
template <class Fill>
void WriteResultRect(Canvas& canvas, const Rect& area, Fill&& fill) {
  ResultRows rows(canvas, area);
  if (rows.bottom() <= rows.top()) return;
  auto band = [&](int r0, int r1) {
    constexpr int kPiece = 2048;
    alignas(64) Colour buffer[kPiece];
    for (int y = rows.top() + r0; y < rows.top() + r1; ++y)
      for (int x = rows.left(); x < rows.end(y); x += kPiece) {
        const int len = std::min(kPiece, rows.end(y) - x);
        fill(x, y, buffer, len);
        rows.put(x, y, buffer, len);
      }
    ResultRows::Fence();
  };
  parallelRows(rows.bottom() - rows.top(), rows.widest() - rows.left(), band);
  rows.finish();
}

// As WriteResultRect, for results that reuse work from the rows above: each
// thread takes a band of rows and walks it in strips `strip` pixels wide
// (at most 2048), each strip from top to bottom, calling fill(x, y, out, n)
// on the fill that makeFill() made for that band. Within a strip, y usually
// rises by one from call to call; a fill must still accept any (x, y).
template <class MakeFill>
void WriteResultStrips(Canvas& canvas, const Rect& area, int strip, MakeFill&& makeFill) {
  ResultRows rows(canvas, area);
  if (rows.bottom() <= rows.top() || strip <= 0) return;
  parallelRows(rows.bottom() - rows.top(), rows.widest() - rows.left(), [&](int r0, int r1) {
    auto fill = makeFill();
    constexpr int kPiece = 2048;
    alignas(64) Colour buffer[kPiece];
    const int step = std::min(strip, kPiece);
    for (int x = rows.left(); x < rows.widest(); x += step)
      for (int y = rows.top() + r0; y < rows.top() + r1; ++y) {
        const int len = std::min(step, rows.end(y) - x);
        if (len <= 0) continue;
        fill(x, y, buffer, len);
        rows.put(x, y, buffer, len);
      }
    ResultRows::Fence();
  });
  rows.finish();
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
