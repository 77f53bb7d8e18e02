#pragma once
// The user guide's window: the pages, with Back and Forward buttons. Esc and
// Ctrl+W close it, and it opens beside the main window.
#include <QRect>
#include <QSize>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace opta::qt {

class HelpWindow final : public QWidget {
 public:
  HelpWindow();

  QTextBrowser* browser() const { return browser_; }
  QToolButton* backButton() const { return back_; }
  QToolButton* forwardButton() const { return forward_; }

  // Sizes the window for the main window's screen and places it there.
  void placeFor(const QWidget* mainWindow);

 private:
  QTextBrowser* browser_;
  QToolButton* back_;
  QToolButton* forward_;
};

// Where the help window goes: beside the main window (right, else left) and
// centred on it vertically when the work area has room there, otherwise
// centred on it; always kept inside the work area.
QRect HelpPlacement(const QRect& mainWindow, QSize help, const QRect& workArea);

// The help window's size on a work area: 760 x 640 at most, and no more
// than four fifths of the work area either way.
QSize HelpSize(const QRect& workArea);

}  // namespace opta::qt
