#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "analysis/histogram.h"
#include "platform/headless/application.h"

namespace opta {
namespace {

using headless::DialogScript;

// The program with one image loaded, pixels given as colours.
class SegmentCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    dataHome_ = ::testing::TempDir() + "/segment_commands_data";
    setenv("XDG_DATA_HOME", dataHome_.c_str(), 1);
    app_.start();
    app_.ui().clearRecords();
  }
  void TearDown() override { unsetenv("XDG_DATA_HOME"); }

  void loadColours(const std::vector<std::vector<Colour>>& rows) {
    WorkingImage& w = app_.doc().working;
    const int width = static_cast<int>(rows[0].size()), height = static_cast<int>(rows.size());
    w.pixels.allocate(width, height);
    w.memory.allocate(width, height, kWhite);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        w.pixels.at(x, y) = rows[y][x];
        w.memory.set(x, y, rows[y][x]);
      }
    }
    w.loaded = true;
  }
  std::vector<std::string> texts() {
    std::vector<std::string> out;
    for (const auto& b : app_.ui().messageBoxes()) out.push_back(b.text);
    return out;
  }
  std::uint8_t mask(int x, int y) { return app_.doc().working.mask.at(x, y); }

  std::string dataHome_;
  headless::Application app_{headless::AppOptions{Size{640, 480}, std::nullopt, {}}};
};

// Colours with known gray levels: trunc(0.3 r) + trunc(0.59 g) + trunc(0.11 b).
constexpr Colour G0 = Rgb(0, 0, 0);          // 0
constexpr Colour G20 = Rgb(0, 34, 0);        // 20.06 -> 20
constexpr Colour G44 = Rgb(0, 75, 0);        // 44.25 -> 44
constexpr Colour G45 = Rgb(150, 0, 0);       // 45
constexpr Colour G140 = Rgb(0, 238, 0);      // 140.42 -> 140
constexpr Colour G141 = Rgb(0, 239, 0);      // 141.01 -> 141
constexpr Colour G254 = Rgb(255, 255, 255);  // 76 + 150 + 28

TEST_F(SegmentCommands, ThresholdWithTheStartLimitsMarksDarkPixels) {
  loadColours({{G0, G20, G44, G45, G140, G141, G254}});
  app_.command(40103);
  const std::uint8_t want[] = {255, 255, 255, 255, 255, 0, 0};
  for (int x = 0; x < 7; ++x) EXPECT_EQ(mask(x, 0), want[x]) << x;
  EXPECT_EQ(app_.doc().working.memory.get(0, 0), kWhite);
  EXPECT_EQ(app_.doc().working.memory.get(6, 0), kBlack);
  EXPECT_EQ(app_.windowSurface().get(6, 0), kBlack);
  EXPECT_TRUE(app_.ui().messageBoxes().empty());
  EXPECT_EQ(GrayHistogram[20], 0u);  // left smoothed: the raw count 1 becomes (0 + 1 + 0) / 3
}

TEST_F(SegmentCommands, SetLimitsKeepsTheLowEightBitsAndEmptyFieldsReadAsZero) {
  loadColours({{G0, G20, G44, G45, G140, G254}});
  app_.ui().queueDialog(
      DialogScript{"IDD_DIALOG_SET", {}}.set(1015, "300").set(1016, "20").click(platform::IDOK));
  app_.command(40106);
  EXPECT_EQ(ThresholdHigh, 300);
  EXPECT_EQ(ThresholdLow, 20);
  app_.command(40103);
  const std::uint8_t want[] = {0, 255, 255, 0, 0, 0};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(mask(x, 0), want[x]) << x;

  app_.ui().queueDialog(DialogScript{"IDD_DIALOG_SET", {}}.click(platform::IDOK));
  app_.command(40106);
  app_.command(40103);
  const std::uint8_t zero[] = {255, 0, 0, 0, 0, 0};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(mask(x, 0), zero[x]) << x;

  app_.ui().queueDialog(DialogScript{"IDD_DIALOG_SET", {}}.set(1015, "99").click(platform::IDCANCEL));
  app_.command(40106);
  EXPECT_EQ(ThresholdHigh, 0);
}

TEST_F(SegmentCommands, SetLimitsNeedsNoImageButManualDoes) {
  app_.ui().queueDialog(
      DialogScript{"IDD_DIALOG_SET", {}}.set(1015, "-1").set(1016, "x").click(platform::IDOK));
  app_.command(40106);
  ASSERT_EQ(app_.ui().dialogs().size(), 1u);
  EXPECT_EQ(app_.ui().dialogs()[0].templateName, "IDD_DIALOG_SET");
  EXPECT_TRUE(app_.ui().messageBoxes().empty());
  EXPECT_EQ(ThresholdHigh, -1);
  EXPECT_EQ(ThresholdLow, 0);
  app_.command(40012);  // Manual's frame does ask for one
  EXPECT_EQ(texts(), std::vector<std::string>{"First Open a BITMAP image !!"});
}

