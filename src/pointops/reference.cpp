// The point operations written straight from their rules, pixel by pixel,
// x outer and y inner, each result written through Canvas::put. Amounts and
// slice values are worked in 64 bits so any typed number is taken as it is.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "pointops/kernels.h"

namespace opta::reference {

namespace {

using i64 = std::int64_t;

int Clamp(i64 v) { return static_cast<int>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

template <class Rule>
void EachPixel(Canvas& canvas, const PixelMatrix& pixels, Rule rule) {
  for (int x = 0; x < pixels.width(); ++x)
    for (int y = 0; y < pixels.height(); ++y) canvas.put(x, y, rule(pixels.at(x, y)));
}

}  // namespace

void InvertImage(Canvas& canvas, const PixelMatrix& pixels) {
  EachPixel(canvas, pixels, [](Colour c) { return Rgb(255 - Red(c), 255 - Green(c), 255 - Blue(c)); });
}

void EmbossImage(Canvas& canvas, const PixelMatrix& pixels) {
  for (int x = 0; x <= pixels.width() - 2; ++x) {
    for (int y = 0; y <= pixels.height() - 2; ++y) {
      const Colour a = pixels.at(x, y), b = pixels.at(x + 1, y + 1);
      const int r = std::abs(Red(a) - Red(b) + 128) % 256;
      const int g = std::abs(Green(a) - Green(b) + 128) % 256;
      const int bl = std::abs(Blue(a) - Blue(b) + 128) % 256;
      canvas.put(x, y, Rgb(r, g, bl));
    }
  }
}

void SolarizeImage(Canvas& canvas, const PixelMatrix& pixels) {
  auto channel = [](int c) { return c < 128 ? 255 - c : c; };
  EachPixel(canvas, pixels,
            [&](Colour c) { return Rgb(channel(Red(c)), channel(Green(c)), channel(Blue(c))); });
}

void GrayScaleImage(Canvas& canvas, const PixelMatrix& pixels) {
  EachPixel(canvas, pixels, [](Colour c) {
    const int g = GrayLevel(c);
    return Rgb(g, g, g);
  });
}

void BrightenImage(Canvas& canvas, const PixelMatrix& pixels, int amount) {
  const i64 k = amount;
  EachPixel(canvas, pixels, [k](Colour c) {
    i64 ch[3] = {Red(c), Green(c), Blue(c)};
    if (ch[0] >= 255 || ch[1] >= 255 || ch[2] >= 255) return RgbClamped(Red(c), Green(c), Blue(c));
    if (ch[0] + k <= 255 && ch[1] + k <= 255 && ch[2] + k <= 255) {
      for (i64& v : ch) v += k;
    } else {
      // Only the channels that pass 255 record an excess; the smallest is added to all.
      i64 shift = INT64_MAX;
      for (i64 v : ch)
        if (v + k > 255) shift = std::min(shift, v + k - 255);
      for (i64& v : ch) v += shift;
    }
    return Rgb(Clamp(ch[0]), Clamp(ch[1]), Clamp(ch[2]));
  });
}

void DarkenImage(Canvas& canvas, const PixelMatrix& pixels, int amount) {
  const i64 k = amount;
  EachPixel(canvas, pixels, [k](Colour c) {
    i64 ch[3] = {Red(c), Green(c), Blue(c)};
    if (ch[0] <= 0 || ch[1] <= 0 || ch[2] <= 0) return RgbClamped(Red(c), Green(c), Blue(c));
    if (ch[0] - k >= 0 && ch[1] - k >= 0 && ch[2] - k >= 0) {
      for (i64& v : ch) v -= k;
    } else {
      // Only the channels that fall below 0 record their value; the smallest is subtracted from all.
      i64 shift = INT64_MAX;
      for (i64 v : ch)
        if (v - k < 0) shift = std::min(shift, v);
      for (i64& v : ch) v -= shift;
    }
    return Rgb(Clamp(ch[0]), Clamp(ch[1]), Clamp(ch[2]));
  });
}

void RedComponent(Canvas& canvas, const PixelMatrix& pixels) {
  EachPixel(canvas, pixels, [](Colour c) { return Rgb(Red(c), Red(c), Red(c)); });
}

void GreenComponent(Canvas& canvas, const PixelMatrix& pixels) {
  EachPixel(canvas, pixels, [](Colour c) { return Rgb(Green(c), Green(c), Green(c)); });
}

void BlueComponent(Canvas& canvas, const PixelMatrix& pixels) {
  EachPixel(canvas, pixels, [](Colour c) { return Rgb(Blue(c), Blue(c), Blue(c)); });
}

void FalseColour1(Canvas& canvas, const PixelMatrix& pixels) {
  EachPixel(canvas, pixels, [](Colour c) { return Rgb(Green(c), Blue(c), Red(c)); });
}

void FalseColour2(Canvas& canvas, const PixelMatrix& pixels) {
  EachPixel(canvas, pixels, [](Colour c) { return Rgb(Blue(c), Red(c), Green(c)); });
}

void FalseColour3(Canvas& canvas, const PixelMatrix& pixels) {
  EachPixel(canvas, pixels, [](Colour c) { return Rgb(Blue(c), Green(c), Red(c)); });
}

namespace {

Colour SliceRgb(const SliceColour& c) { return Rgb(Clamp(c.red), Clamp(c.green), Clamp(c.blue)); }

// The range a level falls in among `count` chained ranges (later wins), or -1.
int WinningRange(const LevelRange* r, int count, int level) {
  for (int i = 0; i < count; ++i)
    if (r[i].lo >= 256 || r[i].hi >= 256) return -1;
  int k = -1;
  if (r[0].lo >= 0 && r[0].hi < 256 && r[0].lo <= level && level <= r[0].hi) k = 0;
  if (count >= 2 && r[0].hi < 255) {
    if (r[1].lo >= r[0].hi && r[1].hi < 256 && r[1].lo <= level && level <= r[1].hi) k = 1;
    if (count >= 3 && r[1].hi < 255) {
      if (r[2].lo >= r[1].hi && r[2].hi < 256 && r[2].lo <= level && level <= r[2].hi) k = 2;
    }
  }
  return k;
}

bool InsideBox(const ColourBox& box, Colour c) {
  const LevelRange all[3] = {box.red, box.green, box.blue};
  for (const LevelRange& r : all)
    if (r.lo >= 256 || r.hi >= 256) return false;
  return box.red.lo <= Red(c) && Red(c) <= box.red.hi && box.green.lo <= Green(c) &&
         Green(c) <= box.green.hi && box.blue.lo <= Blue(c) && Blue(c) <= box.blue.hi;
}

}  // namespace

void StaticIntensitySlicing(Canvas& canvas, const PixelMatrix& pixels, const ThreeSlices& p) {
  EachPixel(canvas, pixels, [&p](Colour c) {
    const int k = WinningRange(p.range, 3, Red(c));
    return k < 0 ? c : SliceRgb(p.colour[k]);
  });
}

void IncrementalIntensitySlicing(Canvas& canvas, const PixelMatrix& pixels, const ThreeSlices& p) {
  EachPixel(canvas, pixels, [&p](Colour c) {
    const int level = Red(c);
    const int k = WinningRange(p.range, 3, level);
    if (k < 0) return c;
    const SliceColour& s = p.colour[k];
    if (p.range[k].lo == p.range[k].hi) return SliceRgb(s);
    const i64 d = static_cast<i64>(p.range[k].hi) - level;
    i64 r = s.red, g = s.green, b = s.blue;
    if (b >= g && b >= r) {
      b -= d;
      if (b < 1) b = 0;  // a dominant channel lowered to 0 or less shows 0
    } else if (g >= r) {
      g -= d;
      if (g < 1) g = 0;
    } else {
      r -= d;
      if (r < 1) r = 0;
    }
    return Rgb(Clamp(r), Clamp(g), Clamp(b));
  });
}

void ImageSlicing(Canvas& canvas, const PixelMatrix& pixels, const OneSlice& p) {
  const bool black = p.range.lo >= 256 || p.range.hi >= 256;
  EachPixel(canvas, pixels, [&p, black](Colour c) {
    if (black) return kBlack;
    const int level = Red(c);
    if (p.range.lo >= 0 && p.range.hi < 256 && p.range.lo <= level && level <= p.range.hi)
      return SliceRgb(p.colour);
    return c;
  });
}

void IntensitySlicing2(Canvas& canvas, const PixelMatrix& pixels, const TwoSlices& p) {
  EachPixel(canvas, pixels, [&p](Colour c) {
    const int k = WinningRange(p.range, 2, Red(c));
    return k < 0 ? c : SliceRgb(p.colour[k]);
  });
}

void ColorSlicing(Canvas& canvas, const PixelMatrix& pixels, const ColourSliceParams& p) {
  EachPixel(canvas, pixels, [&p](Colour c) {
    if (InsideBox(p.box, c)) return c;
    return p.backgroundMode == 1 ? Rgb(255, 255, 255) : Rgb(80, 80, 80);
  });
}

void ObjectColorChange(Canvas& canvas, const PixelMatrix& pixels, const ObjectColourParams& p) {
  EachPixel(canvas, pixels, [&p](Colour c) {
    if (!InsideBox(p.box, c)) return c;
    const int r = Red(c), g = Green(c), b = Blue(c);
    if (p.replaceMode == 1) return Rgb(g, b, r);
    if (p.replaceMode == 4) return Rgb(b, g, r);
    if (p.replaceMode == 5) return Rgb(b, r, g);
    if (p.replaceMode == 6) return Rgb(r, b, g);
    if (p.replaceMode == 3) return Rgb(g, r, b);
    return SliceRgb(p.manual);
  });
}

}  // namespace opta::reference
