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

// kVectors vectors from pixel i with the element's positions as compile-time
// bits (see Offsets): the visiting order unrolls into straight code, and the
// vectors' chains of steps interleave instead of waiting on each other.
template <class O, bool kErode, unsigned kBits, int kVectors>
void FixedVectors(const Rows3& r, Colour* out, int i) {
  Vec<O> cur[kVectors];
  for (int j = 0; j < kVectors; ++j) cur[j] = kErode ? O::Zero() : O::Splat32(kWhite);
#pragma GCC unroll 9
  for (int k = 0; k < 9; ++k)
    if (kBits >> k & 1)
      for (int j = 0; j < kVectors; ++j) {
        const Vec<O> v = O::Load(r.at(k % 3 - 1) + i + j * O::kPixels + k / 3 - 1);
        cur[j] = kErode ? ErodeStep<O>(cur[j], v) : DilateStep<O>(cur[j], v);
      }
  for (int j = 0; j < kVectors; ++j) O::Store(out + i + j * O::kPixels, O::And(cur[j], O::Splat32(kWhite)));
}

template <class O, bool kErode, unsigned kBits>
int FixedElement(const Rows3& r, Colour* out, int n) {
  if (n < O::kPixels) return 0;
  int i = 0;
  for (; i + 4 * O::kPixels <= n; i += 4 * O::kPixels) FixedVectors<O, kErode, kBits, 4>(r, out, i);
  for (; i < n; i = simd::NextVector<O::kPixels>(i, n))
    FixedVectors<O, kErode, kBits, 1>(r, out, i + O::kPixels > n ? n - O::kPixels : i);
  return n;
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
  if (n < O::kPixels) return 0;
  for (int i = 0; i < n; i = simd::NextVector<O::kPixels>(i, n)) {
    Vec<O> cur = kErode ? O::Zero() : O::Splat32(kWhite);
    for (int k = 0; k < e.count; ++k) {
      const Vec<O> v = O::Load(base[k] + i);
      cur = kErode ? ErodeStep<O>(cur, v) : DilateStep<O>(cur, v);
    }
    O::Store(out + i, O::And(cur, O::Splat32(kWhite)));
  }
  return n;
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
  if (n < O::kPixels) return 0;
  for (int i = 0; i < n; i = simd::NextVector<O::kPixels>(i, n))
    O::Store(out + i, O::And(O::AbsDiffU8(O::Load(a + i), O::Load(b + i)), O::Splat32(kWhite)));
  return n;
}

template <class O>
constexpr RowKernels VectorKernels() {
  return RowKernels{&ErodeVec<O>, &DilateVec<O>, &DifferenceVec<O>};
}

}  // namespace opta::morph
