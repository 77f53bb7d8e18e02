// Stretch, Center, Show Image Details, Restore Image, the read-out modes and
// the mouse routing that depends on them.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "document/commands/commands.h"
#include "document/commands/document_state.h"
#include "document/dib_file.h"

namespace opta {
namespace {

using platform::MB_ICONEXCLAMATION;
using platform::MB_OK;

// The three selection items follow the read-out mode: greyed while it is on.
void SetSelectionItems(MenuState& menu, ItemEnable e) {
  menu.setEnable(docid::kCut, e);
  menu.setEnable(docid::kCopy, e);
  menu.setEnable(docid::kPaste, e);
}

// One toggle serves both modes: `own` is the mode the command switches,
// `other` the one it replaces.
void ToggleReadout(CommandContext& ctx, ReadoutMode own, int ownItem, ReadoutMode other, int otherItem) {
  if (!ctx.doc.working.loaded) {
    ctx.ui.messageBox("  First Open Bitmap File ! ", doccmd::kCaption, MB_OK);
    return;
  }
  MenuState& menu = ctx.shell.menu();
  ReadoutMode& mode = doccmd::readoutMode();
  if (mode == own) {
    menu.setChecked(ownItem, false);
    mode = ReadoutMode::None;
    SetSelectionItems(menu, ItemEnable::Enabled);
    return;
  }
  if (mode == other) menu.setChecked(otherItem, false);
  SetSelectionItems(menu, ItemEnable::Grayed);
  menu.setChecked(ownItem, true);
  mode = own;
}

// %lu of a 32-bit value: a negative integer prints as 2^32 plus its value.
unsigned long AsUnsigned32(std::int32_t v) { return static_cast<std::uint32_t>(v); }

void ReadoutClick(CommandContext& ctx, Point p) {
  const WorkingImage& image = ctx.doc.working;
  if (!image.loaded || p.x < 0 || p.y < 0 || p.x >= image.width() || p.y >= image.height()) return;
  const Colour c = image.memory.get(p.x, p.y);  // the current result, not the source matrix
  const std::string text = doccmd::readoutMode() == ReadoutMode::Hsb ? HsbReadoutText(c) : RgbReadoutText(c);
  ctx.window.drawText(p.x, p.y, text);
}

}  // namespace

std::string RgbReadoutText(Colour c) {
  const int r = Red(c), g = Green(c), b = Blue(c);
  const int gray = GrayLevel(r, g, b) + 1;
  char text[96];
  std::snprintf(text, sizeof text, "RED=%lu,GREEN=%lu,BLUE=%lu ,GRAY VALUE=%lu", AsUnsigned32(r),
                AsUnsigned32(g), AsUnsigned32(b), AsUnsigned32(gray));
  return text;
}

std::string HsbReadoutText(Colour c) {
  const double r = Red(c), g = Green(c), b = Blue(c);
  // Each expression in double, each result kept in single precision.
  const float y = static_cast<float>(0.299 * r + 0.587 * g + 0.114 * b);
  const float ry = static_cast<float>(0.701 * r - 0.587 * g - 0.114 * b);
  const float by = static_cast<float>(-0.299 * r - 0.587 * g + 0.886 * b);
  const float gy = static_cast<float>(-0.509 * static_cast<double>(ry) - 0.194 * static_cast<double>(by));
  char text[96];
  std::snprintf(text, sizeof text, "Y=%lu , R-Y=%lu , B-Y=%lu , G-Y=%lu ",
                AsUnsigned32(static_cast<std::int32_t>(y)), AsUnsigned32(static_cast<std::int32_t>(ry)),
                AsUnsigned32(static_cast<std::int32_t>(by)), AsUnsigned32(static_cast<std::int32_t>(gy)));
  return text;
}

void ToggleRgbReadout(CommandContext& ctx) {
  ToggleReadout(ctx, ReadoutMode::Rgb, docid::kRgbValue, ReadoutMode::Hsb, docid::kHsbValue);
}

void ToggleHsbReadout(CommandContext& ctx) {
  ToggleReadout(ctx, ReadoutMode::Hsb, docid::kHsbValue, ReadoutMode::Rgb, docid::kRgbValue);
}

void StretchImage(CommandContext& ctx) {
  const Surface& memory = ctx.doc.working.memory;
  const Size client = ctx.shell.clientSize();
  ctx.window.stretchFrom(memory, Rect{0, 0, client.width, client.height}, memory.bounds());
}

void CenterImage(CommandContext& ctx) {
  const Surface& memory = ctx.doc.working.memory;
  const Size client = ctx.shell.clientSize();
  const int w = memory.width(), h = memory.height();
  ctx.window.fillRect(0, 0, client.width, client.height, kWhite);
  // Signed division truncating toward zero: a larger image is cropped evenly.
  ctx.window.copyFrom(memory, (client.width - w) / 2, (client.height - h) / 2, 0, 0, w, h);
}

void ShowImageDetails(CommandContext& ctx) {
  const WorkingImage& image = ctx.doc.working;
  if (image.loaded) {
    const int w = image.width(), h = image.height();
    // Our screen holds 4 bytes a pixel, so a bitmap row is 4 * width bytes.
    const long area = 4L * w * h;
    char text[256];
    std::snprintf(text, sizeof text,
                  "Width in pixels: %d\nHeight in pixels: %d\nNumber of Colour Planes: %d\nBits per pixel: "
                  "%d\nArea of Bitmap: %ld",
                  w, h, FilePlanes(ctx.doc.lastLoaded), FileBitCount(ctx.doc.lastLoaded), area);
    ctx.ui.messageBox(text, doccmd::kCaption, MB_OK);
  } else {
    ShowNoImageMessage(ctx.ui);
  }
  ctx.shell.destroyToolbar();
}

void RestoreImage(CommandContext& ctx) {
  WorkingImage& image = ctx.doc.working;
  if (!image.loaded) return;
  // Row by row: each pixel gets its source colour whatever the visiting order.
  const int w = std::min(image.pixels.width(), image.memory.width());
  const int h = std::min(image.pixels.height(), image.memory.height());
  for (int y = 0; y < h; ++y) image.memory.putRow(0, y, image.pixels.row(y), w);
  ctx.shell.invalidate();
}

void DocumentLeftButtonDown(CommandContext& ctx, Point p) {
  if (doccmd::readoutMode() == ReadoutMode::None) {
    SelectionPress(ctx, p);
  } else {
    ReadoutClick(ctx, p);
  }
}

void DocumentMouseMove(CommandContext& ctx, Point p, bool leftButtonHeld) {
  if (doccmd::readoutMode() == ReadoutMode::None) SelectionDrag(ctx, p, leftButtonHeld);
}

void DocumentLeftButtonUp(CommandContext& ctx, Point p) {
  if (doccmd::readoutMode() == ReadoutMode::None) {
    SelectionRelease(ctx, p);
  } else {
    ctx.shell.invalidate();  // the repaint wipes the read-out text
  }
}

void DocumentSetPastePoint(CommandContext&, Point p) {
  if (doccmd::readoutMode() == ReadoutMode::None) SelectionSetPastePoint(p);
}

}  // namespace opta
