#include "document/formats/picture_formats.h"

// jpeglib.h needs FILE and size_t declared first.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

namespace opta {
namespace {

bool Fail(std::string& error, std::string text) {
  error = std::move(text);
  return false;
}

bool SizeOk(std::int64_t w, std::int64_t h, std::string& error) {
  if (ValidImageSize(w, h)) return true;
  return Fail(error, "picture size " + std::to_string(w) + " x " + std::to_string(h) + " not supported");
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// ---- PNG ----

// What the error handler needs and what must survive its longjmp: kept in
// memory the decoder's frame only points to.
struct PngJob {
  std::jmp_buf jump;
  std::string message;
  std::vector<std::uint8_t> rgb;
  std::vector<png_bytep> rows;
};

void PngError(png_structp png, png_const_charp message) {
  auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
  job->message = message;
  std::longjmp(job->jump, 1);
}

void PngWarning(png_structp, png_const_charp) {}

bool DecodePng(std::FILE* file, PngJob& job, Surface& out, std::string& error) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, PngError, PngWarning);
  if (!png) return Fail(error, "PNG: out of memory");
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return Fail(error, "PNG: out of memory");
  }
  if (setjmp(job.jump)) {
    png_destroy_read_struct(&png, &info, nullptr);
    return Fail(error, "PNG: " + job.message);
  }
  png_init_io(png, file);
  png_read_info(png, info);
  const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
  if (!SizeOk(w, h, error)) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_strip_16(png);  // the top byte, not a rounded scale
  png_set_palette_to_rgb(png);
  png_set_expand_gray_1_2_4_to_8(png);
  png_set_gray_to_rgb(png);
  png_set_strip_alpha(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<std::size_t>(w) * 3) {
    png_destroy_read_struct(&png, &info, nullptr);
    return Fail(error, "PNG: unexpected sample layout");
  }
  job.rgb.resize(static_cast<std::size_t>(w) * h * 3);
  job.rows.resize(h);
  for (png_uint_32 y = 0; y < h; ++y) job.rows[y] = job.rgb.data() + static_cast<std::size_t>(y) * w * 3;
  png_read_image(png, job.rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!out.allocateForOverwrite(static_cast<int>(w), static_cast<int>(h)))
    return Fail(error, "out of memory");
  for (png_uint_32 y = 0; y < h; ++y) {
    const std::uint8_t* s = job.rows[y];
    Colour* d = out.row(static_cast<int>(y));
    for (png_uint_32 x = 0; x < w; ++x, s += 3) d[x] = Rgb(s[0], s[1], s[2]);
  }
  return true;
}

// ---- JPEG ----

struct JpegJob {
  jpeg_error_mgr manager;  // first, so the library's pointer is the job's
  std::jmp_buf jump;
  std::string message;
  std::vector<std::uint8_t> row;
};

void JpegError(j_common_ptr cinfo) {
  auto* job = reinterpret_cast<JpegJob*>(cinfo->err);
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  job->message = text;
  std::longjmp(job->jump, 1);
}

void JpegQuiet(j_common_ptr, int) {}

