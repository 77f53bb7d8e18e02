// Per-object description of a labelled mask: hand-worked shapes, the
// labelling order, objects that share a label, and agreement with the label
// tables wherever a label belongs to one object.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "analysis/measure.h"
#include "analysis/objects.h"
#include "cells_test_support.h"
#include "segment_test_support.h"

namespace opta {
namespace {

using segtest::FillRect;
using segtest::MaskFrom;

std::vector<ObjectRecord> Describe(const ByteMatrix& mask, const PixelMatrix* pixels = nullptr,
                                   const std::vector<CellMark>& marks = {}) {
  PixelMatrix blank;
  if (!pixels) {
    blank.allocate(mask.width(), mask.height());
    blank.fill(0);
    pixels = &blank;
  }
  Matrix<std::uint32_t> ids;
  ByteMatrix work;
  std::vector<ObjectRecord> out;
  EXPECT_TRUE(DescribeObjects(mask, *pixels, marks, ids, work, out));
  return out;
}

TEST(DescribeObjects, HandWorkedShapes) {
  ByteMatrix m;
  m.allocate(20, 20);
  m.fill(0);
  FillRect(m, 5, 6, 10, 10, 2);  // a 10 x 10 square: perimeter 39
  m.at(18, 2) = 5;               // a lone interior pixel: 1 + 1 + 0.5 + 0.5
  m.at(0, 19) = 7;               // a lone pixel on the border: 1
  const std::vector<ObjectRecord> d = Describe(m);
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[0].label, 7);
  EXPECT_EQ(d[0].area, 1u);
  EXPECT_EQ(d[0].perimeter, 1.0f);
  const ObjectRecord& square = d[1];
  EXPECT_EQ(square.label, 2);
  EXPECT_EQ(square.area, 100u);
  EXPECT_EQ(square.perimeter, 39.0f);
  EXPECT_DOUBLE_EQ(square.centroidX, 9.5);
  EXPECT_DOUBLE_EQ(square.centroidY, 10.5);
  EXPECT_EQ(
      (std::vector<int>{square.left, square.top, square.right, square.bottom, square.firstX, square.firstY}),
      (std::vector<int>{5, 6, 14, 15, 5, 6}));
  EXPECT_EQ(d[2].label, 5);
  EXPECT_EQ(d[2].area, 1u);
  EXPECT_EQ(d[2].perimeter, 3.0f);
}

TEST(DescribeObjects, LabellingOrderAndObjectsSharingALabel) {
  const ByteMatrix m = MaskFrom({
      "2...3",
      ".2...",
      "....3",
      "3....",
  });
  // Diagonal neighbours of one value are one object; the two 3s of column 4
  // are two rows apart, so two objects. Order: by x, then by y.
  const std::vector<ObjectRecord> d = Describe(m);
  ASSERT_EQ(d.size(), 4u);
  const std::vector<std::vector<int>> expected = {{2, 0, 0, 2}, {3, 0, 3, 1}, {3, 4, 0, 1}, {3, 4, 2, 1}};
  for (std::size_t i = 0; i < d.size(); ++i)
    EXPECT_EQ((std::vector<int>{d[i].label, d[i].firstX, d[i].firstY, static_cast<int>(d[i].area)}),
              expected[i]);
  // The label table measures the three 3s as one; their parts add up to it.
  AreaTable area;
  PerimeterTable perimeter;
  ComputeAreas(m, 5, 4, area);
  ComputePerimeters(m, 5, 4, perimeter);
  EXPECT_EQ(d[1].area + d[2].area + d[3].area, area[3]);
  EXPECT_EQ(d[1].perimeter + d[2].perimeter + d[3].perimeter, perimeter[3]);
  EXPECT_EQ(d[0].perimeter, perimeter[2]);
}

TEST(DescribeObjects, HalfStepsGoToTheObjectTheRuleCredits) {
  // Pixel (1, 1) and its right neighbour are background, the pixel above is
  // object A (2), the one below object B (4): the 0.5 goes to A, the upper.
  // Where above and below hold one value the rule adds nothing, even when
  // they are two objects (the 3s).
  const ByteMatrix m = MaskFrom({
      ".2..3.",
      "......",
      ".4..3.",
      "......",
  });
  const std::vector<ObjectRecord> d = Describe(m);
  ASSERT_EQ(d.size(), 4u);
  EXPECT_EQ(d[0].label, 2);
  EXPECT_EQ(d[0].perimeter, 1.0f + 0.5f);  // its border pixel, and the half step at (1, 1)
  EXPECT_EQ(d[1].label, 4);
  EXPECT_EQ(d[1].perimeter, 1.0f);  // the change out of it; column 0 is border, so no change into it
  EXPECT_EQ(d[2].label, 3);
  EXPECT_EQ(d[2].perimeter, 1.0f);  // its border pixel only: (4, 1) sees 3 above and 3 below
  EXPECT_EQ(d[3].label, 3);
  EXPECT_EQ(d[3].perimeter, 2.0f);  // the changes into it and out of it
}

TEST(DescribeObjects, MeanIntensityDropsEachPixelsFraction) {
  ByteMatrix m;
  m.allocate(4, 1);
  m.fill(2);
  PixelMatrix p;
  p.allocate(4, 1);
  // Grays 255 (white), 0.9 (red 3), 0.9, 0.9: the truncated grays add up to
  // 255, a mean of 63; the grays themselves would add up to 257.7, a mean of 64.
  p.at(0, 0) = kWhite;
  for (int x = 1; x < 4; ++x) p.at(x, 0) = Rgb(3, 0, 0);
  EXPECT_EQ(IntensitySum(&p.at(0, 0), 1), 255u);
  EXPECT_EQ(IntensitySum(&p.at(1, 0), 3), 0u);
  const std::vector<ObjectRecord> d = Describe(m, &p);
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0].meanIntensity, 63u);
}

