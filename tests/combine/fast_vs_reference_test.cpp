// Every fast two-image kernel against its reference form, bit for bit, at
// each processor level, on random pairs of every size relation.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "combine/pair.h"

namespace opta {
namespace {

using testing::kLevels;
using testing::Pair;

struct Case {
  Size first, second, client, screen;
};

const Case kCases[] = {
    {{1, 1}, {1, 1}, {64, 64}, {64, 64}},
    {{17, 9}, {17, 9}, {64, 64}, {64, 64}},
    {{40, 7}, {23, 30}, {64, 64}, {64, 64}},  // second narrower but taller
    {{23, 30}, {40, 7}, {64, 64}, {64, 64}},  // second wider but lower
    {{9, 33}, {1, 1}, {20, 20}, {50, 10}},    // result past the window and the screen
    {{1, 1}, {37, 5}, {16, 40}, {8, 8}},
    {{5, 5}, {70, 70}, {64, 64}, {100, 100}},  // the window only shows part of the second
    {{2, 3}, {3, 2}, {1, 1}, {1, 1}},
    {{4101, 3}, {3000, 4}, {2050, 5}, {1920, 5}},      // rows longer than one piece
    {{300, 420}, {310, 400}, {500, 300}, {320, 200}},  // split over the cores
};

// Mostly random colours, with white, black and near-equal pairs often
// enough that every branch of every rule is taken.
Colour RandomColour(std::mt19937& rng, Colour other) {
  switch (rng() % 6) {
    case 0:
      return kWhite | (rng() & 0xFF000000u);
    case 1:
      return kBlack | (rng() & 0xFF000000u);
    case 2:
      return other ^ (1u << (rng() % 24));  // one channel one bit away
    case 3:
      return other;
    default:
      return static_cast<Colour>(rng());
  }
}

void ExpectSameAsReference(const std::string& name, CombineOp fast, CombineOp ref, std::mt19937& rng) {
  for (const Case& k : kCases) {
    for (cpu::Level level : kLevels) {
      cpu::CapForTest cap(level);
      Pair a(k.first, k.second, k.client, k.screen), b(k.first, k.second, k.client, k.screen);
      for (int y = 0; y < k.first.height; ++y)
        for (int x = 0; x < k.first.width; ++x)
          a.first.at(x, y) = b.first.at(x, y) = static_cast<Colour>(rng());
      for (int y = 0; y < k.second.height; ++y)
        for (int x = 0; x < k.second.width; ++x) {
          const Colour near = x < k.first.width && y < k.first.height ? a.first.at(x, y) : 0;
          a.second.at(x, y) = b.second.at(x, y) = RandomColour(rng, near);
        }
      for (Pair* p : {&a, &b}) {
        p->window.takeDirty();
        p->memory.takeDirty();
      }
      a.run(fast);
      b.run(ref);
      const std::string where = name + " " + std::to_string(k.first.width) + "x" +
                                std::to_string(k.first.height) + " with " + std::to_string(k.second.width) +
                                "x" + std::to_string(k.second.height) + " level " +
                                std::to_string(static_cast<int>(level));
      ASSERT_EQ(a.window.takeDirty(), b.window.takeDirty()) << where;
      ASSERT_EQ(a.memory.takeDirty(), b.memory.takeDirty()) << where;
      for (const auto& [sa, sb] : {std::pair{&a.window, &b.window}, std::pair{&a.memory, &b.memory}})
        for (int y = 0; y < sa->height(); ++y)
          for (int x = 0; x < sa->width(); ++x)
            ASSERT_EQ(sa->get(x, y), sb->get(x, y)) << where << " at " << x << "," << y;
    }
  }
}

#define SAME(fn) ExpectSameAsReference(#fn, fn, reference::fn, rng)

TEST(CombineFastVersusReference, ArithmeticAndBooleans) {
  std::mt19937 rng(5);
  SAME(AddImages);
  SAME(SubtractImages);
  SAME(AndImages);
  SAME(OrImages);
  SAME(XorImages);
  SAME(NandImages);
  SAME(NorImages);
  SAME(NotImages);
}

TEST(CombineFastVersusReference, Overlays) {
  std::mt19937 rng(9);
  SAME(LessOverlay);
  SAME(GreaterOverlay);
  SAME(AverageOverlay);
  SAME(MatchOverlay);
  SAME(NonZeroOverlay);
  SAME(ZeroOverlay);
}

}  // namespace
}  // namespace opta
