#pragma once
// The geometric mean's last step, trunc(pow(P, 1.0 / k)) for a product P of
// k channel values, without calling pow per pixel: P is compared with the
// smallest double whose root reaches each whole number, found once with pow
// itself. A table indexed by P's exponent and top mantissa bits names the
// one threshold P can lie near, so a root costs two lookups.
#include <bit>
#include <cstdint>
#include <vector>

namespace opta::filters {

class RootTable {
 public:
  explicit RootTable(int k);

  // A bucket spans 2^-6 of p relative, so at most 2^-6 / k of the root: far
  // less than the distance of 1 between two thresholds.
  static constexpr int kDropBits = 52 - 6;

  // trunc(pow(p, 1.0 / k)) limited to 0..255, bit for bit as pow gives it.
  int root(double p) const {
    const std::uint64_t i = (std::bit_cast<std::uint64_t>(p) >> kDropBits) - firstKey_;  // p < 1 wraps
    if (!exact_ || i >= buckets_) return slowRoot(p);
    const int r = bucket_[i];
    return p >= threshold_[r + 1] ? r + 1 : r;
  }

  // For vector lanes doing root() themselves: bucket i of a double is its
  // bits >> kDropBits less firstKey(), below bucketCount(); the buckets are
  // bytes, readable four at a time at any index (three bytes of padding).
  const std::uint8_t* bucketBytes() const { return bucket_.data(); }
  std::uint64_t firstKey() const { return firstKey_; }
  std::uint64_t bucketCount() const { return exact_ ? buckets_ : 0; }
  const double* thresholds() const { return threshold_.data(); }
  // The smallest double whose pow(., 1.0 / k) is r or more (r = 1..255).
  double threshold(int r) const { return threshold_[r]; }
  // Whether every bucket holds at most one threshold (else root() asks pow).
  bool bucketsExact() const { return exact_; }
  int k() const { return k_; }

 private:
  int slowRoot(double p) const;

  int k_;
  std::vector<double> threshold_;     // [0..256]; [256] is infinity
  std::vector<std::uint8_t> bucket_;  // the root at each bucket's smallest double
  std::uint64_t firstKey_ = 0, buckets_ = 0;
  bool exact_ = false;
};

// k = 9, 25 or 49: each table is built on first use and kept.
const RootTable& RootTableFor(int k);

}  // namespace opta::filters
