#pragma once
// Object labelling: every 8-connected object of 255 pixels gets a label
// 2..254 (wrapping), is painted in its label colour and counted. Also home of
// the growing point stack and the column-order seed scan that the clean-up
// operations share.
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <queue>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/big_buffer.h"
#include "core/canvas.h"
#include "core/colour.h"
#include "core/geometry.h"
#include "core/matrix.h"

namespace opta {

// A message box as the kernels need it: text, caption, MB_* flags.
using MessageFn = std::function<void(std::string_view text, std::string_view caption, unsigned flags)>;

// A last-in first-out stack that starts with `capacity` slots, slot 0 never
// used, and doubles when the last slot is taken, keeping its points in order.
// onGrow sees (old, new) capacity before the new storage is sought; onFail is
// told when it cannot be had, and the push then fails.
template <class T>
class PointStack {
 public:
  std::function<void(std::size_t oldCapacity, std::size_t newCapacity)> onGrow;
  std::function<void()> onFail;

  bool allocate(std::size_t capacity) {
    data_ = Storage(capacity ? static_cast<T*>(bigbuf::Allocate(capacity * sizeof(T))) : nullptr,
                    Releaser{capacity * sizeof(T)});
    capacity_ = data_ ? capacity : 0;
    top_ = 0;
    return data_ != nullptr;
  }
  bool empty() const { return top_ == 0; }
  std::size_t size() const { return top_; }
  std::size_t capacity() const { return capacity_; }

  bool push(const T& p) {
    if (top_ + 1 >= capacity_ && !grow()) return false;
    data_[++top_] = p;
    return true;
  }
  bool pop(T& p) {
    if (top_ == 0) return false;
    p = data_[top_--];
    return true;
  }

 private:
  bool grow() {
    const std::size_t next = capacity_ * 2;
    if (onGrow) onGrow(capacity_, next);
    T* fresh = next ? static_cast<T*>(bigbuf::Allocate(next * sizeof(T))) : nullptr;
    if (!fresh) {
      if (onFail) onFail();
      return false;
    }
    if (top_) std::memcpy(fresh + 1, data_.get() + 1, top_ * sizeof(T));
    data_ = Storage(fresh, Releaser{next * sizeof(T)});
    capacity_ = next;
    return true;
  }

  // Points are plain numbers: raw storage from the big-buffer pool.
  struct Releaser {
    std::size_t bytes = 0;
    void operator()(T* p) const noexcept { bigbuf::Release(p, bytes); }
  };
  using Storage = std::unique_ptr<T[], Releaser>;
  static_assert(std::is_trivially_copyable_v<T>);

  Storage data_;
  std::size_t capacity_ = 0;
  std::size_t top_ = 0;  // slots 1..top_ hold points
};

struct StackPoint {
  std::uint32_t x;
  std::uint32_t y;
};

// Finds, in the program's scan order (x outer, y inner, both ascending), the
// positions of a row-major byte raster that hold `value` at the moment the
// scan reaches them. Values may change from `value` to anything else while
// the scan runs, never the other way. Each row is searched with memchr, and
// a heap keeps the rows' next candidates in scan order.
class ColumnOrderScan {
 public:
  // Scans columns 0..xEnd-1 of rows 0..yEnd-1; stride is the row length.
  ColumnOrderScan(const std::uint8_t* data, std::size_t stride, int xEnd, int yEnd, std::uint8_t value);
  // The next position holding the value, or false when there is none.
  bool next(int& x, int& y);

 private:
  void advance(int y, int fromX);

  const std::uint8_t* data_;
  std::size_t stride_;
  int xEnd_;
  std::uint8_t value_;
  std::priority_queue<std::uint64_t, std::vector<std::uint64_t>, std::greater<>> heap_;
};

// The first index in [from, to] where p holds value, or to + 1: eight bytes
// at a time, since most of what the region walks scan is not the value.
inline int FindByte(const std::uint8_t* p, int from, int to, std::uint8_t value) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  const std::uint64_t pattern = kOnes * value;
  int x = from;
  for (; x + 8 <= to + 1; x += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + x, 8);
    const std::uint64_t v = word ^ pattern;  // a zero byte where p holds value
    if ((v - kOnes) & ~v & kHighs) break;
  }
  while (x <= to && p[x] != value) ++x;
  return x;
}

// The first index in [from, to] where p does not hold value, or to + 1; the
// end of a run, eight bytes at a time.
inline int SkipByte(const std::uint8_t* p, int from, int to, std::uint8_t value) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  const std::uint64_t pattern = kOnes * value;
  int x = from;
  for (; x + 8 <= to + 1; x += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + x, 8);
    const std::uint64_t v = word ^ pattern;  // the first non-zero byte is the first other value
    if (v) return x + (std::countr_zero(v) >> 3);
  }
  while (x <= to && p[x] == value) ++x;
  return x;
}

