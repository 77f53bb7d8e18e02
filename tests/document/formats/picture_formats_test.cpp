// PNG and TIFF files written here with libpng and libtiff, read back through
// the one conversion: 16-bit samples by their top byte, gray to equal
// channels, white-is-zero inverted, palettes looked up, extra samples dropped.
#include <gtest/gtest.h>

#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "document/formats/picture_formats.h"

namespace opta {
namespace {

std::string Temp(const std::string& name) { return ::testing::TempDir() + "/formats_" + name; }

std::vector<Colour> Row(const Surface& s, int y) {
  return std::vector<Colour>(s.row(y), s.row(y) + s.width());
}

struct TiffSpec {
  int width = 4, height = 1, bits = 8, spp = 1;
  int photometric = PHOTOMETRIC_MINISBLACK, planar = PLANARCONFIG_CONTIG;
  bool tiled = false;
};

// Writes samples (row after row, samples of a pixel together, or plane after
// plane when separate) in the machine's order.
std::string WriteTiff(const std::string& name, const TiffSpec& s, const std::vector<std::uint16_t>& samples,
                      const std::vector<std::uint16_t>* palette = nullptr) {
  const std::string path = Temp(name);
  TIFF* t = TIFFOpen(path.c_str(), "w");
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, s.width);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, s.height);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, s.bits);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, s.spp);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, s.photometric);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, s.planar);
  if (s.spp == 4) {
    const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  if (palette)
    TIFFSetField(t, TIFFTAG_COLORMAP, palette->data(), palette->data() + 256, palette->data() + 512);
  const bool separate = s.planar == PLANARCONFIG_SEPARATE;
  const int perRow = separate ? s.width : s.width * s.spp;
  std::vector<std::uint8_t> bytes;
  for (std::uint16_t v : samples) {
    if (s.bits == 16) {
      bytes.resize(bytes.size() + 2);
      std::memcpy(bytes.data() + bytes.size() - 2, &v, 2);
    } else if (s.bits == 8) {
      bytes.push_back(static_cast<std::uint8_t>(v));
    }
  }
  if (s.bits == 1) {  // samples are 0 or 1, eight to a byte, rows padded
    const int rowBytes = (s.width + 7) / 8;
    bytes.assign(static_cast<std::size_t>(rowBytes) * s.height, 0);
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x)
        if (samples[y * s.width + x])
          bytes[y * rowBytes + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  }
  if (s.tiled) {
    TIFFSetField(t, TIFFTAG_TILEWIDTH, 16);
    TIFFSetField(t, TIFFTAG_TILELENGTH, 16);
    std::vector<std::uint8_t> tile(16 * 16 * s.spp * s.bits / 8, 0);
    std::memcpy(tile.data(), bytes.data(), std::min(tile.size(), bytes.size()));
    TIFFWriteTile(t, tile.data(), 0, 0, 0, 0);
  } else {
    const std::size_t rowBytes =
        s.bits == 1 ? (s.width + 7) / 8 : static_cast<std::size_t>(perRow) * s.bits / 8;
    for (int plane = 0; plane < (separate ? s.spp : 1); ++plane)
      for (int y = 0; y < s.height; ++y)
        TIFFWriteScanline(t, bytes.data() + (static_cast<std::size_t>(plane) * s.height + y) * rowBytes, y,
                          static_cast<std::uint16_t>(plane));
  }
  TIFFClose(t);
  return path;
}

