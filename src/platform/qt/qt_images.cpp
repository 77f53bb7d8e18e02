#include "platform/qt/qt_images.h"

#include <QImage>

#include "platform/qt/qt_convert.h"
#include "resources/images.h"

namespace opta::qt {
namespace {

// Colour surface plus alpha mask as one straight-alpha image.
QImage WithAlpha(const Surface& colour, const ByteMatrix& alpha) {
  QImage image(colour.width(), colour.height(), QImage::Format_ARGB32);
  for (int y = 0; y < colour.height(); ++y) {
    auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
    const Colour* src = colour.row(y);
    for (int x = 0; x < colour.width(); ++x) {
      const int a = alpha.contains(x, y) ? alpha.at(x, y) : 255;
      dst[x] = qRgba(Red(src[x]), Green(src[x]), Blue(src[x]), a);
    }
  }
  return image;
}

}  // namespace

QImage ProgramIconImage(int size) {
  return WithAlpha(resources::appIcon(size), resources::appIconAlpha(size));
}

QPixmap ResourcePixmap(std::string_view name) {
  if (name == "191") return QPixmap::fromImage(ProgramIconImage(32));
  if (name == "MYBP2") return QPixmap::fromImage(SurfaceToImage(resources::aboutPicture()));
  return QPixmap();  // a name the resources do not hold shows nothing
}

QIcon ProgramIcon() {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(ProgramIconImage(16)));
  icon.addPixmap(QPixmap::fromImage(ProgramIconImage(32)));
  return icon;
}

std::vector<QIcon> ToolbarIcons(platform::ToolbarKind kind) {
  const bool large = kind == platform::ToolbarKind::Large;
  const int side = large ? 32 : 16;
  const QImage strip = large ? WithAlpha(resources::largeToolbarStrip(), resources::largeToolbarAlpha())
                             : WithAlpha(resources::smallToolbarStrip(), resources::smallToolbarAlpha());
  std::vector<QIcon> icons;
  for (int i = 0; i < resources::kToolbarImages; ++i) {
    const QImage cell = strip.copy(i * side, 0, side, side);
    icons.emplace_back(QPixmap::fromImage(cell));
  }
  return icons;
}

}  // namespace opta::qt
