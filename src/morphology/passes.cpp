// The morphology operations' fast forms: rows computed in vectors where the
// processor allows, split over the cores, streamed to both surfaces.
#include <algorithm>
#include <atomic>
#include <cstdint>
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

// One result row of a pass, in vectors as far as they go.
void PassRow(const RowKernels* v, Kind kind, const Rows3& rows, Colour* out, int n, const Offsets& e) {
  const auto fast = v ? (kind == Kind::Erode ? v->erode : v->dilate) : nullptr;
  const int done = fast ? fast(rows, out, n, e) : 0;
  (kind == Kind::Erode ? morph::ErodeRow : morph::DilateRow)(rows.from(done), out + done, n - done, e);
}

// Out = |a - b| per channel, for the outlines.
void DifferenceRow(const RowKernels* v, const Colour* a, const Colour* b, Colour* out, int n) {
  const int done = v ? v->difference(a, b, out, n) : 0;
  morph::DifferenceRow(a + done, b + done, out + done, n - done);
}

// --- Whole matrices, for pictures under 7 pixels, where the replicated
// bands overlap and their order decides, and for very many passes.

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
  // Colour values only: the output streams rows out as they are.
  for (int y : {0, h - 1})
    for (int x = 0; x < w; ++x) dst.at(x, y) = Colour24(src.at(x, y));
  parallelRows(h - 2, w, [&](int r0, int r1) {
    for (int y = 1 + r0; y < 1 + r1; ++y) {
      Colour* out = dst.row(y);
      out[0] = Colour24(src.at(0, y));
      out[w - 1] = Colour24(src.at(w - 1, y));
      PassRow(v, kind, RowsAround(src, 1, y), out + 1, w - 2, e);
    }
  });
  ReplicateBorder(dst);
}

Rect Interior(const PixelMatrix& p) { return Rect{1, 1, p.width() - 1, p.height() - 1}; }

void WithMatrices(Canvas& canvas, const PixelMatrix& pixels, const Offsets& e, Kind kind, int passes,
                  bool outline, ScratchStore& scratch) {
  const int w = pixels.width(), h = pixels.height();
  PixelMatrix* a = scratch.pixels(0, w, h);
  PixelMatrix* b = passes > 1 ? scratch.pixels(1, w, h) : nullptr;
  if (!a || (passes > 1 && !b)) return;
  Pass(pixels, *a, e, kind);
  for (int i = 1; i < passes; ++i) {
    Pass(*a, *b, e, kind);
    std::swap(a, b);
  }
  // Each result pixel is final before the output starts, so the order in
  // which the surfaces receive it cannot show.
  const RowKernels* v = morph::VectorRows();
  WriteResultRect(canvas, Interior(pixels), [&](int x0, int y, Colour* out, int n) {
    if (outline)
      DifferenceRow(v, a->row(y) + x0, pixels.row(y) + x0, out, n);
    else
      std::memcpy(out, a->row(y) + x0, n * sizeof(Colour));
  });
}

// --- All passes in one sweep, for pictures of 7 x 7 and more.
//
// There the bands never overlap, and after the replication a pass's result
// on rows 0 .. h - 2 is its computed core [3, w - 4] x [3, h - 4] extended by
// repeating its edges. The next pass needs only its own core, which reads
// columns 2 .. w - 3 and rows 2 .. h - 3, and the output shows rows up to
// h - 2. So each pass computes just its core from the previous core seen
// with repeated edges (the first from the picture itself), and the output
// shows the last core with repeated edges: no picture-sized matrix, and the
// picture is read once however many passes.

constexpr int kMaxSweptPasses = 16;  // the ring rows of more stop fitting the cache
constexpr int kPad = 2;              // repeated edge pixels kept on each side of a core row

struct Sweep {
  const PixelMatrix& pixels;
  const Offsets& e;
  Kind kind;
  int passes;
  bool outline;
  const RowKernels* vector;
  int cw, ch;  // the core's size

  int stride() const { return cw + 2 * kPad; }
  // Rows each band works in: four per pass, a ring, and one for the outline.
  int ringRows() const { return 4 * passes + 1; }

  // Pass k's core row r into its ring, computed from pass k - 1's ring (or
  // the picture), its edge pixels repeated.
  void computeRow(Colour* ring, int k, int r) const {
    Colour* out = slot(ring, k, r);
    Rows3 rows;
    if (k == 1) {
      rows = RowsAround(pixels, 3, r + 3);
      // The picture row needed two rows from now: fetched while these
      // compute, it is not waited for then.
      if (r + 6 < pixels.height()) {
        const char* next = reinterpret_cast<const char*>(pixels.row(r + 6));
        for (std::size_t b = 0; b < pixels.width() * sizeof(Colour); b += 64)
          __builtin_prefetch(next + b, 0, 2);
      }
    } else {
      auto at = [&](int row) { return slot(ring, k - 1, std::clamp(row, 0, ch - 1)) + kPad; };
      rows = Rows3{at(r - 1), at(r), at(r + 1)};
    }
    PassRow(vector, kind, rows, out + kPad, cw, e);
    out[0] = out[1] = out[kPad];
    out[kPad + cw] = out[kPad + cw + 1] = out[kPad + cw - 1];
  }

