// Every command of the table, each in a child process whose address space
// has room for less than one more copy of the picture: none may end the
// program, and a Save among them either writes the whole file or leaves the
// old one as it was.
#include "address_space_cap.h"
#include "doc_app.h"
#include "document/save_file.h"

namespace opta::testing {
namespace {

using LowMemoryTest = DocApp;

TEST_F(LowMemoryTest, NoCommandEndsTheProgramWhenThePictureDoesNotFitAgain) {
  if (!kCanCapAddressSpace) GTEST_SKIP() << "the address sanitizer reserves terabytes of address space";
  constexpr int kSide = 640;                               // 1.6 MiB a surface
  constexpr std::size_t kHeadroom = std::size_t{1} << 20;  // less than one more
  const std::string picture = file("big.bmp", MakeBmp24(kSide, kSide, Pattern));
  app.open(picture);
  openAlso(MakeBmp24(kSide, kSide, Uniform(Rgb(9, 99, 199))));
  ASSERT_TRUE(doc().working.loaded && doc().second.loaded);
  const std::string target = file("target.bmp", MakeBmp24(2, 2, Pattern));
  const std::vector<std::uint8_t> saved = EncodeSavedBmp(memory());

  const std::vector<int> ids = app.shell().commands().ids();
  ASSERT_GT(ids.size(), 50u);
  for (int id : ids) {
    const std::vector<std::uint8_t> before = ReadFileBytes(target);
    const int end = RunCapped(kHeadroom, [&] {
      // Save and Save As choose the target, Open and Open Also the picture;
      // the choosers pick something, so their commands go all the way.
      const bool save = id == docid::kSave || id == docid::kSaveAs;
      ui().queueFile(save ? target : picture);
      ui().queueColour(Rgb(250, 10, 10));
      ui().queueFont(std::make_pair(FontDesc{}, Rgb(0, 0, 255)));
      app.command(id);
      app.leftDown(Point{5, 5});
      app.leftUp(Point{kSide, kSide});
      return 0;
    });
    EXPECT_EQ(end, 0) << "command " << id;
    const std::vector<std::uint8_t> after = ReadFileBytes(target);
    EXPECT_TRUE(after == before || after == saved) << "command " << id;
  }
}

}  // namespace
}  // namespace opta::testing
