// The morphology operations on hand-worked pictures. Each picture runs
// through the reference form and the fast form at every instruction set.
#include <gtest/gtest.h>

#include <string>

#include "morphology/morphology.h"
#include "support/fast_vs_reference.h"

namespace opta {
namespace {

using testing::kBefore;

constexpr int kHorizontal = 1018, kVertical = 1019, kCross = 1020, kSquare = 1021;

ScratchStore scratch;

Colour Gray(int v) { return Rgb(v, v, v); }

struct Op {
  std::string name;
  testing::PictureOp fast, ref;
};

using Single = void (*)(Canvas&, const PixelMatrix&, const Mask3&, ScratchStore&);
using SingleRef = void (*)(Canvas&, const PixelMatrix&, const Mask3&);
using Repeated = void (*)(Canvas&, const PixelMatrix&, const Mask3&, int, ScratchStore&);
using RepeatedRef = void (*)(Canvas&, const PixelMatrix&, const Mask3&, int);

Op Make(std::string name, Single fast, SingleRef ref, int shape) {
  const Mask3 e = ShapeElement(shape);
  return {name + " " + std::to_string(shape),
          [=](Canvas& c, const PixelMatrix& p) { fast(c, p, e, scratch); },
          [=](Canvas& c, const PixelMatrix& p) { ref(c, p, e); }};
}

Op Make(std::string name, Repeated fast, RepeatedRef ref, int shape, int count) {
  const Mask3 e = ShapeElement(shape);
  return {name + " " + std::to_string(shape) + " x" + std::to_string(count),
          [=](Canvas& c, const PixelMatrix& p) { fast(c, p, e, count, scratch); },
          [=](Canvas& c, const PixelMatrix& p) { ref(c, p, e, count); }};
}

Op Erosion(int shape) { return Make("erosion", MorphErosion, reference::MorphErosion, shape); }
Op Dilation(int shape) { return Make("dilation", MorphDilation, reference::MorphDilation, shape); }
Op Interior(int shape) { return Make("interior", InteriorOutline, reference::InteriorOutline, shape); }
Op Exterior(int shape) { return Make("exterior", ExteriorOutline, reference::ExteriorOutline, shape); }
Op Opening(int shape, int n) { return Make("opening", MorphOpening, reference::MorphOpening, shape, n); }
Op Closing(int shape, int n) { return Make("closing", MorphClosing, reference::MorphClosing, shape, n); }

struct Picture {
  PixelMatrix pixels;
  Picture(int w, int h, Colour fill) {
    pixels.allocate(w, h);
    pixels.fill(fill);
  }
  Picture& set(int x, int y, Colour c) {
    pixels.at(x, y) = c;
    return *this;
  }
};

testing::Drawn Draw(const Op& op, const Picture& p) {
  return testing::DrawnByEveryForm(op.name, op.fast, op.ref, p.pixels);
}

// Every interior pixel of what op drew on a uniform picture.
void ExpectInterior(const Op& op, Colour fill, Colour expected) {
  const Picture p(9, 8, fill);
  const testing::Drawn d = Draw(op, p);
  for (int x = 1; x <= 7; ++x)
    for (int y = 1; y <= 6; ++y) ASSERT_EQ(d.at(x, y), expected) << op.name << " at " << x << "," << y;
  EXPECT_EQ(d.at(0, 0), kBefore) << op.name;  // the outermost ring keeps what it showed
  EXPECT_EQ(d.at(8, 7), kBefore) << op.name;
  EXPECT_EQ(d.window.get(4, 3), expected) << op.name;
}

TEST(Morphology, UniformPictures) {
  for (int shape : {kHorizontal, kVertical, kCross, kSquare}) {
    for (const Op& op : {Erosion(shape), Dilation(shape), Opening(shape, 3), Closing(shape, 3)})
      ExpectInterior(op, kWhite, kWhite);
    for (Colour gray : {kBlack, kWhite, Gray(100)}) {
      ExpectInterior(Interior(shape), gray, kBlack);
      ExpectInterior(Exterior(shape), gray, kBlack);
    }
    // Pure red is background to dilation, and no neighbour beats its 0s.
    ExpectInterior(Exterior(shape), Rgb(255, 0, 0), Rgb(0, 255, 255));
    ExpectInterior(Erosion(shape), Rgb(255, 0, 0), kBlack);
    ExpectInterior(Interior(shape), Rgb(255, 0, 0), Rgb(255, 0, 0));
  }
}

TEST(Morphology, SingleBlackPixelUnderTheCross) {
  Picture p(11, 11, kWhite);
  p.set(5, 5, kBlack);
  const testing::Drawn dilated = Draw(Dilation(kCross), p);
  for (auto [x, y] : {std::pair{5, 5}, {4, 5}, {6, 5}, {5, 4}, {5, 6}}) EXPECT_EQ(dilated.at(x, y), kBlack);
  EXPECT_EQ(dilated.at(4, 4), kWhite);
  EXPECT_EQ(dilated.at(3, 5), kWhite);
  EXPECT_EQ(Draw(Erosion(kCross), p).at(5, 5), kWhite);

  const testing::Drawn added = Draw(Exterior(kCross), p);
  for (auto [x, y] : {std::pair{4, 5}, {6, 5}, {5, 4}, {5, 6}}) EXPECT_EQ(added.at(x, y), kWhite);
  EXPECT_EQ(added.at(5, 5), kBlack);
  EXPECT_EQ(added.at(4, 4), kBlack);
  const testing::Drawn removed = Draw(Interior(kCross), p);
  EXPECT_EQ(removed.at(5, 5), kWhite);
  EXPECT_EQ(removed.at(4, 5), kBlack);
}

// The centre (10, 4) of a 21 x 9 picture lies clear of the replicated bands.
TEST(Morphology, DilationTakesTheLastObjectNeighbourInVisitingOrder) {
  Picture p(21, 9, kWhite);
  p.set(9, 3, Gray(10)).set(10, 5, Gray(20)).set(11, 5, Rgb(30, 40, 50));
  EXPECT_EQ(Draw(Dilation(kSquare), p).at(10, 4), Rgb(30, 40, 50));  // (x + 1, y + 1) comes last
  p.set(11, 5, Rgb(254, 254, 254));                                  // still below 255: an object
  EXPECT_EQ(Draw(Dilation(kSquare), p).at(10, 4), Gray(254));
  p.set(11, 5, Rgb(30, 255, 50));  // one channel at 255: background, so (x, y + 1) is the last
  EXPECT_EQ(Draw(Dilation(kSquare), p).at(10, 4), Gray(20));
}

TEST(Morphology, ErosionNeedsAllThreeChannelsGreater) {
  // Visited (x - 1, y - 1), (x - 1, y), (x - 1, y + 1), ...: 5 is taken, the
  // next is not greater in blue, 6 beats 5 in all three.
  Picture p(21, 9, kBlack);
  p.set(9, 3, Gray(5)).set(9, 4, Rgb(100, 100, 5)).set(9, 5, Gray(6));
  EXPECT_EQ(Draw(Erosion(kSquare), p).at(10, 4), Gray(6));
  Picture q(21, 9, kBlack);
  q.set(9, 3, Rgb(200, 200, 0));  // a zero channel never beats the starting black
  EXPECT_EQ(Draw(Erosion(kSquare), q).at(10, 4), kBlack);
}

// Rows uniform along x, each its own gray: the horizontal element leaves
// every row as it is, so what shows is the replication alone.
Picture Rows(int w, int h) {
  Picture p(w, h, kBlack);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.set(x, y, Gray(10 * y + 5));
  return p;
}

Picture Columns(int w, int h) {
  Picture p(w, h, kBlack);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.set(x, y, Gray(10 * x + 5));
  return p;
}

TEST(Morphology, BandsRepeatTheFourthRowAndColumnFromEachEdge) {
  const testing::Drawn rows = Draw(Erosion(kHorizontal), Rows(9, 9));
  const int rowGray[] = {0, 35, 35, 35, 45, 55, 55, 55};  // rows 1..7 of 9
  for (int y = 1; y <= 7; ++y) EXPECT_EQ(rows.at(4, y), Gray(rowGray[y])) << y;
  const testing::Drawn columns = Draw(Erosion(kVertical), Columns(9, 9));
  for (int x = 1; x <= 7; ++x) EXPECT_EQ(columns.at(x, 4), Gray(rowGray[x])) << x;
}

TEST(Morphology, OverlappingBandsFollowTheStepOrder) {
  // 4 rows: row 2 takes row 3, row 1 row 0, row 1 row 2, row 2 row 1: all row 3.
  // 5 rows: row 2 takes row 3, then row 1's value over it, which spreads.
  // 6 rows: row 2 takes row 3 and row 3 takes it back: all row 3.
  // 3 rows have no bands: the computed row stays.
  const int expected[] = {0, 0, 0, 15, 35, 15, 35};  // by height or width
  for (int n = 3; n <= 6; ++n) {
    const testing::Drawn rows = Draw(Erosion(kHorizontal), Rows(9, n));
    const testing::Drawn columns = Draw(Erosion(kVertical), Columns(n, 9));
    for (int i = 1; i <= n - 2; ++i) {
      EXPECT_EQ(rows.at(4, i), Gray(expected[n])) << n << " rows, row " << i;
      EXPECT_EQ(columns.at(i, 4), Gray(expected[n])) << n << " columns, column " << i;
    }
  }
}

TEST(Morphology, RepeatedPassesGrowOnePixelEach) {
  // Erosion spreads a white pixel on black by the cross once per pass:
  // after three, a diamond of radius 3.
  Picture p(41, 41, kBlack);
  p.set(20, 20, kWhite);
  const testing::Drawn opened = Draw(Opening(kCross, 3), p);
  EXPECT_EQ(opened.at(20, 17), kWhite);
  EXPECT_EQ(opened.at(18, 19), kWhite);
  EXPECT_EQ(opened.at(20, 16), kBlack);
  EXPECT_EQ(opened.at(18, 18), kBlack);
  Picture q(41, 41, kWhite);
  q.set(20, 20, kBlack);
  const testing::Drawn closed = Draw(Closing(kCross, 2), q);
  EXPECT_EQ(closed.at(22, 20), kBlack);
  EXPECT_EQ(closed.at(23, 20), kWhite);
  // No count below one: 0 and -4 run a single pass.
  for (int n : {0, -4}) {
    const testing::Drawn once = Draw(Closing(kCross, n), q);
    EXPECT_EQ(once.at(21, 20), kBlack);
    EXPECT_EQ(once.at(22, 20), kWhite);
  }
}

}  // namespace
}  // namespace opta
