#include <set>

#include "doc_app.h"

namespace opta::testing {
namespace {

constexpr Colour kOrange = 0x7FFF;

class SelectionTest : public DocApp {
 protected:
  void SetUp() override {
    DocApp::SetUp();
    openPattern(200, 160);
    app.command(docid::kRgbValue);  // read-out off
    paintOver(kBlack);              // an operation's result everywhere
  }
  void select(Point from, Point to) {
    app.leftDown(from);
    app.leftUp(to);
  }
};

TEST_F(SelectionTest, ReleaseOutlinesInOrangeAndRestoresTheBlockAsLoaded) {
  Surface expected;
  expected.allocate(640, 480);
  expected.copyFrom(window(), 0, 0, 0, 0, 640, 480);
  expected.drawText(10, 10, "-20 x 15");
  app.leftDown(Point{10, 10});
  app.mouseMove(Point{-10, 25}, true);
  EXPECT_EQ(Mismatches(window(), 0, 0, 640, 480, [&](int x, int y) { return expected.get(x, y); }), 0);
  app.leftDown(Point{10, 10});  // repaints the drag text away
  app.mouseMove(Point{30, 30}, false);
  app.leftUp(Point{60, 40});
  std::set<std::pair<int, int>> outline;  // MoveTo/LineTo around the block, end points left out
  for (int k = 0; k < 50; ++k) outline.insert({{10 + k, 40}, {11 + k, 10}});
  for (int k = 0; k < 30; ++k) outline.insert({{10, 10 + k}, {60, 11 + k}});
  const auto inBlock = [](int x, int y) { return x >= 10 && x < 60 && y >= 10 && y < 40; };
  EXPECT_EQ(Mismatches(window(), 0, 0, 80, 60,
                       [&](int x, int y) {
                         return outline.count({x, y}) ? kOrange : inBlock(x, y) ? Pattern(x, y) : kBlack;
                       }),
            0);
  EXPECT_EQ(Mismatches(memory(), 0, 0, 80, 60,
                       [&](int x, int y) { return inBlock(x, y) ? Pattern(x, y) : kBlack; }),
            0);
  EXPECT_EQ(currentSelection().buffer, (Size{50, 30}));
}

TEST_F(SelectionTest, CutThenPasteWritesFortyNineByTwentyNineIntoBothSurfaces) {
  app.rightDown(Point{50, 50});
  select(Point{10, 10}, Point{20, 15});
  app.command(docid::kPaste);  // before any Cut: the fresh buffer is white
  EXPECT_EQ(Mismatches(memory(), 50, 50, 11, 6,
                       [](int x, int y) { return x && y && x < 10 && y < 5 ? kWhite : kBlack; }),
            0);

  select(Point{10, 10}, Point{60, 40});
  memory().set(12, 13, Rgb(1, 2, 3));  // Cut copies the memory surface as it is now
  app.command(docid::kCut);
  app.rightDown(Point{100, 100});
  app.command(docid::kPaste);
  const auto pasted = [](int x, int y) {
    if (x < 1 || y < 1 || x > 49 || y > 29) return kBlack;
    return x == 2 && y == 3 ? Rgb(1, 2, 3) : Pattern(10 + x, 10 + y);
  };
  EXPECT_EQ(Mismatches(memory(), 100, 100, 51, 31, pasted), 0);
  EXPECT_EQ(Mismatches(window(), 100, 100, 51, 31, pasted), 0);
  EXPECT_EQ(sourceMismatches(Pattern), 0);

  select(Point{60, 40}, Point{10, 10});  // leftward: the block lies right of and below the press point
  EXPECT_EQ(memory().get(109, 69), Pattern(109, 69));
  memory().takeDirty();
  app.command(docid::kPaste);  // and paste writes nothing
  EXPECT_EQ(memory().takeDirty(), Rect{});
}

TEST_F(SelectionTest, NewWhitensTheWindowKeepsTheImageAndReadoutModeDisablesAll) {
  app.command(docid::kNew);
  EXPECT_EQ(Mismatches(window(), 0, 0, 640, 480, Uniform(kWhite)), 0);
  app.restore();
  EXPECT_EQ(window().get(5, 5), kBlack);
  EXPECT_EQ(sourceMismatches(Pattern), 0);
  app.command(docid::kRgbValue);
  window().takeDirty();
  for (int id : {docid::kCut, docid::kPaste, docid::kNew}) app.command(id);
  EXPECT_EQ(window().takeDirty(), Rect{});
}

TEST_F(SelectionTest, NoMouseHistoryReachesOutsideAMatrixBufferOrSurface) {
  select(Point{-5000, -3000}, Point{70000, 90000});
  app.command(docid::kCut);
  app.command(docid::kPaste);
  select(Point{150, 100}, Point{400, 300});  // beyond the image: those cells stay white
  app.command(docid::kCut);
  app.rightDown(Point{0, 0});
  app.command(docid::kPaste);
  EXPECT_EQ(memory().get(49, 59), Pattern(199, 159));
  EXPECT_EQ(memory().get(50, 59), kWhite);
  app.leftDown(Point{0, 0});  // a press without release
  app.mouseMove(Point{-100000, 100000}, true);
  for (Point p : {Point{-30, -30}, Point{630, 470}, Point{1 << 30, -(1 << 30)}}) {
    app.command(docid::kCut);
    app.rightDown(p);
    app.command(docid::kPaste);
  }
  EXPECT_EQ(sourceMismatches(Pattern), 0);
  app.open("/nonexistent.bmp");  // no image: the outline only, no stale source pixels
  select(Point{10, 10}, Point{60, 40});
  EXPECT_EQ(window().get(30, 20), kWhite);
  app.command(docid::kCut);
  app.command(docid::kPaste);
  EXPECT_TRUE(memory().empty());
}

TEST_F(SelectionTest, ClipboardPasteAsksToSaveTheOldImageFirst) {
  Surface clip;
  clip.allocate(5, 4, Rgb(250, 1, 2));
  ui().queueMessageBoxAnswer(platform::IDCANCEL);
  app.key(CtrlKey('V'));  // disabled: sends nothing
  app.command(docid::kClipboardPaste);
  ui().setClipboard(clip);
  app.restore();
  const std::string saved = file("old.bmp");
  ui().queueFile(saved);
  const int paints = app.window().invalidations();
  app.key(CtrlKey('V'));
  EXPECT_EQ(app.window().invalidations(), paints);  // no repaint asked for
  EXPECT_EQ(boxes(),
            (Strings{"  Save Existing Bitmap File ? |OPTA|33", "  First Copy Image then Past it! |OPTA|0",
                     "  Save Existing Bitmap File ? |OPTA|33", "  try it |OPTA|0"}));
  EXPECT_EQ(ReadFileBytes(saved).size(), 3u * 200 * 160 + 54);  // saved while "try it" was up
  EXPECT_EQ(
      Mismatches(window(), 0, 0, 6, 5, [](int x, int y) { return x < 5 && y < 4 ? Rgb(250, 1, 2) : kWhite; }),
      0);
  EXPECT_EQ(sourceMismatches(Uniform(Rgb(250, 1, 2))), 0);
  EXPECT_EQ(doc().working.mask.size(), 20u);

  ui().clearRecords();
  doc().working.unload();
  doc().lastLoaded.bytes.clear();
  app.command(docid::kClipboardPaste);  // into an empty window: silent
  EXPECT_TRUE(boxes().empty() && doc().working.loaded);
}

}  // namespace
}  // namespace opta::testing
