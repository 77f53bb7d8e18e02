// The decoder that stands in for the screen's: header and colour table
// checks, then a row-at-a-time conversion of every standard BMP variant to
// the colours a 32-bit true-colour screen holds.
#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "core/cpu.h"
#include "core/matrix.h"
#include "core/parallel.h"
#include "document/dib_file.h"
#include "document/dib_layout.h"

namespace opta {
namespace dib {
namespace {

constexpr std::int64_t kFileHeader = 14;

bool MakeMask(std::uint32_t mask, int bitCount, ChannelMask& out) {
  out = ChannelMask{};
  out.mask = mask;
  if (mask == 0) return true;  // the channel reads as 0
  if (bitCount < 32 && (mask >> bitCount) != 0) return false;
  out.shift = std::countr_zero(mask);
  const std::uint32_t run = mask >> out.shift;
  if ((run & (run + 1)) != 0) return false;  // not one contiguous run of bits
  out.bits = std::popcount(run);
  return true;
}

bool ValidHeaderSize(std::uint32_t size) {
  switch (size) {
    case 12:   // OS/2 1.x core header
    case 16:   // OS/2 2.x, short form
    case 40:   // Windows 3.x
    case 52:   // with the colour masks
    case 56:   // with the alpha mask too
    case 64:   // OS/2 2.x, full form
    case 108:  // version 4
    case 124:  // version 5
      return true;
    default:
      return false;
  }
}

}  // namespace

std::optional<Layout> ParseLayout(std::span<const std::uint8_t> file) {
  const std::int64_t size = static_cast<std::int64_t>(file.size());
  if (size < kFileHeader + 4) return std::nullopt;
  const std::uint8_t* f = file.data();
  Layout L;
  L.headerSize = Le32(f + 14);
  if (!ValidHeaderSize(L.headerSize) || kFileHeader + L.headerSize > size) return std::nullopt;
  L.offBits = Le32(f + 10);

  const std::uint8_t* h = f + kFileHeader;
  std::int64_t width = 0, height = 0;
  std::uint32_t clrUsed = 0;
  int entrySize = 4;
  if (L.headerSize == 12) {
    width = Le16(h + 4);
    height = Le16(h + 6);
    L.planes = static_cast<std::uint16_t>(Le16(h + 8));
    L.bitCount = static_cast<int>(Le16(h + 10));
    entrySize = 3;
    if (L.bitCount != 1 && L.bitCount != 2 && L.bitCount != 4 && L.bitCount != 8 && L.bitCount != 24)
      return std::nullopt;
  } else {
    width = static_cast<std::int32_t>(Le32(h + 4));
    height = static_cast<std::int32_t>(Le32(h + 8));
    L.planes = static_cast<std::uint16_t>(Le16(h + 12));
    L.bitCount = static_cast<int>(Le16(h + 14));
    if (L.headerSize >= 20) L.compression = Le32(h + 16);
    if (L.headerSize >= 24) L.rleBytes = Le32(h + 20);
    if (L.headerSize >= 36) clrUsed = Le32(h + 32);
    // OS/2 2.x numbers its own compressions 3 and 4 (Huffman, RLE24): refused.
    const bool os2 = L.headerSize == 16 || L.headerSize == 64;
    if (L.compression > (os2 ? kRle4 : kBitFields)) return std::nullopt;
  }
  if (height < 0) {
    // Only uncompressed rows can be stored top-down.
    if (L.compression == kRle8 || L.compression == kRle4) return std::nullopt;
    L.topDown = true;
    height = -height;
  }
  // The program's 256-megapixel budget (core/matrix.h): a header asking for
  // more is refused before anything is allocated, and every byte count
  // derived from the size below stays far from overflowing.
  if (!ValidImageSize(width, height)) return std::nullopt;
  L.width = static_cast<int>(width);
  L.height = static_cast<int>(height);

  switch (L.compression) {
    case kRgb:
      if (L.bitCount != 1 && L.bitCount != 2 && L.bitCount != 4 && L.bitCount != 8 && L.bitCount != 16 &&
          L.bitCount != 24 && L.bitCount != 32)
        return std::nullopt;
      break;
    case kRle8:
      if (L.bitCount != 8) return std::nullopt;
      break;
    case kRle4:
      if (L.bitCount != 4) return std::nullopt;
      break;
    case kBitFields:
      if (L.bitCount != 16 && L.bitCount != 32) return std::nullopt;
      break;
  }
  if (L.compression != kRle8 && L.compression != kRle4) L.rleBytes = 0;
  L.stride = (static_cast<std::int64_t>(L.width) * L.bitCount + 31) / 32 * 4;

  std::int64_t tableAt = kFileHeader + L.headerSize;
  if (L.compression == kBitFields) {
    const std::uint8_t* m = h + 40;
    if (L.headerSize == 40) {
      // The three masks follow the header.
      if (tableAt + 12 > size) return std::nullopt;
      tableAt += 12;
    }
    if (!MakeMask(Le32(m), L.bitCount, L.red) || !MakeMask(Le32(m + 4), L.bitCount, L.green) ||
        !MakeMask(Le32(m + 8), L.bitCount, L.blue))
      return std::nullopt;
  } else if (L.bitCount == 16) {
    MakeMask(0x7C00, 16, L.red);  // 5-5-5, top bit unused
    MakeMask(0x03E0, 16, L.green);
    MakeMask(0x001F, 16, L.blue);
  } else if (L.bitCount == 32) {
    MakeMask(0xFF0000, 32, L.red);
    MakeMask(0x00FF00, 32, L.green);
    MakeMask(0x0000FF, 32, L.blue);
  }

  if (L.bitCount <= 8) {
    const std::uint32_t full = 1u << L.bitCount;
    const std::uint32_t n = (clrUsed == 0 || clrUsed > full) ? full : clrUsed;
    if (tableAt + static_cast<std::int64_t>(n) * entrySize > size) return std::nullopt;
    const std::uint8_t* p = f + tableAt;
    for (std::uint32_t i = 0; i < n; ++i, p += entrySize) L.palette[i] = Rgb(p[2], p[1], p[0]);
    L.paletteEntries = static_cast<int>(n);
  }
  return L;
}

// Rows are padded to 4 bytes here, whatever the marker says: a marked file
// over 500 x 500 whose unpadded rows fall short of that is refused like any
// other file shorter than its header promises, never read past its end.
std::optional<std::span<const std::uint8_t>> PixelBytes(const Layout& L, std::span<const std::uint8_t> file) {
  const std::int64_t size = static_cast<std::int64_t>(file.size());
  if (L.offBits > size) return std::nullopt;
  const std::int64_t avail = size - L.offBits;
  std::int64_t need = 0;
  if (L.compression == kRle8 || L.compression == kRle4) {
    const std::int64_t pixels = static_cast<std::int64_t>(L.width) * L.height;
    if (pixels > kRleExpansion * size + kRleAllowance) return std::nullopt;
    need = L.rleBytes == 0 ? avail : L.rleBytes;
  } else {
    need = L.stride * L.height;
  }
  if (need > avail) return std::nullopt;
  return file.subspan(static_cast<std::size_t>(L.offBits), static_cast<std::size_t>(need));
}

// Run-length data, bottom row first. Pixels the stream skips (delta, early
// end of line or of bitmap) stay as the surface was: black, like a fresh
// screen bitmap. Pixels past the right edge are dropped; data that ends
// without an end-of-bitmap leaves the rest black.
void DecodeRle(const Layout& L, std::span<const std::uint8_t> data, Surface& out) {
  const bool four = L.compression == kRle4;
  const std::size_t n = data.size();
  const std::uint8_t* d = data.data();
  std::int64_t x = 0;
  std::int64_t y = 0;  // counted from the bottom
  Colour* row = out.row(L.height - 1);
  auto put = [&](int index) {
    if (x < L.width) row[x] = L.palette[index];
    ++x;
  };
  std::size_t i = 0;
  while (i + 2 <= n && y < L.height) {
    const int a = d[i], b = d[i + 1];
    i += 2;
    if (a > 0) {  // a pixels of one index, or of two alternating nibbles
      if (four) {
        for (int k = 0; k < a; ++k) put((k & 1) ? (b & 15) : (b >> 4));
      } else {
        for (int k = 0; k < a; ++k) put(b);
      }
      continue;
    }
    if (b == 0) {  // end of line
      x = 0;
      ++y;
    } else if (b == 1) {  // end of bitmap
      break;
    } else if (b == 2) {  // delta: right and up
      if (i + 2 > n) break;
      x += d[i];
      y += d[i + 1];
      i += 2;
    } else {  // absolute run of b indices, padded to a 16-bit boundary
      const std::size_t bytes = four ? (static_cast<std::size_t>(b) + 1) / 2 : static_cast<std::size_t>(b);
      const std::size_t have = std::min(bytes, n - i);
      for (int k = 0; k < b; ++k) {
        const std::size_t at = four ? static_cast<std::size_t>(k) / 2 : static_cast<std::size_t>(k);
        if (at >= have) break;
        put(four ? ((k & 1) ? (d[i + at] & 15) : (d[i + at] >> 4)) : d[i + at]);
      }
      i += bytes + (bytes & 1);
    }
    if (y < L.height) row = out.row(static_cast<int>(L.height - 1 - y));
  }
}

}  // namespace dib

namespace {

using dib::Layout;

#if defined(__x86_64__)

// Four stored pixels of `bytes` bytes (blue, green, red[, unused]) to four
// colours with one byte shuffle. Each 16-byte load covers the next pixels'
// bytes too, so the loop stops while a whole load still fits in the row.
// Returns how many pixels it did; the scalar loop does the rest.
__attribute__((target("ssse3"))) int ShuffleRow(const std::uint8_t* src, Colour* dst, int w, int bytes) {
  const __m128i mask = bytes == 3 ? _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1)
                                  : _mm_setr_epi8(2, 1, 0, -1, 6, 5, 4, -1, 10, 9, 8, -1, 14, 13, 12, -1);
  int x = 0;
  for (; static_cast<std::int64_t>(x) * bytes + 16 <= static_cast<std::int64_t>(w) * bytes && x + 4 <= w;
       x += 4) {
    const __m128i v =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + static_cast<std::ptrdiff_t>(x) * bytes));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), _mm_shuffle_epi8(v, mask));
  }
  return x;
}
#else
int ShuffleRow(const std::uint8_t*, Colour*, int, int) { return 0; }
#endif

