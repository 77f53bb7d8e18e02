// One channel as a gray picture, and the three false-colour channel orders.
#include "core/row_writer.h"
#include "pointops/kernels.h"

namespace opta {

void RedComponent(Canvas& canvas, const PixelMatrix& pixels) {
  MapPixels(canvas, pixels, [](Colour c) { return (c & 0xFF) * 0x010101; });
}

void GreenComponent(Canvas& canvas, const PixelMatrix& pixels) {
  MapPixels(canvas, pixels, [](Colour c) { return ((c >> 8) & 0xFF) * 0x010101; });
}

void BlueComponent(Canvas& canvas, const PixelMatrix& pixels) {
  MapPixels(canvas, pixels, [](Colour c) { return ((c >> 16) & 0xFF) * 0x010101; });
}

// (r, g, b) -> (g, b, r): every channel moves down one place, red to the top.
void FalseColour1(Canvas& canvas, const PixelMatrix& pixels) {
  MapPixels(canvas, pixels, [](Colour c) { return ((c >> 8) & 0xFFFF) | (c & 0xFF) << 16; });
}

// (r, g, b) -> (b, r, g): every channel moves up one place, blue to the bottom.
void FalseColour2(Canvas& canvas, const PixelMatrix& pixels) {
  MapPixels(canvas, pixels, [](Colour c) { return (c << 8 & 0xFFFF00) | ((c >> 16) & 0xFF); });
}

// (r, g, b) -> (b, g, r): red and blue exchanged.
void FalseColour3(Canvas& canvas, const PixelMatrix& pixels) {
  MapPixels(canvas, pixels, [](Colour c) { return (c & 0x00FF00) | (c & 0xFF) << 16 | ((c >> 16) & 0xFF); });
}

}  // namespace opta
