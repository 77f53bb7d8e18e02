// The client area shows the window surface; the choosers, clipboard and
// message boxes hand the program exactly what it asked for.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "platform/qt/font_chooser.h"
#include "platform/qt/qt_convert.h"
#include "qt/desktop_fixture.h"

namespace opta::qt::test {
namespace {

TEST(QtPaint, ClientAreaShowsTheWindowSurface) {
  auto d = StartDesktop();
  Surface& s = d->shell.windowSurface();
  ASSERT_EQ(s.size(), (Size{d->window.view()->width(), d->window.view()->height()}));
  // The top byte of a colour is 0; it must still draw opaque.
  s.set(3, 4, Rgb(0x12, 0x34, 0x56));
  s.fillRect(10, 10, 20, 15, Rgb(255, 0, 0));
  d->window.flush();
  const QImage shot = d->window.view()->grab().toImage();
  EXPECT_EQ(shot.pixelColor(3, 4), QColor(0x12, 0x34, 0x56));
  EXPECT_EQ(shot.pixelColor(19, 14), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(20, 14), QColor(Qt::white));
}

TEST(QtText, TextUsesARealFontAndTheContextColours) {
  EnsureApp();
  QtUi ui;
  EXPECT_EQ(QFontInfo(ToQFont(FontDesc{})).family(), QStringLiteral("DejaVu Sans"));
  Surface s;
  ASSERT_TRUE(s.allocate(80, 30, kWhite));
  s.setTextRenderer(&ui.textRenderer());
  s.dc().textColour = Rgb(0, 0, 200);
  s.dc().backColour = Rgb(0, 200, 0);
  s.dc().transparent = false;
  s.drawText(2, 2, "Hg");
  const Size size = s.measureText("Hg");
  ASSERT_GT(size.width, 0);
  int ink = 0, back = 0, other = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x) {
      const Colour c = s.get(x, y);
      ink += c == Rgb(0, 0, 200);
      back += c == Rgb(0, 200, 0);
      other += c != Rgb(0, 0, 200) && c != Rgb(0, 200, 0) && c != kWhite;
    }
  EXPECT_GT(ink, 10);
  EXPECT_EQ(ink + back, size.width * size.height);  // opaque: the whole cell
  EXPECT_EQ(other, 0);                              // no blended pixels
  EXPECT_EQ(s.get(2 + size.width, 2), kWhite);

  s.fill(kWhite);
  s.dc().transparent = true;
  s.drawText(-3, 20, "Hg");  // partly outside: clipped, no crash
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x) EXPECT_NE(s.get(x, y), Rgb(0, 200, 0));
}

TEST(QtMessageBoxes, ButtonsIconsAndAnswers) {
  EnsureApp();
  QtUi ui;
  struct Seen {
    QString text, caption;
    QMessageBox::Icon icon;
    int buttons;
  } seen{};
  auto record = [&](bool pressCancel) {
    return [&, pressCancel](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (!box) return;
      seen = {box->text(), box->windowTitle(), box->icon(), static_cast<int>(box->buttons().size())};
      box->button(pressCancel ? QMessageBox::Cancel : QMessageBox::Ok)->click();
    };
  };
  {
    ModalCloser closer(record(true));
    EXPECT_EQ(ui.messageBox("Area <b>5</b>", "OPTA", platform::MB_OKCANCEL | platform::MB_ICONQUESTION), 2);
  }
  EXPECT_EQ(seen.text, QStringLiteral("Area <b>5</b>"));  // shown as typed, not as markup
  EXPECT_EQ(seen.caption, QStringLiteral("OPTA"));
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_EQ(seen.buttons, 2);
  {
    ModalCloser closer(record(false));
    EXPECT_EQ(ui.messageBox("bsuccess", "", platform::MB_OK | platform::MB_ICONHAND), 1);
  }
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.buttons, 1);
  {
    ModalCloser closer([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(ui.messageBox("x", "y", platform::MB_OK), 1);  // Escape on OK alone answers OK
  }
}

TEST(QtFileDialogs, FiltersExtensionAndTheSharedLastPath) {
  EnsureApp();
  QtUi ui;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("cells.bmp"));
  QFile(path).open(QIODevice::WriteOnly);

  platform::FileDialogState state;
  QStringList filters;
  QString suffix;
  {
    ModalCloser closer([&](QWidget* w) {
      auto* fd = qobject_cast<QFileDialog*>(w);
      if (!fd) return;
      filters = fd->nameFilters();
      suffix = fd->defaultSuffix();
      fd->selectFile(path);
      static_cast<QDialog*>(fd)->accept();
    });
    const auto chosen = ui.openFileDialog(state);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QString::fromStdString(*chosen), path);
  }
  EXPECT_EQ(filters, FileDialogFilters());
  EXPECT_EQ(filters.at(0), QStringLiteral("Bitmap Files (*.BMP) (*.bmp)"));
  EXPECT_EQ(suffix, QStringLiteral("bmp"));
  EXPECT_EQ(QString::fromStdString(state.lastPath), path);

  // Save starts where Open left off; Cancel keeps the remembered path.
  QString startDir;
  {
    ModalCloser closer([&](QWidget* w) {
      if (auto* fd = qobject_cast<QFileDialog*>(w)) {
        startDir = fd->directory().absolutePath();
        fd->reject();
      }
    });
    EXPECT_FALSE(ui.saveFileDialog(state).has_value());
  }
  EXPECT_EQ(startDir, QFileInfo(path).absolutePath());
  EXPECT_EQ(QString::fromStdString(state.lastPath), path);
}

