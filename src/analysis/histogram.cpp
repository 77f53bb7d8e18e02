#include "analysis/histogram.h"

#include <algorithm>
#include <mutex>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "core/colour.h"
#include "core/cpu.h"
#include "core/parallel.h"

namespace opta {
namespace {

bool Covers(const PixelMatrix& m, int width, int height) {
  return width > 0 && height > 0 && m.width() >= width && m.height() >= height;
}
bool Covers(const ByteMatrix& m, int width, int height) {
  return width > 0 && height > 0 && m.width() >= width && m.height() >= height;
}

// Levels at or beyond 256 hold nothing: a class mean can be far above 255
// when every pixel is object, and the sums must not read past the table.
std::uint32_t SumCounts(const Histogram& h, std::uint32_t from, std::uint32_t to) {
  std::uint32_t sum = 0;
  for (std::uint32_t i = from; i < to && i < 256; ++i) sum += h[i];
  return sum;
}

}  // namespace

void ResetThresholdState() {
  GrayHistogram.fill(0);
  ThresholdHigh = 140;
  ThresholdLow = 0;
}

bool ComputeHistogramReference(Histogram& histogram, int height, int width, const PixelMatrix& pixels,
                               ByteMatrix& gray) {
  histogram.fill(0);
  if (!Covers(pixels, width, height) || !gray.allocate(width, height)) return false;
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      const Colour c = pixels.at(x, y);
      const int g = std::clamp(GrayLevel(Red(c), Green(c), Blue(c)), 0, 255);
      gray.at(x, y) = static_cast<std::uint8_t>(g);
      ++histogram[g];
    }
  }
  return true;
}

namespace {

// The three truncated products as 16-bit multiply-highs: (c * k) >> 16 equals
// the truncated double product for every c in 0..255 with these k (the
// gray tests compare every level).
constexpr std::uint16_t kRedK = 19661, kGreenK = 38667, kBlueK = 7209;

// Gray levels of n pixels; returns how many it did (the rest is left to the
// plain loop).
using GrayRowFn = int (*)(const Colour* src, std::uint8_t* dst, int n);

int GrayRowPlain(const Colour*, std::uint8_t*, int) { return 0; }

#if defined(__x86_64__)
__attribute__((target("avx2"))) inline __m256i Gray8Avx2(__m256i v) {
  const __m256i lowByte = _mm256_set1_epi32(0xFF);
  const __m256i r = _mm256_and_si256(v, lowByte);
  const __m256i g = _mm256_and_si256(_mm256_srli_epi32(v, 8), lowByte);
  const __m256i b = _mm256_and_si256(_mm256_srli_epi32(v, 16), lowByte);
  return _mm256_add_epi32(
      _mm256_add_epi32(_mm256_srli_epi32(_mm256_mullo_epi32(r, _mm256_set1_epi32(kRedK)), 16),
                       _mm256_srli_epi32(_mm256_mullo_epi32(g, _mm256_set1_epi32(kGreenK)), 16)),
      _mm256_srli_epi32(_mm256_mullo_epi32(b, _mm256_set1_epi32(kBlueK)), 16));
}

__attribute__((target("avx2"))) int GrayRowAvx2(const Colour* src, std::uint8_t* dst, int n) {
  int x = 0;
  for (; x + 32 <= n; x += 32) {
    const __m256i a = Gray8Avx2(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + x)));
    const __m256i b = Gray8Avx2(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + x + 8)));
    const __m256i c = Gray8Avx2(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + x + 16)));
    const __m256i d = Gray8Avx2(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + x + 24)));
    // Packing works within 128-bit halves; one permutation puts the 32 levels in order.
    const __m256i ab = _mm256_packus_epi32(a, b), cd = _mm256_packus_epi32(c, d);
    const __m256i bytes = _mm256_packus_epi16(ab, cd);
    const __m256i ordered = _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x), ordered);
  }
  return x;
}

__attribute__((target("avx512f,avx512bw"))) int GrayRowAvx512(const Colour* src, std::uint8_t* dst, int n) {
  const __m512i lowByte = _mm512_set1_epi32(0xFF);
  const __m512i kr = _mm512_set1_epi32(kRedK), kg = _mm512_set1_epi32(kGreenK),
                kb = _mm512_set1_epi32(kBlueK);
  int x = 0;
  for (; x + 16 <= n; x += 16) {
    const __m512i v = _mm512_loadu_si512(src + x);
    const __m512i r = _mm512_and_si512(v, lowByte);
    // The zero-masked shifts: GCC 12 warns about the plain ones' undefined filler.
    const __mmask16 all = 0xFFFF;
    const __m512i g = _mm512_and_si512(_mm512_maskz_srli_epi32(all, v, 8), lowByte);
    const __m512i b = _mm512_and_si512(_mm512_maskz_srli_epi32(all, v, 16), lowByte);
    const __m512i sum =
        _mm512_add_epi32(_mm512_add_epi32(_mm512_maskz_srli_epi32(all, _mm512_mullo_epi32(r, kr), 16),
                                          _mm512_maskz_srli_epi32(all, _mm512_mullo_epi32(g, kg), 16)),
                         _mm512_maskz_srli_epi32(all, _mm512_mullo_epi32(b, kb), 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), _mm512_maskz_cvtepi32_epi8(all, sum));
  }
  return x;
}
#endif

