#include "platform/qt/qt_main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QWindowStateChangeEvent>

#include "platform/qt/qt_convert.h"
#include "platform/qt/qt_images.h"

namespace opta::qt {

// ---- ClientView ----

ClientView::ClientView(QtMainWindow& owner) : QWidget(&owner), owner_(owner) {
  setMouseTracking(true);  // moves arrive with and without a button held
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setObjectName(QStringLiteral("client"));
}

void ClientView::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  const QRect area = e->rect();
  Shell* shell = owner_.shell();
  QRect shown;
  if (shell) {
    const Surface& s = shell->windowSurface();
    const Rect r = Intersect(Rect{area.left(), area.top(), area.right() + 1, area.bottom() + 1}, s.bounds());
    if (!r.empty()) {
      p.drawImage(QPoint(r.left, r.top), SurfaceToImage(s, r));
      shown = QRect(r.left, r.top, r.width(), r.height());
    }
  }
  // Whatever the surface does not cover is the class brush: white.
  const QRegion rest = QRegion(area).subtracted(shown);
  for (const QRect& r : rest) p.fillRect(r, Qt::white);
  p.end();
  owner_.firstPaint();
}

void ClientView::resizeEvent(QResizeEvent*) { owner_.clientResized(Size{width(), height()}); }

void ClientView::mousePressEvent(QMouseEvent* e) {
  owner_.mouseButton(e->button(), true, Point{e->position().toPoint().x(), e->position().toPoint().y()});
}

void ClientView::mouseReleaseEvent(QMouseEvent* e) {
  owner_.mouseButton(e->button(), false, Point{e->position().toPoint().x(), e->position().toPoint().y()});
}

void ClientView::mouseMoveEvent(QMouseEvent* e) {
  owner_.mouseMoved(Point{e->position().toPoint().x(), e->position().toPoint().y()},
                    e->buttons().testFlag(Qt::LeftButton));
}

// ---- QtMainWindow ----

QtMainWindow::QtMainWindow() {
  view_ = new ClientView(*this);
  setCentralWidget(view_);
  setWindowIcon(ProgramIcon());
  setContextMenuPolicy(Qt::NoContextMenu);  // no Qt toolbar menu over our own popup
  setWindowTitle(ToQString(kMainCaption));
}

QtMainWindow::~QtMainWindow() {
  if (qApp) qApp->removeEventFilter(this);
}

void QtMainWindow::attach(Shell& shell) {
  shell_ = &shell;
  buildMenus();
  qApp->installEventFilter(this);
  view_->setFocus();
}

void QtMainWindow::buildMenus() {
  menuBar()->clear();
  actions_.clear();
  for (const auto& top : resources::mainMenu()) {
    QMenu* menu = menuBar()->addMenu(ToQString(top.text));
    addMenuItems(menu, top.items);
  }
  for (const auto& [id, list] : actions_) applyState(id);
}

void QtMainWindow::addMenuItems(QMenu* menu, const std::vector<resources::MenuItem>& items) {
  using Kind = resources::MenuItem::Kind;
  for (const auto& item : items) {
    switch (item.kind) {
      case Kind::Separator:
        menu->addSeparator();
        break;
      case Kind::Submenu:
        addMenuItems(menu->addMenu(ToQString(item.text)), item.items);
        break;
      case Kind::Command: {
        QAction* a = menu->addAction(ToQString(item.text));
        a->setData(item.id);
        // No Qt shortcut or auto-repeat: keys belong to the accelerator table.
        a->setShortcutContext(Qt::WidgetShortcut);
        connect(a, &QAction::triggered, this, [this, id = item.id] { menuCommand(id); });
        actions_[item.id].push_back(a);
        break;
      }
    }
  }
}

const std::vector<QAction*>& QtMainWindow::actionsFor(int id) const {
  static const std::vector<QAction*> none;
  auto it = actions_.find(id);
  return it == actions_.end() ? none : it->second;
}

