#pragma once
// What the analysis commands found, as numbers and positions instead of
// message texts, for a caller that keeps results (the batch mode). The
// commands fill a record only while a caller has named one; the program
// itself never reads it, so nothing it shows or draws depends on it.
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/bloodcells.h"
#include "core/matrix.h"

namespace opta {

struct AnalysisFindings {
  std::optional<std::uint32_t> objects;     // count of the last labelling by a Segment command, Grow or TRFG
  std::optional<std::uint32_t> whiteCells;  // count of the last Find WBCs
  std::optional<RedCellReport> redCells;    // the last RBC General
  std::optional<int> sickleCells;           // "s" marks of the last Identify Sickel Cells
  // Blood-cell marks drawn since the objects were labelled, each at a pixel
  // of the object it belongs to.
  std::vector<CellMark> marks;
  // The mask as that labelling left it, kept only when asked for: later
  // commands (Find WBCs) label the mask afresh.
  bool keepLabelledMask = false;
  bool haveLabelledMask = false;
  ByteMatrix labelledMask;

  // Forgets the results and keeps the storage for the next picture.
  void clear();
};

// The record the commands fill; null (the program's normal state) records
// nothing.
inline AnalysisFindings* FindingsSink = nullptr;

// What the commands report, each a no-op without a record.
void NoteObjectsLabelled(std::uint32_t count, const ByteMatrix& mask);
void NoteWhiteCells(std::uint32_t count, const std::vector<CellMark>& marks);
void NoteRedCells(const RedCellReport& report);
void NoteSickleMarks(const std::vector<CellMark>& marks);

}  // namespace opta
