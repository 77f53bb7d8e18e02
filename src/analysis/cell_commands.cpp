#include "analysis/cell_commands.h"

#include "analysis/bloodcells.h"
#include "analysis/classify.h"
#include "analysis/findings.h"
#include "analysis/segment_commands.h"
#include "analysis/training.h"

namespace opta {
namespace {

// Every operation here reads the working image's mask (and for some its
// pixels) at the bitmap's current size.
template <class Op>
void Add(CommandTable& table, int id, Frame frame, Op op) {
  table.add(Command{id, frame, {}, [op](CommandContext& ctx) {
                      WorkingImage& w = ctx.doc.working;
                      Canvas canvas = ctx.canvas();
                      op(ctx, canvas, w, w.width(), w.height());
                    }});
}

// Find WBCs: only the darkest pixels (nuclei) are objects; specks go, the
// rest are labelled and painted over the picture as it is, then marked.
void FindWhiteCells(CommandContext& ctx) {
  const ByteMatrix* gray = PrepareGray(ctx);
  if (!gray || !ThresholdWorking(ctx, *gray, ThresholdLimits{70, 0})) return;
  RemoveWorkingObjects(ctx, 100);
  const std::uint32_t count = LabelWorkingMask(ctx);
  WorkingImage& w = ctx.doc.working;
  Canvas canvas = ctx.canvas();
  std::vector<CellMark> marks;
  MarkWhiteCells(canvas, w.mask, w.width(), w.height(), FindingsSink ? &marks : nullptr);
  NoteWhiteCells(count, marks);
}

}  // namespace

void registerCellAnalysisCommands(CommandTable& table) {
  using W = WorkingImage;
  using C = CommandContext;
  // Circles alone stays silent without an image.
  Add(table, 40089, Frame::Silent, [](C&, Canvas& c, W& w, int x, int y) { MarkCircles(c, w.mask, x, y); });
  Add(table, 40090, Frame::Plain, [](C&, Canvas& c, W& w, int x, int y) { MarkSquares(c, w.mask, x, y); });
  Add(table, 40092, Frame::Plain, [](C&, Canvas& c, W& w, int x, int y) { MarkTriangles(c, w.mask, x, y); });
  Add(table, 40102, Frame::Plain, [](C&, Canvas& c, W& w, int x, int y) { GroupByArea(c, w.mask, x, y); });
  Add(table, 40107, Frame::Plain,
      [](C&, Canvas& c, W& w, int x, int y) { GroupByPerimeter(c, w.mask, x, y); });
  Add(table, 40108, Frame::Plain,
      [](C&, Canvas& c, W& w, int x, int y) { GroupByIntensity(c, w.pixels, w.mask, x, y); });

  Add(table, 40199, Frame::Plain,
      [](C& ctx, Canvas&, W& w, int x, int y) { NoteRedCells(AnalyseRedCells(ctx.ui, w.mask, x, y)); });
  table.add(Command{40200, Frame::Plain, {}, FindWhiteCells});
  Add(table, 40207, Frame::Plain, [](C&, Canvas& c, W& w, int x, int y) {
    std::vector<CellMark> marks;
    MarkSickleCells(c, w.mask, x, y, FindingsSink ? &marks : nullptr);
    NoteSickleMarks(marks);
  });

  Add(table, 40208, Frame::Plain,
      [](C& ctx, Canvas&, W& w, int x, int y) { TrainSample(ctx.ui, w.pixels, w.mask, x, y); });
  Add(table, 40209, Frame::Plain, [](C&, Canvas& c, W& w, int x, int y) { IdentifyByArea(c, w.mask, x, y); });
  Add(table, 40210, Frame::Plain,
      [](C&, Canvas& c, W& w, int x, int y) { IdentifyByPerimeter(c, w.mask, x, y); });
  Add(table, 40211, Frame::Plain,
      [](C&, Canvas& c, W& w, int x, int y) { IdentifyByIntensity(c, w.pixels, w.mask, x, y); });
  table.addResetHook(ResetTraining);
}

}  // namespace opta
