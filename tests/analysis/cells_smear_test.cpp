// The blood-cell commands end to end on the bundled synthetic smear: TRFG,
// RBC General, Identify Sickel Cells and Find WBCs through the shell, checked
// against the ground truth the generator wrote beside the picture.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/measure.h"
#include "cells_test_support.h"
#include "document/dib_file.h"
#include "platform/headless/application.h"

namespace opta {
namespace {

struct TruthCell {
  std::string kind;
  int firstX, firstY;
};

struct Truth {
  std::map<std::string, int> expected;
  std::vector<TruthCell> cells;
};

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

Truth ReadTruth(const std::string& path) {
  Truth t;
  const std::string text = ReadText(path);
  const std::string head = text.substr(0, text.find("\"cells\""));
  const std::regex number("\"(\\w+)\": (\\d+)");
  for (std::sregex_iterator i(head.begin(), head.end(), number), end; i != end; ++i)
    t.expected[(*i)[1]] = std::stoi((*i)[2]);
  const std::regex cell("\"kind\": \"(\\w+)\"[^\\n]*\"first_pixel\": \\[(\\d+), (\\d+)\\]");
  for (std::sregex_iterator i(text.begin(), text.end(), cell), end; i != end; ++i)
    t.cells.push_back(TruthCell{(*i)[1], std::stoi((*i)[2]), std::stoi((*i)[3])});
  return t;
}

// The picture as the screen's decoder gives it.
bool ReadPicture(const std::string& path, PixelMatrix& out) {
  const std::string f = ReadText(path);
  Surface decoded;
  if (!DecodeDib(std::span(reinterpret_cast<const std::uint8_t*>(f.data()), f.size()), decoded)) return false;
  if (!out.allocate(decoded.width(), decoded.height())) return false;
  for (int y = 0; y < decoded.height(); ++y)
    std::memcpy(out.row(y), decoded.row(y), sizeof(Colour) * decoded.width());
  return true;
}

class SmearApp : public headless::Application {
 public:
  SmearApp() : Application(headless::AppOptions{Size{2048, 2048}, Size{1200, 900}, {}}) { start(); }

  bool load(const std::string& path) {
    WorkingImage& img = doc().working;
    if (!ReadPicture(path, img.pixels)) return false;
    img.memory.allocate(img.pixels.width(), img.pixels.height());
    for (int y = 0; y < img.pixels.height(); ++y)
      img.memory.putRow(0, y, img.pixels.row(y), img.pixels.width());
    img.gray.allocate(img.pixels.width(), img.pixels.height());
    img.mask.allocate(img.pixels.width(), img.pixels.height());
    img.mask.fill(0);
    img.loaded = true;
    return true;
  }
  // Marks land in the recorder from here on.
  void recordMarks() {
    windowSurface().setTextRenderer(&renderer);
    doc().working.memory.setTextRenderer(&renderer);
  }
  std::vector<std::string> texts() {
    std::vector<std::string> out;
    for (const auto& b : ui().messageBoxes()) out.push_back(b.caption + ": " + b.text);
    return out;
  }
  std::set<std::pair<int, int>> marks(const std::string& text) {
    std::set<std::pair<int, int>> out;
    int memoryCount = 0;
    for (const auto& m : renderer.marks) {
      if (m.text != text) continue;
      if (m.surface == &doc().working.memory) {
        ++memoryCount;
        out.insert({m.x, m.y});
      }
    }
    EXPECT_EQ(memoryCount, static_cast<int>(out.size())) << "one mark per object for " << text;
    return out;
  }

  testing::RecordingRenderer renderer;
};

std::string Sample(const char* name) { return std::string(OPTA_SOURCE_DIR) + "/data/samples/" + name; }

std::set<std::pair<int, int>> FirstPixelsOf(const Truth& t, const std::string& kind, int dx) {
  std::set<std::pair<int, int>> out;
  for (const auto& c : t.cells)
    if (c.kind == kind) out.insert({c.firstX + dx, c.firstY});
  return out;
}

TEST(SmearEndToEnd, CountsAndMarksMatchTheGroundTruth) {
  const Truth truth = ReadTruth(Sample("smear.json"));
  ASSERT_EQ(truth.expected.at("touching_pairs"), 0);  // every cell is an object of its own
  SmearApp app;
  ASSERT_TRUE(app.load(Sample("smear.bmp")));
  app.recordMarks();

  app.command(40109);  // TRFG
  app.command(40199);  // RBC General
  app.command(40207);  // Identify Sickel Cells
  const std::vector<std::string> expected{
      "OPTA: Total Objects Found: " + std::to_string(truth.expected.at("total_objects")),
      "OPTA: The Patient appears to be suffering from Anemia",
      "OPTA: Normal RBCs Found: " + std::to_string(truth.expected.at("normal_rbcs"))};
  EXPECT_EQ(app.texts(), expected);
  EXPECT_EQ(app.marks("r"), FirstPixelsOf(truth, "normal", 0));
  EXPECT_EQ(app.marks("s"), FirstPixelsOf(truth, "sickle", 0));
  EXPECT_EQ(static_cast<int>(app.marks("s").size()), truth.expected.at("s_marks"));

  app.renderer.marks.clear();
  app.ui().clearRecords();
  app.command(40200);  // Find WBCs: the nuclei alone
  EXPECT_EQ(app.texts(), (std::vector<std::string>{"OPTA: Total Objects Found: " +
                                                   std::to_string(truth.expected.at("wbc_objects"))}));
  EXPECT_EQ(app.marks("W"), FirstPixelsOf(truth, "wbc", 5));
  EXPECT_EQ(static_cast<int>(app.marks("W").size()), truth.expected.at("w_marks"));
}

}  // namespace
}  // namespace opta
