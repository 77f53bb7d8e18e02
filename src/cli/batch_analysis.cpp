#include "cli/batch_analysis.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "cli/csv_table.h"
#include "document/dib_file.h"
#include "document/formats/picture_formats.h"
#include "document/save_file.h"
#include "platform/headless/application.h"

namespace opta::cli {
namespace {

// The screen a picture gets at least; a larger picture gets a screen of its
// own size, since labelling seeks objects only inside the screen.
constexpr Size kLeastScreen{1920, 1080};

std::string Number(std::uint64_t v) { return std::to_string(v); }

template <class T>
std::string Maybe(const std::optional<T>& v) {
  return v ? Number(static_cast<std::uint64_t>(*v)) : std::string();
}

std::string Fixed(double v, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

// The shortest text that reads back as the same single-precision value.
std::string Shortest(float v) {
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, v);
  return std::string(text, r.ptr);
}

std::string MarkText(const ObjectRecord& o) {
  static constexpr std::pair<CellMark::Kind, const char*> kNames[] = {
      {CellMark::Kind::NormalRed, "normal red cell"},
      {CellMark::Kind::Sickle, "sickle"},
      {CellMark::Kind::White, "white cell"}};
  std::string out;
  for (const auto& [kind, text] : kNames) {
    if (!o.has(kind)) continue;
    if (!out.empty()) out += '+';
    out += text;
  }
  return out.empty() ? "none" : out;
}

// Answers that found no dialog, or did not fit theirs: the recipe is wrong
// for every picture, so the batch tells the user once.
std::string Leftovers(const RunStep& step, headless::HeadlessUi& ui) {
  std::string out;
  if (ui.pendingDialogScripts() > 0)
    out += step.name + ": " + Number(ui.pendingDialogScripts()) + " dialog answer(s) not used\n";
  if (ui.pendingFileAnswers() > 0)
    out += step.name + ": " + Number(ui.pendingFileAnswers()) + " file answer(s) not used\n";
  for (const std::string& p : ui.problems()) out += step.name + ": " + p + "\n";
  return out;
}

}  // namespace

struct ImageAnalyser::Program {
  headless::Application app;
  Surface picture;  // a decoded PNG, TIFF or JPEG, kept for the next one's storage

