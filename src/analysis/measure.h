#pragma once
// Per-label measurements of the labelled mask: area, perimeter and mean gray
// intensity, one table entry per mask value 0..255. Measurements are taken per
// value, so two objects that share a label after the wrap-around count as one.
#include <array>
#include <cstdint>
#include <cstring>

#include "core/matrix.h"

namespace opta {

using AreaTable = std::array<std::uint32_t, 256>;
using PerimeterTable = std::array<float, 256>;
using IntensityTable = std::array<std::uint32_t, 256>;

// The tables the classification, blood-cell and training commands read;
// each measurement clears its table first.
inline AreaTable ObjectArea{};
inline PerimeterTable ObjectPerimeter{};
inline IntensityTable ObjectMeanIntensity{};

// Width and height beyond the mask (or pixel matrix) are clipped to it, so a
// stale or missing mask can never be read outside its storage.
void MeasureAreas(const ByteMatrix& mask, int height, int width);
void MeasurePerimeters(const ByteMatrix& mask, int width, int height);
void MeasureMeanIntensities(const PixelMatrix& pixels, const ByteMatrix& mask, int width, int height);

// The kernels behind the three, writing into a caller's table. The fast forms
// split rows across cores; the reference forms follow the rules loop for loop.
void ComputeAreas(const ByteMatrix& mask, int width, int height, AreaTable& out);
void ComputeAreasReference(const ByteMatrix& mask, int width, int height, AreaTable& out);
void ComputePerimeters(const ByteMatrix& mask, int width, int height, PerimeterTable& out);
void ComputePerimetersReference(const ByteMatrix& mask, int width, int height, PerimeterTable& out);
void ComputeMeanIntensities(const PixelMatrix& pixels, const ByteMatrix& mask, int width, int height,
                            AreaTable& areas, IntensityTable& out);
void ComputeMeanIntensitiesReference(const PixelMatrix& pixels, const ByteMatrix& mask, int width, int height,
                                     AreaTable& areas, IntensityTable& out);

// The perimeter rule on one interior row (neither the first nor the last):
// every amount it adds, in its order (x ascending), as step(x, dy, halves):
// `halves` halves of a pixel go to the value of the pixel at column x of
// the row dy away (-1 above, 0 this row, 1 below). Stretches of eight
// pixels that agree with their right neighbours, while above and below
// agree too, add nothing and are passed over at once.
template <class Step>
void InteriorPerimeterSteps(const std::uint8_t* up, const std::uint8_t* cur, const std::uint8_t* dn,
                            int width, Step&& step) {
  if (cur[0]) step(0, 0, 2);
  auto pixel = [&](int x) {
    const std::uint8_t v = cur[x], r = cur[x + 1];
    if (v != r) {
      step(v ? x : x + 1, 0, 2);
    } else if (up[x] != dn[x]) {
      step(x, v ? 0 : (up[x] ? -1 : 1), 1);
    }
  };
  int x = 1;
  while (x + 8 <= width - 1) {
    std::uint64_t a, b, u, d;
    std::memcpy(&a, cur + x, 8);
    std::memcpy(&b, cur + x + 1, 8);
    std::memcpy(&u, up + x, 8);
    std::memcpy(&d, dn + x, 8);
    if (a != b || u != d)
      for (int k = 0; k < 8; ++k) pixel(x + k);
    x += 8;
  }
  for (; x <= width - 2; ++x) pixel(x);
  if (width > 1 && cur[width - 1]) step(width - 1, 0, 2);
}

// The grays of n pixels as the mean-intensity sums add them: each pixel's
// single-precision gray with its fraction dropped.
std::uint64_t IntensitySum(const Colour* pixels, int n);

// P * P / A in double precision: near 15-16 for a digital disc, larger for
// elongated shapes. The single ratio is the same value rounded to float.
inline double ShapeRatio(float perimeter, std::uint32_t area) {
  return static_cast<double>(perimeter) * static_cast<double>(perimeter) * 1.0 / static_cast<double>(area);
}
inline float SingleShapeRatio(double ratio) { return static_cast<float>(ratio); }

// The first pixel of every label in the marking order: the smallest x, and
// the smallest y within that column. x is -1 for a label that occurs nowhere.
struct FirstPixels {
  std::array<int, 256> x;
  std::array<int, 256> y;
  bool has(int label) const { return x[static_cast<std::uint8_t>(label)] >= 0; }
};
FirstPixels FindFirstPixels(const ByteMatrix& mask, int width, int height);
FirstPixels FindFirstPixelsReference(const ByteMatrix& mask, int width, int height);

}  // namespace opta
