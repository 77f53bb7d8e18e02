// Every morphology operation's fast form against its reference form, bit
// for bit, for every element and a range of counts.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "morphology/morphology.h"
#include "support/fast_vs_reference.h"

namespace opta {
namespace {

using testing::ExpectSameAsReference;

using Single = void (*)(Canvas&, const PixelMatrix&, const Mask3&, ScratchStore&);
using SingleRef = void (*)(Canvas&, const PixelMatrix&, const Mask3&);
using Repeated = void (*)(Canvas&, const PixelMatrix&, const Mask3&, int, ScratchStore&);
using RepeatedRef = void (*)(Canvas&, const PixelMatrix&, const Mask3&, int);

// The four elements of the dialog, and one whose 2s and -1s do not count.
std::vector<Mask3> Elements() {
  return {ShapeElement(1018), ShapeElement(1019), ShapeElement(1020), ShapeElement(1021),
          Mask3{{2, 1, -1, 0, 1, 1, 1, 0, 2}}};
}

// One store for every run, so its matrices are reused across sizes as a document's are.
ScratchStore scratch;

void Same(const std::string& name, Single fast, SingleRef ref, std::mt19937& rng) {
  for (const Mask3& e : Elements())
    ExpectSameAsReference(
        name, [&](Canvas& c, const PixelMatrix& p) { fast(c, p, e, scratch); },
        [&](Canvas& c, const PixelMatrix& p) { ref(c, p, e); }, rng);
}

void Same(const std::string& name, Repeated fast, RepeatedRef ref, std::mt19937& rng) {
  for (const Mask3& e : Elements())
    for (int count : {-1, 0, 2, 3, 10, 17})
      ExpectSameAsReference(
          name + " " + std::to_string(count),
          [&](Canvas& c, const PixelMatrix& p) { fast(c, p, e, count, scratch); },
          [&](Canvas& c, const PixelMatrix& p) { ref(c, p, e, count); }, rng);
}

TEST(MorphologyFastVersusReference, SinglePasses) {
  std::mt19937 rng(11);
  Same("Erosion", MorphErosion, reference::MorphErosion, rng);
  Same("Dilation", MorphDilation, reference::MorphDilation, rng);
}

TEST(MorphologyFastVersusReference, Outlines) {
  std::mt19937 rng(12);
  Same("Interior", InteriorOutline, reference::InteriorOutline, rng);
  Same("Exterior", ExteriorOutline, reference::ExteriorOutline, rng);
}

TEST(MorphologyFastVersusReference, RepeatedPasses) {
  std::mt19937 rng(13);
  Same("Opening", MorphOpening, reference::MorphOpening, rng);
  Same("Closing", MorphClosing, reference::MorphClosing, rng);
}

}  // namespace
}  // namespace opta
