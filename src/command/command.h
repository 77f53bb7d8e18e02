#pragma once
// The contract between the shell and the command families: a family registers
// each command once (id, frame, dialogs, handler); the shell runs the dialogs,
// then the frame, then the handler with a small context.
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "command/menu_state.h"
#include "core/canvas.h"
#include "core/geometry.h"
#include "document/document.h"
#include "platform/dialog.h"
#include "platform/ui.h"

namespace opta {

// Set to 1 by every parameter dialog's OK and to 0 by its Cancel (and by a
// rejected slicing entry); the command reads it right after the dialog.
inline int DialogAccepted = 0;

enum class Frame {
  Own,               // the handler does everything itself
  Plain,             // image check with the no-image message
  Waiting,           // as Plain, wait cursor around the operation
  SilentWaiting,     // as Waiting, but silent without an image
  Silent,            // as Plain, but silent without an image
  TwoImagesWaiting,  // both images needed, no-image message otherwise
  SilentTwoImagesWaiting,
};

// What the shell offers a command besides the document and the user.
class ShellServices {
 public:
  virtual ~ShellServices() = default;
  virtual Size screenSize() const = 0;
  virtual Size clientSize() const = 0;
  virtual void invalidate() = 0;  // whole client area, erased; repainted later
  virtual void postCommand(int id) = 0;
  virtual MenuState& menu() = 0;
  virtual void destroyToolbar() = 0;
  virtual void setWindowFont(const FontDesc& font) = 0;
};

struct CommandContext {
  Document& doc;
  Surface& window;  // the window device context: the client area
  platform::Ui& ui;
  ShellServices& shell;

  Canvas canvas() { return Canvas(window, doc.working.memory); }
};

using DialogProcFactory = std::function<std::unique_ptr<platform::DialogProc>()>;

struct DialogStep {
  std::string_view templateName;  // "118", "ABOUTBOX", "IDD_DIALOG_SET"
  DialogProcFactory makeProc;
};

struct Command {
  int id = 0;
  Frame frame = Frame::Own;
  // Shown in order before the frame, image or not; the last one's
  // DialogAccepted decides whether the command runs.
  std::vector<DialogStep> dialogs;
  std::function<void(CommandContext&)> run;
};

class CommandTable {
 public:
  void add(Command command) {
    const int id = command.id;
    commands_[id] = std::move(command);
  }
  const Command* find(int id) const {
    auto it = commands_.find(id);
    return it == commands_.end() ? nullptr : &it->second;
  }
  std::vector<int> ids() const {
    std::vector<int> out;
    for (const auto& [id, c] : commands_) out.push_back(id);
    return out;
  }
  // Remembered dialog values go back to their start values when a program
  // (or a test's program) starts.
  void addResetHook(std::function<void()> hook) { resetHooks_.push_back(std::move(hook)); }
  void resetRememberedValues() const {
    DialogAccepted = 0;
    for (const auto& h : resetHooks_) h();
  }

 private:
  std::unordered_map<int, Command> commands_;
  std::vector<std::function<void()>> resetHooks_;
};

// The frames' message when no image is loaded; a few commands that run their
// own frame show it too.
inline constexpr std::string_view kNoImageText = "First Open a BITMAP image !!";
inline constexpr std::string_view kNoImageCaption = "BOPTA";
inline void ShowNoImageMessage(platform::Ui& ui) {
  ui.messageBox(kNoImageText, kNoImageCaption, platform::MB_ICONEXCLAMATION, false);
}

// Every family's commands; the shell and the batch mode build their table
// from this one list.
void registerAllCommands(CommandTable& table);

}  // namespace opta
