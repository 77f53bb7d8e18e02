#include "analysis/commands.h"
#include "annotate/annotate.h"
#include "combine/commands.h"
#include "command/command.h"
#include "document/commands/commands.h"
#include "edges/commands.h"
#include "filters/commands.h"
#include "geometry/commands.h"
#include "morphology/commands.h"
#include "pointops/commands.h"

namespace opta {

void registerAllCommands(CommandTable& table) {
  registerDocumentCommands(table);
  registerPointOpsCommands(table);
  registerGeometryCommands(table);
  registerFiltersCommands(table);
  registerAnalysisCommands(table);
  registerEdgesCommands(table);
  registerMorphologyCommands(table);
  registerCombineCommands(table);
  registerAnnotateCommands(table);
}

}  // namespace opta
