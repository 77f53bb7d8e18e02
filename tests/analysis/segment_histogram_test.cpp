#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "analysis/histogram.h"
#include "analysis/segment_test_support.h"
#include "core/cpu.h"

namespace opta {
namespace {

PixelMatrix RandomPixels(std::mt19937& rng, int w, int h) {
  PixelMatrix p;
  p.allocate(w, h);
  std::uniform_int_distribution<std::uint32_t> c(0, 0xFFFFFFFFu);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) p.at(x, y) = c(rng);  // top byte set too: it must be ignored
  }
  return p;
}

Histogram Flat(std::uint32_t v) {
  Histogram h;
  h.fill(v);
  return h;
}

TEST(SegmentHistogram, WhiteIsGray254AndLevel255NeverCounts) {
  PixelMatrix p;
  p.allocate(3, 2);
  p.fill(kWhite);
  p.at(1, 1) = Rgb(10, 20, 30);  // 3 + 11 + 3
  ByteMatrix gray;
  Histogram h;
  ASSERT_TRUE(ComputeHistogram(h, 2, 3, p, gray));
  EXPECT_EQ(gray.at(0, 0), 254);
  EXPECT_EQ(gray.at(1, 1), 17);
  EXPECT_EQ(h[254], 5u);
  EXPECT_EQ(h[17], 1u);
  EXPECT_EQ(h[255], 0u);
}

TEST(SegmentHistogram, FastGrayAndCountsMatchTheRule) {
  std::mt19937 rng(7);
  for (cpu::Level level : {cpu::Level::Baseline, cpu::Level::Avx2, cpu::Level::Avx512}) {
    cpu::CapForTest cap(level);
    for (auto [w, h] : {std::pair{1, 1}, {17, 5}, {31, 3}, {300, 257}, {1024, 130}}) {
      const PixelMatrix p = RandomPixels(rng, w, h);
      ByteMatrix g1, g2;
      Histogram h1, h2;
      ASSERT_TRUE(ComputeHistogram(h1, h, w, p, g1));
      ASSERT_TRUE(ComputeHistogramReference(h2, h, w, p, g2));
      EXPECT_EQ(h1, h2);
      EXPECT_TRUE(segtest::SameMatrix(g1, g2));
    }
    // Every level of every channel, so each truncated product is checked.
    PixelMatrix all;
    all.allocate(256, 3);
    for (int v = 0; v < 256; ++v) {
      all.at(v, 0) = Rgb(v, 0, 0);
      all.at(v, 1) = Rgb(0, v, 0);
      all.at(v, 2) = Rgb(0, 0, v);
    }
    ByteMatrix g;
    Histogram hist;
    ASSERT_TRUE(ComputeHistogram(hist, 3, 256, all, g));
    for (int v = 0; v < 256; ++v) {
      EXPECT_EQ(g.at(v, 0), static_cast<int>(v * 0.3)) << v;
      EXPECT_EQ(g.at(v, 1), static_cast<int>(v * 0.59)) << v;
      EXPECT_EQ(g.at(v, 2), static_cast<int>(v * 0.11)) << v;
    }
  }
}

TEST(SegmentHistogram, PixelsSmallerThanTheSizeAskedForAreRefused) {
  PixelMatrix p;
  p.allocate(4, 4);
  ByteMatrix gray;
  Histogram h = Flat(9);
  EXPECT_FALSE(ComputeHistogram(h, 5, 4, p, gray));
  EXPECT_EQ(h, Flat(0));
}

TEST(SegmentHistogram, SmoothingUsesTruncatingThirdsAndHalvesAtTheEnds) {
  Histogram h{};
  h[0] = 1;
  h[1] = 4;
  h[2] = 6;
  h[100] = 2;  // neighbours 0: 2/3 -> 0, and 99 and 101 get 0 too
  h[254] = 7;
  h[255] = 4;
  SmoothHistogram(h);
  EXPECT_EQ(h[0], 2u);  // (1 + 4) >> 1
  EXPECT_EQ(h[1], 3u);  // 11 / 3
  EXPECT_EQ(h[2], 3u);  // 10 / 3
  EXPECT_EQ(h[3], 2u);  // 6 / 3
  EXPECT_EQ(h[100], 0u);
  EXPECT_EQ(h[253], 2u);  // 7 / 3
  EXPECT_EQ(h[254], 3u);  // 11 / 3
  EXPECT_EQ(h[255], 5u);  // (4 + 7) >> 1
}

