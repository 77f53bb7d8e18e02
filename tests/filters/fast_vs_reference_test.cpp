// Every fast filter against its reference form, bit for bit, at every
// processor level, on the shared set of awkward pictures.
#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <random>
#include <string>

#include "filters/kernels.h"
#include "support/fast_vs_reference.h"

namespace opta {
namespace {

using testing::ExpectSameAsReference;
using testing::PictureOp;

PictureOp WithSize(void (*f)(Canvas&, const PixelMatrix&, int), int n) {
  return [f, n](Canvas& c, const PixelMatrix& p) { f(c, p, n); };
}

#define SAME_AT_EVERY_SIZE(fn) \
  for (int n : {3, 5, 7})      \
  ExpectSameAsReference(#fn " " + std::to_string(n), WithSize(fn, n), WithSize(reference::fn, n), rng)

TEST(FiltersFastVersusReference, Masks) {
  std::mt19937 rng(1);
  for (const LowPassMask& m : kLowPassMasks)
    ExpectSameAsReference(
        "LowPass /" + std::to_string(m.divisor),
        [&](Canvas& c, const PixelMatrix& p) { LowPassFilter(c, p, m.mask, m.divisor); },
        [&](Canvas& c, const PixelMatrix& p) { reference::LowPassFilter(c, p, m.mask, m.divisor); }, rng);
  for (const Mask3& m : kHighPassMasks)
    ExpectSameAsReference(
        "HighPass", [&](Canvas& c, const PixelMatrix& p) { HighPassFilter(c, p, m); },
        [&](Canvas& c, const PixelMatrix& p) { reference::HighPassFilter(c, p, m); }, rng);
  ExpectSameAsReference("Gaussian", GaussianFilter, reference::GaussianFilter, rng);
}

TEST(FiltersFastVersusReference, MedianAndOrder) {
  std::mt19937 rng(2);
  SAME_AT_EVERY_SIZE(MedianFilter);
  SAME_AT_EVERY_SIZE(MaxFilter);
  SAME_AT_EVERY_SIZE(MinFilter);
  SAME_AT_EVERY_SIZE(MidpointFilter);
}

TEST(FiltersFastVersusReference, Means) {
  std::mt19937 rng(3);
  SAME_AT_EVERY_SIZE(ArithmeticMeanFilter);
  SAME_AT_EVERY_SIZE(GeometricMeanFilter);
  SAME_AT_EVERY_SIZE(HarmonicMeanFilter);
}

void ExpectContraharmonicSame(std::initializer_list<int> orders) {
  std::mt19937 rng(4);
  for (int Q : orders)
    for (int n : {3, 5, 7})
      ExpectSameAsReference(
          "Contraharmonic " + std::to_string(n) + " Q " + std::to_string(Q),
          [=](Canvas& c, const PixelMatrix& p) { ContraharmonicMeanFilter(c, p, n, Q); },
          [=](Canvas& c, const PixelMatrix& p) { reference::ContraharmonicMeanFilter(c, p, n, Q); }, rng);
}

// Split so that the test runner can spread them over the cores.
TEST(FiltersFastVersusReference, ContraharmonicOrders10And0) { ExpectContraharmonicSame({10, 0}); }
TEST(FiltersFastVersusReference, ContraharmonicOrders15And20) { ExpectContraharmonicSame({15, 20}); }
TEST(FiltersFastVersusReference, ContraharmonicOrdersMinus5And1000) { ExpectContraharmonicSame({-5, 1000}); }
// Sums that reach infinity or nothing, and orders 4 and 5 either side of the
// whole powers that may be summed in any order.
TEST(FiltersFastVersusReference, ContraharmonicNegativeAndNearWholeOrders) {
  ExpectContraharmonicSame({-10, -15, 40, 50});
}
TEST(FiltersFastVersusReference, ContraharmonicOverflowingOrders) {
  ExpectContraharmonicSame({1278, 5000, INT_MIN, INT_MAX});
}

}  // namespace
}  // namespace opta
