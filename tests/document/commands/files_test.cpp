#include <algorithm>

#include "doc_app.h"
#include "document/dib_file.h"
#include "document/save_file.h"

namespace opta::testing {
namespace {

constexpr int kTwoImageItems[] = {40050, 40051, 40052, 40053, 40054, 40055, 40056,
                                  40057, 40059, 40060, 40061, 40062, 40063, 40064};
using FilesTest = DocApp;

TEST_F(FilesTest, BothRoadsFillMemorySourceAndWindow) {
  // Marked, unpadded 319-pixel rows: only the own reader gets them right, and
  // it draws on screen before any repaint. The padded standard file goes
  // through the decoder by accelerator.
  const std::size_t menuChanges = app.window().menuChanges().size();
  ui().queueFile(file("saved.bmp", MakeBmp24(319, 240, Pattern, false, 1)));
  app.shell().onCommand(docid::kOpen);
  EXPECT_EQ(Mismatches(window(), 0, 0, 319, 240, Pattern), 0);
  app.pump();
  EXPECT_EQ(Mismatches(memory(), 0, 0, 319, 240, Pattern), 0);
  EXPECT_EQ(sourceMismatches(Pattern), 0);
  ui().queueFile(file("std.bmp", MakeBmp24(7, 5, Pattern)));
  app.key(AltChar('o'));
  ASSERT_EQ(memory().size(), (Size{7, 5}));
  EXPECT_EQ(Mismatches(memory(), 0, 0, 7, 5, Pattern), 0);
  EXPECT_EQ(sourceMismatches(Pattern), 0);
  EXPECT_EQ(doc().working.mask.width(), 7);
  EXPECT_EQ(Mismatches(window(), 0, 0, 319, 5, [](int x, int y) { return x < 7 ? Pattern(x, y) : kWhite; }),
            0);
  EXPECT_TRUE(boxes().empty());
  EXPECT_EQ(app.window().menuChanges().size(), menuChanges);  // Open touches no menu item
  EXPECT_EQ(ui().cursor(), platform::CursorShape::Arrow);
  // The file's pixel bytes are not kept beside the picture; its headers are,
  // for the marker and the details.
  EXPECT_EQ(doc().lastLoaded.bytes.size(), 54u);
  EXPECT_EQ(FileBitCount(doc().lastLoaded), 24);
}

TEST_F(FilesTest, FailedOpensDiscardBothImagesAndCancelRepaintsOnlyForASecond) {
  openPattern(4, 4);
  openAlso(MakeBmp24(2, 2, Pattern));
  ui().queueFile(std::nullopt);
  int paints = app.window().invalidations();
  app.command(docid::kOpen);
  EXPECT_EQ(app.window().invalidations(), paints + 1);
  ASSERT_TRUE(doc().second.loaded);

  std::vector<std::uint8_t> offByOne = MakeBmp24(4, 4, Pattern);
  offByOne[2] += 1;  // bfSize one byte more than the file
  std::vector<std::uint8_t> thirteenBits = MakeBmp24(4, 4, Pattern);
  thirteenBits[28] = 13;
  app.open(file("off.bmp", offByOne));
  EXPECT_FALSE(doc().working.loaded || doc().second.loaded);
  app.open("/nonexistent/none.bmp");
  app.open(file("odd.bmp", thirteenBits));
  const std::string cannot = "Cannot load DIB file|OPTA|48|owned";
  EXPECT_EQ(boxes(), (Strings{"bsuccess||0", cannot, cannot, cannot}));

  paints = app.window().invalidations();
  ui().queueFile(std::nullopt);
  app.command(docid::kOpen);
  EXPECT_EQ(app.window().invalidations(), paints);
}

TEST_F(FilesTest, OpenAlsoNeedsAnImageThenEnablesTheTwoImageItemsForGood) {
  openAlso(MakeBmp24(2, 2, Pattern));
  EXPECT_TRUE(ui().fileDialogs().empty());
  ui().clearScripts();  // the unasked answer
  EXPECT_EQ(app.menu().state(40050).enable, ItemEnable::Grayed);
  openPattern(6, 4);
  const ColourAt second = [](int x, int y) { return Rgb(200, x * 10, y * 10); };
  openAlso(MakeBmp24(13, 3, second, false, 1));
  ASSERT_TRUE(doc().second.loaded);
  EXPECT_EQ(Mismatches(doc().second.memory, 0, 0, 13, 3, second), 0);
  EXPECT_EQ(Mismatches(window(), 0, 0, 13, 3, second), 0);  // the repaint shows the second image
  EXPECT_EQ(Mismatches(memory(), 0, 0, 6, 4, Pattern), 0);
  for (int id : kTwoImageItems) EXPECT_EQ(app.menu().state(id).enable, ItemEnable::Enabled) << id;

  std::vector<std::uint8_t> noBM = MakeBmp24(2, 2, Pattern);
  noBM[0] = 'X';
  openAlso(noBM);
  ui().queueFile("/nonexistent/second.bmp");
  app.command(docid::kOpenAlso);
  EXPECT_EQ(boxes(), (Strings{"bsuccess||0"}));
  EXPECT_FALSE(doc().second.loaded);
  EXPECT_EQ(app.menu().state(40064).enable, ItemEnable::Enabled);
}

TEST_F(FilesTest, SaveWritesTheCurrentResultUnpadded) {
  openPattern(3, 2);
  memory().set(2, 0, Rgb(1, 2, 3));  // saved: the result, not the source
  const std::string out = file("out.bmp");
  ui().queueFile(out);
  app.key(AltChar('s'));
  const std::vector<std::uint8_t> bytes = ReadFileBytes(out);
  ASSERT_EQ(bytes.size(), 72u);
  EXPECT_EQ(bytes, EncodeSavedBmp(memory()));
  EXPECT_EQ(std::vector<int>(bytes.end() - 3, bytes.end()), (std::vector<int>{3, 2, 1}));

  app.open(out);  // back through the own reader
  EXPECT_EQ(sourceMismatches([](int x, int y) { return x == 2 && y == 0 ? Rgb(1, 2, 3) : Pattern(x, y); }),
            0);
  openAlso(MakeBmp24(2, 2, Pattern));
  const int paints = app.window().invalidations();
  ui().queueFile("/nonexistent/dir/out.bmp");
  app.command(docid::kSaveAs);
  EXPECT_TRUE(boxes().empty());                         // write failures are silent
  EXPECT_EQ(app.window().invalidations(), paints + 1);  // the second image comes back
}

TEST_F(FilesTest, SaveWithoutAnImageReportsOrEndsTheProgram) {
  openPattern(3, 2);
  app.open("/nonexistent.bmp");  // bytes of the earlier file remain, no bitmap
  ui().clearRecords();
  const std::string out = file("none.bmp");
  std::filesystem::remove(out);
  ui().queueFile(out);
  app.command(docid::kSave);
  EXPECT_EQ(boxes(), (Strings{"First Open a BITMAP image !!|BOPTA|48"}));
  EXPECT_FALSE(std::filesystem::exists(out) || app.exited());

  doc().lastLoaded.bytes.clear();  // as if nothing had ever been read
  ui().queueFile(out);
  app.command(docid::kSave);
  EXPECT_EQ(app.exitCode(), 0);
  EXPECT_FALSE(std::filesystem::exists(out));
}

// The analysis commands read the mask a segmentation left; a new picture of
// the same size must not inherit it, nor a first one find memory never written.
TEST_F(FilesTest, OpenAndPasteStartTheMaskEmpty) {
  constexpr int kTrfg = 40109, kRbcGeneral = 40199;
  const std::string smear = std::string(OPTA_SOURCE_DIR) + "/data/samples/smear.bmp";
  const auto countOf = [&] {
    ui().clearRecords();
    app.command(kRbcGeneral);
    return boxes().back();
  };
  app.open(smear);
  ASSERT_TRUE(doc().working.loaded);
  const ByteMatrix& mask = doc().working.mask;
  EXPECT_EQ(std::count(mask.data(), mask.data() + mask.size(), 0), 1024 * 768);
  app.command(kTrfg);
  const std::string none = "Normal RBCs Found: 0|OPTA|0";
  EXPECT_NE(countOf(), none);  // the smear's cells

  openPattern(1024, 768, Uniform(kWhite));  // the same size, no cells
  EXPECT_EQ(countOf(), none);

  app.open(smear);
  app.command(kTrfg);
  Surface pasted;
  pasted.allocate(1024, 768, kWhite);
  ui().setClipboard(pasted);
  ui().queueMessageBoxAnswer(platform::IDCANCEL);  // no Save first
  app.command(docid::kClipboardPaste);
  EXPECT_EQ(countOf(), none);
}

}  // namespace
}  // namespace opta::testing
