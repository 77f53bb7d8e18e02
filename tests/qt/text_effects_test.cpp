// Annotation text with real fonts: every choice the font chooser offers shows
// in the picture, and one text drawn twice lands on the same pixels.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <climits>
#include <string>

#include "platform/qt/qt_convert.h"
#include "platform/qt/qt_ui.h"
#include "qt/qt_test_support.h"

namespace opta::qt::test {
namespace {

constexpr Colour kInk = Rgb(0, 0, 200);

struct Ink {
  Rect box;  // bounding box of the ink
  int count = 0;
  bool onlyInk = true;  // every changed pixel is exactly the text colour
  int longestRow = 0;   // the longest run of ink along one row
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
    for (int x = 0, run = 0; x < s.width(); ++x) {
      const Colour c = s.get(x, y);
      run = c == kInk ? run + 1 : 0;
      ink.longestRow = std::max(ink.longestRow, run);
      if (c == kWhite) continue;
      ink.onlyInk = ink.onlyInk && c == kInk;
      ++ink.count;
      ink.box = Union(ink.box, Rect{x, y, x + 1, y + 1});
    }
  return ink;
}

FontDesc Sans(
    int height, void (*effect)(FontDesc&) = [](FontDesc&) {}) {
  FontDesc f{"DejaVu Sans", height};
  effect(f);
  return f;
}

TEST(QtAnnotationText, EveryChoiceOfTheChooserShows) {
  EnsureApp();
  EXPECT_EQ(QFontInfo(ToQFont(FontDesc{"DejaVu Serif", 30})).family(), QStringLiteral("DejaVu Serif"));
  const Ink plain = InkOf(Drawn(Sans(40), "HIH"));
  EXPECT_TRUE(plain.onlyInk);
  EXPECT_NE(InkOf(Drawn(FontDesc{"DejaVu Serif", 40}, "HIH")).count, plain.count);
  EXPECT_GT(InkOf(Drawn(Sans(60), "HIH")).box.height(), plain.box.height() * 4 / 3);
  EXPECT_GT(InkOf(Drawn(Sans(40, [](FontDesc& f) { f.weight = 700; }), "HIH")).count, plain.count * 5 / 4);

  const Ink under = InkOf(Drawn(Sans(40, [](FontDesc& f) { f.underline = true; }), "HIH"));
  EXPECT_GT(under.box.bottom, plain.box.bottom);  // a line below the baseline, across the letters
  EXPECT_GE(under.longestRow, plain.box.width() * 9 / 10);
  const Ink struck = InkOf(Drawn(Sans(40, [](FontDesc& f) { f.strikeOut = true; }), "HIH"));
  EXPECT_EQ(struck.box.bottom, plain.box.bottom);  // a line through them
  EXPECT_GE(struck.longestRow, plain.box.width() * 9 / 10);

  // Italic leans, and the j's hook left of the cell and the f's top right of
  // it are drawn, not cut off at the cell.
  const FontDesc italic = Sans(40, [](FontDesc& f) { f.italic = true; });
  const Surface leaning = Drawn(italic, "jf", 20, 10);
  const Ink i = InkOf(leaning);
  EXPECT_LT(i.box.left, 20);
  EXPECT_GT(i.box.right, 20 + leaning.measureText("jf").width);
  EXPECT_NE(InkOf(Drawn(italic, "HIH")).count, plain.count);
}

TEST(QtAnnotationText, SameTextSamePixelsWhereverItIsCut) {
  EnsureApp();
  const FontDesc f = Sans(33, [](FontDesc& d) { d.italic = d.underline = true; });
  // Drawn again, cut by a smaller surface, and moved so that it is cut at the
  // left and the top: each pixel it keeps is the one drawn whole.
  const Surface whole = Drawn(f, "Wave jig", 10, 10), again = Drawn(f, "Wave jig", 10, 10);
  const Surface small = Drawn(f, "Wave jig", 10, 10, {50, 25}), shifted = Drawn(f, "Wave jig", -7, -9);
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 240; ++x) {
      const Colour w = whole.get(x, y);
      ASSERT_EQ(again.get(x, y), w);
      ASSERT_EQ(x < 50 && y < 25 ? small.get(x, y) : w, w) << x << "," << y;
      ASSERT_EQ(x >= 17 && y >= 19 ? shifted.get(x - 17, y - 19) : w, w) << x << "," << y;
    }
  for (int at : {INT_MIN, INT_MAX - 5}) EXPECT_EQ(InkOf(Drawn(f, "Hg", at, at)).count, 0) << at;
}

}  // namespace
}  // namespace opta::qt::test
