// The filters written straight from their rules, loop for loop: the fast
// forms are tested against these.
#include <cmath>
#include <cstdint>
#include <vector>

#include "filters/kernels.h"

namespace opta::reference {
namespace {

// The rule's sort: for last from k - 1 down to 1, every earlier element
// greater than element last is exchanged with it.
template <class T>
void SortAscending(std::vector<T>& v) {
  for (int last = static_cast<int>(v.size()) - 1; last >= 1; --last)
    for (int i = 0; i < last; ++i)
      if (v[i] > v[last]) std::swap(v[i], v[last]);
}

void ConvolveMask3(Canvas& canvas, const PixelMatrix& pixels, const Mask3& mask, const unsigned* divisor) {
  for (int x = 1; x <= pixels.width() - 2; ++x)
    for (int y = 1; y <= pixels.height() - 2; ++y) {
      ChannelSums s = Convolve3(pixels, x, y, mask);
      if (divisor) {
        const std::int64_t d = *divisor;
        s.red = static_cast<int>(s.red / d);
        s.green = static_cast<int>(s.green / d);
        s.blue = static_cast<int>(s.blue / d);
      }
      canvas.put(x, y, RgbClamped(s.red, s.green, s.blue));
    }
}

// Calls visit(x, y, window) for every pixel the n x n window covers, the
// window filled dx outer, dy inner.
template <class Visit>
void ForEachWindow(const PixelMatrix& pixels, int n, Visit&& visit) {
  if (n != 3 && n != 5 && n != 7) return;
  const int h = n / 2;
  std::vector<Colour> window(static_cast<std::size_t>(n) * n);
  for (int x = h; x <= pixels.width() - h - 1; ++x)
    for (int y = h; y <= pixels.height() - h - 1; ++y) {
      int i = 0;
      for (int dx = -h; dx <= h; ++dx)
        for (int dy = -h; dy <= h; ++dy) window[i++] = pixels.at(x + dx, y + dy);
      visit(x, y, window);
    }
}

template <class Channel>
Colour PerChannel(Channel&& channel) {
  return RgbClamped(channel(Red), channel(Green), channel(Blue));
}

}  // namespace

void LowPassFilter(Canvas& canvas, const PixelMatrix& pixels, const Mask3& mask, unsigned divisor) {
  if (divisor == 0) return;  // no mask of ours has one
  ConvolveMask3(canvas, pixels, mask, &divisor);
}

void HighPassFilter(Canvas& canvas, const PixelMatrix& pixels, const Mask3& mask) {
  ConvolveMask3(canvas, pixels, mask, nullptr);
}

void GaussianFilter(Canvas& canvas, const PixelMatrix& pixels) {
  for (int x = 2; x <= pixels.width() - 3; ++x)
    for (int y = 2; y <= pixels.height() - 3; ++y) {
      int r = 0, g = 0, b = 0;
      for (int dx = -2; dx <= 2; ++dx)
        for (int dy = -2; dy <= 2; ++dy) {
          const Colour c = pixels.at(x + dx, y + dy);
          const int w = kGaussianWeights[dx + 2][dy + 2];
          r += Red(c) * w;
          g += Green(c) * w;
          b += Blue(c) * w;
        }
      const int d = static_cast<int>(kGaussianDivisor);
      canvas.put(x, y, RgbClamped(r / d, g / d, b / d));
    }
}

void MedianFilter(Canvas& canvas, const PixelMatrix& pixels, int n) {
  ForEachWindow(pixels, n, [&](int x, int y, std::vector<Colour>& w) {
    SortAscending(w);
    canvas.put(x, y, w[w.size() / 2]);
  });
}

void MaxFilter(Canvas& canvas, const PixelMatrix& pixels, int n) {
  ForEachWindow(pixels, n, [&](int x, int y, std::vector<Colour>& w) {
    SortAscending(w);
    canvas.put(x, y, w[w.size() - 1]);
  });
}

namespace {

// Each channel's k values sorted on their own; pick(sorted) gives the result.
template <class Pick>
void SortedChannels(Canvas& canvas, const PixelMatrix& pixels, int n, Pick&& pick) {
  std::vector<int> values;
  ForEachWindow(pixels, n, [&](int x, int y, std::vector<Colour>& w) {
    canvas.put(x, y, PerChannel([&](int (*part)(Colour)) {
                 values.clear();
                 for (Colour c : w) values.push_back(part(c));
                 SortAscending(values);
                 return pick(values);
               }));
  });
}

}  // namespace

void MinFilter(Canvas& canvas, const PixelMatrix& pixels, int n) {
  SortedChannels(canvas, pixels, n, [](const std::vector<int>& v) { return v[0]; });
}

void MidpointFilter(Canvas& canvas, const PixelMatrix& pixels, int n) {
  SortedChannels(canvas, pixels, n, [](const std::vector<int>& v) { return (v[0] + v[v.size() - 1]) / 2; });
}

void ArithmeticMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n) {
  ForEachWindow(pixels, n, [&](int x, int y, std::vector<Colour>& w) {
    canvas.put(x, y, PerChannel([&](int (*part)(Colour)) {
                 int sum = 0;
                 for (Colour c : w) sum += part(c);
                 return sum / static_cast<int>(w.size());
               }));
  });
}

void GeometricMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n) {
  ForEachWindow(pixels, n, [&](int x, int y, std::vector<Colour>& w) {
    canvas.put(x, y, PerChannel([&](int (*part)(Colour)) {
                 double product = 1.0;
                 for (Colour c : w) {
                   const int v = part(c);
                   product *= v == 0 ? 1 : v;
                 }
                 const int k = static_cast<int>(w.size());
                 return static_cast<int>(std::pow(product, 1.0 / k));
               }));
  });
}

void HarmonicMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n) {
  ForEachWindow(pixels, n, [&](int x, int y, std::vector<Colour>& w) {
    canvas.put(x, y, PerChannel([&](int (*part)(Colour)) {
                 double sum = 0.0;
                 for (Colour c : w) {
                   const int v = part(c);
                   sum += 1.0 / (v == 0 ? 1 : v);
                 }
                 const int k = static_cast<int>(w.size());
                 return static_cast<int>(k / sum);
               }));
  });
}

void ContraharmonicMeanFilter(Canvas& canvas, const PixelMatrix& pixels, int n, int Q) {
  const double q = Q / 10.0;
  ForEachWindow(pixels, n, [&](int x, int y, std::vector<Colour>& w) {
    canvas.put(x, y, PerChannel([&](int (*part)(Colour)) {
                 double numerator = 0.0, denominator = 0.0;
                 for (Colour c : w) {
                   const int v = part(c);
                   numerator += std::pow(v, q + 1);
                   denominator += std::pow(v, q);
                 }
                 return ContraharmonicChannel(numerator, denominator, q, [&] {
                   int most = 0;
                   for (Colour c : w) most = part(c) > most ? part(c) : most;
                   return most;
                 });
               }));
  });
}

}  // namespace opta::reference
