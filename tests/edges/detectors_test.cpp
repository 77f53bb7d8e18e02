// The detectors' limits and orientations on hand-worked neighbourhoods in a
// 21 x 5 picture, where the vector forms reach; every form must agree. The
// worked examples from outside are in cli_edges_test.py.
#include "edges/edges.h"
#include "support/fast_vs_reference.h"

namespace opta {
namespace {

Colour Gray(int v) { return Rgb(v, v, v); }
using Points = std::initializer_list<std::pair<Point, Colour>>;

// What a detector drew at `at` on `fill` with `points` set.
template <class Fast, class Ref, class... Mask>
Colour At(Point at, Colour fill, Points points, Fast fast, Ref ref, const Mask&... mask) {
  PixelMatrix p;
  p.allocate(21, 5);
  p.fill(fill);
  for (auto [xy, c] : points) p.at(xy.x, xy.y) = c;
  return testing::DrawnByEveryForm(
             "detector",
             [&](Canvas& c, const PixelMatrix& px) {
               fast(c, px, Size{40, 30}, mask...);
             },
             [&](Canvas& c, const PixelMatrix& px) {
               ref(c, px, Size{40, 30}, mask...);
             },
             p)
      .at(at.x, at.y);
}

TEST(Detectors, ChannelDetectorsLimitAndTruncate) {
  // Homogeneity: red sums 127 + 127 (kept), green 128 + 128 (limited).
  EXPECT_EQ(At({10, 2}, kBlack, {{{9, 2}, Rgb(127, 128, 0)}, {{11, 2}, Rgb(127, 128, 0)}}, HomogeneityEdge,
               reference::HomogeneityEdge),
            Rgb(254, 255, 0));
  // Difference: the largest across the centre (30, 20, 25 in red); the centre does not count.
  EXPECT_EQ(At({10, 2}, kBlack,
               {{{10, 2}, Gray(200)},
                {{9, 1}, Rgb(10, 0, 0)},
                {{9, 3}, Rgb(30, 0, 0)},
                {{10, 1}, Rgb(20, 0, 0)},
                {{9, 2}, Rgb(25, 0, 0)},
                {{11, 2}, Rgb(0, 7, 0)}},
               DifferenceEdge, reference::DifferenceEdge),
            Rgb(30, 7, 0));
  // Variance: squares red 225 + 25 + 4 + 1 = 255 (root 15.97), green 256
  // (16), blue 57600 + 6400 + 1024 = 65024 (254.998); then red at 255^2.
  const Points v = {{{9, 1}, Rgb(15, 16, 240)},
                    {{9, 3}, Rgb(5, 0, 80)},
                    {{11, 1}, Rgb(2, 0, 32)},
                    {{11, 3}, Rgb(1, 0, 0)},
                    {{14, 1}, Rgb(255, 0, 0)}};
  EXPECT_EQ(At({10, 2}, kBlack, v, VarianceEdge, reference::VarianceEdge), Rgb(15, 16, 254));
  EXPECT_EQ(At({13, 2}, kBlack, v, VarianceEdge, reference::VarianceEdge), Rgb(255, 0, 0));
}

TEST(Detectors, MaskConvolutionsClampBothWays) {
  // Quick: 4 x 63 = 252; 4 x 64 = 256, limited; 40 - 11 = 29, 40 - 41 limited
  // to 0; an edge neighbour weighs 0.
  for (auto [blue, expected] : {std::pair{11, Rgb(252, 255, 29)}, {41, Rgb(252, 255, 0)}})
    EXPECT_EQ(
        At({10, 2}, kBlack, {{{10, 2}, Rgb(63, 64, 10)}, {{9, 1}, Rgb(0, 0, blue)}, {{10, 1}, Gray(200)}},
           QuickEdge, reference::QuickEdge, kQuickMask),
        expected);
  // Point detection, inverted: 8 x 31 = 248 gives 7; 8 x 40 limited gives 0 (any other id is the point mask).
  for (auto [v, id, expected] : {std::tuple{31, 1012, Gray(7)}, {40, 4242, kBlack}})
    EXPECT_EQ(At({10, 2}, kBlack, {{{10, 2}, Gray(v)}}, GeometricDetect, reference::GeometricDetect,
                 GeometricMask(id)),
              expected);
}

TEST(Detectors, LineMasksFollowTheirLines) {
  const Points row = {{{9, 2}, kWhite}, {{10, 2}, kWhite}, {{11, 2}, kWhite}};
  const Points column = {{{10, 1}, kBlack}, {{10, 2}, kBlack}, {{10, 3}, kBlack}};
  const Points diagonal = {{{9, 3}, kWhite}, {{10, 2}, kWhite}, {{11, 1}, kWhite}};  // through (x - 1, y + 1)
  // id, background, line, expected: the horizontal, vertical (dark lines) and two diagonal masks.
  for (auto [id, fill, line, expected] : {std::tuple{1010, kBlack, row, kBlack},
                                          {1011, kBlack, row, kWhite},
                                          {1011, kWhite, column, kBlack},
                                          {1010, kWhite, column, kWhite},
                                          {1013, kBlack, diagonal, kBlack},
                                          {1014, kBlack, diagonal, kWhite}})
    EXPECT_EQ(At({10, 2}, fill, line, GeometricDetect, reference::GeometricDetect, GeometricMask(id)),
              expected)
        << id;
}

}  // namespace
}  // namespace opta
