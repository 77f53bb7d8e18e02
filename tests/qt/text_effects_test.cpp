// Annotation text with real fonts: every choice the font chooser offers shows
// in the picture, and one text drawn twice lands on the same pixels.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QTest>
#include <climits>
#include <string>

#include "platform/qt/desktop.h"
#include "platform/qt/font_chooser.h"
#include "platform/qt/qt_convert.h"
#include "qt/qt_test_support.h"

namespace opta::qt::test {
namespace {

constexpr Colour kInk = Rgb(0, 0, 200);

struct Ink {
  Rect box;  // bounding box of the ink
  int count = 0;
  bool onlyInk = true;  // every changed pixel is exactly the text colour
};

Surface Drawn(const FontDesc& font, const std::string& text, int x = 10, int y = 10, Size size = {240, 90}) {
  static QtUi ui;
  Surface s;
  s.allocate(size.width, size.height, kWhite);
  s.setTextRenderer(&ui.textRenderer());
  s.dc().transparent = true;
  s.dc().font = font;
  s.dc().textColour = kInk;
  s.drawText(x, y, text);
  return s;
}

Ink InkOf(const Surface& s) {
  Ink ink;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) {
      const Colour c = s.get(x, y);
      if (c == kWhite) continue;
      ink.onlyInk = ink.onlyInk && c == kInk;
      ++ink.count;
      ink.box = Union(ink.box, Rect{x, y, x + 1, y + 1});
    }
  return ink;
}

int Differences(const Surface& a, const Surface& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.get(x, y) != b.get(x, y);
  return n;
}

// The longest run of ink along row y.
int LongestRun(const Surface& s, int y) {
  int best = 0, run = 0;
  for (int x = 0; x < s.width(); ++x) {
    run = s.get(x, y) == kInk ? run + 1 : 0;
    best = std::max(best, run);
  }
  return best;
}

FontDesc Sans(int height) { return FontDesc{"DejaVu Sans", height}; }

TEST(QtAnnotationText, FamilySizeAndWeightShow) {
  EnsureApp();
  EXPECT_EQ(QFontInfo(ToQFont(FontDesc{"DejaVu Serif", 30})).family(), QStringLiteral("DejaVu Serif"));
  const Ink plain = InkOf(Drawn(Sans(30), "Hg"));
  EXPECT_TRUE(plain.onlyInk);
  EXPECT_GT(plain.count, 50);
  EXPECT_NE(Differences(Drawn(Sans(30), "Hg"), Drawn(FontDesc{"DejaVu Serif", 30}, "Hg")), 0);

  const Ink big = InkOf(Drawn(Sans(60), "Hg"));
  EXPECT_GT(big.box.height(), plain.box.height() * 3 / 2);

  FontDesc bold = Sans(30);
  bold.weight = 700;
  EXPECT_GT(InkOf(Drawn(bold, "Hg")).count, plain.count * 5 / 4);
}

TEST(QtAnnotationText, ItalicUnderlineAndStrikeOutShow) {
  EnsureApp();
  const std::string text = "HIH";
  const Surface plain = Drawn(Sans(40), text);
  const Ink p = InkOf(plain);

  FontDesc italic = Sans(40);
  italic.italic = true;
  const Surface leaning = Drawn(italic, text);
  const Ink i = InkOf(leaning);
  int topRight = 0, bottomRight = 0;
  for (int x = 0; x < 240; ++x) {
    if (leaning.get(x, i.box.top) == kInk) topRight = x;
    if (leaning.get(x, i.box.bottom - 1) == kInk) bottomRight = x;
  }
  EXPECT_GT(topRight, bottomRight + 3);
  // The j's hook reaches left of the cell and the f's top right of it: both are drawn, not cut off.
  const Surface overhang = Drawn(italic, "jf", 20, 10);
  const Ink o = InkOf(overhang);
  EXPECT_LT(o.box.left, 20);
  EXPECT_GT(o.box.right, 20 + overhang.measureText("jf").width);

  FontDesc under = Sans(40);
  under.underline = true;
  const Surface underlined = Drawn(under, text);
  const Ink u = InkOf(underlined);
  EXPECT_GT(u.box.bottom, p.box.bottom);  // a line below the baseline
  EXPECT_GE(LongestRun(underlined, u.box.bottom - 1), p.box.width() * 9 / 10);

  FontDesc strike = Sans(40);
  strike.strikeOut = true;
  const Surface struck = Drawn(strike, text);
  int longest = 0;
  for (int y = p.box.top; y < p.box.bottom; ++y) longest = std::max(longest, LongestRun(struck, y));
  EXPECT_GE(longest, p.box.width() * 9 / 10);  // a line across all three letters
  EXPECT_EQ(InkOf(struck).box.bottom, p.box.bottom);
}

TEST(QtAnnotationText, SameTextSamePixelsWhereverItIsCut) {
  EnsureApp();
  FontDesc f = Sans(33);
  f.italic = true;
  f.underline = true;
  const Surface whole = Drawn(f, "Wave jig", 10, 10);
  EXPECT_EQ(Differences(whole, Drawn(f, "Wave jig", 10, 10)), 0);
  // The same text cut by a smaller surface, and moved so that it is cut at
  // the left and the top: each pixel it keeps is the one drawn whole.
  const Surface small = Drawn(f, "Wave jig", 10, 10, {50, 25});
  const Surface shifted = Drawn(f, "Wave jig", -7, -9);
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 240; ++x) {
      if (x < 50 && y < 25) {
        ASSERT_EQ(small.get(x, y), whole.get(x, y)) << x << "," << y;
      }
      if (x >= 17 && y >= 19) {
        ASSERT_EQ(shifted.get(x - 17, y - 19), whole.get(x, y)) << x << "," << y;
      }
    }
}

