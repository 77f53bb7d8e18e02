// Intensity slicing, colour slicing and object colour change: fast forms.
// A level slicing depends on the pixel's red channel alone, so its rule is
// evaluated once per level into a table of colours to paint or keep.
#include <algorithm>
#include <array>
#include <cstdint>

#include "core/row_writer.h"
#include "pointops/kernels.h"

namespace opta {

namespace {

// Per level: the painted colour, or kKeep where the pixel stays as it is.
constexpr Colour kKeep = 0xFF000000;

struct LevelTable {
  std::array<Colour, 256> entry;
  LevelTable() { entry.fill(kKeep); }
  void set(int level, Colour c) { entry[level] = c; }
};

void MapLevels(Canvas& canvas, const PixelMatrix& pixels, const LevelTable& t) {
  MapPixels(canvas, pixels, [&t](Colour c) {
    const Colour e = t.entry[c & 0xFF];
    const Colour keep = 0u - (e >> 31);  // all ones where the pixel stays
    return (c & keep) | (e & ~keep);
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

// An RGB box as one unsigned compare per channel: v is inside [lo, lo + span]
// exactly when v - lo, taken unsigned, is at most span.
struct BoxTest {
  unsigned loR = 1, spanR = 0, loG = 1, spanG = 0, loB = 1, spanB = 0;
  bool any = false;  // false: no pixel can be inside

  explicit BoxTest(const ColourBox& box) {
    const LevelRange all[3] = {box.red, box.green, box.blue};
    if (!AllBelow256(all, 3)) return;
    unsigned* lo[3] = {&loR, &loG, &loB};
    unsigned* span[3] = {&spanR, &spanG, &spanB};
    for (int i = 0; i < 3; ++i) {
      const int a = std::max(all[i].lo, 0), b = std::min(all[i].hi, 255);
      if (a > b) return;
      *lo[i] = static_cast<unsigned>(a);
      *span[i] = static_cast<unsigned>(b - a);
    }
    any = true;
  }
  bool inside(Colour c) const {
    return ((c & 0xFF) - loR <= spanR) & (((c >> 8) & 0xFF) - loG <= spanG) &
           (((c >> 16) & 0xFF) - loB <= spanB);
  }
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
    t.entry.fill(kBlack);        // a limit past the gray scale paints everything black
  } else if (p.range.lo >= 0) {  // a negative lower limit switches the range off
    for (int level = p.range.lo; level <= p.range.hi; ++level) t.set(level, Clamped(p.colour));
  }
  MapLevels(canvas, pixels, t);
}

void ColorSlicing(Canvas& canvas, const PixelMatrix& pixels, const ColourSliceParams& p) {
  const BoxTest box(p.box);
  const Colour background = p.backgroundMode == 1 ? kWhite : Rgb(80, 80, 80);
  if (!box.any) {
    MapPixels(canvas, pixels, [background](Colour) { return background; });
    return;
  }
  MapPixels(canvas, pixels, [&box, background](Colour c) {
    const Colour in = 0u - static_cast<Colour>(box.inside(c));
    return (c & in) | (background & ~in);
  });
}

namespace {

// Inside pixels get replace(c); the mode is chosen once, outside the pixel loop.
template <class Replace>
void ReplaceInside(Canvas& canvas, const PixelMatrix& pixels, const BoxTest& box, Replace replace) {
  MapPixels(canvas, pixels, [&box, replace](Colour c) {
    const Colour in = 0u - static_cast<Colour>(box.inside(c));
    return (c & ~in) | (replace(c) & in);
  });
}

}  // namespace

void ObjectColorChange(Canvas& canvas, const PixelMatrix& pixels, const ObjectColourParams& p) {
  const BoxTest box(p.box);
  if (!box.any) {
    MapPixels(canvas, pixels, [](Colour c) { return c; });
    return;
  }
  const Colour manual = Clamped(p.manual);
  switch (p.replaceMode) {
    case 1:
      return ReplaceInside(canvas, pixels, box, [](Colour c) { return Rgb(Green(c), Blue(c), Red(c)); });
    case 3:
      return ReplaceInside(canvas, pixels, box, [](Colour c) { return Rgb(Green(c), Red(c), Blue(c)); });
    case 4:
      return ReplaceInside(canvas, pixels, box, [](Colour c) { return Rgb(Blue(c), Green(c), Red(c)); });
    case 5:
      return ReplaceInside(canvas, pixels, box, [](Colour c) { return Rgb(Blue(c), Red(c), Green(c)); });
    case 6:
      return ReplaceInside(canvas, pixels, box, [](Colour c) { return Rgb(Red(c), Blue(c), Green(c)); });
    default:
      return ReplaceInside(canvas, pixels, box, [manual](Colour) { return manual; });
  }
}

}  // namespace opta
