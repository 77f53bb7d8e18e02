#include "geometry/commands.h"

namespace opta {

void registerGeometryCommands(CommandTable&) {}

}  // namespace opta
