#pragma once
// The white painting an operation does before drawing, less the part its
// result is about to cover anyway: what stays visible is the same, and the
// window is written once instead of twice.
#include <algorithm>

#include "core/surface.h"

namespace opta {

// Paints `white` on the surface except the result's [0, resultW) x [0, resultH);
// both start at the origin, so what is left is a strip to the right and one below.
inline void WhitenAround(Surface& s, const Rect& white, int resultW, int resultH) {
  const Rect covered = Intersect(Rect{0, 0, resultW, resultH}, s.bounds());
  const Rect area = Intersect(white, s.bounds());
  if (area.empty()) return;
  if (covered.empty()) {
    s.fillRect(area.left, area.top, area.right, area.bottom, kWhite);
    return;
  }
  // Right of the result, then below it.
  s.fillRect(std::max(area.left, covered.right), area.top, area.right, area.bottom, kWhite);
  s.fillRect(area.left, std::max(area.top, covered.bottom), std::min(area.right, covered.right), area.bottom,
             kWhite);
}

}  // namespace opta
