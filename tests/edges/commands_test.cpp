// The edge detection commands as the user meets them, through the shell's
// frames and dialog 116, driven by the headless platform.
#include <gtest/gtest.h>

#include <vector>

#include "edges/commands.h"
#include "platform/headless/application.h"

namespace opta {
namespace {

using headless::Application;
using headless::DialogScript;
using platform::CursorShape;

constexpr int kHomogenity = 40018, kDifference = 40019, kVariance = 40020;
constexpr int kQuick = 40027, kKirsch = 40029, kPrewitt = 40030, kGeometric = 40083;

struct App : Application {
  App() : Application(headless::AppOptions{Size{300, 200}, Size{320, 240}, {}}) { start(); }
  void load(int w, int h, Colour c) {
    WorkingImage& img = doc().working;
    img.pixels.allocate(w, h);
    img.pixels.fill(c);
    img.memory.allocate(w, h);
    img.memory.fill(c);
    img.loaded = true;
  }
  Colour shown(int x, int y) { return doc().working.memory.get(x, y); }
};

TEST(EdgesCommands, WithoutAnImageTheMessageComesAfterAnyDialog) {
  App app;
  for (int id : {kHomogenity, kDifference, kVariance, kQuick, kKirsch, kPrewitt}) {
    app.ui().clearRecords();
    app.command(id);
    ASSERT_EQ(app.ui().messageBoxes().size(), 1u) << id;
    EXPECT_EQ(app.ui().messageBoxes()[0].text, "First Open a BITMAP image !!");
    EXPECT_EQ(app.ui().messageBoxes()[0].caption, "BOPTA");
  }
  app.ui().clearRecords();
  app.ui().queueDialog(DialogScript::Cancel());
  app.command(kGeometric);
  ASSERT_EQ(app.ui().dialogs().size(), 1u);
  EXPECT_EQ(app.ui().dialogs()[0].templateName, "116");
  EXPECT_TRUE(app.ui().messageBoxes().empty());
  app.command(kGeometric);  // OK as it opens
  EXPECT_EQ(app.ui().messageBoxes().size(), 1u);
  EXPECT_TRUE(app.ui().problems().empty());
}

TEST(EdgesCommands, WaitCursorOnlyForTheLastFour) {
  App app;
  app.load(6, 5, Rgb(9, 99, 199));
  for (int id : {kHomogenity, kDifference, kVariance}) app.command(id);
  EXPECT_TRUE(app.ui().cursorHistory().empty());
  for (int id : {kQuick, kKirsch, kPrewitt, kGeometric}) {
    app.ui().clearRecords();
    app.command(id);
    EXPECT_EQ(app.ui().cursorHistory(), (std::vector<CursorShape>{CursorShape::Wait, CursorShape::Arrow}))
        << id;
  }
}

TEST(EdgesCommands, WindowWhiteOverTheScreenAndTheSourceUntouched) {
  App app;
  app.load(6, 5, Rgb(9, 99, 199));
  app.windowSurface().fillRect(0, 0, 320, 240, Rgb(1, 2, 3));
  app.command(kVariance);
  EXPECT_EQ(app.shown(2, 2), kBlack);
  EXPECT_EQ(app.shown(0, 0), Rgb(9, 99, 199));  // the border keeps the picture
  EXPECT_EQ(app.windowSurface().get(2, 2), kBlack);
  EXPECT_EQ(app.windowSurface().get(0, 0), kWhite);
  EXPECT_EQ(app.windowSurface().get(299, 199), kWhite);
  EXPECT_EQ(app.windowSurface().get(300, 0), Rgb(1, 2, 3));  // beyond the screen
  EXPECT_EQ(app.doc().working.pixels.at(2, 2), Rgb(9, 99, 199));
}

TEST(EdgesCommands, GeometricChoiceIsRememberedUntilTheProgramStarts) {
  {
    App app;
    app.load(6, 5, kBlack);
    EXPECT_EQ(edges::GeometricChoice, 1012);
    app.ui().queueDialog(DialogScript{}.click(1010).click(platform::IDOK));
    app.command(kGeometric);
    EXPECT_EQ(app.ui().dialogs().back().checked.at(1010), true);
    EXPECT_EQ(edges::GeometricChoice, 1010);
    EXPECT_EQ(app.shown(2, 2), kWhite);  // a flat picture under any mask

    // Cancel keeps the choice and draws nothing.
    app.doc().working.memory.fill(Rgb(5, 5, 5));
    app.ui().queueDialog(DialogScript{}.click(1013).click(platform::IDCANCEL));
    app.command(kGeometric);
    EXPECT_EQ(edges::GeometricChoice, 1010);
    EXPECT_EQ(app.shown(2, 2), Rgb(5, 5, 5));

    app.command(kGeometric);  // opens with the remembered choice checked
    EXPECT_TRUE(app.ui().dialogs().back().checked.at(1010));
    EXPECT_FALSE(app.ui().dialogs().back().checked.at(1012));
  }
  App fresh;
  EXPECT_EQ(edges::GeometricChoice, 1012);
}

}  // namespace
}  // namespace opta
