// Invert, emboss, solarize, gray scale, brightness and darkness: fast forms.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/row_writer.h"
#include "pointops/kernels.h"

namespace opta {

namespace {

// Beyond +-1000 every amount gives the same pixels as +-1000 (all channels
// saturate), so the pixel rules can work in plain int without overflow.
int SafeAmount(int k) { return std::clamp(k, -1000, 1000); }

// The gray tables as 16-bit multiply-high: table[v] == (v * m) >> 16. The
// multipliers are solved from core's tables themselves, so they reproduce
// every entry exactly; without a solution we keep the tables.
struct GrayMultipliers {
  int red = -1, green = -1, blue = -1;
  bool exact() const { return red >= 0 && green >= 0 && blue >= 0; }
};

// The smallest m below 65536 with (v * m) >> 16 == table[v] for every v, or -1.
int SolveMultiplier(const std::int32_t* table) {
  std::int64_t lo = 0, hi = 65535;
  for (std::int64_t v = 1; v < 256; ++v) {
    const std::int64_t t = table[v];
    lo = std::max(lo, ((t << 16) + v - 1) / v);            // v*m >= t << 16
    hi = std::min(hi, (((t + 1) << 16) + v - 1) / v - 1);  // v*m < (t+1) << 16
  }
  return table[0] == 0 && lo <= hi ? static_cast<int>(lo) : -1;
}

const GrayMultipliers& grayMultipliers() {
  static const GrayMultipliers m = [] {
    const GrayTables& t = grayTables();
    return GrayMultipliers{SolveMultiplier(t.red), SolveMultiplier(t.green), SolveMultiplier(t.blue)};
  }();
  return m;
}

// n gray pixels from n source pixels with the solved multipliers.
void GrayRow(const Colour* src, Colour* out, int n, const GrayMultipliers& m) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i mul =
      _mm_setr_epi16(static_cast<short>(m.red), static_cast<short>(m.green), static_cast<short>(m.blue), 0,
                     static_cast<short>(m.red), static_cast<short>(m.green), static_cast<short>(m.blue), 0);
  const __m128i zero = _mm_setzero_si128(), ones = _mm_set1_epi16(1);
  for (; x + 4 <= n; x += 4) {
    const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
    // Channels as 16-bit lanes, two pixels per half, each times its weight.
    const __m128i lo = _mm_madd_epi16(_mm_mulhi_epu16(_mm_unpacklo_epi8(px, zero), mul), ones);
    const __m128i hi = _mm_madd_epi16(_mm_mulhi_epu16(_mm_unpackhi_epi8(px, zero), mul), ones);
    // lo and hi hold (red + green, blue) per pixel: add the pairs.
    const __m128 l = _mm_castsi128_ps(lo), h = _mm_castsi128_ps(hi);
    const __m128i g = _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(l, h, _MM_SHUFFLE(2, 0, 2, 0))),
                                    _mm_castps_si128(_mm_shuffle_ps(l, h, _MM_SHUFFLE(3, 1, 3, 1))));
    const __m128i gray = _mm_or_si128(g, _mm_or_si128(_mm_slli_epi32(g, 8), _mm_slli_epi32(g, 16)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), gray);
  }
#endif
  const unsigned mr = m.red, mg = m.green, mb = m.blue;
  for (; x < n; ++x) {
    const Colour c = src[x];
    const unsigned g =
        ((c & 0xFF) * mr >> 16) + (((c >> 8) & 0xFF) * mg >> 16) + (((c >> 16) & 0xFF) * mb >> 16);
    out[x] = g * 0x010101;
  }
}

}  // namespace

void InvertImage(Canvas& canvas, const PixelMatrix& pixels) {
  // 255 - c is c with its eight bits flipped.
  MapPixels(canvas, pixels, [](Colour c) { return c ^ 0xFFFFFF; });
}

void EmbossImage(Canvas& canvas, const PixelMatrix& pixels) {
  // The last column and row have no diagonal neighbour and stay as they were.
  WriteResultRows(canvas, pixels.width() - 1, pixels.height() - 1, [&](int x0, int y, Colour* out, int n) {
    const Colour* here = pixels.row(y) + x0;
    const Colour* below = pixels.row(y + 1) + x0 + 1;
    int x = 0;
#if defined(__SSE2__)
    // Per byte, a - b + 128 wraps to the right answer except when b passes a by
    // more than 128; there |a - b + 128| is the wrapped value negated.
    const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80)), zero = _mm_setzero_si128();
    const __m128i low3 = _mm_set1_epi32(0xFFFFFF);
    for (; x + 4 <= n; x += 4) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(here + x));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(below + x));
      const __m128i wrapped = _mm_add_epi8(_mm_sub_epi8(a, b), bias);
      const __m128i fine = _mm_cmpeq_epi8(_mm_subs_epu8(_mm_subs_epu8(b, a), bias), zero);
      const __m128i v =
          _mm_or_si128(_mm_and_si128(fine, wrapped), _mm_andnot_si128(fine, _mm_sub_epi8(zero, wrapped)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_and_si128(v, low3));
    }
#endif
    auto channel = [](int ca, int cb) {
      const int v = ca - cb + 128;
      return (v < 0 ? -v : v) & 0xFF;
    };
    for (; x < n; ++x) {
      const Colour a = here[x], b = below[x];
      out[x] = Rgb(channel(Red(a), Red(b)), channel(Green(a), Green(b)), channel(Blue(a), Blue(b)));
    }
  });
}

void SolarizeImage(Canvas& canvas, const PixelMatrix& pixels) {
  // Channels below 128 have their top bit clear; those are the ones flipped.
  MapPixels(canvas, pixels, [](Colour c) {
    const Colour low = (~c & 0x808080) >> 7;
    return c ^ (low * 0xFF);
  });
}

