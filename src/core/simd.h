#pragma once
// Byte-vector operations for the neighbourhood kernels, one struct per
// instruction set with the same names, so a kernel is written once as a
// template and compiled for each set in its own translation unit:
//
//   #include "core/simd.h"          (and every other header)
//   OPTA_TARGET_PUSH("avx2")
//   #include "family/row_kernels.h" (templates only)
//   ... instantiate with simd::Avx2 ...
//   OPTA_TARGET_POP()
//
// Every function here carries its own target, so including this header in
// plain code is harmless; only code that cpu::Has(level) allows may call it.
// A vector holds kPixels colours; byte 4i + c is channel c of pixel i. The
// 16-bit forms work on the low or high half of each 128-bit lane, and Pack
// puts two such halves back in the original byte order.
#include <immintrin.h>

#include <cstdint>

#define OPTA_PRAGMA(x) _Pragma(#x)
#if defined(__clang__)
#define OPTA_TARGET_PUSH(t) OPTA_PRAGMA(clang attribute push(__attribute__((target(t))), apply_to = function))
#define OPTA_TARGET_POP() OPTA_PRAGMA(clang attribute pop)
#else
#define OPTA_TARGET_PUSH(t) OPTA_PRAGMA(GCC push_options) OPTA_PRAGMA(GCC target(t))
#define OPTA_TARGET_POP() OPTA_PRAGMA(GCC pop_options)
#endif

namespace opta::simd {

// Row kernels step through n pixels a vector at a time and move the last
// vector back to end at n, overlapping the one before: recomputing a few
// pixels is cheaper than finishing the row one pixel at a time. Loop as
//   if (n < kPixels) return 0;
//   for (int i = 0; i < n; i = NextVector<kPixels>(i, n)) ...;  return n;
template <int kPixels>
constexpr int NextVector(int i, int n) {
  i += kPixels;
  return i < n && i + kPixels > n ? n - kPixels : i;
}

OPTA_TARGET_PUSH("avx2")
struct Avx2 {
  using V = __m256i;
  using M = __m256i;  // one all-ones or all-zero 32-bit lane per pixel
  static constexpr int kPixels = 8;

