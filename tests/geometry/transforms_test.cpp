#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "geometry/transforms.h"
#include "support/scene.h"

namespace opta {
namespace {

using testing::kBefore;
using testing::Scene;

// The numbered 3 x 2 picture: 1 2 3 on the top row, 4 5 6 below.
Scene Numbered() {
  Scene s(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) s.pixels.at(x, y) = static_cast<Colour>(1 + x + 3 * y);
  return s;
}

std::vector<std::vector<Colour>> Rows(const Surface& s, int w, int h) {
  std::vector<std::vector<Colour>> out(h, std::vector<Colour>(w));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out[y][x] = s.get(x, y);
  return out;
}

using R = std::vector<std::vector<Colour>>;

TEST(QuarterAndHalfTurns, NumberedPicture) {
  Scene a = Numbered();
  Canvas ca = a.canvas();
  RotateImage90(ca, a.pixels, Size{64, 64});
  EXPECT_EQ(Rows(a.window, 2, 3), (R{{3, 6}, {2, 5}, {1, 4}}));
  // The memory bitmap keeps its 3 x 2 size: only the result's top-left part lands there.
  EXPECT_EQ(Rows(a.memory, 3, 2), (R{{3, 6, kBefore}, {2, 5, kBefore}}));

  Scene b = Numbered();
  Canvas cb = b.canvas();
  RotateImage270(cb, b.pixels);
  EXPECT_EQ(Rows(b.window, 2, 3), (R{{4, 1}, {5, 2}, {6, 3}}));

  Scene c = Numbered();
  Canvas cc = c.canvas();
  RotateImage180(cc, c.pixels);
  EXPECT_EQ(Rows(c.window, 3, 2), (R{{6, 5, 4}, {3, 2, 1}}));
}

TEST(Flips, NumberedPicture) {
  Scene a = Numbered();
  Canvas ca = a.canvas();
  FlipHorizontal(ca, a.pixels);
  EXPECT_EQ(Rows(a.memory, 3, 2), (R{{4, 5, 6}, {1, 2, 3}}));
  Scene b = Numbered();
  Canvas cb = b.canvas();
  FlipVertical(cb, b.pixels);
  EXPECT_EQ(Rows(b.memory, 3, 2), (R{{3, 2, 1}, {6, 5, 4}}));
}

TEST(QuarterTurns, WideImageKeepsOldColumnsInMemoryAndPaintsItsOwnWhiteArea) {
  Scene s(300, 100, 400, 400);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 300; ++x) s.pixels.at(x, y) = Rgb(x % 256, y, 7);
  Canvas c = s.canvas();
  RotateImage90(c, s.pixels, Size{400, 400});
  for (int y = 0; y < 300; ++y) EXPECT_EQ(s.window.get(50, y), s.pixels.at(299 - y, 50));
  EXPECT_EQ(s.window.get(100, 5), kWhite);  // whole screen painted white first
  EXPECT_EQ(s.memory.get(99, 99), s.pixels.at(200, 99));
  EXPECT_EQ(s.memory.get(100, 0), kBefore);
  EXPECT_EQ(s.memory.get(299, 99), kBefore);

  Scene t(300, 100, 400, 400);
  Canvas ct = t.canvas();
  RotateImage270(ct, t.pixels);
  EXPECT_EQ(t.window.get(150, 50), kWhite);    // inside (0,0)-(300,100), outside the 100 x 300 result
  EXPECT_EQ(t.window.get(350, 350), kBefore);  // beyond the width x height square nothing is painted
}

TEST(Shear, ShortRowsStayAndLowerRowsMove) {
  Scene s(8, 12, 8, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 8; ++x) s.pixels.at(x, y) = static_cast<Colour>(100 + x + 10 * y);
  Canvas c = s.canvas();
  ShearImage(c, s.pixels);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(s.memory.get(x, y), s.pixels.at(x, y));
  EXPECT_EQ(s.memory.get(0, 5), kWhite);
  EXPECT_EQ(s.memory.get(1, 5), s.pixels.at(0, 5));
  EXPECT_EQ(s.memory.get(2, 10), s.pixels.at(0, 10));
  EXPECT_EQ(s.memory.get(1, 10), kWhite);
}

TEST(DoubleSkew, ColumnAndRowZeroWhiteAndLaterSourceWins) {
  Scene s(20, 20, 20, 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) s.pixels.at(x, y) = static_cast<Colour>(1 + x + 20 * y);
  Canvas c = s.canvas();
  DoubleSkewImage(c, s.pixels);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(s.memory.get(0, i), kWhite);
    EXPECT_EQ(s.memory.get(i, 0), kWhite);
  }
  EXPECT_EQ(s.memory.get(10, 10), s.pixels.at(10, 9));  // (9,10) lands there too, earlier
}