// One stored row into one surface row. Chosen once per picture.
struct RowDecoder {
  const Layout* L = nullptr;
  const Colour* lut16 = nullptr;  // 16-bit pixel to colour
  struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int drop = 0;
    std::uint8_t lut[256] = {};
  } red, green, blue;

  void setChannel(Channel& c, const dib::ChannelMask& m) {
    c.mask = m.mask;
    c.shift = m.shift;
    c.drop = m.bits > 8 ? m.bits - 8 : 0;
    const int values = m.bits >= 8 ? 256 : (1 << m.bits);
    for (int v = 0; v < values; ++v)
      c.lut[v] = static_cast<std::uint8_t>(dib::WidenChannel(v, std::min(m.bits, 8)));
  }
  static int channel(const Channel& c, std::uint32_t px) {
    return c.lut[((px & c.mask) >> c.shift) >> c.drop];
  }

  void operator()(const std::uint8_t* src, Colour* dst) const {
    const int w = L->width;
    const Colour* pal = L->palette;
    switch (L->bitCount) {
      case 1: {
        int x = 0;
        for (; x + 8 <= w; x += 8, ++src) {
          const int b = *src;
          for (int k = 0; k < 8; ++k) dst[x + k] = pal[(b >> (7 - k)) & 1];
        }
        for (int k = 0; x < w; ++x, ++k) dst[x] = pal[(*src >> (7 - k)) & 1];
        break;
      }
      case 2:
        for (int x = 0; x < w; ++x) dst[x] = pal[(src[x >> 2] >> (6 - 2 * (x & 3))) & 3];
        break;
      case 4: {
        int x = 0;
        for (; x + 2 <= w; x += 2, ++src) {
          dst[x] = pal[*src >> 4];
          dst[x + 1] = pal[*src & 15];
        }
        if (x < w) dst[x] = pal[*src >> 4];
        break;
      }
      case 8:
        for (int x = 0; x < w; ++x) dst[x] = pal[src[x]];
        break;
      case 16:
        for (int x = 0; x < w; ++x) dst[x] = lut16[dib::Le16(src + 2 * x)];
        break;
      case 24: {
        // Blue, green, red bytes: one 4-byte load, byte-swapped, gives the
        // colour in its top three bytes. The last pixel avoids the extra byte.
        int x = cpu::Has(cpu::Level::Ssse3) ? ShuffleRow(src, dst, w, 3) : 0;
        src += static_cast<std::ptrdiff_t>(x) * 3;
        for (; x + 1 < w; ++x, src += 3) {
          std::uint32_t v;
          std::memcpy(&v, src, 4);
          dst[x] = __builtin_bswap32(v) >> 8;
        }
        if (x < w) dst[x] = Rgb(src[2], src[1], src[0]);
        break;
      }
      case 32:
        if (L->compression == dib::kRgb) {
          int x = cpu::Has(cpu::Level::Ssse3) ? ShuffleRow(src, dst, w, 4) : 0;
          for (src += static_cast<std::ptrdiff_t>(x) * 4; x < w; ++x, src += 4) {
            std::uint32_t v;
            std::memcpy(&v, src, 4);
            dst[x] = __builtin_bswap32(v) >> 8;
          }
        } else {
          for (int x = 0; x < w; ++x, src += 4) {
            const std::uint32_t v = dib::Le32(src);
            dst[x] = Rgb(channel(red, v), channel(green, v), channel(blue, v));
          }
        }
        break;
    }
  }
};

}  // namespace

