#pragma once
// The steps the segmentation commands share, for every analysis command that
// thresholds, cleans or labels the working image's mask.
#include <cstdint>

#include "analysis/histogram.h"
#include "analysis/label.h"
#include "command/command.h"

namespace opta {

// Message boxes with no owner window, as the kernels report.
MessageFn MessagesTo(platform::Ui& ui);
LabelEnv MakeLabelEnv(CommandContext& ctx);

// ComputeHistogram on the PixelMatrix, then SmoothHistogram: the first two
// steps of every threshold command. The gray levels go into the MaskMatrix
// itself, which the command's threshold then rewrites pixel by pixel, so no
// picture-sized room is needed beside it. Null when the pixels do not cover
// the picture.
ByteMatrix* PrepareGray(CommandContext& ctx);
// ThresholdRange of those gray levels into the MaskMatrix (in place).
bool ThresholdWorking(CommandContext& ctx, const ByteMatrix& gray, ThresholdLimits limits);
// ShowMask of the MaskMatrix into both surfaces.
void ShowWorkingMask(CommandContext& ctx);
// LabelObjects on the MaskMatrix; returns the count it reported.
std::uint32_t LabelWorkingMask(CommandContext& ctx);
// The same for the commands whose objects are the picture's objects (the
// Segment commands, Grow, TRFG), which also tells the findings record.
void LabelWorkingObjects(CommandContext& ctx);
// RemoveObjects / FillObjects on the MaskMatrix.
void RemoveWorkingObjects(CommandContext& ctx, std::int32_t sizeLimit);
void FillWorkingObjects(CommandContext& ctx, std::int32_t sizeLimit);

// The Set Threshold Limits dialog: High (1015) and Low (1016).
class SetThresholdLimitsProc : public platform::DialogProc {
 public:
  void onCommand(platform::DialogWindow& dlg, int controlId) override;
};

void registerSegmentCommands(CommandTable& table);

}  // namespace opta
