// Loops over rows: a failure in a chunk reaches the caller after the join,
// and the thread cap a process sets (1 keeps every loop on the calling
// thread; 0 or a cap above the cores uses every core).
#include "core/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <new>
#include <vector>

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

std::vector<std::pair<int, int>> Chunks(int count) {
  std::mutex lock;
  std::vector<std::pair<int, int>> chunks;
  parallelFor(count, [&](int b, int e) {
    std::lock_guard<std::mutex> g(lock);
    chunks.emplace_back(b, e);
  });
  return chunks;
}

TEST(ThreadCap, OneKeepsLoopsOnTheCallingThread) {
  threadCap = 1;
  EXPECT_EQ(usableThreads(), 1);
  EXPECT_EQ(Chunks(1 << 20), (std::vector<std::pair<int, int>>{{0, 1 << 20}}));
  threadCap = 0;
  EXPECT_EQ(usableThreads(), hardwareThreads());
  threadCap = hardwareThreads() + 5;
  EXPECT_EQ(usableThreads(), hardwareThreads());
  threadCap = 0;
  if (hardwareThreads() > 1) {
    EXPECT_EQ(static_cast<int>(Chunks(1 << 20).size()), hardwareThreads());
  }
}

}  // namespace
}  // namespace opta
