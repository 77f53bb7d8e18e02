// Two-image operations: each rule on both sides of its boundary, and every
// fast form against its reference at each processor level on pictures of
// every size relation. The regions, the commands and the plain worked sums
// are tried from outside in cli_combine_test.py.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>

#include "combine/combine.h"
#include "core/cpu.h"

namespace opta {
namespace {

constexpr Colour kBefore = 0x0A0B0C, kTop = 0xFF000000;  // kTop: a byte the screen never shows
constexpr cpu::Level kLevels[] = {cpu::Level::Baseline, cpu::Level::Avx2};

struct Pair {
  PixelMatrix first, second;
  Surface window, memory;
  Size screen;
  Pair(Size a, Size b, Size client = {64, 64}, Size screenSize = {64, 64}) : screen(screenSize) {
    first.allocate(a.width, a.height);
    second.allocate(b.width, b.height);
    window.allocate(client.width, client.height, kBefore);
    memory.allocate(a.width, a.height, kBefore);
  }
  void run(CombineOp op) {
    Canvas c(window, memory);
    op(c, first, second, screen);
  }
};

// Both pictures 19 x 2 in one colour, so the eight-wide form and its tail
// both see the pair; every pixel at every level must give the same answer.
Colour Combined(CombineOp op, Colour a, Colour b) {
  Colour seen = 0xBAD;
  for (cpu::Level level : kLevels) {
    cpu::CapForTest cap(level);
    Pair p({19, 2}, {19, 2});
    p.first.fill(a);
    p.second.fill(b);
    p.run(op);
    if (level == kLevels[0]) seen = p.memory.get(0, 0);
    for (int i = 0; i < 38; ++i)
      if (p.memory.get(i % 19, i / 19) != seen || p.window.get(i % 19, i / 19) != seen) return 0xBAD;
  }
  return seen;
}

TEST(CombineRules, EachRuleOnBothSidesOfItsBoundary) {
  const Colour grey = Rgb(200, 200, 200), b = Rgb(4, 5, 6);
  const struct {
    CombineOp op;
    Colour a, b, want;
  } cases[] = {
      {AddImages, grey, Rgb(54, 55, 56) | kTop, Rgb(254, 255, 255)},  // 254, 255, 256 before the clamp
      {SubtractImages, Rgb(0, 255, 7) | kTop, Rgb(255, 0, 7), Rgb(255, 255, 0)},
      {AverageOverlay, Rgb(255, 0, 1), kBlack, Rgb(127, 0, 0)},
      {AverageOverlay, Rgb(3, 4, 254), Rgb(4, 4, 255), Rgb(3, 4, 254)},
      {MatchOverlay, Rgb(9, 8, 7), Rgb(9, 8, 7) | kTop, kWhite},
      {MatchOverlay, Rgb(9, 8, 7), Rgb(9, 8, 8), Rgb(9, 8, 7)},
      {LessOverlay, grey, Rgb(100, 100, 200), Rgb(100, 100, 200)},  // blue equal: b
      {LessOverlay, grey, Rgb(199, 199, 199), grey},
      {GreaterOverlay, grey | kTop, Rgb(201, 201, 201), grey},
      {GreaterOverlay, grey, Rgb(201, 200, 201), Rgb(201, 200, 201)},
      {NonZeroOverlay, kWhite | kTop, b, b},
      {NonZeroOverlay, Rgb(255, 255, 254), b, Rgb(255, 255, 254)},
      {ZeroOverlay, kWhite, b, kWhite},
      {ZeroOverlay, Rgb(254, 255, 255), b | kTop, b},
  };
  for (const auto& c : cases) EXPECT_EQ(Combined(c.op, c.a, c.b), c.want) << std::hex << c.a << " " << c.b;
}

// The screen is painted white first, up to its last pixel and no further.
TEST(CombineFrame, ScreenWhiteFirst) {
  Pair p({3, 2}, {5, 4}, {12, 10}, {8, 6});  // a screen of 8 x 6 inside a 12 x 10 window
  p.first.fill(kBlack);
  p.second.fill(kBlack);
  p.run(OrImages);
  EXPECT_EQ((std::array{p.window.get(4, 3), p.window.get(5, 3), p.window.get(7, 5), p.window.get(8, 5),
                        p.window.get(7, 6)}),
            (std::array{kBlack, kWhite, kWhite, kBefore, kBefore}));
}

TEST(CombineFastVersusReference, RandomPairsOfEverySizeRelation) {
  const struct {
    Size first, second, client, screen;
  } sizes[] = {
      // clang-format off
      {{1, 1}, {1, 1}, {64, 64}, {64, 64}}, {{17, 9}, {17, 9}, {64, 64}, {64, 64}},
      {{40, 7}, {23, 30}, {64, 64}, {64, 64}}, {{23, 30}, {40, 7}, {64, 64}, {64, 64}},  // lower, then wider
      {{9, 33}, {1, 1}, {20, 20}, {50, 10}}, {{5, 5}, {70, 70}, {64, 64}, {100, 100}}, {{2, 3}, {3, 2}, {1, 1}, {1, 1}},
      {{4101, 3}, {3000, 4}, {2050, 5}, {1920, 5}},  // rows longer than one piece
      {{300, 420}, {310, 400}, {500, 300}, {320, 200}},
      // clang-format on
  };
#define BOTH(fn) \
  { fn, reference::fn }
  const std::pair<CombineOp, CombineOp> ops[] = {
      BOTH(AddImages),      BOTH(SubtractImages), BOTH(AndImages),      BOTH(OrImages),
      BOTH(XorImages),      BOTH(NandImages),     BOTH(NorImages),      BOTH(NotImages),
      BOTH(LessOverlay),    BOTH(GreaterOverlay), BOTH(AverageOverlay), BOTH(MatchOverlay),
      BOTH(NonZeroOverlay), BOTH(ZeroOverlay)};
#undef BOTH
  std::mt19937 rng(5);
  // Mostly random, with white, black, equal and one-bit-away pairs often enough for every branch.
  auto second = [&](Colour near) -> Colour {
    const Colour picks[] = {kWhite, kBlack, near, near ^ (1u << (rng() % 24)), static_cast<Colour>(rng())};
    return picks[rng() % 5] | (rng() & kTop);
  };
  for (std::size_t op = 0; op < std::size(ops); ++op)
    for (const auto& s : sizes)
      for (cpu::Level level : kLevels) {
        cpu::CapForTest cap(level);
        Pair a(s.first, s.second, s.client, s.screen), b(s.first, s.second, s.client, s.screen);
        for (std::size_t i = 0; i < a.first.size(); ++i) a.first.data()[i] = b.first.data()[i] = rng();
        for (int y = 0; y < s.second.height; ++y)
          for (int x = 0; x < s.second.width; ++x)
            a.second.at(x, y) = b.second.at(x, y) = second(a.first.contains(x, y) ? a.first.at(x, y) : 0);
        a.run(ops[op].first);
        b.run(ops[op].second);
        const std::string where = std::to_string(op) + " " + std::to_string(s.first.width) + " level " +
                                  std::to_string(static_cast<int>(level));
        ASSERT_EQ(a.window.takeDirty(), b.window.takeDirty()) << where;
        ASSERT_EQ(a.memory.takeDirty(), b.memory.takeDirty()) << where;
        ASSERT_TRUE(
            std::equal(a.window.row(0), a.window.row(0) + s.client.width * s.client.height, b.window.row(0)))
            << where;
        ASSERT_TRUE(std::equal(a.memory.row(0), a.memory.row(0) + a.first.size(), b.memory.row(0))) << where;
      }
}

}  // namespace
}  // namespace opta
