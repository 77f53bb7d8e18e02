// Rotations, flips, shear and double skew: fast forms. Each result row is
// produced straight into the surfaces; quarter turns go through bands of rows
// so the column-wise reads of the source stay in cache.
#include <algorithm>
#include <memory>
#include <vector>

#include <emmintrin.h>

#include "core/row_writer.h"
#include "core/whiten.h"
#include "geometry/transforms.h"

namespace opta {
namespace {

constexpr int kTile = 64;
using Tile = Colour[kTile][kTile];

// Fills tile[y - y0][x - x0] with result (x, y) of a quarter turn, in 4 x 4
// blocks transposed in SSE registers; ragged edges go pixel by pixel.
void GatherTile(const PixelMatrix& p, bool clockwise, int x0, int x1, int y0, int y1, Tile& tile) {
  const int w = p.width(), h = p.height();
  const __m128i mask = _mm_set1_epi32(0xFFFFFF);
  auto at = [&](int x, int y) -> Colour {
    return (clockwise ? p.at(y, h - 1 - x) : p.at(w - 1 - y, x)) & 0xFFFFFF;
  };
  const int xb = x0 + (x1 - x0) / 4 * 4, yb = y0 + (y1 - y0) / 4 * 4;
  for (int y = y0; y < yb; y += 4) {
    for (int x = x0; x < xb; x += 4) {
      __m128i v[4];
      for (int i = 0; i < 4; ++i) {
        // Anticlockwise: result rows y..y+3 at columns x..x+3 come from source
        // rows x..x+3, columns w-4-y..w-1-y. Clockwise: from source rows
        // h-4-x..h-1-x, columns y..y+3.
        const Colour* src = clockwise ? p.row(h - 4 - x + i) + y : p.row(x + i) + (w - 4 - y);
        v[i] = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src)), mask);
      }
      const __m128i a = _mm_unpacklo_epi32(v[0], v[1]), b = _mm_unpacklo_epi32(v[2], v[3]);
      const __m128i c = _mm_unpackhi_epi32(v[0], v[1]), d = _mm_unpackhi_epi32(v[2], v[3]);
      __m128i t[4] = {_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b), _mm_unpacklo_epi64(c, d),
                      _mm_unpackhi_epi64(c, d)};
      // t[j] holds source column j of the block across the four source rows.
      for (int j = 0; j < 4; ++j) {
        if (clockwise) {
          _mm_storeu_si128(reinterpret_cast<__m128i*>(&tile[y - y0 + j][x - x0]),
                           _mm_shuffle_epi32(t[j], 0x1B));
        } else {
          _mm_storeu_si128(reinterpret_cast<__m128i*>(&tile[y - y0 + 3 - j][x - x0]), t[j]);
        }
      }
    }
    for (int yy = y; yy < y + 4; ++yy)
      for (int x = xb; x < x1; ++x) tile[yy - y0][x - x0] = at(x, yy);
  }
  for (int y = yb; y < y1; ++y)
    for (int x = x0; x < x1; ++x) tile[y - y0][x - x0] = at(x, y);
}

// Quarter turns: result (X, Y) = P[w-1-Y][X] (anticlockwise) or
// P[Y][h-1-X] (clockwise). The result is produced in square tiles so the
// column-wise reads of the source stay in cache and in the TLB.
void QuarterTurn(Canvas& canvas, const PixelMatrix& p, bool clockwise) {
  const int w = p.width(), h = p.height();
  Surface& win = canvas.window();
  Surface& mem = canvas.memory();
  // What each surface holds of the h-wide, w-tall result.
  const int winW = std::min(h, win.width()), winH = std::min(w, win.height());
  const int memW = std::min(h, mem.width()), memH = std::min(w, mem.height());
  const int rows = std::max(winH, memH), cols = std::max(winW, memW);
  const int tileRows = (rows + kTile - 1) / kTile;
  parallelFor(
      tileRows,
      [&](int t0, int t1) {
        // One tile of the result, gathered from contiguous pieces of source
        // rows, then written out row by row.
        alignas(64) Tile tile;
        for (int t = t0; t < t1; ++t) {
          const int y0 = t * kTile, y1 = std::min(rows, y0 + kTile);
          for (int x0 = 0; x0 < cols; x0 += kTile) {
            const int x1 = std::min(cols, x0 + kTile);
            GatherTile(p, clockwise, x0, x1, y0, y1, tile);
            for (int y = y0; y < y1; ++y) {
              if (y < winH && x0 < winW) StreamRow(win.row(y) + x0, tile[y - y0], std::min(x1, winW) - x0);
              if (y < memH && x0 < memW) StreamRow(mem.row(y) + x0, tile[y - y0], std::min(x1, memW) - x0);
            }
          }
        }
        _mm_sfence();  // streamed stores are visible before the threads join
      },
      static_cast<std::int64_t>(kTile) * cols);
  win.markDirty(Rect{0, 0, winW, winH});
  mem.markDirty(Rect{0, 0, memW, memH});
}

}  // namespace

