#pragma once
// One row of a detector's result at a time: the plain forms and the vector
// forms the processor offers. Every form computes out[i] for the pixels
// x0 + i of row y, 0 <= i < n, with all eight neighbours inside the matrix.
#include "core/colour.h"
#include "core/mask.h"

namespace opta::edges {

// Masks whose coefficients' absolute values sum to at most this keep every
// partial sum of 255-bounded channels inside 16 bits; the vector forms take
// only those, and the others run the plain form.
constexpr int kMaxVectorMaskWeight = 128;
bool FitsVectorForm(const Mask3& mask);

// A vector form does the whole row when it holds one vector or more (out
// must not overlap the input) and returns how many it did: n, or 0 for the
// plain form to do.
struct RowKernels {
  int (*homogeneity)(const Rows3& rows, Colour* out, int n);
  int (*difference)(const Rows3& rows, Colour* out, int n);
  int (*variance)(const Rows3& rows, Colour* out, int n);
  // Clamped convolution; invert gives 255 minus it.
  int (*mask)(const Rows3& rows, Colour* out, int n, const Mask3& mask, bool invert);
  // Eight masks in a running sum limited after each, then the gray decision.
  int (*compass)(const Rows3& rows, Colour* out, int n, const Mask3* masks);
  // compass's last step alone: white or black from final sums packed as colours.
  int (*compassGray)(const Colour* sums, Colour* out, int n);
};

extern const RowKernels kRowsAvx2;
extern const RowKernels kRowsAvx512;

// The best vector forms this processor may use now, or null.
const RowKernels* VectorRows();

// The plain forms, whole rows.
void HomogeneityRow(const Rows3& rows, Colour* out, int n);
void DifferenceRow(const Rows3& rows, Colour* out, int n);
void VarianceRow(const Rows3& rows, Colour* out, int n);
void MaskRow(const Rows3& rows, Colour* out, int n, const Mask3& mask, bool invert);
void CompassRow(const Rows3& rows, Colour* out, int n, const Mask3* masks);

}  // namespace opta::edges
