// Zooms and shrinks: fast forms, one result row at a time.
#include <algorithm>

#include "geometry/result_writer.h"
#include "geometry/transforms.h"

namespace opta {
namespace {

using geometry::ResultWriter;

int ShiftFor(int factor) { return factor == 4 ? 2 : 1; }

// One channel of an interpolated sub-pixel: c + floor(k * d / n). With n a
// power of two the arithmetic shift is exactly the floor.
inline int Blend(int c, int nb, int k, int shift) { return c + ((k * (nb - c)) >> shift); }

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

void ZoomInterpolate(Canvas& canvas, const PixelMatrix& p, int n) {
  const int w = p.width(), h = p.height();
  canvas.window().fillRect(0, 0, n * w, n * h, kWhite);
  const int shift = ShiftFor(n);
  ResultWriter out(canvas, n * w, n * h);
  out.forEachRow([&](int yy, Colour* row, int count) {
    const int y = yy >> shift, dy = yy & (n - 1);
    const int ny = dy > 0 ? y + 1 : y;
    const Colour* src = p.row(y);
    const Colour* below = ny < h ? p.row(ny) : nullptr;
    for (int xx = 0; xx < count; ++xx) {
      const int x = xx >> shift, dx = xx & (n - 1);
      const int nx = dx > 0 ? x + 1 : x;
      const Colour c = src[x];
      if (nx >= w || !below) {  // the neighbour lies outside: the source colour
        row[xx] = c;
        continue;
      }
      const Colour nb = below[nx];
      const int k = std::min(dx + dy, n);
      row[xx] = Rgb(Blend(Red(c), Red(nb), k, shift), Blend(Green(c), Green(nb), k, shift),
                    Blend(Blue(c), Blue(nb), k, shift));
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
