#include "analysis/measure.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>

#include "core/colour.h"
#include "core/parallel.h"

namespace opta {
namespace {

// The part of width x height that the matrix really holds.
template <class T>
void ClipToMatrix(const Matrix<T>& m, int& width, int& height) {
  width = std::min(width, m.width());
  height = std::min(height, m.height());
  if (width <= 0 || height <= 0) width = height = 0;
}

// Perimeters are sums of halves; below 2^23 every partial sum is exact in
// single precision, so counting halves in integers gives the same floats as
// adding one by one. Larger totals round on the way and need the ordered sum.
constexpr std::uint64_t kExactHalves = std::uint64_t{1} << 24;

constexpr std::uint64_t kByteOnes = 0x0101010101010101ull;

// The mean-intensity gray as an integer: the three single-precision products
// (each one GrayLevelSingle of a lone channel), summed in double, rounded to
// single, clamped, truncated. The reference form calls GrayLevelSingle itself.
struct SingleGrayTables {
  float red[256], green[256], blue[256];
  SingleGrayTables() {
    for (int v = 0; v < 256; ++v) {
      red[v] = GrayLevelSingle(v, 0, 0);
      green[v] = GrayLevelSingle(0, v, 0);
      blue[v] = GrayLevelSingle(0, 0, v);
    }
  }
  std::uint32_t truncated(Colour c) const {
    float sum = static_cast<float>(static_cast<double>(red[Red(c)]) + green[Green(c)] + blue[Blue(c)]);
    sum = std::clamp(sum, 0.0f, 255.0f);
    return static_cast<std::uint32_t>(sum);
  }
};

const SingleGrayTables& SingleGray() {
  static const SingleGrayTables tables;
  return tables;
}

void AddBorderRowHalves(const std::uint8_t* row, int width, std::array<std::uint64_t, 256>& halves) {
  for (int x = 0; x < width; ++x)
    if (row[x]) halves[row[x]] += 2;
}

void AddInteriorRowHalves(const std::uint8_t* up, const std::uint8_t* cur, const std::uint8_t* dn, int width,
                          std::array<std::uint64_t, 256>& halves) {
  const std::uint8_t* rows[3] = {up, cur, dn};
  InteriorPerimeterSteps(up, cur, dn, width, [&](int x, int dy, int h) { halves[rows[dy + 1][x]] += h; });
}

}  // namespace

void ComputeAreasReference(const ByteMatrix& mask, int width, int height, AreaTable& out) {
  ClipToMatrix(mask, width, height);
  out.fill(0);
  for (int x = 0; x < width; ++x)
    for (int y = 0; y < height; ++y) ++out[mask.at(x, y)];
}

void ComputeAreas(const ByteMatrix& mask, int width, int height, AreaTable& out) {
  ClipToMatrix(mask, width, height);
  out.fill(0);
  std::mutex lock;
  parallelRows(height, width, [&](int y0, int y1) {
    // Eight equal bytes count at once (masks are mostly long runs); mixed
    // words go byte by byte into two interleaved counters.
    std::uint32_t c[2][256] = {};
    for (int y = y0; y < y1; ++y) {
      const std::uint8_t* row = mask.row(y);
      int x = 0;
      for (; x + 8 <= width; x += 8) {
        std::uint64_t word;
        std::memcpy(&word, row + x, 8);
        if (word == row[x] * kByteOnes) {
          c[0][row[x]] += 8;
          continue;
        }
        for (int k = 0; k < 8; k += 2) {
          ++c[0][row[x + k]];
          ++c[1][row[x + k + 1]];
        }
      }
      for (; x < width; ++x) ++c[0][row[x]];
    }
    std::lock_guard<std::mutex> g(lock);
    for (int v = 0; v < 256; ++v) out[v] += c[0][v] + c[1][v];
  });
}

void ComputePerimetersReference(const ByteMatrix& mask, int width, int height, PerimeterTable& out) {
  ClipToMatrix(mask, width, height);
  out.fill(0.0f);
  // Each addition in extended precision, stored back as single.
  auto add = [&](std::uint8_t label, long double amount) {
    out[label] = static_cast<float>(static_cast<long double>(out[label]) + amount);
  };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint8_t v = mask.at(x, y);
      if (y == 0 || y == height - 1) {
        if (v != 0) add(v, 1.0L);
      } else if (x == 0 || x == width - 1) {
        if (v != 0) add(v, 1.0L);
      } else {
        const std::uint8_t r = mask.at(x + 1, y);
        if (v != r) {
          add(v != 0 ? v : r, 1.0L);
        } else {
          const std::uint8_t u = mask.at(x, y - 1), d = mask.at(x, y + 1);
          if (u != d) add(v != 0 ? v : (u != 0 ? u : d), 0.5L);
        }
      }
    }
  }
}