TEST_F(SegmentCommands, ManualLabelsBrightObjectsAndGrowAgainFindsNone) {
  loadColours({
      {G254, G254, G0, G0, G141},
      {G0, G0, G254, G0, G0},
      {G0, G0, G0, G0, G140},
  });
  app_.command(40012);
  EXPECT_EQ(texts(), std::vector<std::string>{"Total Objects Found: 3"});
  EXPECT_EQ(app_.ui().messageBoxes()[0].caption, "OPTA");
  EXPECT_EQ(mask(2, 1), 2);  // corner-touching: one object with (1,0)
  EXPECT_EQ(mask(4, 0), 3);
  EXPECT_EQ(mask(4, 2), 4);  // 140 is inside [140, 255]
  EXPECT_EQ(app_.doc().working.memory.get(0, 0), Rgb(102, 104, 106));
  EXPECT_TRUE(std::filesystem::exists(dataHome_ + "/optascope/OPTA_Neighbours.dat"));

  app_.ui().clearRecords();
  app_.command(40104);
  EXPECT_EQ(texts(), std::vector<std::string>{"Total Objects Found: 0"});
}

TEST_F(SegmentCommands, ShowHistogramDrawsOnTheWindowOnly) {
  std::vector<std::vector<Colour>> rows(100, std::vector<Colour>(2, G44));
  loadColours(rows);
  const Surface before = [&] {
    Surface s;
    s.allocate(2, 100);
    s.copyFrom(app_.doc().working.memory, 0, 0, 0, 0, 2, 100);
    return s;
  }();
  ASSERT_EQ(app_.windowSurface().get(133, 300), kWhite);
  app_.command(40032);
  EXPECT_EQ(GrayHistogram[44], 200u);  // raw, not smoothed
  // Level 44 at x = 133: 200 pixels rise 130 above the axis at 480 - 70,
  // drawn with a fresh context's black pen.
  EXPECT_EQ(app_.windowSurface().get(133, 480 - 200 + 1), kBlack);
  EXPECT_EQ(app_.windowSurface().get(133, 480 - 200), kWhite);
  for (int y = 0; y < 100; ++y) EXPECT_EQ(app_.doc().working.memory.get(1, y), before.get(1, y));
}

TEST_F(SegmentCommands, PeakValleyAndAdaptiveSplitADarkAndABrightClass) {
  // 3/4 dark (gray 20), 1/4 bright (gray 254): every rule makes the bright
  // quarter the object.
  std::vector<std::vector<Colour>> rows(40, std::vector<Colour>(40, G20));
  for (int y = 10; y < 20; ++y)
    for (int x = 10; x < 30; ++x) rows[y][x] = G254;
  for (int y = 25; y < 35; ++y)
    for (int x = 5; x < 25; ++x) rows[y][x] = G254;
  loadColours(rows);
  for (int id : {40013, 40014, 40015}) {
    app_.ui().clearRecords();
    app_.command(id);
    EXPECT_EQ(texts(), std::vector<std::string>{"Total Objects Found: 2"}) << id;
    EXPECT_EQ(mask(0, 0), 0) << id;
  }
}

TEST_F(SegmentCommands, RemoveFillAndTrfgCleanTheMask) {
  // Dark objects on white: a 6-pixel speck, and a 12 x 12 block with a
  // 2 x 2 white hole.
  std::vector<std::vector<Colour>> rows(30, std::vector<Colour>(40, G254));
  for (int y = 2; y < 4; ++y)
    for (int x = 3; x < 6; ++x) rows[y][x] = G0;
  for (int y = 10; y < 22; ++y)
    for (int x = 10; x < 22; ++x) rows[y][x] = G0;
  rows[15][15] = rows[15][16] = rows[16][15] = rows[16][16] = G254;
  loadColours(rows);
  app_.command(40103);  // [0, 140]
  app_.command(40105);
  EXPECT_EQ(mask(4, 2), 0);
  EXPECT_EQ(mask(12, 12), 255);
  EXPECT_EQ(app_.doc().working.memory.get(4, 2), kBlack);
  app_.command(40099);  // the hole fills; the white surround is one large region
  EXPECT_EQ(mask(15, 15), 255);
  EXPECT_EQ(mask(30, 5), 0);
  EXPECT_TRUE(app_.ui().messageBoxes().empty());

  app_.command(40109);
  EXPECT_EQ(texts(), std::vector<std::string>{"Total Objects Found: 1"});
  EXPECT_EQ(mask(15, 15), 2);
  EXPECT_EQ(mask(4, 2), 0);
}

}  // namespace
}  // namespace opta
