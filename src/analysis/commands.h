#pragma once
#include "command/command.h"

namespace opta {

void registerAnalysisCommands(CommandTable& table);
// Segmentation: histogram, thresholds, labelling, fill and remove.
void registerSegmentCommands(CommandTable& table);
// Measurements, classification, blood cells and training.
void registerCellAnalysisCommands(CommandTable& table);

}  // namespace opta
