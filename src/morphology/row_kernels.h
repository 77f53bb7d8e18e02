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
Vec<O> ErodeStep(Vec<O> cur, Vec<O> v) {
  return O::Select(O::RgbNonZero(O::SubsU8(v, cur)), cur, v);
}

// Every object neighbour (all channels below 255) in turn replaces the
// result, so the last one in visiting order stays.
template <class O>
Vec<O> DilateStep(Vec<O> cur, Vec<O> v) {
  return O::Select(O::RgbNonZero(O::Xor(v, O::Splat32(kWhite))), cur, v);
}

// The element's positions as compile-time bits (see Offsets), so the
// visiting order unrolls into straight code.
template <class O, bool kErode, unsigned kBits>
int FixedElement(const Rows3& r, Colour* out, int n) {
  int i = 0;
  for (; i + O::kPixels <= n; i += O::kPixels) {
    Vec<O> cur = kErode ? O::Zero() : O::Splat32(kWhite);
#pragma GCC unroll 9
    for (int k = 0; k < 9; ++k)
      if (kBits >> k & 1) {
        const Vec<O> v = O::Load(r.at(k % 3 - 1) + i + k / 3 - 1);
        cur = kErode ? ErodeStep<O>(cur, v) : DilateStep<O>(cur, v);
      }
    O::Store(out + i, O::And(cur, O::Splat32(kWhite)));
  }
  return i;
}

template <class O, bool kErode>
int AnyElement(const Rows3& r, Colour* out, int n, const Offsets& e) {
  switch (e.bits) {  // the dialog's four elements
    case 0x092:
      return FixedElement<O, kErode, 0x092>(r, out, n);
    case 0x038:
      return FixedElement<O, kErode, 0x038>(r, out, n);
    case 0x0BA:
      return FixedElement<O, kErode, 0x0BA>(r, out, n);
    case 0x1FF:
      return FixedElement<O, kErode, 0x1FF>(r, out, n);
  }
  const Colour* base[9];
  for (int k = 0; k < e.count; ++k) base[k] = r.at(e.dy[k]) + e.dx[k];
  int i = 0;
  for (; i + O::kPixels <= n; i += O::kPixels) {
    Vec<O> cur = kErode ? O::Zero() : O::Splat32(kWhite);
    for (int k = 0; k < e.count; ++k) {
      const Vec<O> v = O::Load(base[k] + i);
      cur = kErode ? ErodeStep<O>(cur, v) : DilateStep<O>(cur, v);
    }
    O::Store(out + i, O::And(cur, O::Splat32(kWhite)));
  }
  return i;
}

template <class O>
int ErodeVec(const Rows3& r, Colour* out, int n, const Offsets& e) {
  return AnyElement<O, true>(r, out, n, e);
}

template <class O>
int DilateVec(const Rows3& r, Colour* out, int n, const Offsets& e) {
  return AnyElement<O, false>(r, out, n, e);
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