TEST(DescribeObjects, MarksCountForTheObjectHoldingTheirPixel) {
  const ByteMatrix m = MaskFrom({
      "22.3",
      "22.3",
  });
  const std::vector<CellMark> marks = {{CellMark::Kind::NormalRed, 1, 1},
                                       {CellMark::Kind::White, 0, 0},
                                       {CellMark::Kind::Sickle, 2, 0},  // background: nobody's
                                       {CellMark::Kind::Sickle, 9, 9}};
  const std::vector<ObjectRecord> d = Describe(m, nullptr, marks);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_TRUE(d[0].has(CellMark::Kind::NormalRed));
  EXPECT_TRUE(d[0].has(CellMark::Kind::White));
  EXPECT_FALSE(d[0].has(CellMark::Kind::Sickle));
  EXPECT_EQ(d[1].marks, 0);
}

TEST(DescribeObjects, UniqueLabelsMeasureAsTheTables) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 20; ++trial) {
    const int w = 1 + static_cast<int>(rng() % 90), h = 1 + static_cast<int>(rng() % 70);
    ByteMatrix m;
    testing::RandomMask(m, w, h, static_cast<std::uint32_t>(trial), trial % 3 * 5);
    PixelMatrix p;
    p.allocate(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) p.at(x, y) = rng() & 0xFFFFFF;
    AreaTable area, areaAgain;
    PerimeterTable perimeter;
    IntensityTable intensity;
    ComputeAreasReference(m, w, h, area);
    ComputePerimetersReference(m, w, h, perimeter);
    ComputeMeanIntensitiesReference(p, m, w, h, areaAgain, intensity);
    std::map<int, int> objectsOf;
    const std::vector<ObjectRecord> d = Describe(m, &p);
    for (const ObjectRecord& o : d) ++objectsOf[o.label];
    std::map<int, std::uint64_t> areaSum;
    std::map<int, double> perimeterSum;
    for (const ObjectRecord& o : d) {
      areaSum[o.label] += o.area;
      perimeterSum[o.label] += o.perimeter;
      if (objectsOf[o.label] != 1) continue;
      EXPECT_EQ(o.area, area[o.label]) << "trial " << trial;
      EXPECT_EQ(o.perimeter, perimeter[o.label]) << "trial " << trial;
      EXPECT_EQ(o.meanIntensity, intensity[o.label]) << "trial " << trial;
    }
    for (int v = 1; v < 256; ++v) {
      EXPECT_EQ(areaSum[v], area[v]);
      EXPECT_EQ(perimeterSum[v], perimeter[v]);
    }
  }
}

}  // namespace
}  // namespace opta
