#pragma once
#include "command/command.h"

namespace opta {

void registerGeometryCommands(CommandTable& table);

}  // namespace opta
