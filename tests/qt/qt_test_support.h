#pragma once
// Shared pieces of the desktop tests: one QApplication for the program, and a
// scoped closer that deals with modal dialogs opened by the code under test.
#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTimer>
#include <QVariant>
#include <functional>

namespace opta::qt::test {

inline void EnsureApp() {
  static int argc = 1;
  static char name[] = "test_qt";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    QStandardPaths::setTestModeEnabled(true);  // the colour dialog saves its custom colours
    return new QApplication(argc, argv);
  }();
  (void)app;
}

// While alive, polls for modal widgets every 10 ms and hands each new one to
// the callback (which records what it sees and presses a button). Anything
// still open after the timeout is rejected, so a broken test cannot hang.
class ModalCloser {
 public:
  explicit ModalCloser(std::function<void(QWidget*)> onModal, int timeoutMs = 5000)
      : onModal_(std::move(onModal)), timeoutMs_(timeoutMs) {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start(10);
  }
  ~ModalCloser() { timer_.stop(); }
  ModalCloser(const ModalCloser&) = delete;
  ModalCloser& operator=(const ModalCloser&) = delete;

  int seen() const { return seen_; }
  bool timedOut() const { return timedOut_; }

 private:
  void poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    if (clock_.elapsed() > timeoutMs_) {
      timedOut_ = true;
      modal->close();
      return;
    }
    // A property, not the address: a later dialog may reuse the memory.
    if (modal->property("optaTestSeen").toBool()) return;
    modal->setProperty("optaTestSeen", true);
    ++seen_;
    onModal_(modal);
  }

  std::function<void(QWidget*)> onModal_;
  int timeoutMs_;
  QTimer timer_;
  QElapsedTimer clock_;
  int seen_ = 0;
  bool timedOut_ = false;
};

}  // namespace opta::qt::test
