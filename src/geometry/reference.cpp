// The transforms written straight from their rules: the whole result in a
// temporary matrix, filled in the rule's order, then written pixel by pixel
// in column order. A temporary that cannot be had ends the command quietly.
#include <algorithm>
#include <array>
#include <cstdint>

#include "geometry/transforms.h"

namespace opta::reference {
namespace {

void WriteOut(Canvas& canvas, const PixelMatrix& t) {
  for (int x = 0; x < t.width(); ++x)
    for (int y = 0; y < t.height(); ++y)
      canvas.put(x, y, Rgb(Red(t.at(x, y)), Green(t.at(x, y)), Blue(t.at(x, y))));
}

void WhiteWindow(Canvas& canvas, int w, int h) { canvas.window().fillRect(0, 0, w, h, kWhite); }

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

void RotateImage90(Canvas& canvas, const PixelMatrix& p, Size screen) {
  const int w = p.width(), h = p.height();
  PixelMatrix t;
  if (!t.allocate(h, w)) return;
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) t.at(y, w - 1 - x) = p.at(x, y);
  WhiteWindow(canvas, screen.width, screen.height);
  WriteOut(canvas, t);
}

void RotateImage180(Canvas& canvas, const PixelMatrix& p) {
  const int w = p.width(), h = p.height();
  PixelMatrix t;
  if (!t.allocate(w, h)) return;
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) t.at(x, y) = p.at(w - 1 - x, h - 1 - y);
  WhiteWindow(canvas, w + h, w + h);
  WriteOut(canvas, t);
}

void RotateImage270(Canvas& canvas, const PixelMatrix& p) {
  const int w = p.width(), h = p.height();
  PixelMatrix t;
  if (!t.allocate(h, w)) return;
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) t.at(h - 1 - y, x) = p.at(x, y);
  WhiteWindow(canvas, w, h);
  WriteOut(canvas, t);
}

void FlipHorizontal(Canvas& canvas, const PixelMatrix& p) {
  const int w = p.width(), h = p.height();
  PixelMatrix t;
  if (!t.allocate(w, h)) return;
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) t.at(x, y) = p.at(x, h - 1 - y);
  WhiteWindow(canvas, w + h, w + h);
  WriteOut(canvas, t);
}

void FlipVertical(Canvas& canvas, const PixelMatrix& p) {
  const int w = p.width(), h = p.height();
  PixelMatrix t;
  if (!t.allocate(w, h)) return;
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) t.at(x, y) = p.at(w - 1 - x, y);
  WhiteWindow(canvas, w + h, w + h);
  canvas.memory().fillRect(0, 0, w + h, w + h, kWhite);
  WriteOut(canvas, t);
}

void ShearImage(Canvas& canvas, const PixelMatrix& p) {
  const int w = p.width(), h = p.height();
  PixelMatrix t;
  if (!t.allocate(w, h)) return;
  t.fill(kWhite);
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      const int to = static_cast<int>(x + 0.2 * y);
      if (to < w) t.at(to, y) = p.at(x, y);
    }
  WriteOut(canvas, t);
}

void DoubleSkewImage(Canvas& canvas, const PixelMatrix& p) {
  const int w = p.width(), h = p.height();
  PixelMatrix t;
  if (!t.allocate(w, h)) return;
  t.fill(kWhite);
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      const int tx = static_cast<int>(x + 0.1 * y);
      const int ty = static_cast<int>(0.1 * x + y);
      if (tx > 0 && tx < w && ty > 0 && ty < h) t.at(tx, ty) = p.at(x, y);
    }
  WriteOut(canvas, t);
}

void ZoomReplicate(Canvas& canvas, const PixelMatrix& p, int n) {
  const int w = p.width(), h = p.height();
  PixelMatrix t;
  if (!t.allocate(n * w, n * h)) return;
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y)
      for (int dx = 0; dx < n; ++dx)
        for (int dy = 0; dy < n; ++dy) t.at(n * x + dx, n * y + dy) = p.at(x, y);
  WhiteWindow(canvas, n * w, n * h);
  WriteOut(canvas, t);
}

