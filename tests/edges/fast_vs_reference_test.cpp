// Every detector's fast form against its reference form, bit for bit.
#include <gtest/gtest.h>

#include <random>

#include "core/cpu.h"
#include "edges/edges.h"
#include "edges/rows.h"
#include "support/fast_vs_reference.h"

namespace opta {
namespace {

using testing::ExpectSameAsReference;

using Plain = void (*)(Canvas&, const PixelMatrix&, Size);
template <class Mask>
using Masked = void (*)(Canvas&, const PixelMatrix&, Size, const Mask&);

// A screen smaller than the test window, and one larger than every picture.
const Size kScreens[] = {{5, 4}, {5000, 5000}};

void Same(const char* name, Plain fast, Plain ref, std::mt19937& rng) {
  for (Size s : kScreens)
    ExpectSameAsReference(
        name, [&](Canvas& c, const PixelMatrix& p) { fast(c, p, s); },
        [&](Canvas& c, const PixelMatrix& p) { ref(c, p, s); }, rng);
}

template <class Mask>
void Same(const char* name, Masked<Mask> fast, Masked<Mask> ref, const Mask& mask, std::mt19937& rng) {
  for (Size s : kScreens)
    ExpectSameAsReference(
        name, [&](Canvas& c, const PixelMatrix& p) { fast(c, p, s, mask); },
        [&](Canvas& c, const PixelMatrix& p) { ref(c, p, s, mask); }, rng);
}

TEST(EdgesFastVersusReference, ChannelDetectors) {
  std::mt19937 rng(5);
  Same("Homogeneity", HomogeneityEdge, reference::HomogeneityEdge, rng);
  Same("Difference", DifferenceEdge, reference::DifferenceEdge, rng);
  Same("Variance", VarianceEdge, reference::VarianceEdge, rng);
}

TEST(EdgesFastVersusReference, MaskDetectorsWithEveryMask) {
  std::mt19937 rng(6);
  Same("Quick", QuickEdge, reference::QuickEdge, kQuickMask, rng);
  for (int choice = 1009; choice <= 1015; ++choice)
    Same("Geometric", GeometricDetect, reference::GeometricDetect, GeometricMask(choice), rng);
  // Too heavy for 16-bit sums: the plain form takes over and must agree too.
  const Mask3 heavy{{100, -90, 7, 0, 33, -128, 1, 2, 3}};
  EXPECT_FALSE(edges::FitsVectorForm(heavy));
  Same("Heavy quick", QuickEdge, reference::QuickEdge, heavy, rng);
}

TEST(EdgesFastVersusReference, CompassDetectors) {
  std::mt19937 rng(7);
  Same("Kirsch", KirschEdge, reference::KirschEdge, kKirschMasks, rng);
  Same("Prewitt", PrewittEdge, reference::PrewittEdge, kPrewittMasks, rng);
  CompassMasks heavy = kKirschMasks;
  heavy[3].c[4] = 200;
  Same("Heavy Kirsch", KirschEdge, reference::KirschEdge, heavy, rng);
}

// The vector forms' white-or-black step against the double sum on every
// possible triple of final sums: the integer test is exact only off its ties.
TEST(EdgesFastVersusReference, CompassGrayDecisionOnEverySum) {
  for (const edges::RowKernels* k : {&edges::kRowsAvx2, &edges::kRowsAvx512}) {
    if ((k == &edges::kRowsAvx2 && !cpu::Has(cpu::Level::Avx2)) ||
        (k == &edges::kRowsAvx512 && !cpu::Has(cpu::Level::Avx512)))
      continue;
    std::vector<Colour> sums(1 << 24), out(1 << 24);
    for (Colour c = 0; c < sums.size(); ++c) sums[c] = c | 0x5A000000;  // the top byte must not count
    ASSERT_EQ(k->compassGray(sums.data(), out.data(), 1 << 24), 1 << 24);
    int white = 0;
    for (Colour c = 0; c < sums.size(); ++c) {
      const bool expect = 0.3 * Red(c) + 0.6 * Green(c) + 0.11 * Blue(c) >= 128;
      ASSERT_EQ(out[c], expect ? kWhite : kBlack) << std::hex << c;
      white += expect;
    }
    EXPECT_EQ(white, 8473610);  // counted once with the double sum, as a check on the loop
  }
}

}  // namespace
}  // namespace opta
