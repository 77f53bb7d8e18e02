#include "platform/headless/headless_ui.h"

#include <algorithm>
#include <array>

namespace opta::headless {
namespace {

using resources::DialogControl;
using Kind = DialogControl::Kind;

bool IsCheckable(Kind k) {
  return k == Kind::RadioButton || k == Kind::AutoRadioButton || k == Kind::CheckBox;
}

// The buttons of each MB_ type, left to right; the default is the first
// unless MB_DEFBUTTONn moves it.
std::vector<int> ButtonsOf(unsigned flags) {
  switch (flags & 0xFu) {
    case 0x1:
      return {platform::IDOK, platform::IDCANCEL};
    case 0x2:
      return {3, 4, 5};  // abort, retry, ignore
    case 0x3:
      return {IDYES, IDNO, platform::IDCANCEL};
    case 0x4:
      return {IDYES, IDNO};
    case 0x5:
      return {4, platform::IDCANCEL};  // retry, cancel
    default:
      return {platform::IDOK};
  }
}

struct ControlValue {
  Kind kind = Kind::Text;
  std::string text;
  bool checked = false;
  std::size_t position = 0;  // index in the template, for radio groups
};

// A dialog's controls as values, built from its template: edit fields and
// combo boxes start empty, buttons unchecked, everything else with its text.
class ScriptedDialog : public platform::DialogWindow {
 public:
  ScriptedDialog(const resources::DialogTemplate& tmpl, HeadlessUi& ui) : tmpl_(tmpl), ui_(ui) {
    for (std::size_t i = 0; i < tmpl.controls.size(); ++i) {
      const DialogControl& c = tmpl.controls[i];
      if (c.id == -1 || controls_.count(c.id)) continue;
      ControlValue v;
      v.kind = c.kind;
      v.position = i;
      if (c.kind != Kind::Edit && c.kind != Kind::ComboDropDown) v.text = std::string(c.text);
      controls_[c.id] = std::move(v);
    }
  }

  bool has(int id) const { return controls_.count(id) != 0; }
  bool ended() const { return ended_; }
  int result() const { return result_; }

  // A click as the dialog manager delivers it: auto buttons change their own
  // state first, then the procedure hears about it.
  void click(int id, platform::DialogProc& proc, DialogRecord& rec) {
    auto it = controls_.find(id);
    if (it != controls_.end()) {
      if (it->second.kind == Kind::AutoRadioButton) checkInGroup(id);
      if (it->second.kind == Kind::CheckBox) it->second.checked = !it->second.checked;
    }
    rec.clicks.push_back(id);
    proc.onCommand(*this, id);
  }

  void fill(DialogRecord& rec) const {
    for (const auto& [id, v] : controls_) {
      rec.texts[id] = v.text;
      if (IsCheckable(v.kind)) rec.checked[id] = v.checked;
    }
  }

  std::string itemText(int id) const override {
    auto it = controls_.find(id);
    return it == controls_.end() ? std::string() : it->second.text;
  }
  void setItemText(int id, std::string_view text) override {
    auto it = controls_.find(id);
    if (it != controls_.end()) it->second.text = std::string(text);
  }
  bool isChecked(int id) const override {
    auto it = controls_.find(id);
    return it != controls_.end() && it->second.checked;
  }
  void setChecked(int id, bool checked) override {
    auto it = controls_.find(id);
    if (it != controls_.end()) it->second.checked = checked;
  }
  void checkRadioButton(int first, int last, int id) override {
    for (auto& [cid, v] : controls_)
      if (cid >= first && cid <= last) v.checked = cid == id;
  }
  void end(int result) override {
    if (ended_) return;
    ended_ = true;
    result_ = result;
  }
  platform::Ui& ui() override { return ui_; }

 private:
  // An auto radio button clears the other auto radio buttons of its group:
  // from the last control marked WS_GROUP up to the next one.
  void checkInGroup(int id) {
    const auto& controls = tmpl_.controls;
    const auto starts = [&](std::size_t i) { return (controls[i].style & resources::style::kWsGroup) != 0; };
    const std::size_t pos = controls_[id].position;
    std::size_t lo = pos;
    while (lo > 0 && !starts(lo)) --lo;
    std::size_t hi = pos + 1;
    while (hi < controls.size() && !starts(hi)) ++hi;
    for (std::size_t i = lo; i < hi; ++i) {
      if (controls[i].kind != Kind::AutoRadioButton) continue;
      auto it = controls_.find(controls[i].id);
      if (it != controls_.end()) it->second.checked = controls[i].id == id;
    }
  }

