// Zooms and shrinks: fast forms, one result row at a time.
#include <algorithm>

#include "geometry/result_writer.h"
#include "geometry/transforms.h"

namespace opta {
namespace {

using geometry::ResultWriter;

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
  canvas.window().fillRect(0, 0, n * w, n * h, kWhite);
  const int shift = ShiftFor(n);
  ResultWriter out(canvas, n * w, n * h);
  out.forEachRow([&](int y, Colour* row, int count) {
    const Colour* src = p.row(y >> shift);
    for (int x = 0; x < count; ++x) row[x] = src[x >> shift];
  });
}

void NormalSize(Canvas& canvas, const PixelMatrix& p) {
  const int w = p.width(), h = p.height();
  canvas.window().fillRect(0, 0, 4 * w, 4 * h, kWhite);
  ResultWriter out(canvas, w, h);
  out.forEachRow([&](int y, Colour* row, int count) { std::copy_n(p.row(y), count, row); });
}

namespace {

// One result row of an n-times interpolating zoom, a source pixel's n
// sub-pixels at a time.
template <int N>
void InterpolateRow(const PixelMatrix& p, int yy, Colour* row, int count) {
  constexpr int kQuarter = 4 / N;  // quarters per step of k
  const int w = p.width(), h = p.height();
  const int y = yy / N, dy = yy % N;
  const Colour* src = p.row(y);
  // The neighbour row: the source row itself on the block's top row, the row
  // below elsewhere; none below the last row.
  const Colour* next = dy == 0 ? src : (y + 1 < h ? p.row(y + 1) : nullptr);
  int xx = 0;
  for (int x = 0; xx < count; ++x) {
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
    for (int dx = 0; dx < N && xx < count; ++dx) row[xx++] = out[dx];
  }
}

}  // namespace

void ZoomInterpolate(Canvas& canvas, const PixelMatrix& p, int n) {
  const int w = p.width(), h = p.height();
  canvas.window().fillRect(0, 0, n * w, n * h, kWhite);
  ResultWriter out(canvas, n * w, n * h);
  out.forEachRow([&](int yy, Colour* row, int count) {
    if (n == 4) {
      InterpolateRow<4>(p, yy, row, count);
    } else {
      InterpolateRow<2>(p, yy, row, count);
    }
  });
}

void ShrinkCorner(Canvas& canvas, const PixelMatrix& p, int n, Size screen) {
  canvas.window().fillRect(0, 0, screen.width, screen.height, kWhite);
  ResultWriter out(canvas, p.width() / n, p.height() / n);
  out.forEachRow([&](int y, Colour* row, int count) {
    const Colour* src = p.row(n * y);
    for (int x = 0; x < count; ++x) row[x] = src[n * x];
  });
}

void ShrinkMedian(Canvas& canvas, const PixelMatrix& p, Size screen) {
  canvas.window().fillRect(0, 0, screen.width, screen.height, kWhite);
  ResultWriter out(canvas, p.width() / 2, p.height() / 2);
  out.forEachRow([&](int y, Colour* row, int count) {
    const Colour* top = p.row(2 * y);
    const Colour* bottom = p.row(2 * y + 1);
    for (int x = 0; x < count; ++x) {
      // The third smallest of four whole values: with each pair ordered
      // (a <= b, c <= d), the largest is max(b, d) and the next is this.
      Colour a = top[2 * x], b = bottom[2 * x], c = top[2 * x + 1], d = bottom[2 * x + 1];
      if (a > b) std::swap(a, b);
      if (c > d) std::swap(c, d);
      row[x] = std::max(std::min(b, d), std::max(a, c));
    }
  });
}

void ShrinkAverage(Canvas& canvas, const PixelMatrix& p, Size screen) {
  canvas.window().fillRect(0, 0, screen.width, screen.height, kWhite);
  ResultWriter out(canvas, p.width() / 2, p.height() / 2);
  out.forEachRow([&](int y, Colour* row, int count) {
    const Colour* top = p.row(2 * y);
    const Colour* bottom = p.row(2 * y + 1);
    for (int x = 0; x < count; ++x) {
      const Colour a = top[2 * x], b = top[2 * x + 1], c = bottom[2 * x], d = bottom[2 * x + 1];
      row[x] = Rgb((Red(a) + Red(b) + Red(c) + Red(d)) >> 2, (Green(a) + Green(b) + Green(c) + Green(d)) >> 2,
                   (Blue(a) + Blue(b) + Blue(c) + Blue(d)) >> 2);
    }
  });
}

}  // namespace opta
