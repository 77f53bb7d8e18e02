#include <gtest/gtest.h>

#include <cstring>

#include "analysis/measure.h"
#include "cells_test_support.h"

namespace opta {
namespace {

using testing::RandomMask;
using testing::Scene;

TEST(MeasureWorkedValues, SinglePixelsSquaresAndDiscs) {
  Scene lone(9, 9);
  lone.mask.at(4, 4) = 5;
  MeasureAreas(lone.mask, 9, 9);
  MeasurePerimeters(lone.mask, 9, 9);
  EXPECT_EQ(ObjectArea[5], 1u);
  EXPECT_EQ(ObjectArea[0], 80u);
  EXPECT_EQ(ObjectPerimeter[5], 3.0f);  // 1 left, 1 right, 0.5 above and below
  EXPECT_EQ(ObjectPerimeter[0], 0.0f);

  Scene square(20, 20);
  square.rect(5, 5, 10, 10, 2);
  MeasureAreas(square.mask, 20, 20);
  MeasurePerimeters(square.mask, 20, 20);
  EXPECT_EQ(ObjectArea[2], 100u);
  EXPECT_EQ(ObjectPerimeter[2], 39.0f);

  Scene disc(30, 30);
  disc.disc(15, 15, 8, 7);
  MeasureAreas(disc.mask, 30, 30);
  MeasurePerimeters(disc.mask, 30, 30);
  EXPECT_EQ(ObjectArea[7], 197u);
  EXPECT_EQ(ObjectPerimeter[7], 56.0f);
}

TEST(MeasureWorkedValues, BorderPixelsCountOneEach) {
  Scene s(6, 5);
  s.mask.at(0, 2) = 3;  // left column
  s.mask.at(3, 0) = 4;  // top row
  s.mask.at(5, 4) = 6;  // corner
  s.mask.at(5, 2) = 8;  // right column
  MeasurePerimeters(s.mask, 6, 5);
  EXPECT_EQ(ObjectPerimeter[3], 1.0f);  // the border rule takes precedence over its right change
  EXPECT_EQ(ObjectPerimeter[4], 1.5f);  // 1 on the border, 0.5 from the pixel below it (up/down differ)
  EXPECT_EQ(ObjectPerimeter[6], 1.0f);
  EXPECT_EQ(ObjectPerimeter[8], 2.0f);  // 1 on the border, 1 from the change into it on its left
}

TEST(MeasureWorkedValues, AreaArgumentOrderIsHeightThenWidth) {
  Scene s(7, 3);
  s.rect(0, 0, 7, 3, 9);
  MeasureAreas(s.mask, 3, 7);
  EXPECT_EQ(ObjectArea[9], 21u);
  // Sizes past the mask are clipped to it rather than read.
  MeasureAreas(s.mask, 300, 700);
  EXPECT_EQ(ObjectArea[9], 21u);
  MeasurePerimeters(s.mask, 700, 300);
  MeasureAreas(ByteMatrix{}, 10, 10);
  EXPECT_EQ(ObjectArea[9], 0u);
}

TEST(MeasureIntensity, SingleGrayTruncatedPerPixel) {
  Scene s(4, 4);
  s.rect(0, 0, 2, 1, 8);
  s.pixels.at(0, 0) = Rgb(255, 0, 0);  // 76.5 each: the sum keeps 76 + 76
  s.pixels.at(1, 0) = Rgb(255, 0, 0);
  s.rect(3, 3, 1, 1, 9);
  s.pixels.at(3, 3) = kWhite;  // 255 here, 254 in the histogram's gray
  MeasureMeanIntensities(s.pixels, s.mask, 4, 4);
  EXPECT_EQ(ObjectArea[8], 2u);
  EXPECT_EQ(ObjectMeanIntensity[8], 76u);
  EXPECT_EQ(ObjectMeanIntensity[9], 255u);
  EXPECT_EQ(ObjectMeanIntensity[0], 0u);
  EXPECT_EQ(ObjectMeanIntensity[1], 0u);  // absent label: no division
}

// The fast kernels must reproduce the reference forms bit for bit.
void ExpectSameMeasurements(const ByteMatrix& mask, const PixelMatrix& pixels, int w, int h) {
  AreaTable a1, a2;
  ComputeAreas(mask, w, h, a1);
  ComputeAreasReference(mask, w, h, a2);
  EXPECT_EQ(a1, a2);
  PerimeterTable p1, p2;
  ComputePerimeters(mask, w, h, p1);
  ComputePerimetersReference(mask, w, h, p2);
  EXPECT_EQ(0, std::memcmp(p1.data(), p2.data(), sizeof p1));
  IntensityTable i1, i2;
  ComputeMeanIntensities(pixels, mask, w, h, a1, i1);
  ComputeMeanIntensitiesReference(pixels, mask, w, h, a2, i2);
  EXPECT_EQ(a1, a2);
  EXPECT_EQ(i1, i2);
  const FirstPixels f1 = FindFirstPixels(mask, w, h), f2 = FindFirstPixelsReference(mask, w, h);
  EXPECT_EQ(f1.x, f2.x);
  EXPECT_EQ(f1.y, f2.y);
}

TEST(MeasureFastForms, AgreeWithReferenceOnRandomMasks) {
  std::mt19937 rng(1234);
  const int sizes[][2] = {{1, 1},  {1, 9},   {9, 1},   {2, 2},     {3, 3},    {8, 5},
                          {9, 10}, {17, 33}, {64, 48}, {257, 129}, {640, 480}};
  for (const auto& sz : sizes) {
    for (int noise : {0, 5, 100}) {
      SCOPED_TRACE(std::to_string(sz[0]) + "x" + std::to_string(sz[1]) + " noise " + std::to_string(noise));
      ByteMatrix mask;
      RandomMask(mask, sz[0], sz[1], rng(), noise);
      PixelMatrix pixels;
      pixels.allocate(sz[0], sz[1]);
      for (std::size_t i = 0; i < pixels.size(); ++i) pixels.data()[i] = rng() & 0xFFFFFF;
      ExpectSameMeasurements(mask, pixels, sz[0], sz[1]);
      // A size larger than the matrices is clipped by both forms alike.
      ExpectSameMeasurements(mask, pixels, sz[0] + 3, sz[1] + 2);
    }
  }
}

TEST(MeasureFastForms, FirstPixelIsSmallestColumnThenRow) {
  Scene s(10, 10);
  s.mask.at(6, 1) = 4;
  s.mask.at(3, 8) = 4;  // further down but further left: first
  s.mask.at(3, 9) = 4;
  s.mask.at(9, 0) = 5;
  const FirstPixels f = FindFirstPixels(s.mask, 10, 10);
  EXPECT_EQ(f.x[4], 3);
  EXPECT_EQ(f.y[4], 8);
  EXPECT_EQ(f.x[5], 9);
  EXPECT_EQ(f.y[5], 0);
  EXPECT_EQ(f.x[0], 0);
  EXPECT_EQ(f.y[0], 0);
  EXPECT_FALSE(f.has(6));
}

}  // namespace
}  // namespace opta
