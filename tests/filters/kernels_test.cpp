// The filters' rules on hand-worked pictures: each boundary (a division that
// drops its remainder, a clamp, a zero counted as one) with a case on each
// side of it, at every processor level.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <vector>

#include "filters/kernels.h"
#include "support/fast_vs_reference.h"

namespace opta {
namespace {

using testing::Drawn;
using testing::kBefore;
using Op = testing::PictureOp;

constexpr Colour Gray(int v) { return Rgb(v, v, v); }

// The picture w x h from pixel(x, y) through op at every processor level,
// all of which must draw the same; the window must show what memory holds.
Drawn Filtered(int w, int h, const std::function<Colour(int, int)>& pixel, const Op& op) {
  PixelMatrix p;
  p.allocate(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.at(x, y) = pixel(x, y);
  Drawn d = testing::DrawnByEveryForm("hand-worked", op, op, p);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) EXPECT_EQ(d.window.get(x, y), d.at(x, y)) << x << "," << y;
  return d;
}

// The centre result of an n x n picture holding `window` (x outer, y inner).
Colour Centre(const std::vector<Colour>& window, const Op& op) {
  const int n = window.size() == 9 ? 3 : (window.size() == 25 ? 5 : 7);
  return Filtered(
             n, n, [&](int x, int y) { return window[x * n + y]; }, op)
      .at(n / 2, n / 2);
}

std::vector<Colour> Flat(int k, Colour c) { return std::vector<Colour>(k, c); }
std::vector<Colour> With(std::vector<Colour> w, Colour centre) {
  w[w.size() / 2] = centre;
  return w;
}

Op Sized(void (*f)(Canvas&, const PixelMatrix&, int), int n) {
  return [f, n](Canvas& c, const PixelMatrix& p) { f(c, p, n); };
}
Op LowPass(int choice) {
  return [choice](Canvas& c, const PixelMatrix& p) {
    LowPassFilter(c, p, kLowPassMasks[choice].mask, kLowPassMasks[choice].divisor);
  };
}
Op HighPass(int choice) {
  return [choice](Canvas& c, const PixelMatrix& p) { HighPassFilter(c, p, kHighPassMasks[choice]); };
}
Op Contraharmonic(int n, int Q) {
  return [n, Q](Canvas& c, const PixelMatrix& p) { ContraharmonicMeanFilter(c, p, n, Q); };
}

// The single white pixel under LPF 6 (85 and 42) is checked from outside, in
// cli_filters_test.py, as are the other worked examples.
TEST(FilterMasks, LowPassDropsRemainders) {
  // LPF 9: a flat area keeps its value; sums 458 and 459 give 50 and 51.
  EXPECT_EQ(Centre(Flat(9, Rgb(7, 130, 255)), LowPass(1)), Rgb(7, 130, 255));
  EXPECT_EQ(Centre(With(Flat(9, Gray(50)), Gray(58)), LowPass(1)), Gray(50));
  EXPECT_EQ(Centre(With(Flat(9, Gray(50)), Gray(59)), LowPass(1)), Gray(51));
}

TEST(FilterMasks, HighPassKeepsFlatAreasAndClampsBothWays) {
  EXPECT_EQ(Centre(Flat(9, Rgb(3, 90, 200)), HighPass(1)), Rgb(3, 90, 200));
  // HPF 1 is 5c minus the four edge neighbours: -1 and 0 give 0, 255 and 256 give 255.
  auto edges = [](int c, int left) { return std::vector<Colour>{0, Gray(left), 0, 0, Gray(c), 0, 0, 0, 0}; };
  EXPECT_EQ(Centre(edges(60, 46), HighPass(0)), Gray(254));  // 300 - 46
  EXPECT_EQ(Centre(edges(60, 44), HighPass(0)), Gray(255));  // 256 clamped
  EXPECT_EQ(Centre(edges(20, 101), HighPass(0)), Gray(0));   // -1 clamped
  EXPECT_EQ(Centre(edges(20, 99), HighPass(0)), Gray(1));    // 1
  // A step from 0 to 255: the dark side goes to 0, the bright side saturates.
  const Drawn s = Filtered(
      6, 3, [](int x, int) { return x < 3 ? kBlack : kWhite; }, HighPass(0));
  EXPECT_EQ(s.at(2, 1), kBlack);
  EXPECT_EQ(s.at(3, 1), kWhite);
}

TEST(FilterMasks, GaussianDividesByTheWeightsTotal) {
  // 249 v / 249 = v: a flat area keeps its value.
  const Drawn flat = Filtered(
      6, 5, [](int, int) { return Rgb(1, 128, 255); }, GaussianFilter);
  EXPECT_EQ(flat.at(2, 2), Rgb(1, 128, 255));
  EXPECT_EQ(flat.at(3, 2), Rgb(1, 128, 255));
  EXPECT_EQ(flat.at(1, 2), kBefore);  // two rows and columns of border
  // One white pixel at (3, 3): weights 25, 19 and 14 give 25.6, 19.5, 14.3.
  const Drawn dot = Filtered(
      7, 7, [](int x, int y) { return x == 3 && y == 3 ? kWhite : kBlack; }, GaussianFilter);
  EXPECT_EQ(dot.at(3, 3), Gray(25));
  EXPECT_EQ(dot.at(3, 2), Gray(19));
  EXPECT_EQ(dot.at(2, 2), Gray(14));
  // Flat 100 with the centre raised: sums 25125 and 25150 straddle 101 * 249.
  auto raised = [](int c) { return [c](int x, int y) { return x == 2 && y == 2 ? Gray(c) : Gray(100); }; };
  EXPECT_EQ(Filtered(5, 5, raised(109), GaussianFilter).at(2, 2), Gray(100));
  EXPECT_EQ(Filtered(5, 5, raised(110), GaussianFilter).at(2, 2), Gray(101));
}

TEST(FilterMasks, PicturesTooSmallForTheWindowAreLeftAlone) {
  for (const Op& op : {LowPass(0), HighPass(0), Op(GaussianFilter), Sized(MedianFilter, 3),
                       Sized(MinFilter, 5), Sized(GeometricMeanFilter, 7), Contraharmonic(7, 10)}) {
    const Drawn s = Filtered(
        2, 9, [](int, int) { return kWhite; }, op);
    EXPECT_EQ(s.at(1, 4), kBefore);
  }
  EXPECT_EQ(Filtered(
                4, 9, [](int, int) { return kWhite; }, GaussianFilter)
                .at(2, 4),
            kBefore);
  EXPECT_EQ(Filtered(
                6, 4, [](int, int) { return kWhite; }, Sized(MaxFilter, 5))
                .at(2, 2),
            kBefore);
  EXPECT_EQ(Filtered(
                7, 7, [](int, int) { return kWhite; }, Sized(MaxFilter, 7))
                .at(3, 3),
            kWhite);
}

TEST(FilterOrder, MedianAndMaxChooseWholePixelsBlueFirst) {
  // Max: blue 1 beats any red and green with blue 0.
  EXPECT_EQ(Centre(With(Flat(9, Rgb(255, 255, 0)), Rgb(0, 0, 1)), Sized(MaxFilter, 3)), Rgb(0, 0, 1));
  for (int n : {5, 7}) {
    std::vector<Colour> ramp;
    for (int i = 0; i < n * n; ++i) ramp.push_back(Gray((i * 37) % (n * n) + 1));  // 1 .. k, shuffled
    EXPECT_EQ(Centre(ramp, Sized(MedianFilter, n)), Gray(n * n / 2 + 1)) << n;
    EXPECT_EQ(Centre(ramp, Sized(MaxFilter, n)), Gray(n * n)) << n;
  }
}

TEST(FilterOrder, MinAndMidpointGoChannelByChannel) {
  // With red, blue and white (min black, midpoint 127 from outside) a
  // channel running 1 .. 255 keeps its whole 128.
  std::vector<Colour> w = Flat(9, kWhite);
  w[2] = Rgb(255, 0, 0);
  w[6] = Rgb(1, 1, 1);
  EXPECT_EQ(Centre(w, Sized(MidpointFilter, 3)), Rgb(128, 127, 127));  // red (1 + 255) / 2 keeps all
  EXPECT_EQ(Centre(Flat(49, kBlack), Sized(MidpointFilter, 7)), kBlack);
}

TEST(FilterMeans, ArithmeticDropsTheRemainder) {
  EXPECT_EQ(Centre(With(Flat(9, Gray(50)), Gray(58)), Sized(ArithmeticMeanFilter, 3)), Gray(50));  // 458 / 9
  EXPECT_EQ(Centre(With(Flat(9, Gray(50)), Gray(59)), Sized(ArithmeticMeanFilter, 3)), Gray(51));  // 459 / 9
  EXPECT_EQ(Centre(With(Flat(49, Gray(200)), Gray(248)), Sized(ArithmeticMeanFilter, 7)), Gray(200));
  EXPECT_EQ(Centre(With(Flat(49, Gray(200)), Gray(249)), Sized(ArithmeticMeanFilter, 7)), Gray(201));
}

TEST(FilterMeans, ZeroCountsAsOneInGeometricAndHarmonic) {
  for (int n : {3, 5, 7}) {
    EXPECT_EQ(Centre(Flat(n * n, kBlack), Sized(GeometricMeanFilter, n)), Gray(1)) << n;
    EXPECT_EQ(Centre(Flat(n * n, kBlack), Sized(HarmonicMeanFilter, n)), Gray(1)) << n;
    EXPECT_EQ(Centre(Flat(n * n, kBlack), Contraharmonic(n, 10)), kBlack) << n;  // 0 / 0
    EXPECT_EQ(Centre(Flat(n * n, kBlack), Sized(MedianFilter, n)), kBlack) << n;
  }
  // Geometric: 2^10 and 3^8 * 4 have ninth roots 2.16 and 3.10.
  EXPECT_EQ(Centre(With(Flat(9, Gray(2)), Gray(4)), Sized(GeometricMeanFilter, 3)), Gray(2));
  EXPECT_EQ(Centre(With(Flat(9, Gray(3)), Gray(4)), Sized(GeometricMeanFilter, 3)), Gray(3));
  // Harmonic: nine 2s give 9 / 4.5 = 2 exactly; a 1 among them 9 / 5 = 1.8.
  EXPECT_EQ(Centre(Flat(9, Gray(2)), Sized(HarmonicMeanFilter, 3)), Gray(2));
  EXPECT_EQ(Centre(With(Flat(9, Gray(2)), Gray(1)), Sized(HarmonicMeanFilter, 3)), Gray(1));
  EXPECT_EQ(Centre(With(Flat(9, Gray(2)), Gray(0)), Sized(HarmonicMeanFilter, 3)), Gray(1));
}

TEST(FilterMeans, ContraharmonicOrders) {
  std::vector<Colour> ramp;
  for (int v = 1; v <= 9; ++v) ramp.push_back(Gray(v));
  EXPECT_EQ(Centre(ramp, Contraharmonic(3, 0)), Gray(5));    // 45 / 9: the arithmetic mean
  EXPECT_EQ(Centre(ramp, Contraharmonic(3, 10)), Gray(6));   // 285 / 45 = 6.33
  EXPECT_EQ(Centre(ramp, Contraharmonic(3, -10)), Gray(3));  // 9 / (1 + 1/2 + ... + 1/9) = 3.18
  // A negative order with a zero in the window gives 0, whether the
  // numerator stays finite (-0.5) or becomes infinite too (-1.5).
  const std::vector<Colour> zero = With(Flat(9, Gray(100)), kBlack);
  EXPECT_EQ(Centre(zero, Contraharmonic(3, -5)), kBlack);
  EXPECT_EQ(Centre(zero, Contraharmonic(3, -15)), kBlack);
  EXPECT_EQ(Centre(Flat(9, Gray(4)), Contraharmonic(3, -15)), Gray(4));  // 4.5 / 1.125, all exact
  // Orders so large that the sums overflow: an infinite numerator over a
  // finite denominator clamps to 255; two infinite sums give the window's
  // largest value.
  EXPECT_EQ(Centre(With(Flat(9, kBlack), Gray(255)), Contraharmonic(3, 1278)), Gray(255));
  EXPECT_EQ(Centre(With(Flat(9, Gray(5)), Rgb(9, 7, 6)), Contraharmonic(3, 5000)), Rgb(9, 7, 6));
}

}  // namespace
}  // namespace opta
