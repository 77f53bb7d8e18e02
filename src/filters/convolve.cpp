// Low pass, high pass and Gaussian: fixed masks summed in 16-bit lanes.
#include <cstdlib>
#include <optional>

#include "filters/kernels.h"
#include "filters/rows.h"

namespace opta {
namespace {

using filters::ConvolveTerms;

// The non-zero terms of a mask, when every sum it can make fits a signed
// 16-bit lane and, for a divided mask, is never negative and has an exact
// divider. Other masks go the reference way.
std::optional<ConvolveTerms> TermsFor(const Mask3& mask, const unsigned* divisor) {
  ConvolveTerms t;
  int magnitude = 0;
  bool negative = false;
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) {
      const int c = mask.at(dx, dy);
      if (c == 0) continue;
      t.dx[t.count] = dx;
      t.dy[t.count] = dy;
      t.coefficient[t.count++] = static_cast<std::int16_t>(c);
      magnitude += std::abs(c);
      negative |= c < 0;
    }
  if (magnitude * 255 > 0x7FFF) return std::nullopt;
  if (divisor) {
    const auto d = filters::FindDivider(*divisor, static_cast<unsigned>(magnitude) * 255);
    if (negative || !d) return std::nullopt;
    t.divide = true;
    t.divider = *d;
  }
  return t;
}

void Convolve(Canvas& canvas, const PixelMatrix& p, const ConvolveTerms& t) {
  const filters::RowKernels& k = filters::RowKernelsForThisCpu();
  filters::WriteInterior(canvas, p, 1,
                         [&](int x, int y, Colour* out, int count) { k.convolve(p, t, x, y, out, count); });
}

constexpr bool GaussianIsSymmetric() {
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j)
      if (kGaussianWeights[i][j] != kGaussianWeights[4 - i][j] ||
          kGaussianWeights[i][j] != kGaussianWeights[i][4 - j])
        return false;
  return true;
}
static_assert(GaussianIsSymmetric(), "the row kernel adds mirrored values before weighting them");

constexpr int GaussianTotal() {
  int s = 0;
  for (const auto& row : kGaussianWeights)
    for (int w : row) s += w;
  return s;
}
constexpr auto kGaussianDivider = filters::FindDivider(kGaussianDivisor, GaussianTotal() * 255);
static_assert(GaussianTotal() * 255 <= 0xFFFF && kGaussianDivider,
              "the Gaussian sums fit unsigned 16-bit lanes");

}  // namespace

void LowPassFilter(Canvas& canvas, const PixelMatrix& pixels, const Mask3& mask, unsigned divisor) {
  if (divisor == 0) return;
  if (const auto t = TermsFor(mask, &divisor)) return Convolve(canvas, pixels, *t);
  reference::LowPassFilter(canvas, pixels, mask, divisor);
}

void HighPassFilter(Canvas& canvas, const PixelMatrix& pixels, const Mask3& mask) {
  if (const auto t = TermsFor(mask, nullptr)) return Convolve(canvas, pixels, *t);
  reference::HighPassFilter(canvas, pixels, mask);
}

void GaussianFilter(Canvas& canvas, const PixelMatrix& pixels) {
  const filters::RowKernels& k = filters::RowKernelsForThisCpu();
  filters::WriteInterior(canvas, pixels, 2, [&](int x, int y, Colour* out, int count) {
    k.gaussian(pixels, *kGaussianDivider, x, y, out, count);
  });
}

}  // namespace opta
