// The two-image operations, fast forms. A result row splits into at most
// three runs: where both images reach, where only the wider one does, and
// where neither does; each run has one rule, computed eight pixels at a time
// with AVX2 where the processor has it and pixel by pixel otherwise.
#include <algorithm>
#include <cstdlib>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "combine/combine.h"
#include "core/cpu.h"
#include "core/row_writer.h"
#include "core/whiten.h"

namespace opta {
namespace {

constexpr Colour kLow3 = 0xFFFFFF;  // the three channels; the top byte is dropped

using BothRow = void (*)(const Colour* a, const Colour* b, Colour* out, int n);
using OneRow = void (*)(const Colour* src, Colour* out, int n);

// One operation's rule for each region of the combined area.
struct Rules {
  BothRow both;
  OneRow firstOnly;
  OneRow secondOnly;
  Colour neither;
};

// --- per-region rules: each as one pixel and, on x86-64, as eight ---

#if defined(__x86_64__)
#define OPTA_AVX2 __attribute__((target("avx2")))
OPTA_AVX2 inline __m256i Low3() { return _mm256_set1_epi32(static_cast<int>(kLow3)); }
// All ones in each 32-bit lane whose three channels are zero.
OPTA_AVX2 inline __m256i ZeroLanes(__m256i v) {
  return _mm256_cmpeq_epi32(_mm256_and_si256(v, Low3()), _mm256_setzero_si256());
}
// Channel by channel floor((a + b) / 2): avg rounds up, so take back the odd bit.
OPTA_AVX2 inline __m256i MeanDown(__m256i a, __m256i b) {
  const __m256i odd = _mm256_and_si256(_mm256_xor_si256(a, b), _mm256_set1_epi8(1));
  return _mm256_and_si256(_mm256_sub_epi8(_mm256_avg_epu8(a, b), odd), Low3());
}
#endif

Colour HalfPixel(Colour c) { return (c >> 1) & 0x7F7F7F; }
Colour MeanPixel(Colour a, Colour b) {
  return Rgb((Red(a) + Red(b)) >> 1, (Green(a) + Green(b)) >> 1, (Blue(a) + Blue(b)) >> 1);
}

struct Copy {
  static Colour pixel(Colour a) { return a & kLow3; }
#if defined(__x86_64__)
  OPTA_AVX2 static __m256i wide(__m256i a) { return _mm256_and_si256(a, Low3()); }
#endif
};

struct Half {
  static Colour pixel(Colour a) { return HalfPixel(a); }
#if defined(__x86_64__)
  // Each channel's low bit falls into the channel below; the mask drops it.
  OPTA_AVX2 static __m256i wide(__m256i a) {
    return _mm256_and_si256(_mm256_srli_epi32(a, 1), _mm256_set1_epi32(0x7F7F7F));
  }
#endif
};

// Match Overlay where one image alone reaches: white for black, else half.
struct HalfOrWhite {
  static Colour pixel(Colour a) { return (a & kLow3) == 0 ? kWhite : HalfPixel(a); }
#if defined(__x86_64__)
  OPTA_AVX2 static __m256i wide(__m256i a) {
    return _mm256_or_si256(Half::wide(a), _mm256_and_si256(ZeroLanes(a), Low3()));
  }
#endif
};

struct SaturatedSum {
  static Colour pixel(Colour a, Colour b) {
    return Rgb(std::min(Red(a) + Red(b), 255), std::min(Green(a) + Green(b), 255),
               std::min(Blue(a) + Blue(b), 255));
  }
#if defined(__x86_64__)
  OPTA_AVX2 static __m256i wide(__m256i a, __m256i b) {
    return _mm256_and_si256(_mm256_adds_epu8(a, b), Low3());
  }
#endif
};

struct AbsDifference {
  static Colour pixel(Colour a, Colour b) {
    return Rgb(std::abs(Red(a) - Red(b)), std::abs(Green(a) - Green(b)), std::abs(Blue(a) - Blue(b)));
  }
#if defined(__x86_64__)
  OPTA_AVX2 static __m256i wide(__m256i a, __m256i b) {
    return _mm256_and_si256(_mm256_or_si256(_mm256_subs_epu8(a, b), _mm256_subs_epu8(b, a)), Low3());
  }
#endif
};

// a where each of its channels lies strictly above b's, else b. Greater
// Overlay is the same rule with the operands' roles in the test swapped.
template <bool FirstAbove>
struct PickStrict {
  static Colour pixel(Colour a, Colour b) {
    const Colour hi = FirstAbove ? a : b, lo = FirstAbove ? b : a;
    const bool pickA = Red(hi) > Red(lo) && Green(hi) > Green(lo) && Blue(hi) > Blue(lo);
    return (pickA ? a : b) & kLow3;
  }
#if defined(__x86_64__)
  OPTA_AVX2 static __m256i wide(__m256i a, __m256i b) {
    const __m256i hi = FirstAbove ? a : b, lo = FirstAbove ? b : a;
    // A channel with hi - lo saturating to 0 is not strictly above.
    const __m256i notAbove = _mm256_cmpeq_epi8(_mm256_subs_epu8(hi, lo), _mm256_setzero_si256());
    const __m256i pickA = ZeroLanes(notAbove);
    return _mm256_and_si256(_mm256_blendv_epi8(b, a, pickA), Low3());
  }
#endif
};

struct Mean {
  static Colour pixel(Colour a, Colour b) { return MeanPixel(a, b); }
#if defined(__x86_64__)
  OPTA_AVX2 static __m256i wide(__m256i a, __m256i b) { return MeanDown(a, b); }
#endif
};

struct MatchOrMean {
  static Colour pixel(Colour a, Colour b) { return ((a ^ b) & kLow3) == 0 ? kWhite : MeanPixel(a, b); }
#if defined(__x86_64__)
  OPTA_AVX2 static __m256i wide(__m256i a, __m256i b) {
    const __m256i same = ZeroLanes(_mm256_xor_si256(a, b));
    return _mm256_or_si256(MeanDown(a, b), _mm256_and_si256(same, Low3()));
  }
#endif
};

// Non Zero Overlay: the white of the first image lets the second through.
struct SecondThroughWhite {
  static Colour pixel(Colour a, Colour b) { return ((a & kLow3) == kLow3 ? b : a) & kLow3; }
#if defined(__x86_64__)
  OPTA_AVX2 static __m256i wide(__m256i a, __m256i b) {
    const __m256i white = _mm256_cmpeq_epi32(_mm256_and_si256(a, Low3()), Low3());
    return _mm256_and_si256(_mm256_blendv_epi8(a, b, white), Low3());
  }
#endif
};

// Zero Overlay: the first image's white stays, everything else shows b.
struct WhiteOverSecond {
  static Colour pixel(Colour a, Colour b) { return (a & kLow3) == kLow3 ? kWhite : b & kLow3; }
#if defined(__x86_64__)
  OPTA_AVX2 static __m256i wide(__m256i a, __m256i b) {
    const __m256i white = _mm256_cmpeq_epi32(_mm256_and_si256(a, Low3()), Low3());
    return _mm256_and_si256(_mm256_or_si256(b, white), Low3());
  }
#endif
};

// --- row forms of the rules ---

template <class R>
void PlainOne(const Colour* src, Colour* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = R::pixel(src[i]);
}

template <class R>
void PlainBoth(const Colour* a, const Colour* b, Colour* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = R::pixel(a[i], b[i]);
}

#if defined(__x86_64__)
template <class R>
OPTA_AVX2 void WideOne(const Colour* src, Colour* out, int n) {
  int i = 0;
  for (; i + 8 <= n; i += 8)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                        R::wide(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i))));
  for (; i < n; ++i) out[i] = R::pixel(src[i]);
}

