#include "analysis/commands.h"

namespace opta {

void registerAnalysisCommands(CommandTable&) {}

}  // namespace opta
