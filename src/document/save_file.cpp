// The saved layout and the two export formats, streamed block by block into
// a file that replaces its target only once it is whole.
#include "document/save_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "core/cpu.h"
#include "core/parallel.h"
#include "document/dib_file.h"

namespace opta {
namespace {

// Large enough that the system calls cost nothing beside the bytes, small
// enough to be had whatever the picture's size.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

enum class Order { Bgr, Rgb };

#if defined(__x86_64__)

// Four colours to twelve file bytes with one shuffle. Each 16-byte store also
// writes the next pixels' bytes, which the following steps overwrite, so it
// stops while a whole store still fits in the n pixels' bytes. Returns how
// many pixels it did; the plain loop does the rest.
__attribute__((target("ssse3"))) int ShuffleRow(const Colour* src, std::uint8_t* dst, int n, Order order) {
  const __m128i mask = order == Order::Bgr
                           ? _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1)
                           : _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  int x = 0;
  for (; x + 6 <= n; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + static_cast<std::ptrdiff_t>(x) * 3),
                     _mm_shuffle_epi8(v, mask));
  }
  return x;
}
#else
int ShuffleRow(const Colour*, std::uint8_t*, int, Order) { return 0; }
#endif

// n colours to 3 bytes each: blue, green, red for BMP; red, green, blue for PPM.
void EncodePixels(const Colour* src, std::uint8_t* dst, int n, Order order) {
  int x = cpu::Has(cpu::Level::Ssse3) ? ShuffleRow(src, dst, n, order) : 0;
  for (dst += static_cast<std::ptrdiff_t>(x) * 3; x < n; ++x, dst += 3) {
    const Colour v = src[x];
    const auto red = static_cast<std::uint8_t>(v), green = static_cast<std::uint8_t>(v >> 8),
               blue = static_cast<std::uint8_t>(v >> 16);
    dst[0] = order == Order::Bgr ? blue : red;
    dst[1] = green;
    dst[2] = order == Order::Bgr ? red : blue;
  }
}

void PutLe16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutLe32(std::uint8_t* p, std::uint32_t v) {
  PutLe16(p, v);
  PutLe16(p + 2, v >> 16);
}

// The 54-byte header of a 24-bit bottom-up BMP whose rows take stride bytes,
// into zeroed bytes: resolution and colour counts stay 0.
void PutBmpHeader(std::uint8_t* p, int w, int h, std::uint16_t marker, std::uint32_t stride) {
  const std::uint32_t pixelBytes = stride * static_cast<std::uint32_t>(h);
  p[0] = 'B';
  p[1] = 'M';
  PutLe32(p + 2, pixelBytes + kSavedHeaderBytes);
  PutLe16(p + 6, marker);
  PutLe32(p + 10, kSavedHeaderBytes);
  PutLe32(p + 14, 40);
  PutLe32(p + 18, static_cast<std::uint32_t>(w));
  PutLe32(p + 22, static_cast<std::uint32_t>(h));
  PutLe16(p + 26, 1);
  PutLe16(p + 28, 24);
  PutLe32(p + 34, pixelBytes);
}

struct RowFormat {
  Order order;
  bool bottomUp;
  int pad;  // zero bytes after each row
};

// The picture's rows in file order, a block at a time: whole rows while a
// row fits a block, otherwise each row in pieces.
int StreamRows(ReplacingFile& file, const Surface& s, const RowFormat& format) {
  const int w = s.width(), h = s.height();
  const std::size_t rowBytes = std::size_t{3} * static_cast<std::size_t>(w) + format.pad;
  const bool wholeRows = rowBytes <= kBlockBytes;
  const int rowsPerBlock =
      wholeRows ? static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(h), kBlockBytes / rowBytes))
                : 1;
  const int piece = wholeRows ? w : static_cast<int>(kBlockBytes / 3);
  const std::size_t blockBytes = wholeRows ? rowBytes * static_cast<std::size_t>(rowsPerBlock) : kBlockBytes;
  if (h == 0 || w == 0) return 0;
  std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[blockBytes]);
  if (!block) return ENOMEM;
  const std::uint8_t zeros[4] = {};
  for (int r0 = 0; r0 < h; r0 += rowsPerBlock) {
    const int r1 = std::min(h, r0 + rowsPerBlock);
    std::uint8_t* out = block.get();
    for (int r = r0; r < r1; ++r) {
      const Colour* src = s.row(format.bottomUp ? h - 1 - r : r);
      for (int x0 = 0; x0 < w; x0 += piece) {
        const int n = std::min(piece, w - x0);
        EncodePixels(src + x0, out, n, format.order);
        out += static_cast<std::size_t>(n) * 3;
        if (!wholeRows) {
          if (!file.write(block.get(), out - block.get())) return file.error();
          out = block.get();
        }
      }
      if (wholeRows) {
        std::fill(out, out + format.pad, std::uint8_t{0});
        out += format.pad;
      } else if (!file.write(zeros, static_cast<std::size_t>(format.pad))) {
        return file.error();
      }
    }
    if (wholeRows && !file.write(block.get(), out - block.get())) return file.error();
  }
  return 0;
}

