#pragma once
#include "command/command.h"

namespace opta {

namespace edges {
// The radio id last accepted in dialog 116, for the whole run.
inline constexpr int kInitialGeometricChoice = 1012;  // "Point Detection"
inline int GeometricChoice = kInitialGeometricChoice;
}  // namespace edges

void registerEdgesCommands(CommandTable& table);

}  // namespace opta
