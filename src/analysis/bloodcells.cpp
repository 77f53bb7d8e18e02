#include "analysis/bloodcells.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "analysis/classify.h"
#include "analysis/measure.h"

namespace opta {

bool IsNormalRatio(double ratio) {
  return ratio >= 14.0 && static_cast<double>(SingleShapeRatio(ratio)) <= 16.0;
}

bool IsSickleRatio(double ratio) {
  const double single = SingleShapeRatio(ratio);
  return single >= 20.0 && single <= 35.0;
}

RedCellReport AssessRedCells(const ByteMatrix& mask, int width, int height) {
  MeasureAreas(mask, height, width);
  MeasurePerimeters(mask, width, height);
  const GroupTable areaGroup =
      AssignGroups(255, 255, [](int i, int j) { return WithinFive(ObjectArea[i], ObjectArea[j]); });
  const GroupTable perimeterGroup =
      AssignGroups(255, 254, [](int i, int j) { return WithinFive(ObjectPerimeter[i], ObjectPerimeter[j]); });
  RedCellReport report;
  for (int i = 0; i <= 255; ++i)
    for (int j = i + 1; j <= 254; ++j)
      if (perimeterGroup[i] == perimeterGroup[j] && areaGroup[i] != areaGroup[j]) ++report.mismatches;
  for (int l = 1; l <= 255; ++l) {
    if (ObjectPerimeter[l] == 0.0f || ObjectArea[l] == 0) continue;
    if (IsNormalRatio(ShapeRatio(ObjectPerimeter[l], ObjectArea[l]))) ++report.normal;
  }
  return report;
}

void AnalyseRedCells(platform::Ui& ui, const ByteMatrix& mask, int width, int height) {
  const RedCellReport report = AssessRedCells(mask, width, height);
  ui.messageBox(report.anaemia() ? "The Patient appears to be suffering from Anemia"
                                 : "The Patient does not appear to have Anemia",
                "OPTA", platform::MB_OK);
  char text[64];
  std::snprintf(text, sizeof text, "Normal RBCs Found: %d", report.normal);
  ui.messageBox(text, "OPTA", platform::MB_OK);
}

void MarkWhiteCells(Canvas& canvas, const ByteMatrix& mask, int width, int height) {
  width = std::min(width, mask.width());
  height = std::min(height, mask.height());
  std::uint8_t label = 2;
  // Column after column; a column walk revisits the same cache lines for the
  // next 63 columns, so the plain loop stays fast on large masks.
  for (int x = 1; x < width; ++x) {
    const std::uint8_t* p = mask.data() + x;
    for (int y = 0; y < height; ++y, p += mask.width()) {
      if (*p == label) {
        canvas.drawText(x + 5, y, "W");
        ++label;
      }
    }
  }
}

void MarkSickleCells(Canvas& canvas, const ByteMatrix& mask, int width, int height) {
  MeasureAreas(mask, height, width);
  MeasurePerimeters(mask, width, height);
  std::optional<FirstPixels> first;
  for (int l = 1; l <= 255; ++l) {
    if (ObjectPerimeter[l] == 0.0f || ObjectArea[l] == 0) continue;
    const double ratio = ShapeRatio(ObjectPerimeter[l], ObjectArea[l]);
    const char* mark = IsNormalRatio(ratio) ? "r" : (IsSickleRatio(ratio) ? "s" : nullptr);
    if (!mark) continue;
    if (!first) first = FindFirstPixels(mask, width, height);
    if (first->has(l)) canvas.drawText(first->x[l], first->y[l], mark);
  }
}

}  // namespace opta
