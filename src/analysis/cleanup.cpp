#include "analysis/cleanup.h"

#include <array>
#include <cstring>
#include <memory>
#include <new>

#include "platform/ui.h"

namespace opta {
namespace {

void TellNoMemory(const MessageFn& message) {
  if (message) message("Insufficient Memory", "OPTA", platform::MB_OK);
}

bool Covers(const ByteMatrix& m, int width, int height) {
  return width > 0 && height > 0 && m.width() >= width && m.height() >= height;
}

// Region labels never take the region value itself: a region labelled 255
// while 255 is being grown would be grown again for ever.
std::uint32_t NextRegionLabel(std::uint32_t label, std::uint8_t regionValue) {
  ++label;
  if (label == regionValue) ++label;
  return label;
}

void CleanupReference(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit,
                      std::uint8_t regionValue, std::uint8_t changedValue, const MessageFn& message,
                      WorkMatrix* given) {
  if (!Covers(mask, width, height)) return;
  WorkMatrix own;
  WorkMatrix& work = given ? *given : own;
  PointStack<StackPoint> stack;
  stack.onFail = [&message] { TellNoMemory(message); };
  if (!work.allocate(width, height) ||
      !stack.allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))) {
    TellNoMemory(message);
    return;
  }
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) work.at(x, y) = mask.at(x, y);
  }

  std::uint32_t label = 2;
  std::int64_t size = 0;
  auto visit = [&](int x, int y) {
    if (work.at(x, y) == regionValue) {
      work.at(x, y) = label;
      ++size;
    }
    for (int nx = x - 1; nx <= x + 1; ++nx) {
      for (int ny = y - 1; ny <= y + 1; ++ny) {
        if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
        if (work.at(nx, ny) == regionValue &&
            !stack.push(StackPoint{static_cast<std::uint32_t>(nx), static_cast<std::uint32_t>(ny)})) {
          return false;
        }
      }
    }
    return true;
  };

  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      size = 0;
      bool grown = false;
      if (work.at(x, y) == regionValue) {
        if (!visit(x, y)) return;
        StackPoint p;
        while (stack.pop(p)) {
          if (!visit(static_cast<int>(p.x), static_cast<int>(p.y))) return;
        }
        grown = true;
      }
      if (size > sizeLimit) {
        for (int i = 0; i < width; ++i) {
          for (int j = 0; j < height; ++j) {
            if (work.at(i, j) == label) work.at(i, j) = 1;
          }
        }
      }
      if (grown && size < sizeLimit) label = NextRegionLabel(label, regionValue);
    }
  }
  for (int x = 1; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      if (work.at(x, y) > 1) mask.at(x, y) = changedValue;
    }
  }
}

