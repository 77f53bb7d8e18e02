#pragma once
// BMP files: ReadDibFile's checks, the decoder that stands in for the
// screen's (any standard BMP to the 24-bit colours a true-colour screen
// holds) and the program's own reader for marked files. Writing is in
// save_file.h.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/canvas.h"
#include "core/surface.h"
#include "document/document.h"

namespace opta {

// What the header of a decodable BMP says.
struct DibInfo {
  int width = 0;
  int height = 0;  // always positive; topDown tells the row order
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = 0;
};

// Header, palette and masks checked against the file's bytes; nothing about
// the pixel data. Empty when the screen's decoder would refuse the header.
std::optional<DibInfo> ParseDib(std::span<const std::uint8_t> file);

enum class PictureStatus {
  Loaded,
  Refused,      // the header or the pixel data is refused (see the loading budget)
  OutOfMemory,  // the picture could not be held
};

// The whole picture, as the screen's decoder makes it: out gets width x
// height colours. Refused (out untouched) when the file cannot be decoded,
// including pixel data shorter than the header promises.
PictureStatus DecodeDibPicture(std::span<const std::uint8_t> file, Surface& out);
bool DecodeDib(std::span<const std::uint8_t> file, Surface& out);  // Loaded or not
// The same picture decoded pixel by pixel straight from the format's rules;
// the fast decoder must agree with it bit for bit.
bool DecodeDibReference(std::span<const std::uint8_t> file, Surface& out);

enum class DibReadStatus {
  Ok,           // checks passed and the header decodes: info is set
  CannotOpen,   // missing, unreadable or 4 GiB and over: no message of its own
  Rejected,     // short read, no "BM", or bfSize differs: "bsuccess" first
  Undecodable,  // checks passed but the decoder refuses the header
};

struct DibReadResult {
  DibReadStatus status = DibReadStatus::CannotOpen;
  DibInfo info;
};

// ReadDibFile: reads the whole file and runs the checks in order. A file that
// passes them (Ok or Undecodable) becomes the last-loaded file.
DibReadResult ReadDibFile(const std::string& path, LoadedFile& lastLoaded);
// The same checks on bytes already in memory.
DibReadResult ReadDibBytes(std::vector<std::uint8_t> bytes, LoadedFile& lastLoaded);

// The loading road: the program's own reader takes marked files that are at
// most 500 pixels in one direction.
std::uint16_t FileMarker(const LoadedFile& file);  // bfReserved1
bool UsesOwnReader(std::uint16_t marker, int width, int height);

// The picture of a file that passed ReadDibFile (info from its result), by
// the road Open chooses, into image. The own reader takes 3 bytes a pixel
// (blue, green, red) from bfOffBits, rows bottom-up and unpadded, and writes
// each pixel to the window too (window first, then image), as it reads.
PictureStatus LoadPicture(const LoadedFile& file, const DibInfo& info, Surface& window, Surface& image);

// Show Image Details' two fields, read at their fixed offsets (0 when the
// file is too short to hold them).
int FilePlanes(const LoadedFile& file);
int FileBitCount(const LoadedFile& file);

}  // namespace opta
