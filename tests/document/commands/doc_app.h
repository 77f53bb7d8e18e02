#pragma once
// A headless program for the document command tests: a 640 x 480 client area
// on an 800 x 600 screen, started as the program starts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bmp_samples.h"
#include "document/commands/commands.h"
#include "platform/headless/application.h"

namespace opta::testing {

constexpr Size kScreen{800, 600};
constexpr Size kClient{640, 480};

// Pixels of s inside the w x h block at (ox, oy) that differ from colour(x, y)
// (x, y relative to the block).
inline int Mismatches(const Surface& s, int ox, int oy, int w, int h, const ColourAt& colour) {
  int bad = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bad += s.get(ox + x, oy + y) != colour(x, y);
  return bad;
}

inline int Mismatches(const PixelMatrix& m, const ColourAt& colour) {
  int bad = 0;
  for (int y = 0; y < m.height(); ++y)
    for (int x = 0; x < m.width(); ++x) bad += m.at(x, y) != colour(x, y);
  return bad;
}

inline ColourAt Uniform(Colour c) {
  return [c](int, int) { return c; };
}

class DocApp : public ::testing::Test {
 protected:
  DocApp() : app(headless::AppOptions{kScreen, kClient, {}}) {}
  void SetUp() override { app.start(); }

  headless::HeadlessUi& ui() { return app.ui(); }
  Document& doc() { return app.doc(); }
  Surface& window() { return app.windowSurface(); }
  Surface& memory() { return app.doc().working.memory; }

  std::string file(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    return WriteTempFile(
        std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" + name, bytes);
  }
  // Opens a standard padded 24-bit file of the pattern.
  void openPattern(int w, int h, const ColourAt& colour = Pattern) {
    app.open(file("pattern.bmp", MakeBmp24(w, h, colour)));
    ASSERT_TRUE(doc().working.loaded);
  }
  // Open Also with a standard file.
  void openAlso(const std::vector<std::uint8_t>& bytes) {
    ui().queueFile(file("second.bmp", bytes));
    app.command(docid::kOpenAlso);
  }
  // Stands in for an image operation: every pixel of both surfaces changed.
  void paintOver(Colour c) {
    const int w = memory().width(), h = memory().height();
    memory().fill(c);
    window().fillRect(0, 0, w, h, c);
  }
  void leaveReadout() {
    ASSERT_EQ(currentReadoutMode(), ReadoutMode::Rgb);
    app.command(docid::kRgbValue);
    ASSERT_EQ(currentReadoutMode(), ReadoutMode::None);
  }
  void select(Point from, Point to) {
    app.leftDown(from);
    app.mouseMove(to, true);
    app.leftUp(to);
  }
  std::vector<std::string> boxTexts() {
    std::vector<std::string> out;
    for (const auto& b : app.ui().messageBoxes()) out.push_back(b.text);
    return out;
  }

  headless::Application app;
};

inline KeyPress AltChar(char c) { return KeyPress{KeyPress::Kind::Char, c, false, true, false}; }
inline KeyPress CtrlKey(char c) { return KeyPress{KeyPress::Kind::VirtKey, c, true, false, false}; }

}  // namespace opta::testing
