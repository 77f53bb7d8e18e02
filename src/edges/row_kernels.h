#pragma once
// The detectors' vector row forms, written once over the operations of
// core/simd.h. Included only by the files that compile them for one
// instruction set, after OPTA_TARGET_PUSH and after every other header.

namespace opta::edges {

template <class O>
using Vec = typename O::V;

template <class O>
Vec<O> Neighbour(const Rows3& r, int i, int dx, int dy) {
  return O::Load(r.at(dy) + i + dx);
}

template <class O>
Vec<O> KeepRgb(Vec<O> v) {
  return O::And(v, O::Splat32(0xFFFFFF));
}

template <class O>
int HomogeneityVec(const Rows3& r, Colour* out, int n) {
  if (n < O::kPixels) return 0;
  for (int i = 0; i < n; i = simd::NextVector<O::kPixels>(i, n)) {
    const Vec<O> c = O::Load(r.mid + i);
    // The differences are never negative, so a saturating sum is the sum limited to 255.
    Vec<O> sum = O::Zero();
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy)
        if (dx != 0 || dy != 0) sum = O::AddsU8(sum, O::AbsDiffU8(c, Neighbour<O>(r, i, dx, dy)));
    O::Store(out + i, KeepRgb<O>(sum));
  }
  return n;
}

template <class O>
int DifferenceVec(const Rows3& r, Colour* out, int n) {
  if (n < O::kPixels) return 0;
  for (int i = 0; i < n; i = simd::NextVector<O::kPixels>(i, n)) {
    const Vec<O> a = O::AbsDiffU8(Neighbour<O>(r, i, -1, -1), Neighbour<O>(r, i, 1, 1));
    const Vec<O> b = O::AbsDiffU8(Neighbour<O>(r, i, -1, 1), Neighbour<O>(r, i, 1, -1));
    const Vec<O> c = O::AbsDiffU8(Neighbour<O>(r, i, 0, -1), Neighbour<O>(r, i, 0, 1));
    const Vec<O> d = O::AbsDiffU8(Neighbour<O>(r, i, -1, 0), Neighbour<O>(r, i, 1, 0));
    O::Store(out + i, KeepRgb<O>(O::MaxU8(O::MaxU8(a, b), O::MaxU8(c, d))));
  }
  return n;
}

template <class O>
Vec<O> Square16(Vec<O> d) {
  return O::MulLo16(d, d);
}

// The four squared differences of one half, summed with saturation: a sum
// that saturates is past 255 squared, and its root is limited to 255 anyway.
template <class O>
Vec<O> VarianceHalf(Vec<O> d1, Vec<O> d2, Vec<O> d3, Vec<O> d4) {
  const Vec<O> s =
      O::AddsU16(O::AddsU16(Square16<O>(d1), Square16<O>(d2)), O::AddsU16(Square16<O>(d3), Square16<O>(d4)));
  return O::SqrtU16(s);
}

template <class O>
int VarianceVec(const Rows3& r, Colour* out, int n) {
  if (n < O::kPixels) return 0;
  for (int i = 0; i < n; i = simd::NextVector<O::kPixels>(i, n)) {
    const Vec<O> c = O::Load(r.mid + i);
    const Vec<O> d1 = O::AbsDiffU8(c, Neighbour<O>(r, i, -1, -1));
    const Vec<O> d2 = O::AbsDiffU8(c, Neighbour<O>(r, i, -1, 1));
    const Vec<O> d3 = O::AbsDiffU8(c, Neighbour<O>(r, i, 1, -1));
    const Vec<O> d4 = O::AbsDiffU8(c, Neighbour<O>(r, i, 1, 1));
    const Vec<O> lo = VarianceHalf<O>(O::WidenLo(d1), O::WidenLo(d2), O::WidenLo(d3), O::WidenLo(d4));
    const Vec<O> hi = VarianceHalf<O>(O::WidenHi(d1), O::WidenHi(d2), O::WidenHi(d3), O::WidenHi(d4));
    O::Store(out + i, KeepRgb<O>(O::Pack(lo, hi)));
  }
  return n;
}

// A mask's coefficients as signed byte pairs in storage order, (c0, c1),
// (c2, c3), (c4, c5), (c6, c7), (c8, 0), each pair repeated over the vector.
template <class O>
struct PairedMask {
  Vec<O> pair[5];
  void set(const Mask3& m) {
    for (int p = 0; p < 5; ++p) {
      const int a = m.c[2 * p], b = p < 4 ? m.c[2 * p + 1] : 0;
      pair[p] = O::Splat16(static_cast<std::uint16_t>((a & 0xFF) | (b & 0xFF) << 8));
    }
  }
};

