// The detectors' plain row forms, and the choice of vector forms.
#include "edges/rows.h"

#include <cmath>
#include <cstdlib>

#include "core/cpu.h"
#include "edges/edges.h"

namespace opta::edges {

bool FitsVectorForm(const Mask3& mask) {
  int weight = 0;
  for (int c : mask.c) weight += std::abs(c);
  return weight <= kMaxVectorMaskWeight;
}

const RowKernels* VectorRows() {
  if (cpu::Has(cpu::Level::Avx512)) return &kRowsAvx512;
  if (cpu::Has(cpu::Level::Avx2)) return &kRowsAvx2;
  return nullptr;
}

namespace {

// Builds each output pixel channel by channel from f(neighbour(dx, dy), c).
template <class PerChannel>
void EachChannel(const Rows3& r, Colour* out, int n, PerChannel f) {
  for (int i = 0; i < n; ++i) {
    auto at = [&](int dx, int dy) { return r.at(dy)[i + dx]; };
    out[i] = Rgb(f(at, 0), f(at, 1), f(at, 2));
  }
}

}  // namespace

void HomogeneityRow(const Rows3& r, Colour* out, int n) {
  EachChannel(r, out, n, [](auto at, int c) {
    const int p = Channel(at(0, 0), c);
    int sum = 0;
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) sum += std::abs(p - Channel(at(dx, dy), c));
    return sum > 255 ? 255 : sum;
  });
}

void DifferenceRow(const Rows3& r, Colour* out, int n) {
  EachChannel(r, out, n, [](auto at, int c) {
    auto across = [&](int dx, int dy) { return std::abs(Channel(at(-dx, -dy), c) - Channel(at(dx, dy), c)); };
    int best = across(1, 1);
    for (int d : {across(1, -1), across(0, 1), across(1, 0)}) best = d > best ? d : best;
    return best;
  });
}

void VarianceRow(const Rows3& r, Colour* out, int n) {
  EachChannel(r, out, n, [](auto at, int c) {
    const int p = Channel(at(0, 0), c);
    int s = 0;
    for (int dx : {-1, 1})
      for (int dy : {-1, 1}) {
        const int d = p - Channel(at(dx, dy), c);
        s += d * d;
      }
    const int root = static_cast<int>(std::sqrt(static_cast<double>(s)));
    return root > 255 ? 255 : root;
  });
}

void MaskRow(const Rows3& r, Colour* out, int n, const Mask3& mask, bool invert) {
  EachChannel(r, out, n, [&](auto at, int c) {
    int sum = 0;
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) sum += mask.at(dx, dy) * Channel(at(dx, dy), c);
    const int v = ClampChannel(sum);
    return invert ? 255 - v : v;
  });
}

void CompassRow(const Rows3& r, Colour* out, int n, const Mask3* masks) {
  for (int i = 0; i < n; ++i) {
    int sum[3] = {0, 0, 0};
    for (int k = 0; k < 8; ++k)
      for (int c = 0; c < 3; ++c) {
        int s = sum[c];
        for (int dx = -1; dx <= 1; ++dx)
          for (int dy = -1; dy <= 1; ++dy) s += masks[k].at(dx, dy) * Channel(r.at(dy)[i + dx], c);
        sum[c] = ClampChannel(s);
      }
    out[i] = CompassWhite(sum[0], sum[1], sum[2]) ? kWhite : kBlack;
  }
}

}  // namespace opta::edges

namespace opta {

bool CompassWhite(int red, int green, int blue) { return 0.3 * red + 0.6 * green + 0.11 * blue >= 128; }

Mask3 GeometricMask(int choice) {
  switch (choice) {
    case 1013:  // 45 Deg Line Detection
      return Mask3{{-1, -1, 2, -1, 2, -1, 2, -1, -1}};
    case 1014:  // -45 Deg Line Detection
      return Mask3{{2, -1, -1, -1, 2, -1, -1, -1, 2}};
    case 1010:  // Horizontal Line Detection
      return Mask3{{-1, 2, -1, -1, 2, -1, -1, 2, -1}};
    case 1011:  // Vertical Line Detection
      return Mask3{{1, 1, 1, -2, -2, -2, 1, 1, 1}};
    default:  // Point Detection, and any other id
      return Mask3{{-1, -1, -1, -1, 8, -1, -1, -1, -1}};
  }
}

}  // namespace opta
