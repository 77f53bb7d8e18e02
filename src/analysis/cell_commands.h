#pragma once
// Measurement, classification, blood-cell and training commands.
#include "command/command.h"

namespace opta {

void registerCellAnalysisCommands(CommandTable& table);

}  // namespace opta
