// The morphology operations' fast forms: each pass computes its rows in
// parallel, in vectors where the processor allows, and the border bands are
// copied row by row; the interior then streams to both surfaces.
#include <cstring>
#include <utility>

#include "core/parallel.h"
#include "core/row_writer.h"
#include "morphology/morphology.h"
#include "morphology/rows.h"

namespace opta {
namespace {

using morph::Offsets;
using morph::RowKernels;

enum class Kind { Erode, Dilate };

// The replication's steps work on whole rows here: step 1 moves every
// column by the same row copies in the same order, so a copy of columns
// 0 .. width - 2 per step is the same as the column-by-column rule.
void ReplicateBorder(PixelMatrix& t) {
  const int w = t.width(), h = t.height();
  // A dimension under 4 pixels has no bands to replicate; the other
  // dimension's bands still are, so a thin picture keeps the same look.
  const bool rows = h >= 4, columns = w >= 4;
  // The corner takes the pass's own value there, saved before any band moves.
  const Colour corner = rows && columns ? t.at(w - 4, h - 4) : 0;
  if (rows) {
    const std::size_t bytes = static_cast<std::size_t>(w - 1) * sizeof(Colour);
    for (int k = 3; k >= 1; --k) {
      std::memcpy(t.row(k - 1), t.row(k), bytes);
      std::memcpy(t.row(h - k), t.row(h - k - 1), bytes);
    }
  }
  if (columns)
    for (int y = 0; y <= h - 2; ++y) {
      Colour* r = t.row(y);
      for (int k = 3; k >= 1; --k) {
        r[k - 1] = r[k];
        r[w - k] = r[w - k - 1];
      }
    }
  if (rows && columns) t.at(w - 1, h - 1) = corner;
}

// One pass from src into dst (the same size). The pass cannot compute the
// outermost rows and columns; they take src's values, as a surface keeps
// what it showed, and so the replication never reads an unset value.
void Pass(const PixelMatrix& src, PixelMatrix& dst, const Offsets& e, Kind kind) {
  const int w = src.width(), h = src.height();
  const RowKernels* v = morph::VectorRows();
  const auto fast = v ? (kind == Kind::Erode ? v->erode : v->dilate) : nullptr;
  const auto plain = kind == Kind::Erode ? morph::ErodeRow : morph::DilateRow;
  // Colour values only: the output streams rows out as they are.
  for (int y : {0, h - 1})
    for (int x = 0; x < w; ++x) dst.at(x, y) = Colour24(src.at(x, y));
  parallelRows(h - 2, w, [&](int r0, int r1) {
    for (int y = 1 + r0; y < 1 + r1; ++y) {
      Colour* out = dst.row(y);
      out[0] = Colour24(src.at(0, y));
      out[w - 1] = Colour24(src.at(w - 1, y));
      const Rows3 rows = RowsAround(src, 1, y);
      const int done = fast ? fast(rows, out + 1, w - 2, e) : 0;
      plain(rows.from(done), out + 1 + done, w - 2 - done, e);
    }
  });
  ReplicateBorder(dst);
}

Rect Interior(const PixelMatrix& p) { return Rect{1, 1, p.width() - 1, p.height() - 1}; }

// The passes, alternating between two scratch matrices; the one written
// last, or null when there is nothing to draw or no memory for it.
const PixelMatrix* RunPasses(const PixelMatrix& pixels, const Mask3& element, Kind kind, int passes,
                             ScratchStore& scratch) {
  const int w = pixels.width(), h = pixels.height();
  if (Interior(pixels).empty()) return nullptr;
  PixelMatrix* a = scratch.pixels(0, w, h);
  PixelMatrix* b = passes > 1 ? scratch.pixels(1, w, h) : nullptr;
  if (!a || (passes > 1 && !b)) return nullptr;
  const Offsets e = morph::ElementOffsets(element);
  Pass(pixels, *a, e, kind);
  for (int i = 1; i < passes; ++i) {
    Pass(*a, *b, e, kind);
    std::swap(a, b);
  }
  return a;
}

// Each result pixel is final before the output starts, so the order in
// which the surfaces receive it cannot show.
void Show(Canvas& canvas, const PixelMatrix* t) {
  if (!t) return;
  WriteResultRect(canvas, Interior(*t),
                  [&](int x0, int y, Colour* out, int n) { std::memcpy(out, t->row(y) + x0, n * sizeof(Colour)); });
}

void ShowDifference(Canvas& canvas, const PixelMatrix* t, const PixelMatrix& pixels) {
  if (!t) return;
  const RowKernels* v = morph::VectorRows();
  WriteResultRect(canvas, Interior(*t), [&](int x0, int y, Colour* out, int n) {
    const Colour* a = t->row(y) + x0;
    const Colour* b = pixels.row(y) + x0;
    const int done = v ? v->difference(a, b, out, n) : 0;
    morph::DifferenceRow(a + done, b + done, out + done, n - done);
  });
}

}  // namespace

int PassCount(int count) { return count >= 1 ? count : 1; }

Mask3 ShapeElement(int choice) {
  switch (choice) {
    case 1019:  // vertical: (x, y - 1), (x, y), (x, y + 1)
      return Mask3{{0, 0, 0, 1, 1, 1, 0, 0, 0}};
    case 1020:  // the cross
      return Mask3{{0, 1, 0, 1, 1, 1, 0, 1, 0}};
    case 1021:  // the square
      return Mask3{{1, 1, 1, 1, 1, 1, 1, 1, 1}};
    default:  // 1018, horizontal: (x - 1, y), (x, y), (x + 1, y)
      return Mask3{{0, 1, 0, 0, 1, 0, 0, 1, 0}};
  }
}

void MorphErosion(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, ScratchStore& scratch) {
  Show(canvas, RunPasses(pixels, element, Kind::Erode, 1, scratch));
}

void MorphDilation(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, ScratchStore& scratch) {
  Show(canvas, RunPasses(pixels, element, Kind::Dilate, 1, scratch));
}

void MorphOpening(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, int count,
                  ScratchStore& scratch) {
  Show(canvas, RunPasses(pixels, element, Kind::Erode, PassCount(count), scratch));
}

void MorphClosing(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, int count,
                  ScratchStore& scratch) {
  Show(canvas, RunPasses(pixels, element, Kind::Dilate, PassCount(count), scratch));
}

void InteriorOutline(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, ScratchStore& scratch) {
  ShowDifference(canvas, RunPasses(pixels, element, Kind::Erode, 1, scratch), pixels);
}

void ExteriorOutline(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, ScratchStore& scratch) {
  ShowDifference(canvas, RunPasses(pixels, element, Kind::Dilate, 1, scratch), pixels);
}

}  // namespace opta