// The neighbourhood of one vector as unsigned byte pairs in the same order,
// split into the low and high halves the 16-bit sums work on.
template <class O>
struct PairedHood {
  Vec<O> lo[5], hi[5];
  void load(const Rows3& r, int i) {
    Vec<O> v[9];
    for (int k = 0; k < 9; ++k) v[k] = Neighbour<O>(r, i, k / 3 - 1, k % 3 - 1);
    for (int p = 0; p < 4; ++p) {
      lo[p] = O::PairLo(v[2 * p], v[2 * p + 1]);
      hi[p] = O::PairHi(v[2 * p], v[2 * p + 1]);
    }
    lo[4] = O::WidenLo(v[8]);
    hi[4] = O::WidenHi(v[8]);
  }
};

// One half's convolution sums; exact while the mask's weight fits (rows.h).
template <class O>
Vec<O> ConvolveHalf(const Vec<O>* pairs, const PairedMask<O>& m) {
  Vec<O> s = O::MulPairs(pairs[0], m.pair[0]);
  for (int p = 1; p < 5; ++p) s = O::AddI16(s, O::MulPairs(pairs[p], m.pair[p]));
  return s;
}

template <class O>
int MaskVec(const Rows3& r, Colour* out, int n, const Mask3& mask, bool invert) {
  PairedMask<O> m;
  m.set(mask);
  const Vec<O> flip = O::Splat32(invert ? 0xFFFFFFFF : 0);
  if (n < O::kPixels) return 0;
  for (int i = 0; i < n; i = simd::NextVector<O::kPixels>(i, n)) {
    PairedHood<O> h;
    h.load(r, i);
    // Pack limits each sum to 0..255; 255 minus a byte is its bits flipped.
    const Vec<O> v = O::Pack(ConvolveHalf<O>(h.lo, m), ConvolveHalf<O>(h.hi, m));
    O::Store(out + i, KeepRgb<O>(O::Xor(v, flip)));
  }
  return n;
}

template <class O>
Vec<O> RunningSum(Vec<O> sum, Vec<O> step) {
  // A saturated step is far past either limit, so saturating changes nothing.
  return O::MinI16(O::MaxI16(O::AddsI16(sum, step), O::Zero()), O::Splat16(255));
}

// White or black from the final sums (bytes R, G, B per pixel): 30 R + 60 G
// + 11 B against 12800 is the gray test scaled by 100, except at equality,
// where the double sum may fall either side of 128 and decides itself.
template <class O>
void StoreCompassGray(Vec<O> sums, Colour* out) {
  const Vec<O> gray = O::SumPairs16(O::MulPairs(sums, O::Splat32(30 | 60 << 8 | 11 << 16)));
  const Vec<O> limit = O::Splat32(12800);
  O::Store(out, O::Select(O::Gt32(gray, limit), O::Zero(), O::Splat32(kWhite)));
  if (unsigned ties = O::Bits(O::Eq32(gray, limit))) {
    alignas(64) Colour s[O::kPixels];
    O::Store(s, sums);
    for (int j = 0; j < O::kPixels; ++j)
      if (ties >> j & 1) out[j] = CompassWhite(Red(s[j]), Green(s[j]), Blue(s[j])) ? kWhite : kBlack;
  }
}

template <class O>
int CompassGrayVec(const Colour* sums, Colour* out, int n) {
  if (n < O::kPixels) return 0;
  for (int i = 0; i < n; i = simd::NextVector<O::kPixels>(i, n))
    StoreCompassGray<O>(O::Load(sums + i), out + i);
  return n;
}

template <class O>
int CompassVec(const Rows3& r, Colour* out, int n, const Mask3* masks) {
  PairedMask<O> m[8];
  for (int k = 0; k < 8; ++k) m[k].set(masks[k]);
  if (n < O::kPixels) return 0;
  for (int i = 0; i < n; i = simd::NextVector<O::kPixels>(i, n)) {
    PairedHood<O> h;
    h.load(r, i);
    Vec<O> lo = O::Zero(), hi = O::Zero();
    for (int k = 0; k < 8; ++k) {
      lo = RunningSum<O>(lo, ConvolveHalf<O>(h.lo, m[k]));
      hi = RunningSum<O>(hi, ConvolveHalf<O>(h.hi, m[k]));
    }
    StoreCompassGray<O>(O::Pack(lo, hi), out + i);
  }
  return n;
}

template <class O>
constexpr RowKernels VectorKernels() {
  return RowKernels{&HomogeneityVec<O>, &DifferenceVec<O>, &VarianceVec<O>,
                    &MaskVec<O>,        &CompassVec<O>,    &CompassGrayVec<O>};
}

}  // namespace opta::edges
