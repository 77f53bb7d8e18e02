#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "analysis/label.h"
#include "analysis/segment_test_support.h"
#include "platform/ui.h"

namespace opta {
namespace {

using segtest::Box;
using segtest::MaskFrom;
using segtest::MessageLog;

struct LabelRun {
  MessageLog log;
  std::uint32_t count = 0;
};

// Every message box, with what the window showed behind it.
struct SnapshotLog {
  MessageLog log;
  std::vector<std::uint64_t> windows;
  MessageFn fn(const Surface& window) {
    return [this, &window](std::string_view t, std::string_view c, unsigned f) {
      log.fn()(t, c, f);
      std::uint64_t hash = 1469598103934665603ull;
      for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x) hash = (hash ^ window.get(x, y)) * 1099511628211ull;
      windows.push_back(hash);
    };
  }
};

// Runs the fast labelling and checks it against the rule on a copy: labels,
// both surfaces, the message boxes and the window behind each of them.
LabelRun LabelBoth(ByteMatrix& mask, Size screen = {1920, 1080}, bool smallWindow = false) {
  const int w = mask.width(), h = mask.height();
  ByteMatrix copy;
  copy.copyFrom(mask);
  const int ww = smallWindow ? w / 2 + 1 : w + 3, wh = smallWindow ? h / 2 + 1 : h + 2;
  segtest::Surfaces fast(w, h, ww, wh), ref(w, h, ww, wh);
  SnapshotLog fastLog, refLog;
  LabelRun run;
  run.count = LabelObjects(mask, w, h, fast.canvas, LabelEnv{screen, fastLog.fn(fast.window), ""});
  const std::uint32_t refCount =
      LabelObjectsReference(copy, w, h, ref.canvas, LabelEnv{screen, refLog.fn(ref.window), ""});
  run.log = fastLog.log;
  EXPECT_EQ(run.count, refCount);
  EXPECT_EQ(fastLog.log.boxes, refLog.log.boxes);
  EXPECT_EQ(fastLog.windows, refLog.windows);
  EXPECT_TRUE(segtest::SameMatrix(mask, copy));
  EXPECT_TRUE(segtest::SameSurface(fast.window, ref.window));
  EXPECT_TRUE(segtest::SameSurface(fast.memory, ref.memory));
  return run;
}

Box CountBox(unsigned n) { return Box{"Total Objects Found: " + std::to_string(n), "OPTA", platform::MB_OK}; }

TEST(LabelObjects, CornerTouchingSquaresAreOneObjectAndAGapMakesTwo) {
  ByteMatrix m = MaskFrom({
      "##.....",
      "##.....",
      "..##.##",
      "..##.##",
  });
  const LabelRun run = LabelBoth(m);
  EXPECT_EQ(run.count, 2u);
  EXPECT_EQ(m.at(0, 0), 2);
  EXPECT_EQ(m.at(3, 3), 2);
  EXPECT_EQ(m.at(5, 2), 3);
  ASSERT_EQ(run.log.boxes.size(), 1u);
  EXPECT_EQ(run.log.boxes[0], CountBox(2));
}

TEST(LabelObjects, FirstTwoLabelsArePaintedInTheirColours) {
  ByteMatrix m = MaskFrom({"#.#"});
  segtest::Surfaces s(3, 1, 3, 1);
  MessageLog log;
  LabelObjects(m, 3, 1, s.canvas, LabelEnv{{1920, 1080}, log.fn(), ""});
  EXPECT_EQ(s.memory.get(0, 0), Rgb(102, 104, 106));
  EXPECT_EQ(s.window.get(0, 0), Rgb(102, 104, 106));
  EXPECT_EQ(s.memory.get(2, 0), Rgb(103, 106, 109));
  EXPECT_EQ(s.memory.get(1, 0), 0x654321u);      // background is not painted
  EXPECT_EQ(LabelColour(254), Rgb(98, 96, 94));  // (354, 608, 862) mod 256
}

TEST(LabelObjects, The254thObjectTakesLabel2Again) {
  ByteMatrix m;
  m.allocate(2 * 260, 1);
  m.fill(0);
  for (int i = 0; i < 260; ++i) m.at(2 * i, 0) = 255;
  const LabelRun run = LabelBoth(m);
  EXPECT_EQ(run.count, 260u);
  EXPECT_EQ(m.at(2 * 252, 0), 254);
  EXPECT_EQ(m.at(2 * 253, 0), 2);
  EXPECT_EQ(m.at(2 * 254, 0), 3);
}

TEST(LabelObjects, SeedsComeOnlyFromTheScreenRectangleButGrowthReachesEverywhere) {
  ByteMatrix m = MaskFrom({
      "......",
      "..####",
      "......",
      ".....#",
      "#.....",
  });
  // Screen 3 x 2: seeds in x 0..3, y 0..2. The bar starts at (2,1) and is
  // labelled whole; (5,3) and (0,4) lie outside and stay 255.
  const LabelRun run = LabelBoth(m, Size{3, 2});
  EXPECT_EQ(run.count, 1u);
  EXPECT_EQ(m.at(5, 1), 2);
  EXPECT_EQ(m.at(5, 3), 255);
  EXPECT_EQ(m.at(0, 4), 255);

  // The rectangle includes the screen's width and height themselves.
  m = MaskFrom({
      "...#..",
      "......",
      "#...#.",
      "..#...",
      "......",
  });
  EXPECT_EQ(LabelBoth(m, Size{3, 2}).count, 2u);
  EXPECT_EQ(m.at(0, 2), 2);    // y == screen height (column 0 is scanned first)
  EXPECT_EQ(m.at(3, 0), 3);    // x == screen width
  EXPECT_EQ(m.at(4, 2), 255);  // one column further
  EXPECT_EQ(m.at(2, 3), 255);  // one row further
}

TEST(LabelObjects, EmptyMaskReportsZeroAndStillTruncatesTheFile) {
  const std::string path = ::testing::TempDir() + "/label_neighbours_test.dat";
  {
    std::ofstream f(path);
    f << "old contents";
  }
  ByteMatrix m;
  m.allocate(8, 5);
  m.fill(0);
  segtest::Surfaces s(8, 5, 8, 5);
  MessageLog log;
  EXPECT_EQ(LabelObjects(m, 8, 5, s.canvas, LabelEnv{{1920, 1080}, log.fn(), path}), 0u);
  ASSERT_EQ(log.boxes.size(), 1u);
  EXPECT_EQ(log.boxes[0], CountBox(0));
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  // A path that cannot be created changes nothing.
  MessageLog log2;
  m.at(3, 3) = 255;
  EXPECT_EQ(LabelObjects(m, 8, 5, s.canvas, LabelEnv{{1920, 1080}, log2.fn(), "/nonexistent/dir/x.dat"}), 1u);
}

TEST(LabelObjects, SecondRunFindsNothingAndOtherValuesAreLeftAlone) {
  ByteMatrix m = MaskFrom({
      "##.7",
      "#..#",
  });
  EXPECT_EQ(LabelBoth(m).count, 2u);
  EXPECT_EQ(m.at(3, 0), 7);
  const ByteMatrix before = MaskFrom({"22.7", "2..3"});
  EXPECT_TRUE(segtest::SameMatrix(m, before));
  const LabelRun again = LabelBoth(m);
  EXPECT_EQ(again.count, 0u);
  EXPECT_TRUE(segtest::SameMatrix(m, before));
}

TEST(LabelObjects, StackDoublingIsAnnouncedEachTime) {
  // 2 slots hold 1 point: a two-pixel column fits without a notice, and an L
  // of three never holds more than 2 of its 4 slots.
  for (const auto& rows : {std::vector<std::string>{"#", "#"}, std::vector<std::string>{"##", "#."}}) {
    ByteMatrix m = MaskFrom(rows);
    EXPECT_EQ(LabelBoth(m).log.boxes, std::vector<Box>{CountBox(1)});
  }
  // 2 x 2 of object: 4 slots hold 3 points. The seed pushes (0,1), (1,0),
  // (1,1); visiting (1,1) pushes (0,1) and then (1,0) as the 4th point.
  ByteMatrix m = MaskFrom({"##", "##"});
  const LabelRun run = LabelBoth(m);
  ASSERT_EQ(run.log.boxes.size(), 2u);
  EXPECT_EQ(run.log.boxes[0], (Box{"4,,8", "", platform::MB_OK}));
  EXPECT_EQ(run.log.boxes[1], CountBox(1));

  // A solid block doubles again and again: each notice names the old and
  // the new capacity.
  ByteMatrix big;
  big.allocate(12, 12);
  big.fill(255);
  const LabelRun bigRun = LabelBoth(big);
  ASSERT_GE(bigRun.log.boxes.size(), 2u);
  std::size_t capacity = 144;
  for (std::size_t i = 0; i + 1 < bigRun.log.boxes.size(); ++i) {
    EXPECT_EQ(bigRun.log.boxes[i].text, std::to_string(capacity) + ",," + std::to_string(2 * capacity));
    capacity *= 2;
  }
}

// LabelBoth holds every case to the rule: labels, surfaces, notices and the
// window behind each notice.
TEST(LabelObjects, FastFormMatchesTheRuleNoticeForNotice) {
  std::mt19937 rng(1234);
  for (int trial = 0; trial < 60; ++trial) {
    std::uniform_int_distribution<int> dim(1, 70);
    const int w = dim(rng), h = dim(rng);
    ByteMatrix m = segtest::RandomMask(rng, w, h, 5 + trial * 2, trial % 3 == 0);
    std::uniform_int_distribution<int> sc(0, 80);
    const Size screen = trial % 2 ? Size{sc(rng), sc(rng)} : Size{1920, 1080};
    LabelBoth(m, screen, trial % 4 == 1);
  }
  // A dense field (one object holding most of the picture, whose walk makes
  // the stack grow, or stops short of it) among hundreds of specks, so
  // labels wrap and reused labels sit inside the large object's box.
  int withNotices = 0, withoutNotices = 0;
  for (int trial = 0; trial < 12; ++trial) {
    const int w = 90 + trial * 7, h = 60 + trial * 5;
    ByteMatrix m = segtest::RandomMask(rng, w, h, 6 + trial * 8, trial % 2 == 1);
    std::uniform_int_distribution<int> px(0, w - 1), py(0, h - 1);
    for (int i = 0; i < 300; ++i) m.at(px(rng), py(rng)) = 255;
    const LabelRun run = LabelBoth(m, Size{1920, 1080}, trial % 3 == 0);
    (run.log.boxes.size() > 1 ? withNotices : withoutNotices)++;
  }
  EXPECT_GT(withNotices, 0);
  EXPECT_GT(withoutNotices, 0);
  // Earlier objects are painted before a later, solid one makes the stack
  // grow: the window behind each notice must already show them.
  for (bool stray : {false, true}) {
    ByteMatrix m;
    m.allocate(30, 20);
    m.fill(0);
    segtest::FillRect(m, 0, 0, 3, 3, 255);
    segtest::FillRect(m, 6, 2, 24, 18, 255);
    if (stray) m.at(4, 10) = 9;
    EXPECT_GE(LabelBoth(m, Size{1920, 1080}, true).log.boxes.size(), 2u);
  }
}

TEST(LabelObjects, FindByteAgreesWithAPlainSearch) {
  std::mt19937 rng(31);
  std::vector<std::uint8_t> row(100);
  for (int trial = 0; trial < 500; ++trial) {
    for (auto& b : row) b = static_cast<std::uint8_t>(rng() % 4 == 0 ? 255 : (rng() % 2 ? 0x7F : 0x80));
    const int from = static_cast<int>(rng() % 100), to = static_cast<int>(rng() % 100);
    for (std::uint8_t value : {std::uint8_t{255}, std::uint8_t{0x80}, std::uint8_t{1}}) {
      int want = from;
      while (want <= to && row[want] != value) ++want;
      if (want > to) want = std::max(from, to + 1);
      EXPECT_EQ(FindByte(row.data(), from, to, value), want);
    }
  }
}

TEST(LabelObjects, RunEndsAreFoundAcrossWords) {
  // A run of 5s over [3, 3 + n) in a row of 0s: its end and its start, for
  // runs ending just before, at and after an eight-byte word's edge.
  for (int n : {1, 4, 5, 6, 12, 13, 14, 29}) {
    std::vector<std::uint8_t> row(40, 0);
    std::fill(row.begin() + 3, row.begin() + 3 + n, std::uint8_t{5});
    EXPECT_EQ(SkipByte(row.data(), 3, 39, 5), 3 + n) << n;
    EXPECT_EQ(SkipByteBack(row.data(), 3 + n - 1, 5), 3) << n;
  }
  std::vector<std::uint8_t> full(16, 9);  // a run to both ends
  EXPECT_EQ(SkipByte(full.data(), 0, 15, 9), 16);
  EXPECT_EQ(SkipByte(full.data(), 2, 10, 9), 11);  // stops at `to`
  EXPECT_EQ(SkipByteBack(full.data(), 15, 9), 0);
  EXPECT_EQ(SkipByteBack(full.data(), 7, 9), 0);
  std::mt19937 rng(32);
  std::vector<std::uint8_t> row(100);
  for (int trial = 0; trial < 500; ++trial) {
    for (auto& b : row) b = static_cast<std::uint8_t>(rng() % 5 == 0 ? 1 : 2);
    const int at = static_cast<int>(rng() % 100);
    const std::uint8_t v = row[at];
    int end = at, start = at;
    while (end < 100 && row[end] == v) ++end;
    while (start > 0 && row[start - 1] == v) --start;
    EXPECT_EQ(SkipByte(row.data(), at, 99, v), end);
    EXPECT_EQ(SkipByteBack(row.data(), at, v), start);
  }
}

TEST(LabelObjects, PointStackKeepsOrderAcrossGrowthAndFailsCleanly) {
  PointStack<StackPoint> stack;
  std::vector<std::pair<std::size_t, std::size_t>> grew;
  int failed = 0;
  stack.onGrow = [&](std::size_t o, std::size_t n) { grew.emplace_back(o, n); };
  stack.onFail = [&] { ++failed; };
  ASSERT_TRUE(stack.allocate(1));
  for (std::uint32_t i = 0; i < 5; ++i) ASSERT_TRUE(stack.push(StackPoint{i, 10 + i}));
  EXPECT_EQ(grew, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 2}, {2, 4}, {4, 8}}));
  StackPoint p{};
  for (std::uint32_t i = 5; i-- > 0;) {
    ASSERT_TRUE(stack.pop(p));
    EXPECT_EQ(p.x, i);
    EXPECT_EQ(p.y, 10 + i);
  }
  EXPECT_FALSE(stack.pop(p));
  EXPECT_EQ(failed, 0);

  PointStack<StackPoint> none;  // no storage at all: growth cannot succeed
  none.onFail = [&] { ++failed; };
  EXPECT_FALSE(none.push(StackPoint{0, 0}));
  EXPECT_EQ(failed, 1);
}

