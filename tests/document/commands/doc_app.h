#pragma once
// A headless program for the document command tests (640 x 480 client on an
// 800 x 600 screen) and small BMP files written byte by byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "document/commands/commands.h"
#include "platform/headless/application.h"

namespace opta::testing {

using ColourAt = std::function<Colour(int x, int y)>;
inline Colour Pattern(int x, int y) { return Rgb(x & 0xFF, y & 0xFF, (x * 7 + y * 3) & 0xFF); }
inline ColourAt Uniform(Colour c) {
  return [c](int, int) { return c; };
}

// 24-bit, bottom-up: standard files pad rows to 4 bytes with marker 0, the
// program's own files carry a marker and no padding.
inline std::vector<std::uint8_t> MakeBmp24(int w, int h, const ColourAt& c, bool padded = true,
                                           int marker = 0) {
  const std::size_t row = padded ? (3u * w + 3) / 4 * 4 : 3u * w;
  std::vector<std::uint8_t> b(54 + row * h, 0);
  b[0] = 'B', b[1] = 'M', b[6] = marker, b[10] = 54, b[14] = 40, b[26] = 1, b[28] = 24;
  for (int i = 0; i < 4; ++i) b[2 + i] = b.size() >> 8 * i, b[18 + i] = w >> 8 * i, b[22 + i] = h >> 8 * i;
  for (int r = 0; r < h; ++r)
    for (int x = 0; x < w; ++x) {
      const Colour p = c(x, h - 1 - r);
      const std::size_t at = 54 + row * r + 3 * x;
      b[at] = Blue(p), b[at + 1] = Green(p), b[at + 2] = Red(p);
    }
  return b;
}

inline std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Pixels of the w x h block of s at (ox, oy) that differ from colour(x, y),
// with x, y counted from the block's corner.
inline int Mismatches(const Surface& s, int ox, int oy, int w, int h, const ColourAt& colour) {
  int bad = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bad += s.get(ox + x, oy + y) != colour(x, y);
  return bad;
}

class DocApp : public ::testing::Test {
 protected:
  DocApp() : app(headless::AppOptions{Size{800, 600}, Size{640, 480}, {}}) {}
  void SetUp() override { app.start(); }

  headless::HeadlessUi& ui() { return app.ui(); }
  Document& doc() { return app.doc(); }
  Surface& window() { return app.windowSurface(); }
  Surface& memory() { return doc().working.memory; }
  int sourceMismatches(const ColourAt& c) {
    const PixelMatrix& m = doc().working.pixels;
    int bad = 0;
    for (int y = 0; y < m.height(); ++y)
      for (int x = 0; x < m.width(); ++x) bad += m.at(x, y) != c(x, y);
    return bad;
  }

  std::string file(const std::string& name, const std::vector<std::uint8_t>& bytes = {}) {
    const auto dir = std::filesystem::temp_directory_path() / "opta_doccmd_tests";
    std::filesystem::create_directories(dir);
    const std::string p =
        (dir / (::testing::UnitTest::GetInstance()->current_test_info()->name() + name)).string();
    std::ofstream(p, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p;
  }
  void openPattern(int w, int h, const ColourAt& c = Pattern) {
    app.open(file("pattern.bmp", MakeBmp24(w, h, c)));
    ASSERT_TRUE(doc().working.loaded);
  }
  void openAlso(const std::vector<std::uint8_t>& bytes) {
    ui().queueFile(file("second.bmp", bytes));
    app.command(docid::kOpenAlso);
  }
  // Stands in for an image operation: both surfaces changed everywhere.
  void paintOver(Colour c) {
    memory().fill(c);
    window().fillRect(0, 0, memory().width(), memory().height(), c);
  }
  // Every message box so far as "text|caption|flags", "|owned" when owned.
  std::vector<std::string> boxes() {
    std::vector<std::string> out;
    for (const auto& b : ui().messageBoxes())
      out.push_back(b.text + "|" + b.caption + "|" + std::to_string(b.flags) +
                    (b.ownedByMainWindow ? "|owned" : ""));
    return out;
  }

  headless::Application app;
};

using Strings = std::vector<std::string>;
inline KeyPress AltChar(char c) { return KeyPress{KeyPress::Kind::Char, c, false, true, false}; }
inline KeyPress CtrlKey(char c) { return KeyPress{KeyPress::Kind::VirtKey, c, true, false, false}; }

}  // namespace opta::testing
