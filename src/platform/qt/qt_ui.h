#pragma once
// The person in front of the desktop program: Qt message boxes, template
// dialogs, file, colour and font choosers, the clipboard and the help window.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/qt/help_window.h"
#include "platform/qt/qt_text_renderer.h"
#include "platform/ui.h"

class QWidget;

namespace opta::qt {

class QtUi final : public platform::Ui {
 public:
  QtUi();
  ~QtUi() override;

  // Dialogs "owned by the main window" are parented to it.
  void setOwner(QWidget* owner) { owner_ = owner; }
  // Runs before any message box, dialog or chooser opens (the main window
  // shows what the command has drawn so far).
  void setBeforeModal(std::function<void()> hook) { beforeModal_ = std::move(hook); }
  // The next Open file dialog answers this path without showing itself (a
  // file dropped on the window); nothing clears a pending answer.
  void answerNextOpenDialog(std::optional<std::string> path) { nextOpen_ = std::move(path); }

  int messageBox(std::string_view text, std::string_view caption, unsigned flags,
                 bool ownedByMainWindow = false) override;
  int runDialog(const resources::DialogTemplate& tmpl, platform::DialogProc& proc) override;
  std::optional<std::string> openFileDialog(platform::FileDialogState& state) override;
  std::optional<std::string> saveFileDialog(platform::FileDialogState& state) override;
  bool chooseColour(Colour initial, std::array<Colour, 16>& customColours, Colour& chosen) override;
  bool chooseFont(FontDesc& font, Colour& colour) override;
  bool clipboardHasBitmap() override;
  bool clipboardBitmap(Surface& out) override;
  void showHelp() override;
  [[noreturn]] void exitProcess(int code) override;
  void setCursor(platform::CursorShape shape) override;
  const TextRenderer& textRenderer() override { return renderer_; }

  // The help page shown by showHelp: the first of these that exists.
  static QStringList helpCandidates();
  HelpWindow* helpWindow() const { return help_; }

 private:
  std::optional<std::string> fileDialog(platform::FileDialogState& state, bool save);
  void beforeModal() {
    if (beforeModal_) beforeModal_();
  }

  QPointer<QWidget> owner_;
  QPointer<HelpWindow> help_;
  std::function<void()> beforeModal_;
  std::optional<std::string> nextOpen_;
  QtTextRenderer renderer_;
  bool waitCursor_ = false;
};

// The name filters of the shared file-dialog description, as Qt writes them.
QStringList FileDialogFilters();

}  // namespace opta::qt
