// The detectors' fast forms: the white window, then the interior streamed
// to both surfaces a row at a time, in vectors where the processor allows.
#include <algorithm>

#include "core/row_writer.h"
#include "core/whiten.h"
#include "edges/edges.h"
#include "edges/rows.h"

namespace opta {
namespace {

using edges::RowKernels;

// row(rows, out, n, vector) computes n result pixels; vector is null when
// the plain form must do the whole row.
template <class Row>
void Detect(Canvas& canvas, const PixelMatrix& p, Size screen, Row row) {
  // Every result is computed from the unchanged matrix, so the order in
  // which the two surfaces receive it cannot show.
  const Rect inner{1, 1, p.width() - 1, p.height() - 1};
  WhitenAround(canvas.window(), Rect{0, 0, screen.width, screen.height}, inner);
  if (inner.empty()) return;
  const RowKernels* vector = edges::VectorRows();
  WriteResultRect(canvas, inner,
                  [&](int x0, int y, Colour* out, int n) { row(RowsAround(p, x0, y), out, n, vector); });
}

using VectorRow = int (*)(const Rows3&, Colour*, int);
using PlainRow = void (*)(const Rows3&, Colour*, int);

void DetectEach(Canvas& canvas, const PixelMatrix& p, Size screen, VectorRow RowKernels::*fast,
                PlainRow plain) {
  Detect(canvas, p, screen, [&](const Rows3& r, Colour* out, int n, const RowKernels* v) {
    const int done = v ? (v->*fast)(r, out, n) : 0;
    plain(r.from(done), out + done, n - done);
  });
}

void DetectMask(Canvas& canvas, const PixelMatrix& p, Size screen, const Mask3& mask, bool invert) {
  const bool fits = edges::FitsVectorForm(mask);
  Detect(canvas, p, screen, [&](const Rows3& r, Colour* out, int n, const RowKernels* v) {
    const int done = v && fits ? v->mask(r, out, n, mask, invert) : 0;
    edges::MaskRow(r.from(done), out + done, n - done, mask, invert);
  });
}

void DetectCompass(Canvas& canvas, const PixelMatrix& p, Size screen, const CompassMasks& masks) {
  const bool fits = std::all_of(masks.begin(), masks.end(), edges::FitsVectorForm);
  Detect(canvas, p, screen, [&](const Rows3& r, Colour* out, int n, const RowKernels* v) {
    const int done = v && fits ? v->compass(r, out, n, masks.data()) : 0;
    edges::CompassRow(r.from(done), out + done, n - done, masks.data());
  });
}

}  // namespace

void HomogeneityEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen) {
  DetectEach(canvas, pixels, screen, &RowKernels::homogeneity, edges::HomogeneityRow);
}

void DifferenceEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen) {
  DetectEach(canvas, pixels, screen, &RowKernels::difference, edges::DifferenceRow);
}

void VarianceEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen) {
  DetectEach(canvas, pixels, screen, &RowKernels::variance, edges::VarianceRow);
}

void QuickEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen, const Mask3& mask) {
  DetectMask(canvas, pixels, screen, mask, false);
}

void KirschEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen, const CompassMasks& masks) {
  DetectCompass(canvas, pixels, screen, masks);
}

void PrewittEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen, const CompassMasks& masks) {
  DetectCompass(canvas, pixels, screen, masks);
}

void GeometricDetect(Canvas& canvas, const PixelMatrix& pixels, Size screen, const Mask3& mask) {
  DetectMask(canvas, pixels, screen, mask, true);
}

}  // namespace opta
