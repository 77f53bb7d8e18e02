// The gray level's truncated products three ways: the double-precision rule,
// its tables, and the multiply-and-shift factors vector forms use.
#include <gtest/gtest.h>

#include "core/colour.h"

namespace opta {
namespace {

TEST(GrayFactors, EqualTheTruncatedProductsForEveryChannelValue) {
  const GrayTables& t = grayTables();
  for (std::uint32_t v = 0; v < 256; ++v) {
    EXPECT_EQ(static_cast<int>(v * kGrayRedFactor >> 16), static_cast<int>(v * 0.3)) << v;
    EXPECT_EQ(static_cast<int>(v * kGrayGreenFactor >> 16), static_cast<int>(v * 0.59)) << v;
    EXPECT_EQ(static_cast<int>(v * kGrayBlueFactor >> 16), static_cast<int>(v * 0.11)) << v;
    EXPECT_EQ(t.red[v], static_cast<int>(v * 0.3));
  }
  // Where the products sit closest to a whole number: 10 * 0.3 is 3 and 100 * 0.11 is 11.
  EXPECT_EQ(GrayLevel(10, 0, 0), 3);
  EXPECT_EQ(GrayLevel(0, 0, 100), 11);
  EXPECT_EQ(GrayLevel(0, 100, 0), 59);
  EXPECT_EQ(GrayLevel(255, 255, 255), 254);
}

}  // namespace
}  // namespace opta