GrayRowFn PickGrayRow() {
#if defined(__x86_64__)
  if (cpu::Has(cpu::Level::Avx512)) return GrayRowAvx512;
  if (cpu::Has(cpu::Level::Avx2)) return GrayRowAvx2;
#endif
  return GrayRowPlain;
}

}  // namespace

bool ComputeHistogram(Histogram& histogram, int height, int width, const PixelMatrix& pixels,
                      ByteMatrix& gray) {
  histogram.fill(0);
  if (!Covers(pixels, width, height) || !gray.allocate(width, height)) return false;
  const GrayTables& t = grayTables();
  const GrayRowFn grayRow = PickGrayRow();
  std::mutex merge;
  // The counts do not depend on the visiting order, so rows can be split.
  parallelRows(height, width, [&](int y0, int y1) {
    // Four partial tables: runs of one gray level would otherwise wait on
    // the same counter pixel after pixel.
    std::uint32_t local[4][256] = {};
    for (int y = y0; y < y1; ++y) {
      const Colour* src = pixels.row(y);
      std::uint8_t* dst = gray.row(y);
      int x = grayRow(src, dst, width);
      // The largest sum is 254, so no clamp is needed on this path.
      for (; x < width; ++x) {
        const Colour c = src[x];
        dst[x] =
            static_cast<std::uint8_t>(t.red[c & 0xFF] + t.green[(c >> 8) & 0xFF] + t.blue[(c >> 16) & 0xFF]);
      }
      int i = 0;
      for (; i + 4 <= width; i += 4) {
        ++local[0][dst[i]];
        ++local[1][dst[i + 1]];
        ++local[2][dst[i + 2]];
        ++local[3][dst[i + 3]];
      }
      for (; i < width; ++i) ++local[0][dst[i]];
    }
    std::lock_guard<std::mutex> lock(merge);
    for (int i = 0; i < 256; ++i) histogram[i] += local[0][i] + local[1][i] + local[2][i] + local[3][i];
  });
  return true;
}

void DrawHistogram(const Histogram& histogram, Surface& window, int screenHeight) {
  const int cy = screenHeight;
  const int base = cy - 70;
  window.moveTo(10, base);
  window.lineTo(622, base);
  window.moveTo(10, base);
  window.lineTo(10, cy - 570);
  for (int i = 0; i < 256; ++i) {
    const int x = 1 + 3 * i;
    std::int64_t top = static_cast<std::int64_t>(cy) - histogram[i];
    if (top < 0) top = 0;
    if (top > base) top = base;
    window.moveTo(x, base);
    window.lineTo(x, static_cast<int>(top));
  }
}

void SmoothHistogram(Histogram& h) {
  Histogram t;
  t[0] = (h[0] + h[1]) >> 1;
  t[255] = (h[255] + h[254]) >> 1;
  for (int i = 1; i < 255; ++i) t[i] = (h[i - 1] + h[i] + h[i + 1]) / 3;
  h = t;
}

bool ThresholdRangeReference(const ByteMatrix& gray, ByteMatrix& mask, std::uint8_t high, std::uint8_t low,
                             int width, int height) {
  if (!Covers(gray, width, height) || !mask.allocate(width, height)) return false;
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      const std::uint8_t g = gray.at(x, y);
      mask.at(x, y) = (low <= g && g <= high) ? 255 : 0;
    }
  }
  return true;
}

bool ThresholdRange(const ByteMatrix& gray, ByteMatrix& mask, std::uint8_t high, std::uint8_t low, int width,
                    int height) {
  if (!Covers(gray, width, height) || !mask.allocate(width, height)) return false;
  // One unsigned compare per pixel: g - low wraps above the span when g < low.
  const std::uint8_t span = static_cast<std::uint8_t>(high - low);
  const bool empty = low > high;
  parallelRows(height, width, [&](int y0, int y1) {
    // Copies, not the captured references: a byte store may alias anything,
    // and reloading them each pixel keeps the loop from being vectorised.
    const std::uint8_t lo = low, sp = span;
    const int w = width;
    for (int y = y0; y < y1; ++y) {
      const std::uint8_t* g = gray.row(y);
      std::uint8_t* m = mask.row(y);
      if (empty) {
        std::fill(m, m + w, std::uint8_t{0});
        continue;
      }
      for (int x = 0; x < w; ++x) {
        m[x] = static_cast<std::uint8_t>(static_cast<std::uint8_t>(g[x] - lo) <= sp ? 255 : 0);
      }
    }
  });
  return true;
}

