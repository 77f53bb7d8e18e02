#include "document/commands/commands.h"

#include "document/commands/document_state.h"

namespace opta {
namespace doccmd {

ReadoutMode& readoutMode() {
  static ReadoutMode mode = ReadoutMode::Rgb;
  return mode;
}

SelectionState& selection() {
  static SelectionState state;
  return state;
}

}  // namespace doccmd

namespace {

platform::FileDialogState& fileDialogState() {
  static platform::FileDialogState state;
  return state;
}

void Add(CommandTable& table, int id, Frame frame, void (*run)(CommandContext&)) {
  table.add(Command{id, frame, {}, run});
}

}  // namespace

platform::FileDialogState& DocumentFileDialog() { return fileDialogState(); }

ReadoutMode currentReadoutMode() { return doccmd::readoutMode(); }

SelectionSnapshot currentSelection() {
  const doccmd::SelectionState& s = doccmd::selection();
  return SelectionSnapshot{s.press, s.release, s.drag, s.paste, Size{s.buffer.width(), s.buffer.height()}};
}

void RefreshPasteState(CommandContext& ctx) {
  // Disabled, not greyed: that is how the Edit menu has always shown it.
  ctx.shell.menu().setEnable(docid::kClipboardPaste,
                             ctx.ui.clipboardHasBitmap() ? ItemEnable::Enabled : ItemEnable::Disabled);
}

void registerDocumentCommands(CommandTable& table) {
  Add(table, docid::kOpen, Frame::Own, OpenImage);
  Add(table, docid::kOpenAlso, Frame::Own, OpenSecondImage);
  Add(table, docid::kSave, Frame::Own, SaveImage);
  Add(table, docid::kSaveAs, Frame::Own, SaveImage);
  Add(table, docid::kCut, Frame::Own, CutSelection);
  Add(table, docid::kPaste, Frame::Own, PasteSelection);
  Add(table, docid::kNew, Frame::Own, NewWindow);
  Add(table, docid::kClipboardPaste, Frame::Own, PasteClipboardImage);
  Add(table, docid::kRestoreImage, Frame::Silent, RestoreImage);
  // Own frame: the toolbar goes away even after the no-image message.
  Add(table, docid::kShowImageDetails, Frame::Own, ShowImageDetails);
  Add(table, docid::kStretch, Frame::Plain, StretchImage);
  Add(table, docid::kCenter, Frame::Plain, CenterImage);
  Add(table, docid::kRgbValue, Frame::Own, ToggleRgbReadout);
  Add(table, docid::kHsbValue, Frame::Own, ToggleHsbReadout);

  table.addResetHook([] {
    doccmd::readoutMode() = ReadoutMode::Rgb;
    doccmd::SelectionState& s = doccmd::selection();
    s.press = s.release = s.drag = s.paste = Point{};
    s.buffer.release();
    fileDialogState() = platform::FileDialogState{};
  });
}

}  // namespace opta
