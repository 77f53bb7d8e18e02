#include "analysis/commands.h"

namespace opta {

void registerAnalysisCommands(CommandTable& table) {
  registerSegmentCommands(table);
  registerCellAnalysisCommands(table);
}

}  // namespace opta
