#include <gtest/gtest.h>

#include "platform/dialog.h"

namespace opta::platform {
namespace {

TEST(ReadDialogInt, WholeNumbersOnly) {
  EXPECT_EQ(ReadDialogInt("50"), 50);
  EXPECT_EQ(ReadDialogInt("-50"), -50);
  EXPECT_EQ(ReadDialogInt("  7"), 7);
  EXPECT_EQ(ReadDialogInt(""), 0);
  EXPECT_EQ(ReadDialogInt("abc"), 0);
  EXPECT_EQ(ReadDialogInt("12x"), 0);
  EXPECT_EQ(ReadDialogInt("-"), 0);
  EXPECT_EQ(ReadDialogInt("2147483647"), 2147483647);
  EXPECT_EQ(ReadDialogInt("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(ReadDialogInt("2147483648"), 0);
  EXPECT_EQ(ReadDialogInt("99999999999999999999"), 0);
}

}  // namespace
}  // namespace opta::platform
