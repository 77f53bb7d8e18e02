#include "pointops/commands.h"

namespace opta {

void registerPointOpsCommands(CommandTable&) {}

}  // namespace opta
