// Every fast kernel against its reference form, bit for bit, on random
// pictures and random parameters (sizes odd and degenerate, surfaces smaller
// and larger than the picture, limits out of range and negative).
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "pointops/kernels.h"
#include "pointops/scene.h"

namespace opta {
namespace {

using testing::Op;
using testing::Scene;

struct Case {
  int w, h, clientW, clientH;
};

const Case kCases[] = {
    {1, 1, 64, 64},       {1, 17, 64, 64},  {23, 1, 64, 64},    {2, 2, 1, 1}, {37, 29, 16, 40},
    {64, 48, 64, 48},     {101, 3, 200, 2}, {4101, 3, 2050, 5},  // rows longer than one piece
    {400, 350, 300, 500},                                        // split over the cores
};

void ExpectSameAsReference(const std::string& name, const Op& fast, const Op& ref, std::mt19937& rng) {
  for (const Case& k : kCases) {
    Scene a(k.w, k.h, k.clientW, k.clientH), b(k.w, k.h, k.clientW, k.clientH);
    for (int y = 0; y < k.h; ++y)
      for (int x = 0; x < k.w; ++x) a.pixels.at(x, y) = b.pixels.at(x, y) = static_cast<Colour>(rng());
    for (Scene* s : {&a, &b}) {
      s->window.takeDirty();
      s->memory.takeDirty();
    }
    Canvas ca = a.canvas(), cb = b.canvas();
    fast(ca, a.pixels);
    ref(cb, b.pixels);
    const std::string where = name + " on " + std::to_string(k.w) + "x" + std::to_string(k.h);
    ASSERT_EQ(a.window.takeDirty(), b.window.takeDirty()) << where;
    ASSERT_EQ(a.memory.takeDirty(), b.memory.takeDirty()) << where;
    for (const auto& [sa, sb] : {std::pair{&a.window, &b.window}, std::pair{&a.memory, &b.memory}})
      for (int y = 0; y < sa->height(); ++y)
        for (int x = 0; x < sa->width(); ++x)
          ASSERT_EQ(sa->get(x, y), sb->get(x, y)) << where << " at " << x << "," << y;
  }
}

#define SAME(fn) ExpectSameAsReference(#fn, fn, reference::fn, rng)

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
    ExpectSameAsReference(
        "Brighten " + n, [k](Canvas& c, const PixelMatrix& p) { BrightenImage(c, p, k); },
        [k](Canvas& c, const PixelMatrix& p) { reference::BrightenImage(c, p, k); }, rng);
    ExpectSameAsReference(
        "Darken " + n, [k](Canvas& c, const PixelMatrix& p) { DarkenImage(c, p, k); },
        [k](Canvas& c, const PixelMatrix& p) { reference::DarkenImage(c, p, k); }, rng);
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
    ExpectSameAsReference(
        "Static" + r, [&](Canvas& c, const PixelMatrix& p) { StaticIntensitySlicing(c, p, three); },
        [&](Canvas& c, const PixelMatrix& p) { reference::StaticIntensitySlicing(c, p, three); }, rng);
    ExpectSameAsReference(
        "Incremental" + r, [&](Canvas& c, const PixelMatrix& p) { IncrementalIntensitySlicing(c, p, three); },
        [&](Canvas& c, const PixelMatrix& p) { reference::IncrementalIntensitySlicing(c, p, three); }, rng);
    ExpectSameAsReference(
        "Slicing2" + r, [&](Canvas& c, const PixelMatrix& p) { IntensitySlicing2(c, p, two); },
        [&](Canvas& c, const PixelMatrix& p) { reference::IntensitySlicing2(c, p, two); }, rng);
    ExpectSameAsReference(
        "Image" + r, [&](Canvas& c, const PixelMatrix& p) { ImageSlicing(c, p, one); },
        [&](Canvas& c, const PixelMatrix& p) { reference::ImageSlicing(c, p, one); }, rng);
    ExpectSameAsReference(
        "Colour" + r, [&](Canvas& c, const PixelMatrix& p) { ColorSlicing(c, p, colourSlice); },
        [&](Canvas& c, const PixelMatrix& p) { reference::ColorSlicing(c, p, colourSlice); }, rng);
    ExpectSameAsReference(
        "Object" + r, [&](Canvas& c, const PixelMatrix& p) { ObjectColorChange(c, p, object); },
        [&](Canvas& c, const PixelMatrix& p) { reference::ObjectColorChange(c, p, object); }, rng);
  }
}

}  // namespace
}  // namespace opta
