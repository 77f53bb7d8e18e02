// The detectors on hand-worked neighbourhoods. Each picture runs through the
// reference form and through the fast form at every instruction set; they
// must agree, and the features sit where the vector forms reach them.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "edges/edges.h"
#include "support/fast_vs_reference.h"

namespace opta {
namespace {

using testing::kBefore;
constexpr Size kScreen{40, 30};  // inside the 64 x 48 window

Colour Gray(int v) { return Rgb(v, v, v); }

using Op = std::function<void(Canvas&, const PixelMatrix&, Size)>;
struct Detector {
  std::string name;
  Op fast, ref;
};

Detector WithMask(std::string name, void (*fast)(Canvas&, const PixelMatrix&, Size, const Mask3&),
                  void (*ref)(Canvas&, const PixelMatrix&, Size, const Mask3&), Mask3 mask) {
  return {name, [=](Canvas& c, const PixelMatrix& p, Size s) { fast(c, p, s, mask); },
          [=](Canvas& c, const PixelMatrix& p, Size s) { ref(c, p, s, mask); }};
}

Detector Compass(std::string name, void (*fast)(Canvas&, const PixelMatrix&, Size, const CompassMasks&),
                 void (*ref)(Canvas&, const PixelMatrix&, Size, const CompassMasks&), const CompassMasks& m) {
  return {name, [=](Canvas& c, const PixelMatrix& p, Size s) { fast(c, p, s, m); },
          [=](Canvas& c, const PixelMatrix& p, Size s) { ref(c, p, s, m); }};
}

const Detector kHomogeneity{"homogeneity", HomogeneityEdge, reference::HomogeneityEdge};
const Detector kDifference{"difference", DifferenceEdge, reference::DifferenceEdge};
const Detector kVariance{"variance", VarianceEdge, reference::VarianceEdge};
const Detector kQuick = WithMask("quick", QuickEdge, reference::QuickEdge, kQuickMask);
const Detector kKirsch = Compass("kirsch", KirschEdge, reference::KirschEdge, kKirschMasks);
const Detector kPrewitt = Compass("prewitt", PrewittEdge, reference::PrewittEdge, kPrewittMasks);

Detector Geometric(int choice) {
  return WithMask("geometric " + std::to_string(choice), GeometricDetect, reference::GeometricDetect,
                  GeometricMask(choice));
}

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

// What d drew on p with the test screen, every form agreeing.
testing::Drawn Detect(const Detector& d, const Picture& p) {
  auto bind = [](const Op& op) { return [op](Canvas& c, const PixelMatrix& px) { op(c, px, kScreen); }; };
  return testing::DrawnByEveryForm(d.name, bind(d.fast), bind(d.ref), p.pixels);
}

TEST(Detectors, UniformPicturesGiveBlackAndGeometricDetectionWhite) {
  for (Colour fill : {kBlack, kWhite, Rgb(12, 200, 77)}) {
    const Picture p(21, 6, fill);
    std::vector<std::pair<Detector, Colour>> cases;
    for (const Detector& d : {kHomogeneity, kDifference, kVariance, kQuick, kKirsch, kPrewitt})
      cases.push_back({d, kBlack});
    for (int choice = 1010; choice <= 1014; ++choice) cases.push_back({Geometric(choice), kWhite});
    for (const auto& [d, expected] : cases) {
      const testing::Drawn r = Detect(d, p);
      for (int x = 1; x <= 19; ++x)
        for (int y = 1; y <= 4; ++y) ASSERT_EQ(r.at(x, y), expected) << d.name << " " << x << "," << y;
      // The memory border keeps its picture; the window is white up to the
      // screen's edge, image border included, and unpainted beyond it.
      EXPECT_EQ(r.at(0, 0), kBefore);
      EXPECT_EQ(r.at(20, 5), kBefore);
      EXPECT_EQ(r.window.get(20, 5), kWhite);
      EXPECT_EQ(r.window.get(39, 29), kWhite);
      EXPECT_EQ(r.window.get(40, 3), kBefore);
      EXPECT_EQ(r.window.get(3, 30), kBefore);
    }
  }
}

TEST(Detectors, PicturesWithoutAnInteriorOnlyWhitenTheWindow) {
  for (auto [w, h] : {std::pair{2, 9}, {9, 2}, {1, 1}}) {
    const Picture p(w, h, Gray(90));
    for (const Detector& d : {kHomogeneity, kKirsch, Geometric(1012)}) {
      const testing::Drawn r = Detect(d, p);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) EXPECT_EQ(r.at(x, y), kBefore) << d.name;
      EXPECT_EQ(r.window.get(0, 0), kWhite);
      EXPECT_EQ(r.window.get(39, 29), kWhite);
      EXPECT_EQ(r.window.get(40, 29), kBefore);
    }
  }
}

TEST(Detectors, HomogeneityOfAWhitePixelAndItsLimit) {
  Picture p(21, 7, kBlack);
  p.set(10, 3, kWhite);
  // The pixel itself sums 8 x 255; each neighbour has one difference of 255.
  const testing::Drawn r = Detect(kHomogeneity, p);
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) EXPECT_EQ(r.at(10 + dx, 3 + dy), kWhite) << dx << "," << dy;
  EXPECT_EQ(r.at(8, 3), kBlack);
  EXPECT_EQ(r.at(10, 1), kBlack);

