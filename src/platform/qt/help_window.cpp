#include "platform/qt/help_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/qt/qt_images.h"

namespace opta::qt {
namespace {

constexpr int kGap = 8;  // between the main window and the help window beside it

QToolButton* HistoryButton(const QString& text, QStyle::StandardPixmap icon, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setIcon(parent->style()->standardIcon(icon));
  b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  b->setAutoRaise(true);
  b->setEnabled(false);  // until there is somewhere to go
  return b;
}

}  // namespace

HelpWindow::HelpWindow() {
  // A window of its own, like the help viewer: closing it leaves the program
  // running, and it does not keep the program alive.
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_QuitOnClose, false);
  setWindowTitle(QStringLiteral("Optascope Help"));
  setWindowIcon(ProgramIcon());

  back_ = HistoryButton(QStringLiteral("Back"), QStyle::SP_ArrowBack, this);
  forward_ = HistoryButton(QStringLiteral("Forward"), QStyle::SP_ArrowForward, this);
  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);
  connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);

  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(4, 4, 4, 0);
  buttons->addWidget(back_);
  buttons->addWidget(forward_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addLayout(buttons);
  layout->addWidget(browser_);

  for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
    auto* shortcut = new QShortcut(key, this);
    connect(shortcut, &QShortcut::activated, this, &QWidget::close);
  }
}

void HelpWindow::placeFor(const QWidget* mainWindow) {
  const QScreen* screen = mainWindow ? mainWindow->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect work = screen->availableGeometry();
  const QRect anchor = mainWindow && mainWindow->isVisible() ? mainWindow->frameGeometry() : work;
  setGeometry(HelpPlacement(anchor, HelpSize(work), work));
}

QSize HelpSize(const QRect& workArea) {
  return QSize(std::min(760, workArea.width() * 4 / 5), std::min(640, workArea.height() * 4 / 5));
}

QRect HelpPlacement(const QRect& mainWindow, QSize help, const QRect& workArea) {
  const int workRight = workArea.left() + workArea.width();
  const int workBottom = workArea.top() + workArea.height();
  int x = mainWindow.left() + (mainWindow.width() - help.width()) / 2;
  const int y = mainWindow.top() + (mainWindow.height() - help.height()) / 2;
  if (mainWindow.left() + mainWindow.width() + kGap + help.width() <= workRight) {
    x = mainWindow.left() + mainWindow.width() + kGap;
  } else if (mainWindow.left() - kGap - help.width() >= workArea.left()) {
    x = mainWindow.left() - kGap - help.width();
  }
  // Inside the work area; a window larger than it keeps its top-left corner in view.
  x = std::max(workArea.left(), std::min(x, workRight - help.width()));
  const int top = std::max(workArea.top(), std::min(y, workBottom - help.height()));
  return QRect(QPoint(x, top), help);
}

}  // namespace opta::qt
