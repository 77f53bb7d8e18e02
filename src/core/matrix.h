#pragma once
// PixelMatrix and ByteMatrix: width x height entries addressed as (x, y), x from
// the left, y from the top. Stored row after row, like the surfaces, so a result
// row can be streamed from a matrix to the screen without a transpose; where the
// program's x-outer, y-inner order decides a result, the loops keep that order.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "core/big_buffer.h"
#include "core/colour.h"

namespace opta {

// The largest image we agree to hold: 256 megapixels. A full analysis keeps
// about 22 bytes a pixel alive at once (matrices, surfaces, work matrix and
// point stack), so this stays well inside a 24 GiB machine.
constexpr std::int64_t kMaxPixels = std::int64_t{256} * 1024 * 1024;

inline bool ValidImageSize(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPixels && height <= kMaxPixels &&
         width * height <= kMaxPixels;
}

template <class T>
class Matrix {
 public:
  Matrix() = default;
  Matrix(const Matrix&) = delete;
  Matrix& operator=(const Matrix&) = delete;
  Matrix(Matrix&&) noexcept = default;
  Matrix& operator=(Matrix&&) noexcept = default;

  // Gives the matrix a new size with undefined contents, reusing the storage
  // when it is large enough. Returns false (and leaves the matrix empty) when
  // the size is invalid or the memory cannot be had.
  bool allocate(int width, int height) {
    if (!ValidImageSize(width, height)) {
      release();
      return false;
    }
    const std::size_t n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (n > capacity_) {
      data_.reset();
      capacity_ = 0;
      T* p = static_cast<T*>(bigbuf::Allocate(n * sizeof(T)));
      if (!p) {
        width_ = height_ = 0;
        return false;
      }
      data_ = Storage(p, Releaser{n * sizeof(T)});
      capacity_ = n;
    }
    width_ = width;
    height_ = height;
    return true;
  }

  void release() {
    data_.reset();
    capacity_ = 0;
    width_ = height_ = 0;
  }

  bool empty() const { return width_ == 0 || height_ == 0; }
  int width() const { return width_; }
  int height() const { return height_; }
  std::size_t size() const { return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_); }

  T& at(int x, int y) { return data_[static_cast<std::size_t>(y) * width_ + x]; }
  const T& at(int x, int y) const { return data_[static_cast<std::size_t>(y) * width_ + x]; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  T* row(int y) { return data_.get() + static_cast<std::size_t>(y) * width_; }
  const T* row(int y) const { return data_.get() + static_cast<std::size_t>(y) * width_; }
  T* data() { return data_.get(); }
  const T* data() const { return data_.get(); }

  void fill(T value) {
    T* p = data_.get();
    for (std::size_t i = 0, n = size(); i < n; ++i) p[i] = value;
  }

  // Same size and contents.
  bool copyFrom(const Matrix& other) {
    if (!allocate(other.width_, other.height_)) return other.empty();
    std::memcpy(data_.get(), other.data_.get(), size() * sizeof(T));
    return true;
  }

 private:
  // Entries are plain numbers: the storage is raw, from the big-buffer pool.
  struct Releaser {
    std::size_t bytes = 0;
    void operator()(T* p) const noexcept { bigbuf::Release(p, bytes); }
  };
  using Storage = std::unique_ptr<T[], Releaser>;
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_default_constructible_v<T>);

  Storage data_;
  std::size_t capacity_ = 0;
  int width_ = 0;
  int height_ = 0;
};

using PixelMatrix = Matrix<Colour>;
using ByteMatrix = Matrix<std::uint8_t>;

}  // namespace opta
