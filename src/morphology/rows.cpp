// The passes' plain row forms, the element's positions, and the choice of
// vector forms.
#include "morphology/rows.h"

#include <cstdlib>

#include "core/cpu.h"

namespace opta::morph {

Offsets ElementOffsets(const Mask3& element) {
  Offsets o;
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy)
      if (element.at(dx, dy) == 1) {
        o.dx[o.count] = dx;
        o.dy[o.count] = dy;
        ++o.count;
        o.bits |= 1u << (3 * (dx + 1) + (dy + 1));
      }
  return o;
}

const RowKernels* VectorRows() {
  if (cpu::Has(cpu::Level::Avx512)) return &kRowsAvx512;
  if (cpu::Has(cpu::Level::Avx2)) return &kRowsAvx2;
  return nullptr;
}

void ErodeRow(const Rows3& r, Colour* out, int n, const Offsets& e) {
  for (int i = 0; i < n; ++i) {
    int red = 0, green = 0, blue = 0;
    for (int k = 0; k < e.count; ++k) {
      const Colour v = r.at(e.dy[k])[i + e.dx[k]];
      if (Red(v) > red && Green(v) > green && Blue(v) > blue) red = Red(v), green = Green(v), blue = Blue(v);
    }
    out[i] = Rgb(red, green, blue);
  }
}

void DilateRow(const Rows3& r, Colour* out, int n, const Offsets& e) {
  for (int i = 0; i < n; ++i) {
    Colour result = kWhite;
    for (int k = 0; k < e.count; ++k) {
      const Colour v = r.at(e.dy[k])[i + e.dx[k]];
      if (Red(v) < 255 && Green(v) < 255 && Blue(v) < 255) result = Colour24(v);
    }
    out[i] = result;
  }
}

void DifferenceRow(const Colour* a, const Colour* b, Colour* out, int n) {
  for (int i = 0; i < n; ++i)
    out[i] = Rgb(std::abs(Red(a[i]) - Red(b[i])), std::abs(Green(a[i]) - Green(b[i])),
                 std::abs(Blue(a[i]) - Blue(b[i])));
}

}  // namespace opta::morph