void NormalSize(Canvas& canvas, const PixelMatrix& p) {
  const int w = p.width(), h = p.height();
  PixelMatrix t;
  if (!t.allocate(w, h)) return;
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) t.at(x, y) = p.at(x, y);
  WhiteWindow(canvas, 4 * w, 4 * h);
  WriteOut(canvas, t);
}

void ZoomInterpolate(Canvas& canvas, const PixelMatrix& p, int n) {
  const int w = p.width(), h = p.height();
  PixelMatrix t;
  if (!t.allocate(n * w, n * h)) return;
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y)
      for (int dx = 0; dx < n; ++dx)
        for (int dy = 0; dy < n; ++dy) {
          const Colour c = p.at(x, y);
          const int nx = dx > 0 ? x + 1 : x, ny = dy > 0 ? y + 1 : y;
          Colour out = c;
          if (nx < w && ny < h) {
            const Colour nb = p.at(nx, ny);
            const int k = std::min(dx + dy, n);
            const std::array<int, 3> cs{Red(c), Green(c), Blue(c)}, ns{Red(nb), Green(nb), Blue(nb)};
            std::array<int, 3> r{};
            for (int i = 0; i < 3; ++i) r[i] = cs[i] + FloorDiv(k * (ns[i] - cs[i]), n);
            out = RgbClamped(r[0], r[1], r[2]);
          }
          t.at(n * x + dx, n * y + dy) = out;
        }
  WhiteWindow(canvas, n * w, n * h);
  WriteOut(canvas, t);
}

void ShrinkCorner(Canvas& canvas, const PixelMatrix& p, int n, Size screen) {
  const int rw = p.width() / n, rh = p.height() / n;
  WhiteWindow(canvas, screen.width, screen.height);
  PixelMatrix t;
  if (rw == 0 || rh == 0 || !t.allocate(rw, rh)) return;
  for (int x = 0; x < rw; ++x)
    for (int y = 0; y < rh; ++y) t.at(x, y) = p.at(n * x, n * y);
  WriteOut(canvas, t);
}

void ShrinkMedian(Canvas& canvas, const PixelMatrix& p, Size screen) {
  const int rw = p.width() / 2, rh = p.height() / 2;
  WhiteWindow(canvas, screen.width, screen.height);
  PixelMatrix t;
  if (rw == 0 || rh == 0 || !t.allocate(rw, rh)) return;
  for (int x = 0; x < rw; ++x)
    for (int y = 0; y < rh; ++y) {
      std::array<std::uint32_t, 4> v{p.at(2 * x, 2 * y), p.at(2 * x, 2 * y + 1), p.at(2 * x + 1, 2 * y),
                                     p.at(2 * x + 1, 2 * y + 1)};
      std::sort(v.begin(), v.end());
      t.at(x, y) = v[2];
    }
  WriteOut(canvas, t);
}

void ShrinkAverage(Canvas& canvas, const PixelMatrix& p, Size screen) {
  const int rw = p.width() / 2, rh = p.height() / 2;
  WhiteWindow(canvas, screen.width, screen.height);
  PixelMatrix t;
  if (rw == 0 || rh == 0 || !t.allocate(rw, rh)) return;
  for (int x = 0; x < rw; ++x)
    for (int y = 0; y < rh; ++y) {
      int r = 0, g = 0, b = 0;
      for (int a = 0; a < 2; ++a)
        for (int c = 0; c < 2; ++c) {
          const Colour v = p.at(2 * x + a, 2 * y + c);
          r += Red(v);
          g += Green(v);
          b += Blue(v);
        }
      t.at(x, y) = Rgb(r >> 2, g >> 2, b >> 2);
    }
  WriteOut(canvas, t);
}

}  // namespace opta::reference