void QtMainWindow::applyState(int id) {
  if (!shell_) return;
  auto it = actions_.find(id);
  if (it == actions_.end()) return;
  const ItemState s = shell_->menu().state(id);
  for (QAction* a : it->second) {
    // Disabled but not greyed still looks normal; choosing it does nothing
    // (menuCommand asks the menu state).
    a->setEnabled(s.enable != ItemEnable::Grayed);
    a->setCheckable(s.checked);
    a->setChecked(s.checked);
  }
}

void QtMainWindow::menuItemChanged(int id) { applyState(id); }

void QtMainWindow::menuCommand(int id) {
  if (!shell_) return;
  if (shell_->menu().has(id) && !shell_->menu().selectable(id)) {
    applyState(id);
    return;
  }
  shell_->onCommand(id);
  applyState(id);  // Qt toggled a checkable item on its own: the shell decides
  flush();
}

void QtMainWindow::flush() {
  if (!shell_) return;
  const Rect r = shell_->windowSurface().takeDirty();
  if (!r.empty()) view_->update(QRect(r.left, r.top, r.width(), r.height()));
}

void QtMainWindow::invalidate() {
  if (paintPending_) return;
  paintPending_ = true;
  QMetaObject::invokeMethod(
      this, [this] { paintNow(); }, Qt::QueuedConnection);
}

void QtMainWindow::paintNow() {
  if (!paintPending_ || !shell_ || destroyed_) return;
  paintPending_ = false;
  shell_->onPaint();
  shell_->windowSurface().takeDirty();
  view_->update();
}

void QtMainWindow::firstPaint() {
  if (!firstPaintHook_) return;
  auto hook = std::move(firstPaintHook_);
  firstPaintHook_ = nullptr;
  hook();
}

void QtMainWindow::setCaption(std::string_view caption) { setWindowTitle(ToQString(caption)); }

bool QtMainWindow::isMinimised() const { return isMinimized(); }

void QtMainWindow::setTimer(int id, int milliseconds) {
  QTimer*& t = timers_[id];
  if (!t) {
    t = new QTimer(this);
    connect(t, &QTimer::timeout, this, [this, id] {
      if (!shell_ || destroyed_) return;
      shell_->onTimer(id);
      flush();
    });
  }
  t->start(std::max(0, milliseconds));
}

void QtMainWindow::killTimer(int id) {
  auto it = timers_.find(id);
  if (it != timers_.end()) it->second->stop();
}

Size QtMainWindow::screenSize() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return Size{};
  return Size{screen->size().width(), screen->size().height()};
}

void QtMainWindow::createToolbar(platform::ToolbarKind kind) {
  destroyToolbar();
  const bool large = kind == platform::ToolbarKind::Large;
  const auto& buttons = large ? resources::largeToolbar() : resources::smallToolbar();
  const std::vector<QIcon> icons = ToolbarIcons(kind);
  auto* bar = new QToolBar(this);
  bar->setObjectName(large ? QStringLiteral("largeToolbar") : QStringLiteral("smallToolbar"));
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  bar->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
  for (const auto& b : buttons) {
    const QIcon icon = b.image >= 0 && b.image < static_cast<int>(icons.size()) ? icons[b.image] : QIcon();
    QAction* a = bar->addAction(icon, QString());
    a->setData(b.command);
    // The tooltip comes from the window procedure's tooltip answer.
    a->setToolTip(ToQString(shell_ ? shell_->tooltip(b.command) : resources::tooltipText(b.command)));
    connect(a, &QAction::triggered, this, [this, id = b.command] {
      if (!shell_) return;
      shell_->onCommand(id);
      flush();
    });
  }
  addToolBar(Qt::TopToolBarArea, bar);
  toolbar_ = bar;
}

void QtMainWindow::destroyToolbar() {
  if (!toolbar_) return;
  QToolBar* bar = toolbar_;
  toolbar_ = nullptr;
  removeToolBar(bar);
  bar->hide();
  bar->deleteLater();  // a toolbar button may be the one running this command
}

