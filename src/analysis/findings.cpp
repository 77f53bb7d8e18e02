#include "analysis/findings.h"

namespace opta {

void AnalysisFindings::clear() {
  objects.reset();
  whiteCells.reset();
  redCells.reset();
  sickleCells.reset();
  marks.clear();
  haveLabelledMask = false;
}

void NoteObjectsLabelled(std::uint32_t count, const ByteMatrix& mask) {
  AnalysisFindings* f = FindingsSink;
  if (!f) return;
  f->objects = count;
  // Marks drawn before this labelling belonged to a picture it has painted over.
  f->marks.clear();
  f->haveLabelledMask = f->keepLabelledMask && f->labelledMask.copyFrom(mask);
}

void NoteWhiteCells(std::uint32_t count, const std::vector<CellMark>& marks) {
  AnalysisFindings* f = FindingsSink;
  if (!f) return;
  f->whiteCells = count;
  f->marks.insert(f->marks.end(), marks.begin(), marks.end());
}

void NoteRedCells(const RedCellReport& report) {
  if (FindingsSink) FindingsSink->redCells = report;
}

void NoteSickleMarks(const std::vector<CellMark>& marks) {
  AnalysisFindings* f = FindingsSink;
  if (!f) return;
  int sickle = 0;
  for (const CellMark& m : marks) sickle += m.kind == CellMark::Kind::Sickle;
  f->sickleCells = sickle;
  f->marks.insert(f->marks.end(), marks.begin(), marks.end());
}

}  // namespace opta
