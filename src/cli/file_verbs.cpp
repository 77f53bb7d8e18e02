// info and convert: a BMP file through the same checks and loading roads as
// the Open command, and out again as Save writes it or as a plain PPM.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/verbs.h"
#include "document/dib_file.h"

namespace opta::cli {
namespace {

constexpr const char* kCannotLoad = "Cannot load DIB file";
constexpr const char* kCaption = "OPTA";

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
  if (load.ownReader) {
    Surface window;  // nothing on screen here
    if (!load.image.allocate(read.info.width, read.info.height, kBlack)) return load;
    Canvas canvas(window, load.image);
    ReadMarkedPixels(load.file, read.info.width, read.info.height, canvas);
    load.loaded = true;
  } else {
    load.loaded = DecodeDib(load.file.bytes, load.image);
  }
  return load;
}

// The message boxes Open shows for a file that does not load, one a line.
std::vector<std::string> Messages(const Load& load) {
  std::vector<std::string> lines;
  if (load.status == DibReadStatus::Rejected) lines.push_back(": bsuccess");
  if (!load.loaded) lines.push_back(std::string(kCaption) + ": " + kCannotLoad);
  return lines;
}

bool EndsWith(std::string_view s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char c = s[s.size() - tail.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != tail[i]) return false;
  }
  return true;
}

std::vector<std::uint8_t> EncodePpm(const Surface& image) {
  const std::string head =
      "P6\n" + std::to_string(image.width()) + " " + std::to_string(image.height()) + "\n255\n";
  std::vector<std::uint8_t> out(head.begin(), head.end());
  out.reserve(out.size() + static_cast<std::size_t>(image.width()) * image.height() * 3);
  for (int y = 0; y < image.height(); ++y) {
    const Colour* row = image.row(y);
    for (int x = 0; x < image.width(); ++x) {
      out.push_back(static_cast<std::uint8_t>(Red(row[x])));
      out.push_back(static_cast<std::uint8_t>(Green(row[x])));
      out.push_back(static_cast<std::uint8_t>(Blue(row[x])));
    }
  }
  return out;
}

}  // namespace

int InfoVerb(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: optascope-cli info FILE\n");
    return 2;
  }
  const Load load = LoadAsOpenDoes(argv[1]);
  if (!load.loaded) {
    for (const std::string& line : Messages(load)) std::printf("%s\n", line.c_str());
    return 1;
  }
  // Planes and bits come from their fixed header offsets, as Show Image Details reads them.
  std::printf("width %d\nheight %d\nplanes %d\nbits per pixel %d\nmarker %u\nroad %s\n", load.image.width(),
              load.image.height(), FilePlanes(load.file), FileBitCount(load.file),
              static_cast<unsigned>(FileMarker(load.file)), load.ownReader ? "own reader" : "decoder");
  return 0;
}

int ConvertVerb(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: optascope-cli convert IN OUT(.bmp|.ppm)\n");
    return 2;
  }
  const std::string out = argv[2];
  const bool ppm = EndsWith(out, ".ppm");
  if (!ppm && !EndsWith(out, ".bmp")) {
    std::fprintf(stderr, "convert: %s: output must end in .bmp or .ppm\n", out.c_str());
    return 2;
  }
  const Load load = LoadAsOpenDoes(argv[1]);
  if (!load.loaded) {
    std::fprintf(stderr, "convert: %s: %s%s\n", argv[1], kCannotLoad,
                 load.status == DibReadStatus::Rejected ? " (bsuccess)" : "");
    return 1;
  }
  const std::vector<std::uint8_t> bytes = ppm ? EncodePpm(load.image) : EncodeSavedBmp(load.image);
  if (!WriteWholeFile(out, bytes)) {
    std::fprintf(stderr, "convert: %s: cannot write\n", out.c_str());
    return 1;
  }
  return 0;
}

}  // namespace opta::cli
