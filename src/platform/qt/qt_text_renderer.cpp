#include "platform/qt/qt_text_renderer.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "platform/qt/qt_convert.h"

namespace opta::qt {
namespace {

QFont RenderFont(const FontDesc& desc) {
  QFont f = ToQFont(desc);
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

// Cap what one TextOut may cover, so a huge font cannot ask for a huge image.
constexpr int kMaxTextExtent = 16384;

// [left, right) x [top, bottom) within the surface; empty when outside it.
Rect Clipped(const Surface& s, long long left, long long top, long long right, long long bottom) {
  left = std::max(left, 0LL);
  top = std::max(top, 0LL);
  right = std::min<long long>(right, s.width());
  bottom = std::min<long long>(bottom, s.height());
  if (right <= left || bottom <= top) return Rect{};
  return Rect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
              static_cast<int>(bottom)};
}

}  // namespace

Size QtTextRenderer::measure(const FontDesc& font, std::string_view text) const {
  const QFontMetrics fm(RenderFont(font));
  return Size{fm.horizontalAdvance(ToQString(text)), fm.height()};
}

void QtTextRenderer::draw(Surface& surface, int x, int y, std::string_view text) const {
  const DcState& dc = surface.dc();
  const QFont font = RenderFont(dc.font);
  const QFontMetrics fm(font);
  const QString s = ToQString(text);
  const long long w = std::min(fm.horizontalAdvance(s), kMaxTextExtent);
  const long long h = std::min(fm.height(), kMaxTextExtent);
  if (w <= 0 || h <= 0) return;
  // Italic glyphs lean past the cell's sides (and a hook like j's reaches
  // left of it): the ink is drawn wherever it falls, within a cell's height
  // of the cell. Worked in 64 bits, so any position is safe.
  const QRect ink = fm.boundingRect(s);
  const long long cx = x, cy = y, baseline = cy + fm.ascent();
  const long long left = std::max(std::min(cx, cx + ink.left() - 1), cx - h);
  const long long right = std::min(std::max(cx + w, cx + ink.right() + 2), cx + w + h);
  const long long top = std::max(std::min(cy, baseline + ink.top() - 1), cy - h);
  const long long bottom = std::min(std::max(cy + h, baseline + ink.bottom() + 2), cy + 2 * h);
  const Rect area = Clipped(surface, left, top, right, bottom);
  if (area.empty()) return;

  // Only the visible part is rendered, at the same pen position relative to
  // the text, so a text cut by an edge keeps exactly the pixels it has whole.
  QImage mask(area.width(), area.height(), QImage::Format_ARGB32_Premultiplied);
  if (mask.isNull()) return;  // no memory for it: nothing drawn
  mask.fill(Qt::transparent);
  {
    QPainter p(&mask);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPoint(static_cast<int>(cx - area.left), static_cast<int>(baseline - area.top)), s);
  }
  const Rect cell = Clipped(surface, cx, cy, cx + w, cy + h);
  if (!dc.transparent && !cell.empty())
    surface.fillRect(cell.left, cell.top, cell.right, cell.bottom, dc.backColour);
  const Colour colour = Colour24(dc.textColour);
  for (int row = 0; row < area.height(); ++row) {
    const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(row));
    Colour* dst = surface.row(area.top + row) + area.left;
    for (int col = 0; col < area.width(); ++col)
      if (qAlpha(m[col]) >= 128) dst[col] = colour;
  }
  surface.markDirty(area);
}

}  // namespace opta::qt