  static headless::AppOptions Options() {
    headless::AppOptions options;
    options.screen = kLeastScreen;
    // Nothing is shown: a one-pixel window keeps the commands' screen writes
    // from costing anything, while the screen size still decides labelling.
    options.client = Size{1, 1};
    return options;
  }
  Program() : app(Options()) { app.start(); }
};

std::vector<RunStep> DefaultRecipe() {
  // Identify Sickel Cells judges the labels the previous command left, so it
  // comes before Find WBCs, which labels the nuclei afresh.
  std::vector<RunStep> steps;
  std::string error;
  for (const char* name : {"TRFG", "RBC General", "Identify Sickel Cells", "Find WBCs"})
    AddStep(steps, name, error);
  return steps;
}

ImageAnalyser::ImageAnalyser(std::vector<RunStep> recipe, bool wantObjects)
    : recipe_(std::move(recipe)), wantObjects_(wantObjects) {}

ImageAnalyser::~ImageAnalyser() {
  if (FindingsSink == &findings_) FindingsSink = nullptr;
  if (pictureFd_ >= 0) ::close(pictureFd_);
}

bool ImageAnalyser::load(const std::string& path, std::string& status) {
  headless::Application& app = program_->app;
  std::string openPath = path;
  const PictureFormat format = SniffPictureFile(path);
  if (format == PictureFormat::Png || format == PictureFormat::Tiff || format == PictureFormat::Jpeg) {
    // Converted once to the standard BMP that holds the same colours, then
    // opened as Open opens that file: the same working image either way.
    if (!ReadPicture(path, program_->picture, status)) return false;
    const std::vector<std::uint8_t> bmp = EncodeStandardBmp(program_->picture);
    if (pictureFd_ < 0) pictureFd_ = ::memfd_create("optascope-picture", MFD_CLOEXEC);
    std::size_t done = 0;
    bool ok = pictureFd_ >= 0 && ::ftruncate(pictureFd_, 0) == 0;
    while (ok && done < bmp.size()) {
      const ssize_t n = ::pwrite(pictureFd_, bmp.data() + done, bmp.size() - done, static_cast<off_t>(done));
      ok = n > 0;
      done += ok ? static_cast<std::size_t>(n) : 0;
    }
    if (!ok) {
      status = "cannot hold the converted picture";
      return false;
    }
    openPath = "/proc/self/fd/" + std::to_string(pictureFd_);
  }
  app.ui().clearRecords();
  app.open(openPath);
  if (app.doc().working.loaded) return true;
  // The messages Open showed are the reason.
  for (const headless::MessageBoxRecord& box : app.ui().messageBoxes())
    status += (status.empty() ? "" : "; ") + box.text;
  if (status.empty()) status = "not loaded";
  return false;
}

ImageResult ImageAnalyser::analyse(const std::string& path, const std::string& name,
                                   const std::string& outFile) {
  const auto start = std::chrono::steady_clock::now();
  ImageResult result;
  if (!program_ || program_->app.exited()) program_ = std::make_unique<Program>();
  headless::Application& app = program_->app;
  findings_.clear();
  findings_.keepLabelledMask = wantObjects_;
  FindingsSink = &findings_;
  // Each picture starts as a new run of the program: every remembered value
  // is back at its start, so no row depends on the pictures before it.
  app.shell().onCreate();
  app.window().setScreenSize(kLeastScreen);

  std::string status;
  const bool loaded = load(path, status);
  const WorkingImage& working = app.doc().working;
  const int w = loaded ? working.width() : 0, h = loaded ? working.height() : 0;
  objects_.clear();
  if (loaded) {
    app.window().setScreenSize(Size{std::max(kLeastScreen.width, w), std::max(kLeastScreen.height, h)});
    for (const RunStep& step : recipe_) {
      if (app.exited()) break;
      PlayStep(app, step);
      result.warnings += Leftovers(step, app.ui());
    }
    status = kOk;
    if (findings_.haveLabelledMask) {
      Document& doc = app.doc();
      Matrix<std::uint32_t>* ids = doc.scratch.pixels(0, w, h);
      ByteMatrix* work = doc.scratch.bytes(0, w, h);
      if (!ids || !work ||
          !DescribeObjects(findings_.labelledMask, working.pixels, findings_.marks, *ids, *work, objects_))
        status = "out of memory while describing the objects";
    }
    if (!outFile.empty()) {
      if (const int err = SaveDibFile(outFile, working.memory); err != 0)
        status = "cannot write " + outFile + ": " + std::strerror(err);
    }
  }
  FindingsSink = nullptr;
  result.ok = status == kOk;
  result.status = status;

  for (std::size_t i = 0; i < objects_.size(); ++i) {
    const ObjectRecord& o = objects_[i];
    result.objectRecords +=
        CsvRecord({name, Number(i + 1), Number(o.label), Number(o.area), Shortest(o.perimeter),
                   Number(o.meanIntensity), Fixed(o.centroidX, 3), Fixed(o.centroidY, 3), Number(o.left),
                   Number(o.top), Number(o.right - o.left + 1), Number(o.bottom - o.top + 1), MarkText(o)});
  }
  const AnalysisFindings& f = findings_;
  std::string anaemia;
  if (f.redCells) anaemia = f.redCells->anaemia() ? "yes" : "no";
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  result.imageRecord = CsvRecord({name, loaded ? Number(w) : "", loaded ? Number(h) : "", Maybe(f.objects),
                                  f.redCells ? Number(f.redCells->normal) : "", anaemia, Maybe(f.whiteCells),
                                  Maybe(f.sickleCells), status, Fixed(ms, 1)});
  return result;
}

}  // namespace opta::cli
