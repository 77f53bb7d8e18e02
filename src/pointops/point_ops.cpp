// Invert, emboss, solarize, gray scale, brightness and darkness: fast forms.
#include <algorithm>

#include "pointops/kernels.h"
#include "pointops/row_writer.h"

namespace opta {

using pointops::MapPixels;
using pointops::WriteResultRows;

namespace {

// Beyond +-1000 every amount gives the same pixels as +-1000 (all channels
// saturate), so the pixel rules can work in plain int without overflow.
int SafeAmount(int k) { return std::clamp(k, -1000, 1000); }

}  // namespace

void InvertImage(Canvas& canvas, const PixelMatrix& pixels) {
  // 255 - c is c with its eight bits flipped.
  MapPixels(canvas, pixels, [](Colour c) { return c ^ 0xFFFFFF; });
}

void EmbossImage(Canvas& canvas, const PixelMatrix& pixels) {
  // The last column and row have no diagonal neighbour and stay as they were.
  WriteResultRows(canvas, pixels.width() - 1, pixels.height() - 1, [&](int y, Colour* out, int n) {
    const Colour* here = pixels.row(y);
    const Colour* below = pixels.row(y + 1);
    for (int x = 0; x < n; ++x) {
      const Colour a = here[x], b = below[x + 1];
      auto channel = [](int ca, int cb) {
        const int v = ca - cb + 128;
        return (v < 0 ? -v : v) & 0xFF;
      };
      out[x] = Rgb(channel(Red(a), Red(b)), channel(Green(a), Green(b)), channel(Blue(a), Blue(b)));
    }
  });
}

void SolarizeImage(Canvas& canvas, const PixelMatrix& pixels) {
  // Channels below 128 have their top bit clear; those are the ones flipped.
  MapPixels(canvas, pixels, [](Colour c) {
    const Colour low = (~c & 0x808080) >> 7;
    return c ^ (low * 0xFF);
  });
}

void GrayScaleImage(Canvas& canvas, const PixelMatrix& pixels) {
  MapPixels(canvas, pixels, [](Colour c) { return static_cast<Colour>(GrayLevelFast(c)) * 0x010101; });
}

void BrightenImage(Canvas& canvas, const PixelMatrix& pixels, int amount) {
  const int k = SafeAmount(amount);
  MapPixels(canvas, pixels, [k](Colour c) -> Colour {
    const int r = Red(c), g = Green(c), b = Blue(c);
    const int hi = std::max({r, g, b});
    if (hi >= 255) return c;
    if (hi + k <= 255) return RgbClamped(r + k, g + k, b + k);
    // The smallest excess belongs to the smallest channel that passes 255.
    int smallest = hi;
    for (int v : {r, g, b})
      if (v + k > 255) smallest = std::min(smallest, v);
    const int shift = smallest + k - 255;
    return RgbClamped(r + shift, g + shift, b + shift);
  });
}

void DarkenImage(Canvas& canvas, const PixelMatrix& pixels, int amount) {
  const int k = SafeAmount(amount);
  MapPixels(canvas, pixels, [k](Colour c) -> Colour {
    const int r = Red(c), g = Green(c), b = Blue(c);
    const int lo = std::min({r, g, b});
    if (lo <= 0) return c;
    if (lo - k >= 0) return RgbClamped(r - k, g - k, b - k);
    // The smallest channel always falls below 0 when any does.
    return RgbClamped(r - lo, g - lo, b - lo);
  });
}

}  // namespace opta
