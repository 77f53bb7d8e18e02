// Zooms and shrinks: fast forms, one result row at a time.
#include <algorithm>

#include "core/row_writer.h"
#include "core/whiten.h"
#include "geometry/transforms.h"

namespace opta {
namespace {

int ShiftFor(int factor) { return factor == 4 ? 2 : 1; }

// Per-channel floor((a + b) / 2) of two packed colours.
inline Colour Average(Colour a, Colour b) { return (a & b) + (((a ^ b) & 0xFEFEFE) >> 1); }

// c + floor(q * (nb - c) / 4) per channel, for q quarters (0..4). Nested
// floors of halves equal the floor of quarters: floor((3c + nb) / 4) is
// avg(c, avg(c, nb)) and floor((c + 3nb) / 4) is avg(nb, avg(c, nb)).
inline Colour BlendQuarters(Colour c, Colour nb, int q) {
  switch (q) {
    case 0:
      return c;
    case 1:
      return Average(c, Average(c, nb));
    case 2:
      return Average(c, nb);
    case 3:
      return Average(nb, Average(c, nb));
    default:
      return nb;
  }
}

}  // namespace

void ZoomReplicate(Canvas& canvas, const PixelMatrix& p, int n) {
  const int w = p.width(), h = p.height();
  WhitenAround(canvas.window(), Rect{0, 0, n * w, n * h}, n * w, n * h);
  const int shift = ShiftFor(n);
  WriteResultRows(canvas, n * w, n * h, [&](int x0, int y, Colour* out, int count) {
    const Colour* src = p.row(y >> shift);
    for (int i = 0; i < count; ++i) out[i] = src[(x0 + i) >> shift] & 0xFFFFFF;
  });
}

void NormalSize(Canvas& canvas, const PixelMatrix& p) {
  const int w = p.width(), h = p.height();
  WhitenAround(canvas.window(), Rect{0, 0, 4 * w, 4 * h}, w, h);
  WriteResultRows(canvas, w, h, [&](int x0, int y, Colour* out, int count) {
    const Colour* src = p.row(y) + x0;
    for (int i = 0; i < count; ++i) out[i] = src[i] & 0xFFFFFF;
  });
}

namespace {

// Result pixels x0 .. x0+count-1 of row yy of an n-times interpolating zoom,
// a source pixel's n sub-pixels at a time.
template <int N>
void InterpolateRow(const PixelMatrix& p, int x0, int yy, Colour* row, int count) {
  constexpr int kQuarter = 4 / N;  // quarters per step of k
  const int w = p.width(), h = p.height();
  const int y = yy / N, dy = yy % N;
  const Colour* src = p.row(y);
  // The neighbour row: the source row itself on the block's top row, the row
  // below elsewhere; none below the last row.
  const Colour* next = dy == 0 ? src : (y + 1 < h ? p.row(y + 1) : nullptr);
  int skip = x0 % N, xx = 0;
  for (int x = x0 / N; xx < count; ++x) {
    const Colour c = src[x] & 0xFFFFFF;
    Colour out[N];
    if (!next) {
      for (int dx = 0; dx < N; ++dx) out[dx] = c;
    } else {
      out[0] = BlendQuarters(c, next[x] & 0xFFFFFF, dy * kQuarter);
      if (x + 1 < w) {
        const Colour nb = next[x + 1] & 0xFFFFFF;
        for (int dx = 1; dx < N; ++dx) out[dx] = BlendQuarters(c, nb, std::min(dx + dy, N) * kQuarter);
      } else {
        for (int dx = 1; dx < N; ++dx) out[dx] = c;  // the right neighbour lies outside
      }
    }
    for (int dx = skip; dx < N && xx < count; ++dx) row[xx++] = out[dx];
    skip = 0;
  }
}

}  // namespace

void ZoomInterpolate(Canvas& canvas, const PixelMatrix& p, int n) {
  const int w = p.width(), h = p.height();
  WhitenAround(canvas.window(), Rect{0, 0, n * w, n * h}, n * w, n * h);
  WriteResultRows(canvas, n * w, n * h, [&](int x0, int yy, Colour* out, int count) {
    if (n == 4) {
      InterpolateRow<4>(p, x0, yy, out, count);
    } else {
      InterpolateRow<2>(p, x0, yy, out, count);
    }
  });
}

void ShrinkCorner(Canvas& canvas, const PixelMatrix& p, int n, Size screen) {
  WhitenAround(canvas.window(), Rect{0, 0, screen.width, screen.height}, p.width() / n, p.height() / n);
  WriteResultRows(canvas, p.width() / n, p.height() / n, [&](int x0, int y, Colour* out, int count) {
    const Colour* src = p.row(n * y) + n * x0;
    for (int i = 0; i < count; ++i) out[i] = src[n * i] & 0xFFFFFF;
  });
}

// The four source pixels of 2 x 2 shrink pixel (x, y), as (top-left,
// top-right, bottom-left, bottom-right).
template <class Reduce>
void ShrinkByTwo(Canvas& canvas, const PixelMatrix& p, Size screen, Reduce reduce) {
  WhitenAround(canvas.window(), Rect{0, 0, screen.width, screen.height}, p.width() / 2, p.height() / 2);
  WriteResultRows(canvas, p.width() / 2, p.height() / 2, [&](int x0, int y, Colour* out, int count) {
    const Colour* top = p.row(2 * y) + 2 * x0;
    const Colour* bottom = p.row(2 * y + 1) + 2 * x0;
    for (int i = 0; i < count; ++i)
      out[i] = reduce(top[2 * i], top[2 * i + 1], bottom[2 * i], bottom[2 * i + 1]);
  });
}

void ShrinkMedian(Canvas& canvas, const PixelMatrix& p, Size screen) {
  ShrinkByTwo(canvas, p, screen, [](Colour a, Colour c, Colour b, Colour d) {
    // The third smallest of four whole values: with each pair ordered
    // (a <= b, c <= d), the largest is max(b, d) and the next is this.
    if (a > b) std::swap(a, b);
    if (c > d) std::swap(c, d);
    return std::max(std::min(b, d), std::max(a, c)) & 0xFFFFFF;
  });
}

void ShrinkAverage(Canvas& canvas, const PixelMatrix& p, Size screen) {
  ShrinkByTwo(canvas, p, screen, [](Colour a, Colour b, Colour c, Colour d) {
    return Rgb((Red(a) + Red(b) + Red(c) + Red(d)) >> 2, (Green(a) + Green(b) + Green(c) + Green(d)) >> 2,
               (Blue(a) + Blue(b) + Blue(c) + Blue(d)) >> 2);
  });
}

}  // namespace opta
