// run: the program without a screen. It starts as the program starts, opens
// an image as Open does, runs menu commands by name with their dialogs
// answered from the command line, prints every message box, and can write
// the working image and the window afterwards.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/recipe.h"
#include "cli/verbs.h"
#include "cli/viewer_image.h"
#include "document/dib_file.h"
#include "platform/headless/application.h"

namespace opta::cli {
namespace {

constexpr int kOpenCommand = 40001;
constexpr int kMaxScreenSide = 16384;

constexpr const char* kUsage =
    "usage: optascope-cli run [IMAGE] [-c COMMAND [-a ANSWER]...]... [--save FILE] [--window FILE]\n"
    "                         [--screen WxH]\n"
    "\n"
    "Starts the program without a screen, opens IMAGE as Open does, then runs each\n"
    "COMMAND in order. Every message box is printed as one line 'CAPTION: TEXT' and\n"
    "answered with its default button.\n"
    "\n"
    "COMMAND  a menu text without its ampersands ('Histogram Peak', 'Rotate 90 Degree'),\n"
    "         a menu path where a text is ambiguous ('Edit/Paste'), or a command id ('40013').\n"
    "         Case and runs of blanks do not matter.\n"
    "\n"
    "ANSWER   applies to the dialogs of the COMMAND before it, in order; a dialog left\n"
    "         without answers is accepted as it opens (OK).\n"
    "  ID=TEXT        type TEXT into control ID           -a 1024=50\n"
    "  click=ID       click control ID                     -a click=1064\n"
    "  ok             click OK; later answers go to the next dialog\n"
    "  cancel         click Cancel; later answers go to the next dialog\n"
    "  next           leave this dialog to be accepted as it is; go to the next\n"
    "  file=PATH      the next file dialog chooses PATH (Save, Save As, Open, Open Also)\n"
    "  nofile         the next file dialog is cancelled (unanswered ones are too)\n"
    "  box=ok|cancel|yes|no   the next message box's answer instead of its default\n"
    "  colour=R,G,B   the next colour chooser picks this colour (default: cancel)\n"
    "  font=FACE,HEIGHT,R,G,B the next font chooser picks this font (default: cancel)\n"
    "\n"
    "--save FILE    write the working image as Save writes it\n"
    "--window FILE  write the window's pixels: a 24-bit BMP, or PPM when FILE ends in .ppm\n"
    "--screen WxH   the screen (and window client) size; default 1920x1080\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be written, 2 a usage error; when a\n"
    "command ends the program (Exit), its exit code.\n"
    "\n"
    "Commands (from the program's menu):\n";

std::optional<Size> ParseSize(std::string_view s) {
  const std::size_t x = s.find_first_of("xX");
  if (x == std::string_view::npos) return std::nullopt;
  const std::optional<int> w = ParseInt(s.substr(0, x)), h = ParseInt(s.substr(x + 1));
  if (!w || !h || *w < 1 || *h < 1 || *w > kMaxScreenSide || *h > kMaxScreenSide) return std::nullopt;
  return Size{*w, *h};
}

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && Lower(s.substr(s.size() - tail.size())) == tail;
}

void PrintMessageBox(const headless::MessageBoxRecord& box) {
  std::string line = box.caption + ": ";
  for (char c : box.text) {
    if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
  }
  line += '\n';
  std::fputs(line.c_str(), stdout);
}

void PrintHelp() {
  std::fputs(kUsage, stdout);
  PrintCommandList(stdout);
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "run: %s\n", message.c_str());
  return 2;
}

// Tells the user about answers that found nothing to answer, and about
// answers that did not fit their dialog.
void ReportLeftovers(const Step& step, headless::HeadlessUi& ui) {
  if (ui.pendingDialogScripts() > 0)
    std::fprintf(stderr, "run: warning: %s: %zu dialog answer(s) not used\n", step.name.c_str(),
                 ui.pendingDialogScripts());
  if (ui.pendingFileAnswers() > 0)
    std::fprintf(stderr, "run: warning: %s: %zu file answer(s) not used\n", step.name.c_str(),
                 ui.pendingFileAnswers());
  for (const std::string& p : ui.problems())
    std::fprintf(stderr, "run: warning: %s: %s\n", step.name.c_str(), p.c_str());
}

}  // namespace

int RunVerb(int argc, char** argv) {
  std::optional<std::string> image, saveTo, windowTo;
  Size screen{1920, 1080};
  std::vector<Step> steps;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasNext = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      PrintHelp();
      return 0;
    }
    if (arg == "-c" || arg == "-a" || arg == "--save" || arg == "--window" || arg == "--screen") {
      if (!hasNext) return UsageError(std::string(arg) + " needs a value");
      const std::string value = argv[++i];
      if (arg == "-c") {
        std::string error;
        if (!AddStep(steps, value, error)) return UsageError(error);
      } else if (arg == "-a") {
        if (steps.empty()) return UsageError("-a '" + value + "' comes before any -c");
        std::string error;
        if (!AddAnswer(steps.back(), value, error)) return UsageError(error);
      } else if (arg == "--save") {
        saveTo = value;
      } else if (arg == "--window") {
        windowTo = value;
      } else {
        const std::optional<Size> s = ParseSize(value);
        if (!s)
          return UsageError("bad screen size '" + value + "' (WxH, each 1.." +
                            std::to_string(kMaxScreenSide) + ")");
        screen = *s;
      }
      continue;
    }
    if (!arg.empty() && arg[0] == '-') return UsageError("unknown option '" + std::string(arg) + "'");
    if (image) return UsageError("more than one image given");
    image = std::string(arg);
  }
  FinishSteps(steps);

  headless::AppOptions options;
  options.screen = screen;
  headless::Application app(options);
  headless::HeadlessUi& ui = app.ui();
  ui.setMessageBoxListener(PrintMessageBox);
  app.start();
  if (image) app.open(*image);

  for (const Step& step : steps) {
    if (app.exited()) break;
    RunStep(app, step);
    ReportLeftovers(step, ui);
  }
  std::fflush(stdout);
  if (app.exited()) return *app.exitCode();

  int status = 0;
  if (saveTo) {
    const Image& working = app.doc().working;
    if (!working.loaded) {
      std::fprintf(stderr, "run: --save: no image is loaded\n");
      status = 1;
    } else if (!WriteWholeFile(*saveTo, EncodeSavedBmp(working.memory))) {
      std::fprintf(stderr, "run: --save: cannot write %s\n", saveTo->c_str());
      status = 1;
    }
  }
  if (windowTo) {
    const Surface& window = app.windowSurface();
    if (!WriteWholeFile(*windowTo, EncodeViewerImage(window, EndsWith(*windowTo, ".ppm")))) {
      std::fprintf(stderr, "run: --window: cannot write %s\n", windowTo->c_str());
      status = 1;
    }
  }
  return status;
}

}  // namespace opta::cli
