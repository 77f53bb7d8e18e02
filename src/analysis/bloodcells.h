#pragma once
// Blood-cell judgements on a labelled smear mask: normal red cells and the
// anaemia verdict, white-cell marks, and disc-like / sickle-cell marks.
#include <cstdint>
#include <vector>

#include "core/canvas.h"
#include "core/matrix.h"
#include "platform/ui.h"

namespace opta {

struct RedCellReport {
  int mismatches = 0;  // label pairs sharing a perimeter group but not an area group
  int normal = 0;      // disc-like labels
  bool anaemia() const { return mismatches != 0; }
};

// A blood-cell mark as drawn: its kind and the first pixel of the object it
// marks ("r" and "s" are drawn there, "W" five pixels to its right).
struct CellMark {
  enum class Kind : std::uint8_t { NormalRed, Sickle, White };
  Kind kind;
  int x, y;
  bool operator==(const CellMark&) const = default;
};

// Measures the mask and judges it; AnalyseRedCells also tells the user.
RedCellReport AssessRedCells(const ByteMatrix& mask, int width, int height);
RedCellReport AnalyseRedCells(platform::Ui& ui, const ByteMatrix& mask, int width, int height);

// "W" beside each object met in labelling order (labels 2, 3, ... as the
// x-outer scan finds them), column 0 left out. drawn, when given, gets
// every mark in the order drawn.
void MarkWhiteCells(Canvas& canvas, const ByteMatrix& mask, int width, int height,
                    std::vector<CellMark>* drawn = nullptr);
void MarkWhiteCellsReference(Canvas& canvas, const ByteMatrix& mask, int width, int height,
                             std::vector<CellMark>* drawn = nullptr);

// "r" on disc-like labels, "s" on sickle-shaped ones, at the first pixel.
void MarkSickleCells(Canvas& canvas, const ByteMatrix& mask, int width, int height,
                     std::vector<CellMark>* drawn = nullptr);

// A disc-like ratio: full ratio at least 14, single ratio at most 16.
bool IsNormalRatio(double ratio);
// A sickle ratio: single ratio within [20, 35].
bool IsSickleRatio(double ratio);

}  // namespace opta