void ShowMaskReference(const ByteMatrix& mask, Canvas& canvas, int width, int height) {
  if (!Covers(mask, width, height)) return;
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      const Colour v = mask.at(x, y);
      const Colour colour = v | v << 8 | v << 16;
      canvas.memory().set(x, y, colour);
      canvas.window().set(x, y, colour);
    }
  }
}

void ShowMask(const ByteMatrix& mask, Canvas& canvas, int width, int height) {
  if (!Covers(mask, width, height)) return;
  // Each pixel is written once into each surface; the order of the writes is
  // not visible, so whole rows go out at a time.
  std::vector<Colour> line(static_cast<std::size_t>(width));
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* m = mask.row(y);
    for (int x = 0; x < width; ++x) line[x] = static_cast<Colour>(m[x]) * 0x010101u;
    canvas.memory().putRow(0, y, line.data(), width);
    canvas.window().putRow(0, y, line.data(), width);
  }
}

void InsertDescending(RankedLevels& e, RankedLevel p) {
  if (p.count > e[0].count) {
    for (int j = 253; j >= 0; --j) e[j + 1] = e[j];
    e[0] = p;
  }
  for (int k = 0; k <= 251; ++k) {
    if (e[k].count > p.count && p.count > e[k + 1].count) {
      for (int j = 253; j >= k + 1; --j) e[j + 1] = e[j];
      e[k + 1] = p;
    }
  }
  if (e[253].count > p.count && p.count > e[254].count) e[254] = p;
}

void InsertAscending(RankedLevels& e, RankedLevel p) {
  if (p.count < e[0].count) {
    for (int j = 253; j >= 0; --j) e[j + 1] = e[j];
    e[0] = p;
  }
  for (int k = 0; k <= 251; ++k) {
    if (e[k].count < p.count && p.count < e[k + 1].count) {
      for (int j = 253; j >= k + 1; --j) e[j + 1] = e[j];
      e[k + 1] = p;
    }
  }
  if (e[253].count < p.count && p.count < e[254].count) e[254] = p;
}

void FindHistogramPeaks(const Histogram& histogram, std::int32_t& mainPeak, std::int32_t& secondPeak) {
  RankedLevels e;
  e.fill(RankedLevel{-1, -1});
  for (int level = 0; level < 256; ++level) {
    InsertDescending(e, RankedLevel{static_cast<std::int32_t>(histogram[level]), level});
  }
  mainPeak = e[0].level;
  // With no level more than 50 away the second peak is the main one, so the
  // limits split at the main peak.
  secondPeak = mainPeak;
  for (int i = 1; i <= 254; ++i) {
    if (e[i].level == -1) continue;
    const std::int32_t d = e[0].level > e[i].level ? e[0].level - e[i].level : e[i].level - e[0].level;
    if (d > 50) {
      secondPeak = e[i].level;
      break;
    }
  }
}

void LimitsFromPeaks(const Histogram& histogram, std::uint32_t a, std::uint32_t b, std::uint8_t& high,
                     std::uint8_t& low) {
  const std::uint32_t lo = std::min(a, b);
  const std::uint32_t diff = a > b ? a - b : b - a;
  const std::uint32_t mid = lo + (diff >> 1);
  const std::uint32_t below = SumCounts(histogram, 0, mid);
  const std::uint32_t above = SumCounts(histogram, mid, 256);
  if (below >= above) {
    low = static_cast<std::uint8_t>(mid);
    high = 255;
  } else {
    low = 0;
    high = static_cast<std::uint8_t>(mid);
  }
}

void FindValley(const Histogram& histogram, std::uint32_t a, std::uint32_t b, std::int32_t& valley) {
  RankedLevels e;
  e.fill(RankedLevel{10000, -1});
  const std::uint32_t from = std::min(a, b) + 1;
  const std::uint32_t to = std::min<std::uint32_t>(std::max(a, b), 256);  // exclusive, inside the table
  for (std::uint32_t level = from; level < to; ++level) {
    InsertAscending(
        e, RankedLevel{static_cast<std::int32_t>(histogram[level]), static_cast<std::int32_t>(level)});
  }
  valley = e[0].level;
}

