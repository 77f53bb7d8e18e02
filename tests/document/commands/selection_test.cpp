#include <set>

#include "doc_app.h"
#include "document/dib_file.h"

namespace opta::testing {
namespace {

using platform::IDCANCEL;
using platform::IDOK;
using platform::MB_ICONQUESTION;
using platform::MB_OK;
using platform::MB_OKCANCEL;

constexpr Colour kOrange = 0x7FFF;

PixelMatrix Copy(const PixelMatrix& m) {
  PixelMatrix out;
  out.copyFrom(m);
  return out;
}

ColourAt From(const PixelMatrix& m, int ox = 0, int oy = 0) {
  return [&m, ox, oy](int x, int y) { return m.contains(ox + x, oy + y) ? m.at(ox + x, oy + y) : 0xDEAD; };
}

class SelectionTest : public DocApp {
 protected:
  void SetUp() override {
    DocApp::SetUp();
    openPattern(200, 160);
    leaveReadout();
  }
};

TEST_F(SelectionTest, ReleaseDrawsAnOrangeOutlineAroundTheBlockAsLoaded) {
  paintOver(kBlack);  // an operation's result over the whole image
  app.leftDown(Point{10, 10});
  app.leftUp(Point{60, 40});
  // The outline as drawn last: left and top edges from the press point,
  // right and bottom edges on the release point.
  std::set<std::pair<int, int>> outline;
  for (int y = 10; y < 40; ++y) outline.insert({10, y});
  for (int x = 10; x < 60; ++x) outline.insert({x, 40});
  for (int y = 40; y > 10; --y) outline.insert({60, y});
  for (int x = 60; x > 10; --x) outline.insert({x, 10});
  int bad = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 80; ++x) {
      Colour want = kBlack;
      if (outline.count({x, y})) {
        want = kOrange;
      } else if (x >= 10 && x < 60 && y >= 10 && y < 40) {
        want = Pattern(x, y);  // the 50 x 30 block as loaded
      }
      bad += window().get(x, y) != want;
    }
  EXPECT_EQ(bad, 0);
  // The memory surface gets the restored block, never the outline.
  EXPECT_EQ(Mismatches(memory(), 10, 10, 50, 30, [](int x, int y) { return Pattern(10 + x, 10 + y); }), 0);
  EXPECT_EQ(memory().get(60, 40), kBlack);
  EXPECT_EQ(memory().get(9, 9), kBlack);
  EXPECT_EQ(currentSelection().buffer, (Size{50, 30}));
  // The device context's pen and mode do not outlive the event.
  EXPECT_EQ(window().dc().penColour, kBlack);
}

TEST_F(SelectionTest, PressRepaintsAndDragShowsTheSignedSizeAtThePressPoint) {
  app.leftDown(Point{50, 30});
  EXPECT_EQ(window().get(50, 30), Pattern(50, 30));  // the press repainted
  Surface expected;
  expected.allocate(kClient.width, kClient.height);
  expected.copyFrom(window(), 0, 0, 0, 0, kClient.width, kClient.height);
  expected.drawText(50, 30, "-20 x 15");
  app.mouseMove(Point{30, 45}, true);
  EXPECT_EQ(Mismatches(window(), 0, 0, kClient.width, kClient.height,
                       [&](int x, int y) { return expected.get(x, y); }),
            0);
  EXPECT_EQ(currentSelection().drag, (Point{30, 45}));
  window().takeDirty();
  app.mouseMove(Point{90, 90}, false);  // without the button nothing is drawn
  EXPECT_EQ(window().takeDirty(), Rect{});
  EXPECT_EQ(Mismatches(memory(), 0, 0, 200, 160, Pattern), 0);
}

TEST_F(SelectionTest, CutAndPasteMoveFortyNineByTwentyNinePixels) {
  paintOver(Rgb(9, 9, 9));
  memory().fillRect(10, 10, 60, 40, Rgb(1, 2, 3));  // Cut reads the current result
  memory().set(11, 11, Rgb(4, 5, 6));
  const PixelMatrix before = Copy(memory().pixels());
  app.leftDown(Point{10, 10});
  app.leftUp(Point{60, 40});  // restores the block from the source matrix into memory
  const PixelMatrix cutFrom = Copy(memory().pixels());
  app.command(docid::kCut);
  EXPECT_EQ(Mismatches(memory(), 0, 0, 200, 160, From(cutFrom)), 0);  // Cut changes nothing
  app.rightDown(Point{100, 100});
  EXPECT_EQ(currentSelection().paste, (Point{100, 100}));
  app.command(docid::kPaste);
  for (Surface* s : {&window(), &memory()}) {
    // Buffer column 0 and row 0 are not written.
    EXPECT_EQ(Mismatches(*s, 101, 101, 49, 29, From(cutFrom, 11, 11)), 0);
    EXPECT_EQ(s->get(100, 110), before.at(100, 110));
    EXPECT_EQ(s->get(110, 100), before.at(110, 100));
    EXPECT_EQ(s->get(150, 110), before.at(150, 110));
    EXPECT_EQ(s->get(110, 130), before.at(110, 130));
  }
  EXPECT_EQ(Mismatches(doc().working.pixels, Pattern), 0);  // the source is never written

  // Restore removes the pasted block again.
  app.command(docid::kRestoreImage);
  EXPECT_EQ(Mismatches(memory(), 0, 0, 200, 160, Pattern), 0);
}

TEST_F(SelectionTest, PasteBeforeAnyCutWritesWhite) {
  select(Point{10, 10}, Point{20, 15});
  app.rightDown(Point{50, 50});
  app.command(docid::kPaste);
  EXPECT_EQ(Mismatches(memory(), 51, 51, 9, 4, Uniform(kWhite)), 0);
  EXPECT_EQ(memory().get(50, 50), Pattern(50, 50));
  EXPECT_EQ(memory().get(60, 52), Pattern(60, 52));
}

TEST_F(SelectionTest, ADragUpAndLeftCutsBelowRightAndPastesNothing) {
  paintOver(kBlack);
  select(Point{60, 40}, Point{10, 10});
  // Restored: the 50 x 30 block whose top-left corner is the press point.
  EXPECT_EQ(Mismatches(memory(), 60, 40, 50, 30, [](int x, int y) { return Pattern(60 + x, 40 + y); }), 0);
  EXPECT_EQ(memory().get(30, 20), kBlack);
  app.command(docid::kCut);
  app.rightDown(Point{0, 0});
  memory().takeDirty();
  app.command(docid::kPaste);
  EXPECT_EQ(memory().takeDirty(), Rect{});
}

TEST_F(SelectionTest, NewWhitensTheScreenSizeButKeepsTheImage) {
  app.command(docid::kNew);
  EXPECT_EQ(Mismatches(window(), 0, 0, kClient.width, kClient.height, Uniform(kWhite)), 0);
  EXPECT_TRUE(doc().working.loaded);
  EXPECT_EQ(Mismatches(doc().working.pixels, Pattern), 0);
  EXPECT_EQ(Mismatches(memory(), 0, 0, 200, 160, Pattern), 0);
  app.restore();
  EXPECT_EQ(Mismatches(window(), 0, 0, 200, 160, Pattern), 0);
}

TEST_F(SelectionTest, CutPasteAndNewDoNothingInAReadoutMode) {
  select(Point{10, 10}, Point{60, 40});
  app.rightDown(Point{100, 100});
  app.command(docid::kHsbValue);
  ASSERT_EQ(currentReadoutMode(), ReadoutMode::Hsb);
  window().takeDirty();
  memory().takeDirty();
  for (int id : {docid::kCut, docid::kPaste, docid::kNew}) app.command(id);
  EXPECT_EQ(window().takeDirty(), Rect{});
  EXPECT_EQ(memory().takeDirty(), Rect{});
  // The right button now asks for the popup instead of moving the paste point.
  app.rightDown(Point{5, 5});
  EXPECT_EQ(currentSelection().paste, (Point{100, 100}));
}

TEST_F(SelectionTest, NoMouseHistoryReachesOutsideAMatrixBufferOrSurface) {
  // Far outside, negative, reversed, a press with no release, and a paste
  // point beyond every surface: nothing may crash or touch the source.
  select(Point{-5000, -3000}, Point{70000, 90000});
  app.command(docid::kCut);
  app.command(docid::kPaste);
  select(Point{190, 150}, Point{-20, -20});
  app.command(docid::kCut);
  select(Point{150, 100}, Point{400, 300});  // reaches beyond the image
  app.command(docid::kCut);
  app.leftDown(Point{0, 0});  // press with no release: points no longer match the buffer
  app.mouseMove(Point{-100000, 100000}, true);
  app.command(docid::kCut);
  app.rightDown(Point{-30, -30});
  app.command(docid::kPaste);
  app.rightDown(Point{630, 470});
  app.command(docid::kPaste);
  app.rightDown(Point{1 << 30, -(1 << 30)});
  app.command(docid::kPaste);
  EXPECT_EQ(Mismatches(doc().working.pixels, Pattern), 0);
  EXPECT_EQ(memory().size(), (Size{200, 160}));
  EXPECT_EQ(currentSelection().buffer, (Size{250, 200}));

  // The block beyond the image: cells outside it were skipped by Cut, so
  // they paste as the fresh buffer's white.
  select(Point{150, 100}, Point{400, 300});
  app.command(docid::kCut);
  app.rightDown(Point{0, 0});
  app.command(docid::kPaste);
  EXPECT_EQ(memory().get(1, 1), Pattern(151, 101));
  EXPECT_EQ(memory().get(49, 59), Pattern(199, 159));
  EXPECT_EQ(memory().get(50, 59), kWhite);
  EXPECT_EQ(memory().get(49, 60), kWhite);
}

TEST_F(SelectionTest, SelectionWithoutAnImageDrawsOnlyTheOutline) {
  app.open("/nonexistent.bmp");
  ASSERT_FALSE(doc().working.loaded);
  select(Point{10, 10}, Point{60, 40});
  EXPECT_EQ(window().get(10, 10), kOrange);
  EXPECT_EQ(window().get(30, 20), kWhite);  // no stale source pixels
  app.command(docid::kCut);
  app.rightDown(Point{0, 0});
  app.command(docid::kPaste);
  EXPECT_TRUE(memory().empty());
}

using ClipboardTest = DocApp;

Surface Bitmap(int w, int h, const ColourAt& colour) {
  Surface s;
  s.allocate(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.set(x, y, colour(x, y));
  return s;
}

const ColourAt kClip = [](int x, int y) { return Rgb(250, x * 3, y * 5); };

TEST_F(ClipboardTest, PasteStateFollowsTheClipboardAtEveryPaint) {
  EXPECT_EQ(app.menu().state(docid::kClipboardPaste).enable, ItemEnable::Disabled);
  EXPECT_FALSE(app.key(CtrlKey('V')) && doc().working.loaded);
  ui().setClipboard(Bitmap(5, 4, kClip));
  app.restore();
  EXPECT_EQ(app.menu().state(docid::kClipboardPaste).enable, ItemEnable::Enabled);
  app.key(CtrlKey('V'));
  EXPECT_TRUE(doc().working.loaded);
  ui().clearClipboard();
  app.restore();
  EXPECT_EQ(app.menu().state(docid::kClipboardPaste).enable, ItemEnable::Disabled);
}

TEST_F(ClipboardTest, IntoAnEmptyWindowSilently) {
  ui().setClipboard(Bitmap(5, 4, kClip));
  app.pump();
  const int before = app.window().invalidations();
  app.command(docid::kClipboardPaste);
  EXPECT_TRUE(ui().messageBoxes().empty());
  ASSERT_TRUE(doc().working.loaded);
  EXPECT_EQ(Mismatches(doc().working.pixels, kClip), 0);
  EXPECT_EQ(Mismatches(window(), 0, 0, 5, 4, kClip), 0);
  EXPECT_EQ(doc().working.gray.width(), 5);
  EXPECT_EQ(doc().working.mask.height(), 4);
  EXPECT_EQ(app.window().invalidations(), before);  // no repaint requested

  // Nothing ever read from a file: Save still ends the program.
  ui().queueFile(file("x.bmp", {}));
  app.command(docid::kSave);
  EXPECT_TRUE(app.exited());
}

TEST_F(ClipboardTest, OverAnImageAsksToSaveFirstAndSavesTheImageBeforeThePaste) {
  openPattern(30, 20);
  ui().setClipboard(Bitmap(5, 4, kClip));
  const std::string saved = file("before-paste.bmp", {});
  ui().queueMessageBoxAnswer(IDOK);
  ui().queueFile(saved);
  app.command(docid::kClipboardPaste);

  ASSERT_EQ(ui().messageBoxes().size(), 2u);
  EXPECT_EQ(ui().messageBoxes()[0].text, "  Save Existing Bitmap File ? ");
  EXPECT_EQ(ui().messageBoxes()[0].caption, "OPTA");
  EXPECT_EQ(ui().messageBoxes()[0].flags, MB_OKCANCEL | MB_ICONQUESTION);
  EXPECT_EQ(ui().messageBoxes()[1].text, "  try it ");
  EXPECT_EQ(ui().messageBoxes()[1].flags, MB_OK);
  // The posted Save ran while "try it" was up, on the 30 x 20 image.
  EXPECT_EQ(ReadFileBytes(saved).size(), 3u * 30 * 20 + 54);

  EXPECT_EQ(memory().size(), (Size{5, 4}));
  EXPECT_EQ(Mismatches(doc().working.pixels, kClip), 0);
  EXPECT_EQ(Mismatches(window(), 0, 0, 5, 4, kClip), 0);
  EXPECT_EQ(window().get(10, 10), kWhite);  // the old picture was whitened
  // A change to the clipboard later does not reach the image.
  ui().setClipboard(Bitmap(5, 4, Uniform(kBlack)));
  EXPECT_EQ(memory().get(0, 0), kClip(0, 0));

  app.command(docid::kShowImageDetails);
  EXPECT_EQ(ui().messageBoxes().back().text.substr(0, 38), "Width in pixels: 5\nHeight in pixels: 4");
}

TEST_F(ClipboardTest, CancelSkipsTheSaveAndAnEmptyClipboardIsReported) {
  openPattern(30, 20);
  ui().queueMessageBoxAnswer(IDCANCEL);
  app.command(docid::kClipboardPaste);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"  Save Existing Bitmap File ? ",
                                                  "  First Copy Image then Past it! "}));
  EXPECT_TRUE(ui().fileDialogs().size() == 1u);  // only the Open's
  EXPECT_EQ(memory().size(), (Size{30, 20}));

  doc().working.unload();
  ui().clearRecords();
  app.command(docid::kClipboardPaste);
  EXPECT_TRUE(ui().messageBoxes().empty());
  EXPECT_FALSE(doc().working.loaded);
}

}  // namespace
}  // namespace opta::testing
