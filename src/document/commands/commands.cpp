#include "document/commands/commands.h"

namespace opta {

void registerDocumentCommands(CommandTable&) {}

}  // namespace opta
