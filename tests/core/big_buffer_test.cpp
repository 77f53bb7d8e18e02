#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "core/big_buffer.h"
#include "core/matrix.h"

namespace opta {
namespace {

TEST(BigBuffer, LargeBlocksAreAlignedReusedAndRefusedWhenImpossible) {
  bigbuf::Trim();
  const std::size_t bytes = 3 * bigbuf::kHugeThreshold + 123;
  void* a = bigbuf::Allocate(bytes);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a) % bigbuf::kHugeThreshold, 0u);
  std::memset(a, 7, bytes);  // every byte of the request is ours
  bigbuf::Release(a, bytes);
  // The same size comes back from the pool; another size does not take it.
  void* other = bigbuf::Allocate(5 * bigbuf::kHugeThreshold);
  EXPECT_NE(other, a);
  void* again = bigbuf::Allocate(bytes);
  EXPECT_EQ(again, a);
  bigbuf::Release(again, bytes);
  bigbuf::Release(other, 5 * bigbuf::kHugeThreshold);
  bigbuf::Trim();

  // Small blocks are plain heap blocks.
  void* small = bigbuf::Allocate(100);
  ASSERT_NE(small, nullptr);
  bigbuf::Release(small, 100);
  // A size no machine has is refused, not thrown or aborted.
  EXPECT_EQ(bigbuf::Allocate(std::size_t{1} << 62), nullptr);
}

TEST(BigBuffer, MatricesKeepTheirStorageWhenTheyShrinkAndRefuseHugeSizes) {
  PixelMatrix m;
  ASSERT_TRUE(m.allocate(2048, 1024));
  const Colour* first = m.data();
  m.at(2047, 1023) = 5;
  ASSERT_TRUE(m.allocate(1000, 1000));
  EXPECT_EQ(m.data(), first);
  EXPECT_FALSE(m.allocate(1 << 20, 1 << 20));
  EXPECT_TRUE(m.empty());
}

}  // namespace
}  // namespace opta