void GrayScaleImage(Canvas& canvas, const PixelMatrix& pixels) {
  const GrayMultipliers& m = grayMultipliers();
  if (!m.exact()) {
    MapPixels(canvas, pixels, [](Colour c) { return static_cast<Colour>(GrayLevelFast(c)) * 0x010101; });
    return;
  }
  WriteResultRows(canvas, pixels.width(), pixels.height(),
                  [&](int x, int y, Colour* out, int n) { GrayRow(pixels.row(y) + x, out, n, m); });
}

namespace {

// Each rule moves all three channels of a pixel by one amount and saturates;
// the scalar forms serve the row tails and amounts past a byte.
Colour BrightenPixel(Colour c, int k) {
  const int r = Red(c), g = Green(c), b = Blue(c);
  const int hi = std::max(r, std::max(g, b));
  if (hi >= 255) return c;
  if (hi + k <= 255) return RgbClamped(r + k, g + k, b + k);
  // The smallest excess belongs to the smallest channel that passes 255.
  int smallest = hi;
  for (int v : {r, g, b})
    if (v + k > 255) smallest = std::min(smallest, v);
  const int shift = smallest + k - 255;
  return RgbClamped(r + shift, g + shift, b + shift);
}

Colour DarkenPixel(Colour c, int k) {
  const int r = Red(c), g = Green(c), b = Blue(c);
  const int lo = std::min(r, std::min(g, b));
  if (lo <= 0) return c;
  // The smallest channel always falls below 0 when any does.
  const int sub = lo - k >= 0 ? k : lo;
  return RgbClamped(r - sub, g - sub, b - sub);
}

#if defined(__SSE2__)
// The amount in byte 0 of each pixel, copied to its three channel bytes.
inline __m128i Broadcast3(__m128i a) {
  return _mm_or_si128(a, _mm_or_si128(_mm_slli_epi32(a, 8), _mm_slli_epi32(a, 16)));
}
// Byte 0 of each pixel: the smallest (or largest) of its three channels.
inline __m128i Min3(__m128i p) {
  return _mm_min_epu8(p, _mm_min_epu8(_mm_srli_epi32(p, 8), _mm_srli_epi32(p, 16)));
}
inline __m128i Max3(__m128i p) {
  return _mm_max_epu8(p, _mm_max_epu8(_mm_srli_epi32(p, 8), _mm_srli_epi32(p, 16)));
}
#endif

void BrightenRow(const Colour* src, Colour* out, int n, int k) {
  int x = 0;
#if defined(__SSE2__)
  if (k <= 255) {
    const __m128i low3 = _mm_set1_epi32(0xFFFFFF), byte0 = _mm_set1_epi32(0xFF), zero = _mm_setzero_si128();
    const __m128i limit = _mm_set1_epi8(static_cast<char>(k > 0 ? 255 - k : 0));  // a channel passes above it
    const __m128i down = _mm_set1_epi32(std::min(-k, 255));
    for (; x + 4 <= n; x += 4) {
      const __m128i p = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x)), low3);
      const __m128i at255 = _mm_cmpeq_epi32(_mm_and_si128(Max3(p), byte0), byte0);  // pixel kept
      __m128i result;
      if (k > 0) {
        // Channels that do not pass read as 255, so the smallest is the smallest passing one
        // (or 255 when none passes, which gives the plain amount k).
        const __m128i passing = _mm_or_si128(p, _mm_cmpeq_epi8(_mm_subs_epu8(p, limit), zero));
        const __m128i add = _mm_and_si128(_mm_subs_epu8(Min3(passing), limit), byte0);
        result = _mm_adds_epu8(p, Broadcast3(_mm_andnot_si128(at255, add)));
      } else {
        result = _mm_subs_epu8(p, Broadcast3(_mm_andnot_si128(at255, down)));
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), result);
    }
  }
#endif
  for (; x < n; ++x) out[x] = BrightenPixel(src[x], k) & 0xFFFFFF;
}

void DarkenRow(const Colour* src, Colour* out, int n, int k) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i low3 = _mm_set1_epi32(0xFFFFFF), top = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i byte0 = _mm_set1_epi32(0xFF), zero = _mm_setzero_si128();
  const __m128i amount = _mm_set1_epi32(std::min(std::abs(k), 255));
  for (; x + 4 <= n; x += 4) {
    const __m128i p = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x)), low3);
    const __m128i lo = _mm_and_si128(Min3(_mm_or_si128(p, top)), byte0);
    __m128i result;
    if (k >= 0) {
      // Down by k, or by the smallest channel when that is less (0 keeps the pixel).
      result = _mm_subs_epu8(p, Broadcast3(_mm_min_epu8(lo, amount)));
    } else {
      const __m128i at0 = _mm_cmpeq_epi32(lo, zero);
      result = _mm_adds_epu8(p, Broadcast3(_mm_andnot_si128(at0, amount)));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), result);
  }
#endif
  for (; x < n; ++x) out[x] = DarkenPixel(src[x], k) & 0xFFFFFF;
}

}  // namespace

void BrightenImage(Canvas& canvas, const PixelMatrix& pixels, int amount) {
  const int k = SafeAmount(amount);
  WriteResultRows(canvas, pixels.width(), pixels.height(),
                  [&](int x, int y, Colour* out, int n) { BrightenRow(pixels.row(y) + x, out, n, k); });
}

void DarkenImage(Canvas& canvas, const PixelMatrix& pixels, int amount) {
  const int k = SafeAmount(amount);
  WriteResultRows(canvas, pixels.width(), pixels.height(),
                  [&](int x, int y, Colour* out, int n) { DarkenRow(pixels.row(y) + x, out, n, k); });
}

}  // namespace opta