bool DecodeJpeg(std::FILE* file, JpegJob& job, Surface& out, std::string& error) {
  jpeg_decompress_struct cinfo;
  cinfo.err = jpeg_std_error(&job.manager);
  job.manager.error_exit = JpegError;
  job.manager.emit_message = JpegQuiet;
  if (setjmp(job.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return Fail(error, "JPEG: " + job.message);
  }
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;  // gray and YCbCr both convert; CMYK is refused
  if (!SizeOk(cinfo.image_width, cinfo.image_height, error)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_start_decompress(&cinfo);
  const int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
  if (cinfo.output_components != 3 || !out.allocateForOverwrite(w, h)) {
    jpeg_destroy_decompress(&cinfo);
    return Fail(error, "JPEG: cannot hold the picture");
  }
  job.row.resize(static_cast<std::size_t>(w) * 3);
  while (cinfo.output_scanline < cinfo.output_height) {
    const int y = static_cast<int>(cinfo.output_scanline);
    JSAMPROW row = job.row.data();
    jpeg_read_scanlines(&cinfo, &row, 1);
    Colour* d = out.row(y);
    const std::uint8_t* s = job.row.data();
    for (int x = 0; x < w; ++x, s += 3) d[x] = Rgb(s[0], s[1], s[2]);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// ---- TIFF ----

// libtiff reports through process-wide handlers; the batch decodes one
// picture at a time in each process.
std::string& TiffMessage() {
  static std::string message;
  return message;
}

void TiffError(const char* module, const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  TiffMessage() = module ? std::string(module) + ": " + text : std::string(text);
}

struct TiffCloser {
  void operator()(TIFF* t) const { TIFFClose(t); }
};

// One sample whole: 8 bits, or 16 in the machine's order as libtiff hands them.
inline int Sample(const std::uint8_t* row, std::size_t index, int bits) {
  if (bits == 8) return row[index];
  std::uint16_t v;
  std::memcpy(&v, row + index * 2, 2);
  return v;
}

bool DecodeTiff(const std::string& path, Surface& out, std::string& error) {
  TIFFSetErrorHandler(TiffError);
  TIFFSetWarningHandler(nullptr);
  TiffMessage().clear();
  std::unique_ptr<TIFF, TiffCloser> tif(TIFFOpen(path.c_str(), "r"));
  if (!tif) return Fail(error, "TIFF: " + TiffMessage());
  std::uint32_t w = 0, h = 0;
  std::uint16_t spp = 1, bits = 1, photometric = PHOTOMETRIC_MINISBLACK, planar = PLANARCONFIG_CONTIG;
  std::uint16_t format = SAMPLEFORMAT_UINT;
  TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &w);
  TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &h);
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &spp);
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLEFORMAT, &format);
  if (!TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &photometric))
    photometric = spp >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
  if (!SizeOk(w, h, error)) return false;

  const bool gray = photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
  const bool own = (bits == 8 || bits == 16) && format == SAMPLEFORMAT_UINT && !TIFFIsTiled(tif.get()) &&
                   ((gray && spp >= 1) || (photometric == PHOTOMETRIC_RGB && spp >= 3) ||
                    (photometric == PHOTOMETRIC_PALETTE && spp == 1));
  if (!own) {
    // Other layouts (1 to 4 bits, YCbCr, CMYK, tiles) through libtiff's own
    // 8-bit reader, which keeps such samples whole; 16 bits would be rounded.
    if (bits > 8) return Fail(error, "TIFF: unsupported 16-bit layout");
    if (!out.allocateForOverwrite(static_cast<int>(w), static_cast<int>(h)))
      return Fail(error, "out of memory");
    std::vector<std::uint32_t> rgba(static_cast<std::size_t>(w) * h);
    if (!TIFFReadRGBAImageOriented(tif.get(), w, h, rgba.data(), ORIENTATION_TOPLEFT, 0))
      return Fail(error, "TIFF: " + TiffMessage());
    for (std::uint32_t y = 0; y < h; ++y) {
      Colour* d = out.row(static_cast<int>(y));
      const std::uint32_t* s = rgba.data() + static_cast<std::size_t>(y) * w;
      for (std::uint32_t x = 0; x < w; ++x) d[x] = Rgb(TIFFGetR(s[x]), TIFFGetG(s[x]), TIFFGetB(s[x]));
    }
    return true;
  }

  std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
  if (photometric == PHOTOMETRIC_PALETTE && !TIFFGetField(tif.get(), TIFFTAG_COLORMAP, &red, &green, &blue))
    return Fail(error, "TIFF: palette missing");
  if (!out.allocateForOverwrite(static_cast<int>(w), static_cast<int>(h)))
    return Fail(error, "out of memory");
  const bool separate = planar == PLANARCONFIG_SEPARATE && spp > 1;
  const int channels = photometric == PHOTOMETRIC_RGB ? 3 : 1;
  const tmsize_t lineBytes = TIFFScanlineSize(tif.get());
  std::vector<std::uint8_t> line[3];
  for (int c = 0; c < (separate ? channels : 1); ++c) line[c].resize(static_cast<std::size_t>(lineBytes));
  const int drop = bits - 8;  // the top byte of a sample
  for (std::uint32_t y = 0; y < h; ++y) {
    for (int c = 0; c < (separate ? channels : 1); ++c)
      if (TIFFReadScanline(tif.get(), line[c].data(), y, static_cast<std::uint16_t>(c)) < 0)
        return Fail(error, "TIFF: " + TiffMessage());
    Colour* d = out.row(static_cast<int>(y));
    for (std::uint32_t x = 0; x < w; ++x) {
      if (photometric == PHOTOMETRIC_PALETTE) {
        const int i = Sample(line[0].data(), x, bits);
        d[x] = Rgb(red[i] >> 8, green[i] >> 8, blue[i] >> 8);
        continue;
      }
      int v[3];
      for (int c = 0; c < channels; ++c) {
        const std::size_t index = separate ? x : static_cast<std::size_t>(x) * spp + c;
        v[c] = Sample(line[separate ? c : 0].data(), index, bits) >> drop;
      }
      // White-is-zero: inverting the top byte is the top byte of the inverse.
      if (photometric == PHOTOMETRIC_MINISWHITE) v[0] = 255 - v[0];
      d[x] = channels == 3 ? Rgb(v[0], v[1], v[2]) : Rgb(v[0], v[0], v[0]);
    }
  }
  return true;
}

}  // namespace

PictureFormat SniffPictureFormat(std::span<const std::uint8_t> head) {
  auto starts = [&](std::initializer_list<std::uint8_t> magic) {
    return head.size() >= magic.size() && std::equal(magic.begin(), magic.end(), head.begin());
  };
  if (starts({'B', 'M'})) return PictureFormat::Bmp;
  if (starts({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return PictureFormat::Png;
  if (starts({'I', 'I', 42, 0}) || starts({'M', 'M', 0, 42})) return PictureFormat::Tiff;
  if (starts({0xFF, 0xD8, 0xFF})) return PictureFormat::Jpeg;
  return PictureFormat::Unknown;
}

PictureFormat SniffPictureFile(const std::string& path) {
  File f(std::fopen(path.c_str(), "rb"));
  std::uint8_t head[8] = {};
  const std::size_t n = f ? std::fread(head, 1, sizeof head, f.get()) : 0;
  return SniffPictureFormat(std::span<const std::uint8_t>(head, n));
}

bool ReadPicture(const std::string& path, Surface& out, std::string& error) {
  const PictureFormat format = SniffPictureFile(path);
  if (format == PictureFormat::Tiff) return DecodeTiff(path, out, error);
  if (format != PictureFormat::Png && format != PictureFormat::Jpeg)
    return Fail(error, "not a PNG, TIFF or JPEG file");
  File f(std::fopen(path.c_str(), "rb"));
  if (!f) return Fail(error, "cannot open: " + std::string(std::strerror(errno)));
  if (format == PictureFormat::Png) {
    auto job = std::make_unique<PngJob>();
    return DecodePng(f.get(), *job, out, error);
  }
  auto job = std::make_unique<JpegJob>();
  return DecodeJpeg(f.get(), *job, out, error);
}

}  // namespace opta
