// Optascope on the desktop: the main window "Bio-Medical Optascope" shown
// maximised with its menu, accelerators and large toolbar, then the event
// loop. The command line is not read.
#include <unistd.h>
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/qt/desktop.h"

namespace {

// Milliseconds since the kernel started this process, or -1.
double MillisecondsSinceExec() {
  std::ifstream stat("/proc/self/stat");
  std::string line;
  if (!std::getline(stat, line)) return -1;
  // Fields after the command name, which is in parentheses and may hold blanks.
  const auto close = line.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream rest(line.substr(close + 2));
  std::string field;
  for (int i = 3; i <= 22 && rest >> field; ++i) {
    if (i == 22) {
      const double ticks = std::stod(field);
      timespec now{};
      clock_gettime(CLOCK_BOOTTIME, &now);
      const double nowMs = now.tv_sec * 1e3 + now.tv_nsec / 1e6;
      return nowMs - ticks * 1e3 / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const auto mainStart = std::chrono::steady_clock::now();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("optascope"));

  opta::qt::Desktop desktop;
  const char* timing = std::getenv("OPTASCOPE_TIMING");
  if (timing && std::string(timing) == "1") {
    desktop.window.setFirstPaintHook([mainStart] {
      const double sinceMain =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - mainStart).count();
      std::fprintf(stderr, "optascope: first paint %.0f ms after exec (%.1f ms after main)\n",
                   MillisecondsSinceExec(), sinceMain);
    });
  }
  desktop.start();
  return QApplication::exec();
}
