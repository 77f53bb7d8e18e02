// The thread cap a process sets for its loops: a cap of 1 keeps every loop on
// the calling thread; no cap (0) or a cap above the cores uses every core.
#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "core/parallel.h"

namespace opta {
namespace {

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
