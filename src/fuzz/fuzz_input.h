#pragma once
// What the fuzz targets share: bytes read as choices, and a folder for the
// files they write.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

namespace opta::fuzz {

// Reads choices from the front of the input; once it is used up every
// choice is the smallest one, so any input ends.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return at_ >= size_; }
  std::uint8_t byte() { return empty() ? 0 : data_[at_++]; }
  bool flag() { return (byte() & 1) != 0; }
  // A value in [lo, hi], from as many bytes as the span needs.
  int range(int lo, int hi) {
    const std::uint32_t span = static_cast<std::uint32_t>(hi - lo) + 1;
    std::uint32_t v = byte();
    if (span > 256) v |= static_cast<std::uint32_t>(byte()) << 8;
    if (span > 65536) v |= static_cast<std::uint32_t>(byte()) << 16;
    return lo + static_cast<int>(v % span);
  }
  // Up to max bytes as text.
  std::string text(std::size_t max) {
    const std::size_t n = range(0, static_cast<int>(max));
    std::string s;
    for (std::size_t i = 0; i < n && !empty(); ++i) s += static_cast<char>(byte());
    return s;
  }
  std::span<const std::uint8_t> rest() {
    const std::span<const std::uint8_t> r(data_ + at_, empty() ? 0 : size_ - at_);
    at_ = size_;
    return r;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// A folder of this process's own for the files a target writes, on tmpfs
// when there is one; the data home points there too, so labelling's
// neighbours file lands in it.
inline std::string ScratchFolder(const char* target) {
  const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
  const std::string dir = std::string(base) + "/opta_fuzz_" + target + "_" + std::to_string(::getpid());
  std::filesystem::create_directories(dir);
  ::setenv("XDG_DATA_HOME", dir.c_str(), 1);
  struct Remover {
    std::string dir;
    ~Remover() {
      std::error_code ignored;
      std::filesystem::remove_all(dir, ignored);
    }
  };
  static const Remover remover{dir};
  return dir;
}

}  // namespace opta::fuzz
