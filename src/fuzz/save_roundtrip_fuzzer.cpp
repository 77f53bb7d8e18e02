// Encode, then decode: a byte-chosen picture through the three writers (the
// saved layout in memory and on disk, the standard BMP, PPM) and back through
// the loading roads, with and without the vector shuffles.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/cpu.h"
#include "document/dib_file.h"
#include "document/save_file.h"
#include "fuzz/fuzz_input.h"

namespace {

using namespace opta;

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::streamoff>(0, in.tellg())));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

bool Same(const Surface& a, const Surface& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int y = 0; y < a.height(); ++y)
    if (std::memcmp(a.row(y), b.row(y), sizeof(Colour) * a.width()) != 0) return false;
  return true;
}

// The file read as Open reads it.
PictureStatus Load(std::vector<std::uint8_t> bytes, Surface& out) {
  LoadedFile file;
  const DibReadResult read = ReadDibBytes(std::move(bytes), file);
  if (read.status != DibReadStatus::Ok) return PictureStatus::Refused;
  Surface window;
  return LoadPicture(file, read.info, window, out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string dir = fuzz::ScratchFolder("save_roundtrip");
  fuzz::Input in(data, size);
  const cpu::CapForTest cap(in.flag() ? cpu::Level::Baseline : cpu::Detected());
  // Mostly small pictures, where the row lengths' remainders matter; one in
  // sixteen up to half a megapixel: single rows longer than a write block, and
  // pictures over 500 x 500 that the decoder reads back.
  const bool large = in.range(0, 15) == 0;
  const int w = large ? in.range(1, 1 << 19) : in.range(1, 64);
  const int h = large ? in.range(1, 1024) : in.range(1, 64);
  if (static_cast<std::int64_t>(w) * h > (1 << 19)) return 0;
  Surface picture;
  if (!picture.allocate(w, h)) return 0;
  const std::span<const std::uint8_t> colours = in.rest();
  for (int y = 0; y < h; ++y) {
    Colour* row = picture.row(y);
    for (int x = 0; x < w; ++x) {
      const std::size_t at = (static_cast<std::size_t>(y) * w + x) * 3;
      row[x] = colours.size() < 3 ? Rgb(x & 255, y & 255, (x ^ y) & 255)
                                  : Rgb(colours[at % colours.size()], colours[(at + 1) % colours.size()],
                                        colours[(at + 2) % colours.size()]);
    }
  }

  const std::vector<std::uint8_t> encoded = EncodeSavedBmp(picture);
  if (SaveDibFile(dir + "/saved.bmp", picture) != 0 || ReadAll(dir + "/saved.bmp") != encoded)
    __builtin_trap();
  Surface back;
  const PictureStatus status = Load(encoded, back);
  // Unpadded rows read back whole by the own reader, or by the decoder when
  // no padding is missing; otherwise the decoder must refuse them.
  const bool whole = UsesOwnReader(1, w, h) || (3 * w) % 4 == 0;
  if (whole ? status != PictureStatus::Loaded || !Same(picture, back) : status != PictureStatus::Refused)
    __builtin_trap();

  if (SaveStandardBmp(dir + "/standard.bmp", picture) != 0) __builtin_trap();
  if (Load(ReadAll(dir + "/standard.bmp"), back) != PictureStatus::Loaded || !Same(picture, back))
    __builtin_trap();

  if (SavePpm(dir + "/picture.ppm", picture) != 0) __builtin_trap();
  const std::vector<std::uint8_t> ppm = ReadAll(dir + "/picture.ppm");
  const std::string head = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  if (ppm.size() != head.size() + std::size_t{3} * w * h ||
      !std::equal(head.begin(), head.end(), ppm.begin()))
    __builtin_trap();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* p = ppm.data() + head.size() + (static_cast<std::size_t>(y) * w + x) * 3;
      if (Rgb(p[0], p[1], p[2]) != picture.get(x, y)) __builtin_trap();
    }
  return 0;
}
