#pragma once
// The user, scripted: message boxes are recorded and answered from a queue,
// dialogs run through their real procedures with scripted control values and
// clicks, file, colour and font choosers return scripted answers, and the
// clipboard lives in memory. Nothing here needs a display.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/surface.h"
#include "platform/ui.h"

namespace opta::headless {

// Message box results beyond IDOK and IDCANCEL.
enum : int { IDYES = 6, IDNO = 7 };

struct MessageBoxRecord {
  std::string text;
  std::string caption;
  unsigned flags = 0;
  bool ownedByMainWindow = false;
  int result = 0;
};

// One scripted step inside a dialog.
struct DialogAction {
  enum class Kind { SetText, SetChecked, Click };
  Kind kind = Kind::Click;
  int id = 0;
  std::string text;      // SetText
  bool checked = false;  // SetChecked
};

// The answers for one dialog: applied in order after the procedure's init.
// When the actions are used up and the dialog is still open, OK is clicked
// (then Cancel, should OK not end it either).
struct DialogScript {
  std::string templateName;  // empty: whichever dialog comes next
  std::vector<DialogAction> actions;

  DialogScript& set(int id, std::string text) {
    actions.push_back({DialogAction::Kind::SetText, id, std::move(text), false});
    return *this;
  }
  DialogScript& check(int id, bool on = true) {
    actions.push_back({DialogAction::Kind::SetChecked, id, {}, on});
    return *this;
  }
  DialogScript& click(int id) {
    actions.push_back({DialogAction::Kind::Click, id, {}, false});
    return *this;
  }
  static DialogScript Ok() { return DialogScript{}.click(platform::IDOK); }
  static DialogScript Cancel() { return DialogScript{}.click(platform::IDCANCEL); }
};

struct DialogRecord {
  std::string templateName;
  std::map<int, std::string> texts;  // every control's final text
  std::map<int, bool> checked;       // radio buttons and check boxes
  std::vector<int> clicks;           // every click delivered, in order
  int result = 0;
};

struct FileDialogRecord {
  bool save = false;
  std::optional<std::string> answer;  // nothing: cancelled
};

class HeadlessUi : public platform::Ui {
 public:
  // --- scripts (consumed in order; an empty queue gives the default) ---
  // Message boxes: default is the first button (IDOK, or IDYES for MB_YESNO).
  void queueMessageBoxAnswer(int result) { boxAnswers_.push_back(result); }
  // Dialogs: default is OK as the dialog opens.
  void queueDialog(DialogScript script) { dialogScripts_.push_back(std::move(script)); }
  // Open and save dialogs share one queue; default is cancel.
  void queueFile(std::optional<std::string> path) { fileAnswers_.push_back(std::move(path)); }
  // Colour chooser: the chosen colour, or nothing for cancel (the default).
  void queueColour(std::optional<Colour> colour) { colourAnswers_.push_back(colour); }
  // Font chooser: font and colour, or nothing for cancel (the default).
  void queueFont(std::optional<std::pair<FontDesc, Colour>> font) { fontAnswers_.push_back(std::move(font)); }
  void clearScripts();
  std::size_t pendingDialogScripts() const { return dialogScripts_.size(); }
  std::size_t pendingFileAnswers() const { return fileAnswers_.size(); }

  // Clipboard bitmap (copied in and out).
  void setClipboard(const Surface& bitmap);
  void clearClipboard() { clipboard_.release(); }

  // A modal loop runs before each message box and dialog; the application
  // installs its pump here.
  void setModalLoop(std::function<void()> pump) { modalLoop_ = std::move(pump); }
  // Called for every message box as it is shown (the batch mode prints them).
  void setMessageBoxListener(std::function<void(const MessageBoxRecord&)> f) { boxListener_ = std::move(f); }

  // --- what happened ---
  const std::vector<MessageBoxRecord>& messageBoxes() const { return boxes_; }
  const std::vector<DialogRecord>& dialogs() const { return dialogs_; }
  const std::vector<FileDialogRecord>& fileDialogs() const { return files_; }
  int colourChoosersShown() const { return colourShown_; }
  int fontChoosersShown() const { return fontShown_; }
  int helpShown() const { return helpShown_; }
  bool exited() const { return exitCode_.has_value(); }
  std::optional<int> exitCode() const { return exitCode_; }
  platform::CursorShape cursor() const { return cursor_; }
  const std::vector<platform::CursorShape>& cursorHistory() const { return cursorHistory_; }
  // Scripted actions that did not fit the dialog they were given to.
  const std::vector<std::string>& problems() const { return problems_; }
  void clearRecords();

  // --- platform::Ui ---
  int messageBox(std::string_view text, std::string_view caption, unsigned flags,
                 bool ownedByMainWindow = false) override;
  int runDialog(const resources::DialogTemplate& tmpl, platform::DialogProc& proc) override;
  std::optional<std::string> openFileDialog(platform::FileDialogState& state) override;
  std::optional<std::string> saveFileDialog(platform::FileDialogState& state) override;
  bool chooseColour(Colour initial, std::array<Colour, 16>& customColours, Colour& chosen) override;
  bool chooseFont(FontDesc& font, Colour& colour) override;
  bool clipboardHasBitmap() override { return !clipboard_.empty(); }
  bool clipboardBitmap(Surface& out) override;
  void showHelp() override { ++helpShown_; }
  void exitProcess(int code) override;
  void setCursor(platform::CursorShape shape) override;

 private:
  std::optional<std::string> fileDialog(platform::FileDialogState& state, bool save);
  void runModalLoop() {
    if (modalLoop_ && !exited()) modalLoop_();
  }

  std::deque<int> boxAnswers_;
  std::deque<DialogScript> dialogScripts_;
  std::deque<std::optional<std::string>> fileAnswers_;
  std::deque<std::optional<Colour>> colourAnswers_;
  std::deque<std::optional<std::pair<FontDesc, Colour>>> fontAnswers_;
  Surface clipboard_;
  std::function<void()> modalLoop_;
  std::function<void(const MessageBoxRecord&)> boxListener_;

  std::vector<MessageBoxRecord> boxes_;
  std::vector<DialogRecord> dialogs_;
  std::vector<FileDialogRecord> files_;
  int colourShown_ = 0;
  int fontShown_ = 0;
  int helpShown_ = 0;
  std::optional<int> exitCode_;
  platform::CursorShape cursor_ = platform::CursorShape::Arrow;
  std::vector<platform::CursorShape> cursorHistory_;
  std::vector<std::string> problems_;
};

}  // namespace opta::headless
