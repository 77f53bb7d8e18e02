#pragma once
// The 3x3 mask shared by the convolution filters, the edge detectors and the
// morphology elements: nine signed 16-bit coefficients, three rows of three.
// Row index i pairs with the horizontal offset dx = i - 1 and column index j
// with the vertical offset dy = j - 1, so coefficient 3 * (dx + 1) + (dy + 1)
// weighs the pixel at (x + dx, y + dy). Written as the tables print it, row
// by row, a mask therefore reads transposed against the picture.
#include <array>
#include <cstdint>

#include "core/colour.h"
#include "core/matrix.h"

namespace opta {

struct Mask3 {
  std::array<std::int16_t, 9> c{};

  constexpr int at(int dx, int dy) const { return c[3 * (dx + 1) + (dy + 1)]; }
  friend constexpr bool operator==(const Mask3&, const Mask3&) = default;
};

// Rows y - 1, y and y + 1 of a matrix, each pointing at column x0: what a
// row kernel needs to visit the 3x3 neighbourhoods of (x0 + i, y).
struct Rows3 {
  const Colour* up;
  const Colour* mid;
  const Colour* down;
  const Colour* at(int dy) const { return dy < 0 ? up : (dy > 0 ? down : mid); }
  Rows3 from(int i) const { return Rows3{up + i, mid + i, down + i}; }
};

inline Rows3 RowsAround(const PixelMatrix& p, int x0, int y) {
  return Rows3{p.row(y - 1) + x0, p.row(y) + x0, p.row(y + 1) + x0};
}

// Per-channel sums of one neighbourhood under a mask.
struct ChannelSums {
  int red = 0, green = 0, blue = 0;
};

// The mask convolution at (x, y), written straight from the rule: dx outer,
// dy inner, each channel times its coefficient added to a signed 32-bit sum.
// (x, y) must have all eight neighbours inside the matrix.
inline ChannelSums Convolve3(const PixelMatrix& pixels, int x, int y, const Mask3& mask) {
  ChannelSums s;
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) {
      const Colour v = pixels.at(x + dx, y + dy);
      const int k = mask.at(dx, dy);
      s.red += Red(v) * k;
      s.green += Green(v) * k;
      s.blue += Blue(v) * k;
    }
  return s;
}

}  // namespace opta
