#pragma once
// Conversions between the program's own types and Qt's: surfaces and images,
// colours, fonts, and Qt key events as the accelerator table sees them.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <optional>
#include <string_view>

#include "core/colour.h"
#include "core/font.h"
#include "core/geometry.h"
#include "core/surface.h"
#include "shell/shell.h"

class QKeyEvent;

namespace opta::qt {

inline QString ToQString(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline QColor ToQColor(Colour c) { return QColor(Red(c), Green(c), Blue(c)); }
inline Colour FromQColor(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

// The pixels of r (clipped to the surface) as an opaque RGB32 image. Surface
// colours keep 0 in the top byte, which Qt would read as transparent, so
// each pixel is repacked rather than the rows wrapped.
QImage SurfaceToImage(const Surface& surface, const Rect& r);
QImage SurfaceToImage(const Surface& surface);
// Any image into a surface of its size; false when the surface cannot be had.
bool ImageToSurface(const QImage& image, Surface& out);

// FontDesc heights are character heights in pixels; 0 takes the default.
QFont ToQFont(const FontDesc& font, int defaultPixelHeight = 16);
FontDesc FromQFont(const QFont& font);

// A Qt key as a Windows virtual-key code, or 0 when it has none.
int VirtualKeyOf(int qtKey, bool keypad);
// The two ways a key reaches the accelerator table: the key itself (WM_KEYDOWN)
// and the character it types (WM_CHAR / WM_SYSCHAR), when it types one.
KeyPress VirtKeyPress(const QKeyEvent& e);
std::optional<KeyPress> CharPress(const QKeyEvent& e);

// Win32 controls show "&x" as an underlined x and "&&" as "&"; Qt labels
// without a buddy show ampersands as they are.
QString StripMnemonics(std::string_view text);

}  // namespace opta::qt
