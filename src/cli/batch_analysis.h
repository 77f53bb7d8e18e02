#pragma once
// One picture of a batch: loaded as Open loads it, analysed by the recipe's
// commands on a program without a screen, and turned into its table rows
// from what the analysis commands found.
#include <memory>
#include <string>
#include <vector>

#include "analysis/findings.h"
#include "analysis/objects.h"
#include "cli/recipe.h"

namespace opta::cli {

inline constexpr const char* kImageColumns[] = {"file",        "width",   "height",      "objects",
                                                "normal_rbcs", "anaemia", "white_cells", "sickle_cells",
                                                "status",      "ms"};
inline constexpr const char* kObjectColumns[] = {"file",      "object",         "label",      "area",
                                                 "perimeter", "mean_intensity", "centroid_x", "centroid_y",
                                                 "bbox_x",    "bbox_y",         "bbox_width", "bbox_height",
                                                 "mark"};
inline constexpr const char* kOk = "ok";

struct ImageResult {
  bool ok = false;
  std::string status;         // "ok", or why not
  std::string imageRecord;    // the row of the image table
  std::string objectRecords;  // its rows of the object table
  std::string warnings;       // answers that fitted no dialog, one a line
};

class ImageAnalyser {
 public:
  // wantObjects: describe each object (needs the labelled mask kept).
  ImageAnalyser(std::vector<RunStep> recipe, bool wantObjects);
  ~ImageAnalyser();
  ImageAnalyser(const ImageAnalyser&) = delete;
  ImageAnalyser& operator=(const ImageAnalyser&) = delete;

  // `name` is the file column; outFile, when not empty, receives the marked
  // picture as Save writes it.
  ImageResult analyse(const std::string& path, const std::string& name, const std::string& outFile);

 private:
  struct Program;
  bool load(const std::string& path, std::string& status);
  void describe(const std::string& name, ImageResult& result);

  std::vector<RunStep> recipe_;
  bool wantObjects_;
  std::unique_ptr<Program> program_;
  AnalysisFindings findings_;
  std::vector<ObjectRecord> objects_;
  int pictureFd_ = -1;
};

// The recipe when no -c is given: TRFG, RBC General, Identify Sickel Cells,
// Find WBCs.
std::vector<RunStep> DefaultRecipe();

}  // namespace opta::cli
