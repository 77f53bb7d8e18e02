// Hand-worked two-image cases: each rule on both sides of its boundary, and
// the regions of two pictures of different sizes.
#include <gtest/gtest.h>

#include <string>

#include "combine/pair.h"

namespace opta {
namespace {

using testing::kBefore;
using testing::kLevels;
using testing::Pair;

// Both pictures 19 x 2 in one colour each, so the eight-wide form and its
// tail both see the pair; every level must give one answer everywhere.
Colour Combined(CombineOp op, Colour a, Colour b) {
  Colour seen = 0xDEADBEEF;
  for (cpu::Level level : kLevels) {
    cpu::CapForTest cap(level);
    Pair p({19, 2}, {19, 2});
    p.first.fill(a);
    p.second.fill(b);
    p.run(op);
    if (seen == 0xDEADBEEF) seen = p.memory.get(0, 0);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 19; ++x)
        if (p.memory.get(x, y) != seen || p.window.get(x, y) != seen) return 0xBADBAD;
  }
  return seen;
}

const Colour kTop = 0xFF000000;  // a byte the screen never shows

TEST(CombineRules, SumAndDifference) {
  EXPECT_EQ(Combined(AddImages, Rgb(200, 100, 50), Rgb(100, 100, 100)), Rgb(255, 200, 150));
  EXPECT_EQ(Combined(SubtractImages, Rgb(200, 100, 50), Rgb(100, 100, 100)), Rgb(100, 0, 50));
  // 254, 255 and 256 before the clamp.
  EXPECT_EQ(Combined(AddImages, Rgb(200, 200, 200), Rgb(54, 55, 56)), Rgb(254, 255, 255));
  EXPECT_EQ(Combined(SubtractImages, Rgb(0, 255, 7) | kTop, Rgb(255, 0, 7)), Rgb(255, 255, 0));
}

TEST(CombineRules, AverageAndMatchRoundDown) {
  EXPECT_EQ(Combined(AverageOverlay, Rgb(255, 0, 1), kBlack), Rgb(127, 0, 0));
  EXPECT_EQ(Combined(AverageOverlay, Rgb(3, 4, 254), Rgb(4, 4, 255)), Rgb(3, 4, 254));
  EXPECT_EQ(Combined(MatchOverlay, Rgb(9, 8, 7), Rgb(9, 8, 7) | kTop), kWhite);
  EXPECT_EQ(Combined(MatchOverlay, Rgb(9, 8, 7), Rgb(9, 8, 8)), Rgb(9, 8, 7));
  EXPECT_EQ(Combined(MatchOverlay, Rgb(10, 8, 7), Rgb(9, 8, 7)), Rgb(9, 8, 7));
}

TEST(CombineRules, LessAndGreaterNeedAllThreeChannelsStrictly) {
  const Colour a = Rgb(200, 200, 200);
  EXPECT_EQ(Combined(LessOverlay, a, Rgb(100, 100, 200)), Rgb(100, 100, 200));  // blue equal: b
  EXPECT_EQ(Combined(LessOverlay, a, Rgb(100, 100, 199)), a);
  EXPECT_EQ(Combined(LessOverlay, a, Rgb(201, 0, 0)), Rgb(201, 0, 0));
  EXPECT_EQ(Combined(GreaterOverlay, a, Rgb(201, 201, 201)), a);
  EXPECT_EQ(Combined(GreaterOverlay, a, Rgb(201, 200, 201)), Rgb(201, 200, 201));
  EXPECT_EQ(Combined(GreaterOverlay, a | kTop, Rgb(255, 255, 255)), a);
}

TEST(CombineRules, BooleansOfEqualSizes) {
  const Colour a = Rgb(1, 2, 3), b = Rgb(4, 5, 6);
  EXPECT_EQ(Combined(AndImages, a | kTop, b), a);
  EXPECT_EQ(Combined(OrImages, a, b), a);
  EXPECT_EQ(Combined(XorImages, a, b), kWhite);
  EXPECT_EQ(Combined(NandImages, a, b), kWhite);
  EXPECT_EQ(Combined(NorImages, a, b), kWhite);
  EXPECT_EQ(Combined(NotImages, a, b), kBlack);
}

TEST(CombineRules, OverlaysPassOnlyPureWhite) {
  const Colour b = Rgb(4, 5, 6);
  EXPECT_EQ(Combined(NonZeroOverlay, kWhite | kTop, b), b);
  EXPECT_EQ(Combined(NonZeroOverlay, Rgb(255, 255, 254), b), Rgb(255, 255, 254));
  EXPECT_EQ(Combined(ZeroOverlay, kWhite, b), kWhite);
  EXPECT_EQ(Combined(ZeroOverlay, Rgb(254, 255, 255), b | kTop), b);
}

// First 4 x 2 in colour A, second 2 x 4 in colour B: (0,0) in both, (2,1)
// and (3,0) in the first only, (1,3) in the second only, (3,3) in neither.
struct Regions {
  Colour both, firstOnly, secondOnly, neither;
  bool operator==(const Regions&) const = default;
};

constexpr Colour kA = Rgb(200, 100, 0), kB = Rgb(0, 50, 101);

Regions RegionsOf(CombineOp op, int level) {
  cpu::CapForTest cap(kLevels[level]);
  Pair p({4, 2}, {2, 4});
  p.first.fill(kA);
  p.second.fill(kB);
  p.run(op);
  const Surface& w = p.window;
  if (w.get(2, 1) != w.get(3, 0)) return Regions{};
  // The memory surface keeps the first image's size and its part of the result.
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      if (p.memory.get(x, y) != w.get(x, y)) return Regions{};
  return Regions{w.get(0, 0), w.get(2, 1), w.get(1, 3), w.get(3, 3)};
}

TEST(CombineRegions, EveryOperationByPosition) {
  const Colour white = kWhite, black = kBlack;
  const Colour half = Rgb(100, 50, 0), halfB = Rgb(0, 25, 50);
  struct Row {
    const char* name;
    CombineOp op;
    Regions want;
  } rows[] = {
      {"Add", AddImages, {Rgb(200, 150, 101), kA, kB, black}},
      {"Subtract", SubtractImages, {Rgb(200, 50, 101), kA, kB, black}},
      {"And", AndImages, {kA, white, white, white}},
      {"Or", OrImages, {kA, kA, kB, black}},
      {"Xor", XorImages, {white, kA, kB, white}},
      {"Nand", NandImages, {white, kA, kB, black}},
      {"Nor", NorImages, {white, black, black, black}},
      {"Not", NotImages, {black, kA, black, white}},
      {"Less", LessOverlay, {kB, kA, kB, black}},
      {"Greater", GreaterOverlay, {kB, kA, kB, black}},
      {"Average", AverageOverlay, {Rgb(100, 75, 50), half, halfB, black}},
      {"Match", MatchOverlay, {Rgb(100, 75, 50), half, halfB, white}},
  };
  for (const Row& r : rows)
    for (int level = 0; level < 2; ++level) EXPECT_EQ(RegionsOf(r.op, level), r.want) << r.name << level;
}

TEST(CombineRegions, MatchTurnsALoneBlackWhite) {
  Pair p({3, 1}, {1, 3});
  p.first.at(1, 0) = kBlack;
  p.first.at(2, 0) = Rgb(1, 1, 1);  // halves to black, but was not black
  p.second.at(0, 2) = Rgb(0, 0, 0) | kTop;
  p.run(MatchOverlay);
  EXPECT_EQ(p.window.get(1, 0), kWhite);
  EXPECT_EQ(p.window.get(2, 0), kBlack);
  EXPECT_EQ(p.window.get(0, 2), kWhite);
}

// The threshold overlays visit the first image's area only, and keep a where
// the second image does not reach.
TEST(CombineRegions, ThresholdOverlaysKeepTheFirstImageBeyondTheSecond) {
  for (cpu::Level level : kLevels) {
    cpu::CapForTest cap(level);
    for (CombineOp op : {NonZeroOverlay, ZeroOverlay}) {
      Pair p({3, 2}, {2, 3});
      p.first.fill(kWhite);
      p.first.at(0, 1) = p.first.at(2, 1) = kA;
      p.second.fill(kB);
      p.run(op);
      const bool nonZero = op == NonZeroOverlay;
      EXPECT_EQ(p.window.get(1, 0), nonZero ? kB : kWhite);
      EXPECT_EQ(p.window.get(0, 1), nonZero ? kA : kB);
      EXPECT_EQ(p.window.get(2, 0), kWhite);  // x = w2: first image kept
      EXPECT_EQ(p.window.get(1, 2), kWhite);  // y = h1: not visited, the white screen
      EXPECT_EQ(p.memory.get(2, 1), kA);
    }
  }
}

TEST(CombineFrame, ScreenWhiteFirstAndMemoryKeepsItsSize) {
  Pair p({3, 2}, {5, 4}, {12, 10}, {8, 6});
  p.first.fill(kA);
  p.second.fill(kB);
  p.run(OrImages);
  EXPECT_EQ(p.window.get(4, 3), kB);      // the combined area reaches past the first image
  EXPECT_EQ(p.window.get(5, 3), kWhite);  // screen, outside the result
  EXPECT_EQ(p.window.get(7, 5), kWhite);
  EXPECT_EQ(p.window.get(8, 5), kBefore);  // beyond the screen: untouched
  EXPECT_EQ(p.window.get(7, 6), kBefore);
  EXPECT_EQ(p.memory.size(), (Size{3, 2}));
  EXPECT_EQ(p.memory.get(2, 1), kA);
}

}  // namespace
}  // namespace opta