TEST(QtChoosers, ColourChooserKeepsTheSixteenCustomColours) {
  EnsureApp();
  QtUi ui;
  std::array<Colour, 16> custom{};
  custom[0] = Rgb(10, 20, 30);
  custom[15] = Rgb(200, 100, 50);
  QColor seenFirst, seenInitial;
  Colour chosen = 0;
  {
    ModalCloser closer([&](QWidget* w) {
      auto* cd = qobject_cast<QColorDialog*>(w);
      if (!cd) return;
      seenFirst = QColorDialog::customColor(0);
      seenInitial = cd->currentColor();
      QColorDialog::setCustomColor(3, QColor(1, 2, 3));
      cd->setCurrentColor(QColor(255, 128, 0));
      cd->accept();
    });
    EXPECT_TRUE(ui.chooseColour(Rgb(128, 128, 128), custom, chosen));
  }
  EXPECT_EQ(seenFirst, QColor(10, 20, 30));
  EXPECT_EQ(seenInitial, QColor(128, 128, 128));
  EXPECT_EQ(chosen, Rgb(255, 128, 0));
  EXPECT_EQ(custom[3], Rgb(1, 2, 3));
  EXPECT_EQ(custom[15], Rgb(200, 100, 50));
  {
    ModalCloser closer([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    chosen = 7;
    EXPECT_FALSE(ui.chooseColour(kBlack, custom, chosen));
    EXPECT_EQ(chosen, 7u);
  }
}

TEST(QtChoosers, FontChooserReturnsFontEffectsAndColour) {
  EnsureApp();
  QtUi ui;
  FontDesc font;
  font.height = 20;
  Colour colour = kBlack;
  {
    ModalCloser closer([](QWidget* w) {
      auto* fc = dynamic_cast<FontChooser*>(w);
      if (!fc) return;
      QFont f(QStringLiteral("DejaVu Sans"));
      f.setPixelSize(24);
      f.setBold(true);
      f.setUnderline(true);
      f.setStrikeOut(true);
      fc->fontPanel()->setCurrentFont(f);
      fc->colourList()->setCurrentIndex(fc->colourList()->findText(QStringLiteral("Red")));
      fc->accept();
    });
    ASSERT_TRUE(ui.chooseFont(font, colour));
  }
  EXPECT_EQ(font.face, "DejaVu Sans");
  EXPECT_EQ(font.weight, 700);
  EXPECT_TRUE(font.underline);
  EXPECT_TRUE(font.strikeOut);
  EXPECT_GT(font.height, 0);
  EXPECT_EQ(colour, Rgb(255, 0, 0));

  const FontDesc before = font;
  ModalCloser closer([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  EXPECT_FALSE(ui.chooseFont(font, colour));
  EXPECT_EQ(font, before);
}

TEST(QtClipboard, ClipboardImageIsTheClipboardBitmap) {
  EnsureApp();
  QtUi ui;
  QImage image(4, 3, QImage::Format_RGB32);
  image.fill(QColor(9, 8, 7));
  image.setPixelColor(3, 2, QColor(200, 0, 100));
  QGuiApplication::clipboard()->setImage(image);
  ASSERT_TRUE(ui.clipboardHasBitmap());
  Surface s;
  ASSERT_TRUE(ui.clipboardBitmap(s));
  EXPECT_EQ(s.size(), (Size{4, 3}));
  EXPECT_EQ(s.get(0, 0), Rgb(9, 8, 7));
  EXPECT_EQ(s.get(3, 2), Rgb(200, 0, 100));

  QGuiApplication::clipboard()->setText(QStringLiteral("not a picture"));
  EXPECT_FALSE(ui.clipboardHasBitmap());
  EXPECT_FALSE(ui.clipboardBitmap(s));
}

TEST(QtHelp, HelpOpensTheIndexPageWhenItIsThere) {
  EnsureApp();
  QtUi ui;
  bool present = false;
  for (const QString& c : QtUi::helpCandidates()) present = present || QFileInfo::exists(c);
  ui.showHelp();
  if (!present) {
    EXPECT_EQ(ui.helpWindow(), nullptr);
    return;
  }
  ASSERT_NE(ui.helpWindow(), nullptr);
  EXPECT_TRUE(ui.helpWindow()->isVisible());
  EXPECT_TRUE(ui.helpWindow()->browser()->source().toLocalFile().endsWith(QStringLiteral("index.html")));
  EXPECT_FALSE(ui.helpWindow()->browser()->toPlainText().isEmpty());
}

}  // namespace
}  // namespace opta::qt::test
