#include <gtest/gtest.h>

#include "platform/headless/application.h"

namespace opta {
namespace {

using headless::Application;

// A started program with a 4 x 3 working image of distinct colours.
struct Program {
  Application app{headless::AppOptions{Size{800, 600}, Size{300, 200}, {}}};
  Program() { app.start(); }
  void loadPicture(int w, int h) {
    WorkingImage& img = app.doc().working;
    ASSERT_TRUE(img.memory.allocate(w, h));
    ASSERT_TRUE(img.pixels.allocate(w, h));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) img.memory.set(x, y, img.pixels.at(x, y) = Rgb(x, y, 200));
    img.loaded = true;
  }
};

TEST(GeometryCommands, OnlyRotate90SpeaksWithoutAnImage) {
  Program p;
  p.app.command(40034);
  ASSERT_EQ(p.app.ui().messageBoxes().size(), 1u);
  EXPECT_EQ(p.app.ui().messageBoxes()[0].text, "First Open a BITMAP image !!");
  EXPECT_EQ(p.app.ui().messageBoxes()[0].caption, "BOPTA");
  for (int id : {40035, 40036, 40037, 40038, 40073, 40075, 40039, 40040, 40041, 40042, 40043, 40044, 40045,
                 40047, 40048})
    p.app.command(id);
  EXPECT_EQ(p.app.ui().messageBoxes().size(), 1u);
}

TEST(GeometryCommands, ToolbarRotateDrawsTheQuarterTurnUnderTheWaitCursor) {
  Program p;
  p.loadPicture(4, 3);
  p.app.command(50185);  // the toolbar's "Rotate Image Right Side"
  EXPECT_TRUE(p.app.ui().messageBoxes().empty());
  // Result (X, Y) = P[w-1-Y][X]: window shows 3 x 4, memory keeps its 4 x 3 size.
  EXPECT_EQ(p.app.windowSurface().get(0, 0), Rgb(3, 0, 200));
  EXPECT_EQ(p.app.windowSurface().get(2, 3), Rgb(0, 2, 200));
  EXPECT_EQ(p.app.windowSurface().get(3, 0), kWhite);
  EXPECT_EQ(p.app.doc().working.memory.get(3, 0), Rgb(3, 0, 200));  // outside the result: unchanged
  const auto& cursors = p.app.ui().cursorHistory();
  ASSERT_GE(cursors.size(), 2u);
  EXPECT_EQ(cursors[cursors.size() - 2], platform::CursorShape::Wait);
  EXPECT_EQ(cursors.back(), platform::CursorShape::Arrow);
}

TEST(GeometryCommands, ShrinkWhitensTheScreenAndNormalSizeRestores) {
  Program p;
  p.loadPicture(8, 6);
  p.app.command(40044);
  EXPECT_EQ(p.app.windowSurface().get(5, 1), kWhite);
  EXPECT_EQ(p.app.windowSurface().get(1, 1), Rgb(2, 2, 200));
  p.app.command(40041);
  EXPECT_EQ(p.app.windowSurface().get(5, 1), Rgb(5, 1, 200));
  EXPECT_EQ(p.app.doc().working.memory.get(1, 1), Rgb(1, 1, 200));
}

TEST(GeometryCommands, NormalSizeAfterA400PercentZoomLeavesNoZoomedPixels) {
  Program p;
  p.loadPicture(8, 6);
  p.app.command(40040);  // 32 x 24 on the window
  EXPECT_EQ(p.app.windowSurface().get(30, 22), Rgb(7, 5, 200));
  p.app.command(40041);
  // Normal Size whitens four times the picture, so the zoom's far corner goes too.
  EXPECT_EQ(p.app.windowSurface().get(30, 22), kWhite);
  EXPECT_EQ(p.app.windowSurface().get(20, 3), kWhite);
  EXPECT_EQ(p.app.windowSurface().get(7, 5), Rgb(7, 5, 200));
}

}  // namespace
}  // namespace opta
