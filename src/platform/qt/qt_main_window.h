#pragma once
// The desktop main window: menu bar, toolbar and a client area that shows the
// shell's window surface. Window events are forwarded to the shell as the
// window procedure expects them, and every surface change is shown after.
#include <QAbstractScrollArea>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QToolBar>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/main_window.h"
#include "shell/shell.h"

class QAction;
class QTimer;

namespace opta::qt {

class QtMainWindow;

// The client area: a scrollable view onto the window surface, and the mouse.
// Positions reaching the shell are window-surface pixels whatever the scroll
// offset.
class ClientView final : public QAbstractScrollArea {
 public:
  explicit ClientView(QtMainWindow& owner);

  // The window surface's size: how far the view scrolls.
  void setContentSize(Size size);
  // The window-surface pixel at the viewport's top-left corner.
  QPoint offset() const;
  Point toSurface(const QPointF& viewportPosition) const;
  QRect toViewport(const Rect& surfaceArea) const;
  Rect toSurface(const QRect& viewportArea) const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  void updateScrollBars();

  QtMainWindow& owner_;
  Size content_;
};

class QtMainWindow final : public QMainWindow, public platform::MainWindow {
 public:
  QtMainWindow();
  ~QtMainWindow() override;

  // Connects the shell, builds the menu from the resources and mirrors its
  // state, and starts offering keys to the accelerator table. WM_CREATE.
  void attach(Shell& shell);

  // platform::MainWindow
  void setCaption(std::string_view caption) override;
  bool isMinimised() const override;
  void setTimer(int id, int milliseconds) override;
  void killTimer(int id) override;
  void invalidate() override;
  Size screenSize() const override;
  void menuItemChanged(int id) override;
  void createToolbar(platform::ToolbarKind kind) override;
  void destroyToolbar() override;
  void showToolbar(bool visible) override;
  int trackPopupMenu(Point clientPosition) override;
  void postCommand(int id) override;
  void setWindowFont(const FontDesc& font) override { windowFont_ = font; }

  // Shows what the shell wrote to the window surface since the last look,
  // after fitting the surface to the pictures now loaded.
  void flush();
  // Puts what the shell drew since the last look on the screen, as it is.
  void showDrawn();
  // A pending repaint request runs now (the shell's onPaint), as the event
  // loop would run it.
  void paintNow();
  bool paintPending() const { return paintPending_; }

  ClientView* view() const { return view_; }
  QToolBar* toolbar() const { return toolbar_; }
  // Every menu action carrying a command id (the same id may sit twice).
  const std::vector<QAction*>& actionsFor(int id) const;
  // The popup menu while it is open (tests close it through this).
  QMenu* openPopup() const { return popup_; }
  const FontDesc& windowFont() const { return windowFont_; }
  Shell* shell() const { return shell_; }

  // The primary monitor's size; screenSize() is the program's virtual screen.
  Size monitorSize() const;
  // Called by the client view.
  void clientResized();
  void mouseButton(Qt::MouseButton button, bool down, Point p);
  void mouseMoved(Point p, bool leftHeld);
  void firstPaint();
  // Runs once, after the client area has first been painted on screen.
  void setFirstPaintHook(std::function<void()> hook) { firstPaintHook_ = std::move(hook); }
  // A file dropped on the window (its local path, as the file dialog would
  // give it).
  void setFileDropHandler(std::function<void(const std::string&)> handler) {
    dropHandler_ = std::move(handler);
  }
  // Shows the window maximised; restoring it down gives `restored`. Where
  // nothing maximises windows (a bare X server) it takes `workArea` instead.
  void showMaximisedOver(const QRect& restored, const QRect& workArea);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void buildMenus();
  void addMenuItems(QMenu* menu, const std::vector<resources::MenuItem>& items);
  void applyState(int id);
  void menuCommand(int id);
  bool offerKey(QKeyEvent& e);
  void queueCommand(int id);
  void runQueuedCommands();
  // The window surface follows the pictures (see screenSize); a change is a
  // resize of the client, which repaints it all.
  void fitSurface();
  // The system asks for part of the window to be painted (uncovered, shown,
  // restored, a menu or dialog closed over it).
  void exposed(const QRegion& windowRegion);

  Shell* shell_ = nullptr;
  ClientView* view_ = nullptr;
  QPointer<QToolBar> toolbar_;
  QPointer<QMenu> popup_;
  std::unordered_map<int, std::vector<QAction*>> actions_;
  std::map<int, QTimer*> timers_;
  FontDesc windowFont_;
  bool paintPending_ = false;
  bool destroyed_ = false;
  // A key the accelerator table took at its shortcut check: its press is
  // swallowed when it arrives.
  int swallowKey_ = 0;
  std::function<void()> firstPaintHook_;
  std::function<void(const std::string&)> dropHandler_;
  QRect restored_, workArea_;
  bool awaitingFirstExpose_ = false;
  Size fitted_;             // the window-surface size last asked of the shell
  std::deque<int> queued_;  // posted commands, oldest first
  bool syncing_ = false;
};

}  // namespace opta::qt
