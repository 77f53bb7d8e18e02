// The selection rectangle, Cut, Paste, New and pasting the clipboard's bitmap.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "document/commands/commands.h"
#include "document/commands/document_state.h"

namespace opta {
namespace {

using doccmd::SelectionState;
using platform::IDOK;
using platform::MB_ICONQUESTION;
using platform::MB_OK;
using platform::MB_OKCANCEL;

constexpr Colour kOutlinePen = 0x7FFF;  // red 255, green 127, blue 0
// A fresh SelectionBuffer is white, so a Paste before any Cut writes white.
constexpr Colour kFreshBuffer = kWhite;

// Mouse positions are 16-bit on the platform we mirror; clamping keeps the
// block arithmetic in int and every line short.
Point ClampMouse(Point p) { return Point{std::clamp(p.x, -32768, 32767), std::clamp(p.y, -32768, 32767)}; }

bool SelectionMode() { return doccmd::readoutMode() == ReadoutMode::None; }

// The half-open range of offsets i in [0, n) for which origin + i lies in
// [0, limit).
struct Span {
  int begin, end;
};
Span Inside(int origin, int n, int limit) { return Span{std::max(0, -origin), std::min(n, limit - origin)}; }

}  // namespace

void SelectionPress(CommandContext& ctx, Point p) {
  doccmd::selection().press = ClampMouse(p);
  ctx.shell.invalidate();
}

void SelectionDrag(CommandContext& ctx, Point p, bool leftButtonHeld) {
  if (!leftButtonHeld) return;
  SelectionState& s = doccmd::selection();
  s.drag = ClampMouse(p);
  char text[64];
  std::snprintf(text, sizeof text, "%d x %i", s.drag.x - s.press.x, s.drag.y - s.press.y);
  ctx.window.drawText(s.press.x, s.press.y, text);
}

void SelectionRelease(CommandContext& ctx, Point p) {
  SelectionState& s = doccmd::selection();
  s.release = ClampMouse(p);
  const int x0 = s.press.x, y0 = s.press.y, x1 = s.release.x, y1 = s.release.y;
  const int w = std::abs(x1 - x0), h = std::abs(y1 - y0);

  Surface& window = ctx.window;
  const DcState saved = window.dc();
  window.dc().penColour = kOutlinePen;
  window.dc().transparent = true;
  window.rectangle(x0, y0, x1, y1);

  // The block as loaded, always below and right of the press point. With no
  // image there is nothing to put back; cells outside the image are skipped.
  WorkingImage& image = ctx.doc.working;
  if (image.loaded) {
    const PixelMatrix& src = image.pixels;
    const Span xs = Inside(x0, w, std::min(src.width(), image.memory.width()));
    const Span ys = Inside(y0, h, std::min(src.height(), image.memory.height()));
    Canvas canvas = ctx.canvas();
    for (int i = xs.begin; i < xs.end; ++i) {
      for (int j = ys.begin; j < ys.end; ++j) canvas.put(x0 + i, y0 + j, src.at(x0 + i, y0 + j));
    }
  }

  window.moveTo(x0, y0);
  window.lineTo(x0, y1);
  window.lineTo(x1, y1);
  window.lineTo(x1, y0);
  window.lineTo(x0, y0);
  window.dc() = saved;

  // A block too large to hold leaves an empty buffer; Cut and Paste then do nothing.
  if (s.buffer.allocate(w, h)) s.buffer.fill(kFreshBuffer);
}

void CutSelection(CommandContext& ctx) {
  if (!SelectionMode()) return;
  SelectionState& s = doccmd::selection();
  const Surface& memory = ctx.doc.working.memory;
  const int x0 = s.press.x, y0 = s.press.y;
  // After a press with no release the points no longer match the buffer:
  // stay inside it, and skip cells outside the image.
  const int w = std::min(std::abs(s.release.x - x0), s.buffer.width());
  const int h = std::min(std::abs(s.release.y - y0), s.buffer.height());
  const Span xs = Inside(x0, w, memory.width());
  const Span ys = Inside(y0, h, memory.height());
  for (int i = xs.begin; i < xs.end; ++i) {
    for (int j = ys.begin; j < ys.end; ++j) s.buffer.at(i, j) = memory.get(x0 + i, y0 + j);
  }
}

void PasteSelection(CommandContext& ctx) {
  if (!SelectionMode() || !ctx.doc.working.loaded) return;
  SelectionState& s = doccmd::selection();
  const int dx = s.release.x - s.press.x;
  const int dy = s.release.y - s.press.y;
  // Columns and rows from 1: column 0 and row 0 of the buffer are never
  // written. The buffer bounds the loops whatever the points say.
  Canvas canvas = ctx.canvas();
  const int px = s.paste.x, py = s.paste.y;
  const Span xs =
      Inside(px, std::min(dx, s.buffer.width()), std::max(canvas.window().width(), canvas.memory().width()));
  const Span ys = Inside(py, std::min(dy, s.buffer.height()),
                         std::max(canvas.window().height(), canvas.memory().height()));
  for (int i = std::max(1, xs.begin); i < xs.end; ++i) {
    for (int j = std::max(1, ys.begin); j < ys.end; ++j) canvas.put(px + i, py + j, s.buffer.at(i, j));
  }
}

// The PixelMatrix is kept: the image stays loaded, and later commands read it.
void NewWindow(CommandContext& ctx) {
  if (!SelectionMode()) return;
  const Size screen = ctx.shell.screenSize();
  ctx.window.fillRect(0, 0, screen.width, screen.height, kWhite);
}

void SelectionSetPastePoint(Point p) { doccmd::selection().paste = ClampMouse(p); }

void PasteClipboardImage(CommandContext& ctx) {
  WorkingImage& image = ctx.doc.working;
  const bool hadImage = image.loaded;
  if (hadImage && ctx.ui.messageBox("  Save Existing Bitmap File ? ", doccmd::kCaption,
                                    MB_OKCANCEL | MB_ICONQUESTION) == IDOK) {
    ctx.shell.postCommand(docid::kSave);
  }
  // The clipboard keeps its bitmap; the working image gets its own copy.
  Surface pasted;
  if (!ctx.ui.clipboardBitmap(pasted) || pasted.empty()) {
    if (hadImage) ctx.ui.messageBox("  First Copy Image then Past it! ", doccmd::kCaption, MB_OK);
    return;
  }
  if (hadImage) ctx.ui.messageBox("  try it ", doccmd::kCaption, MB_OK);

  const Size client = ctx.shell.clientSize();
  ctx.window.fillRect(0, 0, client.width, client.height, kWhite);
  image.memory = std::move(pasted);
  image.loaded = true;
  const int w = image.memory.width(), h = image.memory.height();
  ctx.window.copyFrom(image.memory, 0, 0, 0, 0, w, h);

  // Row copy: the same colours as the x-outer, y-inner capture.
  if (!image.pixels.copyFrom(image.memory.pixels()) || !image.allocateAnalysis()) {
    image.unload();
    ctx.ui.messageBox(doccmd::kCannotLoad, doccmd::kCaption, platform::MB_ICONEXCLAMATION, true);
  }
}

}  // namespace opta