int SaveWith(const std::string& path, const std::uint8_t* header, std::size_t headerBytes, const Surface& s,
             const RowFormat& format) {
  ReplacingFile file(path);
  const int error = file.write(header, headerBytes) ? StreamRows(file, s, format) : file.error();
  return error != 0 ? error : file.commit();  // dropped uncommitted, the temporary goes
}

// A name for the temporary beside the target, not yet taken.
int CreateTemporary(const std::string& target, std::string& temp) {
  const std::size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = dir + "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

ReplacingFile::ReplacingFile(const std::string& path) : target_(path) {
  // Saving through a symbolic link replaces the file it points to, not the link.
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target_ = real;
      std::free(real);
    }
  }
  const bool exists = ::stat(target_.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd_ < 0) error_ = errno;
    return;
  }
  fd_ = CreateTemporary(target_, temp_);
  if (fd_ < 0) {
    error_ = errno;
    temp_.clear();
    return;
  }
  // A replaced file keeps its owner (where we may give it) and permissions;
  // a new one gets the usual ones.
  if (exists) {
    (void)::fchown(fd_, st.st_uid, st.st_gid);
    (void)::fchmod(fd_, st.st_mode & 07777);
  }
}

ReplacingFile::~ReplacingFile() {
  if (!committed_) discard();
}

void ReplacingFile::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

bool ReplacingFile::write(const void* data, std::size_t n) {
  if (error_ != 0) return false;
  const auto* p = static_cast<const std::uint8_t*>(data);
  while (n > 0) {
    const ssize_t done = ::write(fd_, p, std::min<std::size_t>(n, SSIZE_MAX));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) {
      error_ = done < 0 ? errno : EIO;
      return false;
    }
    p += done;
    n -= static_cast<std::size_t>(done);
  }
  return true;
}

int ReplacingFile::commit() {
  if (committed_) return error_;
  if (error_ == 0 && !temp_.empty() && ::fsync(fd_) != 0) error_ = errno;
  if (error_ == 0) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) error_ = errno;
  }
  if (error_ == 0 && !temp_.empty() && ::rename(temp_.c_str(), target_.c_str()) != 0) error_ = errno;
  if (error_ != 0) {
    discard();
    committed_ = true;
    return error_;
  }
  committed_ = true;
  if (temp_.empty()) return 0;
  temp_.clear();
  // The new name is on disk only once the folder is; a folder that cannot be
  // synced does not make the written file any less written.
  const std::size_t slash = target_.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : target_.substr(0, slash);
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    (void)::fsync(dirFd);
    ::close(dirFd);
  }
  return 0;
}

int SaveDibFile(const std::string& path, const Surface& image) {
  std::uint8_t header[kSavedHeaderBytes] = {};
  PutBmpHeader(header, image.width(), image.height(), 1, 3 * static_cast<std::uint32_t>(image.width()));
  return SaveWith(path, header, sizeof header, image, RowFormat{Order::Bgr, true, 0});
}

int SaveStandardBmp(const std::string& path, const Surface& picture) {
  const std::uint32_t stride = (3 * static_cast<std::uint32_t>(picture.width()) + 3) & ~3u;
  std::uint8_t header[kSavedHeaderBytes] = {};
  PutBmpHeader(header, picture.width(), picture.height(), 0, stride);
  const int pad = static_cast<int>(stride - 3 * static_cast<std::uint32_t>(picture.width()));
  return SaveWith(path, header, sizeof header, picture, RowFormat{Order::Bgr, true, pad});
}

int SavePpm(const std::string& path, const Surface& picture) {
  const std::string header =
      "P6\n" + std::to_string(picture.width()) + " " + std::to_string(picture.height()) + "\n255\n";
  return SaveWith(path, reinterpret_cast<const std::uint8_t*>(header.data()), header.size(), picture,
                  RowFormat{Order::Rgb, false, 0});
}

namespace {

std::vector<std::uint8_t> EncodeBmp(const Surface& image, std::uint16_t marker, std::uint32_t stride) {
  const int w = image.width(), h = image.height();
  // Value-initialised, so the pad bytes of standard rows are zero.
  std::vector<std::uint8_t> out(kSavedHeaderBytes + std::size_t{stride} * static_cast<std::size_t>(h));
  PutBmpHeader(out.data(), w, h, marker, stride);
  std::uint8_t* bits = out.data() + kSavedHeaderBytes;
  parallelRows(h, w, [&](int r0, int r1) {
    for (int r = r0; r < r1; ++r)  // file row 0 is the bottom row
      EncodePixels(image.row(h - 1 - r), bits + static_cast<std::size_t>(r) * stride, w, Order::Bgr);
  });
  return out;
}

}  // namespace

std::vector<std::uint8_t> EncodeSavedBmp(const Surface& image) {
  return EncodeBmp(image, 1, 3 * static_cast<std::uint32_t>(image.width()));
}

std::vector<std::uint8_t> EncodeStandardBmp(const Surface& picture) {
  return EncodeBmp(picture, 0, (3 * static_cast<std::uint32_t>(picture.width()) + 3) & ~3u);
}

}  // namespace opta
