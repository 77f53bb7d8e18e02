#pragma once
// Small BMP files for the document command tests, made here byte by byte so
// each test states exactly what the file holds.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/colour.h"

namespace opta::testing {

using ColourAt = std::function<Colour(int x, int y)>;

inline void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = v >> 8;
}
inline void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// A 24-bit bottom-up BMP. Standard files pad each row to 4 bytes and carry
// marker 0; the program's own files carry a marker and no padding.
inline std::vector<std::uint8_t> MakeBmp24(int w, int h, const ColourAt& colour, bool padded = true,
                                           std::uint16_t marker = 0) {
  const std::size_t rowBytes = padded ? (static_cast<std::size_t>(3 * w) + 3) / 4 * 4 : 3 * w;
  std::vector<std::uint8_t> b(54 + rowBytes * h, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  Put16(b, 6, marker);
  Put32(b, 10, 54);
  Put32(b, 14, 40);
  Put32(b, 18, w);
  Put32(b, 22, h);
  Put16(b, 26, 1);
  Put16(b, 28, 24);
  Put32(b, 34, static_cast<std::uint32_t>(rowBytes * h));
  for (int r = 0; r < h; ++r) {
    const int y = h - 1 - r;
    std::size_t at = 54 + rowBytes * r;
    for (int x = 0; x < w; ++x) {
      const Colour c = colour(x, y);
      b[at++] = Blue(c);
      b[at++] = Green(c);
      b[at++] = Red(c);
    }
  }
  return b;
}

// A colour that differs at every pixel of a picture up to 256 x 256.
inline Colour Pattern(int x, int y) { return Rgb(x & 0xFF, y & 0xFF, (x * 7 + y * 3) & 0xFF); }

inline std::string WriteTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "opta_doccmd_tests";
  std::filesystem::create_directories(dir);
  const std::filesystem::path p = dir / name;
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return p.string();
}

inline std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace opta::testing
