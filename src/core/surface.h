#pragma once
// Surface: the pixels behind a device context, a row-major raster of colour
// values. Writes outside it are clipped and reads outside it give 0, so no
// command can touch memory it does not own whatever coordinates it computes.
// Each surface also carries the drawing state a device context keeps between
// calls (font, text colour, background mode, pen), because marks are drawn
// "with the context's current font".
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/colour.h"
#include "core/font.h"
#include "core/geometry.h"
#include "core/matrix.h"

namespace opta {

struct DcState {
  FontDesc font;  // the selected font; default: the system font
  Colour textColour = kBlack;
  Colour backColour = kWhite;  // used when the background mode is opaque
  bool transparent = false;    // background mode
  Colour penColour = kBlack;   // 1-pixel solid pen
  Point penPosition;           // MoveTo / LineTo
};

class Surface;

// Draws text into a surface. The platform supplies one with real fonts; the
// built-in one (core/bitmap_font) needs no display and draws the same pixels
// on every machine.
class TextRenderer {
 public:
  virtual ~TextRenderer() = default;
  virtual Size measure(const FontDesc& font, std::string_view text) const = 0;
  // Top-left of the text cell at (x, y), using the surface's DcState.
  virtual void draw(Surface& surface, int x, int y, std::string_view text) const = 0;
};

const TextRenderer& builtInTextRenderer();

class Surface {
 public:
  Surface() = default;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  Surface(Surface&&) noexcept = default;
  Surface& operator=(Surface&&) noexcept = default;

  // New size, every pixel set to fill. False (and an empty surface) when the
  // size is invalid or memory cannot be had.
  bool allocate(int width, int height, Colour fill = kWhite);
  // New size with undefined contents, for a caller that writes every pixel.
  bool allocateForOverwrite(int width, int height) {
    dirty_ = Rect{};
    if (!pixels_.allocate(width, height)) return false;
    dirty_ = bounds();
    return true;
  }
  // New size keeping the pixels that still fit; new area filled.
  bool resize(int width, int height, Colour fill = kWhite);
  void release();

  bool empty() const { return pixels_.empty(); }
  int width() const { return pixels_.width(); }
  int height() const { return pixels_.height(); }
  Size size() const { return Size{width(), height()}; }
  Rect bounds() const { return Rect{0, 0, width(), height()}; }
  bool contains(int x, int y) const { return pixels_.contains(x, y); }

  Colour get(int x, int y) const { return contains(x, y) ? pixels_.at(x, y) : 0; }
  void set(int x, int y, Colour c) {
    if (contains(x, y)) {
      pixels_.at(x, y) = Colour24(c);
      markDirty(Rect{x, y, x + 1, y + 1});
    }
  }

  // Raw rows for fast kernels; a caller that writes through them reports the
  // area with markDirty.
  Colour* row(int y) { return pixels_.row(y); }
  const Colour* row(int y) const { return pixels_.row(y); }
  const PixelMatrix& pixels() const { return pixels_; }

  // Writes n colours starting at (x, y) along the row, clipped.
  void putRow(int x, int y, const Colour* src, int n);
  // Fills [x0, x1) x [y0, y1), clipped. Whiteness is fillRect(..., kWhite).
  void fillRect(int x0, int y0, int x1, int y1, Colour c);
  void fill(Colour c) { fillRect(0, 0, width(), height(), c); }
  // BitBlt SRCCOPY: the w x h block of src at (sx, sy) to (dx, dy). Pixels
  // outside src read as 0; pixels outside this surface are clipped.
  void copyFrom(const Surface& src, int dx, int dy, int sx, int sy, int w, int h);
  // StretchBlt SRCCOPY with nearest-pixel sampling: src rect onto dst rect.
  void stretchFrom(const Surface& src, const Rect& dst, const Rect& srcRect);

  // Pen drawing with the DcState pen: LineTo draws from the current position
  // to (x, y), leaving out the end point, and moves the position there.
  void moveTo(int x, int y) { dc_.penPosition = Point{x, y}; }
  void lineTo(int x, int y);
  // Rectangle(l, t, r, b): outline with the pen over [l, r) x [t, b), inside
  // filled with the white brush.
  void rectangle(int left, int top, int right, int bottom);

  // TextOut at (x, y) with the DcState font, colours and background mode.
  void drawText(int x, int y, std::string_view text);
  Size measureText(std::string_view text) const;
  void setTextRenderer(const TextRenderer* r) { renderer_ = r; }
  bool hasTextRenderer() const { return renderer_ != nullptr; }
  const TextRenderer& textRenderer() const { return renderer_ ? *renderer_ : builtInTextRenderer(); }

  DcState& dc() { return dc_; }
  const DcState& dc() const { return dc_; }

  // The area written since the last takeDirty(): the platform shows it.
  void markDirty(const Rect& r) { dirty_ = Union(dirty_, Intersect(r, bounds())); }
  Rect takeDirty() {
    Rect r = dirty_;
    dirty_ = Rect{};
    return r;
  }

 private:
  void plot(int x, int y, Colour c) {
    if (contains(x, y)) pixels_.at(x, y) = c;
  }

  PixelMatrix pixels_;
  DcState dc_;
  const TextRenderer* renderer_ = nullptr;
  Rect dirty_;
};

}  // namespace opta
