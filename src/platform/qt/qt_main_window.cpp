#include "platform/qt/qt_main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWindow>
#include <QWindowStateChangeEvent>
#include <optional>

#include "platform/qt/qt_convert.h"
#include "platform/qt/qt_images.h"

namespace opta::qt {
namespace {

// Pixels one wheel line or arrow click scrolls.
constexpr int kScrollStep = 20;

Size AtLeast(Size a, Size b) { return Size{std::max(a.width, b.width), std::max(a.height, b.height)}; }

// The larger of the two pictures in each direction (0 x 0 with none).
Size PictureExtent(const Document& doc) {
  return AtLeast(Size{doc.working.width(), doc.working.height()},
                 Size{doc.second.width(), doc.second.height()});
}

}  // namespace

// ---- ClientView ----

ClientView::ClientView(QtMainWindow& owner) : QAbstractScrollArea(&owner), owner_(owner) {
  setFrameShape(QFrame::NoFrame);
  viewport()->setMouseTracking(true);  // moves arrive with and without a button held
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setObjectName(QStringLiteral("client"));
  horizontalScrollBar()->setSingleStep(kScrollStep);
  verticalScrollBar()->setSingleStep(kScrollStep);
}

void ClientView::setContentSize(Size size) {
  if (size == content_) return;
  content_ = size;
  updateScrollBars();
}

void ClientView::updateScrollBars() {
  const QSize visible = viewport()->size();
  horizontalScrollBar()->setPageStep(visible.width());
  verticalScrollBar()->setPageStep(visible.height());
  horizontalScrollBar()->setRange(0, std::max(0, content_.width - visible.width()));
  verticalScrollBar()->setRange(0, std::max(0, content_.height - visible.height()));
}

QPoint ClientView::offset() const {
  return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

Point ClientView::toSurface(const QPointF& viewportPosition) const {
  const QPoint p = viewportPosition.toPoint() + offset();
  return Point{p.x(), p.y()};
}

QRect ClientView::toViewport(const Rect& surfaceArea) const {
  return QRect(surfaceArea.left, surfaceArea.top, surfaceArea.width(), surfaceArea.height())
      .translated(-offset());
}

Rect ClientView::toSurface(const QRect& viewportArea) const {
  const QRect r = viewportArea.translated(offset());
  return Rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

void ClientView::paintEvent(QPaintEvent* e) {
  QPainter p(viewport());
  const QRect area = e->rect();
  Shell* shell = owner_.shell();
  QRect shown;
  if (shell) {
    const Surface& s = shell->windowSurface();
    const Rect r = Intersect(toSurface(area), s.bounds());
    if (!r.empty()) {
      shown = toViewport(r);
      p.drawImage(shown.topLeft(), SurfaceToImage(s, r));
    }
  }
  // Whatever the surface does not cover is the class brush: white.
  const QRegion rest = QRegion(area).subtracted(shown);
  for (const QRect& r : rest) p.fillRect(r, Qt::white);
  p.end();
  owner_.firstPaint();
}

void ClientView::resizeEvent(QResizeEvent*) {
  updateScrollBars();
  owner_.clientResized();
}

void ClientView::scrollContentsBy(int dx, int dy) {
  // Scrolling shows more of the surface; it is not a paint of the window.
  viewport()->scroll(dx, dy);
}

void ClientView::mousePressEvent(QMouseEvent* e) {
  owner_.mouseButton(e->button(), true, toSurface(e->position()));
}

void ClientView::mouseReleaseEvent(QMouseEvent* e) {
  owner_.mouseButton(e->button(), false, toSurface(e->position()));
}

void ClientView::mouseMoveEvent(QMouseEvent* e) {
  owner_.mouseMoved(toSurface(e->position()), e->buttons().testFlag(Qt::LeftButton));
}

void ClientView::wheelEvent(QWheelEvent* e) {
  // Shift turns the wheel sideways, as in other picture viewers.
  if (e->modifiers().testFlag(Qt::ShiftModifier) && e->angleDelta().x() == 0) {
    QScrollBar* bar = horizontalScrollBar();
    // 120 is one notch of the wheel; finer wheels send parts of it.
    bar->setValue(bar->value() -
                  e->angleDelta().y() * QApplication::wheelScrollLines() * bar->singleStep() / 120);
    e->accept();
    return;
  }
  QAbstractScrollArea::wheelEvent(e);
}

// ---- QtMainWindow ----

QtMainWindow::QtMainWindow() {
  view_ = new ClientView(*this);
  setCentralWidget(view_);
  setWindowIcon(ProgramIcon());
  setContextMenuPolicy(Qt::NoContextMenu);  // no Qt toolbar menu over our own popup
  setWindowTitle(ToQString(kMainCaption));
  setAcceptDrops(true);
}

QtMainWindow::~QtMainWindow() {
  if (qApp) qApp->removeEventFilter(this);
}

void QtMainWindow::attach(Shell& shell) {
  shell_ = &shell;
  buildMenus();
  // Also sees the window's expose events, on their way to Qt's own handling.
  qApp->installEventFilter(this);
  // Paste (Edit) follows the clipboard as soon as it changes, not only at the
  // next paint: a picture copied elsewhere can be pasted with Ctrl+V at once.
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
    if (shell_ && !destroyed_) shell_->onClipboardChanged();
  });
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
  applyState(id);  // Qt toggled a checkable item on its own: the shell decides
  if (shell_->menu().has(id) && !shell_->menu().selectable(id)) return;
  queueCommand(id);
}

// Menu, toolbar and popup choices arrive as posted command messages. Each one
// runs once the window system has told what the closing menu or tooltip
// uncovered, so that paint comes before the command's drawing, not over it.
void QtMainWindow::queueCommand(int id) {
  queued_.push_back(id);
  QMetaObject::invokeMethod(
      this, [this] { runQueuedCommands(); }, Qt::QueuedConnection);
}

void QtMainWindow::runQueuedCommands() {
  if (syncing_) return;  // the run below carries on once its sync is over
  while (!queued_.empty() && shell_ && !destroyed_) {
    syncing_ = true;
    QGuiApplication::sync();
    syncing_ = false;
    // A modal loop inside an earlier command may have run the rest.
    if (queued_.empty() || !shell_ || destroyed_) return;
    const int id = queued_.front();
    queued_.pop_front();
    shell_->onCommand(id);
    flush();
  }
}

void QtMainWindow::flush() {
  if (!shell_) return;
  fitSurface();
  showDrawn();
}

void QtMainWindow::showDrawn() {
  if (!shell_) return;
  const Rect r = shell_->windowSurface().takeDirty();
  if (!r.empty()) view_->viewport()->update(view_->toViewport(r) & view_->viewport()->rect());
}

// The program's screen is virtual. The commands' screen size is at least as
// large as both the monitor and every picture loaded, and the window surface
// (the client area the commands draw into) at least as large as both the
// visible client area and the pictures; the visible client area scrolls over
// it. So no result depends on the monitor: on a smaller one the program does
// what it does on one large enough for the picture, and on a larger one
// nothing changes.
Size QtMainWindow::screenSize() const {
  const Size monitor = monitorSize();
  return shell_ ? AtLeast(monitor, PictureExtent(shell_->document())) : monitor;
}

void QtMainWindow::fitSurface() {
  if (!shell_ || destroyed_) return;
  const QSize v = view_->viewport()->size();
  const Size visible{v.width(), v.height()};
  const Size wanted = AtLeast(visible, PictureExtent(shell_->document()));
  if (wanted != fitted_) {
    fitted_ = wanted;
    shell_->onSize(wanted);
    // A surface too large to be had falls back to the visible area.
    if (shell_->windowSurface().empty() && wanted != visible) shell_->onSize(visible);
    invalidate();
  }
  view_->setContentSize(shell_->clientSize());
}

void QtMainWindow::invalidate() {
  if (paintPending_) return;
  paintPending_ = true;
  QMetaObject::invokeMethod(
      this, [this] { paintNow(); }, Qt::QueuedConnection);
}

void QtMainWindow::paintNow() {
  if (!paintPending_ || !shell_ || destroyed_) return;
  fitSurface();  // a new surface size asks for this very paint
  paintPending_ = false;
  shell_->onPaint();
  shell_->windowSurface().takeDirty();
  view_->viewport()->update();
}

void QtMainWindow::exposed(const QRegion& windowRegion) {
  if (!shell_ || destroyed_ || windowRegion.isEmpty()) return;
  if (awaitingFirstExpose_) {
    awaitingFirstExpose_ = false;
    // Nothing maximised the window (a bare X server): it takes the work
    // area, as a maximised window would.
    if (isMaximized() && geometry() == restored_) setGeometry(workArea_);
  }
  const QWidget* port = view_->viewport();
  const QRegion inView = windowRegion.translated(-port->mapTo(this, QPoint(0, 0))) & port->rect();
  if (inView.isEmpty()) return;
  // The whole client is recomposed, not only the uncovered part: the
  // picture never shows a patchwork of an old drawing and the image.
  paintPending_ = true;
  paintNow();
}

void QtMainWindow::showMaximisedOver(const QRect& restored, const QRect& workArea) {
  restored_ = restored;
  workArea_ = workArea;
  setGeometry(restored);
  awaitingFirstExpose_ = true;
  showMaximized();
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

Size QtMainWindow::monitorSize() const {
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
    connect(a, &QAction::triggered, this, [this, id = b.command] { queueCommand(id); });
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
  // The click's client position is passed on unconverted, as a screen
  // position, and the menu's right side is aligned on it.
  const QPoint at(clientPosition.x - menu.sizeHint().width(), clientPosition.y);
  popup_ = &menu;
  QAction* chosen = menu.exec(at);
  popup_ = nullptr;
  return chosen ? chosen->data().toInt() : 0;
}

void QtMainWindow::postCommand(int id) { queueCommand(id); }

void QtMainWindow::clientResized() {
  if (!shell_ || destroyed_) return;
  fitSurface();
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
  if (type == QEvent::Expose && watched == windowHandle()) {
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    const QRegion region = static_cast<QExposeEvent*>(event)->region();
    QT_WARNING_POP
    if (windowHandle()->isExposed()) exposed(region);
    return false;  // Qt then puts the repainted pixels on the screen
  }
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

namespace {

// The first local file of a drop, named as the file dialog names files.
std::optional<std::string> DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return std::nullopt;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return QFile::encodeName(url.toLocalFile()).toStdString();
  return std::nullopt;
}

}  // namespace

void QtMainWindow::dragEnterEvent(QDragEnterEvent* e) {
  if (dropHandler_ && DroppedFile(e->mimeData())) e->acceptProposedAction();
}

void QtMainWindow::dropEvent(QDropEvent* e) {
  const std::optional<std::string> path = DroppedFile(e->mimeData());
  if (!path || !dropHandler_) return;
  e->acceptProposedAction();
  // Opened once the drop is over: Open may show message boxes of its own.
  QMetaObject::invokeMethod(
      this,
      [this, file = *path] {
        if (!shell_ || destroyed_ || !dropHandler_) return;
        dropHandler_(file);
        flush();
      },
      Qt::QueuedConnection);
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
