// Intensity slicing, colour slicing and object colour change: fast forms.
// A level slicing depends on the pixel's red channel alone, so its rule is
// evaluated once per level into a table; a pixel is then (c & keep) | paint.
#include <algorithm>
#include <array>
#include <cstdint>

#include "pointops/kernels.h"
#include "pointops/row_writer.h"

namespace opta {

using pointops::MapPixels;

namespace {

struct LevelTable {
  std::array<Colour, 256> keep;   // 0xFFFFFF where the pixel stays, 0 where it is painted
  std::array<Colour, 256> paint;  // the painted colour, 0 where the pixel stays

  LevelTable() {
    keep.fill(0xFFFFFF);
    paint.fill(0);
  }
  void set(int level, Colour c) {
    keep[level] = 0;
    paint[level] = c;
  }
};

void MapLevels(Canvas& canvas, const PixelMatrix& pixels, const LevelTable& t) {
  MapPixels(canvas, pixels, [&t](Colour c) {
    const int level = static_cast<int>(c & 0xFF);
    return (c & t.keep[level]) | t.paint[level];
  });
}

Colour Clamped(const SliceColour& c) { return RgbClamped(c.red, c.green, c.blue); }

bool AllBelow256(const LevelRange* ranges, int count) {
  for (int i = 0; i < count; ++i)
    if (ranges[i].lo >= 256 || ranges[i].hi >= 256) return false;
  return true;
}

// Which of up to three chained ranges a level falls in (the later one wins),
// or -1. Each range after the first counts only when the one before ends
// below 255 and it starts at or above that one's end.
int RangeOf(const LevelRange* r, int count, int level) {
  int found = -1;
  if (r[0].lo >= 0 && r[0].hi < 256 && r[0].lo <= level && level <= r[0].hi) found = 0;
  for (int k = 1; k < count; ++k) {
    if (r[k - 1].hi >= 255) break;
    if (r[k].lo >= r[k - 1].hi && r[k].hi < 256 && r[k].lo <= level && level <= r[k].hi) found = k;
  }
  return found;
}

// The slice colour graded by the distance below the range's top: its largest
// component (blue before green before red on ties) is lowered by that distance.
Colour Graded(const SliceColour& c, const LevelRange& range, int level) {
  if (range.lo == range.hi) return Clamped(c);
  const std::int64_t d = static_cast<std::int64_t>(range.hi) - level;
  std::int64_t red = c.red, green = c.green, blue = c.blue;
  std::int64_t* dominant = &blue;
  if (green > *dominant) dominant = &green;
  if (red > *dominant) dominant = &red;
  // Lowered to 0 or below it shows 0, so a range keeps its colour family
  // to the bottom (and a black slice colour paints black throughout).
  *dominant = std::max<std::int64_t>(*dominant - d, 0);
  auto clamp = [](std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, 0, 255)); };
  return Rgb(clamp(red), clamp(green), clamp(blue));
}

template <int N>
LevelTable ChainedTable(const LevelRange (&ranges)[N], const SliceColour (&colours)[N], bool graded) {
  LevelTable t;
  if (!AllBelow256(ranges, N)) return t;
  for (int level = 0; level < 256; ++level) {
    const int k = RangeOf(ranges, N, level);
    if (k >= 0) t.set(level, graded ? Graded(colours[k], ranges[k], level) : Clamped(colours[k]));
  }
  return t;
}

// One 0/1 table per channel for an RGB box; every limit must be below 256.
struct BoxTables {
  std::array<std::uint8_t, 256> red{}, green{}, blue{};
  explicit BoxTables(const ColourBox& box) {
    const LevelRange all[3] = {box.red, box.green, box.blue};
    if (!AllBelow256(all, 3)) return;
    for (int v = 0; v < 256; ++v) {
      red[v] = box.red.lo <= v && v <= box.red.hi;
      green[v] = box.green.lo <= v && v <= box.green.hi;
      blue[v] = box.blue.lo <= v && v <= box.blue.hi;
    }
  }
  bool inside(Colour c) const { return red[c & 0xFF] & green[(c >> 8) & 0xFF] & blue[(c >> 16) & 0xFF]; }
};

}  // namespace

void StaticIntensitySlicing(Canvas& canvas, const PixelMatrix& pixels, const ThreeSlices& p) {
  MapLevels(canvas, pixels, ChainedTable(p.range, p.colour, false));
}

void IncrementalIntensitySlicing(Canvas& canvas, const PixelMatrix& pixels, const ThreeSlices& p) {
  MapLevels(canvas, pixels, ChainedTable(p.range, p.colour, true));
}

void IntensitySlicing2(Canvas& canvas, const PixelMatrix& pixels, const TwoSlices& p) {
  MapLevels(canvas, pixels, ChainedTable(p.range, p.colour, false));
}

void ImageSlicing(Canvas& canvas, const PixelMatrix& pixels, const OneSlice& p) {
  LevelTable t;
  if (!AllBelow256(&p.range, 1)) {
    t.keep.fill(0);              // a limit past the gray scale paints everything black
  } else if (p.range.lo >= 0) {  // a negative lower limit switches the range off
    for (int level = p.range.lo; level <= p.range.hi; ++level) t.set(level, Clamped(p.colour));
  }
  MapLevels(canvas, pixels, t);
}

void ColorSlicing(Canvas& canvas, const PixelMatrix& pixels, const ColourSliceParams& p) {
  const BoxTables box(p.box);
  const Colour background = p.backgroundMode == 1 ? kWhite : Rgb(80, 80, 80);
  MapPixels(canvas, pixels, [&box, background](Colour c) {
    const Colour in = 0u - static_cast<Colour>(box.inside(c));
    return (c & in) | (background & ~in);
  });
}

void ObjectColorChange(Canvas& canvas, const PixelMatrix& pixels, const ObjectColourParams& p) {
  const BoxTables box(p.box);
  const Colour manual = Clamped(p.manual);
  const int mode = p.replaceMode;
  MapPixels(canvas, pixels, [&box, manual, mode](Colour c) -> Colour {
    if (!box.inside(c)) return c;
    const int r = Red(c), g = Green(c), b = Blue(c);
    switch (mode) {
      case 1:
        return Rgb(g, b, r);
      case 3:
        return Rgb(g, r, b);
      case 4:
        return Rgb(b, g, r);
      case 5:
        return Rgb(b, r, g);
      case 6:
        return Rgb(r, b, g);
      default:
        return manual;
    }
  });
}

}  // namespace opta
