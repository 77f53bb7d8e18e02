#pragma once
// Gray levels, their histogram, the threshold-limit rules and the mask they
// write. Every analysis command starts from the GrayMatrix and MaskMatrix
// made here.
#include <array>
#include <cstdint>

#include "core/canvas.h"
#include "core/geometry.h"
#include "core/matrix.h"
#include "core/surface.h"

namespace opta {

using Histogram = std::array<std::uint32_t, 256>;

// Module state kept for the whole run; the Set Threshold Limits dialog
// writes the limits, and only their low 8 bits act as levels.
inline Histogram GrayHistogram{};
inline std::int32_t ThresholdHigh = 140;
inline std::int32_t ThresholdLow = 0;
void ResetThresholdState();

// Fills the histogram and the gray matrix (allocated to width x height here)
// from the pixels. False when the gray matrix cannot be had or the pixels are
// smaller than the size asked for.
bool ComputeHistogram(Histogram& histogram, int height, int width, const PixelMatrix& pixels,
                      ByteMatrix& gray);
bool ComputeHistogramReference(Histogram& histogram, int height, int width, const PixelMatrix& pixels,
                               ByteMatrix& gray);

// Draws the unscaled counts with the window's current pen; screenHeight is the
// primary screen's height, not the window's.
void DrawHistogram(const Histogram& histogram, Surface& window, int screenHeight);

void SmoothHistogram(Histogram& histogram);

// mask = 255 where low <= gray <= high, else 0. The mask is allocated to
// width x height here.
bool ThresholdRange(const ByteMatrix& gray, ByteMatrix& mask, std::uint8_t high, std::uint8_t low, int width,
                    int height);
bool ThresholdRangeReference(const ByteMatrix& gray, ByteMatrix& mask, std::uint8_t high, std::uint8_t low,
                             int width, int height);

// Shows the mask in black and white, memory surface first, then the window.
void ShowMask(const ByteMatrix& mask, Canvas& canvas, int width, int height);
void ShowMaskReference(const ByteMatrix& mask, Canvas& canvas, int width, int height);

struct RankedLevel {
  std::int32_t count;
  std::int32_t level;
};
using RankedLevels = std::array<RankedLevel, 255>;

// The two insertion rules of the peak and valley searches, taken literally.
void InsertDescending(RankedLevels& list, RankedLevel entry);
void InsertAscending(RankedLevels& list, RankedLevel entry);

void FindHistogramPeaks(const Histogram& histogram, std::int32_t& mainPeak, std::int32_t& secondPeak);
void LimitsFromPeaks(const Histogram& histogram, std::uint32_t a, std::uint32_t b, std::uint8_t& high,
                     std::uint8_t& low);
// The level between a and b with the least count below 10000, or -1.
void FindValley(const Histogram& histogram, std::uint32_t a, std::uint32_t b, std::int32_t& valley);
void LimitsFromValley(const Histogram& histogram, std::uint32_t a, std::uint32_t b, std::uint8_t& high,
                      std::uint8_t& low);

// mask may be null (only the means are wanted) or the gray matrix itself.
bool ThresholdWithClassMeans(const ByteMatrix& gray, ByteMatrix* mask, std::uint8_t high, std::uint8_t low,
                             std::uint8_t value, std::uint32_t& objectMean, std::uint32_t& backgroundMean,
                             int width, int height);
bool ThresholdWithClassMeansReference(const ByteMatrix& gray, ByteMatrix& mask, std::uint8_t high,
                                      std::uint8_t low, std::uint8_t value, std::uint32_t& objectMean,
                                      std::uint32_t& backgroundMean, int width, int height);

// The limits each threshold rule picks from the (smoothed) histogram.
struct ThresholdLimits {
  std::uint8_t high;
  std::uint8_t low;
};
ThresholdLimits PeakLimits(const Histogram& histogram);
ThresholdLimits ValleyLimits(const Histogram& histogram);

}  // namespace opta
