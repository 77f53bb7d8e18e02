// Hand-worked cases of the point operations, components and slicings.
#include <gtest/gtest.h>

#include "pointops/kernels.h"
#include "support/scene.h"

namespace opta {
namespace {

using testing::Apply;
using testing::kBefore;
using testing::Scene;

constexpr Colour kRed = Rgb(255, 0, 0), kGreen = Rgb(0, 255, 0), kBlue = Rgb(0, 0, 255);

TEST(PointOps, InvertSolarizeAndGray) {
  EXPECT_EQ(Apply(InvertImage, kWhite), kBlack);
  EXPECT_EQ(Apply(InvertImage, Rgb(10, 200, 128)), Rgb(245, 55, 127));
  EXPECT_EQ(Apply(InvertImage, 0xFF000000u | Rgb(1, 2, 3)), Rgb(254, 253, 252));  // top byte ignored
  EXPECT_EQ(Apply(SolarizeImage, Rgb(0, 127, 128)), Rgb(255, 128, 128));
  EXPECT_EQ(Apply(SolarizeImage, Rgb(255, 129, 1)), Rgb(255, 129, 254));
  EXPECT_EQ(Apply(GrayScaleImage, kWhite), Rgb(254, 254, 254));
  EXPECT_EQ(Apply(GrayScaleImage, Rgb(1, 1, 1)), kBlack);
  EXPECT_EQ(Apply(GrayScaleImage, Rgb(10, 10, 10)), Rgb(9, 9, 9));
}

TEST(PointOps, GrayScaleMatchesTheGrayLevelForEveryChannelValue) {
  Scene s(256, 4);
  for (int v = 0; v < 256; ++v) {
    s.pixels.at(v, 0) = Rgb(v, 0, 0);
    s.pixels.at(v, 1) = Rgb(0, v, 0);
    s.pixels.at(v, 2) = Rgb(0, 0, v);
    s.pixels.at(v, 3) = Rgb(v, 255 - v, (v * 7) & 0xFF);
  }
  Canvas c = s.canvas();
  GrayScaleImage(c, s.pixels);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 256; ++x) {
      const int g = GrayLevel(s.pixels.at(x, y));
      ASSERT_EQ(s.memory.get(x, y), Rgb(g, g, g)) << x << "," << y;
    }
}

TEST(PointOps, EmbossTakesTheDiagonalDifferencePlus128ModuloTheByte) {
  auto emboss = [](Colour a, Colour b) {
    Scene s(2, 2);
    s.pixels.at(0, 0) = a;
    s.pixels.at(1, 1) = b;
    Canvas c = s.canvas();
    EmbossImage(c, s.pixels);
    // Only (0, 0) has a diagonal neighbour; the rest keep what was shown.
    EXPECT_EQ(s.memory.get(1, 0), kBefore);
    EXPECT_EQ(s.memory.get(0, 1), kBefore);
    EXPECT_EQ(s.memory.get(1, 1), kBefore);
    EXPECT_EQ(s.window.get(0, 0), s.memory.get(0, 0));
    return s.memory.get(0, 0);
  };
  EXPECT_EQ(emboss(Rgb(77, 77, 77), Rgb(77, 77, 77)), Rgb(128, 128, 128));
  EXPECT_EQ(emboss(Rgb(255, 0, 10), Rgb(0, 255, 10)), Rgb(127, 127, 128));
  EXPECT_EQ(emboss(Rgb(200, 128, 0), Rgb(72, 0, 200)), Rgb(0, 0, 72));  // +128 wraps to 0; -200 gives |-72|

  for (Size size : {Size{1, 5}, Size{5, 1}}) {
    Scene s(size.width, size.height);
    s.pixels.fill(Rgb(9, 9, 9));
    Canvas c = s.canvas();
    EmbossImage(c, s.pixels);
    for (int y = 0; y < size.height; ++y)
      for (int x = 0; x < size.width; ++x) EXPECT_EQ(s.memory.get(x, y), kBefore);
  }
}

TEST(PointOps, BrightnessAndDarkness) {
  auto brighten = [](int k) { return [k](Canvas& c, const PixelMatrix& p) { BrightenImage(c, p, k); }; };
  auto darken = [](int k) { return [k](Canvas& c, const PixelMatrix& p) { DarkenImage(c, p, k); }; };
  EXPECT_EQ(Apply(brighten(50), Rgb(100, 150, 200)), Rgb(150, 200, 250));
  EXPECT_EQ(Apply(brighten(50), kRed), kRed);  // a channel at 255 keeps the pixel
  EXPECT_EQ(Apply(brighten(-50), Rgb(30, 100, 40)), Rgb(0, 50, 0));
  EXPECT_EQ(Apply(brighten(0), Rgb(30, 100, 40)), Rgb(30, 100, 40));
  EXPECT_EQ(Apply(darken(50), Rgb(100, 150, 200)), Rgb(50, 100, 150));
  EXPECT_EQ(Apply(darken(50), Rgb(0, 200, 200)), Rgb(0, 200, 200));  // a channel at 0 keeps the pixel
  EXPECT_EQ(Apply(darken(-100), Rgb(100, 150, 200)), Rgb(200, 250, 255));
}

// Our choice where a channel passes its limit: channels within the limit take
// no part in the common shift.
TEST(PointOps, CommonShiftComesFromThePassingChannelsOnly) {
  auto brighten = [](int k) { return [k](Canvas& c, const PixelMatrix& p) { BrightenImage(c, p, k); }; };
  auto darken = [](int k) { return [k](Canvas& c, const PixelMatrix& p) { DarkenImage(c, p, k); }; };
  // Red alone passes 255 by 45: all three channels move up by 45.
  EXPECT_EQ(Apply(brighten(50), Rgb(250, 100, 100)), Rgb(255, 145, 145));
  // Red and green pass by 45 and 5: the smaller excess wins.
  EXPECT_EQ(Apply(brighten(50), Rgb(250, 210, 100)), Rgb(255, 215, 105));
  // Green (20) falls below 0: every channel loses 20, the smallest channel.
  EXPECT_EQ(Apply(darken(50), Rgb(100, 20, 200)), Rgb(80, 0, 180));
  // Amounts far beyond the scale saturate instead of overflowing.
  EXPECT_EQ(Apply(brighten(2147483647), Rgb(1, 2, 3)), kWhite);
  EXPECT_EQ(Apply(brighten(-2147483647 - 1), Rgb(1, 2, 3)), kBlack);
  EXPECT_EQ(Apply(darken(-2147483647 - 1), Rgb(1, 2, 3)), kWhite);
  EXPECT_EQ(Apply(darken(2147483647), Rgb(9, 5, 7)), Rgb(4, 0, 2));
}

TEST(Components, ChannelsAndFalseColours) {
  EXPECT_EQ(Apply(RedComponent, kRed), kWhite);
  EXPECT_EQ(Apply(GreenComponent, kRed), kBlack);
  EXPECT_EQ(Apply(BlueComponent, kRed), kBlack);
  EXPECT_EQ(Apply(FalseColour1, kRed), kBlue);
  EXPECT_EQ(Apply(FalseColour2, kRed), kGreen);
  EXPECT_EQ(Apply(FalseColour3, kRed), kBlue);
  const Colour c = Rgb(10, 20, 30);
  EXPECT_EQ(Apply(GreenComponent, c), Rgb(20, 20, 20));
  EXPECT_EQ(Apply(BlueComponent, c), Rgb(30, 30, 30));
  EXPECT_EQ(Apply(FalseColour1, c), Rgb(20, 30, 10));
  EXPECT_EQ(Apply(FalseColour2, c), Rgb(30, 10, 20));
  EXPECT_EQ(Apply(FalseColour3, c), Rgb(30, 20, 10));
  for (auto op : {RedComponent, GreenComponent, BlueComponent, FalseColour1, FalseColour2, FalseColour3})
    EXPECT_EQ(Apply(op, Rgb(77, 77, 77)), Rgb(77, 77, 77));
}

// Levels are the red channel; green and blue ride along to show they are ignored.
Colour Level(int v) { return Rgb(v, 33, 44); }

ThreeSlices PrimaryRanges() {
  return ThreeSlices{{{50, 100}, {120, 160}, {200, 240}}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};
}

TEST(Slicing, StaticRangesAreInclusiveAndChained) {
  auto slice = [](const ThreeSlices& p) {
    return [p](Canvas& c, const PixelMatrix& m) { StaticIntensitySlicing(c, m, p); };
  };
  const ThreeSlices p = PrimaryRanges();
  EXPECT_EQ(Apply(slice(p), Level(100)), kRed);
  EXPECT_EQ(Apply(slice(p), Level(110)), Level(110));
  EXPECT_EQ(Apply(slice(p), Level(160)), kGreen);
  EXPECT_EQ(Apply(slice(p), Level(200)), kBlue);
  EXPECT_EQ(Apply(slice(p), Level(241)), Level(241));

  ThreeSlices big = p;
  big.range[2].hi = 256;  // one limit past the scale: nothing is painted
  EXPECT_EQ(Apply(slice(big), Level(100)), Level(100));
  ThreeSlices negative = p;
  negative.range[0].lo = -1;  // switches range 1 off, the others still apply
  EXPECT_EQ(Apply(slice(negative), Level(60)), Level(60));
  EXPECT_EQ(Apply(slice(negative), Level(130)), kGreen);
  ThreeSlices topped = p;
  topped.range[0] = {50, 255};  // range 1 reaching 255 ends the chain
  EXPECT_EQ(Apply(slice(topped), Level(130)), kRed);
  ThreeSlices loud{{{0, 10}, {20, 30}, {40, 50}}, {{300, -5, 128}, {}, {}}};
  EXPECT_EQ(Apply(slice(loud), Level(5)), Rgb(255, 0, 128));  // colours clamp when written
}

TEST(Slicing, TwoRangesLaterWinsAndImageSlicing) {
  auto two = [](TwoSlices p) { return [p](Canvas& c, const PixelMatrix& m) { IntensitySlicing2(c, m, p); }; };
  const TwoSlices p{{{0, 100}, {100, 200}}, {{1, 2, 3}, {4, 5, 6}}};
  EXPECT_EQ(Apply(two(p), Level(100)), Rgb(4, 5, 6));
  EXPECT_EQ(Apply(two(p), Level(0)), Rgb(1, 2, 3));
  EXPECT_EQ(Apply(two(p), Level(201)), Level(201));
  const TwoSlices overlapping{{{0, 100}, {90, 200}}, {{1, 2, 3}, {4, 5, 6}}};  // starts before range 1 ends
  EXPECT_EQ(Apply(two(overlapping), Level(150)), Level(150));

  auto one = [](OneSlice p) { return [p](Canvas& c, const PixelMatrix& m) { ImageSlicing(c, m, p); }; };
  EXPECT_EQ(Apply(one(OneSlice{{10, 300}, {1, 2, 3}}), Level(5)), kBlack);
  EXPECT_EQ(Apply(one(OneSlice{{10, 20}, {1, 2, 3}}), Level(20)), Rgb(1, 2, 3));
  EXPECT_EQ(Apply(one(OneSlice{{10, 20}, {1, 2, 3}}), Level(21)), Level(21));
  EXPECT_EQ(Apply(one(OneSlice{{-1, 20}, {1, 2, 3}}), Level(5)), Level(5));
  EXPECT_EQ(Apply(one(OneSlice{{0, 20}, {1, 2, 3}}), Level(0)),
            Rgb(1, 2, 3));  // 0 is a lower limit, not "off"
}

TEST(Slicing, IncrementalGradesTheDominantChannel) {
  auto inc = [](ThreeSlices p) {
    return [p](Canvas& c, const PixelMatrix& m) { IncrementalIntensitySlicing(c, m, p); };
  };
  ThreeSlices p{{{0, 100}, {150, 160}, {170, 200}}, {{200, 50, 50}, {120, 120, 0}, {10, 10, 10}}};
  EXPECT_EQ(Apply(inc(p), Level(100)), Rgb(200, 50, 50));
  EXPECT_EQ(Apply(inc(p), Level(60)), Rgb(160, 50, 50));
  EXPECT_EQ(Apply(inc(p), Level(0)), Rgb(100, 50, 50));
  EXPECT_EQ(Apply(inc(p), Level(140)), Level(140));
  EXPECT_EQ(Apply(inc(p), Level(155)), Rgb(120, 115, 0));  // red and green tie: green
  EXPECT_EQ(Apply(inc(p), Level(195)), Rgb(10, 10, 5));    // three-way tie: blue
  // Our choice: a dominant channel lowered to 0 or below shows 0.
  EXPECT_EQ(Apply(inc(p), Level(175)), Rgb(10, 10, 0));
  ThreeSlices flat{{{30, 30}, {40, 50}, {60, 70}}, {{7, 8, 9}, {0, 0, 0}, {}}};
  EXPECT_EQ(Apply(inc(flat), Level(30)), Rgb(7, 8, 9));  // a one-level range is flat
  EXPECT_EQ(Apply(inc(flat), Level(45)), kBlack);        // black paints black throughout

  ThreeSlices hiGreen{{{0, 100}, {}, {}}, {{120, 120, 0}, {}, {}}};
  hiGreen.range[1] = {200, 210};
  hiGreen.range[2] = {220, 230};
  EXPECT_EQ(Apply(inc(hiGreen), Level(80)), Rgb(120, 100, 0));
}

TEST(Slicing, ColourBoxAndObjectColourChange) {
  const ColourBox box{{0, 100}, {0, 100}, {0, 100}};
  auto slice = [](ColourSliceParams p) {
    return [p](Canvas& c, const PixelMatrix& m) { ColorSlicing(c, m, p); };
  };
  EXPECT_EQ(Apply(slice({box, 2}), Rgb(50, 60, 70)), Rgb(50, 60, 70));
  EXPECT_EQ(Apply(slice({box, 2}), Rgb(50, 60, 170)), Rgb(80, 80, 80));
  EXPECT_EQ(Apply(slice({box, 7}), Rgb(50, 160, 70)), Rgb(80, 80, 80));
  EXPECT_EQ(Apply(slice({box, 1}), Rgb(150, 60, 70)), kWhite);
  const ColourBox past{{0, 100}, {0, 256}, {0, 100}};
  EXPECT_EQ(Apply(slice({past, 1}), Rgb(50, 60, 70)), kWhite);

  auto change = [](ObjectColourParams p) {
    return [p](Canvas& c, const PixelMatrix& m) { ObjectColorChange(c, m, p); };
  };
  const Colour in = Rgb(10, 20, 30);
  const SliceColour manual{-4, 300, 77};
  EXPECT_EQ(Apply(change({box, manual, 1}), in), Rgb(20, 30, 10));
  EXPECT_EQ(Apply(change({box, manual, 2}), in), Rgb(0, 255, 77));
  EXPECT_EQ(Apply(change({box, manual, 3}), in), Rgb(20, 10, 30));
  EXPECT_EQ(Apply(change({box, manual, 4}), in), Rgb(30, 20, 10));
  EXPECT_EQ(Apply(change({box, manual, 5}), in), Rgb(30, 10, 20));
  EXPECT_EQ(Apply(change({box, manual, 6}), in), Rgb(10, 30, 20));
  EXPECT_EQ(Apply(change({box, manual, 0}), in), Rgb(0, 255, 77));
  EXPECT_EQ(Apply(change({box, manual, 4}), Rgb(10, 20, 130)), Rgb(10, 20, 130));  // outside: kept
}

TEST(PointOps, ResultsGoToBothSurfacesWithinTheirBounds) {
  // A picture wider than the window and taller than it: each surface keeps what it holds.
  Scene s(80, 40, 50, 70);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 80; ++x) s.pixels.at(x, y) = Rgb(x, y, 3);
  s.window.takeDirty();
  s.memory.takeDirty();
  Canvas c = s.canvas();
  InvertImage(c, s.pixels);
  EXPECT_EQ(s.memory.get(79, 39), Rgb(255 - 79, 255 - 39, 252));
  EXPECT_EQ(s.window.get(49, 39), Rgb(255 - 49, 255 - 39, 252));
  EXPECT_EQ(s.window.get(10, 40), kBefore);
  EXPECT_EQ(s.window.takeDirty(), (Rect{0, 0, 50, 40}));
  EXPECT_EQ(s.memory.takeDirty(), (Rect{0, 0, 80, 40}));
  // The source is never written, so a second Invert shows the same picture.
  InvertImage(c, s.pixels);
  EXPECT_EQ(s.memory.get(79, 39), Rgb(255 - 79, 255 - 39, 252));
  EXPECT_EQ(s.pixels.at(79, 39), Rgb(79, 39, 3));
}

}  // namespace
}  // namespace opta