TEST(SegmentHistogram, ThresholdRangeIsInclusiveAndEmptyWhenLowAboveHigh) {
  std::mt19937 rng(3);
  ByteMatrix gray;
  gray.allocate(37, 23);
  std::uniform_int_distribution<int> g(0, 255);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) gray.at(x, y) = static_cast<std::uint8_t>(g(rng));
  gray.at(0, 0) = 20;
  gray.at(1, 0) = 44;
  gray.at(2, 0) = 45;
  for (auto [hi, lo] : {std::pair{44, 20}, {255, 0}, {0, 0}, {255, 255}, {10, 11}, {140, 0}}) {
    ByteMatrix m1, m2;
    ASSERT_TRUE(ThresholdRange(gray, m1, hi, lo, 37, 23));
    ASSERT_TRUE(ThresholdRangeReference(gray, m2, hi, lo, 37, 23));
    EXPECT_TRUE(segtest::SameMatrix(m1, m2)) << hi << " " << lo;
  }
  ByteMatrix m;
  ThresholdRange(gray, m, 44, 20, 37, 23);
  EXPECT_EQ(m.at(0, 0), 255);
  EXPECT_EQ(m.at(1, 0), 255);
  EXPECT_EQ(m.at(2, 0), 0);
}

TEST(SegmentHistogram, ShowMaskPaintsGraysIntoBothSurfacesClipped) {
  std::mt19937 rng(5);
  ByteMatrix mask = segtest::RandomMask(rng, 40, 30, 30, true);
  segtest::Surfaces a(40, 30, 25, 50), b(40, 30, 25, 50);
  ShowMask(mask, a.canvas, 40, 30);
  ShowMaskReference(mask, b.canvas, 40, 30);
  EXPECT_TRUE(segtest::SameSurface(a.window, b.window));
  EXPECT_TRUE(segtest::SameSurface(a.memory, b.memory));
  EXPECT_EQ(a.memory.get(39, 29), mask.at(39, 29) * 0x010101u);
  EXPECT_EQ(a.window.get(5, 40), 0x123456u);  // below the image: untouched
}

TEST(SegmentHistogram, DescendingInsertKeepsDistinctCountsWithTheirLowestLevel) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 50; ++trial) {
    std::uniform_int_distribution<int> c(0, trial % 2 ? 40 : 4000);
    Histogram h;
    for (auto& v : h) v = static_cast<std::uint32_t>(c(rng));
    RankedLevels e;
    e.fill(RankedLevel{-1, -1});
    std::map<int, int, std::greater<>> lowest;  // count -> lowest level
    for (int l = 0; l < 256; ++l) {
      InsertDescending(e, RankedLevel{static_cast<int>(h[l]), l});
      lowest.emplace(static_cast<int>(h[l]), l);
    }
    if (lowest.size() > 252) continue;  // near-full lists have their own quirks
    std::size_t i = 0;
    for (auto [count, level] : lowest) {
      EXPECT_EQ(e[i].count, count);
      EXPECT_EQ(e[i].level, level);
      ++i;
    }
    EXPECT_EQ(e[i].level, -1);
  }
}

TEST(SegmentHistogram, NoRuleEverPutsAPairAtRank253) {
  RankedLevels e;
  e.fill(RankedLevel{-1, -1});
  for (int i = 0; i < 253; ++i) InsertDescending(e, RankedLevel{1000 - 2 * i, i});
  ASSERT_EQ(e[252].count, 496);
  InsertDescending(e, RankedLevel{494, 253});  // would belong at rank 253: dropped
  EXPECT_EQ(e[253].level, -1);
  InsertDescending(e, RankedLevel{2000, 254});  // a new first pushes 496 down to rank 253
  EXPECT_EQ(e[0].level, 254);
  EXPECT_EQ(e[253].count, 496);
  InsertDescending(e, RankedLevel{495, 255});  // between ranks 253 and 254: the last rank
  EXPECT_EQ(e[254].level, 255);
  const RankedLevels before = e;
  InsertDescending(e, RankedLevel{497, 256});  // between ranks 252 and 253: dropped
  for (int i = 0; i < 255; ++i) EXPECT_EQ(e[i].level, before[i].level);
}