void LimitsFromValley(const Histogram& histogram, std::uint32_t a, std::uint32_t b, std::uint8_t& high,
                      std::uint8_t& low) {
  std::int32_t v = -1;
  FindValley(histogram, a, b, v);
  // No valley between the peaks (adjacent peaks, or every count 10000 or
  // more): split at the peaks' midpoint instead.
  if (v < 0) {
    LimitsFromPeaks(histogram, a, b, high, low);
    return;
  }
  const std::uint32_t below = SumCounts(histogram, 0, static_cast<std::uint32_t>(v));
  const std::uint32_t above = SumCounts(histogram, static_cast<std::uint32_t>(v), 256);
  if (below > above) {
    low = static_cast<std::uint8_t>(v);
    high = 255;
  } else {
    low = 0;
    high = static_cast<std::uint8_t>(v);
  }
}

namespace {

void ClassMeans(std::uint32_t n, std::uint32_t sumObject, std::uint32_t sumBackground, std::uint32_t total,
                std::uint32_t& objectMean, std::uint32_t& backgroundMean) {
  if (n == 0 || n == total) n = 100;
  objectMean = sumObject / n;
  // total == 100 with every pixel in one class leaves no background
  // divisor; that mean is then 0.
  const std::uint32_t rest = total - n;
  backgroundMean = rest == 0 ? 0 : sumBackground / rest;
}

}  // namespace

bool ThresholdWithClassMeansReference(const ByteMatrix& gray, ByteMatrix& mask, std::uint8_t high,
                                      std::uint8_t low, std::uint8_t value, std::uint32_t& objectMean,
                                      std::uint32_t& backgroundMean, int width, int height) {
  objectMean = backgroundMean = 0;
  if (!Covers(gray, width, height) || !mask.allocate(width, height)) return false;
  std::uint32_t n = 0, sumObject = 0, sumBackground = 0;
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      const std::uint8_t g = gray.at(x, y);
      if (low <= g && g <= high) {
        mask.at(x, y) = value;
        ++n;
        sumObject += g;
      } else {
        mask.at(x, y) = 0;
        sumBackground += g;
      }
    }
  }
  const std::uint32_t total = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height);
  ClassMeans(n, sumObject, sumBackground, total, objectMean, backgroundMean);
  return true;
}

bool ThresholdWithClassMeans(const ByteMatrix& gray, ByteMatrix* mask, std::uint8_t high, std::uint8_t low,
                             std::uint8_t value, std::uint32_t& objectMean, std::uint32_t& backgroundMean,
                             int width, int height) {
  objectMean = backgroundMean = 0;
  if (!Covers(gray, width, height) || (mask && !mask->allocate(width, height))) return false;
  // The sums wrap at 32 bits exactly as the sequential loop's do, whatever
  // the order of the additions.
  std::uint32_t n = 0, sumObject = 0, sumBackground = 0;
  std::mutex merge;
  parallelRows(height, width, [&](int y0, int y1) {
    std::uint32_t ln = 0, ls = 0, lb = 0;
    for (int y = y0; y < y1; ++y) {
      const std::uint8_t* g = gray.row(y);
      std::uint8_t* m = mask ? mask->row(y) : nullptr;
      // Each pixel is read before it is written, so mask may be gray.
      for (int x = 0; x < width; ++x) {
        const std::uint8_t v = g[x];
        const bool in = low <= v && v <= high;
        ln += in;
        ls += in ? v : 0;
        lb += in ? 0 : v;
      }
      if (m) {
        for (int x = 0; x < width; ++x) m[x] = low <= g[x] && g[x] <= high ? value : 0;
      }
    }
    std::lock_guard<std::mutex> lock(merge);
    n += ln;
    sumObject += ls;
    sumBackground += lb;
  });
  const std::uint32_t total = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height);
  ClassMeans(n, sumObject, sumBackground, total, objectMean, backgroundMean);
  return true;
}

ThresholdLimits PeakLimits(const Histogram& histogram) {
  std::int32_t mainPeak = 0, secondPeak = 0;
  FindHistogramPeaks(histogram, mainPeak, secondPeak);
  ThresholdLimits t{255, 0};
  LimitsFromPeaks(histogram, static_cast<std::uint32_t>(mainPeak), static_cast<std::uint32_t>(secondPeak),
                  t.high, t.low);
  return t;
}

ThresholdLimits ValleyLimits(const Histogram& histogram) {
  std::int32_t mainPeak = 0, secondPeak = 0;
  FindHistogramPeaks(histogram, mainPeak, secondPeak);
  ThresholdLimits t{255, 0};
  LimitsFromValley(histogram, static_cast<std::uint32_t>(mainPeak), static_cast<std::uint32_t>(secondPeak),
                   t.high, t.low);
  return t;
}

}  // namespace opta
