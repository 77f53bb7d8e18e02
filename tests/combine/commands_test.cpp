// The two-image commands through the shell's frames, on the headless
// platform: who speaks without both images, the wait cursor, the aliases,
// and what the window and the memory surface hold afterwards.
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/application.h"

namespace opta {
namespace {

using headless::Application;

constexpr int kAdd = 40050, kSubtract = 40051, kAnd = 40052, kOr = 40053;
constexpr int kSpeaking[] = {kAdd, kSubtract, kAnd, 50180, 50189, 50181, 50190};
constexpr int kSilent[] = {40053, 40054, 40055, 40056, 40057, 40059, 40060, 40061, 40062, 40063, 40064};

struct App : Application {
  App() : Application(headless::AppOptions{Size{40, 30}, Size{50, 40}, {}}) { start(); }

  static void Fill(Image& img, int w, int h, Colour c) {
    img.pixels.allocate(w, h);
    img.pixels.fill(c);
    img.memory.allocate(w, h);
    img.memory.fill(c);
    img.loaded = true;
  }
  const std::vector<headless::MessageBoxRecord>& boxes() { return ui().messageBoxes(); }
};

TEST(CombineCommands, WithoutBothImagesOnlyAddSubtractAndAndSpeak) {
  App app;
  for (bool firstLoaded : {false, true}) {
    if (firstLoaded) App::Fill(app.doc().working, 4, 4, kBlack);
    app.windowSurface().fill(Rgb(1, 2, 3));
    for (int id : kSpeaking) {
      app.ui().clearRecords();
      app.command(id);
      ASSERT_EQ(app.boxes().size(), 1u) << id;
      EXPECT_EQ(app.boxes()[0].text, "First Open a BITMAP image !!");
      EXPECT_EQ(app.boxes()[0].caption, "BOPTA");
      EXPECT_EQ(app.boxes()[0].flags, platform::MB_ICONEXCLAMATION);
      EXPECT_TRUE(app.ui().cursorHistory().empty());
    }
    for (int id : kSilent) {
      app.ui().clearRecords();
      app.command(id);
      EXPECT_TRUE(app.boxes().empty()) << id;
      EXPECT_TRUE(app.ui().cursorHistory().empty()) << id;
    }
    EXPECT_EQ(app.windowSurface().get(0, 0), Rgb(1, 2, 3));  // nothing drawn
  }
}

TEST(CombineCommands, GreyedUntilASecondImageSoTheKeySendsNothing) {
  App app;
  App::Fill(app.doc().working, 4, 4, kBlack);
  const KeyPress altL{KeyPress::Kind::Char, 'l', false, true, false};
  EXPECT_TRUE(app.key(altL));
  EXPECT_TRUE(app.boxes().empty());
  app.menu().setEnable(kAdd, ItemEnable::Enabled);  // as Open Also leaves it
  app.key(altL);
  EXPECT_EQ(app.boxes().size(), 1u);
}

TEST(CombineCommands, EveryCommandDrawsUnderTheWaitCursorAndTheRepaintShowsTheSecond) {
  const Colour a = Rgb(200, 100, 50), b = Rgb(100, 100, 100);
  for (int id : {kAdd, kSubtract, kAnd, kOr, 40054, 40055, 40056, 40057, 40059, 40060, 40061, 40062, 40063,
                 40064, 50180, 50189, 50181, 50190}) {
    App app;
    App::Fill(app.doc().working, 6, 3, a);
    App::Fill(app.doc().second, 3, 6, b);
    app.windowSurface().fill(Rgb(1, 2, 3));
    app.command(id);
    EXPECT_TRUE(app.boxes().empty()) << id;
    EXPECT_EQ(app.ui().cursorHistory(),
              (std::vector<platform::CursorShape>{platform::CursorShape::Wait, platform::CursorShape::Arrow}))
        << id;
    EXPECT_EQ(app.windowSurface().get(39, 29), kWhite) << id;        // the screen painted white
    EXPECT_EQ(app.windowSurface().get(40, 29), Rgb(1, 2, 3)) << id;  // the client beyond it not
    const Surface& memory = app.doc().working.memory;
    EXPECT_EQ(memory.size(), (Size{6, 3})) << id;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 6; ++x) ASSERT_EQ(memory.get(x, y), app.windowSurface().get(x, y)) << id;
    EXPECT_EQ(app.doc().working.pixels.at(0, 0), a) << id;  // the source stays as loaded
    if (id == kAdd) {
      EXPECT_EQ(memory.get(0, 0), Rgb(255, 200, 150));
    } else if (id == 50190) {
      EXPECT_EQ(memory.get(0, 0), Rgb(100, 0, 50));
    }

    app.window().invalidate();
    app.pump();
    EXPECT_EQ(app.windowSurface().get(2, 5), b) << id;
    EXPECT_EQ(app.windowSurface().get(3, 0), kWhite) << id;
  }
}

}  // namespace
}  // namespace opta
