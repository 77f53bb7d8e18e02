#pragma once
// The white painting an operation does before drawing, less the part its
// result is about to cover anyway: what stays visible is the same, and the
// window is written once instead of twice.
#include <algorithm>

#include "core/surface.h"

namespace opta {

// Paints `white` on the surface except `covered`: the strips above and below
// it, then the pieces left and right of it.
inline void WhitenAround(Surface& s, const Rect& white, const Rect& covered) {
  const Rect area = Intersect(white, s.bounds());
  if (area.empty()) return;
  const Rect keep = Intersect(covered, area);
  if (keep.empty()) {
    s.fillRect(area.left, area.top, area.right, area.bottom, kWhite);
    return;
  }
  s.fillRect(area.left, area.top, area.right, keep.top, kWhite);
  s.fillRect(area.left, keep.bottom, area.right, area.bottom, kWhite);
  s.fillRect(area.left, keep.top, keep.left, keep.bottom, kWhite);
  s.fillRect(keep.right, keep.top, area.right, keep.bottom, kWhite);
}

// A result drawn at the origin, resultW x resultH.
inline void WhitenAround(Surface& s, const Rect& white, int resultW, int resultH) {
  WhitenAround(s, white, Rect{0, 0, std::max(0, resultW), std::max(0, resultH)});
}

}  // namespace opta
