#include <algorithm>
#include <filesystem>

#include "doc_app.h"
#include "document/dib_file.h"

namespace opta::testing {
namespace {

using headless::MessageBoxRecord;
using platform::MB_ICONEXCLAMATION;
using platform::MB_OK;

constexpr int kTwoImageItems[] = {40050, 40051, 40052, 40053, 40054, 40055, 40056,
                                  40057, 40059, 40060, 40061, 40062, 40063, 40064};

void ExpectBox(const MessageBoxRecord& b, std::string_view text, std::string_view caption, unsigned flags,
               bool owned) {
  EXPECT_EQ(b.text, text);
  EXPECT_EQ(b.caption, caption);
  EXPECT_EQ(b.flags, flags);
  EXPECT_EQ(b.ownedByMainWindow, owned);
}

using OpenTest = DocApp;

TEST_F(OpenTest, SavedFileTakesTheOwnReaderIntoBothSurfacesRowByRow) {
  // Marker 1, unpadded rows: 3 x 319 is not a multiple of 4, so only the own
  // reader gets these colours right.
  const std::string path = file("saved.bmp", MakeBmp24(319, 240, Pattern, /*padded=*/false, /*marker=*/1));
  const std::size_t changes = app.window().menuChanges().size();
  ui().queueFile(path);
  app.shell().onCommand(docid::kOpen);  // no pump: the picture is on screen before any repaint
  EXPECT_EQ(Mismatches(window(), 0, 0, 319, 240, Pattern), 0);
  EXPECT_TRUE(app.window().paintPending());
  app.pump();

  ASSERT_TRUE(doc().working.loaded);
  EXPECT_TRUE(ui().messageBoxes().empty());
  EXPECT_EQ(memory().size(), (Size{319, 240}));
  EXPECT_EQ(Mismatches(memory(), 0, 0, 319, 240, Pattern), 0);
  EXPECT_EQ(Mismatches(doc().working.pixels, Pattern), 0);
  EXPECT_EQ(doc().working.gray.width(), 319);
  EXPECT_EQ(doc().working.mask.height(), 240);
  EXPECT_EQ(window().get(319, 0), kWhite);
  EXPECT_EQ(window().get(0, 240), kWhite);
  EXPECT_EQ(app.window().menuChanges().size(), changes);  // Open changes no menu item
  EXPECT_EQ(ui().cursorHistory().back(), platform::CursorShape::Arrow);
  EXPECT_NE(std::find(ui().cursorHistory().begin(), ui().cursorHistory().end(), platform::CursorShape::Wait),
            ui().cursorHistory().end());
}

TEST_F(OpenTest, StandardFileWithPaddedRowsTakesTheDecoder) {
  const std::string path = file("std.bmp", MakeBmp24(7, 5, Pattern));  // 21-byte rows padded to 24
  ui().queueFile(path);
  app.shell().onCommand(docid::kOpen);
  EXPECT_EQ(window().get(0, 0), kWhite);  // the decoder draws nothing until the repaint
  app.pump();
  ASSERT_TRUE(doc().working.loaded);
  EXPECT_EQ(Mismatches(memory(), 0, 0, 7, 5, Pattern), 0);
  EXPECT_EQ(Mismatches(window(), 0, 0, 7, 5, Pattern), 0);
  EXPECT_EQ(Mismatches(doc().working.pixels, Pattern), 0);
}

TEST_F(OpenTest, ByAcceleratorAndToolbarIds) {
  ui().queueFile(file("a.bmp", MakeBmp24(3, 3, Pattern)));
  EXPECT_TRUE(app.key(AltChar('o')));
  EXPECT_TRUE(doc().working.loaded);
  doc().working.unload();
  ui().queueFile(file("a.bmp", MakeBmp24(3, 3, Pattern)));
  app.command(40142);
  EXPECT_TRUE(doc().working.loaded);
}

TEST_F(OpenTest, RejectedMissingAndUndecodableFilesLeaveNoImage) {
  openPattern(4, 4);
  openAlso(MakeBmp24(2, 2, Pattern));
  ASSERT_TRUE(doc().second.loaded);
  ui().clearRecords();

  std::vector<std::uint8_t> offByOne = MakeBmp24(4, 4, Pattern);
  Put32(offByOne, 2, static_cast<std::uint32_t>(offByOne.size() + 1));
  app.open(file("off.bmp", offByOne));
  ASSERT_EQ(ui().messageBoxes().size(), 2u);
  ExpectBox(ui().messageBoxes()[0], "bsuccess", "", MB_OK, false);
  ExpectBox(ui().messageBoxes()[1], "Cannot load DIB file", "OPTA", MB_ICONEXCLAMATION, true);
  // Both images went before the file was even tried.
  EXPECT_FALSE(doc().working.loaded);
  EXPECT_FALSE(doc().second.loaded);
  EXPECT_TRUE(doc().lastLoaded.present());  // the earlier file's bytes stay

  ui().clearRecords();
  app.open("/nonexistent/none.bmp");
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Cannot load DIB file"}));

  ui().clearRecords();
  std::vector<std::uint8_t> odd = MakeBmp24(4, 4, Pattern);
  Put16(odd, 28, 13);  // no screen decodes 13 bits a pixel
  app.open(file("odd.bmp", odd));
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Cannot load DIB file"}));
  EXPECT_FALSE(doc().working.loaded);
}

TEST_F(OpenTest, CancelRepaintsOnlyWithASecondImage) {
  openPattern(4, 4);
  int before = app.window().invalidations();
  ui().queueFile(std::nullopt);
  app.command(docid::kOpen);
  EXPECT_EQ(app.window().invalidations(), before);
  EXPECT_TRUE(doc().working.loaded);

  openAlso(MakeBmp24(2, 2, Pattern));
  before = app.window().invalidations();
  ui().queueFile(std::nullopt);
  app.command(docid::kOpen);
  EXPECT_EQ(app.window().invalidations(), before + 1);
  EXPECT_TRUE(doc().working.loaded);
  EXPECT_TRUE(doc().second.loaded);
}

using OpenAlsoTest = DocApp;

TEST_F(OpenAlsoTest, NeedsAWorkingImageAndShowsNothingWithoutOne) {
  ui().queueFile(file("b.bmp", MakeBmp24(2, 2, Pattern)));
  app.command(docid::kOpenAlso);
  EXPECT_TRUE(ui().fileDialogs().empty());
  EXPECT_TRUE(ui().messageBoxes().empty());
  EXPECT_FALSE(doc().second.loaded);
  for (int id : kTwoImageItems) EXPECT_EQ(app.menu().state(id).enable, ItemEnable::Grayed) << id;
}

TEST_F(OpenAlsoTest, LoadsASecondImageOfAnotherSizeAndEnablesTheTwoImageItems) {
  openPattern(6, 4);
  const ColourAt second = [](int x, int y) { return Rgb(200, x * 10, y * 10); };
  openAlso(MakeBmp24(9, 3, second));
  ASSERT_TRUE(doc().second.loaded);
  EXPECT_TRUE(ui().messageBoxes().empty());
  EXPECT_EQ(Mismatches(doc().second.pixels, second), 0);
  EXPECT_EQ(Mismatches(memory(), 0, 0, 6, 4, Pattern), 0);  // the working image is left alone
  EXPECT_EQ(Mismatches(window(), 0, 0, 9, 3, second), 0);   // the repaint shows the second picture
  for (int id : kTwoImageItems) EXPECT_EQ(app.menu().state(id).enable, ItemEnable::Enabled) << id;
  EXPECT_EQ(app.menu().state(40058).enable, ItemEnable::Enabled);

  // Open discards the second image; the items stay enabled.
  openPattern(5, 5);
  EXPECT_FALSE(doc().second.loaded);
  for (int id : kTwoImageItems) EXPECT_EQ(app.menu().state(id).enable, ItemEnable::Enabled) << id;
}

TEST_F(OpenAlsoTest, MarkedSecondFileIsReadByTheOwnReader) {
  openPattern(4, 4);
  openAlso(MakeBmp24(13, 7, Pattern, false, 1));
  ASSERT_TRUE(doc().second.loaded);
  EXPECT_EQ(Mismatches(doc().second.memory, 0, 0, 13, 7, Pattern), 0);
  EXPECT_EQ(Mismatches(memory(), 0, 0, 4, 4, Pattern), 0);
}

TEST_F(OpenAlsoTest, FailuresShowOnlyTheReadStepsMessageAndLeaveNoSecondImage) {
  openPattern(4, 4);
  openAlso(MakeBmp24(2, 2, Pattern));
  ASSERT_TRUE(doc().second.loaded);
  ui().clearRecords();

  std::vector<std::uint8_t> bad = MakeBmp24(2, 2, Pattern);
  bad[0] = 'X';
  openAlso(bad);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"bsuccess"}));
  EXPECT_FALSE(doc().second.loaded);

  ui().clearRecords();
  ui().queueFile("/nonexistent/second.bmp");
  app.command(docid::kOpenAlso);
  EXPECT_TRUE(ui().messageBoxes().empty());
  EXPECT_FALSE(doc().second.loaded);
  EXPECT_TRUE(doc().working.loaded);
}

