#pragma once
#include "command/command.h"

namespace opta {

namespace filters {
// The dialogs' remembered choices, kept for the run.
inline int LowPassChoice = 11;        // radio id, "LPF 6"
inline int HighPassChoice = 16;       // radio id, "HPF 1"
inline int FilterSizeChoice = 1000;   // radio id: 1000, 1001, 1002 give 3, 5, 7
inline int ContraharmonicOrder = 10;  // Q as typed; the order is Q / 10

// The window side the size dialog chose.
inline int WindowSize() { return 3 + 2 * (FilterSizeChoice - 1000); }
}  // namespace filters

void registerFiltersCommands(CommandTable& table);

}  // namespace opta
