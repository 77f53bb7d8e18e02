// The detectors written straight from their rules, pixel by pixel, for the
// tests to hold the fast forms to.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "edges/edges.h"

namespace opta::reference {
namespace {

void PaintWindowWhite(Canvas& canvas, Size screen) {
  canvas.window().fillRect(0, 0, screen.width, screen.height, kWhite);
}

// x from 1 to width - 2 (outer), y from 1 to height - 2 (inner).
template <class Visit>
void EachInterior(const PixelMatrix& p, Visit visit) {
  for (int x = 1; x <= p.width() - 2; ++x)
    for (int y = 1; y <= p.height() - 2; ++y) visit(x, y);
}

// The first three detectors: channel by channel, window first.
template <class PerChannel>
void ChannelDetector(Canvas& canvas, const PixelMatrix& p, Size screen, PerChannel f) {
  PaintWindowWhite(canvas, screen);
  EachInterior(p, [&](int x, int y) {
    auto P = [&](int dx, int dy, int c) { return Channel(p.at(x + dx, y + dy), c); };
    canvas.put(x, y, Rgb(f(P, 0), f(P, 1), f(P, 2)));
  });
}

// A clamped convolution, memory first; inverted for geometric detection.
void MaskDetector(Canvas& canvas, const PixelMatrix& p, Size screen, const Mask3& mask, bool invert) {
  PaintWindowWhite(canvas, screen);
  EachInterior(p, [&](int x, int y) {
    const ChannelSums s = Convolve3(p, x, y, mask);
    int r = ClampChannel(s.red), g = ClampChannel(s.green), b = ClampChannel(s.blue);
    if (invert) r = 255 - r, g = 255 - g, b = 255 - b;
    canvas.putMemoryFirst(x, y, Rgb(r, g, b));
  });
}

void CompassDetector(Canvas& canvas, const PixelMatrix& p, Size screen, const CompassMasks& masks) {
  PaintWindowWhite(canvas, screen);
  EachInterior(p, [&](int x, int y) {
    int r = 0, g = 0, b = 0;
    for (const Mask3& mask : masks) {
      const ChannelSums s = Convolve3(p, x, y, mask);
      r = ClampChannel(r + s.red);
      g = ClampChannel(g + s.green);
      b = ClampChannel(b + s.blue);
    }
    const double gray = 0.3 * r + 0.6 * g + 0.11 * b;
    canvas.putMemoryFirst(x, y, gray >= 128 ? Rgb(255, 255, 255) : Rgb(0, 0, 0));
  });
}

}  // namespace

void HomogeneityEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen) {
  ChannelDetector(canvas, pixels, screen, [](auto P, int c) {
    int sum = 0;
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy)
        if (dx != 0 || dy != 0) sum += std::abs(P(0, 0, c) - P(dx, dy, c));
    return std::min(sum, 255);
  });
}

void DifferenceEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen) {
  ChannelDetector(canvas, pixels, screen, [](auto P, int c) {
    const int d1 = std::abs(P(-1, -1, c) - P(1, 1, c));
    const int d2 = std::abs(P(-1, 1, c) - P(1, -1, c));
    const int d3 = std::abs(P(0, -1, c) - P(0, 1, c));
    const int d4 = std::abs(P(-1, 0, c) - P(1, 0, c));
    return std::max({d1, d2, d3, d4});
  });
}

void VarianceEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen) {
  ChannelDetector(canvas, pixels, screen, [](auto P, int c) {
    int s = 0;
    for (int dx : {-1, 1})
      for (int dy : {-1, 1}) s += (P(0, 0, c) - P(dx, dy, c)) * (P(0, 0, c) - P(dx, dy, c));
    const int root = static_cast<int>(std::sqrt(static_cast<double>(s)));
    return std::min(root, 255);
  });
}

void QuickEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen, const Mask3& mask) {
  MaskDetector(canvas, pixels, screen, mask, false);
}

void KirschEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen, const CompassMasks& masks) {
  CompassDetector(canvas, pixels, screen, masks);
}

void PrewittEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen, const CompassMasks& masks) {
  CompassDetector(canvas, pixels, screen, masks);
}

void GeometricDetect(Canvas& canvas, const PixelMatrix& pixels, Size screen, const Mask3& mask) {
  MaskDetector(canvas, pixels, screen, mask, true);
}

}  // namespace opta::reference
