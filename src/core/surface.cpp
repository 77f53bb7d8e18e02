#include "core/surface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace opta {

bool Surface::allocate(int width, int height, Colour fill) {
  if (!pixels_.allocate(width, height)) {
    dirty_ = Rect{};
    return false;
  }
  pixels_.fill(Colour24(fill));
  dirty_ = bounds();
  return true;
}

bool Surface::resize(int width, int height, Colour fill) {
  PixelMatrix next;
  if (!next.allocate(width, height)) return false;
  next.fill(Colour24(fill));
  const int w = std::min(width, this->width());
  const int h = std::min(height, this->height());
  for (int y = 0; y < h; ++y) std::memcpy(next.row(y), pixels_.row(y), sizeof(Colour) * w);
  pixels_ = std::move(next);
  dirty_ = bounds();
  return true;
}

void Surface::release() {
  pixels_.release();
  dirty_ = Rect{};
}

void Surface::putRow(int x, int y, const Colour* src, int n) {
  if (y < 0 || y >= height() || n <= 0) return;
  int begin = std::max(0, -x);
  int end = std::min(n, width() - x);
  if (end <= begin) return;
  Colour* dst = pixels_.row(y) + x;
  for (int i = begin; i < end; ++i) dst[i] = Colour24(src[i]);
  markDirty(Rect{x + begin, y, x + end, y + 1});
}

void Surface::fillRect(int x0, int y0, int x1, int y1, Colour c) {
  Rect r = Intersect(Rect{x0, y0, x1, y1}, bounds());
  if (r.empty()) return;
  c = Colour24(c);
  for (int y = r.top; y < r.bottom; ++y) std::fill(pixels_.row(y) + r.left, pixels_.row(y) + r.right, c);
  markDirty(r);
}

void Surface::copyFrom(const Surface& src, int dx, int dy, int sx, int sy, int w, int h) {
  if (w <= 0 || h <= 0) return;
  // Destination clip first; anything that then falls outside src reads as 0.
  Rect d = Intersect(Rect{dx, dy, dx + w, dy + h}, bounds());
  if (d.empty()) return;
  const bool overlap = &src == this;
  PixelMatrix copy;
  const Surface* from = &src;
  Surface tmp;
  if (overlap) {  // same surface: go through a copy so blocks may overlap
    tmp.allocate(width(), height());
    for (int y = 0; y < height(); ++y) std::memcpy(tmp.row(y), row(y), sizeof(Colour) * width());
    from = &tmp;
  }
  for (int y = d.top; y < d.bottom; ++y) {
    const int syy = sy + (y - dy);
    Colour* out = pixels_.row(y);
    for (int x = d.left; x < d.right; ++x) out[x] = from->get(sx + (x - dx), syy);
  }
  markDirty(d);
}

void Surface::stretchFrom(const Surface& src, const Rect& dst, const Rect& s) {
  const int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
  const int sw = s.right - s.left, sh = s.bottom - s.top;
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
  Rect d = Intersect(Rect{std::min(dst.left, dst.right), std::min(dst.top, dst.bottom),
                          std::max(dst.left, dst.right), std::max(dst.top, dst.bottom)},
                     bounds());
  if (d.empty()) return;
  for (int y = d.top; y < d.bottom; ++y) {
    const long long ry = static_cast<long long>(y - dst.top) * sh;
    const int syy = s.top + static_cast<int>(ry / dh);
    Colour* out = pixels_.row(y);
    for (int x = d.left; x < d.right; ++x) {
      const long long rx = static_cast<long long>(x - dst.left) * sw;
      out[x] = src.get(s.left + static_cast<int>(rx / dw), syy);
    }
  }
  markDirty(d);
}

void Surface::lineTo(int x1, int y1) {
  // Bresenham from the current position; the end point is not drawn.
  int x0 = dc_.penPosition.x, y0 = dc_.penPosition.y;
  const int ex = x1, ey = y1;
  const Colour c = Colour24(dc_.penColour);
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  Rect touched{};
  while (!(x0 == ex && y0 == ey)) {
    plot(x0, y0, c);
    touched = Union(touched, Rect{x0, y0, x0 + 1, y0 + 1});
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
  markDirty(touched);
  dc_.penPosition = Point{ex, ey};
}

void Surface::rectangle(int left, int top, int right, int bottom) {
  const int l = std::min(left, right), r = std::max(left, right);
  const int t = std::min(top, bottom), b = std::max(top, bottom);
  if (r - l < 1 || b - t < 1) return;
  fillRect(l, t, r, b, kWhite);
  const Point saved = dc_.penPosition;
  moveTo(l, t);
  lineTo(r - 1, t);
  lineTo(r - 1, b - 1);
  lineTo(l, b - 1);
  lineTo(l, t);
  dc_.penPosition = saved;
}

void Surface::drawText(int x, int y, std::string_view text) {
  if (text.empty() || empty()) return;
  textRenderer().draw(*this, x, y, text);
}

Size Surface::measureText(std::string_view text) const { return textRenderer().measure(dc_.font, text); }

}  // namespace opta
