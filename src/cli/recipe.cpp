#include "cli/recipe.h"

namespace opta::cli {

void PlayStep(headless::Application& app, const RunStep& step) {
  headless::HeadlessUi& ui = app.ui();
  ui.clearScripts();
  ui.clearRecords();
  for (const auto& d : step.dialogs) ui.queueDialog(d);
  for (const auto& f : step.files) ui.queueFile(f);
  for (int b : step.boxes) ui.queueMessageBoxAnswer(b);
  for (const auto& c : step.colours) ui.queueColour(c);
  for (const auto& f : step.fonts) ui.queueFont(f);
  app.command(step.id);
}

}  // namespace opta::cli
