// Every morphology operation's fast form against its reference form, bit
// for bit, for every element and a range of counts.
#include <random>

#include "morphology/morphology.h"
#include "support/fast_vs_reference.h"

namespace opta {
namespace {

ScratchStore scratch;  // reused across sizes, as a document's is

// The dialog's four elements, and one whose 2s and -1s do not belong to it.
template <class Fast, class Ref, class... Count>
void Same(const char* name, Fast fast, Ref ref, Count... count) {
  std::mt19937 rng(11);
  for (int shape = 1018; shape <= 1022; ++shape) {
    const Mask3 e = shape <= 1021 ? ShapeElement(shape) : Mask3{{2, 1, -1, 0, 1, 1, 1, 0, 2}};
    testing::ExpectSameAsReference(
        name, [&](Canvas& c, const PixelMatrix& p) { fast(c, p, e, count..., scratch); },
        [&](Canvas& c, const PixelMatrix& p) { ref(c, p, e, count...); }, rng);
  }
}

TEST(MorphologyFastVersusReference, SinglePasses) {
  Same("Erosion", MorphErosion, reference::MorphErosion);
  Same("Dilation", MorphDilation, reference::MorphDilation);
  Same("Interior", InteriorOutline, reference::InteriorOutline);
  Same("Exterior", ExteriorOutline, reference::ExteriorOutline);
}

// 17 passes are more than one sweep keeps in its rings: whole matrices again.
TEST(MorphologyFastVersusReference, RepeatedPasses) {
  for (int count : {-1, 2, 3, 10, 17}) {
    Same("Opening", MorphOpening, reference::MorphOpening, count);
    Same("Closing", MorphClosing, reference::MorphClosing, count);
  }
}

}  // namespace
}  // namespace opta