void ComputePerimeters(const ByteMatrix& mask, int width, int height, PerimeterTable& out) {
  ClipToMatrix(mask, width, height);
  out.fill(0.0f);
  if (width == 0) return;
  std::array<std::uint64_t, 256> halves{};
  AddBorderRowHalves(mask.row(0), width, halves);
  if (height > 1) AddBorderRowHalves(mask.row(height - 1), width, halves);
  if (height > 2) {
    std::mutex lock;
    parallelRows(height - 2, width, [&](int b, int e) {
      std::array<std::uint64_t, 256> local{};
      for (int y = b + 1; y < e + 1; ++y)
        AddInteriorRowHalves(mask.row(y - 1), mask.row(y), mask.row(y + 1), width, local);
      std::lock_guard<std::mutex> g(lock);
      for (int v = 0; v < 256; ++v) halves[v] += local[v];
    });
  }
  for (int v = 0; v < 256; ++v) {
    if (halves[v] >= kExactHalves) {
      ComputePerimetersReference(mask, width, height, out);
      return;
    }
    out[v] = static_cast<float>(halves[v]) * 0.5f;
  }
}

void ComputeMeanIntensitiesReference(const PixelMatrix& pixels, const ByteMatrix& mask, int width, int height,
                                     AreaTable& areas, IntensityTable& out) {
  ClipToMatrix(mask, width, height);
  ClipToMatrix(pixels, width, height);
  std::array<std::uint32_t, 256> sum{};
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      const float gray = GrayLevelSingle(pixels.at(x, y));
      // Add, then truncate toward zero; the unsigned sum keeps its low 32 bits.
      const double total = static_cast<double>(sum[mask.at(x, y)]) + static_cast<double>(gray);
      sum[mask.at(x, y)] = static_cast<std::uint32_t>(static_cast<std::uint64_t>(total));
    }
  }
  ComputeAreasReference(mask, width, height, areas);
  for (int l = 0; l < 256; ++l) out[l] = areas[l] != 0 ? sum[l] / areas[l] : 0;
}

void ComputeMeanIntensities(const PixelMatrix& pixels, const ByteMatrix& mask, int width, int height,
                            AreaTable& areas, IntensityTable& out) {
  ClipToMatrix(mask, width, height);
  ClipToMatrix(pixels, width, height);
  // Adding an integer-valued sum and a gray in [0, 255] then truncating is the
  // sum plus the gray's integer part, so the order of pixels is free.
  std::array<std::uint64_t, 256> sum{};
  areas.fill(0);
  const SingleGrayTables& gray = SingleGray();
  std::mutex lock;
  parallelRows(height, width, [&](int y0, int y1) {
    std::array<std::uint64_t, 256> s{};
    std::array<std::uint32_t, 256> a{};
    for (int y = y0; y < y1; ++y) {
      const std::uint8_t* m = mask.row(y);
      const Colour* p = pixels.row(y);
      // Sums of a run of one label stay in registers until the label changes.
      std::uint8_t label = m[0];
      std::uint64_t runSum = 0;
      std::uint32_t runLength = 0;
      for (int x = 0; x < width; ++x) {
        if (m[x] != label) {
          s[label] += runSum;
          a[label] += runLength;
          label = m[x];
          runSum = 0;
          runLength = 0;
        }
        runSum += gray.truncated(p[x]);
        ++runLength;
      }
      s[label] += runSum;
      a[label] += runLength;
    }
    std::lock_guard<std::mutex> g(lock);
    for (int v = 0; v < 256; ++v) {
      sum[v] += s[v];
      areas[v] += a[v];
    }
  });
  for (int l = 0; l < 256; ++l) out[l] = areas[l] != 0 ? static_cast<std::uint32_t>(sum[l]) / areas[l] : 0;
}

