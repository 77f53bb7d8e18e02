#include "analysis/classify.h"

#include <optional>
#include <string>

#include "analysis/measure.h"

namespace opta {
namespace {

// Strictly above low in full precision, strictly below high in single.
struct ShapeBand {
  double low;
  double high;
  const char* mark;
  int firstLabel;
};

void MarkShapes(Canvas& canvas, const ByteMatrix& mask, int width, int height, const ShapeBand& band) {
  MeasureAreas(mask, height, width);
  MeasurePerimeters(mask, width, height);
  std::optional<FirstPixels> first;  // one pass over the mask, only if something qualifies
  for (int l = band.firstLabel; l < 256; ++l) {
    if (ObjectPerimeter[l] == 0.0f || ObjectArea[l] == 0) continue;
    const double ratio = ShapeRatio(ObjectPerimeter[l], ObjectArea[l]);
    if (!(ratio > band.low && static_cast<double>(SingleShapeRatio(ratio)) < band.high)) continue;
    if (!first) first = FindFirstPixels(mask, width, height);
    if (first->has(l)) canvas.drawText(first->x[l] + 5, first->y[l], band.mark);
  }
}

// Writes each grouped label's number just right of its first pixel.
void MarkGroups(Canvas& canvas, const ByteMatrix& mask, int width, int height, const GroupTable& group,
                int firstMarked) {
  const FirstPixels first = FindFirstPixels(mask, width, height);
  for (int l = firstMarked; l < 256; ++l) {
    if (group[l] == 0 || !first.has(l)) continue;
    canvas.drawText(first.x[l] + 5, first.y[l], std::to_string(group[l]));
  }
}

}  // namespace

GroupTable AssignGroups(int lastStarter, int lastPartner, const std::function<bool(int, int)>& close) {
  GroupTable group{};
  std::int32_t g = 1;
  for (int i = 0; i <= lastStarter; ++i) {
    if (group[i] != 0) continue;
    group[i] = g;
    for (int j = i + 1; j <= lastPartner; ++j)
      if (close(i, j)) group[j] = g;
    ++g;
  }
  return group;
}

void MarkCircles(Canvas& canvas, const ByteMatrix& mask, int width, int height) {
  MarkShapes(canvas, mask, width, height, ShapeBand{14.5, 15.3, "C", 1});
}

void MarkSquares(Canvas& canvas, const ByteMatrix& mask, int width, int height) {
  MarkShapes(canvas, mask, width, height, ShapeBand{15.5, 16.0, "S", 0});
}

void MarkTriangles(Canvas& canvas, const ByteMatrix& mask, int width, int height) {
  MarkShapes(canvas, mask, width, height, ShapeBand{22.0, 25.0, "T", 0});
}

void GroupByArea(Canvas& canvas, const ByteMatrix& mask, int width, int height) {
  MeasureAreas(mask, height, width);
  const GroupTable group =
      AssignGroups(255, 255, [](int i, int j) { return WithinFive(ObjectArea[i], ObjectArea[j]); });
  MarkGroups(canvas, mask, width, height, group, 1);
}

void GroupByPerimeter(Canvas& canvas, const ByteMatrix& mask, int width, int height) {
  MeasurePerimeters(mask, width, height);
  const GroupTable group =
      AssignGroups(255, 254, [](int i, int j) { return WithinFive(ObjectPerimeter[i], ObjectPerimeter[j]); });
  MarkGroups(canvas, mask, width, height, group, 0);
}

void GroupByIntensity(Canvas& canvas, const PixelMatrix& pixels, const ByteMatrix& mask, int width,
                      int height) {
  MeasureMeanIntensities(pixels, mask, width, height);
  const GroupTable group = AssignGroups(
      253, 254, [](int i, int j) { return WithinFive(ObjectMeanIntensity[i], ObjectMeanIntensity[j]); });
  MarkGroups(canvas, mask, width, height, group, 0);
}

}  // namespace opta
