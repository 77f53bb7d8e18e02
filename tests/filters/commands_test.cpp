// The filter commands as the user meets them: dialogs first, then the frame,
// the remembered choices, and both surfaces written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filters/commands.h"
#include "platform/headless/application.h"

namespace opta {
namespace {

using headless::Application;
using headless::DialogScript;

constexpr int kMedian = 40004, kHigh = 40005, kLow = 40006, kArithmetic = 40111, kGeometric = 40112;
constexpr int kContraharmonic = 40114, kMax = 40171, kMin = 40172, kGaussian = 40174;
constexpr Colour kShown = 0x123456;  // what the bitmap showed before a command

struct App : Application {
  App() : Application(headless::AppOptions{Size{800, 600}, Size{40, 30}, {}}) { start(); }

  // A picture as Open leaves it, but with the bitmap showing kShown, so that
  // what a filter leaves alone can be told from what it wrote.
  void load(int w, int h, Colour (*pixel)(int, int)) {
    WorkingImage& img = doc().working;
    img.pixels.allocate(w, h);
    img.memory.allocate(w, h, kShown);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) img.pixels.at(x, y) = pixel(x, y);
    img.loaded = true;
    windowSurface().fill(kShown);
  }
  Colour shown(int x, int y) { return doc().working.memory.get(x, y); }
  const std::vector<headless::MessageBoxRecord>& boxes() { return ui().messageBoxes(); }
  const std::vector<headless::DialogRecord>& dialogs() { return ui().dialogs(); }
};

Colour Dot(int x, int y) { return x == 2 && y == 2 ? kWhite : kBlack; }
Colour Ramp(int x, int y) { return Rgb(10 * (3 * x + y + 1), 0, 0); }

TEST(FilterCommands, DialogsComeFirstAndTheMessageOnlyAfterOk) {
  App app;
  const std::vector<std::pair<int, std::string>> withDialog = {{kLow, "ABOUTBOX"},  {kHigh, "104"},
                                                               {kMedian, "105"},    {kArithmetic, "105"},
                                                               {kGeometric, "105"}, {kMax, "105"}};
  for (const auto& [id, name] : withDialog) {
    app.ui().clearRecords();
    app.ui().queueDialog(DialogScript::Cancel());
    app.command(id);
    ASSERT_EQ(app.dialogs().size(), 1u) << id;
    EXPECT_EQ(app.dialogs()[0].templateName, name);
    EXPECT_TRUE(app.boxes().empty()) << id;
    app.command(id);  // accepted as it opens
    ASSERT_EQ(app.boxes().size(), 1u) << id;
    EXPECT_EQ(app.boxes()[0].text, "First Open a BITMAP image !!");
  }
  app.ui().clearRecords();
  app.command(kGaussian);
  EXPECT_TRUE(app.dialogs().empty());
  ASSERT_EQ(app.boxes().size(), 1u);
  EXPECT_EQ(app.boxes()[0].caption, "BOPTA");
  EXPECT_EQ(app.boxes()[0].flags, platform::MB_ICONEXCLAMATION);

  // The contraharmonic filter asks for its order even after a Cancel; only
  // the order dialog's answer counts.
  app.ui().clearRecords();
  app.ui().queueDialog(DialogScript::Cancel());
  app.ui().queueDialog(DialogScript::Ok());
  app.command(kContraharmonic);
  ASSERT_EQ(app.dialogs().size(), 2u);
  EXPECT_EQ(app.dialogs()[1].templateName, "127");
  EXPECT_EQ(app.dialogs()[1].texts.at(1015), "");  // empty on opening
  EXPECT_EQ(app.boxes().size(), 1u);
  app.ui().queueDialog(DialogScript::Ok());
  app.ui().queueDialog(DialogScript::Cancel());
  app.command(kContraharmonic);
  EXPECT_EQ(app.boxes().size(), 1u);
  EXPECT_TRUE(app.ui().problems().empty());
}

TEST(FilterCommands, ChoicesAreRememberedSharedAndResetAtStart) {
  {
    App app;
    EXPECT_EQ(filters::LowPassChoice, 11);
    EXPECT_EQ(filters::HighPassChoice, 16);
    EXPECT_EQ(filters::FilterSizeChoice, 1000);
    EXPECT_EQ(filters::ContraharmonicOrder, 10);
    app.ui().queueDialog(DialogScript{}.click(14).click(platform::IDOK));
    app.command(kLow);
    EXPECT_EQ(filters::LowPassChoice, 14);
    app.ui().queueDialog(DialogScript{}.click(12).click(platform::IDCANCEL));
    app.command(kLow);
    EXPECT_EQ(filters::LowPassChoice, 14);
    app.command(kLow);
    EXPECT_TRUE(app.dialogs().back().checked.at(14));  // the last accepted choice opens checked
    EXPECT_FALSE(app.dialogs().back().checked.at(11));

    app.ui().queueDialog(DialogScript{}.click(1002).click(platform::IDOK));
    app.command(kMedian);
    app.command(kMin);  // one size for all eight filters
    EXPECT_TRUE(app.dialogs().back().checked.at(1002));

    // Q as typed, without a range check.
    app.ui().queueDialog(DialogScript::Ok());
    app.ui().queueDialog(DialogScript{}.set(1015, "2000").click(platform::IDOK));
    app.command(kContraharmonic);
    EXPECT_EQ(filters::ContraharmonicOrder, 2000);
  }
  App again;
  EXPECT_EQ(filters::LowPassChoice, 11);
  EXPECT_EQ(filters::FilterSizeChoice, 1000);
  EXPECT_EQ(filters::ContraharmonicOrder, 10);
}

TEST(FilterCommands, FiltersWriteBothSurfacesUnderTheWaitCursor) {
  App app;
  app.load(5, 5, Dot);
  app.command(kLow);  // LPF 6
  EXPECT_EQ(app.shown(2, 2), Rgb(85, 85, 85));
  EXPECT_EQ(app.shown(2, 1), Rgb(42, 42, 42));
  EXPECT_EQ(app.windowSurface().get(2, 1), Rgb(42, 42, 42));
  EXPECT_EQ(app.shown(0, 0), kShown);  // the border keeps what it showed
  EXPECT_EQ(app.windowSurface().get(4, 2), kShown);
  EXPECT_EQ(app.windowSurface().get(6, 2), kShown);      // beyond the picture
  EXPECT_EQ(app.doc().working.pixels.at(2, 2), kWhite);  // the source is never written
  EXPECT_EQ(app.ui().cursorHistory(),
            (std::vector<platform::CursorShape>{platform::CursorShape::Wait, platform::CursorShape::Arrow}));

  // A second filter starts again from the picture, not from what is shown.
  app.ui().queueDialog(DialogScript{}.click(1000).click(platform::IDOK));
  app.command(kMax);
  EXPECT_EQ(app.shown(2, 2), kWhite);
  EXPECT_EQ(app.shown(1, 3), kWhite);
}

TEST(FilterCommands, ContraharmonicAfterSizeCancelUsesTheSizeFromBefore) {
  App app;
  app.load(7, 7, Ramp);
  app.ui().queueDialog(DialogScript{}.click(1001).click(platform::IDOK));
  app.command(kMedian);  // 5 x 5 from now on
  app.ui().queueDialog(DialogScript{}.click(1000).click(platform::IDCANCEL));
  app.ui().queueDialog(DialogScript{}.set(1015, "0").click(platform::IDOK));
  app.command(kContraharmonic);
  // Q = 0: the 5 x 5 arithmetic mean of red 10 * (3x + y + 1), truncated:
  // at (2, 2) the window's mean index is 3 * 2 + 2 + 1 = 9, so 90; (1, 1)
  // is outside a 5 x 5 window's reach and keeps what it showed.
  EXPECT_EQ(app.shown(2, 2), Rgb(90, 0, 0));
  EXPECT_EQ(app.shown(1, 1), kShown);
}

}  // namespace
}  // namespace opta