// An 8- or 16-bit PNG of one colour type, interlaced or not, from samples
// given as numbers.
std::string WritePng(const std::string& name, int width, int height, int bits, int colourType,
                     const std::vector<int>& samples, bool interlaced = false) {
  const std::string path = Temp(name);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_set_IHDR(png, info, width, height, bits, colourType,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const int channels = static_cast<int>(samples.size()) / (width * height);
  std::vector<std::uint8_t> bytes;
  for (int v : samples) {
    if (bits == 16) bytes.push_back(static_cast<std::uint8_t>(v >> 8));  // PNG is big-endian
    bytes.push_back(static_cast<std::uint8_t>(v));
  }
  std::vector<png_bytep> rows(height);
  for (int y = 0; y < height; ++y)
    rows[y] = bytes.data() + static_cast<std::size_t>(y) * width * channels * bits / 8;
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return path;
}

Surface Read(const std::string& path) {
  Surface s;
  std::string error;
  EXPECT_TRUE(ReadPicture(path, s, error)) << error;
  return s;
}

TEST(PictureFormats, SixteenBitTiffKeepsTheTopByte) {
  // 0x00FF rounds to 1 but keeps 0; 0x0100 keeps 1; 0xFFFF keeps 255.
  const std::vector<std::uint16_t> v = {0x00FF, 0x0100, 0xFFFF, 0x7F80};
  TiffSpec s;
  s.bits = 16;
  EXPECT_EQ(Row(Read(WriteTiff("g16.tif", s, v)), 0),
            (std::vector<Colour>{Rgb(0, 0, 0), Rgb(1, 1, 1), Rgb(255, 255, 255), Rgb(127, 127, 127)}));
  s.photometric = PHOTOMETRIC_MINISWHITE;  // the top byte of 0xFFFF - v
  EXPECT_EQ(Row(Read(WriteTiff("w16.tif", s, v)), 0),
            (std::vector<Colour>{Rgb(255, 255, 255), Rgb(254, 254, 254), Rgb(0, 0, 0), Rgb(128, 128, 128)}));
  TiffSpec rgb;
  rgb.bits = 16;
  rgb.spp = 3;
  rgb.photometric = PHOTOMETRIC_RGB;
  rgb.width = 2;
  EXPECT_EQ(Row(Read(WriteTiff("rgb16.tif", rgb, {0x1234, 0x00FF, 0xFF00, 0x0100, 0x8000, 0x7FFF})), 0),
            (std::vector<Colour>{Rgb(0x12, 0x00, 0xFF), Rgb(0x01, 0x80, 0x7F)}));
  rgb.planar = PLANARCONFIG_SEPARATE;  // all reds, then greens, then blues
  EXPECT_EQ(Row(Read(WriteTiff("sep16.tif", rgb, {0x1234, 0x0100, 0x00FF, 0x8000, 0xFF00, 0x7FFF})), 0),
            (std::vector<Colour>{Rgb(0x12, 0x00, 0xFF), Rgb(0x01, 0x80, 0x7F)}));
}

TEST(PictureFormats, EightBitTiffLayouts) {
  TiffSpec rgba;
  rgba.width = 2;
  rgba.spp = 4;
  rgba.photometric = PHOTOMETRIC_RGB;  // alpha dropped, not blended
  EXPECT_EQ(Row(Read(WriteTiff("rgba8.tif", rgba, {10, 20, 30, 0, 40, 50, 60, 128})), 0),
            (std::vector<Colour>{Rgb(10, 20, 30), Rgb(40, 50, 60)}));
  std::vector<std::uint16_t> palette(768, 0);
  palette[3] = 0x12FF;        // red of index 3
  palette[256 + 3] = 0x00FF;  // green
  palette[512 + 3] = 0xFF00;  // blue
  TiffSpec indexed;
  indexed.width = 2;
  indexed.photometric = PHOTOMETRIC_PALETTE;
  EXPECT_EQ(Row(Read(WriteTiff("pal8.tif", indexed, {3, 0}, &palette)), 0),
            (std::vector<Colour>{Rgb(0x12, 0x00, 0xFF), Rgb(0, 0, 0)}));
  TiffSpec bilevel;  // through libtiff's own 8-bit reader
  bilevel.bits = 1;
  bilevel.width = 3;
  EXPECT_EQ(Row(Read(WriteTiff("bw.tif", bilevel, {1, 0, 1})), 0),
            (std::vector<Colour>{kWhite, kBlack, kWhite}));
  TiffSpec tiled;
  tiled.tiled = true;
  tiled.width = tiled.height = 16;
  std::vector<std::uint16_t> ramp(256);
  for (int i = 0; i < 256; ++i) ramp[i] = static_cast<std::uint16_t>(i);
  const Surface t = Read(WriteTiff("tiled8.tif", tiled, ramp));
  EXPECT_EQ(t.get(5, 2), Rgb(37, 37, 37));
  tiled.bits = 16;  // tiles of 16 bits would be rounded by that reader: refused
  Surface out;
  std::string error;
  EXPECT_FALSE(ReadPicture(WriteTiff("tiled16.tif", tiled, ramp), out, error));
  EXPECT_EQ(error, "TIFF: unsupported 16-bit layout");
}

TEST(PictureFormats, PngSamplesAndPalettes) {
  const Surface g16 =
      Read(WritePng("g16.png", 4, 1, 16, PNG_COLOR_TYPE_GRAY, {0x00FF, 0x0100, 0xFFFF, 0x7F80}));
  EXPECT_EQ(Row(g16, 0),
            (std::vector<Colour>{Rgb(0, 0, 0), Rgb(1, 1, 1), Rgb(255, 255, 255), Rgb(127, 127, 127)}));
  const Surface rgba16 =
      Read(WritePng("rgba16.png", 1, 1, 16, PNG_COLOR_TYPE_RGB_ALPHA, {0x1234, 0x00FF, 0xFF00, 0x0001}));
  EXPECT_EQ(Row(rgba16, 0), (std::vector<Colour>{Rgb(0x12, 0x00, 0xFF)}));
  std::vector<int> ramp(7 * 5);
  for (int i = 0; i < 35; ++i) ramp[i] = i * 7;
  const Surface adam7 = Read(WritePng("adam7.png", 7, 5, 8, PNG_COLOR_TYPE_GRAY, ramp, true));
  EXPECT_EQ(adam7.get(6, 4), Rgb(34 * 7, 34 * 7, 34 * 7));
  EXPECT_EQ(adam7.get(3, 2), Rgb(17 * 7, 17 * 7, 17 * 7));
}

TEST(PictureFormats, SniffingAndBrokenFiles) {
  auto sniff = [](std::initializer_list<std::uint8_t> b) {
    const std::vector<std::uint8_t> v(b);
    return SniffPictureFormat(v);
  };
  EXPECT_EQ(sniff({'B', 'M', 0}), PictureFormat::Bmp);
  EXPECT_EQ(sniff({'B'}), PictureFormat::Unknown);
  EXPECT_EQ(sniff({'I', 'I', 42, 0}), PictureFormat::Tiff);
  EXPECT_EQ(sniff({'M', 'M', 0, 42}), PictureFormat::Tiff);
  EXPECT_EQ(sniff({'I', 'I', 0, 42}), PictureFormat::Unknown);
  EXPECT_EQ(sniff({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), PictureFormat::Png);
  EXPECT_EQ(sniff({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A}), PictureFormat::Unknown);
  EXPECT_EQ(sniff({0xFF, 0xD8, 0xFF}), PictureFormat::Jpeg);

  const std::string png =
      WritePng("whole.png", 64, 64, 8, PNG_COLOR_TYPE_RGB, std::vector<int>(64 * 64 * 3, 9));
  std::ifstream in(png, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  const std::string torn = Temp("torn.png");
  std::ofstream(torn, std::ios::binary) << bytes.substr(0, 60);
  Surface out;
  std::string error;
  EXPECT_FALSE(ReadPicture(torn, out, error));
  EXPECT_EQ(error.rfind("PNG: ", 0), 0u) << error;
  const std::string junk = Temp("junk.tif");
  std::ofstream(junk, std::ios::binary) << std::string("II*\0garbage", 11);
  EXPECT_FALSE(ReadPicture(junk, out, error));
  EXPECT_EQ(error.rfind("TIFF: ", 0), 0u) << error;
  EXPECT_FALSE(ReadPicture(Temp("missing.png"), out, error));
  EXPECT_EQ(error, "not a PNG, TIFF or JPEG file");
}

}  // namespace
}  // namespace opta
