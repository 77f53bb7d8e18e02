#include "document/commands/commands.h"

namespace opta {

void registerDocumentCommands(CommandTable&) {}
ReadoutMode currentReadoutMode() { return ReadoutMode::Rgb; }
void DocumentLeftButtonDown(CommandContext&, Point) {}
void DocumentMouseMove(CommandContext&, Point, bool) {}
void DocumentLeftButtonUp(CommandContext&, Point) {}
void DocumentSetPastePoint(CommandContext&, Point) {}
void RefreshPasteState(CommandContext&) {}

}  // namespace opta