  // Red sums 127 + 127, green 128 + 128: one just under the limit, one over.
  Picture q(21, 7, kBlack);
  q.set(4, 3, Rgb(127, 128, 0)).set(6, 3, Rgb(127, 128, 0));
  EXPECT_EQ(Detect(kHomogeneity, q).at(5, 3), Rgb(254, 255, 0));
}

TEST(Detectors, DifferenceTakesTheLargestDifferenceAcrossTheCentre) {
  Picture p(21, 5, kBlack);
  p.set(10, 2, Gray(200));     // the centre itself does not count
  p.set(9, 1, Rgb(10, 0, 0));  // diagonal: 10
  p.set(9, 3, Rgb(30, 0, 0));  // other diagonal: 30
  p.set(10, 1, Rgb(20, 0, 0));
  p.set(9, 2, Rgb(25, 0, 0)).set(11, 2, Rgb(0, 7, 0));
  EXPECT_EQ(Detect(kDifference, p).at(10, 2), Rgb(30, 7, 0));
}

TEST(Detectors, VarianceTruncatesItsRootAndLimitsIt) {
  Picture p(21, 5, kBlack);
  // Squared differences: red 225 + 25 + 4 + 1 = 255 (root 15.97), green 256
  // (16), blue 57600 + 6400 + 1024 = 65024 (254.998).
  p.set(9, 1, Rgb(15, 16, 240)).set(9, 3, Rgb(5, 0, 80)).set(11, 1, Rgb(2, 0, 32)).set(11, 3, Rgb(1, 0, 0));
  // Four white diagonals: sqrt(4 x 255^2) = 510, limited to 255.
  p.set(3, 1, kWhite).set(5, 1, kWhite).set(3, 3, kWhite).set(5, 3, kWhite);
  // Red at exactly 255^2 from one diagonal.
  p.set(14, 1, Rgb(255, 0, 0));
  // White edge neighbours alone give nothing.
  p.set(17, 2, kWhite).set(19, 2, kWhite).set(18, 1, kWhite).set(18, 3, kWhite);
  const testing::Drawn r = Detect(kVariance, p);
  EXPECT_EQ(r.at(10, 2), Rgb(15, 16, 254));
  EXPECT_EQ(r.at(4, 2), kWhite);
  EXPECT_EQ(r.at(13, 2), Rgb(255, 0, 0));
  EXPECT_EQ(r.at(18, 2), kBlack);
}

