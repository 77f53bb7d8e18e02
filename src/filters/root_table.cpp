#include "filters/root_table.h"

#include <bit>
#include <cmath>
#include <limits>

namespace opta::filters {

RootTable::RootTable(int k) : k_(k), threshold_(257, 0.0) {
  const double e = 1.0 / k;
  auto reaches = [e](double p, int r) { return std::pow(p, e) >= r; };
  for (int r = 1; r <= 255; ++r) {
    // Bisect over the ordered bit patterns of positive doubles.
    const double guess = std::pow(static_cast<double>(r), static_cast<double>(k));
    double lo = guess * (1 - 1e-9), hi = guess * (1 + 1e-9);
    while (reaches(lo, r)) lo *= 1 - 1e-9;
    while (!reaches(hi, r)) hi *= 1 + 1e-9;
    std::uint64_t a = std::bit_cast<std::uint64_t>(lo), b = std::bit_cast<std::uint64_t>(hi);
    while (b - a > 1) {
      const std::uint64_t mid = a + (b - a) / 2;
      (reaches(std::bit_cast<double>(mid), r) ? b : a) = mid;
    }
    threshold_[r] = std::bit_cast<double>(b);
  }
  threshold_[256] = std::numeric_limits<double>::infinity();

  auto KeyOf = [](double p) { return std::bit_cast<std::uint64_t>(p) >> kDropBits; };
  firstKey_ = KeyOf(1.0);
  const std::uint64_t lastKey = KeyOf(threshold_[255]) + 1;
  buckets_ = lastKey - firstKey_ + 1;
  bucket_.assign(buckets_ + 3, 0);
  exact_ = true;
  int r = 1;
  for (std::uint64_t key = firstKey_; key <= lastKey; ++key) {
    const double low = std::bit_cast<double>(key << kDropBits);
    const double high = std::bit_cast<double>(((key + 1) << kDropBits) - 1);
    while (r < 255 && threshold_[r + 1] <= low) ++r;
    bucket_[key - firstKey_] = static_cast<std::uint8_t>(r);
    if (r + 2 <= 256 && threshold_[r + 2] <= high) exact_ = false;
  }
}

int RootTable::slowRoot(double p) const {
  const double v = std::pow(p, 1.0 / k_);
  if (!(v >= 0)) return 0;
  return v >= 255 ? 255 : static_cast<int>(v);
}

const RootTable& RootTableFor(int k) {
  if (k == 9) {
    static const RootTable t(9);
    return t;
  }
  if (k == 25) {
    static const RootTable t(25);
    return t;
  }
  static const RootTable t(49);
  return t;
}

}  // namespace opta::filters
