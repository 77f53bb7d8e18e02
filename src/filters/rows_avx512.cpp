// The row kernels on AVX-512 lanes: sixteen packed colours, eight pixels of
// 16-bit channels, eight doubles.

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

OPTA_TARGET_PUSH("avx512f,avx512bw")

namespace opta::filters::avx512 {

struct U32 {
  using T = __m512i;
  static constexpr int kLanes = 16;
  static T Load(const std::uint32_t* p) { return _mm512_loadu_si512(p); }
  static void Store(std::uint32_t* p, T v) { _mm512_storeu_si512(p, v); }
  static T Min(T a, T b) { return _mm512_min_epu32(a, b); }
  static T Max(T a, T b) { return _mm512_max_epu32(a, b); }
  static T MinBytes(T a, T b) { return _mm512_min_epu8(a, b); }
  static T MaxBytes(T a, T b) { return _mm512_max_epu8(a, b); }
  static T MidBytes(T lo, T hi) {
    const T half =
        _mm512_and_si512(_mm512_srli_epi32(_mm512_xor_si512(lo, hi), 1), _mm512_set1_epi32(0x7F7F7F7F));
    return _mm512_add_epi32(_mm512_and_si512(lo, hi), half);
  }
  static T Colour24(T v) { return _mm512_and_si512(v, _mm512_set1_epi32(0xFFFFFF)); }
  // Lanes K .. 15 of a, then lanes 0 .. K - 1 of b.
  template <int K>
  static T Slide(T a, T b) {
    return _mm512_alignr_epi32(b, a, K);
  }
};

struct W16 {
  using T = __m512i;
  static constexpr int kLanes = 8;  // pixels
  static T Widen(const std::uint32_t* p) {
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  }
  static T Load(const std::uint16_t* p) { return _mm512_loadu_si512(p); }
  static void Store(std::uint16_t* p, T v) { _mm512_storeu_si512(p, v); }
  static T Zero() { return _mm512_setzero_si512(); }
  static T Add(T a, T b) { return _mm512_add_epi16(a, b); }
  static T MulLo(T a, std::int16_t k) { return _mm512_mullo_epi16(a, _mm512_set1_epi16(k)); }
  static T MulHi(T a, std::uint16_t m) {
    return _mm512_mulhi_epu16(a, _mm512_set1_epi16(static_cast<short>(m)));
  }
  static T Shr(T a, int s) { return _mm512_srl_epi16(a, _mm_cvtsi32_si128(s)); }
  // Signed channels clamped to 0..255: negatives to 0, then an unsigned
  // saturating narrow.
  static void StoreBytes(std::uint32_t* p, T v) {
    const __m256i b = _mm512_cvtusepi16_epi8(_mm512_max_epi16(v, _mm512_setzero_si512()));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_and_si256(b, _mm256_set1_epi32(0xFFFFFF)));
  }
};

struct F64 {
  using T = __m512d;
  static constexpr int kLanes = 8;
  static T Load(const double* p) { return _mm512_loadu_pd(p); }
  static void Store(double* p, T v) { _mm512_storeu_pd(p, v); }
  static T Set1(double v) { return _mm512_set1_pd(v); }
  static T Add(T a, T b) { return _mm512_add_pd(a, b); }
  static T Mul(T a, T b) { return _mm512_mul_pd(a, b); }
  static T Div(T a, T b) { return _mm512_div_pd(a, b); }
  static bool Ordinary(T den, T ratio) {
    return (_mm512_cmp_pd_mask(den, _mm512_setzero_pd(), _CMP_EQ_OQ) |
            _mm512_cmp_pd_mask(ratio, ratio, _CMP_UNORD_Q)) == 0;
  }
  // RootTable::root in lanes: the bucket's root, one more where p reaches
  // the next threshold; lanes outside the table go one by one.
  static void StoreRoot(int* out, T p, const RootTable& roots) {
    const __m512i key = _mm512_sub_epi64(_mm512_srli_epi64(_mm512_castpd_si512(p), RootTable::kDropBits),
                                         _mm512_set1_epi64(static_cast<long long>(roots.firstKey())));
    if (_mm512_cmplt_epu64_mask(key, _mm512_set1_epi64(static_cast<long long>(roots.bucketCount()))) !=
        0xFF) {
      alignas(64) double lanes[8];
      _mm512_store_pd(lanes, p);
      for (int i = 0; i < 8; ++i) out[i] = roots.root(lanes[i]);
      return;
    }
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i r =
        _mm256_and_si256(_mm512_i64gather_epi32(key, roots.bucketBytes(), 1), _mm256_set1_epi32(0xFF));
    const __m512d next = _mm512_i32gather_pd(_mm256_add_epi32(r, one), roots.thresholds(), 8);
    const __mmask8 reaches = _mm512_cmp_pd_mask(p, next, _CMP_GE_OQ);
    const __m256i up = _mm512_castsi512_si256(_mm512_maskz_set1_epi32(reaches, 1));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_add_epi32(r, up));
  }
  static void StoreChannel(int* out, T v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                        _mm512_cvttpd_epi32(_mm512_min_pd(v, _mm512_set1_pd(255))));
  }
};

#include "filters/rows_body.h"

}  // namespace opta::filters::avx512

OPTA_TARGET_POP()