TEST(QtAnnotationText, PositionsAtTheEndsOfTheRangeDrawNothing) {
  EnsureApp();
  for (int x : {INT_MIN, INT_MAX - 5})
    for (int y : {INT_MIN, INT_MAX - 5})
      EXPECT_EQ(InkOf(Drawn(Sans(20), "Hg", x, y)).count, 0) << x << "," << y;
}

// Through the real dialog and font chooser: the text lands where it was
// asked for, in the chosen colour, and the chosen font becomes the window's.
TEST(QtAnnotationText, LabelingImagesDrawsWithTheChosenFont) {
  EnsureApp();
  Desktop d;
  d.start();
  Surface& window = d.shell.windowSurface();
  {
    ModalCloser closer([](QWidget* w) {
      if (auto* chooser = dynamic_cast<FontChooser*>(w)) {
        QFont f(QStringLiteral("DejaVu Serif"));
        f.setPixelSize(30);
        f.setBold(true);
        chooser->fontPanel()->setCurrentFont(f);
        chooser->colourList()->setCurrentIndex(chooser->colourList()->findText(QStringLiteral("Red")));
        chooser->accept();
        return;
      }
      w->findChild<QLineEdit*>(QStringLiteral("control_1015"))->setText(QStringLiteral("Hg"));
      w->findChild<QLineEdit*>(QStringLiteral("control_1016"))->setText(QStringLiteral("40"));
      w->findChild<QLineEdit*>(QStringLiteral("control_1017"))->setText(QStringLiteral("30"));
      QTest::keyClick(w, Qt::Key_Return);
    });
    d.shell.onCommand(40086);
    EXPECT_EQ(closer.seen(), 2);
  }
  EXPECT_EQ(d.window.windowFont().face, "DejaVu Serif");
  EXPECT_EQ(d.window.windowFont().weight, 700);
  int red = 0;
  Rect box;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 120; ++x)
      if (window.get(x, y) == Rgb(255, 0, 0)) {
        ++red;
        box = Union(box, Rect{x, y, x + 1, y + 1});
      }
  EXPECT_GT(red, 50);
  EXPECT_GE(box.left, 40);
  EXPECT_GE(box.top, 30);
}

}  // namespace
}  // namespace opta::qt::test
