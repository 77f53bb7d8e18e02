#include "analysis/training.h"

#include <array>
#include <optional>

#include "analysis/classify.h"
#include "analysis/measure.h"

namespace opta {
namespace {

template <class Matches>
void MarkMatches(Canvas& canvas, const ByteMatrix& mask, int width, int height, const char* mark,
                 Matches matches) {
  std::optional<FirstPixels> first;
  for (int l = 0; l < 256; ++l) {
    if (!matches(l)) continue;
    if (!first) first = FindFirstPixels(mask, width, height);
    if (first->has(l)) canvas.drawText(first->x[l], first->y[l], mark);
  }
}

}  // namespace

void ResetTraining() {
  TrainedArea = 1;
  TrainedPerimeter = 0.0f;
  TrainedIntensity = 0;
}

void TrainSample(platform::Ui& ui, const PixelMatrix& pixels, const ByteMatrix& mask, int width, int height) {
  MeasureAreas(mask, height, width);
  MeasurePerimeters(mask, width, height);
  MeasureMeanIntensities(pixels, mask, width, height);
  for (int sample : {1, 2, 3}) {
    if (ObjectArea[sample] > 1) {
      TrainedArea = ObjectArea[sample];
      TrainedPerimeter = ObjectPerimeter[sample];
      TrainedIntensity = ObjectMeanIntensity[sample];
      ui.messageBox("Trained", "BOPTA", platform::MB_OK);
      return;
    }
  }
  ui.messageBox("Too Many Objects!!", "BOPTA", platform::MB_OK);
}

void IdentifyByArea(Canvas& canvas, const ByteMatrix& mask, int width, int height) {
  MeasureAreas(mask, height, width);
  MarkMatches(canvas, mask, width, height, "A", [](int l) { return WithinFive(ObjectArea[l], TrainedArea); });
}

void IdentifyByPerimeter(Canvas& canvas, const ByteMatrix& mask, int width, int height) {
  MeasurePerimeters(mask, width, height);
  MarkMatches(canvas, mask, width, height, "P",
              [](int l) { return WithinFive(ObjectPerimeter[l], TrainedPerimeter); });
}

void IdentifyByIntensity(Canvas& canvas, const PixelMatrix& pixels, const ByteMatrix& mask, int width,
                         int height) {
  MeasureMeanIntensities(pixels, mask, width, height);
  MarkMatches(canvas, mask, width, height, "I",
              [](int l) { return WithinFive(ObjectMeanIntensity[l], TrainedIntensity); });
}

}  // namespace opta
