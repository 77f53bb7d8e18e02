#include <gtest/gtest.h>

#include "address_space_cap.h"
#include "core/big_buffer.h"

namespace opta {
namespace {

// A block kept for reuse is given back when a new one would not fit beside it.
TEST(BigBufferLowMemory, KeptBlocksGoWhenTheAddressSpaceRunsShort) {
  if (!testing::kCanCapAddressSpace)
    GTEST_SKIP() << "the address sanitizer reserves terabytes of address space";
  bigbuf::Trim();
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  void* kept = bigbuf::Allocate(64 * kMiB);
  ASSERT_NE(kept, nullptr);
  bigbuf::Release(kept, 64 * kMiB);
  // 48 MiB of room: 96 MiB fits only once the kept 64 MiB is gone.
  EXPECT_EQ(testing::RunCapped(48 * kMiB, [] { return bigbuf::Allocate(96 * kMiB) ? 0 : 1; }), 0);
  bigbuf::Trim();
}

}  // namespace
}  // namespace opta
