#include "doc_app.h"

namespace opta::testing {
namespace {

TEST(ReadoutText, GrayPlusOneAndNegativeDifferencesAsUnsigned32Bits) {
  EXPECT_EQ(RgbReadoutText(Rgb(255, 0, 0)), "RED=255,GREEN=0,BLUE=0 ,GRAY VALUE=77");
  EXPECT_EQ(RgbReadoutText(kWhite), "RED=255,GREEN=255,BLUE=255 ,GRAY VALUE=255");
  EXPECT_EQ(RgbReadoutText(kBlack), "RED=0,GREEN=0,BLUE=0 ,GRAY VALUE=1");
  EXPECT_EQ(HsbReadoutText(kWhite), "Y=255 , R-Y=0 , B-Y=0 , G-Y=0 ");
  EXPECT_EQ(HsbReadoutText(Rgb(0, 0, 255)), "Y=29 , R-Y=4294967267 , B-Y=225 , G-Y=4294967267 ");
  EXPECT_EQ(HsbReadoutText(Rgb(255, 0, 0)), "Y=76 , R-Y=178 , B-Y=4294967220 , G-Y=4294967220 ");
}

using ViewTest = DocApp;

TEST_F(ViewTest, ReadoutTogglesNeedAnImageAndMoveTheMenuMarks) {
  app.command(docid::kHsbValue);
  EXPECT_EQ(boxes(), (Strings{"  First Open Bitmap File ! |OPTA|0"}));
  openPattern(4, 4);
  const auto menu = [&] {
    std::string s;
    for (int id : {docid::kRgbValue, docid::kHsbValue}) s += app.menu().state(id).checked ? "v" : "-";
    for (int id : {docid::kCut, docid::kCopy, docid::kPaste}) s += "EDG"[int(app.menu().state(id).enable)];
    return s;
  };
  EXPECT_EQ(menu(), "v-GGG");                                                        // start-up
  EXPECT_EQ(app.menu().state(docid::kClipboardPaste).enable, ItemEnable::Disabled);  // not greyed
  app.command(docid::kRgbValue);
  EXPECT_EQ(menu(), "--EEE");
  app.command(docid::kHsbValue);
  EXPECT_EQ(menu(), "-vGGG");
  app.command(docid::kRgbValue);
  EXPECT_EQ(menu(), "v-GGG");
  EXPECT_EQ(currentReadoutMode(), ReadoutMode::Rgb);
}

TEST_F(ViewTest, ReadoutClickDrawsTheResultOnTheWindowOnlyAndInsideTheImageOnly) {
  openPattern(100, 50);
  paintOver(Rgb(0, 0, 255));
  Surface expected;
  expected.allocate(640, 480);
  expected.copyFrom(window(), 0, 0, 0, 0, 640, 480);
  expected.drawText(99, 49, "RED=0,GREEN=0,BLUE=255 ,GRAY VALUE=29");
  window().takeDirty();
  for (Point p : {Point{100, 10}, Point{10, 50}, Point{-1, 5}, Point{5, -1}}) app.leftDown(p);
  EXPECT_EQ(window().takeDirty(), Rect{});
  app.leftDown(Point{99, 49});
  EXPECT_EQ(Mismatches(window(), 0, 0, 640, 480, [&](int x, int y) { return expected.get(x, y); }), 0);
  EXPECT_EQ(Mismatches(memory(), 0, 0, 100, 50, Uniform(Rgb(0, 0, 255))), 0);
  app.leftUp(Point{99, 49});  // the repaint wipes the text
  EXPECT_EQ(window().get(120, 55), kWhite);
}

TEST_F(ViewTest, RestoreStretchAndCenter) {
  app.command(docid::kRestoreImage);  // silent frame
  app.command(docid::kCenter);        // plain frame
  EXPECT_EQ(boxes(), (Strings{"First Open a BITMAP image !!|BOPTA|48"}));
  openPattern(643, 4);
  paintOver(kBlack);
  app.key(AltChar('r'));
  EXPECT_EQ(Mismatches(window(), 0, 0, 640, 4, Pattern), 0);
  app.command(docid::kCenter);
  // (640 - 643) / 2 truncates to -1 and (480 - 4) / 2 is 238.
  EXPECT_EQ(Mismatches(window(), 0, 237, 640, 6,
                       [](int x, int y) { return y == 0 || y == 5 ? kWhite : Pattern(x + 1, y - 1); }),
            0);
  app.command(50186);  // Stretch from the toolbar
  EXPECT_EQ(
      Mismatches(window(), 0, 0, 640, 480, [](int x, int y) { return Pattern(x * 643 / 640, y * 4 / 480); }),
      0);
  app.restore();  // covered and uncovered: normal size again
  EXPECT_EQ(window().get(0, 4), kWhite);
}

TEST_F(ViewTest, DetailsReportTheWorkingSizeAndTheLastFilesHeaderThenTheToolbarGoes) {
  app.key(CtrlKey('D'));
  EXPECT_FALSE(app.window().toolbar().exists);
  app.command(50169);
  openPattern(7, 5);
  openAlso(MakeBmp24(2, 3, Pattern));
  app.command(50168);  // the popup's "Properties"
  EXPECT_EQ(boxes(), (Strings{"First Open a BITMAP image !!|BOPTA|48",
                              "Width in pixels: 7\nHeight in pixels: 5\nNumber of Colour Planes: 1\n"
                              "Bits per pixel: 24\nArea of Bitmap: 140|OPTA|0"}));
  EXPECT_FALSE(app.window().toolbar().exists);
}

}  // namespace
}  // namespace opta::testing