TEST(SegmentHistogram, PeaksTieToTheLowestLevelAndTheSecondLiesMoreThan50Away) {
  Histogram h{};
  h[60] = 500;
  h[90] = 500;   // a tie: 60 stays the main peak
  h[100] = 400;  // too close (40)
  h[111] = 300;  // 51 away
  h[200] = 200;
  std::int32_t main = 0, second = 0;
  FindHistogramPeaks(h, main, second);
  EXPECT_EQ(main, 60);
  EXPECT_EQ(second, 111);
}

TEST(SegmentHistogram, WithoutAFarLevelTheSecondPeakIsTheMainOne) {
  Histogram h{};
  for (int l = 0; l < 256; ++l) h[l] = 7;  // one distinct count: only level 0 is ranked
  h[30] = 9;
  std::int32_t main = 0, second = 0;
  FindHistogramPeaks(h, main, second);
  EXPECT_EQ(main, 30);
  EXPECT_EQ(second, 30);
  std::uint8_t high = 0, low = 0;
  LimitsFromPeaks(h, main, second, high, low);
  EXPECT_EQ(low, 0);  // 30 levels below, 226 at or above: the darker class is object
  EXPECT_EQ(high, 30);
}

TEST(SegmentHistogram, PeakMidpointIsOrderFreeAndTheSmallerClassIsObject) {
  Histogram h{};
  h[60] = 100;
  h[200] = 50;
  std::uint8_t hi1, lo1, hi2, lo2;
  LimitsFromPeaks(h, 60, 200, hi1, lo1);
  LimitsFromPeaks(h, 200, 60, hi2, lo2);
  EXPECT_EQ(lo1, 130);  // 100 below, 50 above: the brighter class is object
  EXPECT_EQ(hi1, 255);
  EXPECT_EQ(hi2, hi1);
  EXPECT_EQ(lo2, lo1);
  h[130] = 60;  // mid counts with the upper class: 100 below, 110 above
  LimitsFromPeaks(h, 200, 60, hi1, lo1);
  EXPECT_EQ(lo1, 0);
  EXPECT_EQ(hi1, 130);
  h[130] = 50;  // 100 below, 100 at or above: a tie makes the brighter class the object
  LimitsFromPeaks(h, 200, 60, hi1, lo1);
  EXPECT_EQ(lo1, 130);
  EXPECT_EQ(hi1, 255);
}

TEST(SegmentHistogram, LimitsFromFarOffLevelsStayInsideTheTable) {
  const Histogram h = Flat(3);
  std::uint8_t high = 0, low = 0;
  LimitsFromPeaks(h, 100, 5000000, high, low);  // mid 2500050: all counts below it
  EXPECT_EQ(low, static_cast<std::uint8_t>(2500050));
  EXPECT_EQ(high, 255);
}

TEST(SegmentHistogram, ValleyTakesTheLowestOfTheLeastCountsBelow10000) {
  Histogram h = Flat(20000);
  h[70] = 5;
  h[80] = 3;
  h[90] = 3;
  h[150] = 4;
  std::int32_t v = 0;
  FindValley(h, 200, 60, v);
  EXPECT_EQ(v, 80);
  FindValley(h, 85, 95, v);  // only level 90 lies strictly between
  EXPECT_EQ(v, 90);
  FindValley(h, 90, 91, v);  // adjacent peaks: nothing between
  EXPECT_EQ(v, -1);
  FindValley(h, 100, 140, v);  // every count 10000 or more
  EXPECT_EQ(v, -1);
  h[120] = 9999;
  FindValley(h, 100, 140, v);
  EXPECT_EQ(v, 120);
}

TEST(SegmentHistogram, ValleyLimitsAndTheirFallback) {
  Histogram h = Flat(20000);
  h[80] = 3;
  std::uint8_t high = 0, low = 0;
  LimitsFromValley(h, 60, 200, high, low);  // 80 levels below, 176 at or above
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 80);
  h = Histogram{};
  h[50] = 10;
  h[210] = 10;
  LimitsFromValley(h, 60, 200, high, low);  // valley 61; 10 below, 10 at or above: a tie is dark
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 61);
  h = Flat(20000);
  LimitsFromValley(h, 60, 200, high, low);  // no valley: the peaks' midpoint 130
  EXPECT_EQ(low, 130);                      // 130 levels below, 126 at or above
  EXPECT_EQ(high, 255);
}

