// run: the program without a screen. It starts as the program starts, opens
// an image as Open does, runs menu commands by name with their dialogs
// answered from the command line, prints every message box, and can write
// the working image and the window afterwards.
#include <cstdio>
#include <optional>
#include <string>

#include "cli/recipe.h"
#include "cli/run_args.h"
#include "cli/verbs.h"
#include "document/save_file.h"
#include "platform/headless/application.h"

namespace opta::cli {
namespace {

constexpr const char* kRunUsage =
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
    "  font=FACE,HEIGHT,R,G,B[,bold][,italic][,underline][,strikeout]\n"
    "                 the next font chooser picks this font (default: cancel)\n"
    "\n"
    "--save FILE    write the working image as Save writes it\n"
    "--window FILE  write the window's pixels: a 24-bit BMP, or PPM when FILE ends in .ppm\n"
    "--screen WxH   the screen (and window client) size; default 1920x1080\n"
    "\n"
    "Message lines are printed (and flushed) as the boxes appear.\n"
    "\n";

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
  std::fflush(stdout);  // a line already shown is never lost, whatever follows
}

void PrintHelp() {
  std::fputs(kRunUsage, stdout);
  std::fputs(kExitStatusHelp, stdout);
  std::fputs("\nCommands (from the program's menu):\n", stdout);
  PrintCommandList(stdout);
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "run: %s\n", message.c_str());
  return kUsage;
}

// Tells the user about answers that found nothing to answer, and about
// answers that did not fit their dialog.
void ReportLeftovers(const RunStep& step, headless::HeadlessUi& ui) {
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
  RunPlan plan;
  std::string error;
  if (!ParseRunArguments(argc, argv, plan, error)) return UsageError(error);
  if (plan.help) {
    PrintHelp();
    return kDone;
  }

  headless::AppOptions options;
  options.screen = plan.screen;
  headless::Application app(options);
  headless::HeadlessUi& ui = app.ui();
  ui.setMessageBoxListener(PrintMessageBox);
  app.start();
  // The commands still run after an image that does not open, as they would
  // in the window; the exit status tells of it.
  bool opened = true;
  if (plan.image) {
    app.open(*plan.image);
    opened = app.doc().working.loaded;
  }

  for (const RunStep& step : plan.steps) {
    if (app.exited()) break;
    PlayStep(app, step);
    ReportLeftovers(step, ui);
  }
  if (app.exited()) return *app.exitCode();

  int status = opened ? kDone : kCannotOpen;
  if (plan.saveTo) {
    const Image& working = app.doc().working;
    if (!working.loaded) {
      std::fprintf(stderr, "run: --save: no image is loaded\n");
      if (status == kDone) status = kCannotWrite;
    } else if (ReportWrite("run: --save", *plan.saveTo, SaveDibFile(*plan.saveTo, working.memory)) != kDone &&
               status == kDone) {
      status = kCannotWrite;
    }
  }
  if (plan.windowTo) {
    const Surface& window = app.windowSurface();
    const int written = HasExtension(*plan.windowTo, ".ppm") ? SavePpm(*plan.windowTo, window)
                                                             : SaveStandardBmp(*plan.windowTo, window);
    if (ReportWrite("run: --window", *plan.windowTo, written) != kDone && status == kDone)
      status = kCannotWrite;
  }
  return status;
}

}  // namespace opta::cli
