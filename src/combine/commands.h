#pragma once
#include "command/command.h"

namespace opta {

void registerCombineCommands(CommandTable& table);

}  // namespace opta