  static V Load(const std::uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
  static void Store(std::uint32_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }
  static V Zero() { return _mm256_setzero_si256(); }
  static V Splat32(std::uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
  static V Splat16(std::uint16_t v) { return _mm256_set1_epi16(static_cast<short>(v)); }

  static V And(V a, V b) { return _mm256_and_si256(a, b); }
  static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
  static V AddsU8(V a, V b) { return _mm256_adds_epu8(a, b); }
  static V SubsU8(V a, V b) { return _mm256_subs_epu8(a, b); }
  static V MaxU8(V a, V b) { return _mm256_max_epu8(a, b); }
  static V AbsDiffU8(V a, V b) { return _mm256_or_si256(_mm256_subs_epu8(a, b), _mm256_subs_epu8(b, a)); }

  static V WidenLo(V a) { return _mm256_unpacklo_epi8(a, _mm256_setzero_si256()); }
  static V WidenHi(V a) { return _mm256_unpackhi_epi8(a, _mm256_setzero_si256()); }
  static V PairLo(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
  static V PairHi(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
  // Unsigned byte pairs times signed byte pairs, each pair summed (saturating) to 16 bits.
  static V MulPairs(V u8, V s8) { return _mm256_maddubs_epi16(u8, s8); }
  static V Pack(V lo, V hi) { return _mm256_packus_epi16(lo, hi); }

  static V AddI16(V a, V b) { return _mm256_add_epi16(a, b); }
  static V AddsI16(V a, V b) { return _mm256_adds_epi16(a, b); }
  static V AddsU16(V a, V b) { return _mm256_adds_epu16(a, b); }
  static V MinI16(V a, V b) { return _mm256_min_epi16(a, b); }
  static V MaxI16(V a, V b) { return _mm256_max_epi16(a, b); }
  static V MulLo16(V a, V b) { return _mm256_mullo_epi16(a, b); }
  static V SumPairs16(V a) { return _mm256_madd_epi16(a, _mm256_set1_epi16(1)); }
  // Whole square roots of unsigned 16-bit lanes, truncated. Single precision
  // is exact here: below 2^16 no root lies within its rounding of an integer.
  static V SqrtU16(V s) {
    const V z = _mm256_setzero_si256();
    return _mm256_packus_epi32(Root32(_mm256_unpacklo_epi16(s, z)), Root32(_mm256_unpackhi_epi16(s, z)));
  }
  static V Root32(V v) { return _mm256_cvttps_epi32(_mm256_sqrt_ps(_mm256_cvtepi32_ps(v))); }

  // Pixels whose red, green and blue bytes are all non-zero (alpha ignored).
  static M RgbNonZero(V v) {
    const V ones = _mm256_set1_epi32(0x010101);
    return _mm256_cmpeq_epi32(_mm256_min_epu8(v, ones), ones);
  }
  static M Gt32(V a, V b) { return _mm256_cmpgt_epi32(a, b); }
  static M Eq32(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
  // b where m is set, else a.
  static V Select(M m, V a, V b) { return _mm256_blendv_epi8(a, b, m); }
  static unsigned Bits(M m) { return static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(m))); }
};
OPTA_TARGET_POP()

OPTA_TARGET_PUSH("avx512f,avx512bw")
struct Avx512 {
  using V = __m512i;
  using M = __mmask16;
  static constexpr int kPixels = 16;

  static V Load(const std::uint32_t* p) { return _mm512_loadu_si512(p); }
  static void Store(std::uint32_t* p, V v) { _mm512_storeu_si512(p, v); }
  static V Zero() { return _mm512_setzero_si512(); }
  static V Splat32(std::uint32_t v) { return _mm512_set1_epi32(static_cast<int>(v)); }
  static V Splat16(std::uint16_t v) { return _mm512_set1_epi16(static_cast<short>(v)); }

  static V And(V a, V b) { return _mm512_and_si512(a, b); }
  static V Xor(V a, V b) { return _mm512_xor_si512(a, b); }
  static V AddsU8(V a, V b) { return _mm512_adds_epu8(a, b); }
  static V SubsU8(V a, V b) { return _mm512_subs_epu8(a, b); }
  static V MaxU8(V a, V b) { return _mm512_max_epu8(a, b); }
  static V AbsDiffU8(V a, V b) { return _mm512_or_si512(_mm512_subs_epu8(a, b), _mm512_subs_epu8(b, a)); }

  static V WidenLo(V a) { return _mm512_unpacklo_epi8(a, _mm512_setzero_si512()); }
  static V WidenHi(V a) { return _mm512_unpackhi_epi8(a, _mm512_setzero_si512()); }
  static V PairLo(V a, V b) { return _mm512_unpacklo_epi8(a, b); }
  static V PairHi(V a, V b) { return _mm512_unpackhi_epi8(a, b); }
  static V MulPairs(V u8, V s8) { return _mm512_maddubs_epi16(u8, s8); }
  static V Pack(V lo, V hi) { return _mm512_packus_epi16(lo, hi); }

  static V AddI16(V a, V b) { return _mm512_add_epi16(a, b); }
  static V AddsI16(V a, V b) { return _mm512_adds_epi16(a, b); }
  static V AddsU16(V a, V b) { return _mm512_adds_epu16(a, b); }
  static V MinI16(V a, V b) { return _mm512_min_epi16(a, b); }
  static V MaxI16(V a, V b) { return _mm512_max_epi16(a, b); }
  static V MulLo16(V a, V b) { return _mm512_mullo_epi16(a, b); }
  static V SumPairs16(V a) { return _mm512_madd_epi16(a, _mm512_set1_epi16(1)); }
  static V SqrtU16(V s) {
    const V z = _mm512_setzero_si512();
    return _mm512_packus_epi32(Root32(_mm512_unpacklo_epi16(s, z)), Root32(_mm512_unpackhi_epi16(s, z)));
  }
  // The zero-masked forms, because GCC 12 warns about the plain ones' undefined source.
  static V Root32(V v) {
    const __mmask16 all = 0xFFFF;
    return _mm512_maskz_cvttps_epi32(all, _mm512_maskz_sqrt_ps(all, _mm512_maskz_cvtepi32_ps(all, v)));
  }

  static M RgbNonZero(V v) {
    const V ones = _mm512_set1_epi32(0x010101);
    return _mm512_cmpeq_epi32_mask(_mm512_min_epu8(v, ones), ones);
  }
  static M Gt32(V a, V b) { return _mm512_cmpgt_epi32_mask(a, b); }
  static M Eq32(V a, V b) { return _mm512_cmpeq_epi32_mask(a, b); }
  static V Select(M m, V a, V b) { return _mm512_mask_blend_epi32(m, a, b); }
  static unsigned Bits(M m) { return m; }
};
OPTA_TARGET_POP()

}  // namespace opta::simd