using SaveTest = DocApp;

TEST_F(SaveTest, ThreeByTwoGivesSeventyTwoUnpaddedBytesOfTheCurrentResult) {
  openPattern(3, 2);
  // The memory surface is what gets saved, not the source matrix.
  memory().set(2, 0, Rgb(1, 2, 3));
  const std::string out = file("out.bmp", {});
  ui().queueFile(out);
  app.command(docid::kSave);
  const std::vector<std::uint8_t> bytes = ReadFileBytes(out);
  ASSERT_EQ(bytes.size(), 72u);
  EXPECT_EQ(bytes, EncodeSavedBmp(memory()));
  EXPECT_EQ(bytes[6], 1);  // the marker
  // Bottom row first (y = 1), then the top row, whose last pixel was changed.
  EXPECT_EQ(bytes[54], Blue(Pattern(0, 1)));
  EXPECT_EQ(bytes[54 + 9 + 6], 3);  // blue of Rgb(1, 2, 3)
  EXPECT_EQ(bytes[54 + 9 + 8], 1);  // red
  EXPECT_TRUE(ui().messageBoxes().empty());
  EXPECT_FALSE(app.exited());
}

TEST_F(SaveTest, SavedFileOpensAgainToTheSamePixels) {
  openPattern(320, 240);
  const std::string out = file("round.bmp", {});
  ui().queueFile(out);
  app.command(docid::kSaveAs);
  doc().working.unload();
  app.open(out);
  ASSERT_TRUE(doc().working.loaded);
  EXPECT_EQ(Mismatches(doc().working.pixels, Pattern), 0);
  EXPECT_EQ(FileBitCount(doc().lastLoaded), 24);
}