TEST(Zoom, ReplicationFillsBlocks) {
  Scene one(1, 1);
  one.pixels.at(0, 0) = 0x123456;
  Canvas c1 = one.canvas();
  ZoomReplicate(c1, one.pixels, 2);
  // Only the 2 x 2 result area is painted white, and the result covers it.
  EXPECT_EQ(Rows(one.window, 3, 3),
            (R{{0x123456, 0x123456, kBefore}, {0x123456, 0x123456, kBefore}, {kBefore, kBefore, kBefore}}));

  Scene s(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) s.pixels.at(x, y) = static_cast<Colour>(1 + x + 3 * y);
  Canvas c = s.canvas();
  ZoomReplicate(c, s.pixels, 2);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(s.window.get(x, y), s.pixels.at(x / 2, y / 2));
}

TEST(Zoom, InterpolationValues) {
  Scene s(2, 1);
  s.pixels.at(0, 0) = Rgb(0, 0, 0);
  s.pixels.at(1, 0) = Rgb(100, 0, 0);
  Canvas c = s.canvas();
  ZoomInterpolate(c, s.pixels, 2);
  EXPECT_EQ(Rows(s.window, 4, 2), (R{{0, 50, 100, 100}, {0, 0, 100, 100}}));

  // The floor of negative differences: 101 towards 0 gives 50, 0 towards 101 gives 50.
  Scene d(2, 1);
  d.pixels.at(0, 0) = Rgb(101, 0, 0);
  d.pixels.at(1, 0) = Rgb(0, 101, 0);
  Canvas cd = d.canvas();
  ZoomInterpolate(cd, d.pixels, 2);
  EXPECT_EQ(d.window.get(1, 0), Rgb(50, 50, 0));

  // Four times: weights 0, 1/4, 1/2, 3/4 and 1 along the block.
  Scene q(2, 2);
  q.pixels.at(0, 0) = 0;
  q.pixels.at(1, 0) = q.pixels.at(0, 1) = q.pixels.at(1, 1) = Rgb(200, 0, 0);
  Canvas cq = q.canvas();
  ZoomInterpolate(cq, q.pixels, 4);
  EXPECT_EQ(Red(q.window.get(1, 0)), 50);
  EXPECT_EQ(Red(q.window.get(3, 0)), 150);
  EXPECT_EQ(Red(q.window.get(3, 3)), 200);
  EXPECT_EQ(Red(q.window.get(2, 1)), 150);
}

TEST(Shrink, CornerMedianAverage) {
  Scene s(5, 5, 10, 10);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) s.pixels.at(x, y) = static_cast<Colour>(1 + x + 5 * y);
  Canvas c = s.canvas();
  ShrinkCorner(c, s.pixels, 2, Size{10, 10});
  EXPECT_EQ(Rows(s.memory, 3, 3), (R{{1, 3, kBefore}, {11, 13, kBefore}, {kBefore, kBefore, kBefore}}));
  EXPECT_EQ(s.window.get(2, 2), kWhite);

  Scene m(2, 2);
  m.pixels.at(0, 0) = Rgb(40, 40, 40);
  m.pixels.at(1, 0) = Rgb(10, 10, 10);
  m.pixels.at(0, 1) = Rgb(30, 30, 30);
  m.pixels.at(1, 1) = Rgb(20, 20, 20);
  Canvas cm = m.canvas();
  ShrinkMedian(cm, m.pixels, Size{64, 64});
  EXPECT_EQ(m.memory.get(0, 0), Rgb(30, 30, 30));

  m.pixels.at(1, 1) = Rgb(41, 41, 41);
  m.pixels.at(0, 0) = Rgb(10, 10, 10);
  m.pixels.at(1, 0) = Rgb(20, 20, 20);
  ShrinkAverage(cm, m.pixels, Size{64, 64});
  EXPECT_EQ(m.memory.get(0, 0), Rgb(25, 25, 25));
  m.pixels.at(1, 1) = Rgb(42, 42, 42);  // 102 / 4 = 25.5: truncated, not rounded
  ShrinkAverage(cm, m.pixels, Size{64, 64});
  EXPECT_EQ(m.memory.get(0, 0), Rgb(25, 25, 25));
  m.pixels.at(0, 0) = m.pixels.at(1, 0) = m.pixels.at(0, 1) = m.pixels.at(1, 1) = Rgb(255, 0, 0);
  ShrinkAverage(cm, m.pixels, Size{64, 64});
  EXPECT_EQ(m.memory.get(0, 0), Rgb(255, 0, 0));  // no carry into green
}

