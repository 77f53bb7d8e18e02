// The findings record the analysis commands fill: counts, verdict, marks and
// the labelled mask, as the blood-smear recipe leaves them, and nothing at
// all while no record is named.
#include <gtest/gtest.h>

#include <cstdlib>

#include "analysis/findings.h"
#include "analysis/objects.h"
#include "platform/headless/application.h"

namespace opta {
namespace {

constexpr int kTrfg = 40109, kRbcGeneral = 40199, kFindWbcs = 40200, kIdentifySickle = 40207;

// A disc (ratio 56^2 / 197 = 15.92: normal), a 25 x 5 bar (59^2 / 125 =
// 27.85: sickle) and a black 12 x 12 square (47^2 / 144 = 15.34: normal, and
// dark enough to be a nucleus) on white.
class Findings : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_DATA_HOME", (::testing::TempDir() + "/findings_data").c_str(), 1);
    app_.start();
    WorkingImage& w = app_.doc().working;
    w.pixels.allocate(80, 40);
    w.pixels.fill(kWhite);
    const Colour cell = Rgb(100, 100, 100);  // gray 100: in TRFG's [0, 140], not in Find WBCs' [0, 70]
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 80; ++x) {
        if ((x - 12) * (x - 12) + (y - 20) * (y - 20) <= 64) w.pixels.at(x, y) = cell;
        if (x >= 24 && x < 49 && y >= 3 && y < 8) w.pixels.at(x, y) = cell;
        if (x >= 55 && x < 67 && y >= 20 && y < 32) w.pixels.at(x, y) = kBlack;
      }
    w.memory.allocate(80, 40);
    w.mask.allocate(80, 40);
    w.loaded = true;
  }
  void TearDown() override {
    FindingsSink = nullptr;
    unsetenv("XDG_DATA_HOME");
  }
  void runRecipe() {
    for (int id : {kTrfg, kRbcGeneral, kIdentifySickle, kFindWbcs}) app_.command(id);
  }

  headless::Application app_{headless::AppOptions{Size{640, 480}, std::nullopt, {}}};
};

TEST_F(Findings, TheRecipeReportsWhatItShows) {
  AnalysisFindings f;
  f.keepLabelledMask = true;
  FindingsSink = &f;
  runRecipe();
  std::vector<std::string> texts;
  for (const auto& b : app_.ui().messageBoxes()) texts.push_back(b.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"Total Objects Found: 3",
                                             "The Patient appears to be suffering from Anemia",
                                             "Normal RBCs Found: 2", "Total Objects Found: 1"}));
  EXPECT_EQ(f.objects, 3u);
  ASSERT_TRUE(f.redCells);
  EXPECT_TRUE(f.redCells->anaemia());
  EXPECT_EQ(f.redCells->normal, 2);
  EXPECT_EQ(f.sickleCells, 1);
  EXPECT_EQ(f.whiteCells, 1u);
  using K = CellMark::Kind;
  EXPECT_EQ(f.marks,
            (std::vector<CellMark>{
                {K::NormalRed, 4, 20}, {K::Sickle, 24, 3}, {K::NormalRed, 55, 20}, {K::White, 55, 20}}));
  // The mask kept is TRFG's labelling, not the nuclei Find WBCs left.
  ASSERT_TRUE(f.haveLabelledMask);
  EXPECT_EQ(f.labelledMask.at(12, 20), 2);
  EXPECT_EQ(f.labelledMask.at(30, 5), 3);
  EXPECT_EQ(f.labelledMask.at(60, 25), 4);
  EXPECT_EQ(app_.doc().working.mask.at(12, 20), 0);

  Matrix<std::uint32_t> ids;
  ByteMatrix work;
  std::vector<ObjectRecord> objects;
  ASSERT_TRUE(DescribeObjects(f.labelledMask, app_.doc().working.pixels, f.marks, ids, work, objects));
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(objects[0].area, 197u);
  EXPECT_EQ(objects[0].perimeter, 56.0f);
  EXPECT_EQ(objects[0].meanIntensity, 100u);
  EXPECT_EQ(objects[0].marks, 1 << static_cast<int>(K::NormalRed));
  EXPECT_EQ(objects[1].marks, 1 << static_cast<int>(K::Sickle));
  EXPECT_EQ(objects[2].marks, (1 << static_cast<int>(K::NormalRed)) | (1 << static_cast<int>(K::White)));
  EXPECT_EQ(objects[2].meanIntensity, 0u);
}

TEST_F(Findings, ALaterLabellingStartsAfreshAndTheMaskIsKeptOnlyWhenAsked) {
  AnalysisFindings f;
  FindingsSink = &f;
  runRecipe();
  EXPECT_FALSE(f.haveLabelledMask);
  EXPECT_EQ(f.marks.size(), 4u);
  app_.command(kTrfg);  // paints the mask over every mark drawn so far
  EXPECT_TRUE(f.marks.empty());
  EXPECT_EQ(f.objects, 3u);
  EXPECT_EQ(f.whiteCells, 1u);  // still the last Find WBCs' count
  app_.command(40104);          // Grow on the labelled mask finds nothing new
  EXPECT_EQ(f.objects, 0u);
  f.clear();
  EXPECT_FALSE(f.objects || f.whiteCells || f.redCells || f.sickleCells);
}

TEST_F(Findings, NothingIsRecordedWithoutARecord) {
  AnalysisFindings f;
  FindingsSink = nullptr;
  runRecipe();
  EXPECT_FALSE(f.objects || f.whiteCells || f.redCells || f.sickleCells);
  EXPECT_TRUE(f.marks.empty());
  EXPECT_EQ(app_.ui().messageBoxes().size(), 4u);
}

}  // namespace
}  // namespace opta