TEST_F(SaveTest, NothingEverLoadedEndsTheProgramAfterTheDialog) {
  const std::string out = file("never.bmp", {});
  std::filesystem::remove(out);
  ui().queueFile(out);
  app.key(AltChar('s'));
  EXPECT_TRUE(app.exited());
  EXPECT_EQ(app.exitCode(), 0);
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(SaveTest, AfterAFailedOpenItReportsNoImageAndWritesNothing) {
  openPattern(3, 2);
  app.open("/nonexistent/file.bmp");
  ASSERT_FALSE(doc().working.loaded);
  ui().clearRecords();
  const std::string out = file("failed.bmp", {});
  std::filesystem::remove(out);
  ui().queueFile(out);
  app.command(docid::kSave);
  EXPECT_FALSE(app.exited());
  EXPECT_FALSE(std::filesystem::exists(out));
  ASSERT_EQ(ui().messageBoxes().size(), 1u);
  ExpectBox(ui().messageBoxes()[0], "First Open a BITMAP image !!", "BOPTA", MB_ICONEXCLAMATION, false);
}

TEST_F(SaveTest, RepaintsWithASecondImageAndIgnoresWriteFailures) {
  openPattern(3, 2);
  int before = app.window().invalidations();
  ui().queueFile("/nonexistent/dir/out.bmp");
  app.command(docid::kSave);
  EXPECT_EQ(app.window().invalidations(), before);
  EXPECT_TRUE(ui().messageBoxes().empty());

  openAlso(MakeBmp24(2, 2, Pattern));
  before = app.window().invalidations();
  ui().queueFile(std::nullopt);  // cancelled
  app.command(docid::kSave);
  EXPECT_EQ(app.window().invalidations(), before + 1);
  before = app.window().invalidations();
  const std::string out = file("with-second.bmp", {});
  ui().queueFile(out);
  app.command(docid::kSave);
  EXPECT_EQ(app.window().invalidations(), before + 1);
  EXPECT_EQ(ReadFileBytes(out).size(), 72u);
}

}  // namespace
}  // namespace opta::testing
