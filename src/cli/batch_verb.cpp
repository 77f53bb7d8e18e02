// batch: the analysis of whole folders. Every picture runs through the same
// commands as `run` would run them, in worker processes, and the counts,
// verdict and per-object measurements come from what the analysis commands
// found, written as tables in input order.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "cli/batch_analysis.h"
#include "cli/batch_inputs.h"
#include "cli/batch_pool.h"
#include "cli/csv_table.h"
#include "cli/recipe.h"
#include "cli/verbs.h"
#include "core/parallel.h"

namespace opta::cli {
namespace {

constexpr const char* kBatchUsage =
    "usage: optascope-cli batch INPUT... [-c COMMAND [-a ANSWER]...]... [--csv FILE] [--objects FILE]\n"
    "                           [--out DIR] [-j N] [--resume] [--list]\n"
    "\n"
    "Analyses every picture: INPUT is a file, or a folder whose pictures (.bmp, .dib,\n"
    ".png, .tif, .tiff, .jpg, .jpeg, subfolders included, names starting with a dot\n"
    "left out) are taken in sorted order. BMP files load as Open loads them; PNG,\n"
    "TIFF (8 or 16 bits) and JPEG become the same colours first: 16-bit samples\n"
    "keep their top byte, gray gives equal red, green and blue, alpha is dropped.\n"
    "Each picture starts the program afresh, with a screen at least as large as\n"
    "the picture, so labelling finds objects anywhere in it.\n"
    "\n"
    "-c COMMAND [-a ANSWER]...  the commands to run, named and answered as for\n"
    "               'optascope-cli run' (see its --help). Default: TRFG, RBC General,\n"
    "               Identify Sickel Cells, Find WBCs. Identify Sickel Cells judges the\n"
    "               labels the command before it left, so it runs before Find WBCs.\n"
    "--csv FILE     the image table (default: standard output), one row a picture:\n"
    "               file, width, height, objects (the last labelling's count), normal_rbcs,\n"
    "               anaemia (yes or no), white_cells (Find WBCs' count), sickle_cells\n"
    "               ('s' marks), status (ok, or the reason), ms (the time it took).\n"
    "               A field is empty when no command of the recipe gives it.\n"
    "--objects FILE the object table, one row an object of the last labelling: file,\n"
    "               object (1, 2, ... in labelling order), label, area, perimeter,\n"
    "               mean_intensity (measured by the program's rules), centroid_x,\n"
    "               centroid_y, bbox_x, bbox_y, bbox_width, bbox_height, and mark\n"
    "               (normal red cell, sickle, white cell, or none).\n"
    "--out DIR      save each marked picture as Save writes it: DIR/NAME, NAME being\n"
    "               the path inside its folder (a file's own name), .bmp added\n"
    "               unless it ends so.\n"
    "-j N           analyse N pictures at once (default: the number of cores).\n"
    "--resume       keep the rows of pictures the CSV already holds as ok and analyse\n"
    "               the rest, as after an interrupted batch; needs --csv.\n"
    "--list         print the pictures a batch would analyse, one a line, and stop.\n"
    "\n"
    "Tables follow RFC 4180: fields holding a comma, a quote or a line end are\n"
    "quoted, records end with CRLF. Rows come in input order whatever -j is. A row\n"
    "is written whole, and a killed batch leaves only whole rows behind.\n"
    "On a terminal a progress line shows on standard error; otherwise only errors do.\n"
    "\n"
    "Exit status: 0 every picture ok, 1 some picture failed (its row says why) or a\n"
    "table could not be written, 2 a usage error.\n";

int UsageError(const std::string& message) {
  std::fprintf(stderr, "batch: %s\n", message.c_str());
  return kUsage;
}

std::string Header(const auto& columns) {
  return CsvRecord(std::vector<std::string>(std::begin(columns), std::end(columns)));
}

// A worker's result on its way to the parent: ok flag, then four strings.
std::string Pack(const ImageResult& r) {
  std::string out(1, r.ok ? '1' : '0');
  for (const std::string* s : {&r.status, &r.imageRecord, &r.objectRecords, &r.warnings}) {
    const std::uint64_t n = s->size();
    out.append(reinterpret_cast<const char*>(&n), sizeof n);
    out += *s;
  }
  return out;
}

ImageResult Unpack(const std::string& bytes) {
  ImageResult r;
  r.ok = !bytes.empty() && bytes[0] == '1';
  std::size_t at = 1;
  for (std::string* s : {&r.status, &r.imageRecord, &r.objectRecords, &r.warnings}) {
    std::uint64_t n = 0;
    if (at + sizeof n > bytes.size()) break;
    std::memcpy(&n, bytes.data() + at, sizeof n);
    at += sizeof n;
    *s = bytes.substr(at, static_cast<std::size_t>(n));
    at += static_cast<std::size_t>(n);
  }
  return r;
}

struct Options {
  std::vector<std::string> inputs;
  std::vector<RunStep> recipe;
  std::optional<std::string> csv, objects, out;
  int jobs = 0;
  bool resume = false;
  bool list = false;
};

// What a resumed batch keeps of the tables it finds.
struct Resume {
  std::size_t keepImages = 0, keepObjects = 0;  // bytes of each table kept in place
  std::size_t done = 0;                         // inputs whose rows those bytes hold
  // Ok rows of later inputs, written again when their turn comes.
  std::map<std::string, std::pair<std::string, std::string>> later;  // path -> image row, object rows
};

// Keeps the longest run of ok rows that follows the input order from the
// start (and their object rows); ok rows further on are kept for re-writing.
// Error rows and a torn last row are dropped: those pictures run again.
std::optional<Resume> PlanResume(const Options& o, const std::vector<BatchInput>& inputs,
                                 std::string& error) {
  Resume plan;
  const std::optional<std::string> images = ReadTextFile(*o.csv);
  if (!images) return plan;  // nothing yet: a fresh batch
  const std::vector<ParsedRecord> rows = ParseCsv(*images);
  const std::string header = Header(kImageColumns);
  if (rows.empty() || images->compare(0, header.size(), header) != 0) {
    error = *o.csv + " is not an image table of this program";
    return std::nullopt;
  }
  std::optional<std::string> objects;
  if (o.objects) {
    objects = ReadTextFile(*o.objects);
    // Without the object table the kept rows would lack their objects.
    if (!objects || objects->compare(0, Header(kObjectColumns).size(), Header(kObjectColumns)) != 0)
      return plan;
  }
  constexpr std::size_t statusColumn = 8;
  auto ok = [](const ParsedRecord& r) {
    return r.fields.size() == std::size(kImageColumns) && r.fields[statusColumn] == kOk;
  };
  std::map<std::string, std::string> okRows;
  for (std::size_t i = 1; i < rows.size(); ++i)
    if (ok(rows[i]))
      okRows.emplace(rows[i].fields[0], images->substr(rows[i].begin, rows[i].end - rows[i].begin));
  std::size_t next = 1;
  plan.keepImages = rows[0].end;
  while (plan.done < inputs.size() && next < rows.size() && ok(rows[next]) &&
         rows[next].fields[0] == inputs[plan.done].path) {
    plan.keepImages = rows[next].end;
    ++plan.done;
    ++next;
  }
  std::map<std::string, std::string> objectRows;
  if (objects) {
    const std::vector<ParsedRecord> orows = ParseCsv(*objects);
    std::set<std::string> kept;
    for (std::size_t i = 0; i < plan.done; ++i) kept.insert(inputs[i].path);
    plan.keepObjects = orows.empty() ? 0 : orows[0].end;
    bool inPlace = true;
    for (std::size_t i = 1; i < orows.size(); ++i) {
      const std::string& file = orows[i].fields[0];
      // Kept rows come first, in order; the first row of another picture ends them.
      inPlace = inPlace && kept.count(file);
      if (inPlace) {
        plan.keepObjects = orows[i].end;
      } else {
        objectRows[file] += objects->substr(orows[i].begin, orows[i].end - orows[i].begin);
      }
    }
  }
  for (std::size_t i = plan.done; i < inputs.size(); ++i) {
    auto it = okRows.find(inputs[i].path);
    if (it != okRows.end()) plan.later[inputs[i].path] = {it->second, objectRows[inputs[i].path]};
  }
  return plan;
}

// done/total, the picture, the rate and the time left, on one line of a terminal.
class Progress {
 public:
  Progress(std::size_t total, bool shown) : total_(total), shown_(shown) {}
  void update(std::size_t done, std::size_t analysed, const std::string& file) {
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (done < total_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(analysed) / seconds : 0.0;
    const double left = rate > 0 ? static_cast<double>(total_ - done) / rate : 0.0;
    std::fprintf(stderr, "\r\033[K[%zu/%zu] %s  %.1f pictures/s  %d:%02d left", done, total_, file.c_str(),
                 rate, static_cast<int>(left) / 60, static_cast<int>(left) % 60);
    std::fflush(stderr);
  }
  // An error line above the progress line.
  void error(const std::string& text) {
    std::fprintf(stderr, "%sbatch: %s\n", shown_ ? "\r\033[K" : "", text.c_str());
  }
  void finish() {
    if (shown_) std::fprintf(stderr, "\n");
  }

 private:
  std::size_t total_;
  bool shown_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace

int BatchVerb(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kBatchUsage, stdout);
      std::printf("\nCommands (from the program's menu):\n");
      PrintCommandList(stdout);
      return kDone;
    }
    if (arg == "--resume" || arg == "--list") {
      (arg == "--resume" ? o.resume : o.list) = true;
      continue;
    }
    if (arg == "-c" || arg == "-a" || arg == "--csv" || arg == "--objects" || arg == "--out" || arg == "-j") {
      if (i + 1 >= argc) return UsageError(std::string(arg) + " needs a value");
      const std::string value = argv[++i];
      std::string error;
      if (arg == "-c") {
        if (!AddStep(o.recipe, value, error)) return UsageError(error);
      } else if (arg == "-a") {
        if (o.recipe.empty()) return UsageError("-a '" + value + "' comes before any -c");
        if (!AddAnswer(o.recipe.back(), value, error)) return UsageError(error);
      } else if (arg == "-j") {
        const std::optional<int> n = ParseInt(value);
        if (!n || *n < 1) return UsageError("-j needs a whole number of at least 1");
        o.jobs = *n;
      } else {
        (arg == "--csv" ? o.csv : arg == "--objects" ? o.objects : o.out) = value;
      }
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-') return UsageError("unknown option '" + std::string(arg) + "'");
    o.inputs.emplace_back(arg);
  }
  if (o.inputs.empty()) return UsageError("no pictures or folders given (see optascope-cli batch --help)");
  if (o.resume && !o.csv) return UsageError("--resume needs --csv");
  FinishSteps(o.recipe);
  if (o.recipe.empty()) o.recipe = DefaultRecipe();

