// Median, max, min and midpoint: the row kernels over whole rows.
#include "filters/kernels.h"
#include "filters/rows.h"

namespace opta {
namespace {

using filters::OrderKind;

void Order(Canvas& canvas, const PixelMatrix& p, int n, OrderKind kind) {
  if (!filters::IsWindowSize(n)) return;
  const filters::RowKernels& k = filters::RowKernelsForThisCpu();
  filters::WriteInterior(
      canvas, p, n / 2, [&](int x, int y, Colour* out, int count) { k.order(p, n, kind, x, y, out, count); });
}

}  // namespace

void MedianFilter(Canvas& canvas, const PixelMatrix& pixels, int n) {
  if (!filters::IsWindowSize(n)) return;
  const filters::RowKernels& k = filters::RowKernelsForThisCpu();
  filters::WriteInterior(canvas, pixels, n / 2, [&](int x, int y, Colour* out, int count) {
    k.median(pixels, n, x, y, out, count);
  });
}

void MaxFilter(Canvas& canvas, const PixelMatrix& pixels, int n) { Order(canvas, pixels, n, OrderKind::Max); }
void MinFilter(Canvas& canvas, const PixelMatrix& pixels, int n) { Order(canvas, pixels, n, OrderKind::Min); }
void MidpointFilter(Canvas& canvas, const PixelMatrix& pixels, int n) {
  Order(canvas, pixels, n, OrderKind::Midpoint);
}

}  // namespace opta