// The start of the run of value that ends at `from` (p[from] holds value):
// the smallest index down to 0 from which every byte holds it.
inline int SkipByteBack(const std::uint8_t* p, int from, std::uint8_t value) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  const std::uint64_t pattern = kOnes * value;
  int x = from;  // p[x..from] hold value
  while (x >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p + x - 8, 8);
    const std::uint64_t v = word ^ pattern;  // the last non-zero byte is the last other value
    if (v) return x - (std::countl_zero(v) >> 3);
    x -= 8;
  }
  while (x > 0 && p[x - 1] == value) --x;
  return x;
}

// Grows the 8-connected region of `from` bytes holding (sx, sy) a row run at
// a time, writing `to` over it and telling onRun(y, x0, x1) each run it
// writes; for walks whose visiting order nothing depends on. Returns the
// region's size, or -1 when `stack` could not grow.
template <class OnRun>
std::int64_t FloodRuns(std::uint8_t* data, std::size_t stride, int width, int height, int sx, int sy,
                       std::uint8_t from, std::uint8_t to, PointStack<StackPoint>& stack, OnRun&& onRun) {
  std::int64_t size = 0;
  if (!stack.push(StackPoint{static_cast<std::uint32_t>(sx), static_cast<std::uint32_t>(sy)})) return -1;
  StackPoint p;
  while (stack.pop(p)) {
    const int y = static_cast<int>(p.y);
    std::uint8_t* row = data + static_cast<std::size_t>(y) * stride;
    if (row[p.x] != from) continue;
    int xl = static_cast<int>(p.x), xr = xl;
    xl = SkipByteBack(row, xl, from);
    xr = SkipByte(row, xr + 1, width - 1, from) - 1;
    std::memset(row + xl, to, static_cast<std::size_t>(xr - xl + 1));
    onRun(y, xl, xr);
    size += xr - xl + 1;
    // 8-connected: the rows above and below count from one left to one right.
    const int lo = xl > 0 ? xl - 1 : 0, hi = xr + 1 < width ? xr + 1 : width - 1;
    for (int ny = y - 1; ny <= y + 1; ny += 2) {
      if (ny < 0 || ny >= height) continue;
      const std::uint8_t* next = data + static_cast<std::size_t>(ny) * stride;
      for (int x = FindByte(next, lo, hi, from); x <= hi; x = FindByte(next, x, hi, from)) {
        if (!stack.push(StackPoint{static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(ny)})) return -1;
        x = SkipByte(next, x, hi, from);
      }
    }
  }
  return size;
}

inline std::int64_t FloodRuns(std::uint8_t* data, std::size_t stride, int width, int height, int sx, int sy,
                              std::uint8_t from, std::uint8_t to, PointStack<StackPoint>& stack) {
  return FloodRuns(data, stride, width, height, sx, sy, from, to, stack, [](int, int, int) {});
}

// What labelling needs besides the mask and the surfaces.
struct LabelEnv {
  Size screen;                 // the primary screen: the seed rectangle
  MessageFn message;           // the stack notices and the count
  std::string neighboursPath;  // created empty each run; empty path: none
};

constexpr Colour LabelColour(std::uint8_t label) {
  return Rgb((label + 100) & 0xFF, (2 * label + 100) & 0xFF, (3 * label + 100) & 0xFF);
}

// Labels, paints, counts and reports "Total Objects Found: %lu". Returns the
// count it reported.
std::uint32_t LabelObjects(ByteMatrix& mask, int width, int height, Canvas& canvas, const LabelEnv& env);
std::uint32_t LabelObjectsReference(ByteMatrix& mask, int width, int height, Canvas& canvas,
                                    const LabelEnv& env);

// Labels one pixel and pushes its unlabelled object neighbours; false when
// the stack could not grow.
bool VisitPixel(ByteMatrix& mask, int width, int height, std::uint8_t label, int x, int y, Canvas& canvas,
                PointStack<StackPoint>& stack);

// Creates (or truncates) the neighbours file and leaves it empty; a file that
// cannot be made changes nothing, and a symbolic link in its place is left
// alone, as is whatever it points to.
void CreateNeighboursFile(const std::string& path);
// $XDG_DATA_HOME/optascope/OPTA_Neighbours.dat, or under ~/.local/share;
// the folder is created when missing. Empty when no home is known.
std::string DefaultNeighboursPath();

}  // namespace opta
