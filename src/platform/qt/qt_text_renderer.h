#pragma once
// Text with real fonts: each line is drawn by QPainter into a small image and
// composited into the surface with the device context's text colour, back
// colour and background mode. Glyphs are not antialiased, as the screen fonts
// of the program's era were not: every text pixel is exactly the text colour.
#include "core/surface.h"

namespace opta::qt {

class QtTextRenderer final : public TextRenderer {
 public:
  Size measure(const FontDesc& font, std::string_view text) const override;
  void draw(Surface& surface, int x, int y, std::string_view text) const override;
};

}  // namespace opta::qt
