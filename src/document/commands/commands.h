#pragma once
#include "command/command.h"

namespace opta {

void registerDocumentCommands(CommandTable& table);

}  // namespace opta