  const std::vector<BatchInput> inputs = ListInputs(o.inputs, o.out.value_or(""));
  if (o.list) {
    for (const BatchInput& in : inputs) std::printf("%s\n", in.path.c_str());
    return kDone;
  }
  if (o.out) {
    if (const std::string clash = OutNameClash(inputs); !clash.empty()) return UsageError("--out: " + clash);
    std::error_code ec;
    std::filesystem::create_directories(*o.out, ec);
    if (!std::filesystem::is_directory(*o.out)) return UsageError("--out: cannot make folder " + *o.out);
    for (const BatchInput& in : inputs)
      std::filesystem::create_directories(std::filesystem::path(*o.out + "/" + in.outName).parent_path(), ec);
  }

  Resume plan;
  if (o.resume) {
    std::string error;
    std::optional<Resume> p = PlanResume(o, inputs, error);
    if (!p) return UsageError("--resume: " + error);
    plan = std::move(*p);
  }
  TableFile images, objects;
  const bool resumed = o.resume && plan.keepImages > 0;
  if (!o.csv) {
    images.useStandardOutput();
    if (!images.append(Header(kImageColumns))) return 1;
  } else if (!(resumed ? images.reopen(*o.csv, plan.keepImages)
                       : images.create(*o.csv, Header(kImageColumns)))) {
    std::fprintf(stderr, "batch: cannot write %s\n", o.csv->c_str());
    return 1;
  }
  if (o.objects && !(resumed && plan.keepObjects > 0 ? objects.reopen(*o.objects, plan.keepObjects)
                                                     : objects.create(*o.objects, Header(kObjectColumns)))) {
    std::fprintf(stderr, "batch: cannot write %s\n", o.objects->c_str());
    return 1;
  }

