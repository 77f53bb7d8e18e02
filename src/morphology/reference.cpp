// The morphology operations written straight from their rules: literal
// loops over column-major order, one result matrix per pass, the border
// replication step by step, one write per pixel, memory first.
#include <cstdlib>

#include "morphology/morphology.h"

namespace opta::reference {
namespace {

enum class Kind { Erode, Dilate };

// The pass's result starts as a copy of its source, so the outermost rows
// and columns it cannot compute hold the source's values.
void Pass(const PixelMatrix& s, PixelMatrix& t, const Mask3& element, Kind kind) {
  t.copyFrom(s);
  const int w = s.width(), h = s.height();
  for (int x = 1; x <= w - 2; ++x)
    for (int y = 1; y <= h - 2; ++y) {
      int r = 0, g = 0, b = 0;
      Colour result = kWhite;
      for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
          if (element.at(dx, dy) != 1) continue;
          const Colour v = s.at(x + dx, y + dy);
          if (kind == Kind::Erode && Red(v) > r && Green(v) > g && Blue(v) > b) {
            r = Red(v);
            g = Green(v);
            b = Blue(v);
          }
          if (kind == Kind::Dilate && Red(v) < 255 && Green(v) < 255 && Blue(v) < 255) result = v & 0xFFFFFF;
        }
      t.at(x, y) = kind == Kind::Erode ? Rgb(r, g, b) : result;
    }

  // The replication; each step only where its dimension has 4 pixels.
  const Colour computed = w >= 4 && h >= 4 ? t.at(w - 4, h - 4) : 0;
  if (h >= 4)
    for (int x = 0; x <= w - 2; ++x)
      for (int k = 3; k >= 1; --k) {
        t.at(x, k - 1) = t.at(x, k);
        t.at(x, h - k) = t.at(x, h - k - 1);
      }
  if (w >= 4)
    for (int y = 0; y <= h - 2; ++y)
      for (int k = 3; k >= 1; --k) {
        t.at(k - 1, y) = t.at(k, y);
        t.at(w - k, y) = t.at(w - k - 1, y);
      }
  if (w >= 4 && h >= 4) t.at(w - 1, h - 1) = computed;
}

// n passes alternating between A and B; returns the one written last.
const PixelMatrix& Passes(const PixelMatrix& pixels, const Mask3& element, Kind kind, int n, PixelMatrix& a,
                          PixelMatrix& b) {
  Pass(pixels, a, element, kind);
  PixelMatrix* last = &a;
  for (int i = 2; i <= n; ++i) {
    PixelMatrix* next = last == &a ? &b : &a;
    Pass(*last, *next, element, kind);
    last = next;
  }
  return *last;
}

void Output(Canvas& canvas, const PixelMatrix& t, const PixelMatrix* difference) {
  for (int x = 1; x <= t.width() - 2; ++x)
    for (int y = 1; y <= t.height() - 2; ++y) {
      const Colour v = t.at(x, y);
      int r = Red(v), g = Green(v), b = Blue(v);
      if (difference) {
        const Colour p = difference->at(x, y);
        r = std::abs(r - Red(p));
        g = std::abs(g - Green(p));
        b = std::abs(b - Blue(p));
      }
      canvas.putMemoryFirst(x, y, RgbClamped(r, g, b));
    }
}

void Operation(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, Kind kind, int passes,
               bool outline) {
  PixelMatrix a, b;
  Output(canvas, Passes(pixels, element, kind, passes, a, b), outline ? &pixels : nullptr);
}

}  // namespace

void MorphErosion(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element) {
  Operation(canvas, pixels, element, Kind::Erode, 1, false);
}

void MorphDilation(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element) {
  Operation(canvas, pixels, element, Kind::Dilate, 1, false);
}

void MorphOpening(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, int count) {
  Operation(canvas, pixels, element, Kind::Erode, count >= 1 ? count : 1, false);
}

void MorphClosing(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, int count) {
  Operation(canvas, pixels, element, Kind::Dilate, count >= 1 ? count : 1, false);
}

void InteriorOutline(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element) {
  Operation(canvas, pixels, element, Kind::Erode, 1, true);
}

void ExteriorOutline(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element) {
  Operation(canvas, pixels, element, Kind::Dilate, 1, true);
}

}  // namespace opta::reference
