// Open, Open Also and Save: the two loading roads into an image's memory
// surface, the capture of its source matrix, and the saved file.
#include <optional>
#include <string>

#include "document/commands/commands.h"
#include "document/commands/document_state.h"
#include "document/dib_file.h"
#include "document/save_file.h"

namespace opta {
namespace {

using platform::CursorShape;
using platform::MB_ICONEXCLAMATION;
using platform::MB_OK;

// The wait cursor for the rest of the command, whichever way it ends.
class WaitCursor {
 public:
  explicit WaitCursor(platform::Ui& ui) : ui_(ui) { ui_.setCursor(CursorShape::Wait); }
  ~WaitCursor() { ui_.setCursor(CursorShape::Arrow); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  platform::Ui& ui_;
};

enum class LoadOutcome {
  Loaded,       // the image's memory surface holds the picture
  CannotLoad,   // missing, rejected or undecodable file
  OutOfMemory,  // the picture could not be held
};

// ReadDibFile and the choice of road. The picture lands in image.memory; the
// caller captures the matrices and marks the image loaded.
LoadOutcome LoadIntoMemory(CommandContext& ctx, const std::string& path, Image& image) {
  const DibReadResult read = ReadDibFile(path, ctx.doc.lastLoaded);
  if (read.status == DibReadStatus::Rejected) ctx.ui.messageBox("bsuccess", "", MB_OK);
  if (read.status != DibReadStatus::Ok) return LoadOutcome::CannotLoad;
  const PictureStatus status = LoadPicture(ctx.doc.lastLoaded, read.info, ctx.window, image.memory);
  ctx.doc.lastLoaded.keepHeaders();
  switch (status) {
    case PictureStatus::Loaded:
      return LoadOutcome::Loaded;
    case PictureStatus::OutOfMemory:
      return LoadOutcome::OutOfMemory;
    case PictureStatus::Refused:
      break;
  }
  return LoadOutcome::CannotLoad;
}

// The source matrix as the memory surface holds it. Both are stored row by
// row, so a row copy gives what the x-outer, y-inner capture gives.
bool CapturePixels(Image& image) { return image.pixels.copyFrom(image.memory.pixels()); }

void ShowCannotLoad(CommandContext& ctx) {
  ctx.ui.messageBox(doccmd::kCannotLoad, doccmd::kCaption, MB_ICONEXCLAMATION, /*ownedByMainWindow=*/true);
}

// The menu items of the two-image operations, enabled once for good.
constexpr int kTwoImageItems[] = {40050, 40051, 40052, 40053, 40054, 40055, 40056,
                                  40057, 40059, 40060, 40061, 40062, 40063, 40064};

}  // namespace

void OpenImage(CommandContext& ctx) {
  Document& doc = ctx.doc;
  const std::optional<std::string> path = ctx.ui.openFileDialog(DocumentFileDialog());
  if (!path) {
    if (doc.second.loaded) ctx.shell.invalidate();
    return;
  }
  // The bitmap is gone from here on; its storage stays for the decoder to
  // reuse, since fresh pages for a large picture cost more than the decoding.
  doc.working.loaded = false;
  doc.second.unload();

  WaitCursor wait(ctx.ui);
  WorkingImage& image = doc.working;
  const LoadOutcome outcome = LoadIntoMemory(ctx, *path, image);
  bool ok = outcome == LoadOutcome::Loaded;
  ok = ok && CapturePixels(image) && image.allocateAnalysis();
  if (!ok) {
    // With no image nothing reads the matrices; when memory ran short they
    // are the room the next attempt needs.
    image.unload();
    image.pixels.release();
    image.mask.release();
    ShowCannotLoad(ctx);
    return;
  }
  image.loaded = true;
  ctx.shell.invalidate();
}

void OpenSecondImage(CommandContext& ctx) {
  Document& doc = ctx.doc;
  if (!doc.working.loaded) return;
  const std::optional<std::string> path = ctx.ui.openFileDialog(DocumentFileDialog());
  if (!path) return;
  doc.second.loaded = false;  // storage kept for reuse, as in Open

  WaitCursor wait(ctx.ui);
  SecondImage& image = doc.second;
  const LoadOutcome outcome = LoadIntoMemory(ctx, *path, image);
  if (outcome != LoadOutcome::Loaded) {
    image.unload();
    // A rejected file has had its "bsuccess"; otherwise only a lack of memory is told.
    if (outcome == LoadOutcome::OutOfMemory) ShowCannotLoad(ctx);
    return;
  }
  ctx.shell.invalidate();
  if (!CapturePixels(image)) {
    image.unload();
    ShowCannotLoad(ctx);
    return;
  }
  image.loaded = true;
  if (doc.working.loaded) {
    for (int id : kTwoImageItems) ctx.shell.menu().setEnable(id, ItemEnable::Enabled);
  }
  ctx.shell.invalidate();
}

void SaveImage(CommandContext& ctx) {
  Document& doc = ctx.doc;
  const std::optional<std::string> path = ctx.ui.saveFileDialog(DocumentFileDialog());
  if (!path) {
    if (doc.second.loaded) ctx.shell.invalidate();
    return;
  }
  if (!doc.lastLoaded.present()) {
    ctx.ui.exitProcess(0);
    return;
  }
  // File bytes but no bitmap (an Open failed after an earlier one): no size to
  // write, so say there is no image instead of writing or ending the program.
  if (!doc.working.loaded) {
    ShowNoImageMessage(ctx.ui);
    return;
  }
  {
    WaitCursor wait(ctx.ui);
    // A file that cannot be written is not reported; the one it would have
    // replaced is left whole.
    (void)SaveDibFile(*path, doc.working.memory);
  }
  if (doc.second.loaded) ctx.shell.invalidate();
}

}  // namespace opta
