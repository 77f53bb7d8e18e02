#pragma once
// Training on one sample object and identification of objects like it.
#include <cstdint>

#include "core/canvas.h"
#include "core/matrix.h"
#include "platform/ui.h"

namespace opta {

// The learnt sample, kept for the whole run; ResetTraining restores the
// start values (area 1, perimeter 0, intensity 0).
inline std::uint32_t TrainedArea = 1;
inline float TrainedPerimeter = 0.0f;
inline std::uint32_t TrainedIntensity = 0;
void ResetTraining();

// Learns from the first of labels 1, 2, 3 with more than one pixel; says
// "Trained", or "Too Many Objects!!" and keeps the old values.
void TrainSample(platform::Ui& ui, const PixelMatrix& pixels, const ByteMatrix& mask, int width, int height);

// Mark "A", "P" or "I" on the first pixel of every label (background
// included) whose measurement lies within 5 of the trained one.
void IdentifyByArea(Canvas& canvas, const ByteMatrix& mask, int width, int height);
void IdentifyByPerimeter(Canvas& canvas, const ByteMatrix& mask, int width, int height);
void IdentifyByIntensity(Canvas& canvas, const PixelMatrix& pixels, const ByteMatrix& mask, int width,
                         int height);

}  // namespace opta
