#pragma once
// Builds BMP files byte by byte for the tests: any header size, palette,
// masks and pixel data, with bfSize and bfOffBits worked out.
#include <cstdint>
#include <vector>

namespace opta::testing {

struct BmpSpec {
  std::uint32_t headerSize = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;
  std::uint32_t sizeImage = 0;
  std::uint32_t clrUsed = 0;
  std::uint16_t marker = 0;
  std::vector<std::uint32_t> masks = {};   // in the header (52+) or after a 40-byte one
  std::vector<std::uint8_t> palette = {};  // raw entries, 3 or 4 bytes each
  std::vector<std::uint8_t> pixels = {};
};

inline void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  Put16(b, v);
  Put16(b, v >> 16);
}

inline std::vector<std::uint8_t> BuildBmp(const BmpSpec& s) {
  std::vector<std::uint8_t> h;
  Put32(h, s.headerSize);
  if (s.headerSize == 12) {
    Put16(h, static_cast<std::uint32_t>(s.width));
    Put16(h, static_cast<std::uint32_t>(s.height));
    Put16(h, s.planes);
    Put16(h, s.bitCount);
  } else {
    Put32(h, static_cast<std::uint32_t>(s.width));
    Put32(h, static_cast<std::uint32_t>(s.height));
    Put16(h, s.planes);
    Put16(h, s.bitCount);
    Put32(h, s.compression);
    Put32(h, s.sizeImage);
    Put32(h, 0);
    Put32(h, 0);
    Put32(h, s.clrUsed);
    Put32(h, 0);
    if (s.headerSize > 40)
      for (std::uint32_t m : s.masks) Put32(h, m);
    h.resize(s.headerSize, 0);
  }
  if (s.headerSize == 40)
    for (std::uint32_t m : s.masks) Put32(h, m);
  h.insert(h.end(), s.palette.begin(), s.palette.end());
  std::vector<std::uint8_t> f = {'B', 'M'};
  const std::uint32_t off = static_cast<std::uint32_t>(14 + h.size());
  Put32(f, static_cast<std::uint32_t>(off + s.pixels.size()));
  Put16(f, s.marker);
  Put16(f, 0);
  Put32(f, off);
  f.insert(f.end(), h.begin(), h.end());
  f.insert(f.end(), s.pixels.begin(), s.pixels.end());
  return f;
}

// Palette of n four-byte entries, entry i = (blue, green, red) = (i, 2i, 3i) mod 256 + 1.
inline std::vector<std::uint8_t> TestPalette(int n, int entrySize = 4) {
  std::vector<std::uint8_t> p;
  for (int i = 0; i < n; ++i) {
    p.push_back(static_cast<std::uint8_t>(i + 1));
    p.push_back(static_cast<std::uint8_t>(2 * i + 1));
    p.push_back(static_cast<std::uint8_t>(3 * i + 1));
    if (entrySize == 4) p.push_back(0);
  }
  return p;
}

}  // namespace opta::testing
