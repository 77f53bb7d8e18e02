// The point-operation commands as the user meets them: through the shell's
// frames and the real dialog templates, driven by the headless platform.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/application.h"
#include "pointops/dialogs.h"
#include "shell/shell_fixture.h"

namespace opta {
namespace {

using headless::Application;
using headless::DialogScript;
using pointops::kSliceInputCaption;
using pointops::kSliceInputMessage;
using pointops::remembered;

constexpr int kInvert = 40009, kGrayScale = 40023, kBrightness = 40094, kDarkness = 40095;
constexpr int kFalseColour1 = 40070, kFalseColour3 = 40072;
constexpr int kStatic = 40120, kIncremental = 40170, kImageSlicing = 40203, kSlicing2 = 40204;
constexpr int kColourSlicing = 40205, kObjectColour = 40206;

struct App : Application {
  App() { start(); }

  void load(int w, int h, Colour c) { testing::ShellFixture::LoadImage(doc().working, w, h, c); }
  Colour shown(int x = 0, int y = 0) { return doc().working.memory.get(x, y); }
  const std::vector<headless::MessageBoxRecord>& boxes() { return ui().messageBoxes(); }
  const std::vector<headless::DialogRecord>& dialogs() { return ui().dialogs(); }
};

DialogScript Ranges(std::vector<std::pair<int, std::string>> boxes) {
  DialogScript s;
  for (auto& [id, text] : boxes) s.set(id, text);
  return s.click(platform::IDOK);
}

// The static slicing dialog with 50-100, 120-160, 200-240 in red, green, blue.
DialogScript PrimarySlices() {
  return Ranges({{1026, "50"},
                 {1027, "100"},
                 {1028, "120"},
                 {1029, "160"},
                 {1037, "200"},
                 {1036, "240"},
                 {1015, "255"},
                 {1016, "0"},
                 {1017, "0"},
                 {1030, "0"},
                 {1031, "255"},
                 {1032, "0"},
                 {1035, "0"},
                 {1034, "0"},
                 {1033, "255"}});
}

DialogScript Box(int templateBlueLo, int templateBlueHi, int greenHi) {
  return DialogScript{}
      .set(1015, "0")
      .set(1016, "100")
      .set(1017, "0")
      .set(greenHi, "100")
      .set(templateBlueLo, "0")
      .set(templateBlueHi, "100");
}

TEST(PointOpsCommands, WithoutAnImageEachFrameSpeaksOrStaysSilent) {
  App app;
  for (int id : {kInvert, 40021, 40022, kGrayScale, 40167, 40168, 40169, kFalseColour1, 40071}) {
    app.ui().clearRecords();
    app.command(id);
    ASSERT_EQ(app.boxes().size(), 1u) << id;
    EXPECT_EQ(app.boxes()[0].text, "First Open a BITMAP image !!");
    EXPECT_EQ(app.boxes()[0].caption, "BOPTA");
    EXPECT_EQ(app.boxes()[0].flags, platform::MB_ICONEXCLAMATION);
  }
  app.ui().clearRecords();
  app.command(kFalseColour3);
  EXPECT_TRUE(app.boxes().empty());

  // Dialog first: the message comes only after OK, and not at all after Cancel.
  app.ui().clearRecords();
  app.ui().queueDialog(DialogScript::Cancel());
  app.command(kDarkness);
  ASSERT_EQ(app.dialogs().size(), 1u);
  EXPECT_EQ(app.dialogs()[0].templateName, "122");
  EXPECT_TRUE(app.boxes().empty());
  app.command(kBrightness);
  EXPECT_EQ(app.dialogs().back().templateName, "118");
  ASSERT_EQ(app.boxes().size(), 1u);
  EXPECT_EQ(app.boxes()[0].text, "First Open a BITMAP image !!");

  app.ui().clearRecords();
  app.ui().queueDialog(PrimarySlices());
  app.command(kStatic);
  EXPECT_EQ(app.boxes().size(), 1u);
  app.ui().queueDialog(Box(1051, 1052, 1050).click(platform::IDOK));
  app.command(kColourSlicing);
  EXPECT_EQ(app.dialogs().back().templateName, "189");
  EXPECT_EQ(app.boxes().size(), 1u);  // Color Slicing stays silent
  EXPECT_TRUE(app.ui().problems().empty());
}

TEST(PointOpsCommands, AmountsComeFromTheComboBoxes) {
  App app;
  EXPECT_EQ(remembered().brightness, 1);
  EXPECT_EQ(remembered().darkness, 1);
  app.load(3, 2, Rgb(100, 150, 200));
  app.ui().queueDialog(DialogScript{}.set(1024, "50").click(platform::IDOK));
  app.command(kBrightness);
  EXPECT_EQ(app.shown(2, 1), Rgb(150, 200, 250));
  EXPECT_EQ(app.windowSurface().get(2, 1), Rgb(150, 200, 250));
  EXPECT_EQ(app.doc().working.pixels.at(2, 1), Rgb(100, 150, 200));  // the source is never written

  app.ui().clearRecords();
  app.ui().queueDialog(DialogScript{}.set(1025, "50").click(platform::IDOK));
  app.command(kDarkness);
  EXPECT_EQ(app.shown(), Rgb(50, 100, 150));
  EXPECT_EQ(app.ui().cursorHistory(),
            (std::vector<platform::CursorShape>{platform::CursorShape::Wait, platform::CursorShape::Arrow}));

  app.ui().queueDialog(DialogScript{}.set(1025, "12abc").click(platform::IDOK));
  app.command(kDarkness);
  EXPECT_EQ(remembered().darkness, 0);  // not a whole number: 0, without a message
  EXPECT_EQ(app.shown(), Rgb(100, 150, 200));
  EXPECT_TRUE(app.boxes().empty());

  app.ui().queueDialog(DialogScript::Cancel());
  app.command(kBrightness);
  EXPECT_EQ(remembered().brightness, 50);  // Cancel keeps the last accepted amount
}

TEST(PointOpsCommands, OutOfOrderLimitsAreRejectedWithTheMessage) {
  App app;
  app.load(2, 2, Rgb(60, 0, 0));
  auto expectRejected = [&app](int id, DialogScript script) {
    app.ui().clearRecords();
    app.ui().queueDialog(std::move(script));
    app.command(id);
    ASSERT_EQ(app.boxes().size(), 1u) << id;
    EXPECT_EQ(app.boxes()[0].text, kSliceInputMessage);
    EXPECT_EQ(app.boxes()[0].caption, kSliceInputCaption);
    EXPECT_EQ(app.boxes()[0].flags, platform::MB_ICONEXCLAMATION);
    EXPECT_EQ(app.shown(), Rgb(60, 0, 0)) << id;
    EXPECT_TRUE(app.ui().problems().empty());
  };
  // Range 2 starting inside range 1.
  expectRejected(kStatic, Ranges({{1026, "50"},
                                  {1027, "100"},
                                  {1028, "90"},
                                  {1029, "160"},
                                  {1037, "200"},
                                  {1036, "240"},
                                  {1015, "255"}}));
  expectRejected(kIncremental, DialogScript::Ok());  // empty boxes read 0: 0 < 0 fails
  expectRejected(kImageSlicing, Ranges({{1015, "100"}, {1016, "50"}, {1017, "255"}}));
  expectRejected(kSlicing2, Ranges({{1015, "0"}, {1016, "100"}, {1048, "7"}, {1049, "7"}}));
  expectRejected(kObjectColour, Ranges({{1015, "0"}, {1016, "100"}, {1017, "5"}, {1058, "4"}}));
  expectRejected(kColourSlicing, Box(1051, 1052, 1050).set(1052, "-1").click(platform::IDOK));
}

TEST(PointOpsCommands, SlicingsPaintFromTheirDialogs) {
  App app;
  app.load(1, 1, Rgb(100, 7, 7));
  app.ui().queueDialog(PrimarySlices());
  app.command(kStatic);
  EXPECT_EQ(app.shown(), Rgb(255, 0, 0));

  // Incremental slicing through the same dialog, on the toolbar id's twin.
  app.ui().queueDialog(Ranges({{1026, "0"},
                               {1027, "140"},
                               {1028, "150"},
                               {1029, "160"},
                               {1037, "170"},
                               {1036, "180"},
                               {1015, "120"},
                               {1016, "120"},
                               {1017, "0"}}));
  app.command(kIncremental);
  EXPECT_EQ(app.shown(), Rgb(120, 80, 0));

  app.ui().queueDialog(Ranges({{1015, "10"}, {1016, "300"}, {1017, "1"}, {1041, "2"}, {1042, "3"}}));
  app.command(kImageSlicing);
  EXPECT_EQ(app.shown(), kBlack);  // a limit past 255 passes the check and blackens everything

  // A slice may start at level 0: 0 is a limit like any other, not "off".
  app.ui().queueDialog(Ranges({{1015, "0"}, {1016, "100"}, {1017, "1"}, {1041, "2"}, {1042, "3"}}));
  app.command(kImageSlicing);
  EXPECT_EQ(app.shown(), Rgb(1, 2, 3));

  app.ui().queueDialog(Ranges({{1015, "0"},
                               {1016, "100"},
                               {1048, "100"},
                               {1049, "200"},
                               {1017, "1"},
                               {1044, "4"},
                               {1045, "5"},
                               {1046, "6"}}));
  app.command(kSlicing2);
  EXPECT_EQ(app.shown(), Rgb(4, 5, 6));  // the later range wins
  EXPECT_TRUE(app.ui().problems().empty());
}

TEST(PointOpsCommands, TheSharedChoiceAndItsRadioButtons) {
  App app;
  app.load(1, 1, Rgb(10, 20, 30));
  // At start the gray background is the choice, and Color Slicing shows it.
  app.ui().queueDialog(Box(1051, 1052, 1050).click(platform::IDOK));
  app.command(kColourSlicing);
  EXPECT_TRUE(app.dialogs().back().checked.at(1054));
  EXPECT_FALSE(app.dialogs().back().checked.at(1053));

  // Its choice is not one the replace dialog shows, so none is selected there.
  app.ui().queueDialog(Box(1056, 1057, 1058).click(1067).click(platform::IDOK));
  app.command(kObjectColour);
  for (int id : {1064, 1065, 1066, 1068, 1069}) EXPECT_FALSE(app.dialogs().back().checked.at(id)) << id;
  EXPECT_EQ(app.shown(), Rgb(30, 20, 10));  // "Automatic Color Replace 2"
  EXPECT_EQ(remembered().choice, 1067);

  // After a replace button, Color Slicing shows neither background and uses gray.
  app.load(1, 1, Rgb(50, 60, 170));
  app.ui().queueDialog(Box(1051, 1052, 1050).click(platform::IDOK));
  app.command(kColourSlicing);
  EXPECT_FALSE(app.dialogs().back().checked.at(1053));
  EXPECT_FALSE(app.dialogs().back().checked.at(1054));
  EXPECT_EQ(app.shown(), Rgb(80, 80, 80));

  // OK keeps a clicked choice even when the limits are then rejected; Cancel does not.
  app.ui().queueDialog(DialogScript{}.click(1053).click(platform::IDOK));
  app.command(kColourSlicing);
  EXPECT_EQ(remembered().choice, 1053);
  app.ui().queueDialog(DialogScript{}.click(1054).click(platform::IDCANCEL));
  app.command(kColourSlicing);
  EXPECT_EQ(remembered().choice, 1053);
  app.ui().queueDialog(Box(1051, 1052, 1050).click(platform::IDOK));
  app.command(kColourSlicing);
  EXPECT_TRUE(app.dialogs().back().checked.at(1053));
  EXPECT_EQ(app.shown(), kWhite);

  // A background choice makes Object Color Change paint the manual colour.
  app.ui().queueDialog(
      Box(1056, 1057, 1058).set(1060, "7").set(1061, "300").set(1062, "-2").click(platform::IDOK));
  app.load(1, 1, Rgb(10, 20, 30));
  app.command(kObjectColour);
  EXPECT_EQ(app.shown(), Rgb(7, 255, 0));
  EXPECT_TRUE(app.ui().problems().empty());
}

TEST(PointOpsCommands, ColourButtonsFillTheBoxesFromTheFirstCustomColour) {
  App app;
  app.load(1, 1, Rgb(60, 0, 0));
  // The user picks a basic colour: the boxes still get the first custom one, black.
  app.ui().queueColour(Rgb(1, 2, 3));
  app.ui().queueDialog(DialogScript{}.set(1015, "50").set(1016, "70").click(1038).click(platform::IDOK));
  app.command(kImageSlicing);
  const headless::DialogRecord& first = app.dialogs().back();
  EXPECT_EQ(first.texts.at(1017), "0");
  EXPECT_EQ(first.texts.at(1041), "0");
  EXPECT_EQ(first.texts.at(1042), "0");
  EXPECT_EQ(app.shown(), kBlack);

  remembered().customColours[0] = Rgb(200, 100, 50);
  app.ui().queueColour(Rgb(1, 2, 3));
  app.ui().queueDialog(DialogScript{}.click(1063).click(platform::IDCANCEL));
  app.command(kObjectColour);
  EXPECT_EQ(app.dialogs().back().texts.at(1060), "200");
  EXPECT_EQ(app.dialogs().back().texts.at(1061), "100");
  EXPECT_EQ(app.dialogs().back().texts.at(1062), "50");

  // A cancelled chooser leaves the boxes alone.
  app.ui().queueDialog(DialogScript{}.set(1044, "9").click(1039).click(platform::IDCANCEL));
  app.command(kSlicing2);
  EXPECT_EQ(app.dialogs().back().texts.at(1044), "9");
  EXPECT_EQ(app.ui().colourChoosersShown(), 3);
  EXPECT_TRUE(app.ui().problems().empty());
}

TEST(PointOpsCommands, ANewRunStartsFromTheFirstValues) {
  {
    App app;
    remembered().brightness = 9;
    remembered().choice = 1064;
    remembered().customColours[3] = 77;
    remembered().range[1] = {4, 5};
  }
  App fresh;
  EXPECT_EQ(remembered().brightness, 1);
  EXPECT_EQ(remembered().darkness, 1);
  EXPECT_EQ(remembered().choice, 1054);
  EXPECT_EQ(remembered().customColours[3], 0u);
  EXPECT_EQ(remembered().range[1].hi, 0);
}

TEST(PointOpsCommands, RepeatedCommandsStartFromTheLoadedPicture) {
  App app;
  app.load(2, 2, Rgb(255, 0, 0));
  app.command(kFalseColour1);
  app.command(kFalseColour1);
  app.command(kFalseColour1);
  EXPECT_EQ(app.shown(1, 1), Rgb(0, 0, 255));
  app.command(kInvert);
  app.command(50178);  // the toolbar's Invert
  EXPECT_EQ(app.shown(1, 1), Rgb(0, 255, 255));
  app.command(kGrayScale);
  EXPECT_EQ(app.shown(), Rgb(76, 76, 76));
}

}  // namespace
}  // namespace opta
