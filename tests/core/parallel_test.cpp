#include "core/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>

namespace opta {
namespace {

// A failed allocation in any chunk reaches the caller once every thread has
// joined, instead of ending the program; the other chunks still ran.
TEST(ParallelFor, AnExceptionInAChunkReachesTheCallerAfterTheJoin) {
  constexpr int kCount = 64;
  std::atomic<int> done{0};
  EXPECT_THROW(parallelFor(
                   kCount,
                   [&](int b, int e) {
                     if (e == kCount) throw std::bad_alloc();
                     done += e - b;
                   },
                   std::int64_t{1} << 20),
               std::bad_alloc);
  EXPECT_LT(done.load(), kCount);
  std::atomic<int> all{0};
  parallelFor(
      kCount, [&](int b, int e) { all += e - b; }, std::int64_t{1} << 20);
  EXPECT_EQ(all.load(), kCount);
}

}  // namespace
}  // namespace opta