  const resources::DialogTemplate& tmpl_;
  HeadlessUi& ui_;
  std::map<int, ControlValue> controls_;
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace

void HeadlessUi::clearScripts() {
  boxAnswers_.clear();
  dialogScripts_.clear();
  fileAnswers_.clear();
  colourAnswers_.clear();
  fontAnswers_.clear();
}

void HeadlessUi::clearRecords() {
  boxes_.clear();
  dialogs_.clear();
  files_.clear();
  colourShown_ = fontShown_ = helpShown_ = 0;
  cursorHistory_.clear();
  problems_.clear();
}

void HeadlessUi::setClipboard(const Surface& bitmap) {
  if (!clipboard_.allocate(bitmap.width(), bitmap.height())) {
    clipboard_.release();
    return;
  }
  clipboard_.copyFrom(bitmap, 0, 0, 0, 0, bitmap.width(), bitmap.height());
}

bool HeadlessUi::clipboardBitmap(Surface& out) {
  if (clipboard_.empty() || !out.allocate(clipboard_.width(), clipboard_.height())) return false;
  out.copyFrom(clipboard_, 0, 0, 0, 0, clipboard_.width(), clipboard_.height());
  return true;
}

int HeadlessUi::messageBox(std::string_view text, std::string_view caption, unsigned flags,
                           bool ownedByMainWindow) {
  runModalLoop();
  const std::vector<int> buttons = ButtonsOf(flags);
  const std::size_t defIndex = std::min<std::size_t>((flags >> 8) & 0xFu, buttons.size() - 1);
  int result = buttons[defIndex];
  if (exited()) return result;  // the process is gone: nothing more is shown
  if (!boxAnswers_.empty()) {
    const int answer = boxAnswers_.front();
    boxAnswers_.pop_front();
    if (std::find(buttons.begin(), buttons.end(), answer) != buttons.end()) {
      result = answer;
    } else {
      problems_.push_back("message box \"" + std::string(text) + "\" has no button " +
                          std::to_string(answer));
    }
  }
  boxes_.push_back(
      MessageBoxRecord{std::string(text), std::string(caption), flags, ownedByMainWindow, result});
  if (boxListener_) boxListener_(boxes_.back());
  return result;
}

int HeadlessUi::runDialog(const resources::DialogTemplate& tmpl, platform::DialogProc& proc) {
  runModalLoop();
  if (exited()) return platform::IDCANCEL;
  ScriptedDialog dlg(tmpl, *this);
  DialogRecord rec;
  rec.templateName = std::string(tmpl.name);
  const std::string where = "dialog " + rec.templateName + ": ";

  proc.onInit(dlg);
  std::optional<DialogScript> script;
  if (!dialogScripts_.empty()) {
    script = std::move(dialogScripts_.front());
    dialogScripts_.pop_front();
    if (!script->templateName.empty() && script->templateName != rec.templateName)
      problems_.push_back(where + "answers were meant for dialog " + script->templateName);
  }
  if (script) {
    for (const DialogAction& a : script->actions) {
      if (dlg.ended() || exited()) {
        problems_.push_back(where + "closed before every answer was used");
        break;
      }
      const bool known = dlg.has(a.id) || (a.kind == DialogAction::Kind::Click &&
                                           (a.id == platform::IDOK || a.id == platform::IDCANCEL));
      if (!known) {
        problems_.push_back(where + "has no control " + std::to_string(a.id));
        continue;
      }
      switch (a.kind) {
        case DialogAction::Kind::SetText:
          dlg.setItemText(a.id, a.text);
          break;
        case DialogAction::Kind::SetChecked:
          dlg.setChecked(a.id, a.checked);
          break;
        case DialogAction::Kind::Click:
          dlg.click(a.id, proc, rec);
          break;
      }
    }
  }
  // Whatever the script left open is confirmed; a dialog that refuses both
  // OK and Cancel is closed so a script can never hang.
  if (!dlg.ended() && !exited()) dlg.click(platform::IDOK, proc, rec);
  if (!dlg.ended() && !exited()) dlg.click(platform::IDCANCEL, proc, rec);
  if (!dlg.ended()) {
    if (!exited()) problems_.push_back(where + "stayed open after OK and Cancel");
    dlg.end(platform::IDCANCEL);
  }
  dlg.fill(rec);
  rec.result = dlg.result();
  dialogs_.push_back(std::move(rec));
  return dlg.result();
}

std::optional<std::string> HeadlessUi::fileDialog(platform::FileDialogState& state, bool save) {
  std::optional<std::string> answer;
  if (!fileAnswers_.empty()) {
    answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
  }
  if (exited()) return std::nullopt;
  files_.push_back(FileDialogRecord{save, answer});
  if (answer) state.lastPath = *answer;
  return answer;
}

std::optional<std::string> HeadlessUi::openFileDialog(platform::FileDialogState& state) {
  return fileDialog(state, false);
}

std::optional<std::string> HeadlessUi::saveFileDialog(platform::FileDialogState& state) {
  return fileDialog(state, true);
}

bool HeadlessUi::chooseColour(Colour, std::array<Colour, 16>&, Colour& chosen) {
  ++colourShown_;
  std::optional<Colour> answer;
  if (!colourAnswers_.empty()) {
    answer = colourAnswers_.front();
    colourAnswers_.pop_front();
  }
  if (!answer) return false;
  chosen = *answer;
  return true;
}

bool HeadlessUi::chooseFont(FontDesc& font, Colour& colour) {
  ++fontShown_;
  std::optional<std::pair<FontDesc, Colour>> answer;
  if (!fontAnswers_.empty()) {
    answer = std::move(fontAnswers_.front());
    fontAnswers_.pop_front();
  }
  if (!answer) return false;
  font = answer->first;
  colour = answer->second;
  return true;
}

void HeadlessUi::exitProcess(int code) {
  if (!exitCode_) exitCode_ = code;
}

void HeadlessUi::setCursor(platform::CursorShape shape) {
  cursor_ = shape;
  cursorHistory_.push_back(shape);
}

}  // namespace opta::headless