void QtMainWindow::showToolbar(bool visible) {
  if (toolbar_) toolbar_->setVisible(visible);
}

int QtMainWindow::trackPopupMenu(Point clientPosition) {
  QMenu menu(this);
  for (const auto& item : resources::popupMenu()) {
    QAction* a = menu.addAction(ToQString(item.text));
    a->setData(item.command);
  }
  // Right-aligned on the click point, as the popup is asked for.
  QPoint at = view_->mapToGlobal(QPoint(clientPosition.x, clientPosition.y));
  at.rx() -= menu.sizeHint().width();
  popup_ = &menu;
  QAction* chosen = menu.exec(at);
  popup_ = nullptr;
  return chosen ? chosen->data().toInt() : 0;
}

void QtMainWindow::postCommand(int id) {
  QMetaObject::invokeMethod(
      this,
      [this, id] {
        if (!shell_ || destroyed_) return;
        shell_->onCommand(id);
        flush();
      },
      Qt::QueuedConnection);
}

void QtMainWindow::clientResized(Size size) {
  if (!shell_ || destroyed_) return;
  shell_->onSize(size);
  // The class redraws on every size change: the whole client is repainted.
  invalidate();
}

void QtMainWindow::mouseButton(Qt::MouseButton button, bool down, Point p) {
  if (!shell_ || destroyed_) return;
  if (button == Qt::LeftButton) {
    down ? shell_->onLeftButtonDown(p) : shell_->onLeftButtonUp(p);
  } else if (button == Qt::RightButton && down) {
    shell_->onRightButtonDown(p);
  }
  flush();
}

void QtMainWindow::mouseMoved(Point p, bool leftHeld) {
  if (!shell_ || destroyed_) return;
  shell_->onMouseMove(p, leftHeld);
  flush();
}

bool QtMainWindow::offerKey(QKeyEvent& e) {
  if (!shell_ || destroyed_) return false;
  // The key first, then the character it types, as the message loop offers
  // WM_KEYDOWN and then WM_CHAR.
  bool taken = shell_->translateAccelerator(VirtKeyPress(e));
  if (!taken) {
    if (const auto ch = CharPress(e)) taken = shell_->translateAccelerator(*ch);
  }
  if (taken) flush();
  return taken;
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return false;
  if (!shell_ || destroyed_ || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() != this) return false;
  // Dialogs and open menus keep their keys.
  if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
  // A key the table took is not offered again as it propagates to the
  // parents: it is accepted there.

  auto& key = static_cast<QKeyEvent&>(*event);
  const int code = key.key() | static_cast<int>(key.modifiers());
  if (type == QEvent::ShortcutOverride) {
    swallowKey_ = 0;
    // Taken here, ahead of Qt's shortcuts and menu mnemonics.
    if (!offerKey(key)) return false;
    swallowKey_ = code;
    key.accept();
    return true;
  }
  if (swallowKey_ != 0) {
    const bool same = swallowKey_ == code;
    swallowKey_ = 0;
    if (same) return true;
  }
  return offerKey(key);
}

void QtMainWindow::closeEvent(QCloseEvent* e) {
  if (shell_ && !destroyed_) {
    destroyed_ = true;
    shell_->onDestroy();
    for (auto& [id, t] : timers_) t->stop();
  }
  e->accept();
  // The quit message: the loop ends even while other windows (help) are open.
  QCoreApplication::exit(0);
}

void QtMainWindow::changeEvent(QEvent* e) {
  if (e->type() == QEvent::WindowStateChange) {
    const auto* sc = static_cast<QWindowStateChangeEvent*>(e);
    // Coming back from the task bar repaints the window (and its caption).
    if (sc->oldState().testFlag(Qt::WindowMinimized) && !isMinimized()) invalidate();
  }
  QMainWindow::changeEvent(e);
}

}  // namespace opta::qt
