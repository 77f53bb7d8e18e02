#include <gtest/gtest.h>

#include "analysis/classify.h"
#include "analysis/measure.h"
#include "cells_test_support.h"

namespace opta {
namespace {

using testing::At;
using testing::Mark;
using testing::Scene;

// Every pixel inside the ellipse of half-axes a, b centred at (cx, cy).
void Ellipse(Scene& s, double cx, double cy, double a, double b, std::uint8_t label) {
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) {
      const double dx = (x - cx) / a, dy = (y - cy) / b;
      if (dx * dx + dy * dy <= 1.0) s.mask.at(x, y) = label;
    }
}

TEST(ShapeMarks, SquareIsACircleAndDiscIsASquare) {
  Scene s(60, 30);
  s.rect(5, 5, 10, 10, 2);  // ratio 15.21
  s.disc(40, 15, 8, 3);     // ratio 15.92, first pixel (32, 15)
  MarkCircles(s.canvas(), s.mask, 60, 30);
  EXPECT_EQ(s.windowMarks(), (std::vector<Mark>{At(s, 10, 5, "C")}));
  s.renderer.marks.clear();
  MarkSquares(s.canvas(), s.mask, 60, 30);
  EXPECT_EQ(s.windowMarks(), (std::vector<Mark>{At(s, 37, 15, "S")}));
  s.renderer.marks.clear();
  MarkTriangles(s.canvas(), s.mask, 60, 30);
  EXPECT_TRUE(s.renderer.marks.empty());
}

TEST(ShapeMarks, BoundsAreStrict) {
  Scene s(60, 40);
  Ellipse(s, 10, 10.5, 3.5, 5, 2);  // area 58, perimeter 29: ratio exactly 14.5
  s.rect(30, 5, 5, 18, 4);          // area 90, perimeter 45: ratio exactly 22.5
  MeasureAreas(s.mask, 40, 60);
  MeasurePerimeters(s.mask, 60, 40);
  ASSERT_EQ(ShapeRatio(ObjectPerimeter[2], ObjectArea[2]), 14.5);
  ASSERT_EQ(ShapeRatio(ObjectPerimeter[4], ObjectArea[4]), 22.5);
  MarkCircles(s.canvas(), s.mask, 60, 40);
  EXPECT_TRUE(s.renderer.marks.empty());
  MarkTriangles(s.canvas(), s.mask, 60, 40);
  EXPECT_EQ(s.windowMarks(), (std::vector<Mark>{At(s, 35, 5, "T")}));
}

TEST(ShapeMarks, EachMarkGoesToWindowThenMemory) {
  Scene s(30, 30);
  s.rect(5, 5, 10, 10, 2);
  MarkCircles(s.canvas(), s.mask, 30, 30);
  ASSERT_EQ(s.renderer.marks.size(), 2u);
  EXPECT_EQ(s.renderer.marks[0].surface, &s.window);
  EXPECT_EQ(s.renderer.marks[1], (Mark{&s.memory, 10, 5, "C"}));
}

TEST(Grouping, StartersPullInLaterPartnersEvenIfGrouped) {
  const std::array<std::uint32_t, 4> v{10, 14, 18, 100};
  const GroupTable g = AssignGroups(3, 3, [&](int i, int j) { return WithinFive(v[i], v[j]); });
  // 0 takes 1; 1 is grouped so opens nothing; 2 never joined 0 (18 - 10 = 8).
  EXPECT_EQ(g[0], 1);
  EXPECT_EQ(g[1], 1);
  EXPECT_EQ(g[2], 2);
  EXPECT_EQ(g[3], 3);
  EXPECT_EQ(g[4], 0);
}

TEST(Grouping, DifferencesAreSignedThirtyTwoBit) {
  EXPECT_TRUE(WithinFive(100u, 104u));
  EXPECT_FALSE(WithinFive(100u, 105u));
  EXPECT_TRUE(WithinFive(0u, 4u));
  EXPECT_FALSE(WithinFive(0u, 0x80000000u));  // would overflow a plain abs
  EXPECT_TRUE(WithinFive(4.9f, 0.0f));
  EXPECT_FALSE(WithinFive(5.0f, 0.0f));
}

TEST(SimilarArea, CloseAreasShareAGroupAndSpecksJoinTheAbsentLabels) {
  Scene s(40, 40);
  s.rect(2, 2, 10, 10, 2);  // 100
  s.rect(20, 2, 8, 13, 3);  // 104
  s.rect(2, 20, 5, 20, 4);  // 100 again
  s.rect(30, 30, 3, 1, 5);  // 3 pixels
  GroupByArea(s.canvas(), s.mask, 40, 40);
  // Background opens group 1, label 1 (absent, area 0) group 2 with every
  // absent label and the speck, label 2 group 3 with its partners.
  EXPECT_EQ(s.windowMarks(),
            (std::vector<Mark>{At(s, 7, 2, "3"), At(s, 25, 2, "3"), At(s, 7, 20, "3"), At(s, 35, 30, "2")}));
}

TEST(SimilarArea, FiveApartOpensANewGroup) {
  Scene s(40, 40);
  s.rect(2, 2, 10, 10, 2);  // 100
  s.rect(20, 2, 5, 21, 3);  // 105
  GroupByArea(s.canvas(), s.mask, 40, 40);
  EXPECT_EQ(s.windowMarks(), (std::vector<Mark>{At(s, 7, 2, "3"), At(s, 25, 2, "4")}));
}

TEST(SimilarPerimeter, ThresholdedMaskGetsTwoNumbers) {
  Scene s(20, 20);
  s.rect(4, 6, 5, 5, 255);
  GroupByPerimeter(s.canvas(), s.mask, 20, 20);
  // Background and absent labels share perimeter 0: group 1, at (0, 0).
  EXPECT_EQ(s.windowMarks(), (std::vector<Mark>{At(s, 5, 0, "1"), At(s, 9, 6, "2")}));
}

TEST(SimilarIntensity, TopLabelsHaveNoStarter) {
  Scene s(20, 20);
  s.rect(2, 2, 3, 3, 255);
  s.rect(10, 2, 3, 3, 254);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) s.pixels.at(x, y) = Rgb(200, 200, 200);
  GroupByIntensity(s.canvas(), s.pixels, s.mask, 20, 20);
  // All labels share mean 200 or 0; 254 is pulled into a lower group, 255
  // never gets one.
  const auto marks = s.windowMarks();
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0], At(s, 5, 0, "1"));   // background, mean 200
  EXPECT_EQ(marks[1], At(s, 15, 2, "1"));  // label 254 joins the background's group
}

TEST(ShapeMarks, StaleOrMissingMaskIsHarmless) {
  Scene s(10, 10);
  ByteMatrix empty;
  MarkCircles(s.canvas(), empty, 10, 10);
  GroupByArea(s.canvas(), empty, 10, 10);
  GroupByIntensity(s.canvas(), s.pixels, empty, 10, 10);
  EXPECT_TRUE(s.renderer.marks.empty());
}

}  // namespace
}  // namespace opta
