#include "platform/qt/qt_text_renderer.h"

#include <QFontMetrics>
#include <QPainter>

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
  const int w = std::min(fm.horizontalAdvance(s), kMaxTextExtent);
  const int h = std::min(fm.height(), kMaxTextExtent);
  if (w <= 0 || h <= 0) return;
  const Rect cell = Intersect(Rect{x, y, x + w, y + h}, surface.bounds());
  if (cell.empty()) return;

  // Only the visible part of the cell is rendered.
  QImage mask(cell.width(), cell.height(), QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  {
    QPainter p(&mask);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPoint(x - cell.left, y - cell.top + fm.ascent()), s);
  }
  if (!dc.transparent) surface.fillRect(cell.left, cell.top, cell.right, cell.bottom, dc.backColour);
  const Colour ink = Colour24(dc.textColour);
  for (int row = 0; row < cell.height(); ++row) {
    const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(row));
    Colour* dst = surface.row(cell.top + row) + cell.left;
    for (int col = 0; col < cell.width(); ++col)
      if (qAlpha(m[col]) >= 128) dst[col] = ink;
  }
  surface.markDirty(cell);
}

}  // namespace opta::qt
