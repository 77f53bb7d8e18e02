#include "analysis/cell_commands.h"

namespace opta {

void registerCellAnalysisCommands(CommandTable& table) { (void)table; }

}  // namespace opta
