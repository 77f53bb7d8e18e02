#pragma once
// Masks, images and a message log for the segmentation tests.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "analysis/label.h"
#include "core/canvas.h"
#include "core/matrix.h"
#include "core/surface.h"

namespace opta::segtest {

struct Box {
  std::string text, caption;
  unsigned flags;
  bool operator==(const Box&) const = default;
};

struct MessageLog {
  std::vector<Box> boxes;
  MessageFn fn() {
    return [this](std::string_view t, std::string_view c, unsigned f) {
      boxes.push_back(Box{std::string(t), std::string(c), f});
    };
  }
};

// A mask drawn from text rows: '#' is 255, '.' is 0, a digit d is the value d.
inline ByteMatrix MaskFrom(const std::vector<std::string>& rows) {
  ByteMatrix m;
  m.allocate(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < m.height(); ++y) {
    for (int x = 0; x < m.width(); ++x) {
      const char c = rows[y][x];
      m.at(x, y) = c == '#' ? 255 : (c == '.' ? 0 : static_cast<std::uint8_t>(c - '0'));
    }
  }
  return m;
}

inline void FillRect(ByteMatrix& m, int x0, int y0, int w, int h, std::uint8_t v) {
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) m.at(x, y) = v;
  }
}

// Random blobs of 255 on 0, denser or sparser, sometimes with stray values
// (labels of an earlier run).
inline ByteMatrix RandomMask(std::mt19937& rng, int w, int h, int density, bool strayValues) {
  ByteMatrix m;
  m.allocate(w, h);
  m.fill(0);
  std::uniform_int_distribution<int> px(0, w - 1), py(0, h - 1), r(0, 4), pct(0, 99), val(1, 254);
  const int blobs = w * h * density / 400 + 1;
  for (int i = 0; i < blobs; ++i) {
    const int cx = px(rng), cy = py(rng), rad = r(rng);
    for (int y = cy - rad; y <= cy + rad; ++y) {
      for (int x = cx - rad; x <= cx + rad; ++x) {
        if (m.contains(x, y) && pct(rng) < 80) m.at(x, y) = 255;
      }
    }
  }
  if (strayValues) {
    for (int i = 0; i < w * h / 20; ++i) m.at(px(rng), py(rng)) = static_cast<std::uint8_t>(val(rng));
  }
  return m;
}

inline bool SameMatrix(const ByteMatrix& a, const ByteMatrix& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.at(x, y) != b.at(x, y)) return false;
    }
  }
  return true;
}

inline bool SameSurface(const Surface& a, const Surface& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.get(x, y) != b.get(x, y)) return false;
    }
  }
  return true;
}

// A window and a memory surface for a w x h image; the window may differ in size.
struct Surfaces {
  Surface window, memory;
  Canvas canvas{window, memory};
  Surfaces(int w, int h, int winW, int winH) {
    window.allocate(winW, winH, 0x123456);
    memory.allocate(w, h, 0x654321);
  }
};

}  // namespace opta::segtest
