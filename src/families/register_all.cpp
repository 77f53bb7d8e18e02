#include "analysis/commands.h"
#include "command/command.h"
#include "document/commands/commands.h"
#include "edges/commands.h"
#include "geometry/commands.h"
#include "morphology/commands.h"
#include "pointops/commands.h"

namespace opta {

void registerAllCommands(CommandTable& table) {
  registerDocumentCommands(table);
  registerPointOpsCommands(table);
  registerGeometryCommands(table);
  registerAnalysisCommands(table);
  registerEdgesCommands(table);
  registerMorphologyCommands(table);
}

}  // namespace opta