template <class R>
OPTA_AVX2 void WideBoth(const Colour* a, const Colour* b, Colour* out, int n) {
  int i = 0;
  for (; i + 8 <= n; i += 8)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                        R::wide(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i)),
                                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i))));
  for (; i < n; ++i) out[i] = R::pixel(a[i], b[i]);
}
#endif

template <Colour C>
void Constant(const Colour*, Colour* out, int n) {
  std::fill_n(out, n, C);
}
template <Colour C>
void ConstantBoth(const Colour*, const Colour*, Colour* out, int n) {
  std::fill_n(out, n, C);
}

// Where both reach but only the first image decides (AND, OR).
template <class R, bool Wide>
void FirstOfBoth(const Colour* a, const Colour*, Colour* out, int n) {
#if defined(__x86_64__)
  if constexpr (Wide) return WideOne<R>(a, out, n);
#endif
  PlainOne<R>(a, out, n);
}

// The form the processor can run: chosen once per command.
template <class R>
OneRow One() {
#if defined(__x86_64__)
  if (cpu::Has(cpu::Level::Avx2)) return WideOne<R>;
#endif
  return PlainOne<R>;
}

template <class R>
BothRow Both() {
#if defined(__x86_64__)
  if (cpu::Has(cpu::Level::Avx2)) return WideBoth<R>;
#endif
  return PlainBoth<R>;
}

