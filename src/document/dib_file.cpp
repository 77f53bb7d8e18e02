// Reading a BMP file whole and checking it, the program's own reader for the
// files it saved itself, and the saved layout.
#include "document/dib_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <new>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "core/cpu.h"
#include "core/parallel.h"
#include "document/dib_layout.h"

namespace opta {
namespace {

constexpr std::int64_t kFourGiB = std::int64_t{1} << 32;
constexpr int kSavedHeader = 54;
constexpr int kOwnReaderLimit = 500;

void PutLe16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutLe32(std::uint8_t* p, std::uint32_t v) {
  PutLe16(p, v);
  PutLe16(p + 2, v >> 16);
}

#if defined(__x86_64__)

// Four colours to twelve file bytes (blue, green, red) with one shuffle. Each
// 16-byte store also writes the next pixels' bytes, which the following
// steps overwrite, so it stops while a whole store still fits in the row.
// Returns how many pixels it did; the plain loop does the rest.
__attribute__((target("ssse3"))) int ShuffleSavedRow(const Colour* src, std::uint8_t* dst, int w) {
  const __m128i mask = _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
  int x = 0;
  for (; x + 6 <= w; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + static_cast<std::ptrdiff_t>(x) * 3),
                     _mm_shuffle_epi8(v, mask));
  }
  return x;
}
#else
int ShuffleSavedRow(const Colour*, std::uint8_t*, int) { return 0; }
#endif

}  // namespace

DibReadResult ReadDibBytes(std::vector<std::uint8_t> bytes, LoadedFile& lastLoaded) {
  DibReadResult result;
  const std::int64_t size = static_cast<std::int64_t>(bytes.size());
  if (size >= kFourGiB) return result;  // CannotOpen
  result.status = DibReadStatus::Rejected;
  if (size < 2 || bytes[0] != 'B' || bytes[1] != 'M') return result;
  if (size < 6 || dib::Le32(bytes.data() + 2) != static_cast<std::uint32_t>(size)) return result;

  lastLoaded.bytes = std::move(bytes);
  const std::optional<DibInfo> info = ParseDib(lastLoaded.bytes);
  if (!info) {
    result.status = DibReadStatus::Undecodable;
    return result;
  }
  result.status = DibReadStatus::Ok;
  result.info = *info;
  return result;
}

DibReadResult ReadDibFile(const std::string& path, LoadedFile& lastLoaded) {
  DibReadResult cannotOpen;  // status CannotOpen
  // Non-blocking so that a named pipe cannot hang the open; a regular file
  // reads the same either way.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return cannotOpen;
  struct stat st {};
  // A directory or device is not a file that can be opened for reading here.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size >= kFourGiB) {
    ::close(fd);
    return cannotOpen;
  }
  const std::size_t size = static_cast<std::size_t>(st.st_size);
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(size);
  } catch (const std::bad_alloc&) {
    ::close(fd);
    return cannotOpen;
  }
  // One read of the whole file; the kernel may hand it over in pieces.
  std::size_t got = 0;
  bool failed = false;
  while (got < size) {
    const ssize_t n = ::read(fd, bytes.data() + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (failed || got != size) {
    DibReadResult rejected;
    rejected.status = DibReadStatus::Rejected;
    return rejected;
  }
  return ReadDibBytes(std::move(bytes), lastLoaded);
}

std::uint16_t FileMarker(const LoadedFile& file) {
  return file.bytes.size() >= 8 ? static_cast<std::uint16_t>(dib::Le16(file.bytes.data() + 6)) : 0;
}

bool UsesOwnReader(std::uint16_t marker, int width, int height) {
  return marker != 0 && (width <= kOwnReaderLimit || height <= kOwnReaderLimit);
}

// Pixels the file does not hold whole (it ends early, or bfOffBits points
// past its end) are not written, so they keep the blank bitmap's black.
void ReadMarkedPixels(const LoadedFile& file, int width, int height, Canvas& canvas) {
  const std::int64_t size = static_cast<std::int64_t>(file.bytes.size());
  if (size < 14 || !ValidImageSize(width, height)) return;
  const std::uint8_t* f = file.bytes.data();
  std::int64_t at = dib::Le32(f + 10);
  std::vector<Colour> row(static_cast<std::size_t>(width));
  for (int r = 0; r < height; ++r) {
    int c = 0;
    for (; c < width && at + 3 <= size; ++c, at += 3) row[c] = Rgb(f[at + 2], f[at + 1], f[at]);
    if (c > 0) canvas.putRow(0, height - 1 - r, row.data(), c);
    if (c < width) return;
  }
}

int FilePlanes(const LoadedFile& file) {
  return file.bytes.size() >= 28 ? static_cast<int>(dib::Le16(file.bytes.data() + 26)) : 0;
}

int FileBitCount(const LoadedFile& file) {
  return file.bytes.size() >= 30 ? static_cast<int>(dib::Le16(file.bytes.data() + 28)) : 0;
}

std::vector<std::uint8_t> EncodeSavedBmp(const Surface& image) {
  const int w = image.width(), h = image.height();
  const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
  const std::size_t pixelBytes = rowBytes * static_cast<std::size_t>(h);
  std::vector<std::uint8_t> out(kSavedHeader + pixelBytes);
  std::uint8_t* p = out.data();
  p[0] = 'B';
  p[1] = 'M';
  PutLe32(p + 2, static_cast<std::uint32_t>(pixelBytes + kSavedHeader));
  PutLe16(p + 6, 1);  // the marker that sends the file to our own reader
  PutLe16(p + 8, 0);
  PutLe32(p + 10, kSavedHeader);
  PutLe32(p + 14, 40);
  PutLe32(p + 18, static_cast<std::uint32_t>(w));
  PutLe32(p + 22, static_cast<std::uint32_t>(h));
  PutLe16(p + 26, 1);
  PutLe16(p + 28, 24);
  PutLe32(p + 30, 0);
  PutLe32(p + 34, static_cast<std::uint32_t>(pixelBytes));
  // Resolution and colour counts stay 0.
  std::uint8_t* bits = p + kSavedHeader;
  parallelRows(h, w, [&](int r0, int r1) {
    for (int r = r0; r < r1; ++r) {
      const Colour* src = image.row(h - 1 - r);  // file row 0 is the bottom row
      std::uint8_t* dst = bits + static_cast<std::size_t>(r) * rowBytes;
      int c = cpu::Has(cpu::Level::Ssse3) ? ShuffleSavedRow(src, dst, w) : 0;
      for (dst += static_cast<std::ptrdiff_t>(c) * 3; c < w; ++c, dst += 3) {
        const Colour v = src[c];
        dst[0] = static_cast<std::uint8_t>(v >> 16);
        dst[1] = static_cast<std::uint8_t>(v >> 8);
        dst[2] = static_cast<std::uint8_t>(v);
      }
    }
  });
  return out;
}

bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool wrote = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && wrote;
}

}  // namespace opta
