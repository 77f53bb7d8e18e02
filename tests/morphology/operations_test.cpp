// The passes' rules on hand-worked neighbourhoods of (10, 4) in a 21 x 9
// picture, clear of the replicated bands; every form must agree. The worked
// examples from outside, bands included, are in cli_morphology_test.py.
#include "morphology/morphology.h"
#include "support/fast_vs_reference.h"

namespace opta {
namespace {

ScratchStore scratch;

Colour Gray(int v) { return Rgb(v, v, v); }

// The result at (10, 4) with the square element and these neighbours set.
Colour Square(bool erode, std::initializer_list<std::pair<Point, Colour>> set) {
  PixelMatrix p;
  p.allocate(21, 9);
  p.fill(erode ? kBlack : kWhite);
  for (auto [at, c] : set) p.at(at.x, at.y) = c;
  const Mask3 e = ShapeElement(1021);
  auto fast = erode ? MorphErosion : MorphDilation;
  auto ref = erode ? reference::MorphErosion : reference::MorphDilation;
  return testing::DrawnByEveryForm(
             "square", [&](Canvas& c, const PixelMatrix& px) { fast(c, px, e, scratch); },
             [&](Canvas& c, const PixelMatrix& px) { ref(c, px, e); }, p)
      .at(10, 4);
}

TEST(Morphology, DilationTakesTheLastObjectNeighbourInVisitingOrder) {
  // Below 255 in all three is an object, and (x + 1, y + 1) comes last;
  // one channel at 255 is background, and then (x, y + 1) is the last.
  EXPECT_EQ(Square(false, {{{9, 3}, Gray(10)}, {{10, 5}, Gray(20)}, {{11, 5}, Gray(254)}}), Gray(254));
  EXPECT_EQ(Square(false, {{{9, 3}, Gray(10)}, {{10, 5}, Gray(20)}, {{11, 5}, Rgb(30, 255, 50)}}), Gray(20));
}

TEST(Morphology, ErosionNeedsAllThreeChannelsGreater) {
  // Visited (x - 1, y - 1), (x - 1, y), (x - 1, y + 1), ...: 5 is taken, the
  // next is not greater in blue, 6 beats 5 in all three; a zero never does.
  EXPECT_EQ(Square(true, {{{9, 3}, Gray(5)}, {{9, 4}, Rgb(100, 100, 5)}, {{9, 5}, Gray(6)}}), Gray(6));
  EXPECT_EQ(Square(true, {{{9, 3}, Gray(5)}, {{9, 4}, Rgb(100, 100, 5)}, {{9, 5}, Rgb(200, 200, 0)}}),
            Gray(5));
}

}  // namespace
}  // namespace opta
