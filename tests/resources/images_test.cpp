#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "resources/images.h"

namespace opta::resources {
namespace {

// Clear pixels carry the key colour and nothing else does.
void ExpectKeyMatchesAlpha(const Surface& s, const ByteMatrix& a) {
  ASSERT_EQ(s.width(), a.width());
  ASSERT_EQ(s.height(), a.height());
  int clear = 0, opaque = 0;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) {
      ASSERT_EQ(s.get(x, y) == kImageKey, a.at(x, y) == 0) << x << "," << y;
      clear += a.at(x, y) == 0;
      opaque += a.at(x, y) == 255;
    }
  EXPECT_GT(clear, 0);
  EXPECT_GT(opaque, 0);
}

TEST(Images, SizesAndTransparency) {
  const Surface large = largeToolbarStrip();
  EXPECT_EQ(large.size(), (Size{448, 32}));
  ExpectKeyMatchesAlpha(large, largeToolbarAlpha());
  const Surface small = smallToolbarStrip();
  EXPECT_EQ(small.size(), (Size{224, 16}));
  ExpectKeyMatchesAlpha(small, smallToolbarAlpha());
  for (int size : {32, 16}) {
    const Surface icon = appIcon(size);
    EXPECT_EQ(icon.size(), (Size{size, size}));
    ExpectKeyMatchesAlpha(icon, appIconAlpha(size));
  }
  EXPECT_TRUE(appIcon(0).empty());
  EXPECT_TRUE(appIcon(-5).empty());
  EXPECT_TRUE(appIconAlpha(100000).empty());

  const Surface about = aboutPicture();
  EXPECT_EQ(about.size(), (Size{kAboutWidth, kAboutHeight}));
  std::set<Colour> colours;
  for (int y = 0; y < about.height(); y += 7)
    for (int x = 0; x < about.width(); x += 7) colours.insert(about.get(x, y));
  EXPECT_GT(colours.size(), 200u);  // a picture, not a flat fill
}

// Every image fills a fair part of its own slot and no two slots look alike.
TEST(Images, EachSlotHoldsADistinctPicture) {
  for (int size : {32, 16}) {
    const ByteMatrix a = size == 32 ? largeToolbarAlpha() : smallToolbarAlpha();
    const Surface s = size == 32 ? largeToolbarStrip() : smallToolbarStrip();
    std::set<std::uint64_t> signatures;
    for (int i = 0; i < kToolbarImages; ++i) {
      int covered = 0;
      std::uint64_t sig = 1469598103934665603ull;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
          covered += a.at(i * size + x, y) > 127;
          sig = (sig ^ s.get(i * size + x, y)) * 1099511628211ull;
        }
      EXPECT_GT(covered, size * size / 6) << size << " slot " << i;
      signatures.insert(sig);
    }
    EXPECT_EQ(signatures.size(), static_cast<std::size_t>(kToolbarImages));
  }
}

// The small strip shows the large pictures in the small table's order: each
// small image, compared over grey, is closest to the large one of the same command.
TEST(Images, SmallStripFollowsTheSmallTableOrder) {
  const Surface largeColour = largeToolbarStrip();
  const ByteMatrix largeAlpha = largeToolbarAlpha();
  const Surface smallColour = smallToolbarStrip();
  const ByteMatrix smallAlpha = smallToolbarAlpha();
  // One channel of a pixel composited over mid grey.
  auto over = [](const Surface& s, const ByteMatrix& a, int x, int y, int shift) {
    const int c = static_cast<int>((s.get(x, y) >> shift) & 0xFF);
    return (c * a.at(x, y) + 128 * (255 - a.at(x, y))) / 255;
  };
  const int expected[kToolbarImages] = {0, 2, 3, 13, 4, 5, 1, 6, 7, 8, 9, 10, 11, 12};
  for (int i = 0; i < kToolbarImages; ++i) {
    int best = -1;
    long bestDiff = 0;
    for (int j = 0; j < kToolbarImages; ++j) {
      long diff = 0;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
          for (int shift : {0, 8, 16}) {
            int sum = 0;
            for (int k = 0; k < 4; ++k)
              sum += over(largeColour, largeAlpha, j * 32 + 2 * x + k % 2, 2 * y + k / 2, shift);
            diff += std::abs(sum / 4 - over(smallColour, smallAlpha, i * 16 + x, y, shift));
          }
      if (best < 0 || diff < bestDiff) best = j, bestDiff = diff;
    }
    EXPECT_EQ(best, expected[i]) << "small image " << i;
  }
}

}  // namespace
}  // namespace opta::resources