std::uint64_t IntensitySum(const Colour* pixels, int n) {
  const SingleGrayTables& gray = SingleGray();
  std::uint64_t sum = 0;
  for (int i = 0; i < n; ++i) sum += gray.truncated(pixels[i]);
  return sum;
}

void MeasureAreas(const ByteMatrix& mask, int height, int width) {
  ComputeAreas(mask, width, height, ObjectArea);
}

void MeasurePerimeters(const ByteMatrix& mask, int width, int height) {
  ComputePerimeters(mask, width, height, ObjectPerimeter);
}

void MeasureMeanIntensities(const PixelMatrix& pixels, const ByteMatrix& mask, int width, int height) {
  ComputeMeanIntensities(pixels, mask, width, height, ObjectArea, ObjectMeanIntensity);
}

FirstPixels FindFirstPixelsReference(const ByteMatrix& mask, int width, int height) {
  ClipToMatrix(mask, width, height);
  FirstPixels f;
  f.x.fill(-1);
  f.y.fill(-1);
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      const std::uint8_t v = mask.at(x, y);
      if (f.x[v] < 0) {
        f.x[v] = x;
        f.y[v] = y;
      }
    }
  }
  return f;
}

FirstPixels FindFirstPixels(const ByteMatrix& mask, int width, int height) {
  ClipToMatrix(mask, width, height);
  // Rows ascend, so within one column the first row that reaches a label's
  // smallest x is also its smallest y: only a strictly smaller x replaces.
  std::array<int, 256> bestX, bestY;
  bestX.fill(INT_MAX);
  bestY.fill(INT_MAX);
  std::mutex lock;
  parallelRows(height, width, [&](int y0, int y1) {
    std::array<int, 256> fx, fy;
    fx.fill(INT_MAX);
    fy.fill(INT_MAX);
    for (int y = y0; y < y1; ++y) {
      const std::uint8_t* row = mask.row(y);
      int x = 0;
      // In a run of eight equal bytes only the first can be a first pixel.
      for (; x + 8 <= width; x += 8) {
        std::uint64_t word;
        std::memcpy(&word, row + x, 8);
        const int n = word == row[x] * kByteOnes ? 1 : 8;
        for (int k = 0; k < n; ++k) {
          const std::uint8_t v = row[x + k];
          if (x + k < fx[v]) {
            fx[v] = x + k;
            fy[v] = y;
          }
        }
      }
      for (; x < width; ++x) {
        const std::uint8_t v = row[x];
        if (x < fx[v]) {
          fx[v] = x;
          fy[v] = y;
        }
      }
    }
    std::lock_guard<std::mutex> g(lock);
    for (int v = 0; v < 256; ++v) {
      if (fx[v] < bestX[v] || (fx[v] == bestX[v] && fy[v] < bestY[v])) {
        bestX[v] = fx[v];
        bestY[v] = fy[v];
      }
    }
  });
  FirstPixels f;
  for (int v = 0; v < 256; ++v) {
    f.x[v] = bestX[v] == INT_MAX ? -1 : bestX[v];
    f.y[v] = bestX[v] == INT_MAX ? -1 : bestY[v];
  }
  return f;
}

}  // namespace opta
