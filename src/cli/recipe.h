#pragma once
// Running one parsed command step (-c NAME -a ANSWER ...) on a program
// without a screen, as run and batch both do.
#include "cli/run_args.h"
#include "platform/headless/application.h"

namespace opta::cli {

// Queues the step's answers (dropping any left from before) and runs it.
void PlayStep(headless::Application& app, const RunStep& step);

}  // namespace opta::cli