void RotateImage90(Canvas& canvas, const PixelMatrix& p, Size screen) {
  WhitenAround(canvas.window(), Rect{0, 0, screen.width, screen.height}, p.height(), p.width());
  QuarterTurn(canvas, p, false);
}

void RotateImage270(Canvas& canvas, const PixelMatrix& p) {
  WhitenAround(canvas.window(), Rect{0, 0, p.width(), p.height()}, p.height(), p.width());
  QuarterTurn(canvas, p, true);
}

void RotateImage180(Canvas& canvas, const PixelMatrix& p) {
  const int w = p.width(), h = p.height();
  WhitenAround(canvas.window(), Rect{0, 0, w + h, w + h}, w, h);
  WriteResultRows(canvas, w, h, [&](int x0, int y, Colour* out, int n) {
    const Colour* src = p.row(h - 1 - y) + (w - 1 - x0);
    for (int i = 0; i < n; ++i) out[i] = src[-i] & 0xFFFFFF;
  });
}

void FlipHorizontal(Canvas& canvas, const PixelMatrix& p) {
  const int w = p.width(), h = p.height();
  WhitenAround(canvas.window(), Rect{0, 0, w + h, w + h}, w, h);
  WriteResultRows(canvas, w, h, [&](int x0, int y, Colour* out, int n) {
    const Colour* src = p.row(h - 1 - y) + x0;
    for (int i = 0; i < n; ++i) out[i] = src[i] & 0xFFFFFF;
  });
}

void FlipVertical(Canvas& canvas, const PixelMatrix& p) {
  const int w = p.width(), h = p.height();
  WhitenAround(canvas.window(), Rect{0, 0, w + h, w + h}, w, h);
  // The memory surface is painted white too, but the result covers all of it
  // (same size), so that paint can never be seen: skip it.
  WriteResultRows(canvas, w, h, [&](int x0, int y, Colour* out, int n) {
    const Colour* src = p.row(y) + (w - 1 - x0);
    for (int i = 0; i < n; ++i) out[i] = src[-i] & 0xFFFFFF;
  });
}

void ShearImage(Canvas& canvas, const PixelMatrix& p) {
  WriteResultRows(canvas, p.width(), p.height(), [&](int x0, int y, Colour* out, int n) {
    // trunc(x + 0.2 * y) in double is exactly x + y / 5 for every size we
    // accept (0.2 rounds up in binary, so no product falls short of its
    // integer): the row moves right by y / 5 and stays white on the left.
    const int shift = y / 5;
    const Colour* src = p.row(y);
    for (int i = 0; i < n; ++i) {
      const int x = x0 + i;
      out[i] = x < shift ? kWhite : src[x - shift] & 0xFFFFFF;
    }
  });
}

void DoubleSkewImage(Canvas& canvas, const PixelMatrix& p) {
  const int w = p.width(), h = p.height();
  // In double, trunc(x + 0.1 * y) = x + y / 10 and trunc(0.1 * x + y) =
  // y + x / 10 exactly for every size we accept. So the sources of result
  // row Y are (x, Y - x / 10), one per column x, and where two meet the one
  // with the larger x wins, as in the rule's x-outer visiting order.
  WriteResultRows(canvas, w, h, [&](int x0, int ty, Colour* out, int n) {
    std::fill_n(out, n, kWhite);
    if (ty == 0) return;  // row 0 is never stored
    // Ten source columns share x / 10, hence one source row and one shift:
    // copy them as a run. A later run may overlap the last pixel of the one
    // before it; copying runs in increasing x lets the larger x win.
    for (int q = 0; 10 * q < w; ++q) {
      const int y = ty - q;
      if (y < 0) break;
      if (y >= h) continue;
      const int xBegin = 10 * q, xEnd = std::min(w, xBegin + 10);
      const int shift = y / 10;
      const int from = std::max({xBegin + shift, 1, x0}), to = std::min(xEnd + shift, x0 + n);
      const Colour* src = p.row(y) - shift;
      for (int tx = from; tx < to; ++tx) out[tx - x0] = src[tx] & 0xFFFFFF;
    }
  });
}

}  // namespace opta