TEST(LabelObjects, NeighboursPathFollowsTheDataHome) {
  const std::string dir = ::testing::TempDir() + "/label_xdg";
  setenv("XDG_DATA_HOME", dir.c_str(), 1);
  const std::string path = DefaultNeighboursPath();
  EXPECT_EQ(path, dir + "/optascope/OPTA_Neighbours.dat");
  EXPECT_TRUE(std::filesystem::is_directory(dir + "/optascope"));
  unsetenv("XDG_DATA_HOME");
}

// A file in the way is truncated; a symbolic link there is not followed, so
// the file it points to keeps its contents.
TEST(LabelObjects, NeighboursFileIsTruncatedButNeverThroughALink) {
  const std::filesystem::path dir = ::testing::TempDir() + "/label_link";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::filesystem::path file = dir / "OPTA_Neighbours.dat", precious = dir / "precious.txt";
  std::ofstream(file) << "old";
  CreateNeighboursFile(file.string());
  EXPECT_EQ(std::filesystem::file_size(file), 0u);
  std::filesystem::remove(file);
  std::ofstream(precious) << "keep";
  std::filesystem::create_symlink(precious, file);
  CreateNeighboursFile(file.string());
  EXPECT_EQ(std::filesystem::file_size(precious), 4u);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace opta
