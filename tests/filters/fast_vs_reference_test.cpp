// Every fast filter against its reference form, bit for bit, at every
// processor level this machine has, on random pictures of awkward sizes
// with surfaces smaller and larger than the picture.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "core/cpu.h"
#include "filters/kernels.h"
#include "pointops/scene.h"

namespace opta {
namespace {

using testing::Op;
using testing::Scene;

struct Case {
  int w, h, clientW, clientH;
};

const Case kCases[] = {
    {1, 1, 8, 8},         {2, 9, 6, 6},     {7, 7, 3, 20},
    {9, 9, 9, 9},         {37, 29, 64, 16}, {131, 12, 200, 5},  // a width no vector divides
    {2100, 8, 2100, 8},  // rows longer than one piece of the row writer
    {641, 479, 300, 500},
};

// Pictures that reach the rules' corners: ties, zero channels, the top byte
// set, flat runs, and plain noise.
void Fill(PixelMatrix& p, std::mt19937& rng) {
  const Colour palette[] = {0, 0xFFFFFF, 0x010101, 0x00FF00, 0xFF0000, 0x808080, 0x0000FF, 0xFF000000};
  const int style = static_cast<int>(rng() % 3);
  for (int y = 0; y < p.height(); ++y)
    for (int x = 0; x < p.width(); ++x) {
      const unsigned r = rng();
      Colour c = r;
      if (style == 1 && r % 3 != 0) c = palette[r % std::size(palette)] | (r & 0x01000000);
      if (style == 2) c = (r & 0x03030303) * 0x3F;  // few levels, many zeros
      p.at(x, y) = c;
    }
}

std::vector<cpu::Level> Levels() {
  std::vector<cpu::Level> out;
  for (cpu::Level l : {cpu::Level::Baseline, cpu::Level::Avx2, cpu::Level::Avx512})
    if (static_cast<int>(l) <= static_cast<int>(cpu::Detected())) out.push_back(l);
  return out;
}

void ExpectSameAsReference(const std::string& name, const Op& fast, const Op& ref, std::mt19937& rng,
                           bool smallOnly = false) {
  for (const Case& k : kCases) {
    if (smallOnly && k.w * k.h > 2000) continue;
    Scene want(k.w, k.h, k.clientW, k.clientH);
    Fill(want.pixels, rng);
    Canvas cw = want.canvas();
    ref(cw, want.pixels);
    for (cpu::Level level : Levels()) {
      cpu::CapForTest cap(level);
      Scene got(k.w, k.h, k.clientW, k.clientH);
      got.pixels.copyFrom(want.pixels);
      Canvas cg = got.canvas();
      fast(cg, got.pixels);
      const std::string where = name + " on " + std::to_string(k.w) + "x" + std::to_string(k.h) + " level " +
                                std::to_string(static_cast<int>(level));
      for (const auto& [a, b] : {std::pair{&got.window, &want.window}, std::pair{&got.memory, &want.memory}})
        for (int y = 0; y < a->height(); ++y)
          for (int x = 0; x < a->width(); ++x)
            ASSERT_EQ(a->get(x, y), b->get(x, y)) << where << " at " << x << "," << y;
    }
  }
}

Op WithSize(void (*f)(Canvas&, const PixelMatrix&, int), int n) {
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

void ExpectContraharmonicSame(std::initializer_list<int> orders, bool smallOnly) {
  std::mt19937 rng(4);
  for (int Q : orders)
    for (int n : {3, 5, 7})
      ExpectSameAsReference(
          "Contraharmonic " + std::to_string(n) + " Q " + std::to_string(Q),
          [=](Canvas& c, const PixelMatrix& p) { ContraharmonicMeanFilter(c, p, n, Q); },
          [=](Canvas& c, const PixelMatrix& p) { reference::ContraharmonicMeanFilter(c, p, n, Q); }, rng,
          smallOnly);
}

// Split so that the test runner can spread them over the cores.
TEST(FiltersFastVersusReference, ContraharmonicOrders10And0) { ExpectContraharmonicSame({10, 0}, false); }
TEST(FiltersFastVersusReference, ContraharmonicOrders15And20) { ExpectContraharmonicSame({15, 20}, false); }
TEST(FiltersFastVersusReference, ContraharmonicOrdersMinus5And1000) {
  ExpectContraharmonicSame({-5, 1000}, false);
}

// Orders where the sums reach infinity or nothing, and 4 and 5, either side
// of the whole powers that may be summed in any order: on small pictures,
// which still hold every case of the rule.
TEST(FiltersFastVersusReference, ContraharmonicExtremeOrders) {
  ExpectContraharmonicSame({-10, -15, 40, 50, 1278, 5000, INT_MIN, INT_MAX}, true);
}

}  // namespace
}  // namespace opta