TEST(SegmentHistogram, ClassMeansMatchTheRuleAndGuardTheirDivisors) {
  std::mt19937 rng(9);
  ByteMatrix gray;
  gray.allocate(61, 45);
  std::uniform_int_distribution<int> g(0, 254);
  for (int y = 0; y < 45; ++y)
    for (int x = 0; x < 61; ++x) gray.at(x, y) = static_cast<std::uint8_t>(g(rng));
  for (auto [hi, lo] : {std::pair{200, 50}, {255, 0}, {3, 200}, {254, 254}}) {
    ByteMatrix m1, m2;
    std::uint32_t o1, b1, o2, b2;
    ThresholdWithClassMeans(gray, &m1, hi, lo, 255, o1, b1, 61, 45);
    ThresholdWithClassMeansReference(gray, m2, hi, lo, 255, o2, b2, 61, 45);
    EXPECT_TRUE(segtest::SameMatrix(m1, m2));
    EXPECT_EQ(o1, o2);
    EXPECT_EQ(b1, b2);
    // Over its own gray levels, and with no mask at all, as Adaptive uses it.
    ByteMatrix own;
    own.copyFrom(gray);
    ThresholdWithClassMeans(own, &own, hi, lo, 255, o1, b1, 61, 45);
    EXPECT_TRUE(segtest::SameMatrix(own, m2));
    EXPECT_EQ(o1, o2);
    EXPECT_EQ(b1, b2);
    ThresholdWithClassMeans(gray, nullptr, hi, lo, 255, o1, b1, 61, 45);
    EXPECT_EQ(o1, o2);
    EXPECT_EQ(b1, b2);
  }

  ByteMatrix flat, mask;
  flat.allocate(20, 10);
  flat.fill(50);
  std::uint32_t o = 0, b = 0;
  ThresholdWithClassMeans(flat, &mask, 255, 0, 255, o, b, 20, 10);  // all object: n counts as 100
  EXPECT_EQ(o, 100u);                                               // 50 * 200 / 100
  EXPECT_EQ(b, 0u);                                                 // 0 / (200 - 100)
  ThresholdWithClassMeans(flat, &mask, 10, 0, 255, o, b, 20, 10);   // no object: divide by 100 too
  EXPECT_EQ(o, 0u);
  EXPECT_EQ(b, 100u);  // 10000 / (200 - 100)

  flat.allocate(10, 10);
  flat.fill(50);
  ThresholdWithClassMeans(flat, &mask, 10, 0, 255, o, b, 10, 10);  // background divisor would be 0
  EXPECT_EQ(o, 0u);
  EXPECT_EQ(b, 0u);
}

TEST(SegmentHistogram, DrawHistogramDrawsUnscaledCountsOnTheWindowOnly) {
  Surface window;
  window.allocate(800, 600, kWhite);
  window.dc().penColour = 0x0000FF;
  Histogram h{};
  h[0] = 100;     // rises 30 pixels above the axis
  h[1] = 70;      // nothing visible
  h[2] = 100000;  // clamped to the top of the window
  DrawHistogram(h, window, 600);
  const int base = 530;
  EXPECT_EQ(window.get(300, base), 0x0000FFu);  // horizontal axis
  EXPECT_EQ(window.get(10, 100), 0x0000FFu);    // vertical axis, up to 600 - 570 = 30
  EXPECT_EQ(window.get(10, 30), kWhite);        // its end point is left out
  EXPECT_EQ(window.get(1, 501), 0x0000FFu);     // level 0: from the axis up to 500, exclusive
  EXPECT_EQ(window.get(1, 500), kWhite);
  EXPECT_EQ(window.get(4, base - 1), kWhite);  // level 1
  EXPECT_EQ(window.get(7, 1), 0x0000FFu);      // level 2 reaches row 1 (row 0 is the end point)
}

}  // namespace
}  // namespace opta
