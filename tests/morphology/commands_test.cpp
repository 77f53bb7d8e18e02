// The Shape Manipulation commands as the user meets them: dialogs 115, 120
// and 121 first, then the waiting frame, driven by the headless platform.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "morphology/commands.h"
#include "platform/headless/application.h"

namespace opta {
namespace {

using headless::Application;
using headless::DialogScript;
using platform::IDCANCEL;
using platform::IDOK;

constexpr int kErosion = 40080, kDilation = 40081, kOpening = 40087, kClosing = 40088;
constexpr int kExterior = 40197, kInterior = 40198;

struct App : Application {
  App() { start(); }
  // A black picture with one white pixel in the middle.
  void loadWhiteDot(int size) {
    WorkingImage& img = doc().working;
    img.pixels.allocate(size, size);
    img.pixels.fill(kBlack);
    img.pixels.at(size / 2, size / 2) = kWhite;
    img.memory.allocate(size, size);
    img.memory.fill(Rgb(1, 2, 3));
    img.loaded = true;
  }
  Colour shown(int x, int y) { return doc().working.memory.get(x, y); }
  std::vector<std::string> dialogsShown() {
    std::vector<std::string> names;
    for (const auto& d : ui().dialogs()) names.push_back(d.templateName);
    return names;
  }
  void shape(int id, int button = IDOK) { ui().queueDialog(DialogScript{}.click(id).click(button)); }
  void count(const std::string& text, int button = IDOK) {
    ui().queueDialog(DialogScript{}.set(1015, text).click(button));
  }
};

TEST(MorphologyCommands, DialogsFirstAndTheLastAnswerDecides) {
  App app;
  app.ui().queueDialog(DialogScript::Cancel());
  app.command(kErosion);
  EXPECT_EQ(app.dialogsShown(), std::vector<std::string>{"115"});
  EXPECT_TRUE(app.ui().messageBoxes().empty());

  // Cancel in 115 still leads to the count dialog, whose OK runs the frame.
  app.ui().clearRecords();
  app.shape(1019, IDCANCEL);
  app.count("2");
  app.command(kOpening);
  EXPECT_EQ(app.dialogsShown(), (std::vector<std::string>{"115", "120"}));
  ASSERT_EQ(app.ui().messageBoxes().size(), 1u);
  EXPECT_EQ(app.ui().messageBoxes()[0].text, "First Open a BITMAP image !!");
  EXPECT_EQ(morph::ShapeChoice, 1018);

  app.ui().clearRecords();
  app.shape(1019);
  app.count("2", IDCANCEL);
  app.command(kClosing);
  EXPECT_EQ(app.dialogsShown(), (std::vector<std::string>{"115", "121"}));
  EXPECT_TRUE(app.ui().messageBoxes().empty());
  EXPECT_EQ(morph::ShapeChoice, 1019);
  EXPECT_EQ(morph::ClosingCount, 1);
  EXPECT_TRUE(app.ui().problems().empty());
}

TEST(MorphologyCommands, EveryCommandRunsUnderTheWaitCursor) {
  App app;
  app.loadWhiteDot(9);
  for (int id : {kErosion, kDilation, kInterior, kExterior, kOpening, kClosing}) {
    app.ui().clearRecords();
    app.command(id);
    EXPECT_EQ(app.ui().cursorHistory(),
              (std::vector<platform::CursorShape>{platform::CursorShape::Wait, platform::CursorShape::Arrow}))
        << id;
  }
}

TEST(MorphologyCommands, OpeningAfterCancelUsesTheElementLastAccepted) {
  App app;
  app.loadWhiteDot(11);
  app.shape(1021);  // the square, accepted
  app.command(kErosion);
  EXPECT_EQ(app.shown(4, 4), kWhite);
  app.doc().working.memory.fill(Rgb(1, 2, 3));

  app.shape(1018, IDCANCEL);  // clicked the horizontal element, then cancelled
  app.count("1");
  app.command(kOpening);
  EXPECT_EQ(app.shown(4, 4), kWhite);  // the square's corner, not the horizontal element's black
  EXPECT_EQ(app.shown(5, 5), kWhite);
}

TEST(MorphologyCommands, CountsAboveTenBecomeTenAndNoneGivesOnePass) {
  App app;
  app.loadWhiteDot(41);
  app.shape(1020);
  app.count("10");
  app.command(kOpening);
  EXPECT_EQ(morph::OpeningCount, 10);
  EXPECT_EQ(app.shown(20, 10), kWhite);  // radius 10
  EXPECT_EQ(app.shown(20, 9), kBlack);

  app.doc().working.memory.fill(Rgb(1, 2, 3));
  app.shape(1020);
  app.count("11");
  app.command(kOpening);
  EXPECT_EQ(morph::OpeningCount, 10);
  EXPECT_EQ(app.shown(20, 10), kWhite);
  EXPECT_EQ(app.shown(20, 9), kBlack);

  for (const char* typed : {"0", "-3", "abc", ""}) {
    app.shape(1020);
    app.count(typed);
    app.command(kOpening);
    EXPECT_EQ(app.shown(20, 19), kWhite) << typed;
    EXPECT_EQ(app.shown(20, 18), kBlack) << typed;
  }
  EXPECT_EQ(morph::OpeningCount, 0);  // the empty entry reads 0, stored as typed
  app.shape(1020);
  app.count("-3");
  app.command(kOpening);
  EXPECT_EQ(morph::OpeningCount, -3);  // no lower limit on what is stored
}

TEST(MorphologyCommands, RememberedValuesStartAfresh) {
  {
    App app;
    app.shape(1021);
    app.count("7");
    app.command(kClosing);
    EXPECT_EQ(morph::ShapeChoice, 1021);
    EXPECT_EQ(morph::ClosingCount, 7);
  }
  App fresh;
  EXPECT_EQ(morph::ShapeChoice, 1018);
  EXPECT_EQ(morph::ClosingCount, 1);
  EXPECT_EQ(morph::OpeningCount, 1);
}

}  // namespace
}  // namespace opta
