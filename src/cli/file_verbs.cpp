// info and convert: a BMP file through the same checks and loading roads as
// the Open command, and out again as Save writes it or as a plain PPM.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/verbs.h"
#include "document/dib_file.h"
#include "document/save_file.h"

namespace opta::cli {
namespace {

constexpr const char* kCannotLoad = "Cannot load DIB file";
constexpr const char* kCaption = "OPTA";

constexpr const char* kInfoUsage =
    "usage: optascope-cli info FILE\n"
    "\n"
    "Loads FILE as Open does and prints its size, planes, bits per pixel, marker and\n"
    "loading road, or the message boxes Open shows when it does not load.\n"
    "\n";
constexpr const char* kConvertUsage =
    "usage: optascope-cli convert IN OUT(.bmp|.ppm)\n"
    "\n"
    "Loads IN as Open does and writes it as Save does (.bmp) or as a binary PPM (.ppm).\n"
    "OUT is replaced only once it is completely written.\n"
    "\n";

struct Load {
  DibReadStatus status = DibReadStatus::CannotOpen;
  bool loaded = false;
  bool ownReader = false;
  LoadedFile file;
  Surface image;
};

// Open's road: the own reader for marked files at most 500 pixels in one
// direction, the decoder for everything else.
Load LoadAsOpenDoes(const std::string& path) {
  Load load;
  const DibReadResult read = ReadDibFile(path, load.file);
  load.status = read.status;
  if (read.status != DibReadStatus::Ok) return load;
  load.ownReader = UsesOwnReader(FileMarker(load.file), read.info.width, read.info.height);
  Surface window;  // nothing on screen here
  load.loaded = LoadPicture(load.file, read.info, window, load.image) == PictureStatus::Loaded;
  return load;
}

// The message boxes Open shows for a file that does not load, one a line.
std::vector<std::string> Messages(const Load& load) {
  std::vector<std::string> lines;
  if (load.status == DibReadStatus::Rejected) lines.push_back(": bsuccess");
  if (!load.loaded) lines.push_back(std::string(kCaption) + ": " + kCannotLoad);
  return lines;
}

bool WantsHelp(int argc, char** argv, const char* usage) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(usage, stdout);
      std::fputs(kExitStatusHelp, stdout);
      return true;
    }
  }
  return false;
}

}  // namespace

int InfoVerb(int argc, char** argv) {
  if (WantsHelp(argc, argv, kInfoUsage)) return kDone;
  if (argc != 2) {
    std::fprintf(stderr, "usage: optascope-cli info FILE\n");
    return kUsage;
  }
  const Load load = LoadAsOpenDoes(argv[1]);
  if (!load.loaded) {
    for (const std::string& line : Messages(load)) std::printf("%s\n", line.c_str());
    return kCannotOpen;
  }
  // Planes and bits come from their fixed header offsets, as Show Image Details reads them.
  std::printf("width %d\nheight %d\nplanes %d\nbits per pixel %d\nmarker %u\nroad %s\n", load.image.width(),
              load.image.height(), FilePlanes(load.file), FileBitCount(load.file),
              static_cast<unsigned>(FileMarker(load.file)), load.ownReader ? "own reader" : "decoder");
  return kDone;
}

int ConvertVerb(int argc, char** argv) {
  if (WantsHelp(argc, argv, kConvertUsage)) return kDone;
  if (argc != 3) {
    std::fprintf(stderr, "usage: optascope-cli convert IN OUT(.bmp|.ppm)\n");
    return kUsage;
  }
  const std::string out = argv[2];
  const bool ppm = HasExtension(out, ".ppm");
  if (!ppm && !HasExtension(out, ".bmp")) {
    std::fprintf(stderr, "convert: %s: output must end in .bmp or .ppm\n", out.c_str());
    return kUsage;
  }
  const Load load = LoadAsOpenDoes(argv[1]);
  if (!load.loaded) {
    std::fprintf(stderr, "convert: %s: %s%s\n", argv[1], kCannotLoad,
                 load.status == DibReadStatus::Rejected ? " (bsuccess)" : "");
    return kCannotOpen;
  }
  return ReportWrite("convert", out, ppm ? SavePpm(out, load.image) : SaveDibFile(out, load.image));
}

}  // namespace opta::cli
