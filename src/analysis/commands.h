#pragma once
#include "command/command.h"

namespace opta {

void registerAnalysisCommands(CommandTable& table);

}  // namespace opta