// The same outcome without rewriting the whole work matrix per large region.
// Grown pixels are marked with a byte the mask does not hold (`grown`); when
// the pending regions (all carrying the current label) are kept, they are
// re-marked with a second free byte (`kept`). A mask value v of 2..254 that
// no region took is changed at the end unless a kept label equalled v. The
// order in which a region's pixels are visited does not matter here (nothing
// is drawn and no notice depends on it), so each pixel is queued once.
bool CleanupFast(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit, std::uint8_t regionValue,
                 std::uint8_t changedValue, const MessageFn& message, ByteMatrix* given) {
  std::array<bool, 256> present{};
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* m = mask.row(y);
    for (int x = 0; x < width; ++x) present[m[x]] = true;
  }
  int free1 = -1, free2 = -1;
  for (int v = 255; v >= 2 && free2 < 0; --v) {
    if (present[v] || v == regionValue) continue;
    (free1 < 0 ? free1 : free2) = v;
  }
  if (free2 < 0) return false;  // every byte in use: the caller runs the rule itself
  const auto grownMark = static_cast<std::uint8_t>(free1);
  const auto keptMark = static_cast<std::uint8_t>(free2);

  ByteMatrix own;
  ByteMatrix& work = given ? *given : own;
  const std::size_t n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  std::unique_ptr<StackPoint[]> queue(new (std::nothrow) StackPoint[n]);
  if (!queue || !work.allocate(width, height)) {
    TellNoMemory(message);
    return true;
  }
  for (int y = 0; y < height; ++y) std::memcpy(work.row(y), mask.row(y), static_cast<std::size_t>(width));

  std::array<bool, 256> keptValue{};
  std::uint32_t label = 2;
  std::size_t pending = 0;  // queue[0..pending) are the regions carrying `label`
  std::uint8_t* const w = work.data();
  const std::ptrdiff_t s = width;

  ColumnOrderScan scan(w, static_cast<std::size_t>(width), width, height, regionValue);
  int sx = 0, sy = 0;
  while (scan.next(sx, sy)) {
    const std::size_t start = pending;
    std::size_t end = start;
    w[static_cast<std::size_t>(sy) * width + sx] = grownMark;
    queue[end++] = StackPoint{static_cast<std::uint32_t>(sx), static_cast<std::uint32_t>(sy)};
    for (std::size_t i = start; i < end; ++i) {
      const int x = static_cast<int>(queue[i].x), y = static_cast<int>(queue[i].y);
      std::uint8_t* p = w + static_cast<std::size_t>(y) * width + x;
      auto take = [&](std::uint8_t* q, int qx, int qy) {
        if (*q == regionValue) {
          *q = grownMark;
          queue[end++] = StackPoint{static_cast<std::uint32_t>(qx), static_cast<std::uint32_t>(qy)};
        }
      };
      if (x > 0 && y > 0 && x + 1 < width && y + 1 < height) {
        take(p - s - 1, x - 1, y - 1);
        take(p - 1, x - 1, y);
        take(p + s - 1, x - 1, y + 1);
        take(p - s, x, y - 1);
        take(p + s, x, y + 1);
        take(p - s + 1, x + 1, y - 1);
        take(p + 1, x + 1, y);
        take(p + s + 1, x + 1, y + 1);
      } else {
        for (int nx = x - 1; nx <= x + 1; ++nx) {
          for (int ny = y - 1; ny <= y + 1; ++ny) {
            if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
            take(w + static_cast<std::size_t>(ny) * width + nx, nx, ny);
          }
        }
      }
    }
    const auto size = static_cast<std::int64_t>(end - start);
    pending = end;
    if (size > sizeLimit) {
      for (std::size_t i = 0; i < pending; ++i)
        w[static_cast<std::size_t>(queue[i].y) * width + queue[i].x] = keptMark;
      pending = 0;
      if (label < 256) keptValue[label] = true;
    } else if (size < sizeLimit) {
      pending = 0;
      label = NextRegionLabel(label, regionValue);
    }
  }
  // A negative limit keeps every region, and every position without a region
  // rewrites the (never advancing) label as well.
  if (sizeLimit < 0 && label < 256) keptValue[label] = true;

  std::array<std::uint8_t, 256> result{};
  for (int v = 0; v < 256; ++v) {
    if (v <= 1) {
      result[v] = static_cast<std::uint8_t>(v);
    } else {
      result[v] = keptValue[v] ? static_cast<std::uint8_t>(v) : changedValue;
    }
  }
  result[grownMark] = changedValue;
  result[keptMark] = regionValue;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* m = mask.row(y);
    const std::uint8_t* src = work.row(y);
    for (int x = 1; x < width; ++x) m[x] = result[src[x]];
  }
  return true;
}

void Cleanup(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit, std::uint8_t regionValue,
             std::uint8_t changedValue, const MessageFn& message, ByteMatrix* work) {
  if (!Covers(mask, width, height)) return;
  if (mask.width() == width &&
      CleanupFast(mask, width, height, sizeLimit, regionValue, changedValue, message, work)) {
    return;
  }
  CleanupReference(mask, width, height, sizeLimit, regionValue, changedValue, message, nullptr);
}

}  // namespace

void RemoveObjectsReference(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit,
                            const MessageFn& message, WorkMatrix* work) {
  CleanupReference(mask, width, height, sizeLimit, 255, 0, message, work);
}

void FillObjectsReference(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit,
                          const MessageFn& message, WorkMatrix* work) {
  CleanupReference(mask, width, height, sizeLimit, 0, 255, message, work);
}

void RemoveObjects(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit, const MessageFn& message,
                   ByteMatrix* work) {
  Cleanup(mask, width, height, sizeLimit, 255, 0, message, work);
}

void FillObjects(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit, const MessageFn& message,
                 ByteMatrix* work) {
  Cleanup(mask, width, height, sizeLimit, 0, 255, message, work);
}

}  // namespace opta
