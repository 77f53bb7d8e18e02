#include "platform/qt/font_chooser.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <array>

#include "platform/qt/qt_convert.h"

namespace opta::qt {
namespace {

struct NamedColour {
  const char* name;
  Colour value;
};
// The colours the classic chooser lists, in its order.
constexpr std::array<NamedColour, 16> kColours{{
    {"Black", Rgb(0, 0, 0)},
    {"Maroon", Rgb(128, 0, 0)},
    {"Green", Rgb(0, 128, 0)},
    {"Olive", Rgb(128, 128, 0)},
    {"Navy", Rgb(0, 0, 128)},
    {"Purple", Rgb(128, 0, 128)},
    {"Teal", Rgb(0, 128, 128)},
    {"Gray", Rgb(128, 128, 128)},
    {"Silver", Rgb(192, 192, 192)},
    {"Red", Rgb(255, 0, 0)},
    {"Lime", Rgb(0, 255, 0)},
    {"Yellow", Rgb(255, 255, 0)},
    {"Blue", Rgb(0, 0, 255)},
    {"Fuchsia", Rgb(255, 0, 255)},
    {"Aqua", Rgb(0, 255, 255)},
    {"White", Rgb(255, 255, 255)},
}};

QIcon Swatch(Colour c) {
  QPixmap pm(24, 12);
  pm.fill(ToQColor(c));
  QPainter p(&pm);
  p.setPen(Qt::black);
  p.drawRect(0, 0, pm.width() - 1, pm.height() - 1);
  return QIcon(pm);
}

}  // namespace

FontChooser::FontChooser(const FontDesc& initial, Colour colour, QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("Font"));
  setModal(true);
  panel_ = new QFontDialog(this);
  panel_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
  panel_->setWindowFlags(Qt::Widget);
  panel_->setCurrentFont(ToQFont(initial));

  colours_ = new QComboBox(this);
  for (const auto& c : kColours)
    colours_->addItem(Swatch(c.value), QString::fromLatin1(c.name), QVariant::fromValue<uint>(c.value));
  int index = colours_->findData(QVariant::fromValue<uint>(Colour24(colour)));
  if (index < 0) {
    colours_->addItem(Swatch(colour), QStringLiteral("Custom"), QVariant::fromValue<uint>(Colour24(colour)));
    index = colours_->count() - 1;
  }
  colours_->setCurrentIndex(index);

  auto* colourRow = new QHBoxLayout;
  colourRow->addWidget(new QLabel(QStringLiteral("&Color:"), this));
  colourRow->addWidget(colours_);
  colourRow->addStretch();
  static_cast<QLabel*>(colourRow->itemAt(0)->widget())->setBuddy(colours_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel_);
  layout->addLayout(colourRow);
  layout->addWidget(buttons);
}

FontDesc FontChooser::font() const { return FromQFont(panel_->currentFont()); }

Colour FontChooser::colour() const { return colours_->currentData().toUInt(); }

}  // namespace opta::qt
