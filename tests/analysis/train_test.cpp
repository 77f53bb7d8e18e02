#include <gtest/gtest.h>

#include "analysis/cell_commands.h"
#include "analysis/training.h"
#include "cells_test_support.h"

namespace opta {
namespace {

using testing::At;
using testing::Mark;
using testing::RecordingUi;
using testing::Scene;

class Training : public ::testing::Test {
 protected:
  void SetUp() override { ResetTraining(); }
  void TearDown() override { ResetTraining(); }
};

// A block of exactly n pixels at column x: full columns of 10, then the rest.
void Block(Scene& s, int x, int n, std::uint8_t label) {
  for (int i = 0; i < n; ++i) s.mask.at(x + i / 10, 2 + i % 10) = label;
}

TEST_F(Training, AreaWithinFiveOfTheSample) {
  Scene sample(40, 20);
  Block(sample, 3, 150, 2);
  RecordingUi ui;
  TrainSample(ui, sample.pixels, sample.mask, 40, 20);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Trained");
  EXPECT_EQ(ui.messages[0].caption, "BOPTA");
  EXPECT_EQ(ui.messages[0].flags, platform::MB_OK);
  EXPECT_EQ(TrainedArea, 150u);

  Scene s(120, 20);
  Block(s, 1, 145, 2);
  Block(s, 20, 146, 3);
  Block(s, 40, 154, 4);
  Block(s, 60, 155, 5);
  Block(s, 80, 150, 6);
  IdentifyByArea(s.canvas(), s.mask, 120, 20);
  EXPECT_EQ(s.windowMarks(), (std::vector<Mark>{At(s, 20, 2, "A"), At(s, 40, 2, "A"), At(s, 80, 2, "A")}));
}

TEST_F(Training, UnlabelledMaskHasNoSample) {
  Scene s(20, 20);
  s.rect(3, 3, 5, 5, 255);
  TrainedArea = 77;
  RecordingUi ui;
  TrainSample(ui, s.pixels, s.mask, 20, 20);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Too Many Objects!!");
  EXPECT_EQ(ui.messages[0].caption, "BOPTA");
  EXPECT_EQ(TrainedArea, 77u);
}

TEST_F(Training, OnePixelLabelsAreSkipped) {
  Scene s(30, 30);
  s.mask.at(1, 1) = 2;
  Block(s, 10, 40, 3);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) s.pixels.at(x, y) = s.mask.at(x, y) == 3 ? Rgb(100, 100, 100) : 0;
  RecordingUi ui;
  TrainSample(ui, s.pixels, s.mask, 30, 30);
  EXPECT_EQ(TrainedArea, 40u);
  EXPECT_EQ(TrainedPerimeter, 27.0f);  // 4 x 10 block
  EXPECT_EQ(TrainedIntensity, 100u);
}

TEST_F(Training, BeforeTrainingSmallObjectsMatch) {
  Scene s(20, 20);
  s.rect(2, 2, 2, 2, 2);  // area 4: within 5 of the start value 1
  s.rect(8, 8, 3, 2, 3);  // area 6: not
  IdentifyByArea(s.canvas(), s.mask, 20, 20);
  EXPECT_EQ(s.windowMarks(), (std::vector<Mark>{At(s, 2, 2, "A")}));
}

TEST_F(Training, PerimeterAndIntensityMarks) {
  Scene s(40, 20);
  s.rect(2, 2, 10, 10, 2);   // perimeter 39
  s.rect(20, 2, 10, 11, 3);  // perimeter 41
  s.rect(32, 2, 2, 2, 4);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) s.pixels.at(x, y) = Rgb(10, 10, 10);
  TrainedPerimeter = 35.5f;  // 39 is 3.5 away, 41 is 5.5
  IdentifyByPerimeter(s.canvas(), s.mask, 40, 20);
  EXPECT_EQ(s.windowMarks(), (std::vector<Mark>{At(s, 2, 2, "P")}));
  s.renderer.marks.clear();
  // Everything, background included, has mean 10; absent labels have 0.
  TrainedIntensity = 8;
  IdentifyByIntensity(s.canvas(), s.pixels, s.mask, 40, 20);
  EXPECT_EQ(s.windowMarks(),
            (std::vector<Mark>{At(s, 0, 0, "I"), At(s, 2, 2, "I"), At(s, 20, 2, "I"), At(s, 32, 2, "I")}));
}

TEST_F(Training, ProgramStartRestoresTheStartValues) {
  CommandTable table;
  registerCellAnalysisCommands(table);
  TrainedArea = 500;
  TrainedPerimeter = 9.0f;
  TrainedIntensity = 40;
  table.resetRememberedValues();
  EXPECT_EQ(TrainedArea, 1u);
  EXPECT_EQ(TrainedPerimeter, 0.0f);
  EXPECT_EQ(TrainedIntensity, 0u);
  for (int id : {40089, 40090, 40092, 40102, 40107, 40108, 40199, 40207, 40208, 40209, 40210, 40211})
    EXPECT_NE(table.find(id), nullptr) << id;
  EXPECT_EQ(table.find(40089)->frame, Frame::Silent);
  EXPECT_EQ(table.find(40090)->frame, Frame::Plain);
}

}  // namespace
}  // namespace opta
