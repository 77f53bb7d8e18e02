// "Labeling Images" on the headless platform: dialog 117, the scripted font
// chooser and the built-in font, so every pixel of the text is known.
#include <gtest/gtest.h>

#include <string>

#include "annotate/annotate.h"
#include "platform/headless/application.h"

namespace opta {
namespace {

using headless::DialogScript;

constexpr Colour kRed = Rgb(255, 0, 0), kPaper = Rgb(200, 200, 200);

struct App : headless::Application {
  App() : Application(headless::AppOptions{Size{120, 80}, {}, {}}) {
    start();
    doc().working.pixels.allocate(60, 40);
    doc().working.pixels.fill(kPaper);
    doc().working.memory.allocate(60, 40, kPaper);
    doc().working.loaded = true;
  }
  void label(const std::string& text, const std::string& x, const std::string& y, int fontHeight = -1) {
    if (fontHeight >= 0) ui().queueFont(std::make_pair(FontDesc{"Any", fontHeight}, kRed | 0xFF000000u));
    ui().queueDialog(DialogScript{}.set(1015, text).set(1016, x).set(1017, y).click(platform::IDOK));
    command(40086);
  }
};

// Pixels of s that differ from the text drawn by the built-in font on paper.
int Mismatches(const Surface& s, Colour paper, int x, int y, const std::string& text, int height,
               Colour ink) {
  Surface want;
  want.allocate(s.width(), s.height(), paper);
  want.dc().transparent = true;
  want.dc().font.height = height;
  want.dc().textColour = ink;
  want.drawText(x, y, text);
  int n = 0;
  for (int i = 0; i < s.width() * s.height(); ++i)
    n += s.get(i % s.width(), i / s.width()) != want.get(i % s.width(), i / s.width());
  return n;
}

TEST(AnnotateText, CutToThirtyNineCharactersNeverInsideALetter) {
  const std::string a38(38, 'a');
  EXPECT_EQ(annotate::CutText(std::string(45, 'x')), std::string(39, 'x'));
  EXPECT_EQ(annotate::CutText(a38 + "bc"), a38 + "b");
  EXPECT_EQ(annotate::CutText(a38 + "b"), a38 + "b");
  EXPECT_EQ(annotate::CutText(a38 + "\xC3\xA9z"), a38 + "\xC3\xA9");  // a two-byte letter counts once
  EXPECT_EQ(annotate::CutText(a38 + "b\xC3\xA9"), a38 + "b");
}

TEST(AnnotateCommand, WindowThenMemoryAndOnlyAConfirmedFontReachesTheWindow) {
  App app;
  app.label("Hello", "5", "-7", 32);
  EXPECT_EQ(Mismatches(app.doc().working.memory, kPaper, 5, -7, "Hello", 32, kRed), 0);
  EXPECT_EQ(Mismatches(app.windowSurface(), kWhite, 5, -7, "Hello", 32, kRed), 0);
  EXPECT_EQ(app.doc().working.pixels.at(6, 3), kPaper);  // the source stays as loaded
  app.label("Hello", "5", "-7");                         // the chooser cancelled
  EXPECT_EQ(app.ui().fontChoosersShown(), 2);
  ASSERT_EQ(app.window().windowFonts().size(), 1u);
  EXPECT_EQ(app.window().windowFonts()[0].height, 32);

  app.ui().queueDialog(DialogScript{}.set(1015, "B").click(platform::IDCANCEL));
  app.command(50191);  // the toolbar button; Cancel ends it before the chooser
  EXPECT_EQ(app.ui().fontChoosersShown(), 2);
  EXPECT_EQ(annotate::state().text, "Hello");
}

}  // namespace
}  // namespace opta