  // Pictures still to analyse; kept rows are written again in their place.
  std::vector<std::size_t> todo;
  for (std::size_t i = plan.done; i < inputs.size(); ++i)
    if (!plan.later.count(inputs[i].path)) todo.push_back(i);

  const int cores = hardwareThreads();
  const int workers = o.jobs > 0 ? o.jobs : cores;
  Progress progress(inputs.size(), ::isatty(STDERR_FILENO) == 1);
  bool failed = false, writeFailed = false;
  std::set<std::string> warned;
  std::size_t written = plan.done, analysed = 0;

  auto write = [&](const std::string& imageRow, const std::string& objectRows) {
    // Objects first: an image row on disk promises its objects are there too.
    if (writeFailed) return;
    if ((o.objects && !objects.append(objectRows)) || !images.append(imageRow)) {
      writeFailed = true;
      progress.error("cannot write the tables");
    }
  };
  auto writeKept = [&](std::size_t upTo) {
    for (; written < upTo; ++written) {
      const auto& [imageRow, objectRows] = plan.later.at(inputs[written].path);
      write(imageRow, objectRows);
    }
  };

  std::unique_ptr<ImageAnalyser> analyser;
  PoolJobs pool;
  pool.count = todo.size();
  pool.workers = std::min<int>(workers, static_cast<int>(std::max<std::size_t>(todo.size(), 1)));
  pool.work = [&](std::size_t job) {
    if (!analyser) {
      // Each worker takes its share of the cores for the commands' own loops.
      threadCap = std::max(1, cores / pool.workers);
      analyser = std::make_unique<ImageAnalyser>(o.recipe, o.objects.has_value());
    }
    const BatchInput& in = inputs[todo[job]];
    return Pack(analyser->analyse(in.path, in.path, o.out ? *o.out + "/" + in.outName : ""));
  };
  pool.deliver = [&](std::size_t job, const std::string& bytes, bool crashed) {
    const std::size_t index = todo[job];
    writeKept(index);
    const BatchInput& in = inputs[index];
    ImageResult r;
    if (crashed) {
      r.status = bytes;
      std::vector<std::string> fields(std::size(kImageColumns));
      fields[0] = in.path;
      fields[8] = bytes;
      r.imageRecord = CsvRecord(fields);
    } else {
      r = Unpack(bytes);
    }
    for (std::size_t start = 0, end; start < r.warnings.size(); start = end + 1) {
      end = r.warnings.find('\n', start);
      const std::string line = r.warnings.substr(start, end - start);
      if (warned.insert(line).second) progress.error("warning: " + line);
    }
    if (!r.ok) {
      failed = true;
      progress.error(in.path + ": " + r.status);
    }
    write(r.imageRecord, r.objectRecords);
    ++written;
    ++analysed;
    progress.update(written, analysed, in.path);
  };
  if (!RunPool(pool)) {
    progress.error("cannot start worker processes");
    return 1;
  }
  writeKept(inputs.size());
  progress.finish();
  return failed || writeFailed ? 1 : 0;
}

}  // namespace opta::cli
