#include "analysis/bloodcells.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
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

RedCellReport AnalyseRedCells(platform::Ui& ui, const ByteMatrix& mask, int width, int height) {
  const RedCellReport report = AssessRedCells(mask, width, height);
  ui.messageBox(report.anaemia() ? "The Patient appears to be suffering from Anemia"
                                 : "The Patient does not appear to have Anemia",
                "OPTA", platform::MB_OK);
  char text[64];
  std::snprintf(text, sizeof text, "Normal RBCs Found: %d", report.normal);
  ui.messageBox(text, "OPTA", platform::MB_OK);
  return report;
}

namespace {

// Whether any of the n columns from x0 holds value, eight bytes at a time.
bool StripHolds(const ByteMatrix& mask, int x0, int n, int height, std::uint8_t value) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  const std::uint64_t pattern = value * kOnes;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = mask.row(y) + x0;
    int k = 0;
    for (; k + 8 <= n; k += 8) {
      std::uint64_t word;
      std::memcpy(&word, row + k, 8);
      word ^= pattern;  // a zero byte where the value is
      if ((word - kOnes) & ~word & kHighs) return true;
    }
    for (; k < n; ++k)
      if (row[k] == value) return true;
  }
  return false;
}

}  // namespace

void MarkWhiteCellsReference(Canvas& canvas, const ByteMatrix& mask, int width, int height,
                             std::vector<CellMark>* drawn) {
  width = std::min(width, mask.width());
  height = std::min(height, mask.height());
  std::uint8_t label = 2;
  for (int x = 1; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      if (mask.at(x, y) == label) {
        canvas.drawText(x + 5, y, "W");
        if (drawn) drawn->push_back(CellMark{CellMark::Kind::White, x, y});
        ++label;
      }
    }
  }
}

void MarkWhiteCells(Canvas& canvas, const ByteMatrix& mask, int width, int height,
                    std::vector<CellMark>* drawn) {
  width = std::min(width, mask.width());
  height = std::min(height, mask.height());
  if (width <= 1 || height <= 0) return;
  // The same column-by-column search, on strips of columns copied out
  // column-major, so each column is one contiguous memchr instead of a walk
  // down the rows of a row-major mask.
  constexpr int kStrip = 64;
  // An odd number of cache lines between columns puts the 64 columns of a
  // row in 64 different cache sets while they are filled.
  std::size_t stride = (static_cast<std::size_t>(height) + 63) / 64 + 1;
  if (stride % 2 == 0) ++stride;
  stride *= 64;
  std::unique_ptr<std::uint8_t[]> columns(new (std::nothrow) std::uint8_t[kStrip * stride]);
  if (!columns) {
    MarkWhiteCellsReference(canvas, mask, width, height, drawn);
    return;
  }
  std::uint8_t label = 2;
  for (int x0 = 1; x0 < width; x0 += kStrip) {
    const int n = std::min(kStrip, width - x0);
    if (!StripHolds(mask, x0, n, height, label)) continue;  // most strips: nothing to mark
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* row = mask.row(y) + x0;
      for (int k = 0; k < n; ++k) columns[k * stride + y] = row[k];
    }
    for (int k = 0; k < n; ++k) {
      const std::uint8_t* column = columns.get() + k * stride;
      for (int y = 0; y < height;) {
        const void* hit = std::memchr(column + y, label, static_cast<std::size_t>(height - y));
        if (!hit) break;
        y = static_cast<int>(static_cast<const std::uint8_t*>(hit) - column);
        canvas.drawText(x0 + k + 5, y, "W");
        if (drawn) drawn->push_back(CellMark{CellMark::Kind::White, x0 + k, y});
        ++label;
        ++y;
      }
    }
  }
}

void MarkSickleCells(Canvas& canvas, const ByteMatrix& mask, int width, int height,
                     std::vector<CellMark>* drawn) {
  MeasureAreas(mask, height, width);
  MeasurePerimeters(mask, width, height);
  std::optional<FirstPixels> first;
  for (int l = 1; l <= 255; ++l) {
    if (ObjectPerimeter[l] == 0.0f || ObjectArea[l] == 0) continue;
    const double ratio = ShapeRatio(ObjectPerimeter[l], ObjectArea[l]);
    const bool normal = IsNormalRatio(ratio);
    if (!normal && !IsSickleRatio(ratio)) continue;
    if (!first) first = FindFirstPixels(mask, width, height);
    if (!first->has(l)) continue;
    canvas.drawText(first->x[l], first->y[l], normal ? "r" : "s");
    if (drawn)
      drawn->push_back(
          CellMark{normal ? CellMark::Kind::NormalRed : CellMark::Kind::Sickle, first->x[l], first->y[l]});
  }
}

}  // namespace opta
