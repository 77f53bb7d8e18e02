#pragma once
// Shape marks ("C", "S", "T") and similarity groups of labelled objects,
// drawn beside each object's first pixel.
#include <array>
#include <cstdint>
#include <functional>

#include "core/canvas.h"
#include "core/matrix.h"

namespace opta {

void MarkCircles(Canvas& canvas, const ByteMatrix& mask, int width, int height);
void MarkSquares(Canvas& canvas, const ByteMatrix& mask, int width, int height);
void MarkTriangles(Canvas& canvas, const ByteMatrix& mask, int width, int height);

void GroupByArea(Canvas& canvas, const ByteMatrix& mask, int width, int height);
void GroupByPerimeter(Canvas& canvas, const ByteMatrix& mask, int width, int height);
void GroupByIntensity(Canvas& canvas, const PixelMatrix& pixels, const ByteMatrix& mask, int width,
                      int height);

// Group numbers per label, 0 = none. Each starter 0..lastStarter without a
// group opens group g and pulls in every partner i+1..lastPartner that is
// close to it, even one already grouped. Labels that occur nowhere take part.
using GroupTable = std::array<std::int32_t, 256>;
GroupTable AssignGroups(int lastStarter, int lastPartner, const std::function<bool(int, int)>& close);

// |a - b| < 5 on unsigned measurements, the difference read as signed 32-bit.
inline bool WithinFive(std::uint32_t a, std::uint32_t b) {
  const std::int64_t d = static_cast<std::int32_t>(a - b);
  return (d < 0 ? -d : d) < 5;
}
// |a - b| < 5.0 on single-precision perimeters.
inline bool WithinFive(float a, float b) {
  const float d = a - b;
  return (d < 0.0f ? -d : d) < 5.0f;
}

}  // namespace opta
