#pragma once
// The document's commands (Open, Open Also, Save, selection and clipboard,
// view modes and read-out) and the mouse handling that depends on the
// read-out mode.
#include "command/command.h"
#include "core/geometry.h"

namespace opta {

void registerDocumentCommands(CommandTable& table);

enum class ReadoutMode { None, Rgb, Hsb };
// The current read-out mode (RGB at start; reset by registerDocumentCommands'
// reset hook).
ReadoutMode currentReadoutMode();

// Mouse events the shell routes here. In a read-out mode a left press reads
// a pixel and a release erases it; with read-out off the left button drags
// a selection and the right button sets the paste point.
void DocumentLeftButtonDown(CommandContext& ctx, Point p);
void DocumentMouseMove(CommandContext& ctx, Point p, bool leftButtonHeld);
void DocumentLeftButtonUp(CommandContext& ctx, Point p);
void DocumentSetPastePoint(CommandContext& ctx, Point p);  // right button with read-out off

// Paste state: "Paste" (Edit) enabled when the clipboard holds a bitmap,
// otherwise disabled. Run at creation and at every paint.
void RefreshPasteState(CommandContext& ctx);

}  // namespace opta