// Fast and reference forms agree bit for bit on both surfaces, whatever the
// sizes of the picture, the client area and the result.
using Op = std::function<void(Canvas&, const PixelMatrix&, Size)>;

void ExpectSameAsReference(const Op& fast, const Op& ref, const char* name) {
  std::mt19937 rng(1234);
  const Size sizes[] = {{1, 1}, {2, 1}, {1, 3}, {5, 5}, {13, 7}, {7, 40}, {64, 33}, {129, 70}, {300, 100}};
  const Size clients[] = {{3, 2}, {40, 30}, {700, 500}};
  for (Size s : sizes)
    for (Size client : clients) {
      PixelMatrix p;
      ASSERT_TRUE(p.allocate(s.width, s.height));
      for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) p.at(x, y) = rng();  // top byte set on purpose
      Surface w1, m1, w2, m2;
      w1.allocate(client.width, client.height, kBefore);
      w2.allocate(client.width, client.height, kBefore);
      m1.allocate(s.width, s.height, kBefore);
      m2.allocate(s.width, s.height, kBefore);
      Canvas c1(w1, m1), c2(w2, m2);
      const Size screen{client.width + 5, client.height + 3};
      fast(c1, p, screen);
      ref(c2, p, screen);
      ASSERT_EQ(w1.pixels().size(), w2.pixels().size());
      bool same = true;
      for (int y = 0; y < client.height && same; ++y)
        for (int x = 0; x < client.width && same; ++x) same = w1.get(x, y) == w2.get(x, y);
      for (int y = 0; y < s.height && same; ++y)
        for (int x = 0; x < s.width && same; ++x) same = m1.get(x, y) == m2.get(x, y);
      EXPECT_TRUE(same) << name << " " << s.width << "x" << s.height << " client " << client.width << "x"
                        << client.height;
    }
}

#define SAME(fn, ...)                                                                    \
  ExpectSameAsReference(                                                                 \
      [](Canvas& c, const PixelMatrix& p, [[maybe_unused]] Size s) { fn(__VA_ARGS__); }, \
      [](Canvas& c, const PixelMatrix& p, [[maybe_unused]] Size s) { reference::fn(__VA_ARGS__); }, #fn)

TEST(FastForms, MatchReferenceBitForBit) {
  SAME(RotateImage90, c, p, s);
  SAME(RotateImage180, c, p);
  SAME(RotateImage270, c, p);
  SAME(FlipHorizontal, c, p);
  SAME(FlipVertical, c, p);
  SAME(ShearImage, c, p);
  SAME(DoubleSkewImage, c, p);
  SAME(ZoomReplicate, c, p, 2);
  SAME(ZoomReplicate, c, p, 4);
  SAME(NormalSize, c, p);
  SAME(ZoomInterpolate, c, p, 2);
  SAME(ZoomInterpolate, c, p, 4);
  SAME(ShrinkCorner, c, p, 2, s);
  SAME(ShrinkCorner, c, p, 4, s);
  SAME(ShrinkMedian, c, p, s);
  SAME(ShrinkAverage, c, p, s);
}

TEST(FastForms, DoubleSkewMatchesReferenceOnALargePicture) {
  // Collisions follow from the truncated double products; check a size where
  // the skew reaches hundreds of pixels.
  PixelMatrix p;
  ASSERT_TRUE(p.allocate(1500, 1100));
  std::mt19937 rng(7);
  for (int y = 0; y < 1100; ++y)
    for (int x = 0; x < 1500; ++x) p.at(x, y) = rng() & 0xFFFFFF;
  Surface w1, m1, w2, m2;
  w1.allocate(10, 10);
  w2.allocate(10, 10);
  m1.allocate(1500, 1100, kBefore);
  m2.allocate(1500, 1100, kBefore);
  Canvas c1(w1, m1), c2(w2, m2);
  DoubleSkewImage(c1, p);
  reference::DoubleSkewImage(c2, p);
  EXPECT_EQ(0, std::memcmp(m1.row(0), m2.row(0), sizeof(Colour) * 1500 * 1100));
}

}  // namespace
}  // namespace opta
