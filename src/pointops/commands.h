#pragma once
#include "command/command.h"

namespace opta {

void registerPointOpsCommands(CommandTable& table);

}  // namespace opta
