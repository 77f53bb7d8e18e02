#pragma once
#include "command/command.h"

namespace opta {

namespace morph {
// The values last accepted in dialogs 115, 120 and 121, for the whole run.
inline constexpr int kInitialShapeChoice = 1018;
inline int ShapeChoice = kInitialShapeChoice;
inline int OpeningCount = 1;
inline int ClosingCount = 1;

// A count dialog's entry: above 10 becomes 10, with no lower limit.
inline int LimitCount(int typed) { return typed > 10 ? 10 : typed; }
}  // namespace morph

void registerMorphologyCommands(CommandTable& table);

}  // namespace opta
