// The row kernels on AVX2 lanes: eight packed colours, four pixels of 16-bit
// channels, four doubles.

// GCC 12 takes the intrinsics' own "undefined vector" idiom for an
// uninitialised read once they are inlined; the warning points into this
// header, so it is silenced for the header alone.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/simd.h"
#include "filters/kernels.h"
#include "filters/lanes_plain.h"
#include "filters/network.h"
#include "filters/rows.h"

OPTA_TARGET_PUSH("avx2")

namespace opta::filters::avx2 {

struct U32 {
  using T = __m256i;
  static constexpr int kLanes = 8;
  static T Load(const std::uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void Store(std::uint32_t* p, T v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static T Min(T a, T b) { return _mm256_min_epu32(a, b); }
  static T Max(T a, T b) { return _mm256_max_epu32(a, b); }
  static T MinBytes(T a, T b) { return _mm256_min_epu8(a, b); }
  static T MaxBytes(T a, T b) { return _mm256_max_epu8(a, b); }
  static T MidBytes(T lo, T hi) {
    const T half =
        _mm256_and_si256(_mm256_srli_epi32(_mm256_xor_si256(lo, hi), 1), _mm256_set1_epi32(0x7F7F7F7F));
    return _mm256_add_epi32(_mm256_and_si256(lo, hi), half);
  }
  static T Colour24(T v) { return _mm256_and_si256(v, _mm256_set1_epi32(0xFFFFFF)); }
  // Lanes K .. 7 of a, then lanes 0 .. K - 1 of b.
  // The byte shift works within 128-bit halves, so the middle pair of
  // halves is built first.
  template <int K>
  static T Slide(T a, T b) {
    const T middle = _mm256_permute2x128_si256(a, b, 0x21);
    if constexpr (K < 4) return _mm256_alignr_epi8(middle, a, 4 * K);
    if constexpr (K == 4) return middle;
    if constexpr (K > 4) return _mm256_alignr_epi8(b, middle, 4 * (K - 4));
  }
};

struct W16 {
  using T = __m256i;
  static constexpr int kLanes = 4;  // pixels
  static T Widen(const std::uint32_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  static T Load(const std::uint16_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void Store(std::uint16_t* p, T v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static T Zero() { return _mm256_setzero_si256(); }
  static T Add(T a, T b) { return _mm256_add_epi16(a, b); }
  static T MulLo(T a, std::int16_t k) { return _mm256_mullo_epi16(a, _mm256_set1_epi16(k)); }
  static T MulHi(T a, std::uint16_t m) {
    return _mm256_mulhi_epu16(a, _mm256_set1_epi16(static_cast<short>(m)));
  }
  static T Shr(T a, int s) { return _mm256_srl_epi16(a, _mm_cvtsi32_si128(s)); }
  // Saturating pack: signed channels clamped to 0..255.
  static void StoreBytes(std::uint32_t* p, T v) {
    const __m128i b = _mm_packus_epi16(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_and_si128(b, _mm_set1_epi32(0xFFFFFF)));
  }
};

struct F64 {
  using T = __m256d;
  static constexpr int kLanes = 4;
  static T Load(const double* p) { return _mm256_loadu_pd(p); }
  static void Store(double* p, T v) { _mm256_storeu_pd(p, v); }
  static T Set1(double v) { return _mm256_set1_pd(v); }
  static T Add(T a, T b) { return _mm256_add_pd(a, b); }
  static T Mul(T a, T b) { return _mm256_mul_pd(a, b); }
  static T Div(T a, T b) { return _mm256_div_pd(a, b); }
  static bool Ordinary(T den, T ratio) {
    const T zero = _mm256_cmp_pd(den, _mm256_setzero_pd(), _CMP_EQ_OQ);
    return _mm256_movemask_pd(_mm256_or_pd(zero, _mm256_cmp_pd(ratio, ratio, _CMP_UNORD_Q))) == 0;
  }
  // RootTable::root in lanes: the bucket's root, one more where p reaches
  // the next threshold; lanes outside the table go one by one.
  static void StoreRoot(int* out, T p, const RootTable& roots) {
    const __m256i key = _mm256_sub_epi64(_mm256_srli_epi64(_mm256_castpd_si256(p), RootTable::kDropBits),
                                         _mm256_set1_epi64x(static_cast<long long>(roots.firstKey())));
    const __m256i inside = _mm256_and_si256(
        _mm256_cmpgt_epi64(key, _mm256_set1_epi64x(-1)),
        _mm256_cmpgt_epi64(_mm256_set1_epi64x(static_cast<long long>(roots.bucketCount())), key));
    if (_mm256_movemask_pd(_mm256_castsi256_pd(inside)) != 0xF) {
      alignas(32) double lanes[4];
      _mm256_store_pd(lanes, p);
      for (int i = 0; i < 4; ++i) out[i] = roots.root(lanes[i]);
      return;
    }
    const __m128i r =
        _mm_and_si128(_mm256_i64gather_epi32(reinterpret_cast<const int*>(roots.bucketBytes()), key, 1),
                      _mm_set1_epi32(0xFF));
    const __m256d next = _mm256_i32gather_pd(roots.thresholds(), _mm_add_epi32(r, _mm_set1_epi32(1)), 8);
    // The comparison's 64-bit masks, narrowed to 32 bits: -1 where p reaches.
    const __m256i reaches = _mm256_castpd_si256(_mm256_cmp_pd(p, next, _CMP_GE_OQ));
    const __m128i narrow = _mm256_castsi256_si128(
        _mm256_permutevar8x32_epi32(reaches, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_sub_epi32(r, narrow));
  }
  static void StoreChannel(int* out, T v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm256_cvttpd_epi32(_mm256_min_pd(v, _mm256_set1_pd(255))));
  }
};

#include "filters/rows_body.h"

}  // namespace opta::filters::avx2

OPTA_TARGET_POP()
