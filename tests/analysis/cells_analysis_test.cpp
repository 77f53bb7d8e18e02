#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "analysis/bloodcells.h"
#include "analysis/measure.h"
#include "cells_test_support.h"

namespace opta {
namespace {

using testing::At;
using testing::Mark;
using testing::RecordingUi;
using testing::Scene;

TEST(RedCells, DiscIsNormalAndBackgroundMeansAnaemia) {
  Scene s(30, 30);
  s.disc(15, 15, 8, 2);
  RecordingUi ui;
  AnalyseRedCells(ui, s.mask, 30, 30);
  ASSERT_EQ(ui.messages.size(), 2u);
  // Background (many pixels) and label 1 (none) share perimeter 0 but not area.
  EXPECT_EQ(ui.messages[0].text, "The Patient appears to be suffering from Anemia");
  EXPECT_EQ(ui.messages[0].caption, "OPTA");
  EXPECT_EQ(ui.messages[0].flags, platform::MB_OK);
  EXPECT_EQ(ui.messages[1].text, "Normal RBCs Found: 1");
  EXPECT_EQ(ui.messages[1].caption, "OPTA");
}

TEST(RedCells, VerdictFollowsTheBackgroundSize) {
  Scene full(4, 4);
  full.rect(0, 0, 4, 4, 2);
  EXPECT_FALSE(AssessRedCells(full.mask, 4, 4).anaemia());
  Scene four(4, 4);  // 4 background pixels: still in label 1's area group
  four.rect(0, 0, 4, 3, 2);
  four.rect(0, 3, 4, 1, 0);
  EXPECT_FALSE(AssessRedCells(four.mask, 4, 4).anaemia());
  Scene five(5, 5);
  five.rect(0, 0, 5, 4, 2);
  five.rect(0, 4, 5, 1, 0);
  EXPECT_TRUE(AssessRedCells(five.mask, 5, 5).anaemia());
}

TEST(RedCells, NormalBandAndUnlabelledObjects) {
  Scene s(80, 40);
  s.rect(2, 2, 10, 10, 2);  // 15.21: normal
  s.rect(20, 2, 10, 2, 3);  // 26.45: not
  s.disc(50, 20, 8, 4);     // 15.92: normal
  EXPECT_EQ(AssessRedCells(s.mask, 80, 40).normal, 2);
  // Objects still at 255 are judged as one label.
  Scene raw(80, 40);
  raw.rect(2, 2, 10, 10, 255);
  raw.rect(30, 2, 10, 10, 255);
  MeasureAreas(raw.mask, 40, 80);
  EXPECT_EQ(ObjectArea[255], 200u);
  EXPECT_EQ(AssessRedCells(raw.mask, 80, 40).normal, 0);  // 78^2 / 200 = 30.4
}

TEST(SickleMarks, DiscGetsRAndBarGetsS) {
  Scene s(60, 30);
  s.disc(15, 15, 8, 2);
  s.rect(40, 5, 10, 2, 3);
  s.rect(40, 20, 4, 4, 4);  // 15^2 / 16 = 14.06: normal too
  std::vector<CellMark> drawn;
  MarkSickleCells(s.canvas(), s.mask, 60, 30, &drawn);
  EXPECT_EQ(s.windowMarks(), (std::vector<Mark>{At(s, 7, 15, "r"), At(s, 40, 5, "s"), At(s, 40, 20, "r")}));
  using K = CellMark::Kind;
  EXPECT_EQ(drawn,
            (std::vector<CellMark>{{K::NormalRed, 7, 15}, {K::Sickle, 40, 5}, {K::NormalRed, 40, 20}}));
  // A second run draws the same marks again and changes nothing else.
  MarkSickleCells(s.canvas(), s.mask, 60, 30);
  EXPECT_EQ(s.windowMarks().size(), 6u);
}

TEST(SickleMarks, RatioBandsAreInclusive) {
  EXPECT_TRUE(IsNormalRatio(14.0));
  EXPECT_TRUE(IsNormalRatio(16.0));
  EXPECT_FALSE(IsNormalRatio(13.999));
  EXPECT_FALSE(IsNormalRatio(16.00001));  // a float above 16
  EXPECT_TRUE(IsSickleRatio(20.0));
  EXPECT_TRUE(IsSickleRatio(35.0));
  EXPECT_FALSE(IsSickleRatio(19.5));
  EXPECT_FALSE(IsSickleRatio(35.01));
  EXPECT_TRUE(IsNormalRatio(16.0000001));  // the single ratio rounds to exactly 16
}

TEST(WhiteCellMarks, FollowLabelsInScanOrderFromColumnOne) {
  Scene s(40, 20);
  s.rect(0, 2, 1, 3, 2);   // only in column 0: never seen there
  s.rect(5, 5, 3, 3, 3);   // label 3 before label 2 is found: skipped
  s.rect(10, 1, 3, 3, 2);  // found: "W" at (15, 1), then looks for 3
  s.rect(20, 8, 3, 3, 3);  // found: (25, 8)
  s.rect(30, 0, 3, 3, 4);  // (35, 0)
  MarkWhiteCells(s.canvas(), s.mask, 40, 20);
  EXPECT_EQ(s.windowMarks(), (std::vector<Mark>{At(s, 15, 1, "W"), At(s, 25, 8, "W"), At(s, 35, 0, "W")}));
}

TEST(WhiteCellMarks, CounterWrapsPast255ToZero) {
  // Single pixels labelled 2..255 along row 1 of columns 1..254, background
  // above and below them, and 9 everywhere else.
  Scene s(300, 3);
  for (int i = 0; i < 254; ++i) s.mask.at(1 + i, 1) = static_cast<std::uint8_t>(2 + i);
  for (int x = 255; x < 300; ++x)
    for (int y = 0; y < 3; ++y) s.mask.at(x, y) = 9;
  MarkWhiteCells(s.canvas(), s.mask, 300, 3);
  const auto marks = s.windowMarks();
  // After 255 the counter is 0, met right below it; label 1 never occurs.
  ASSERT_EQ(marks.size(), 255u);
  EXPECT_EQ(marks[0], At(s, 6, 1, "W"));
  EXPECT_EQ(marks[253], At(s, 259, 1, "W"));
  EXPECT_EQ(marks[254], At(s, 259, 2, "W"));
}

TEST(WhiteCellMarks, FastFormAgreesWithReference) {
  std::mt19937 rng(77);
  for (auto [w, h] : {std::pair{1, 5}, std::pair{2, 2}, std::pair{9, 70}, std::pair{70, 9},
                      std::pair{200, 150}, std::pair{333, 97}}) {
    for (int variant = 0; variant < 3; ++variant) {
      Scene fast(w, h), slow(w, h);
      if (variant == 0) {
        testing::RandomMask(fast.mask, w, h, rng(), 5);
      } else {
        // Labels in scan order, as labelling leaves them, with some repeats.
        for (int x = 0; x < w; ++x)
          for (int y = 0; y < h; ++y)
            if (rng() % (variant == 1 ? 50 : 3) == 0)
              fast.mask.at(x, y) = static_cast<std::uint8_t>(2 + (x * h + y) % 300);
      }
      slow.mask.copyFrom(fast.mask);
      std::vector<CellMark> drawnFast, drawnSlow;
      MarkWhiteCells(fast.canvas(), fast.mask, w, h, &drawnFast);
      MarkWhiteCellsReference(slow.canvas(), slow.mask, w, h, &drawnSlow);
      std::vector<std::tuple<int, int, std::string>> a, b, reported;
      for (const Mark& m : fast.windowMarks()) a.emplace_back(m.x, m.y, m.text);
      for (const Mark& m : slow.windowMarks()) b.emplace_back(m.x, m.y, m.text);
      EXPECT_EQ(a, b) << w << "x" << h << " variant " << variant;
      // Each reported mark is the object pixel five to the left of its "W".
      EXPECT_EQ(drawnFast, drawnSlow);
      for (const CellMark& m : drawnFast) reported.emplace_back(m.x + 5, m.y, "W");
      EXPECT_EQ(reported, a);
    }
  }
}

}  // namespace
}  // namespace opta
