#include "platform/qt/qt_convert.h"

#include <QFontInfo>
#include <QKeyEvent>
#include <cmath>

namespace opta::qt {

QImage SurfaceToImage(const Surface& surface, const Rect& r) {
  const Rect c = Intersect(r, surface.bounds());
  if (c.empty()) return QImage();
  QImage image(c.width(), c.height(), QImage::Format_RGB32);
  for (int y = 0; y < c.height(); ++y) {
    const Colour* src = surface.row(c.top + y) + c.left;
    auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < c.width(); ++x) dst[x] = qRgb(Red(src[x]), Green(src[x]), Blue(src[x]));
  }
  return image;
}

QImage SurfaceToImage(const Surface& surface) { return SurfaceToImage(surface, surface.bounds()); }

bool ImageToSurface(const QImage& image, Surface& out) {
  if (image.isNull()) return false;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  if (!out.allocate(rgb.width(), rgb.height())) return false;
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    Colour* dst = out.row(y);
    for (int x = 0; x < rgb.width(); ++x) dst[x] = Rgb(qRed(src[x]), qGreen(src[x]), qBlue(src[x]));
  }
  out.markDirty(out.bounds());
  return true;
}

QFont ToQFont(const FontDesc& font, int defaultPixelHeight) {
  QFont f;
  if (!font.face.empty()) f.setFamily(ToQString(font.face));
  const int h = font.height != 0 ? std::abs(font.height) : defaultPixelHeight;
  f.setPixelSize(h > 0 ? h : 16);
  if (font.weight > 0) f.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 1, 1000)));
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  f.setStrikeOut(font.strikeOut);
  return f;
}

FontDesc FromQFont(const QFont& font) {
  FontDesc d;
  d.face = font.family().toStdString();
  int px = font.pixelSize();
  if (px <= 0) px = static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
  d.height = px;
  d.weight = font.weight();
  d.italic = font.italic();
  d.underline = font.underline();
  d.strikeOut = font.strikeOut();
  return d;
}

int VirtualKeyOf(int key, bool keypad) {
  if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) return 0x60 + (key - Qt::Key_0);  // VK_NUMPAD0..9
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace:
      return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 0x0D;
    case Qt::Key_Shift:
      return 0x10;
    case Qt::Key_Control:
      return 0x11;
    case Qt::Key_Alt:
      return 0x12;
    case Qt::Key_Pause:
      return 0x13;
    case Qt::Key_CapsLock:
      return 0x14;
    case Qt::Key_Escape:
      return 0x1B;
    case Qt::Key_Space:
      return 0x20;
    case Qt::Key_PageUp:
      return 0x21;
    case Qt::Key_PageDown:
      return 0x22;
    case Qt::Key_End:
      return 0x23;
    case Qt::Key_Home:
      return 0x24;
    case Qt::Key_Left:
      return 0x25;
    case Qt::Key_Up:
      return 0x26;
    case Qt::Key_Right:
      return 0x27;
    case Qt::Key_Down:
      return 0x28;
    case Qt::Key_Print:
      return 0x2C;
    case Qt::Key_Insert:
      return 0x2D;
    case Qt::Key_Delete:
      return 0x2E;
    case Qt::Key_Asterisk:
      return keypad ? 0x6A : 0;
    case Qt::Key_Plus:
      return keypad ? 0x6B : 0xBB;
    case Qt::Key_Minus:
      return keypad ? 0x6D : 0xBD;
    case Qt::Key_Period:
      return keypad ? 0x6E : 0xBE;
    case Qt::Key_Slash:
      return keypad ? 0x6F : 0xBF;
    case Qt::Key_Comma:
      return 0xBC;
    default:
      return 0;
  }
}

namespace {

KeyPress Modifiers(const QKeyEvent& e, KeyPress::Kind kind, int key) {
  const auto m = e.modifiers();
  KeyPress k;
  k.kind = kind;
  k.key = key;
  k.ctrl = m.testFlag(Qt::ControlModifier);
  k.alt = m.testFlag(Qt::AltModifier);
  k.shift = m.testFlag(Qt::ShiftModifier);
  return k;
}

}  // namespace

KeyPress VirtKeyPress(const QKeyEvent& e) {
  return Modifiers(e, KeyPress::Kind::VirtKey,
                   VirtualKeyOf(e.key(), e.modifiers().testFlag(Qt::KeypadModifier)));
}

std::optional<KeyPress> CharPress(const QKeyEvent& e) {
  const QString text = e.text();
  int ch = 0;
  if (text.size() == 1 && text.at(0).unicode() < 0x100) {
    ch = text.at(0).unicode();
  } else if (text.isEmpty()) {
    // Some platforms give no text while Alt or Ctrl is held; the key still
    // types its character as Windows would report it.
    const int key = e.key();
    const bool shift = e.modifiers().testFlag(Qt::ShiftModifier);
    const bool ctrl = e.modifiers().testFlag(Qt::ControlModifier);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
      ch = ctrl ? 1 + (key - Qt::Key_A) : (shift ? 'A' : 'a') + (key - Qt::Key_A);
    } else if (key >= Qt::Key_0 && key <= Qt::Key_9 && !shift && !ctrl) {
      ch = '0' + (key - Qt::Key_0);
    }
  }
  if (ch == 0) return std::nullopt;
  return Modifiers(e, KeyPress::Kind::Char, ch);
}

QString StripMnemonics(std::string_view text) {
  QString out;
  const QString in = ToQString(text);
  for (qsizetype i = 0; i < in.size(); ++i) {
    if (in.at(i) == u'&') {
      if (i + 1 < in.size() && in.at(i + 1) == u'&') {
        out += u'&';
        ++i;
      }
      continue;
    }
    out += in.at(i);
  }
  return out;
}

}  // namespace opta::qt
