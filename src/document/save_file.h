#pragma once
// Writing pictures to disk without ever losing the file being replaced: the
// bytes go to a temporary file beside the target, which takes the target's
// name only once all of them are on disk. The writers stream bounded blocks,
// so no save needs memory in proportion to the picture.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/surface.h"

namespace opta {

// Each returns 0 when the file is written, else the errno of the step that
// failed; the file it would have replaced is then as it was, and no
// temporary is left behind.
int SaveDibFile(const std::string& path, const Surface& image);        // the saved layout (marker 1)
int SaveStandardBmp(const std::string& path, const Surface& picture);  // rows padded, no marker
int SavePpm(const std::string& path, const Surface& picture);          // binary PPM, P6

// The saved layout: marker 1, a 54-byte header, then unpadded 24-bit rows
// (blue, green, red), bottom row first.
inline constexpr int kSavedHeaderBytes = 54;
// The same bytes as SaveDibFile writes, whole in memory.
std::vector<std::uint8_t> EncodeSavedBmp(const Surface& image);
// The same bytes as SaveStandardBmp writes, whole in memory.
std::vector<std::uint8_t> EncodeStandardBmp(const Surface& picture);

// A file written under a temporary name in the target's folder and renamed
// over the target by commit(), after fsync; the folder is synced after the
// rename. Dropped without commit(), the temporary is removed. A target that
// exists and is not a regular file (a terminal, a pipe) is written in place.
class ReplacingFile {
 public:
  explicit ReplacingFile(const std::string& path);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // False once anything has failed; error() tells why.
  bool write(const void* data, std::size_t n);
  int commit();  // 0, or the errno of the first failure
  int error() const { return error_; }

 private:
  void discard();

  std::string target_;
  std::string temp_;  // empty when writing in place
  int fd_ = -1;
  int error_ = 0;
  bool committed_ = false;
};

}  // namespace opta
