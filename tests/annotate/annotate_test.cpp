// "Labeling Images" on the headless platform: dialog 117, the scripted font
// chooser and the built-in font, so every pixel of the text is known.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "annotate/annotate.h"
#include "platform/headless/application.h"

namespace opta {
namespace {

using headless::Application;
using headless::DialogScript;

constexpr int kLabel = 40086, kInvert = 40009;
constexpr Colour kRed = Rgb(255, 0, 0), kPaper = Rgb(200, 200, 200);

struct App : Application {
  explicit App(bool withImage = true) : Application(headless::AppOptions{Size{120, 80}, {}, {}}) {
    start();
    if (!withImage) return;
    WorkingImage& img = doc().working;
    img.pixels.allocate(60, 40);
    img.pixels.fill(kPaper);
    img.memory.allocate(60, 40);
    img.memory.fill(kPaper);
    img.loaded = true;
    window().invalidate();
    pump();
  }
  void label(const std::string& text, const std::string& x, const std::string& y) {
    ui().queueDialog(DialogScript{}.set(1015, text).set(1016, x).set(1017, y).click(platform::IDOK));
    command(kLabel);
  }
  void chooseFont(int height, Colour c) { ui().queueFont(std::make_pair(FontDesc{"Any", height}, c)); }
};

// The text as the built-in font draws it on a blank surface of the same size.
Surface Expected(Size size, Colour paper, int x, int y, const std::string& text, int height, Colour ink) {
  Surface s;
  s.allocate(size.width, size.height, paper);
  s.dc().transparent = true;
  s.dc().font.height = height;
  s.dc().textColour = ink;
  s.drawText(x, y, text);
  return s;
}

int Differences(const Surface& a, const Surface& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.get(x, y) != b.get(x, y);
  return n;
}

TEST(AnnotateText, CutToThirtyNineCharacters) {
  const std::string a39(39, 'a');
  EXPECT_EQ(annotate::CutText(std::string(45, 'x')), std::string(39, 'x'));
  EXPECT_EQ(annotate::CutText(a39 + "b"), a39);
  EXPECT_EQ(annotate::CutText(a39), a39);
  EXPECT_EQ(annotate::CutText(""), "");
  // A two-byte letter counts once, and is never split.
  EXPECT_EQ(annotate::CutText(std::string(38, 'a') + "\xC3\xA9"
                                                     "b"),
            std::string(38, 'a') + "\xC3\xA9");
  EXPECT_EQ(annotate::CutText(a39 + "\xC3\xA9"), a39);
}

TEST(AnnotateCommand, TextLandsInWindowThenMemoryInTheChosenFontAndColour) {
  App app;
  app.chooseFont(32, kRed | 0xFF000000u);
  app.label("Hello, picture! This line is far too long", "5", "-7");
  EXPECT_EQ(annotate::state().text, "Hello, picture! This line is far too lo");
  EXPECT_EQ(app.ui().fontChoosersShown(), 1);
  ASSERT_EQ(app.window().windowFonts().size(), 1u);
  EXPECT_EQ(app.window().windowFonts()[0].height, 32);

  const Surface want = Expected({60, 40}, kPaper, 5, -7, annotate::state().text, 32, kRed);
  EXPECT_EQ(Differences(app.doc().working.memory, want), 0);
  EXPECT_GT(Differences(want, Expected({60, 40}, kPaper, 0, 0, "", 0, kRed)), 20);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(app.windowSurface().get(x, y), want.get(x, y));
  // The window is wider than the image and shows the text past its edge.
  int past = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 60; x < 120; ++x) past += app.windowSurface().get(x, y) == kRed;
  EXPECT_GT(past, 20);
  EXPECT_EQ(app.doc().working.pixels.at(6, 3), kPaper);  // the source stays as loaded
  EXPECT_TRUE(app.ui().messageBoxes().empty());
}

TEST(AnnotateCommand, CancelledChooserKeepsTheFontButDrawsBlack) {
  App app;
  app.chooseFont(32, kRed);
  app.label("A", "0", "0");
  app.doc().working.memory.fill(kPaper);
  app.label("A", "", "nonsense");  // no font queued: the chooser is cancelled
  EXPECT_EQ(app.ui().fontChoosersShown(), 2);
  EXPECT_EQ(app.window().windowFonts().size(), 1u);  // only a confirmed font reaches the window
  EXPECT_EQ(Differences(app.doc().working.memory, Expected({60, 40}, kPaper, 0, 0, "A", 32, kBlack)), 0);
}

TEST(AnnotateCommand, EmptyTextStillAsksForAFontAndCancelStopsEverything) {
  App app;
  app.label("", "3", "3");
  EXPECT_EQ(app.ui().fontChoosersShown(), 1);
  EXPECT_EQ(Differences(app.doc().working.memory, Expected({60, 40}, kPaper, 0, 0, "", 0, kBlack)), 0);

  app.ui().queueDialog(DialogScript{}.set(1015, "B").click(platform::IDCANCEL));
  app.command(50191);  // the toolbar button
  EXPECT_EQ(app.ui().fontChoosersShown(), 1);
  EXPECT_EQ(annotate::state().text, "");
}

TEST(AnnotateCommand, PositionsOutsideThePictureClip) {
  App app;
  app.label("Hi", "-3", "30");  // partly left of and below the picture
  EXPECT_EQ(Differences(app.doc().working.memory, Expected({60, 40}, kPaper, -3, 30, "Hi", 0, kBlack)), 0);
  for (const char* far : {"-2147483648", "2147483647", "-20"}) {
    app.doc().working.memory.fill(kPaper);
    app.label("Hi", far, far);
    EXPECT_EQ(Differences(app.doc().working.memory, Expected({60, 40}, kPaper, 0, 0, "", 0, kBlack)), 0)
        << far;
  }
}

TEST(AnnotateCommand, WithoutAnImageOnlyTheWindowShowsIt) {
  App app(false);
  app.label("Hi", "2", "2");
  EXPECT_TRUE(app.ui().messageBoxes().empty());
  EXPECT_EQ(Differences(app.windowSurface(), Expected({120, 80}, kWhite, 2, 2, "Hi", 0, kBlack)), 0);
}

TEST(AnnotateCommand, InvertAfterwardsStartsFromThePictureWithoutTheText) {
  App app;
  app.label("Hi", "2", "2");
  app.command(kInvert);
  EXPECT_EQ(Differences(app.doc().working.memory, Expected({60, 40}, kPaper ^ kWhite, 0, 0, "", 0, kBlack)),
            0);
}

}  // namespace
}  // namespace opta
