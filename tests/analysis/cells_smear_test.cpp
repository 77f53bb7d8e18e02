// The blood-cell commands end to end on the bundled synthetic smear: TRFG,
// RBC General, Identify Sickel Cells and Find WBCs through the shell, checked
// against the ground truth the generator wrote beside the picture.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/measure.h"
#include "cells_test_support.h"
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

// The truth file is the generator's flat JSON: "name": number pairs before
// "cells", then one cell per line with its kind and first pixel.
Truth ReadTruth(const std::string& path) {
  Truth t;
  const std::string text = ReadText(path);
  const std::size_t cellsAt = text.find("\"cells\"");
  for (std::size_t q = text.find('"'); q < cellsAt; q = text.find('"', q + 1)) {
    const std::size_t close = text.find('"', q + 1);
    if (close == std::string::npos || close >= cellsAt) break;
    const std::size_t value = text.find_first_not_of(": ", close + 1);
    if (value != std::string::npos && std::isdigit(static_cast<unsigned char>(text[value])) &&
        text.compare(close + 1, 2, ": ") == 0)
      t.expected[text.substr(q + 1, close - q - 1)] = std::stoi(text.substr(value));
    q = close;
  }
  std::istringstream lines(text.substr(cellsAt == std::string::npos ? text.size() : cellsAt));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t kind = line.find("\"kind\": \"");
    const std::size_t first = line.find("\"first_pixel\": [");
    if (kind == std::string::npos || first == std::string::npos) continue;
    const std::size_t kindBegin = kind + 9;
    const std::string name = line.substr(kindBegin, line.find('"', kindBegin) - kindBegin);
    const std::size_t xAt = first + 16;
    const int x = std::stoi(line.substr(xAt));
    const int y = std::stoi(line.substr(line.find(',', xAt) + 1));
    t.cells.push_back(TruthCell{name, x, y});
  }
  return t;
}

class SmearApp : public headless::Application {
 public:
  SmearApp() : Application(headless::AppOptions{Size{2048, 2048}, Size{1200, 900}, {}}) { start(); }

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
  app.open(Sample("smear.bmp"));
  ASSERT_TRUE(app.doc().working.loaded);
  app.ui().clearRecords();
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
