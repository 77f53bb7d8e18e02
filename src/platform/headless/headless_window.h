#pragma once
// The main window without a screen: caption, timers, toolbar, menu changes,
// popup menus and posted commands are recorded; invalidate marks a pending
// paint that the application's pump delivers.
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/main_window.h"

namespace opta::headless {

struct ToolbarRecord {
  bool exists = false;
  platform::ToolbarKind kind = platform::ToolbarKind::Large;
  bool visible = false;
  int created = 0;    // how many toolbars were created so far
  int destroyed = 0;  // how many were destroyed
};

class HeadlessWindow : public platform::MainWindow {
 public:
  // --- settings ---
  void setScreenSize(Size s) { screen_ = s; }
  void setMinimised(bool m) { minimised_ = m; }
  // The next popup menu's choice (default: none, 0).
  void queuePopupChoice(int id) { popupChoices_.push_back(id); }

  // --- what happened ---
  const std::string& caption() const { return caption_; }
  const std::vector<std::string>& captionHistory() const { return captions_; }
  // Active timers: id -> period in milliseconds.
  const std::map<int, int>& timers() const { return timers_; }
  bool paintPending() const { return paintPending_; }
  bool takePaint() {
    const bool p = paintPending_;
    paintPending_ = false;
    return p;
  }
  int invalidations() const { return invalidations_; }
  const std::vector<int>& menuChanges() const { return menuChanges_; }
  const ToolbarRecord& toolbar() const { return toolbar_; }
  const std::vector<Point>& popupPositions() const { return popupPositions_; }
  std::optional<int> takePosted();
  bool hasPosted() const { return !posted_.empty(); }
  void clearPosted() { posted_.clear(); }
  const std::vector<FontDesc>& windowFonts() const { return fonts_; }

  // --- platform::MainWindow ---
  void setCaption(std::string_view caption) override;
  bool isMinimised() const override { return minimised_; }
  void setTimer(int id, int milliseconds) override { timers_[id] = milliseconds; }
  void killTimer(int id) override { timers_.erase(id); }
  void invalidate() override {
    paintPending_ = true;
    ++invalidations_;
  }
  Size screenSize() const override { return screen_; }
  void menuItemChanged(int id) override { menuChanges_.push_back(id); }
  void createToolbar(platform::ToolbarKind kind) override;
  void destroyToolbar() override;
  void showToolbar(bool visible) override;
  int trackPopupMenu(Point clientPosition) override;
  void postCommand(int id) override { posted_.push_back(id); }
  void setWindowFont(const FontDesc& font) override { fonts_.push_back(font); }

 private:
  Size screen_{1920, 1080};
  bool minimised_ = false;
  std::string caption_;
  std::vector<std::string> captions_;
  std::map<int, int> timers_;
  bool paintPending_ = false;
  int invalidations_ = 0;
  std::vector<int> menuChanges_;
  ToolbarRecord toolbar_;
  std::deque<int> popupChoices_;
  std::vector<Point> popupPositions_;
  std::deque<int> posted_;
  std::vector<FontDesc> fonts_;
};

}  // namespace opta::headless
