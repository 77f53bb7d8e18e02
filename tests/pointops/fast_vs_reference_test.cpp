// Every fast kernel against its reference form, bit for bit, on the shared
// random pictures and on random parameters (limits out of range and negative).
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "pointops/kernels.h"
#include "support/fast_vs_reference.h"

namespace opta {
namespace {

using testing::ExpectSameAsReference;

#define SAME(fn) ExpectSameAsReference(#fn, fn, reference::fn, rng)
// A kernel with parameters, the same ones given to both forms.
#define SAME_WITH(label, fn, ...)                                             \
  ExpectSameAsReference(                                                      \
      label, [&](Canvas& c, const PixelMatrix& p) { fn(c, p, __VA_ARGS__); }, \
      [&](Canvas& c, const PixelMatrix& p) { reference::fn(c, p, __VA_ARGS__); }, rng)

TEST(FastVersusReference, PlainOperations) {
  std::mt19937 rng(7);
  SAME(InvertImage);
  SAME(EmbossImage);
  SAME(SolarizeImage);
  SAME(GrayScaleImage);
  SAME(RedComponent);
  SAME(GreenComponent);
  SAME(BlueComponent);
  SAME(FalseColour1);
  SAME(FalseColour2);
  SAME(FalseColour3);
}

TEST(FastVersusReference, BrightnessAndDarknessForAnyAmount) {
  std::mt19937 rng(11);
  for (int k : {0, 1, 50, -50, 200, 255, 256, 300, 511, 1000, 1001, -255, -256, -1001, INT_MAX, INT_MIN}) {
    const std::string n = std::to_string(k);
    SAME_WITH("Brighten " + n, BrightenImage, k);
    SAME_WITH("Darken " + n, DarkenImage, k);
  }
}

// Limits and colour components: mostly sensible, often at the edges of the
// scale, sometimes wild.
int RandomValue(std::mt19937& rng) {
  static const int kEdges[] = {-1, 0, 1, 254, 255, 256, 257, -256, 1000, INT_MIN, INT_MAX};
  switch (rng() % 4) {
    case 0:
      return kEdges[rng() % std::size(kEdges)];
    case 1:
      return static_cast<int>(rng());
    default:
      return static_cast<int>(rng() % 256);
  }
}

LevelRange RandomRange(std::mt19937& rng) {
  if (rng() % 3 == 0) return LevelRange{RandomValue(rng), RandomValue(rng)};
  const int lo = static_cast<int>(rng() % 256);
  return LevelRange{lo, lo + static_cast<int>(rng() % 80)};  // may pass 255
}

SliceColour RandomColour(std::mt19937& rng) {
  if (rng() % 3 == 0) return SliceColour{RandomValue(rng), RandomValue(rng), RandomValue(rng)};
  // Small components and ties, so the graded form reaches 0 and breaks ties.
  const int v[] = {0, 5, 60, 60, 200};
  return SliceColour{v[rng() % 5], v[rng() % 5], v[rng() % 5]};
}

TEST(FastVersusReference, SlicingWithRandomParameters) {
  std::mt19937 rng(3);
  for (int round = 0; round < 60; ++round) {
    ThreeSlices three;
    for (int i = 0; i < 3; ++i) {
      three.range[i] = RandomRange(rng);
      three.colour[i] = RandomColour(rng);
    }
    if (round % 2 == 0) {  // chained, as the dialog accepts them
      int start = static_cast<int>(rng() % 60) - 5;
      for (LevelRange& r : three.range) {
        r.lo = start;
        r.hi = start + static_cast<int>(rng() % 70);
        start = r.hi + static_cast<int>(rng() % 20);
      }
    }
    const TwoSlices two{{three.range[0], three.range[1]}, {three.colour[0], three.colour[1]}};
    const OneSlice one{three.range[0], three.colour[0]};
    const ColourBox box{three.range[0], three.range[1], three.range[2]};
    const ColourSliceParams colourSlice{box, static_cast<int>(rng() % 4)};
    const ObjectColourParams object{box, three.colour[2], static_cast<int>(rng() % 9) - 1};

    const std::string r = " round " + std::to_string(round);
    SAME_WITH("Static" + r, StaticIntensitySlicing, three);
    SAME_WITH("Incremental" + r, IncrementalIntensitySlicing, three);
    SAME_WITH("Slicing2" + r, IntensitySlicing2, two);
    SAME_WITH("Image" + r, ImageSlicing, one);
    SAME_WITH("Colour" + r, ColorSlicing, colourSlice);
    SAME_WITH("Object" + r, ObjectColorChange, object);
  }
}

}  // namespace
}  // namespace opta
