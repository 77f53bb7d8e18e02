#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <string>
#include <vector>

#include "core/surface.h"

namespace opta {
namespace {

constexpr Colour kPaper = 0x00336699;

Surface Paper(int w, int h) {
  Surface s;
  EXPECT_TRUE(s.allocate(w, h, kPaper));
  return s;
}

int Count(const Surface& s, Colour c, const Rect& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += s.get(x, y) == c;
  return n;
}

// One glyph's pixels as a string of 0/1, for comparing glyphs.
std::string Cell(char ch, FontDesc font = {}) {
  Surface s = Paper(64, 64);
  s.dc().font = font;
  s.dc().transparent = true;
  s.drawText(0, 0, std::string(1, ch));
  std::string bits;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) bits += s.get(x, y) == kBlack ? '1' : '0';
  return bits;
}

TEST(BitmapFont, CellSizeAndScaling) {
  const TextRenderer& r = builtInTextRenderer();
  EXPECT_EQ(r.measure({}, "Hello"), (Size{40, 16}));
  EXPECT_EQ(r.measure({}, ""), (Size{0, 16}));
  FontDesc big;
  big.height = 32;
  EXPECT_EQ(r.measure(big, "ab"), (Size{32, 32}));
  big.height = -48;  // character height, as the font chooser reports it
  EXPECT_EQ(r.measure(big, "ab"), (Size{48, 48}));
  big.height = 20;  // not a whole multiple: the nearest smaller scale
  EXPECT_EQ(r.measure(big, "ab"), (Size{16, 16}));

  // A scaled glyph is the plain glyph with each pixel doubled.
  const std::string one = Cell('R');
  FontDesc twice;
  twice.height = 32;
  const std::string two = Cell('R', twice);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) ASSERT_EQ(two[y * 64 + x], one[(y / 2) * 64 + x / 2]) << x << "," << y;
}

TEST(BitmapFont, OpaqueFillsTheCellsTransparentLeavesThem) {
  Surface s = Paper(100, 40);
  s.dc().textColour = kWhite;
  s.dc().backColour = kBlack;
  s.dc().transparent = false;
  s.drawText(10, 5, "Ab1");
  const Rect cells{10, 5, 34, 21};
  const int ink = Count(s, kWhite, cells);
  EXPECT_GT(ink, 20);
  EXPECT_EQ(ink + Count(s, kBlack, cells), 24 * 16);  // every cell pixel painted
  EXPECT_EQ(Count(s, kPaper, s.bounds()), 100 * 40 - 24 * 16);

  Surface t = Paper(100, 40);
  t.dc().textColour = kWhite;
  t.dc().transparent = true;
  t.drawText(10, 5, "Ab1");
  EXPECT_EQ(Count(t, kWhite, cells), ink);  // same glyph pixels
  EXPECT_EQ(Count(t, kPaper, s.bounds()), 100 * 40 - ink);
}

TEST(BitmapFont, GlyphsAreDistinctAndInked) {
  std::set<std::string> seen;
  const std::string blank = Cell(' ');
  EXPECT_EQ(blank.find('1'), std::string::npos);
  for (int c = 33; c <= 126; ++c) {
    const std::string g = Cell(static_cast<char>(c));
    EXPECT_NE(g.find('1'), std::string::npos) << char(c);
    EXPECT_TRUE(seen.insert(g).second) << "glyph " << char(c) << " looks like another";
    // Ink stays in the first 7 columns and 16 rows of the cell.
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        if (g[y * 64 + x] == '1') {
          ASSERT_TRUE(x < 7 && y < 16) << char(c);
        }
  }
  // Non-ASCII bytes and control characters draw the same box.
  const std::string box = Cell('\x01');
  EXPECT_NE(box.find('1'), std::string::npos);
  EXPECT_EQ(Cell('\xe9'), box);
  EXPECT_EQ(Cell('\x7f'), box);
  EXPECT_EQ(seen.count(box), 0u);
}

TEST(BitmapFont, UnderlineStrikeOutAndBoldAddInk) {
  auto ink = [](FontDesc f) {
    const std::string g = Cell('o', f);
    return static_cast<int>(std::count(g.begin(), g.end(), '1'));
  };
  FontDesc plain;
  FontDesc under;
  under.underline = true;
  FontDesc strike;
  strike.strikeOut = true;
  FontDesc bold;
  bold.weight = 700;
  const int base = ink(plain);
  EXPECT_GT(ink(under), base);
  EXPECT_GT(ink(strike), base);
  EXPECT_GT(ink(bold), base);
  // An underline runs the whole cell width, so underlined text is one line.
  Surface s = Paper(40, 20);
  s.dc().font = under;
  s.dc().transparent = true;
  s.drawText(0, 0, "  ");
  int rowsWithFullLine = 0;
  for (int y = 0; y < 16; ++y) rowsWithFullLine += Count(s, kBlack, Rect{0, y, 16, y + 1}) == 16;
  EXPECT_EQ(rowsWithFullLine, 1);
}

TEST(BitmapFont, ClipsAtAnyPosition) {
  Surface s = Paper(30, 20);
  const std::string text(200, 'W');
  for (int x : {INT_MIN, -1000, -5, 0, 25, 29, 30, INT_MAX - 3})
    for (int y : {INT_MIN, -15, 0, 10, 19, INT_MAX}) s.drawText(x, y, text);
  FontDesc huge;
  huge.height = INT_MIN;
  s.dc().font = huge;
  s.drawText(-3, -3, "xyz");
  // The largest scale still makes a finite cell; opaque, it covers the surface.
  EXPECT_EQ(Count(s, kWhite, s.bounds()), 30 * 20);
  EXPECT_EQ(builtInTextRenderer().measure(huge, "x").height, 16 * 16);
}

}  // namespace
}  // namespace opta
