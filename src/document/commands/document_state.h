#pragma once
// Module-level state of the document commands, shared by their source files.
#include <string_view>

#include "core/geometry.h"
#include "core/matrix.h"
#include "document/commands/commands.h"

namespace opta::doccmd {

struct SelectionState {
  Point press;    // (x0, y0)
  Point release;  // (x1, y1)
  Point drag;
  Point paste;         // (px, py)
  PixelMatrix buffer;  // the SelectionBuffer, replaced at every release
};

ReadoutMode& readoutMode();
SelectionState& selection();

}  // namespace opta::doccmd

namespace opta {

// The mouse with read-out off.
void SelectionPress(CommandContext& ctx, Point p);
void SelectionDrag(CommandContext& ctx, Point p, bool leftButtonHeld);
void SelectionRelease(CommandContext& ctx, Point p);
void SelectionSetPastePoint(Point p);

}  // namespace opta

namespace opta::doccmd {

// Texts shared by more than one command.
inline constexpr std::string_view kCaption = "OPTA";
inline constexpr std::string_view kCannotLoad = "Cannot load DIB file";

}  // namespace opta::doccmd
