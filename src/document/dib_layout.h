#pragma once
// The decoder's view of a BMP header: where the colour table, the masks and
// the pixels are, and how each pixel becomes a colour. Shared by the fast
// decoder and its plain reference form.
#include <cstdint>
#include <optional>
#include <span>

#include "core/colour.h"
#include "core/surface.h"

namespace opta::dib {

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

struct ChannelMask {
  std::uint32_t mask = 0;
  int shift = 0;  // of the lowest set bit
  int bits = 0;   // contiguous width, 0 for an empty mask
};

struct Layout {
  int width = 0;
  int height = 0;  // positive
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = kRgb;  // RGB, RLE8, RLE4 or bit fields
  std::uint32_t headerSize = 0;
  std::uint16_t planes = 0;
  std::int64_t offBits = 0;      // bfOffBits
  std::int64_t stride = 0;       // bytes of one stored row, padded to 4
  std::int64_t rleBytes = 0;     // biSizeImage for the run-length forms (0: to the end)
  int paletteEntries = 0;        // colours actually in the table
  Colour palette[256] = {};      // entries past paletteEntries are black
  ChannelMask red, green, blue;  // for 16 and 32 bits
};

// Everything about the header, the colour table and the masks, checked
// against the file's bytes. Empty when a screen decoder would refuse it.
std::optional<Layout> ParseLayout(std::span<const std::uint8_t> file);

// The loading budget: a file of N bytes never makes us hold a picture larger
// than its bytes can describe. Stored rows must all be there, for the
// program's own reader too; run-length data may stand for at most
// kRleExpansion x N pixels plus kRleAllowance, since runs, skips and an early
// end stretch a few bytes over whole rows. A file past the budget is refused
// before anything of its declared size is allocated.
constexpr std::int64_t kRleExpansion = 1024;
constexpr std::int64_t kRleAllowance = std::int64_t{4} << 20;

// The pixel data a decodable file must hold: nullopt when it is shorter
// than the header promises, starts past the end, or is run-length data
// over the budget.
std::optional<std::span<const std::uint8_t>> PixelBytes(const Layout& layout,
                                                        std::span<const std::uint8_t> file);

// Run-length data into a surface already sized and filled black. The stream
// is decoded in order, so this one form serves both decoders.
void DecodeRle(const Layout& layout, std::span<const std::uint8_t> data, Surface& out);

// Widening of an n-bit channel value to 8 bits. A true-colour screen repeats
// the value's bits downwards (5 bits abcde give abcdeabc), so full scale maps
// to 255 and zero to 0; wider channels keep their top 8 bits.
constexpr int WidenChannel(std::uint32_t value, int bits) {
  if (bits <= 0) return 0;
  if (bits >= 8) return static_cast<int>(value >> (bits - 8)) & 0xFF;
  std::uint32_t acc = 0;
  int filled = 0;
  while (filled < 8) {
    acc = (acc << bits) | value;
    filled += bits;
  }
  return static_cast<int>(acc >> (filled - 8)) & 0xFF;
}

inline int ChannelValue(std::uint32_t pixel, const ChannelMask& m) {
  return WidenChannel((pixel & m.mask) >> m.shift, m.bits);
}

inline std::uint32_t Le16(const std::uint8_t* p) { return p[0] | static_cast<std::uint32_t>(p[1]) << 8; }
inline std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
         static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace opta::dib
