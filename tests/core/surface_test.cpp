#include <gtest/gtest.h>

#include "core/canvas.h"
#include "core/colour.h"
#include "core/row_writer.h"
#include "core/surface.h"

namespace opta {
namespace {

TEST(Colour, GrayLevelTruncatesEachProduct) {
  EXPECT_EQ(GrayLevel(255, 255, 255), 254);
  EXPECT_EQ(GrayLevel(10, 10, 10), 9);
  EXPECT_EQ(GrayLevel(1, 1, 1), 0);
  for (int v = 0; v < 256; v += 7)
    EXPECT_EQ(GrayLevelFast(Rgb(v, 255 - v, v / 2)), GrayLevel(v, 255 - v, v / 2));
  EXPECT_EQ(GrayLevelSingle(255, 255, 255), 255.0f);
}

TEST(Surface, ClipsWritesAndReadsZeroOutside) {
  Surface s;
  ASSERT_TRUE(s.allocate(4, 3, kBlack));
  s.set(-1, 0, kWhite);
  s.set(4, 2, kWhite);
  s.set(3, 2, 0xFF123456);
  EXPECT_EQ(s.get(3, 2), 0x123456u);
  EXPECT_EQ(s.get(4, 2), 0u);
  EXPECT_EQ(s.get(-5, -5), 0u);
  const Colour row[6] = {1, 2, 3, 4, 5, 6};
  s.putRow(-2, 1, row, 6);
  EXPECT_EQ(s.get(0, 1), 3u);
  EXPECT_EQ(s.get(3, 1), 6u);
}

TEST(Surface, LineToLeavesOutTheEndPoint) {
  Surface s;
  ASSERT_TRUE(s.allocate(10, 10, kWhite));
  s.dc().penColour = 0x7FFF;
  s.moveTo(1, 1);
  s.lineTo(5, 1);
  EXPECT_EQ(s.get(1, 1), 0x7FFFu);
  EXPECT_EQ(s.get(4, 1), 0x7FFFu);
  EXPECT_EQ(s.get(5, 1), kWhite);
}

TEST(Canvas, WritesBothSurfacesEachClippedToItself) {
  Surface window, memory;
  ASSERT_TRUE(window.allocate(8, 8, kWhite));
  ASSERT_TRUE(memory.allocate(3, 2, kWhite));
  Canvas c(window, memory);
  c.put(5, 5, 42);
  EXPECT_EQ(window.get(5, 5), 42u);
  EXPECT_EQ(memory.get(5, 5), 0u);
  c.put(2, 1, 7);
  EXPECT_EQ(memory.get(2, 1), 7u);
}

TEST(RowWriter, WritesOnlyTheAreaEachSurfaceHolds) {
  // A 6x5 interior area over a window narrower and a memory surface lower than it.
  Surface window, memory;
  ASSERT_TRUE(window.allocate(5, 8, kBlack));
  ASSERT_TRUE(memory.allocate(9, 4, kBlack));
  Canvas canvas(window, memory);
  window.takeDirty();
  memory.takeDirty();
  WriteResultRect(canvas, Rect{1, 1, 7, 6}, [](int x, int y, Colour* out, int n) {
    for (int i = 0; i < n; ++i) out[i] = Rgb(x + i, y, 7);
  });
  for (const Surface* s : {&window, &memory})
    for (int y = 0; y < s->height(); ++y)
      for (int x = 0; x < s->width(); ++x) {
        const bool inside = x >= 1 && x < 7 && y >= 1 && y < 6;
        EXPECT_EQ(s->get(x, y), inside ? Rgb(x, y, 7) : kBlack) << x << "," << y;
      }
  EXPECT_EQ(window.takeDirty(), (Rect{1, 1, 5, 6}));
  EXPECT_EQ(memory.takeDirty(), (Rect{1, 1, 7, 4}));
  // An area outside both surfaces writes nothing.
  WriteResultRect(canvas, Rect{20, 20, 30, 30}, [](int, int, Colour*, int) { FAIL(); });
}

}  // namespace
}  // namespace opta
