#pragma once
// The neighbourhood filters: fixed masks, and the median, mean and
// order-statistic filters over n x n windows (n = 3, 5 or 7). Each reads the
// PixelMatrix and writes the interior it can compute through the canvas; the
// outermost rows and columns its window cannot cover keep what the surfaces
// showed, and a picture too small for the window is left alone.
#include <array>
#include <cstdint>

#include "core/canvas.h"
#include "core/mask.h"
#include "core/matrix.h"

namespace opta {

struct LowPassMask {
  Mask3 mask;
  unsigned divisor;
};

// Indexed by radio id - 11 ("LPF 6" .. "LPF 32"); each divisor is its mask's sum.
inline constexpr std::array<LowPassMask, 5> kLowPassMasks{{
    {Mask3{{0, 1, 0, 1, 2, 1, 0, 1, 0}}, 6},
    {Mask3{{1, 1, 1, 1, 1, 1, 1, 1, 1}}, 9},
    {Mask3{{1, 1, 1, 1, 2, 1, 1, 1, 1}}, 10},
    {Mask3{{1, 2, 1, 2, 4, 2, 1, 2, 1}}, 16},
    {Mask3{{1, 4, 1, 4, 12, 4, 1, 4, 1}}, 32},
}};

// Indexed by radio id - 16 ("HPF 1" .. "HPF 3"); each sums to 1.
inline constexpr std::array<Mask3, 3> kHighPassMasks{{
    Mask3{{0, -1, 0, -1, 5, -1, 0, -1, 0}},
    Mask3{{-1, -1, -1, -1, 9, -1, -1, -1, -1}},
    Mask3{{1, -2, 1, -2, 5, -2, 1, -2, 1}},
}};

// Row index i pairs with dx = i - 2, column index j with dy = j - 2.
inline constexpr std::int32_t kGaussianWeights[5][5] = {
    {3, 6, 8, 6, 3}, {6, 14, 19, 14, 6}, {8, 19, 25, 19, 8}, {6, 14, 19, 14, 6}, {3, 6, 8, 6, 3}};
// The weighted sum is divided by the weights' total, remainder dropped, so a
// flat area keeps its value; dividing by the centre weight alone would turn
// everything brighter than 25 white.
inline constexpr unsigned kGaussianDivisor = 249;

void LowPassFilter(Canvas& canvas, const PixelMatrix& pixels, const Mask3& mask, unsigned divisor);
void HighPassFilter(Canvas& canvas, const PixelMatrix& pixels, const Mask3& mask);
void GaussianFilter(Canvas& canvas, const PixelMatrix& pixels);

// n is the window side: 3, 5 or 7; any other n leaves the picture alone.
void MedianFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
void MaxFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
void MinFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
void MidpointFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
void ArithmeticMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
void GeometricMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
void HarmonicMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
// The order is q = Q / 10.
void ContraharmonicMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n, int Q);

// One channel of the contraharmonic mean from its two sums. The cases that
// have no number: a zero denominator gives 0; two infinite sums come from a
// zero raised to a negative order, giving 0 (the limit as that value shrinks
// to zero), or from bright values overflowing a large positive order, giving
// windowMax() (the limit the mean tends to as the order grows).
template <class WindowMax>
int ContraharmonicChannel(double numerator, double denominator, double q, WindowMax&& windowMax) {
  if (denominator == 0) return 0;
  const double ratio = numerator / denominator;
  if (ratio != ratio) return q < 0 ? 0 : windowMax();
  return ratio >= 255 ? 255 : static_cast<int>(ratio);
}

// The same filters written straight from their rules: x outer, y inner, the
// window copied and bubble-sorted or summed in its order, one Canvas::put per
// pixel. The fast forms are held to these bit for bit.
namespace reference {
void LowPassFilter(Canvas& canvas, const PixelMatrix& pixels, const Mask3& mask, unsigned divisor);
void HighPassFilter(Canvas& canvas, const PixelMatrix& pixels, const Mask3& mask);
void GaussianFilter(Canvas& canvas, const PixelMatrix& pixels);
void MedianFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
void MaxFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
void MinFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
void MidpointFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
void ArithmeticMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
void GeometricMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
void HarmonicMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n);
void ContraharmonicMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n, int Q);
}  // namespace reference

}  // namespace opta
