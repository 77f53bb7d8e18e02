#pragma once
// The font chooser with effects and a colour: Qt's font panel (which has the
// strike-out and underline effects) beside the sixteen-colour list of the
// classic chooser.
#include <QDialog>

#include "core/colour.h"
#include "core/font.h"

class QComboBox;
class QFontDialog;

namespace opta::qt {

class FontChooser final : public QDialog {
 public:
  FontChooser(const FontDesc& initial, Colour colour, QWidget* owner);
  FontDesc font() const;
  Colour colour() const;

  QFontDialog* fontPanel() const { return panel_; }
  QComboBox* colourList() const { return colours_; }

 private:
  QFontDialog* panel_;
  QComboBox* colours_;
};

}  // namespace opta::qt
