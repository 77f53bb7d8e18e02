#include "doc_app.h"

namespace opta::testing {
namespace {

using platform::MB_ICONEXCLAMATION;
using platform::MB_OK;

TEST(ReadoutText, RgbGrayIsTheTruncatedProductsPlusOne) {
  EXPECT_EQ(RgbReadoutText(Rgb(255, 0, 0)), "RED=255,GREEN=0,BLUE=0 ,GRAY VALUE=77");
  EXPECT_EQ(RgbReadoutText(kWhite), "RED=255,GREEN=255,BLUE=255 ,GRAY VALUE=255");
  EXPECT_EQ(RgbReadoutText(kBlack), "RED=0,GREEN=0,BLUE=0 ,GRAY VALUE=1");
  EXPECT_EQ(RgbReadoutText(Rgb(0, 0, 255)), "RED=0,GREEN=0,BLUE=255 ,GRAY VALUE=29");
  // Bits 24-31 never reach the channels.
  EXPECT_EQ(RgbReadoutText(0xFF000000u | Rgb(1, 2, 3)), RgbReadoutText(Rgb(1, 2, 3)));
}

TEST(ReadoutText, HsbDifferencesPrintNegativeValuesAsUnsigned32Bits) {
  EXPECT_EQ(HsbReadoutText(kWhite), "Y=255 , R-Y=0 , B-Y=0 , G-Y=0 ");
  EXPECT_EQ(HsbReadoutText(kBlack), "Y=0 , R-Y=0 , B-Y=0 , G-Y=0 ");
  EXPECT_EQ(HsbReadoutText(Rgb(0, 0, 255)), "Y=29 , R-Y=4294967267 , B-Y=225 , G-Y=4294967267 ");
  EXPECT_EQ(HsbReadoutText(Rgb(255, 0, 0)), "Y=76 , R-Y=178 , B-Y=4294967220 , G-Y=4294967220 ");
}

TEST(ReadoutText, HsbKeepsEachStepInSinglePrecision) {
  // Straight from the rule, with the single-precision steps spelled out.
  for (int r = 0; r < 256; r += 5)
    for (int g = 0; g < 256; g += 7)
      for (int b = 0; b < 256; b += 3) {
        const float y = static_cast<float>(0.299 * r + 0.587 * g + 0.114 * b);
        const float ry = static_cast<float>(0.701 * r - 0.587 * g - 0.114 * b);
        const float by = static_cast<float>(-0.299 * r - 0.587 * g + 0.886 * b);
        const float gy = static_cast<float>(-0.509 * ry - 0.194 * by);
        const auto u = [](float v) {
          return std::to_string(static_cast<std::uint32_t>(static_cast<int>(v)));
        };
        ASSERT_EQ(HsbReadoutText(Rgb(r, g, b)),
                  "Y=" + u(y) + " , R-Y=" + u(ry) + " , B-Y=" + u(by) + " , G-Y=" + u(gy) + " ");
      }
}

using ReadoutTest = DocApp;

TEST_F(ReadoutTest, StartsInRgbWithTheSelectionItemsGreyed) {
  EXPECT_EQ(currentReadoutMode(), ReadoutMode::Rgb);
  EXPECT_TRUE(app.menu().state(docid::kRgbValue).checked);
  EXPECT_FALSE(app.menu().state(docid::kHsbValue).checked);
  for (int id : {docid::kCut, docid::kCopy, docid::kPaste})
    EXPECT_EQ(app.menu().state(id).enable, ItemEnable::Grayed) << id;
  EXPECT_EQ(app.menu().state(docid::kClipboardPaste).enable, ItemEnable::Disabled);
}

TEST_F(ReadoutTest, TogglesNeedAnImage) {
  app.command(docid::kRgbValue);
  app.command(docid::kHsbValue);
  ASSERT_EQ(ui().messageBoxes().size(), 2u);
  for (const auto& b : ui().messageBoxes()) {
    EXPECT_EQ(b.text, "  First Open Bitmap File ! ");
    EXPECT_EQ(b.caption, "OPTA");
    EXPECT_EQ(b.flags, MB_OK);
    EXPECT_FALSE(b.ownedByMainWindow);
  }
  EXPECT_EQ(currentReadoutMode(), ReadoutMode::Rgb);
  EXPECT_TRUE(app.menu().state(docid::kRgbValue).checked);
}

TEST_F(ReadoutTest, TogglesMoveBetweenTheThreeModesWithTheirMenuMarks) {
  openPattern(4, 4);
  const auto expectMenu = [&](bool rgb, bool hsb, ItemEnable selection) {
    EXPECT_EQ(app.menu().state(docid::kRgbValue).checked, rgb);
    EXPECT_EQ(app.menu().state(docid::kHsbValue).checked, hsb);
    for (int id : {docid::kCut, docid::kCopy, docid::kPaste})
      EXPECT_EQ(app.menu().state(id).enable, selection);
  };
  app.command(docid::kRgbValue);
  EXPECT_EQ(currentReadoutMode(), ReadoutMode::None);
  expectMenu(false, false, ItemEnable::Enabled);
  app.command(docid::kHsbValue);
  EXPECT_EQ(currentReadoutMode(), ReadoutMode::Hsb);
  expectMenu(false, true, ItemEnable::Grayed);
  app.command(docid::kRgbValue);
  EXPECT_EQ(currentReadoutMode(), ReadoutMode::Rgb);
  expectMenu(true, false, ItemEnable::Grayed);
  app.command(docid::kHsbValue);
  app.command(docid::kHsbValue);
  EXPECT_EQ(currentReadoutMode(), ReadoutMode::None);
  expectMenu(false, false, ItemEnable::Enabled);
  // Opening another image keeps the mode.
  openPattern(2, 2);
  EXPECT_EQ(currentReadoutMode(), ReadoutMode::None);
  EXPECT_TRUE(ui().messageBoxes().empty());
}

TEST_F(ReadoutTest, ClickDrawsTheCurrentResultsValuesOnTheWindowOnly) {
  openPattern(100, 50, Uniform(Rgb(0, 0, 255)));
  // An operation's result: the read-out shows it, not the source matrix.
  memory().fillRect(0, 0, 100, 50, Rgb(255, 0, 0));
  const PixelMatrix before = [&] {
    PixelMatrix m;
    m.copyFrom(memory().pixels());
    return m;
  }();
  Surface expected;
  expected.allocate(kClient.width, kClient.height);
  expected.copyFrom(window(), 0, 0, 0, 0, kClient.width, kClient.height);
  expected.drawText(20, 10, "RED=255,GREEN=0,BLUE=0 ,GRAY VALUE=77");

  app.leftDown(Point{20, 10});
  EXPECT_EQ(Mismatches(window(), 0, 0, kClient.width, kClient.height,
                       [&](int x, int y) { return expected.get(x, y); }),
            0);
  EXPECT_EQ(Mismatches(memory(), 0, 0, 100, 50, [&](int x, int y) { return before.at(x, y); }), 0);

  // The release repaints, which wipes the text.
  app.leftUp(Point{20, 10});
  EXPECT_EQ(Mismatches(window(), 0, 0, 100, 50, Uniform(Rgb(255, 0, 0))), 0);
  EXPECT_EQ(window().get(300, 15), kWhite);

  app.command(docid::kHsbValue);
  expected.copyFrom(window(), 0, 0, 0, 0, kClient.width, kClient.height);
  expected.drawText(99, 49, "Y=76 , R-Y=178 , B-Y=4294967220 , G-Y=4294967220 ");
  app.leftDown(Point{99, 49});
  EXPECT_EQ(Mismatches(window(), 0, 0, kClient.width, kClient.height,
                       [&](int x, int y) { return expected.get(x, y); }),
            0);
}

TEST_F(ReadoutTest, ClicksBesideTheImageShowNothing) {
  openPattern(100, 50);
  window().takeDirty();
  const int before = app.window().invalidations();
  for (Point p : {Point{100, 10}, Point{10, 50}, Point{-1, 5}, Point{5, -1}, Point{70000, 70000}}) {
    app.leftDown(p);
    EXPECT_EQ(window().takeDirty(), Rect{}) << p.x << "," << p.y;
  }
  EXPECT_EQ(app.window().invalidations(), before);
}

using ViewTest = DocApp;

TEST_F(ViewTest, RestorePutsTheSourceBackAndRepaints) {
  app.command(docid::kRestoreImage);  // silent without an image
  EXPECT_TRUE(ui().messageBoxes().empty());

  openPattern(30, 20);
  paintOver(kBlack);
  const int before = app.window().invalidations();
  app.key(AltChar('r'));
  EXPECT_EQ(Mismatches(memory(), 0, 0, 30, 20, Pattern), 0);
  EXPECT_EQ(Mismatches(window(), 0, 0, 30, 20, Pattern), 0);
  EXPECT_EQ(app.window().invalidations(), before + 1);
}

TEST_F(ViewTest, StretchFillsTheClientAreaUntilTheNextRepaint) {
  app.command(docid::kStretch);
  ASSERT_EQ(boxTexts(), (std::vector<std::string>{"First Open a BITMAP image !!"}));

  openPattern(4, 2);
  app.command(50186);  // the toolbar button
  EXPECT_EQ(Mismatches(window(), 0, 0, kClient.width, kClient.height,
                       [](int x, int y) { return Pattern(x * 4 / kClient.width, y * 2 / kClient.height); }),
            0);
  EXPECT_EQ(Mismatches(memory(), 0, 0, 4, 2, Pattern), 0);
  app.restore();  // covered and uncovered
  EXPECT_EQ(window().get(10, 10), kWhite);
  EXPECT_EQ(Mismatches(window(), 0, 0, 4, 2, Pattern), 0);
}

TEST_F(ViewTest, CenterTruncatesTheOffsetTowardZero) {
  openPattern(7, 5);
  app.command(docid::kCenter);
  // (640 - 7) / 2 = 316, (480 - 5) / 2 = 237.
  EXPECT_EQ(Mismatches(window(), 316, 237, 7, 5, Pattern), 0);
  EXPECT_EQ(window().get(315, 237), kWhite);
  EXPECT_EQ(window().get(0, 0), kWhite);

  // 3 pixels wider than the client: (640 - 643) / 2 is -1, not -2.
  openPattern(643, 5);
  app.command(docid::kCenter);
  EXPECT_EQ(Mismatches(window(), 0, 237, 640, 5, [](int x, int y) { return Pattern(x + 1, y); }), 0);
}

TEST_F(ViewTest, DetailsReportTheLastFilesHeaderThenTheToolbarGoes) {
  openPattern(7, 5);
  ASSERT_TRUE(app.window().toolbar().exists);
  app.key(CtrlKey('D'));
  ASSERT_EQ(ui().messageBoxes().size(), 1u);
  const headless::MessageBoxRecord box = ui().messageBoxes()[0];
  EXPECT_EQ(box.text,
            "Width in pixels: 7\nHeight in pixels: 5\nNumber of Colour Planes: 1\nBits per pixel: 24\n"
            "Area of Bitmap: 140");
  EXPECT_EQ(box.caption, "OPTA");
  EXPECT_EQ(box.flags, MB_OK);
  EXPECT_FALSE(box.ownedByMainWindow);
  EXPECT_FALSE(app.window().toolbar().exists);

  // The header comes from the last file read, here the second image's.
  // The size stays the working image's.
  openAlso(MakeBmp24(2, 3, Pattern));
  ASSERT_TRUE(doc().second.loaded);
  ui().clearRecords();
  app.command(50168);  // the popup's "Properties"
  ASSERT_EQ(ui().messageBoxes().size(), 1u);
  EXPECT_EQ(ui().messageBoxes()[0].text, box.text);
}

TEST_F(ViewTest, DetailsWithoutAnImageStillDestroyTheToolbar) {
  app.command(docid::kShowImageDetails);
  ASSERT_EQ(ui().messageBoxes().size(), 1u);
  EXPECT_EQ(ui().messageBoxes()[0].text, "First Open a BITMAP image !!");
  EXPECT_EQ(ui().messageBoxes()[0].caption, "BOPTA");
  EXPECT_EQ(ui().messageBoxes()[0].flags, MB_ICONEXCLAMATION);
  EXPECT_FALSE(app.window().toolbar().exists);
}

}  // namespace
}  // namespace opta::testing