  Colour* slot(Colour* ring, int k, int r) const {
    return ring + static_cast<std::size_t>(4 * (k - 1) + (r & 3)) * stride();
  }

  // The last pass's core rows [r0, r1) to the output, with every pass's rows
  // they depend on, each level kept at most two rows ahead of the next.
  void band(Colour* ring, int r0, int r1, const ResultRows& sink) const {
    int first[kMaxSweptPasses + 2], last[kMaxSweptPasses + 2], next[kMaxSweptPasses + 2];
    for (int k = 1; k <= passes; ++k) {
      first[k] = std::max(0, r0 - (passes - k));
      last[k] = std::min(ch - 1, r1 - 1 + (passes - k));
      next[k] = first[k];
    }
    while (next[passes] <= last[passes]) {
      for (int k = 1; k <= passes; ++k) {
        const int r = next[k];
        if (r > last[k]) continue;
        if (k > 1 && next[k - 1] <= std::min(r + 1, ch - 1)) continue;  // its rows are not there yet
        if (k < passes && next[k + 1] <= last[k + 1] && r > next[k + 1] + 2) continue;  // still needed
        computeRow(ring, k, r);
        if (k == passes) emit(ring, r, sink);
        ++next[k];
      }
    }
  }

  // Output rows y whose repeated core row is r: r + 3, and the bands.
  void emit(Colour* ring, int r, const ResultRows& sink) const {
    const Colour* row = slot(ring, passes, r);
    const int h = pixels.height(), w = pixels.width();
    int ys[5], count = 0;
    ys[count++] = r + 3;
    if (r == 0) ys[count++] = 1, ys[count++] = 2;
    if (r == ch - 1) ys[count++] = h - 3, ys[count++] = h - 2;
    for (int i = 0; i < count; ++i) {
      const int y = ys[i];
      if (outline) {
        Colour* diff = ring + static_cast<std::size_t>(4 * passes) * stride();
        DifferenceRow(vector, row, pixels.row(y) + 1, diff, w - 2);
        sink.put(1, y, diff, w - 2);
      } else {
        sink.put(1, y, row, w - 2);
      }
    }
  }
};

void Swept(Canvas& canvas, const PixelMatrix& pixels, const Offsets& e, Kind kind, int passes, bool outline,
           ScratchStore& scratch) {
  const Sweep s{
      pixels, e, kind, passes, outline, morph::VectorRows(), pixels.width() - 6, pixels.height() - 6};
  // Bands of about 64 core rows, taken in turn by whichever thread is free,
  // so a thread the system holds back does not hold up the rest; each band
  // recomputes only the few rows of the earlier passes that it shares with
  // its neighbours.
  const int threads = hardwareThreads();
  const int bands = std::max(1, std::min(s.ch / 64, 16 * threads));
  PixelMatrix* rings = scratch.pixels(0, s.stride(), threads * s.ringRows());
  if (!rings) return;
  ResultRows sink(canvas, Interior(pixels));
  std::atomic<int> next{0};
  parallelFor(
      threads,
      [&](int t0, int t1) {
        for (int b; (b = next.fetch_add(1)) < bands;)
          s.band(rings->row(t0 * s.ringRows()), s.ch * b / bands, s.ch * (b + 1) / bands, sink);
        ResultRows::Fence();
        (void)t1;
      },
      static_cast<std::int64_t>(s.cw) * s.ch / threads * passes);
  sink.finish();
}

void Morph(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, Kind kind, int passes,
           bool outline, ScratchStore& scratch) {
  if (Interior(pixels).empty()) return;  // nothing to draw
  const Offsets e = morph::ElementOffsets(element);
  const int w = pixels.width(), h = pixels.height();
  // The rings hold a few rows a pass; on a picture far wider than high they
  // would outgrow the two matrices, which then serve instead.
  const std::int64_t ringPixels = std::int64_t{w} * hardwareThreads() * (4 * passes + 1);
  const bool ringsFit = ringPixels <= std::max<std::int64_t>(std::int64_t{w} * h, 1 << 18);
  if (w >= 7 && h >= 7 && passes <= kMaxSweptPasses && ringsFit)
    Swept(canvas, pixels, e, kind, passes, outline, scratch);
  else
    WithMatrices(canvas, pixels, e, kind, passes, outline, scratch);
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
  Morph(canvas, pixels, element, Kind::Erode, 1, false, scratch);
}

void MorphDilation(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, ScratchStore& scratch) {
  Morph(canvas, pixels, element, Kind::Dilate, 1, false, scratch);
}

void MorphOpening(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, int count,
                  ScratchStore& scratch) {
  Morph(canvas, pixels, element, Kind::Erode, PassCount(count), false, scratch);
}

void MorphClosing(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, int count,
                  ScratchStore& scratch) {
  Morph(canvas, pixels, element, Kind::Dilate, PassCount(count), false, scratch);
}

void InteriorOutline(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, ScratchStore& scratch) {
  Morph(canvas, pixels, element, Kind::Erode, 1, true, scratch);
}

void ExteriorOutline(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, ScratchStore& scratch) {
  Morph(canvas, pixels, element, Kind::Dilate, 1, true, scratch);
}

}  // namespace opta
