// The decoder written pixel by pixel straight from the format: where the
// pixel's bits are, which table entry or masks give its colour. Slow on
// purpose; the fast decoder is checked against it.
#include "document/dib_file.h"
#include "document/dib_layout.h"

namespace opta {

bool DecodeDibReference(std::span<const std::uint8_t> file, Surface& out) {
  const std::optional<dib::Layout> parsed = dib::ParseLayout(file);
  if (!parsed) return false;
  const dib::Layout& L = *parsed;
  const std::optional<std::span<const std::uint8_t>> data = dib::PixelBytes(L, file);
  if (!data) return false;
  if (!out.allocate(L.width, L.height, kBlack)) return false;
  if (L.compression == dib::kRle8 || L.compression == dib::kRle4) {
    dib::DecodeRle(L, *data, out);
    return true;
  }
  for (int y = 0; y < L.height; ++y) {
    const std::int64_t fileRow = L.topDown ? y : L.height - 1 - y;
    const std::uint8_t* row = data->data() + fileRow * L.stride;
    for (int x = 0; x < L.width; ++x) {
      const std::int64_t bit = static_cast<std::int64_t>(x) * L.bitCount;
      const std::uint8_t* p = row + bit / 8;
      Colour c = 0;
      if (L.bitCount < 8) {
        // Leftmost pixel in the byte's most significant bits.
        const int shift = 8 - L.bitCount - static_cast<int>(bit % 8);
        const int index = (*p >> shift) & ((1 << L.bitCount) - 1);
        c = index < L.paletteEntries ? L.palette[index] : kBlack;
      } else if (L.bitCount == 8) {
        c = *p < L.paletteEntries ? L.palette[*p] : kBlack;
      } else if (L.bitCount == 24) {
        c = Rgb(p[2], p[1], p[0]);
      } else {
        const std::uint32_t v = L.bitCount == 16 ? dib::Le16(p) : dib::Le32(p);
        c = Rgb(dib::ChannelValue(v, L.red), dib::ChannelValue(v, L.green), dib::ChannelValue(v, L.blue));
      }
      out.set(x, y, c);
    }
  }
  return true;
}

}  // namespace opta
