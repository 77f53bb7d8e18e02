// Reading a BMP file whole and checking it, and the two roads from its bytes
// to a picture: the decoder, and the program's own reader for the files it
// saved itself.
#include "document/dib_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <new>

#include "document/dib_layout.h"

namespace opta {
namespace {

constexpr std::int64_t kFourGiB = std::int64_t{1} << 32;
constexpr int kOwnReaderLimit = 500;

DibReadResult CheckDibBytes(FileBytes bytes, LoadedFile& lastLoaded) {
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

// Room for a file about to be read. A plain picture file is a little smaller
// than its picture's matrix; read into a block of the matrix's size, its
// pages go on to the matrix once the file is let go, instead of both being
// faulted in afresh. Anything else gets just its own size.
std::size_t ReadRoom(int fd, std::size_t size) {
  std::uint8_t head[26];
  if (size < sizeof head || ::pread(fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head))
    return size;
  std::int64_t w = 0, h = 0;
  if (dib::Le32(head + 14) == 12) {
    w = dib::Le16(head + 18);
    h = dib::Le16(head + 20);
  } else {
    w = static_cast<std::int32_t>(dib::Le32(head + 18));
    h = static_cast<std::int32_t>(dib::Le32(head + 22));
  }
  const auto matrix = static_cast<std::uint64_t>(std::abs(w)) * static_cast<std::uint64_t>(std::abs(h)) * 4;
  return matrix > size && matrix <= 2 * static_cast<std::uint64_t>(size) ? static_cast<std::size_t>(matrix)
                                                                         : size;
}

}  // namespace

DibReadResult ReadDibBytes(std::vector<std::uint8_t> bytes, LoadedFile& lastLoaded) {
  return CheckDibBytes(FileBytes(bytes.begin(), bytes.end()), lastLoaded);
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
  FileBytes bytes;
  try {
    bytes.reserve(ReadRoom(fd, size));
  } catch (const std::bad_alloc&) {
    // The file's own size may still fit.
  }
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
  return CheckDibBytes(std::move(bytes), lastLoaded);
}

std::uint16_t FileMarker(const LoadedFile& file) {
  return file.bytes.size() >= 8 ? static_cast<std::uint16_t>(dib::Le16(file.bytes.data() + 6)) : 0;
}

bool UsesOwnReader(std::uint16_t marker, int width, int height) {
  return marker != 0 && (width <= kOwnReaderLimit || height <= kOwnReaderLimit);
}

namespace {

// The own reader's share of the loading budget: 3 bytes for every pixel,
// from bfOffBits on, all inside the file.
bool MarkedPixelsPresent(const LoadedFile& file, int width, int height) {
  const std::int64_t size = static_cast<std::int64_t>(file.bytes.size());
  if (size < 14 || !ValidImageSize(width, height)) return false;
  const std::int64_t need = std::int64_t{3} * width * height;
  return dib::Le32(file.bytes.data() + 10) + need <= size;
}

// Rows go to the canvas in pieces, so no row of any width needs memory.
void ReadMarkedPixels(const LoadedFile& file, int width, int height, Canvas& canvas) {
  const std::uint8_t* at = file.bytes.data() + dib::Le32(file.bytes.data() + 10);
  constexpr int kPiece = 1024;
  Colour piece[kPiece];
  for (int r = 0; r < height; ++r) {
    for (int c0 = 0; c0 < width; c0 += kPiece) {
      const int n = std::min(kPiece, width - c0);
      for (int i = 0; i < n; ++i, at += 3) piece[i] = Rgb(at[2], at[1], at[0]);
      canvas.putRow(c0, height - 1 - r, piece, n);
    }
  }
}

}  // namespace

PictureStatus LoadPicture(const LoadedFile& file, const DibInfo& info, Surface& window, Surface& image) {
  const int w = info.width, h = info.height;
  if (!UsesOwnReader(FileMarker(file), w, h)) return DecodeDibPicture(file.bytes, image);
  if (!MarkedPixelsPresent(file, w, h)) return PictureStatus::Refused;
  // A blank bitmap of the header's size, filled row by row on screen too.
  if (!image.allocate(w, h, kBlack)) return PictureStatus::OutOfMemory;
  Canvas canvas(window, image);
  ReadMarkedPixels(file, w, h, canvas);
  return PictureStatus::Loaded;
}

int FilePlanes(const LoadedFile& file) {
  return file.bytes.size() >= 28 ? static_cast<int>(dib::Le16(file.bytes.data() + 26)) : 0;
}

int FileBitCount(const LoadedFile& file) {
  return file.bytes.size() >= 30 ? static_cast<int>(dib::Le16(file.bytes.data() + 28)) : 0;
}

}  // namespace opta
