// Every detector's fast form against its reference form, bit for bit.
#include <random>

#include "edges/edges.h"
#include "edges/rows.h"
#include "support/fast_vs_reference.h"

namespace opta {
namespace {

using testing::ExpectSameAsReference;

// With a screen smaller than the test window and one larger than every picture.
template <class Fast, class Ref, class... Args>
void Same(const char* name, Fast fast, Ref ref, const Args&... args) {
  std::mt19937 rng(5);
  for (Size s : {Size{5, 4}, Size{5000, 5000}})
    ExpectSameAsReference(
        name, [&](Canvas& c, const PixelMatrix& p) { fast(c, p, s, args...); },
        [&](Canvas& c, const PixelMatrix& p) { ref(c, p, s, args...); }, rng);
}

TEST(EdgesFastVersusReference, EveryDetectorAndMask) {
  Same("Homogeneity", HomogeneityEdge, reference::HomogeneityEdge);
  Same("Difference", DifferenceEdge, reference::DifferenceEdge);
  Same("Variance", VarianceEdge, reference::VarianceEdge);
  Same("Quick", QuickEdge, reference::QuickEdge, kQuickMask);
  for (int choice = 1009; choice <= 1015; ++choice)
    Same("Geometric", GeometricDetect, reference::GeometricDetect, GeometricMask(choice));
  Same("Kirsch", KirschEdge, reference::KirschEdge, kKirschMasks);
  Same("Prewitt", PrewittEdge, reference::PrewittEdge, kPrewittMasks);
  // Too heavy for 16-bit sums: the plain form takes over and must agree too.
  const Mask3 heavy{{100, -90, 7, 0, 33, -128, 1, 2, 3}};
  EXPECT_FALSE(edges::FitsVectorForm(heavy));
  Same("Heavy quick", QuickEdge, reference::QuickEdge, heavy);
}

// The vector forms' white-or-black step on every triple of final sums: the
// integer test they use is exact only away from its ties.
TEST(EdgesFastVersusReference, CompassGrayDecisionOnEverySum) {
  std::vector<Colour> sums(1 << 24), out(1 << 24);
  for (Colour c = 0; c < sums.size(); ++c) sums[c] = c | 0x5A000000;  // the top byte must not count
  for (auto [kernels, level] :
       {std::pair{&edges::kRowsAvx2, cpu::Level::Avx2}, {&edges::kRowsAvx512, cpu::Level::Avx512}}) {
    if (level > cpu::Detected()) continue;
    ASSERT_EQ(kernels->compassGray(sums.data(), out.data(), 1 << 24), 1 << 24);
    for (Colour c = 0; c < sums.size(); ++c)
      ASSERT_EQ(out[c], 0.3 * Red(c) + 0.6 * Green(c) + 0.11 * Blue(c) >= 128 ? kWhite : kBlack)
          << std::hex << c;
  }
}

}  // namespace
}  // namespace opta
