// The pieces the fast filters stand on: the compare-exchange networks, the
// multiply-high dividers and the table that replaces pow in the geometric mean.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>
#include <vector>

#include "core/cpu.h"
#include "filters/divider.h"
#include "filters/network.h"
#include "filters/root_table.h"
#include "filters/rows.h"

namespace opta::filters {
namespace {

// Runs a lowered network on plain numbers.
template <const auto& P>
std::vector<int> Run(const std::vector<int>& in) {
  std::vector<int> slot(P.kSlots);
  for (int i = 0; i < P.kInputs; ++i) slot[i] = in[i];
  for (const net::Op& op : P.ops)
    slot[op.dst] = op.max ? std::max(slot[op.a], slot[op.b]) : std::min(slot[op.a], slot[op.b]);
  std::vector<int> out;
  for (auto o : P.outputs) out.push_back(slot[o]);
  return out;
}

template <int N>
void ExpectSortsEveryZeroOneInput() {
  constexpr auto& kSort = net::kProgram<net::Sort(N)>;
  for (int bits = 0; bits < (1 << N); ++bits) {  // enough for any sorting network
    std::vector<int> in;
    for (int i = 0; i < N; ++i) in.push_back((bits >> i) & 1);
    std::vector<int> want = in;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(Run<kSort>(in), want) << N << " " << bits;
  }
}

// Merging sorted lists of A and B and keeping ranks First .. First+Count-1,
// on random sorted lists full of ties.
template <int A, int B, int First, int Count>
void ExpectMerges(std::mt19937& rng) {
  constexpr auto& kMerge = net::kProgram<net::Merge(A, B, First, Count)>;
  for (int round = 0; round < 2000; ++round) {
    std::vector<int> a(A), b(B);
    for (int& v : a) v = static_cast<int>(rng() % 6);
    for (int& v : b) v = static_cast<int>(rng() % 6);
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    std::vector<int> in = a, all = a;
    in.insert(in.end(), b.begin(), b.end());
    all.insert(all.end(), b.begin(), b.end());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(Run<kMerge>(in), std::vector<int>(all.begin() + First, all.begin() + First + Count));
  }
}

TEST(FilterNetworks, SortAndMergeAndPrune) {
  ExpectSortsEveryZeroOneInput<3>();
  ExpectSortsEveryZeroOneInput<5>();
  ExpectSortsEveryZeroOneInput<7>();
  std::mt19937 rng(5);
  ExpectMerges<7, 7, 0, 14>(rng);
  ExpectMerges<14, 7, 0, 21>(rng);
  ExpectMerges<21, 21, 17, 8>(rng);
  ExpectMerges<8, 7, 7, 1>(rng);
  ExpectMerges<10, 10, 7, 6>(rng);
  ExpectMerges<3, 3, 1, 4>(rng);
}

TEST(FilterNetworks, MedianBandsKeepOnlyRanksThatCanBeTheMedian) {
  // Of 42 values of a 49-value window, ranks 17 .. 24 can still be its 25th.
  EXPECT_EQ(net::MedianBand(42, 49).first, 17);
  EXPECT_EQ(net::MedianBand(42, 49).count, 8);
  EXPECT_EQ(net::MedianBand(14, 49).count, 14);  // small subsets keep everything
  EXPECT_EQ(net::MedianBand(6, 9).first, 1);
  EXPECT_EQ(net::MedianBand(6, 9).count, 4);
  // Six of those eight with 17 below, merged with a column of seven: rank 7.
  const net::StageSpec last = net::MedianMerge(42, net::MedianBand(42, 49), 7, net::MedianBand(7, 49), 49);
  EXPECT_EQ(last.first, 7);
  EXPECT_EQ(last.count, 1);
}

// The search checks only both sides of each multiple; every sum is checked here.
TEST(FilterDividers, AgreeWithDivisionOnEverySum) {
  for (unsigned d : {6u, 9u, 10u, 16u, 32u, 25u, 49u, 249u}) {
    const auto div = FindDivider(d, d * 255);
    ASSERT_TRUE(div) << d;
    for (unsigned v = 0; v <= d * 255; ++v) ASSERT_EQ(div->apply(v), v / d) << d << " " << v;
  }
  EXPECT_EQ(FindDivider(249, 249 * 255)->steps, 2);  // by 3, then by 83
  EXPECT_EQ(FindDivider(1, 1000)->apply(777), 777u);
  EXPECT_FALSE(FindDivider(7, 70000));  // beyond 16 bits
  EXPECT_FALSE(FindDivider(0, 10));
}

double Step(double p, int ulps) {
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(p) + static_cast<std::int64_t>(ulps));
}

int PowRoot(double p, int k) {
  const double v = std::pow(p, 1.0 / k);
  return v >= 255 ? 255 : static_cast<int>(v);
}

// The proof that the table gives pow's own truncated root. Each threshold
// T[r] is the smallest double whose pow root reaches r. Walking every double
// within W = 2048 ulps of it shows pow's answer switches sides exactly there.
// Farther away P differs from T[r] by W ulps or more, so the true root
// differs from r by at least W / k ulps of P relative, over 20 ulps of the
// root, while pow errs by less than one: pow cannot come back across. Between thresholds the table's buckets
// hold at most one threshold each, which the constructor checks.
TEST(FilterRootTable, AgreesWithPowAroundEveryThresholdAndEverywhereElse) {
  constexpr int kW = 2048;
  std::mt19937_64 rng(9);
  for (int k : {9, 25, 49}) {
    const RootTable& t = RootTableFor(k);
    ASSERT_TRUE(t.bucketsExact()) << k;
    std::vector<double> walk;
    std::vector<int> want;
    for (int r = 1; r <= 255; ++r) {
      const double at = t.threshold(r);
      for (int u = -kW; u <= kW; ++u) {
        const double p = Step(at, u);
        const double root = std::pow(p, 1.0 / k);
        ASSERT_EQ(root >= r, u >= 0) << "k " << k << " r " << r << " step " << u;
        walk.push_back(p);
        want.push_back(PowRoot(p, k));
      }
    }
    // The table, in every processor's lanes.
    for (cpu::Level level : {cpu::Level::Baseline, cpu::Level::Avx2, cpu::Level::Avx512}) {
      cpu::CapForTest cap(level);
      std::vector<int> got(walk.size());
      RowKernelsForThisCpu().roots(t, walk.data(), static_cast<int>(walk.size()), got.data());
      for (std::size_t i = 0; i < walk.size(); ++i)
        ASSERT_EQ(got[i], want[i]) << "k " << k << " p " << walk[i] << " level " << static_cast<int>(level);
    }
    // Products anywhere from 1 to past the top value.
    const double top = std::log2(255.0) * k + 1;
    for (int i = 0; i < 200000; ++i) {
      const double p = std::exp2(std::uniform_real_distribution<double>(0, top)(rng));
      ASSERT_EQ(t.root(p), PowRoot(p, k)) << "k " << k << " p " << p;
    }
  }
}

}  // namespace
}  // namespace opta::filters