template <class R>
BothRow FirstDecides() {
#if defined(__x86_64__)
  if (cpu::Has(cpu::Level::Avx2)) return FirstOfBoth<R, true>;
#endif
  return FirstOfBoth<R, false>;
}

// --- the rows and the frame ---

// n results from (x0, y) along row y. The first image reaches wa pixels
// into this row and the second wb; past both lies the neither region.
void CombineRow(const Rules& r, const PixelMatrix& first, const PixelMatrix& second, int x0, int y,
                Colour* out, int n) {
  const int end = x0 + n;
  const int wa = y < first.height() ? first.width() : 0;
  const int wb = y < second.height() ? second.width() : 0;
  const int both = std::min(wa, wb), one = std::max(wa, wb);
  int x = x0;
  if (x < both) {
    const int e = std::min(end, both);
    r.both(first.row(y) + x, second.row(y) + x, out, e - x);
    out += e - x;
    x = e;
  }
  if (x < one && x < end) {
    const int e = std::min(end, one);
    if (wa > wb) {
      r.firstOnly(first.row(y) + x, out, e - x);
    } else {
      r.secondOnly(second.row(y) + x, out, e - x);
    }
    out += e - x;
    x = e;
  }
  if (x < end) std::fill_n(out, end - x, r.neither);
}

void Combine(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen, const Rules& r,
             bool firstAreaOnly = false) {
  const int w = firstAreaOnly ? first.width() : std::max(first.width(), second.width());
  const int h = firstAreaOnly ? first.height() : std::max(first.height(), second.height());
  WhitenAround(canvas.window(), Rect{0, 0, screen.width, screen.height}, w, h);
  // Two reads and a write a pixel, yet both cores still finish in half the
  // time of one: a single core does not fill the memory bus here.
  WriteResultRect(canvas, Rect{0, 0, w, h},
                  [&](int x, int y, Colour* out, int n) { CombineRow(r, first, second, x, y, out, n); });
}

}  // namespace

void AddImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen, Rules{Both<SaturatedSum>(), One<Copy>(), One<Copy>(), kBlack});
}

void SubtractImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen, Rules{Both<AbsDifference>(), One<Copy>(), One<Copy>(), kBlack});
}

void AndImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen,
          Rules{FirstDecides<Copy>(), Constant<kWhite>, Constant<kWhite>, kWhite});
}

void OrImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen, Rules{FirstDecides<Copy>(), One<Copy>(), One<Copy>(), kBlack});
}

void XorImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen, Rules{ConstantBoth<kWhite>, One<Copy>(), One<Copy>(), kWhite});
}

void NandImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen, Rules{ConstantBoth<kWhite>, One<Copy>(), One<Copy>(), kBlack});
}

void NorImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen,
          Rules{ConstantBoth<kWhite>, Constant<kBlack>, Constant<kBlack>, kBlack});
}

void NotImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen, Rules{ConstantBoth<kBlack>, One<Copy>(), Constant<kBlack>, kWhite});
}

void LessOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen, Rules{Both<PickStrict<true>>(), One<Copy>(), One<Copy>(), kBlack});
}

void GreaterOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen, Rules{Both<PickStrict<false>>(), One<Copy>(), One<Copy>(), kBlack});
}

void AverageOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen, Rules{Both<Mean>(), One<Half>(), One<Half>(), kBlack});
}

void MatchOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen,
          Rules{Both<MatchOrMean>(), One<HalfOrWhite>(), One<HalfOrWhite>(), kWhite});
}

// Only the first image's area is visited, so the second-only and neither
// rules never apply; where the second image does not reach, a is kept.
void NonZeroOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen, Rules{Both<SecondThroughWhite>(), One<Copy>(), One<Copy>(), kBlack},
          true);
}

void ZeroOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  Combine(canvas, first, second, screen, Rules{Both<WhiteOverSecond>(), One<Copy>(), One<Copy>(), kBlack},
          true);
}

}  // namespace opta
