#pragma once
// The passes' vector row forms, written once over the operations of
// core/simd.h. Included only by the files that compile them for one
// instruction set, after OPTA_TARGET_PUSH and after every other header.

namespace opta::morph {

template <class O>
using Vec = typename O::V;

// A neighbour replaces the running colour only when all three of its
// channels are greater: a saturating difference is non-zero exactly there.
template <class O>
int ErodeVec(const Rows3& r, Colour* out, int n, const Offsets& e) {
  int i = 0;
  for (; i + O::kPixels <= n; i += O::kPixels) {
    Vec<O> cur = O::Zero();
    for (int k = 0; k < e.count; ++k) {
      const Vec<O> v = O::Load(r.at(e.dy[k]) + i + e.dx[k]);
      cur = O::Select(O::RgbNonZero(O::SubsU8(v, cur)), cur, v);
    }
    O::Store(out + i, O::And(cur, O::Splat32(kWhite)));
  }
  return i;
}

// Every object neighbour (all channels below 255) in turn replaces the
// result, so the last one in visiting order stays.
template <class O>
int DilateVec(const Rows3& r, Colour* out, int n, const Offsets& e) {
  const Vec<O> white = O::Splat32(kWhite);
  int i = 0;
  for (; i + O::kPixels <= n; i += O::kPixels) {
    Vec<O> cur = white;
    for (int k = 0; k < e.count; ++k) {
      const Vec<O> v = O::Load(r.at(e.dy[k]) + i + e.dx[k]);
      cur = O::Select(O::RgbNonZero(O::Xor(v, white)), cur, v);
    }
    O::Store(out + i, O::And(cur, white));
  }
  return i;
}

template <class O>
int DifferenceVec(const Colour* a, const Colour* b, Colour* out, int n) {
  int i = 0;
  for (; i + O::kPixels <= n; i += O::kPixels)
    O::Store(out + i, O::And(O::AbsDiffU8(O::Load(a + i), O::Load(b + i)), O::Splat32(kWhite)));
  return i;
}

template <class O>
constexpr RowKernels VectorKernels() {
  return RowKernels{&ErodeVec<O>, &DilateVec<O>, &DifferenceVec<O>};
}

}  // namespace opta::morph
