#include <gtest/gtest.h>

#include <random>

#include "address_space_cap.h"
#include "analysis/cleanup.h"
#include "analysis/segment_test_support.h"

namespace opta {
namespace {

using segtest::FillRect;
using segtest::MaskFrom;
using segtest::MessageLog;

enum class Op { Remove, Fill };

// Runs the fast form and checks it against the rule on a copy.
void CleanBoth(Op op, ByteMatrix& mask, std::int32_t limit) {
  ByteMatrix copy;
  copy.copyFrom(mask);
  MessageLog log;
  const int w = mask.width(), h = mask.height();
  if (op == Op::Remove) {
    RemoveObjects(mask, w, h, limit, log.fn());
    RemoveObjectsReference(copy, w, h, limit, log.fn());
  } else {
    FillObjects(mask, w, h, limit, log.fn());
    FillObjectsReference(copy, w, h, limit, log.fn());
  }
  EXPECT_TRUE(log.boxes.empty());
  EXPECT_TRUE(segtest::SameMatrix(mask, copy)) << "limit " << limit;
}

int Count(const ByteMatrix& m, std::uint8_t v) {
  int n = 0;
  for (int y = 0; y < m.height(); ++y)
    for (int x = 0; x < m.width(); ++x) n += m.at(x, y) == v;
  return n;
}

TEST(CleanupObjects, RemoveKeepsOnlyObjectsAboveTheLimit) {
  ByteMatrix m;
  m.allocate(60, 40);
  m.fill(0);
  FillRect(m, 2, 2, 10, 5, 255);    // 50 pixels
  FillRect(m, 20, 5, 25, 20, 255);  // 500 pixels
  CleanBoth(Op::Remove, m, 100);
  EXPECT_EQ(Count(m, 255), 500);
  EXPECT_EQ(m.at(2, 2), 0);
  EXPECT_EQ(m.at(20, 5), 255);
}

TEST(CleanupObjects, FillTakesSmallHolesAndLeavesLargeOnes) {
  ByteMatrix m;
  m.allocate(120, 60);
  m.fill(0);
  FillRect(m, 5, 5, 12, 7, 255);  // ring around a 6 x 5 = 30 pixel hole
  FillRect(m, 8, 6, 6, 5, 0);
  FillRect(m, 40, 5, 52, 52, 255);  // ring around a 50 x 40 = 2000 pixel hole
  FillRect(m, 41, 6, 50, 40, 0);
  CleanBoth(Op::Fill, m, 1000);
  EXPECT_EQ(m.at(10, 8), 255);
  EXPECT_EQ(m.at(60, 20), 0);
  EXPECT_EQ(Count(m, 0), 120 * 60 - 12 * 7 - 52 * 52 + 2000);
}

TEST(CleanupObjects, ColumnZeroIsNeverChanged) {
  ByteMatrix m = MaskFrom({
      "#.....",
      "......",
      ".#..#.",
      "#.....",
  });
  CleanBoth(Op::Remove, m, 100);
  EXPECT_EQ(m.at(0, 0), 255);
  EXPECT_EQ(m.at(0, 3), 255);
  EXPECT_EQ(m.at(1, 2), 0);
  EXPECT_EQ(m.at(4, 2), 0);

  ByteMatrix f = MaskFrom({
      ".#####",
      "##...#",
      "######",
  });
  CleanBoth(Op::Fill, f, 1000);
  EXPECT_EQ(f.at(0, 0), 0);  // a background piece in column 0 stays
  EXPECT_EQ(f.at(2, 1), 255);
}

TEST(CleanupObjects, DiagonalNeighboursAreOneRegion) {
  // Two 3-pixel pieces touching at a corner make one 6-pixel object: with
  // limit 5 it stays, with limit 7 it goes.
  ByteMatrix a = MaskFrom({
      ".###....",
      "....###.",
  });
  ByteMatrix b;
  b.copyFrom(a);
  CleanBoth(Op::Remove, a, 5);
  EXPECT_EQ(Count(a, 255), 6);
  CleanBoth(Op::Remove, b, 7);
  EXPECT_EQ(Count(b, 255), 0);
}

// Limit 4: a 4-pixel object keeps its label and goes the way of the next.
TEST(CleanupObjects, ARegionOfExactlyTheLimitSharesTheFateOfTheNext) {
  ByteMatrix thenLarge = MaskFrom({
      ".##........",
      ".##...###..",
      "......###..",
  });
  CleanBoth(Op::Remove, thenLarge, 4);
  EXPECT_EQ(thenLarge.at(1, 0), 255);
  EXPECT_EQ(thenLarge.at(6, 1), 255);

  ByteMatrix thenSmall = MaskFrom({
      ".##......",
      ".##...#..",
  });
  CleanBoth(Op::Remove, thenSmall, 4);
  EXPECT_EQ(Count(thenSmall, 255), 0);

  ByteMatrix last = MaskFrom({
      "......",
      "..##..",
      "..##..",
  });
  CleanBoth(Op::Remove, last, 4);
  EXPECT_EQ(Count(last, 255), 0);

  // A small region first advances the label; the exact one then follows
  // the large one after it.
  ByteMatrix chain = MaskFrom({
      ".#..##..####.",
      "....##..####.",
  });
  CleanBoth(Op::Remove, chain, 4);
  EXPECT_EQ(chain.at(1, 0), 0);
  EXPECT_EQ(chain.at(4, 0), 255);
  EXPECT_EQ(chain.at(9, 1), 255);
}

TEST(CleanupObjects, LabelsOfAnEarlierRunAreClearedOrFilledOutsideColumnZero) {
  ByteMatrix m = MaskFrom({
      "2.33..",
      "2.....",
      "...4..",
  });
  CleanBoth(Op::Remove, m, 100);
  EXPECT_TRUE(segtest::SameMatrix(m, MaskFrom({"2.....", "2.....", "......"})));

  ByteMatrix f = MaskFrom({
      "2.33#",
      "2####",
  });
  CleanBoth(Op::Fill, f, 1000);
  EXPECT_EQ(f.at(2, 0), 255);
  EXPECT_EQ(f.at(1, 0), 255);
  EXPECT_EQ(f.at(0, 0), 2);
}

TEST(CleanupObjects, AKeptLabelKeepsEqualValuesOfAnEarlierRun) {
  // The large object is grown with label 2 and kept: every 2 in the matrix,
  // the old one at (6,0) included, turns into "unchanged".
  ByteMatrix m = MaskFrom({
      "......2.",
      ".###..3.",
      ".###....",
  });
  CleanBoth(Op::Remove, m, 5);
  EXPECT_EQ(m.at(6, 0), 2);
  EXPECT_EQ(m.at(6, 1), 0);
  EXPECT_EQ(m.at(1, 1), 255);
}

TEST(CleanupObjects, ManySpecksAreAllRemoved) {
  // More than 253 small objects: the labels run past 255 without trouble.
  ByteMatrix m;
  m.allocate(2 * 300 + 1, 3);
  m.fill(0);
  for (int i = 0; i < 300; ++i) m.at(1 + 2 * i, 1) = 255;
  CleanBoth(Op::Remove, m, 100);
  EXPECT_EQ(Count(m, 255), 0);
}

TEST(CleanupObjects, FastFormMatchesTheRuleOnRandomMasks) {
  std::mt19937 rng(4321);
  const std::int32_t limits[] = {-1, 0, 1, 3, 5, 9, 20, 100};
  for (int trial = 0; trial < 80; ++trial) {
    std::uniform_int_distribution<int> dim(1, 60);
    const int w = dim(rng), h = dim(rng);
    ByteMatrix m = segtest::RandomMask(rng, w, h, 3 + trial, trial % 3 == 0);
    const std::int32_t limit = limits[trial % 8];
    CleanBoth(trial % 2 ? Op::Fill : Op::Remove, m, limit);
  }
}

TEST(CleanupObjects, EveryByteInUseStillGivesTheRule) {
  // No free marker values: the rule itself runs.
  ByteMatrix m;
  m.allocate(64, 8);
  for (int i = 0; i < 512; ++i) m.at(i % 64, i / 64) = static_cast<std::uint8_t>(i * 37);
  ByteMatrix f;
  f.copyFrom(m);
  CleanBoth(Op::Remove, m, 3);
  CleanBoth(Op::Fill, f, 3);
}

TEST(CleanupObjects, WhenStorageRunsOutTheMaskIsLeftAsItCame) {
  if (!testing::kCanCapAddressSpace)
    GTEST_SKIP() << "the address sanitizer reserves terabytes of address space";
  // A checkerboard is one region whose growth keeps megabytes of runs
  // pending; the marks already written, of a region kept before it too, must
  // all be taken back.
  for (Op op : {Op::Remove, Op::Fill}) {
    ByteMatrix m;
    m.allocate(1536, 1536);
    const int region = op == Op::Remove ? 255 : 0;
    for (int y = 0; y < 1536; ++y)
      for (int x = 0; x < 1536; ++x)
        m.at(x, y) = static_cast<std::uint8_t>(
            (x + y) % 2 && x >= 24 && y >= 24 ? region : (x % 7 ? 255 - region : 9));
    FillRect(m, 2, 2, 20, 20, static_cast<std::uint8_t>(region));  // kept before the growth that fails
    ByteMatrix before;
    before.copyFrom(m);
    const int end = testing::RunCapped(std::size_t{256} << 10, [&] {
      MessageLog log;
      if (op == Op::Remove)
        RemoveObjects(m, 1536, 1536, 100, log.fn());
      else
        FillObjects(m, 1536, 1536, 100, log.fn());
      if (log.boxes.size() != 1 || log.boxes[0].text != "Insufficient Memory") return 2;
      return segtest::SameMatrix(m, before) ? 0 : 1;
    });
    EXPECT_EQ(end, 0) << (op == Op::Remove ? "remove" : "fill");
  }
}

}  // namespace
}  // namespace opta
