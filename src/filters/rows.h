#pragma once
// The row kernels behind the fast filters, once per instruction set: each
// computes `count` result pixels of row y from column x on (x and y inside
// the interior the window can cover). The filters pick one set per call.
#include <cstdint>

#include "core/colour.h"
#include "core/cpu.h"
#include "core/matrix.h"
#include "core/row_writer.h"
#include "filters/divider.h"
#include "filters/root_table.h"

namespace opta::filters {

// Results a row kernel computes per call at most: its stage buffers stay in
// the first-level cache.
constexpr int kSpan = 128;

enum class OrderKind { Max, Min, Midpoint };

// A 3x3 mask as its non-zero terms, ready for 16-bit lanes.
struct ConvolveTerms {
  int count = 0;
  int dx[9] = {}, dy[9] = {};
  std::int16_t coefficient[9] = {};
  bool divide = false;  // then divided by `divider`, else clamped as it is
  Divider16 divider;
};

// The means computed in doubles, each value taken from a table of what the
// channel values 0..255 contribute and combined in the window's order.
enum class MeanKind { Geometric, Harmonic, Contraharmonic };

// The converted rows of one strip of a double mean, kept by a thread from one
// result row to the next, so that each picture row is converted only once
// per strip: rows y - n/2 .. y + n/2 of columns x - n/2 .. x + count + n/2.
struct DoubleMeanRing {
  static constexpr int kWidth = kSpan + 8;
  alignas(64) double values[2][3][7][kWidth];  // [table][channel][row % n][column]
  int x = -1, y = -1, count = 0;
};

struct DoubleMeanJob {
  MeanKind kind = MeanKind::Harmonic;
  const double* table[2] = {nullptr, nullptr};  // the contraharmonic's numerator, then denominator
  const RootTable* roots = nullptr;             // the geometric mean's last step
  double q = 0;                                 // the contraharmonic order
  bool wholeSums = false;  // every table value whole, 49 of them below 2^53: sums exact in any order
};

struct RowKernels {
  void (*median)(const PixelMatrix& p, int n, int x, int y, Colour* out, int count);
  void (*order)(const PixelMatrix& p, int n, OrderKind kind, int x, int y, Colour* out, int count);
  void (*mean)(const PixelMatrix& p, int n, const Divider16& d, int x, int y, Colour* out, int count);
  void (*convolve)(const PixelMatrix& p, const ConvolveTerms& t, int x, int y, Colour* out, int count);
  void (*gaussian)(const PixelMatrix& p, const Divider16& d, int x, int y, Colour* out, int count);
  // count is at most kSpan here.
  void (*doubleMean)(const PixelMatrix& p, int n, const DoubleMeanJob& job, DoubleMeanRing& ring, int x,
                     int y, Colour* out, int count);
  // out[i] = roots.root(p[i]), the geometric mean's last step.
  void (*roots)(const RootTable& roots, const double* p, int count, int* out);
};

namespace plain {
extern const RowKernels kRowKernels;
}
namespace avx2 {
extern const RowKernels kRowKernels;
}
namespace avx512 {
extern const RowKernels kRowKernels;
}

inline const RowKernels& RowKernelsForThisCpu() {
  if (cpu::Has(cpu::Level::Avx512)) return avx512::kRowKernels;
  if (cpu::Has(cpu::Level::Avx2)) return avx2::kRowKernels;
  return plain::kRowKernels;
}

// Writes the result rows of a filter whose window reaches h pixels each way:
// only the interior, where the window lies inside the picture.
template <class Row>
void WriteInterior(Canvas& canvas, const PixelMatrix& p, int h, Row&& row) {
  if (p.width() <= 2 * h || p.height() <= 2 * h) return;
  WriteResultRect(canvas, Rect{h, h, p.width() - h, p.height() - h}, row);
}

inline bool IsWindowSize(int n) { return n == 3 || n == 5 || n == 7; }

}  // namespace opta::filters
