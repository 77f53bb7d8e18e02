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
  // A black picture with one white pixel in the middle, which erosion spreads.
  void loadWhiteDot(int size) {
    WorkingImage& img = doc().working;
    img.memory.allocate(size, size, Rgb(1, 2, 3));
    img.pixels.allocate(size, size);
    img.pixels.fill(kBlack);
    img.pixels.at(size / 2, size / 2) = kWhite;
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

  app.loadWhiteDot(11);
  app.run(kErosion, 1021, IDOK);  // the square, accepted
  EXPECT_EQ(app.ui().cursorHistory().back(), platform::CursorShape::Arrow);
  app.doc().working.memory.fill(Rgb(1, 2, 3));
  app.run(kOpening, 1018, IDCANCEL, "1");  // the horizontal element clicked, then cancelled
  EXPECT_EQ(app.shown(4, 4), kWhite);      // the square's corner; the horizontal element leaves it black
  App fresh;
  EXPECT_EQ(morph::ShapeChoice, 1018);
  EXPECT_EQ(morph::OpeningCount, 1);
}

TEST(MorphologyCommands, CountsAboveTenBecomeTenAndNoneGivesOnePass) {
  App app;
  app.loadWhiteDot(41);
  for (const char* typed : {"10", "11"}) {
    app.doc().working.memory.fill(Rgb(1, 2, 3));
    app.run(kOpening, 1020, IDOK, typed);
    EXPECT_EQ(morph::OpeningCount, 10);
    EXPECT_EQ(app.shown(20, 10), kWhite) << typed;  // a diamond of radius 10
    EXPECT_EQ(app.shown(20, 9), kBlack) << typed;
  }
  for (const char* typed : {"0", "-3", "abc"}) {
    app.run(kOpening, 1020, IDOK, typed);
    EXPECT_EQ(app.shown(20, 19), kWhite) << typed;
    EXPECT_EQ(app.shown(20, 18), kBlack) << typed;
  }
}

}  // namespace
}  // namespace opta
