#include "platform/qt/qt_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <cstdlib>
#include <optional>

#include "platform/qt/font_chooser.h"
#include "platform/qt/qt_convert.h"
#include "platform/qt/qt_dialog.h"

namespace opta::qt {
namespace {

constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

QMessageBox::Icon IconOf(unsigned flags) {
  switch (flags & 0xF0) {
    case platform::MB_ICONHAND:
      return QMessageBox::Critical;
    case platform::MB_ICONQUESTION:
      return QMessageBox::Question;
    case platform::MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case platform::MB_ICONASTERISK:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

QStringList FileDialogFilters() {
  // Qt takes the patterns from the last parentheses and, with the details
  // hidden, shows only what comes before them: the exact filter names.
  QStringList filters;
  for (const auto& [name, pattern] : platform::FileDialogState::kFilters) {
    const QString qtPattern = pattern == "*.*" ? QStringLiteral("*") : ToQString(pattern);
    filters << ToQString(name) + QStringLiteral(" (") + qtPattern + QStringLiteral(")");
  }
  return filters;
}

QtUi::QtUi() = default;

QtUi::~QtUi() { delete help_.data(); }

int QtUi::messageBox(std::string_view text, std::string_view caption, unsigned flags,
                     bool ownedByMainWindow) {
  beforeModal();
  QMessageBox box(IconOf(flags), ToQString(caption), ToQString(text), QMessageBox::NoButton,
                  ownedByMainWindow ? owner_.data() : nullptr);
  box.setTextFormat(Qt::PlainText);
  switch (flags & 0x0F) {
    case platform::MB_OKCANCEL: {
      QPushButton* ok = box.addButton(QMessageBox::Ok);
      QPushButton* cancel = box.addButton(QMessageBox::Cancel);
      box.setDefaultButton(ok);
      box.setEscapeButton(cancel);
      box.exec();
      return box.clickedButton() == ok ? platform::IDOK : platform::IDCANCEL;
    }
    case platform::MB_YESNO: {
      QPushButton* yes = box.addButton(QMessageBox::Yes);
      box.addButton(QMessageBox::No);
      box.setDefaultButton(yes);
      box.exec();
      return box.clickedButton() == yes ? kIdYes : kIdNo;
    }
    default: {
      // With OK alone, Escape answers OK.
      QPushButton* ok = box.addButton(QMessageBox::Ok);
      box.setDefaultButton(ok);
      box.setEscapeButton(ok);
      box.exec();
      return platform::IDOK;
    }
  }
}

int QtUi::runDialog(const resources::DialogTemplate& tmpl, platform::DialogProc& proc) {
  beforeModal();
  QtDialog dialog(tmpl, proc, *this, owner_.data());
  return dialog.run();
}

std::optional<std::string> QtUi::fileDialog(platform::FileDialogState& state, bool save) {
  beforeModal();
  QFileDialog dialog(owner_.data());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // No overwrite prompt: Save replaces an existing file without a question.
  if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setNameFilters(FileDialogFilters());
  dialog.setDefaultSuffix(ToQString(platform::FileDialogState::kDefaultExtension));
  if (!state.lastPath.empty()) {
    const QFileInfo last(ToQString(state.lastPath));
    dialog.setDirectory(last.absolutePath());
    dialog.selectFile(last.fileName());
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  std::string path = dialog.selectedFiles().first().toStdString();
  state.lastPath = path;
  return path;
}

std::optional<std::string> QtUi::openFileDialog(platform::FileDialogState& state) {
  if (nextOpen_) {
    std::string path = std::move(*nextOpen_);
    nextOpen_.reset();
    state.lastPath = path;
    return path;
  }
  return fileDialog(state, false);
}

std::optional<std::string> QtUi::saveFileDialog(platform::FileDialogState& state) {
  return fileDialog(state, true);
}

bool QtUi::chooseColour(Colour initial, std::array<Colour, 16>& customColours, Colour& chosen) {
  beforeModal();
  for (int i = 0; i < 16; ++i) QColorDialog::setCustomColor(i, ToQColor(customColours[i]));
  QColorDialog dialog(ToQColor(initial));
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  const bool ok = dialog.exec() == QDialog::Accepted;
  // The custom colours the person edited are kept even on Cancel, as the
  // chooser's table is shared with it.
  for (int i = 0; i < 16; ++i) customColours[i] = FromQColor(QColorDialog::customColor(i));
  if (ok) chosen = FromQColor(dialog.selectedColor());
  return ok;
}

bool QtUi::chooseFont(FontDesc& font, Colour& colour) {
  beforeModal();
  FontChooser chooser(font, colour, owner_.data());
  if (chooser.exec() != QDialog::Accepted) return false;
  font = chooser.font();
  colour = chooser.colour();
  return true;
}

bool QtUi::clipboardHasBitmap() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && data->hasImage();
}

bool QtUi::clipboardBitmap(Surface& out) {
  if (!clipboardHasBitmap()) return false;
  return ImageToSurface(QGuiApplication::clipboard()->image(), out);
}

QStringList QtUi::helpCandidates() {
  const QString appDir = QCoreApplication::applicationDirPath();
  return {appDir + QStringLiteral("/help/index.html"),
          appDir + QStringLiteral("/../share/optascope/help/index.html"),
          QStringLiteral(OPTA_SOURCE_DIR "/resources/help/index.html"),
          QStringLiteral(OPTA_SOURCE_DIR "/src/resources/help/index.html")};
}

void QtUi::showHelp() {
  QString page;
  for (const QString& candidate : helpCandidates()) {
    if (QFileInfo::exists(candidate)) {
      page = QFileInfo(candidate).canonicalFilePath();
      break;
    }
  }
  if (page.isEmpty()) return;  // no help installed: nothing to say
  if (!help_) {
    help_ = new HelpWindow;
    help_->placeFor(owner_.data());
  }
  help_->browser()->setSource(QUrl::fromLocalFile(page));
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void QtUi::exitProcess(int code) { std::exit(code); }

void QtUi::setCursor(platform::CursorShape shape) {
  const bool wait = shape == platform::CursorShape::Wait;
  if (wait == waitCursor_) return;
  waitCursor_ = wait;
  if (wait)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

}  // namespace opta::qt
