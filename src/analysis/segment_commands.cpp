#include "analysis/segment_commands.h"

#include "analysis/cleanup.h"
#include "analysis/findings.h"
#include "platform/dialog.h"

namespace opta {

MessageFn MessagesTo(platform::Ui& ui) {
  return [&ui](std::string_view text, std::string_view caption, unsigned flags) {
    ui.messageBox(text, caption, flags, false);
  };
}

LabelEnv MakeLabelEnv(CommandContext& ctx) {
  return LabelEnv{ctx.shell.screenSize(), MessagesTo(ctx.ui), DefaultNeighboursPath()};
}

namespace {

// Room for the Histogram command's gray levels, which must leave the mask be.
ByteMatrix* GrayRoom(CommandContext& ctx) {
  const WorkingImage& img = ctx.doc.working;
  return ctx.doc.scratch.bytes(0, img.width(), img.height());
}

}  // namespace

ByteMatrix* PrepareGray(CommandContext& ctx) {
  WorkingImage& img = ctx.doc.working;
  if (!ComputeHistogram(GrayHistogram, img.height(), img.width(), img.pixels, img.mask)) return nullptr;
  SmoothHistogram(GrayHistogram);
  return &img.mask;
}

bool ThresholdWorking(CommandContext& ctx, const ByteMatrix& gray, ThresholdLimits limits) {
  WorkingImage& img = ctx.doc.working;
  return ThresholdRange(gray, img.mask, limits.high, limits.low, img.width(), img.height());
}

void ShowWorkingMask(CommandContext& ctx) {
  Canvas canvas = ctx.canvas();
  ShowMask(ctx.doc.working.mask, canvas, ctx.doc.working.width(), ctx.doc.working.height());
}

std::uint32_t LabelWorkingMask(CommandContext& ctx) {
  Canvas canvas = ctx.canvas();
  const LabelEnv env = MakeLabelEnv(ctx);
  WorkingImage& img = ctx.doc.working;
  return LabelObjects(img.mask, img.width(), img.height(), canvas, env);
}

void LabelWorkingObjects(CommandContext& ctx) {
  const std::uint32_t count = LabelWorkingMask(ctx);
  NoteObjectsLabelled(count, ctx.doc.working.mask);
}

void RemoveWorkingObjects(CommandContext& ctx, std::int32_t sizeLimit) {
  WorkingImage& img = ctx.doc.working;
  RemoveObjects(img.mask, img.width(), img.height(), sizeLimit, MessagesTo(ctx.ui));
}

void FillWorkingObjects(CommandContext& ctx, std::int32_t sizeLimit) {
  WorkingImage& img = ctx.doc.working;
  FillObjects(img.mask, img.width(), img.height(), sizeLimit, MessagesTo(ctx.ui));
}

void SetThresholdLimitsProc::onCommand(platform::DialogWindow& dlg, int controlId) {
  if (controlId == platform::IDOK) {
    ThresholdHigh = platform::ReadDialogInt(dlg.itemText(1015));
    ThresholdLow = platform::ReadDialogInt(dlg.itemText(1016));
    DialogAccepted = 1;
    dlg.end(1);
  } else if (controlId == platform::IDCANCEL) {
    dlg.end(0);
    DialogAccepted = 0;
  }
}

namespace {

// The limits as levels: only their low 8 bits count.
ThresholdLimits UserLimits() {
  return ThresholdLimits{static_cast<std::uint8_t>(ThresholdHigh), static_cast<std::uint8_t>(ThresholdLow)};
}

ThresholdLimits AdaptiveLimits(CommandContext& ctx, const ByteMatrix& gray) {
  WorkingImage& img = ctx.doc.working;
  const ThresholdLimits first = PeakLimits(GrayHistogram);
  std::uint32_t objectMean = 0, backgroundMean = 0;
  // Only the means: the mask holds the gray levels, and the threshold that
  // follows writes every pixel of it anyway.
  ThresholdWithClassMeans(gray, nullptr, first.high, first.low, 255, objectMean, backgroundMean, img.width(),
                          img.height());
  ThresholdLimits second{255, 0};
  LimitsFromPeaks(GrayHistogram, objectMean, backgroundMean, second.high, second.low);
  return second;
}

// A threshold command: gray and smoothed histogram, the rule's limits, the
// mask shown, and (for the Segment menu) the objects labelled and counted.
template <class Rule>
void AddThreshold(CommandTable& table, int id, bool label, Rule rule) {
  table.add(Command{id, Frame::Plain, {}, [label, rule](CommandContext& ctx) {
                      const ByteMatrix* gray = PrepareGray(ctx);
                      if (!gray || !ThresholdWorking(ctx, *gray, rule(ctx, *gray))) return;
                      ShowWorkingMask(ctx);
                      if (label) LabelWorkingObjects(ctx);
                    }});
}

}  // namespace

void registerSegmentCommands(CommandTable& table) {
  table.addResetHook(ResetThresholdState);

  table.add(Command{40032, Frame::Plain, {}, [](CommandContext& ctx) {
                      WorkingImage& img = ctx.doc.working;
                      ByteMatrix* gray = GrayRoom(ctx);
                      if (!gray ||
                          !ComputeHistogram(GrayHistogram, img.height(), img.width(), img.pixels, *gray))
                        return;
                      DrawHistogram(GrayHistogram, ctx.window, ctx.shell.screenSize().height);
                    }});
  table.add(Command{40106,
                    Frame::Own,
                    {DialogStep{"IDD_DIALOG_SET", [] { return std::make_unique<SetThresholdLimitsProc>(); }}},
                    [](CommandContext&) {}});

  AddThreshold(table, 40103, false, [](CommandContext&, const ByteMatrix&) { return UserLimits(); });
  AddThreshold(table, 40012, true, [](CommandContext&, const ByteMatrix&) {
    return ThresholdLimits{255, 140};
  });
  AddThreshold(table, 40013, true,
               [](CommandContext&, const ByteMatrix&) { return PeakLimits(GrayHistogram); });
  AddThreshold(table, 40014, true,
               [](CommandContext&, const ByteMatrix&) { return ValleyLimits(GrayHistogram); });
  AddThreshold(table, 40015, true,
               [](CommandContext& ctx, const ByteMatrix& g) { return AdaptiveLimits(ctx, g); });

  table.add(Command{40104, Frame::Plain, {}, [](CommandContext& ctx) { LabelWorkingObjects(ctx); }});
  table.add(Command{40099, Frame::Plain, {}, [](CommandContext& ctx) {
                      FillWorkingObjects(ctx, 1000);
                      ShowWorkingMask(ctx);
                    }});
  table.add(Command{40105, Frame::Plain, {}, [](CommandContext& ctx) {
                      RemoveWorkingObjects(ctx, 100);
                      ShowWorkingMask(ctx);
                    }});
  table.add(Command{40109, Frame::Plain, {}, [](CommandContext& ctx) {
                      const ByteMatrix* gray = PrepareGray(ctx);
                      if (!gray || !ThresholdWorking(ctx, *gray, UserLimits())) return;
                      RemoveWorkingObjects(ctx, 100);
                      FillWorkingObjects(ctx, 1000);
                      ShowWorkingMask(ctx);
                      LabelWorkingObjects(ctx);
                    }});
}

}  // namespace opta
