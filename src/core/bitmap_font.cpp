// Placeholder built-in text renderer: fixed 8x16 cells. Replaced by real glyphs.
#include <algorithm>

#include "core/surface.h"

namespace opta {
namespace {

class BuiltInRenderer final : public TextRenderer {
 public:
  Size measure(const FontDesc&, std::string_view text) const override {
    return Size{static_cast<int>(text.size()) * 8, 16};
  }
  void draw(Surface& s, int x, int y, std::string_view text) const override {
    const DcState& dc = s.dc();
    Size sz = measure(dc.font, text);
    if (!dc.transparent) s.fillRect(x, y, x + sz.width, y + sz.height, dc.backColour);
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == ' ') continue;
      const int cx = x + static_cast<int>(i) * 8;
      for (int yy = 3; yy < 13; ++yy)
        s.set(cx + 1, y + yy, dc.textColour), s.set(cx + 6, y + yy, dc.textColour);
    }
  }
};

}  // namespace

const TextRenderer& builtInTextRenderer() {
  static const BuiltInRenderer renderer;
  return renderer;
}

}  // namespace opta
