#pragma once
// One row of a pass at a time: the plain forms and the vector forms the
// processor offers. A form computes out[i] for the pixels x0 + i of row y,
// 0 <= i < n, all eight neighbours inside the matrix.
#include "core/colour.h"
#include "core/mask.h"

namespace opta::morph {

// The element's positions in visiting order: dx from -1 to 1 (outer), dy
// from -1 to 1 (inner).
struct Offsets {
  int count = 0;
  int dx[9] = {}, dy[9] = {};
  unsigned bits = 0;  // bit 3 * (dx + 1) + (dy + 1) for each position, as the mask stores them
};
Offsets ElementOffsets(const Mask3& element);

// A vector form does the whole row when it holds one vector or more (out
// must not overlap the input) and returns how many it did: n, or 0 for the
// plain form to do.
struct RowKernels {
  int (*erode)(const Rows3& rows, Colour* out, int n, const Offsets& element);
  int (*dilate)(const Rows3& rows, Colour* out, int n, const Offsets& element);
  // Per-channel |a - b|.
  int (*difference)(const Colour* a, const Colour* b, Colour* out, int n);
};

extern const RowKernels kRowsAvx2;
extern const RowKernels kRowsAvx512;

// The best vector forms this processor may use now, or null.
const RowKernels* VectorRows();

void ErodeRow(const Rows3& rows, Colour* out, int n, const Offsets& element);
void DilateRow(const Rows3& rows, Colour* out, int n, const Offsets& element);
void DifferenceRow(const Colour* a, const Colour* b, Colour* out, int n);

}  // namespace opta::morph
