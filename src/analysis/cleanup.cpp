#include "analysis/cleanup.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

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

// The same outcome without a work matrix. Regions are grown a row run at a
// time in the mask itself and marked with a byte the mask does not hold
// (`grown`); when the pending regions (all carrying the current label) are
// kept, they are grown again from their seeds over that byte and re-marked
// with a second free byte (`kept`): distinct regions never touch, so the
// second growth stays inside them. A mask value v of 2..254 that no region
// took is changed at the end unless a kept label equalled v. Column 0 is put
// back as it was, and when storage runs out the marks (bytes the mask did not
// hold) are undone, so the mask is left as it came. Nothing here is drawn and
// no notice depends on the visiting order.
bool CleanupFast(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit, std::uint8_t regionValue,
                 std::uint8_t changedValue, const MessageFn& message) {
  // Masks are mostly long runs of one value: eight equal bytes are one look.
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  std::array<bool, 256> present{};
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* m = mask.row(y);
    int x = 0;
    for (; x + 8 <= width; x += 8) {
      std::uint64_t word;
      std::memcpy(&word, m + x, 8);
      if (word == m[x] * kOnes) {
        present[m[x]] = true;
        continue;
      }
      for (int k = 0; k < 8; ++k) present[m[x + k]] = true;
    }
    for (; x < width; ++x) present[m[x]] = true;
  }
  int free1 = -1, free2 = -1;
  for (int v = 255; v >= 2 && free2 < 0; --v) {
    if (present[v] || v == regionValue) continue;
    (free1 < 0 ? free1 : free2) = v;
  }
  if (free2 < 0) return false;  // every byte in use: the caller runs the rule itself
  const auto grownMark = static_cast<std::uint8_t>(free1);
  const auto keptMark = static_cast<std::uint8_t>(free2);

  std::vector<std::uint8_t> column0;
  std::vector<StackPoint> pending;  // seeds of the regions carrying `label`
  PointStack<StackPoint> stack;
  stack.onFail = [&message] { TellNoMemory(message); };
  try {
    column0.resize(static_cast<std::size_t>(height));
    pending.reserve(256);
  } catch (const std::bad_alloc&) {
    TellNoMemory(message);
    return true;
  }
  if (!stack.allocate(4096)) {
    TellNoMemory(message);
    return true;
  }
  for (int y = 0; y < height; ++y) column0[static_cast<std::size_t>(y)] = mask.row(y)[0];

  std::uint8_t* const w = mask.data();
  const auto stride = static_cast<std::size_t>(width);
  // Both marks stand where regionValue stood; the stack has already told.
  const auto undo = [&] {
    for (int y = 0; y < height; ++y) {
      std::uint8_t* m = mask.row(y);
      for (int x = 0; x < width; ++x)
        if (m[x] == grownMark || m[x] == keptMark) m[x] = regionValue;
    }
    return true;
  };

  std::array<bool, 256> keptValue{};
  std::uint32_t label = 2;
  ColumnOrderScan scan(w, stride, width, height, regionValue);
  int sx = 0, sy = 0;
  while (scan.next(sx, sy)) {
    const std::int64_t size = FloodRuns(w, stride, width, height, sx, sy, regionValue, grownMark, stack);
    if (size < 0) return undo();
    try {
      pending.push_back(StackPoint{static_cast<std::uint32_t>(sx), static_cast<std::uint32_t>(sy)});
    } catch (const std::bad_alloc&) {
      TellNoMemory(message);
      return undo();
    }
    if (size > sizeLimit) {
      for (const StackPoint& seed : pending) {
        if (FloodRuns(w, stride, width, height, static_cast<int>(seed.x), static_cast<int>(seed.y), grownMark,
                      keptMark, stack) < 0) {
          return undo();
        }
      }
      pending.clear();
      if (label < 256) keptValue[label] = true;
    } else if (size < sizeLimit) {
      pending.clear();
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
    int x = 0;
    for (; x + 8 <= width; x += 8) {
      std::uint64_t word;
      std::memcpy(&word, m + x, 8);
      if (word == m[x] * kOnes) {
        const std::uint64_t to = result[m[x]] * kOnes;
        std::memcpy(m + x, &to, 8);
        continue;
      }
      for (int k = 0; k < 8; ++k) m[x + k] = result[m[x + k]];
    }
    for (; x < width; ++x) m[x] = result[m[x]];
    m[0] = column0[static_cast<std::size_t>(y)];
  }
  return true;
}

void Cleanup(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit, std::uint8_t regionValue,
             std::uint8_t changedValue, const MessageFn& message) {
  if (!Covers(mask, width, height)) return;
  if (mask.width() == width &&
      CleanupFast(mask, width, height, sizeLimit, regionValue, changedValue, message)) {
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

void RemoveObjects(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit,
                   const MessageFn& message) {
  Cleanup(mask, width, height, sizeLimit, 255, 0, message);
}

void FillObjects(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit, const MessageFn& message) {
  Cleanup(mask, width, height, sizeLimit, 0, 255, message);
}

}  // namespace opta