std::optional<DibInfo> ParseDib(std::span<const std::uint8_t> file) {
  const std::optional<Layout> L = dib::ParseLayout(file);
  if (!L) return std::nullopt;
  return DibInfo{L->width, L->height, L->topDown, L->bitCount, L->compression};
}

PictureStatus DecodeDibPicture(std::span<const std::uint8_t> file, Surface& out) {
  const std::optional<Layout> parsed = dib::ParseLayout(file);
  if (!parsed) return PictureStatus::Refused;
  const Layout& L = *parsed;
  const std::optional<std::span<const std::uint8_t>> data = dib::PixelBytes(L, file);
  if (!data) return PictureStatus::Refused;
  if (L.compression == dib::kRle8 || L.compression == dib::kRle4) {
    if (!out.allocate(L.width, L.height, kBlack)) return PictureStatus::OutOfMemory;
    dib::DecodeRle(L, *data, out);
    return PictureStatus::Loaded;
  }
  std::unique_ptr<Colour[]> lut16;
  if (L.bitCount == 16) {
    lut16.reset(new (std::nothrow) Colour[65536]);
    if (!lut16) return PictureStatus::OutOfMemory;
  }
  // Every pixel is written below.
  if (!out.allocateForOverwrite(L.width, L.height)) return PictureStatus::OutOfMemory;

  RowDecoder decode;
  decode.L = &L;
  if (L.bitCount == 16) {
    RowDecoder::Channel r, g, b;
    decode.setChannel(r, L.red);
    decode.setChannel(g, L.green);
    decode.setChannel(b, L.blue);
    for (std::uint32_t v = 0; v < 65536; ++v)
      lut16[v] = Rgb(RowDecoder::channel(r, v), RowDecoder::channel(g, v), RowDecoder::channel(b, v));
    decode.lut16 = lut16.get();
  } else if (L.bitCount == 32 && L.compression == dib::kBitFields) {
    decode.setChannel(decode.red, L.red);
    decode.setChannel(decode.green, L.green);
    decode.setChannel(decode.blue, L.blue);
  }

  const std::uint8_t* bits = data->data();
  parallelRows(L.height, L.width, [&](int y0, int y1) {
    for (int y = y0; y < y1; ++y) {
      const int fileRow = L.topDown ? y : L.height - 1 - y;
      decode(bits + fileRow * L.stride, out.row(y));
    }
  });
  out.markDirty(out.bounds());
  return PictureStatus::Loaded;
}

bool DecodeDib(std::span<const std::uint8_t> file, Surface& out) {
  return DecodeDibPicture(file, out) == PictureStatus::Loaded;
}

}  // namespace opta
