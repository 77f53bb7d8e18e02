#include "analysis/histogram.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "core/colour.h"
#include "core/cpu.h"
#include "core/parallel.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace opta {
namespace {

#if defined(__x86_64__)
// The grays of sixteen pixels a step, each truncated product taken as a
// 16-bit high multiply by its factor (core/colour.h). Returns how many
// pixels it did; the caller does the rest.
// Each 32-bit lane holds a channel in its low half and 0 in its high half,
// and so does each factor: the 16-bit high products are the lane's.
__attribute__((target("avx2"))) inline __m256i GrayEight(const Colour* p) {
  const __m256i low = _mm256_set1_epi32(0xFF);
  const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i r = _mm256_mulhi_epu16(_mm256_and_si256(c, low), _mm256_set1_epi32(kGrayRedFactor));
  const __m256i g =
      _mm256_mulhi_epu16(_mm256_and_si256(_mm256_srli_epi32(c, 8), low), _mm256_set1_epi32(kGrayGreenFactor));
  const __m256i b =
      _mm256_mulhi_epu16(_mm256_and_si256(_mm256_srli_epi32(c, 16), low), _mm256_set1_epi32(kGrayBlueFactor));
  return _mm256_add_epi32(_mm256_add_epi32(r, g), b);
}

__attribute__((target("avx2"))) int GrayRowAvx2(const Colour* src, std::uint8_t* dst, int w) {
  int x = 0;
  for (; x + 16 <= w; x += 16) {
    // Packing works within 128-bit halves; the permute puts the 16 in order.
    const __m256i words =
        _mm256_permute4x64_epi64(_mm256_packus_epi32(GrayEight(src + x), GrayEight(src + x + 8)), 0xD8);
    const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), bytes);
  }
  return x;
}
#else
int GrayRowAvx2(const Colour*, std::uint8_t*, int) { return 0; }
#endif

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

bool ComputeHistogram(Histogram& histogram, int height, int width, const PixelMatrix& pixels,
                      ByteMatrix& gray) {
  histogram.fill(0);
  if (!Covers(pixels, width, height) || !gray.allocate(width, height)) return false;
  const GrayTables& t = grayTables();
  std::mutex merge;
  // The counts do not depend on the visiting order, so rows can be split.
  parallelRows(height, width, [&](int y0, int y1) {
    // Four partial tables: runs of one gray level would otherwise wait on
    // the same counter pixel after pixel.
    std::uint32_t local[4][256] = {};
    // Local copies: the gray byte stores could alias the captured references,
    // which would then be reloaded for every pixel.
    const std::int32_t* const red = t.red;
    const std::int32_t* const green = t.green;
    const std::int32_t* const blue = t.blue;
    const int w = width;
    const bool vector = cpu::Has(cpu::Level::Avx2);
    for (int y = y0; y < y1; ++y) {
      const Colour* src = pixels.row(y);
      std::uint8_t* dst = gray.row(y);
      int x = 0;
      if (vector) {
        x = GrayRowAvx2(src, dst, w);
        int k = 0;
        for (; k + 4 <= x; k += 4)
          for (int j = 0; j < 4; ++j) ++local[j][dst[k + j]];
        for (; k < x; ++k) ++local[0][dst[k]];
      }
      for (; x + 4 <= w; x += 4) {
        for (int k = 0; k < 4; ++k) {
          const Colour c = src[x + k];
          // The largest sum is 254, so no clamp is needed on this path.
          const int g = red[c & 0xFF] + green[(c >> 8) & 0xFF] + blue[(c >> 16) & 0xFF];
          dst[x + k] = static_cast<std::uint8_t>(g);
          ++local[k][g];
        }
      }
      for (; x < w; ++x) {
        const Colour c = src[x];
        const int g = red[c & 0xFF] + green[(c >> 8) & 0xFF] + blue[(c >> 16) & 0xFF];
        dst[x] = static_cast<std::uint8_t>(g);
        ++local[0][g];
      }
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

bool ThresholdWithClassMeans(const ByteMatrix& gray, ByteMatrix& mask, std::uint8_t high, std::uint8_t low,
                             std::uint8_t value, std::uint32_t& objectMean, std::uint32_t& backgroundMean,
                             int width, int height) {
  objectMean = backgroundMean = 0;
  if (!Covers(gray, width, height) || !mask.allocate(width, height)) return false;
  // The sums wrap at 32 bits exactly as the sequential loop's do, whatever
  // the order of the additions.
  std::uint32_t n = 0, sumObject = 0, sumBackground = 0;
  std::mutex merge;
  parallelRows(height, width, [&](int y0, int y1) {
    std::uint32_t ln = 0, ls = 0, lb = 0;
    for (int y = y0; y < y1; ++y) {
      const std::uint8_t* g = gray.row(y);
      std::uint8_t* m = mask.row(y);
      for (int x = 0; x < width; ++x) {
        const std::uint8_t v = g[x];
        const bool in = low <= v && v <= high;
        m[x] = in ? value : 0;
        ln += in;
        ls += in ? v : 0;
        lb += in ? 0 : v;
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
