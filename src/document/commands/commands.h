#pragma once
// The document's commands (Open, Open Also, Save, selection and clipboard,
// view modes and read-out) and the mouse handling that depends on the
// read-out mode.
#include <string>

#include "command/command.h"
#include "core/colour.h"
#include "core/geometry.h"
#include "platform/ui.h"

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

// The one file-dialog record Open, Open Also and Save share; the
// reset hook empties its remembered path.
platform::FileDialogState& DocumentFileDialog();

// The command ids this module answers.
namespace docid {
constexpr int kOpen = 40001;
constexpr int kOpenAlso = 40049;
constexpr int kSave = 40016;
constexpr int kSaveAs = 40058;
constexpr int kCut = 40076;
constexpr int kCopy = 40079;  // no handler; only its menu state changes
constexpr int kPaste = 40077;
constexpr int kNew = 40078;
constexpr int kClipboardPaste = 40101;
constexpr int kRestoreImage = 40025;
constexpr int kShowImageDetails = 40031;
constexpr int kStretch = 40096;
constexpr int kCenter = 40098;
constexpr int kRgbValue = 40097;
constexpr int kHsbValue = 40115;
}  // namespace docid

// The commands themselves, as the table runs them.
void OpenImage(CommandContext& ctx);
void OpenSecondImage(CommandContext& ctx);
void SaveImage(CommandContext& ctx);
void CutSelection(CommandContext& ctx);
void PasteSelection(CommandContext& ctx);
void NewWindow(CommandContext& ctx);
void PasteClipboardImage(CommandContext& ctx);
void RestoreImage(CommandContext& ctx);
void ShowImageDetails(CommandContext& ctx);
void StretchImage(CommandContext& ctx);
void CenterImage(CommandContext& ctx);
void ToggleRgbReadout(CommandContext& ctx);
void ToggleHsbReadout(CommandContext& ctx);

// The read-out texts for one colour value.
std::string RgbReadoutText(Colour c);
std::string HsbReadoutText(Colour c);

// The selection as the mouse left it, for tests and the batch mode.
struct SelectionSnapshot {
  Point press, release, drag, paste;
  Size buffer;  // the SelectionBuffer's size (0 x 0 before any release)
};
SelectionSnapshot currentSelection();

}  // namespace opta