TEST(Detectors, QuickEdgeClampsBothWays) {
  Picture p(21, 5, kBlack);
  p.set(10, 2, Rgb(63, 64, 10)).set(9, 1, Rgb(0, 0, 11)).set(10, 1, Gray(200));
  // 4 x 63 = 252; 4 x 64 = 256 -> 255; 40 - 11 = 29; an edge neighbour has weight 0.
  EXPECT_EQ(Detect(kQuick, p).at(10, 2), Rgb(252, 255, 29));
  p.set(9, 1, Rgb(0, 0, 41));  // 40 - 41 = -1 -> 0
  EXPECT_EQ(Detect(kQuick, p).at(10, 2), Rgb(252, 255, 0));
}

TEST(Detectors, KirschSumRestartsFromZeroAfterANegativeMask) {
  // With 15 at (x + 1, y) the masks give -45 three times, +75 three times, -45
  // twice: from 0 on after each, 0 0 0 75 150 225 180 135, white. Carried
  // below zero the sum would end at 0; at 14 the rule ends at 126, black.
  Picture p(21, 5, kBlack);
  p.set(11, 2, Gray(15));
  EXPECT_EQ(Detect(kKirsch, p).at(10, 2), kWhite);
  p.set(11, 2, Gray(14));
  EXPECT_EQ(Detect(kKirsch, p).at(10, 2), kBlack);
}

TEST(Detectors, CompassGrayThresholdIsInclusiveAt128) {
  // Prewitt with 64 at (x - 1, y - 1) ends at 127 in every channel: 128.27,
  // white; with 63 it ends at 126: 127.26, black.
  Picture p(21, 5, kBlack);
  p.set(9, 1, Gray(64));
  EXPECT_EQ(Detect(kPrewitt, p).at(10, 2), kWhite);
  p.set(9, 1, Gray(63));
  EXPECT_EQ(Detect(kPrewitt, p).at(10, 2), kBlack);
  EXPECT_TRUE(CompassWhite(127, 127, 127));
  EXPECT_FALSE(CompassWhite(126, 126, 126));
  // 30 R + 60 G + 11 B = 12800 exactly: the double sum decides, either way.
  EXPECT_TRUE(CompassWhite(0, 173, 220));
  EXPECT_FALSE(CompassWhite(1, 189, 130));
}

TEST(Detectors, GeometricMasksFollowTheirLines) {
  // A white row on black: the horizontal mask darkens it, the vertical one does not.
  Picture row(21, 5, kBlack);
  for (int x = 0; x < 21; ++x) row.set(x, 2, kWhite);
  EXPECT_EQ(Detect(Geometric(1010), row).at(10, 2), kBlack);
  EXPECT_EQ(Detect(Geometric(1010), row).at(10, 1), kWhite);
  // A black column on white: the vertical mask answers dark lines.
  Picture column(21, 5, kWhite);
  for (int y = 0; y < 5; ++y) column.set(10, y, kBlack);
  EXPECT_EQ(Detect(Geometric(1011), column).at(10, 2), kBlack);
  EXPECT_EQ(Detect(Geometric(1010), column).at(10, 2), kWhite);
  // The 45-degree line through (x - 1, y + 1) and (x + 1, y - 1).
  Picture diagonal(21, 5, kBlack);
  diagonal.set(9, 3, kWhite).set(10, 2, kWhite).set(11, 1, kWhite);
  EXPECT_EQ(Detect(Geometric(1013), diagonal).at(10, 2), kBlack);
  EXPECT_EQ(Detect(Geometric(1014), diagonal).at(10, 2), kWhite);
  // A lone white pixel under the point mask, and an unknown id acting as it.
  Picture point(21, 5, kBlack);
  point.set(10, 2, Gray(40));
  EXPECT_EQ(Detect(Geometric(1012), point).at(10, 2), kBlack);  // 8 x 40, limited, inverted
  EXPECT_EQ(Detect(Geometric(1012), point).at(11, 2), kWhite);
  EXPECT_EQ(GeometricMask(4242), GeometricMask(1012));
  point.set(10, 2, Gray(31));  // 8 x 31 = 248 -> 7
  EXPECT_EQ(Detect(Geometric(1012), point).at(10, 2), Gray(7));
}

}  // namespace
}  // namespace opta
