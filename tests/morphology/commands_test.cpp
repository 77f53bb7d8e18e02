// The Shape Manipulation commands through the shell: dialogs 115, 120 and
// 121 first, then the waiting frame.
#include <gtest/gtest.h>

#include <string>

#include "morphology/commands.h"
#include "platform/headless/application.h"

namespace opta {
namespace {

using platform::IDCANCEL;
using platform::IDOK;

constexpr int kErosion = 40080, kOpening = 40087, kClosing = 40088;

struct App : headless::Application {
  App() { start(); }
  // An 11 x 11 black picture with one white pixel in the middle, which erosion spreads.
  void loadWhiteDot() {
    WorkingImage& img = doc().working;
    img.memory.allocate(11, 11, Rgb(1, 2, 3));
    img.pixels.allocate(11, 11);
    img.pixels.fill(kBlack);
    img.pixels.at(5, 5) = kWhite;
    img.loaded = true;
  }
  Colour shown(int x, int y) { return doc().working.memory.get(x, y); }
  void run(int id, int shape, int shapeButton, const std::string& count = "", int countButton = IDOK) {
    ui().queueDialog(headless::DialogScript{}.click(shape).click(shapeButton));
    if (id != kErosion) ui().queueDialog(headless::DialogScript{}.set(1015, count).click(countButton));
    command(id);
  }
};

TEST(MorphologyCommands, CancelInTheElementDialogStillAsksForTheCount) {
  App app;
  app.run(kErosion, 1019, IDCANCEL);
  EXPECT_TRUE(app.ui().messageBoxes().empty());
  app.run(kOpening, 1019, IDCANCEL, "2");  // the count's OK runs the frame
  EXPECT_EQ(app.ui().dialogs().back().templateName, "120");
  ASSERT_EQ(app.ui().messageBoxes().size(), 1u);
  app.run(kClosing, 1019, IDOK, "7", IDCANCEL);
  EXPECT_EQ(app.ui().dialogs().back().templateName, "121");
  EXPECT_EQ(app.ui().messageBoxes().size(), 1u);
  EXPECT_EQ(morph::ShapeChoice, 1019);
  EXPECT_EQ(morph::ClosingCount, 1);

  app.loadWhiteDot();
  app.run(kErosion, 1021, IDOK);  // the square, accepted
  EXPECT_EQ(app.ui().cursorHistory().back(), platform::CursorShape::Arrow);
  app.doc().working.memory.fill(Rgb(1, 2, 3));
  app.run(kOpening, 1018, IDCANCEL, "1");  // the horizontal element clicked, then cancelled
  EXPECT_EQ(app.shown(4, 4), kWhite);      // the square's corner; the horizontal element leaves it black
  App fresh;
  EXPECT_EQ(morph::ShapeChoice, 1018);
  EXPECT_EQ(morph::OpeningCount, 1);
}

}  // namespace
}  // namespace opta
