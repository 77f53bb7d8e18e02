// The four means. The arithmetic mean sums 16-bit channels; the geometric,
// harmonic and contraharmonic means combine doubles per channel in the
// window's order, exactly as the rule does, with each channel value's double
// taken from a table filled by the rule's own expression.
#include <cmath>

#include "filters/kernels.h"
#include "filters/root_table.h"
#include "filters/rows.h"

namespace opta {
namespace {

using filters::DoubleMeanJob;
using filters::MeanKind;

// What each value of 0..255 contributes to a window's double.
struct ValueTable {
  double of[256];
};

// Strips of kSpan columns, so each thread converts a picture row once per
// strip and keeps it while the strip's windows pass over it.
void DoubleMean(Canvas& canvas, const PixelMatrix& p, int n, const DoubleMeanJob& job) {
  if (!filters::IsWindowSize(n) || p.width() < n || p.height() < n) return;
  const filters::RowKernels& k = filters::RowKernelsForThisCpu();
  const int h = n / 2;
  struct Fill {
    const filters::RowKernels* k;
    const PixelMatrix* p;
    int n;
    const DoubleMeanJob* job;
    filters::DoubleMeanRing ring;
    void operator()(int x, int y, Colour* out, int count) {
      k->doubleMean(*p, n, *job, ring, x, y, out, count);
    }
  };
  WriteResultStrips(canvas, Rect{h, h, p.width() - h, p.height() - h}, filters::kSpan, [&] {
    return Fill{&k, &p, n, &job, {}};
  });
}

}  // namespace

void ArithmeticMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n) {
  if (!filters::IsWindowSize(n)) return;
  static constexpr filters::Divider16 kBy[3] = {*filters::FindDivider(9, 9 * 255),
                                                *filters::FindDivider(25, 25 * 255),
                                                *filters::FindDivider(49, 49 * 255)};
  const filters::Divider16& d = kBy[n / 2 - 1];
  const filters::RowKernels& k = filters::RowKernelsForThisCpu();
  filters::WriteInterior(canvas, pixels, n / 2, [&](int x, int y, Colour* out, int count) {
    k.mean(pixels, n, d, x, y, out, count);
  });
}

void GeometricMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n) {
  static const ValueTable kFactor = [] {
    ValueTable t;
    for (int v = 0; v < 256; ++v) t.of[v] = v == 0 ? 1 : v;  // a zero counts as 1
    return t;
  }();
  if (!filters::IsWindowSize(n)) return;
  DoubleMeanJob job{MeanKind::Geometric, {kFactor.of, nullptr}, &filters::RootTableFor(n * n), 0};
  DoubleMean(canvas, pixels, n, job);
}

void HarmonicMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n) {
  static const ValueTable kReciprocal = [] {
    ValueTable t;
    for (int v = 0; v < 256; ++v) t.of[v] = 1.0 / (v == 0 ? 1 : v);
    return t;
  }();
  DoubleMean(canvas, pixels, n, DoubleMeanJob{MeanKind::Harmonic, {kReciprocal.of, nullptr}, nullptr, 0});
}

void ContraharmonicMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n, int Q) {
  const double q = Q / 10.0;
  ValueTable numerator, denominator;
  for (int v = 0; v < 256; ++v) {
    numerator.of[v] = std::pow(v, q + 1);
    denominator.of[v] = std::pow(v, q);
  }
  DoubleMeanJob job{MeanKind::Contraharmonic, {numerator.of, denominator.of}, nullptr, q};
  // Orders 0, 1, 2, 3 and 4 sum whole powers; no window of 49 reaches 2^53.
  job.wholeSums = true;
  for (const ValueTable* t : {&numerator, &denominator})
    for (double v : t->of) job.wholeSums &= v == std::floor(v) && v <= 0x1p53 / 49;
  DoubleMean(canvas, pixels, n, job);
}

}  // namespace opta
