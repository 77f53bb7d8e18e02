#pragma once
// Streams a transform's result into the two surfaces of a canvas. Only the
// part of the result that a surface can hold is ever computed, so a 4x zoom
// of a huge picture costs no more than the screen and the image it fills,
// and no temporary result matrix is needed at all.
#include <algorithm>
#include <memory>

#include "core/canvas.h"
#include "core/parallel.h"

namespace opta::geometry {

class ResultWriter {
 public:
  ResultWriter(Canvas& canvas, int resultWidth, int resultHeight)
      : window_(canvas.window()), memory_(canvas.memory()) {
    winW_ = std::min(resultWidth, window_.width());
    winH_ = std::min(resultHeight, window_.height());
    memW_ = std::min(resultWidth, memory_.width());
    memH_ = std::min(resultHeight, memory_.height());
    rows_ = std::max(winH_, memH_);
  }
  ~ResultWriter() {
    window_.markDirty(Rect{0, 0, winW_, winH_});
    memory_.markDirty(Rect{0, 0, memW_, memH_});
  }

  // Result rows that at least one surface holds, and how many columns of row
  // y either surface holds.
  int rows() const { return rows_; }
  int columns(int y) const { return std::max(y < winH_ ? winW_ : 0, y < memH_ ? memW_ : 0); }

  // Writes n result colours of row y starting at column 0 (n <= columns(y)).
  void writeRow(int y, const Colour* src, int n) {
    if (y < winH_) copy(window_.row(y), src, std::min(n, winW_));
    if (y < memH_) copy(memory_.row(y), src, std::min(n, memW_));
  }
  // One result pixel, for scattered writes; outside both surfaces it is dropped.
  void put(int x, int y, Colour c) {
    c &= 0xFFFFFF;
    if (x < winW_ && y < winH_) window_.row(y)[x] = c;
    if (x < memW_ && y < memH_) memory_.row(y)[x] = c;
  }

  // Calls fill(y, row, n) for every row the surfaces hold, with a buffer of
  // n = columns(y) colours to fill, rows split over the cores.
  template <class Fill>
  void forEachRow(Fill&& fill) {
    const int width = std::max(winW_, memW_);
    parallelRows(rows_, width, [&](int y0, int y1) {
      std::unique_ptr<Colour[]> buffer(new Colour[std::max(width, 1)]);
      for (int y = y0; y < y1; ++y) {
        const int n = columns(y);
        fill(y, buffer.get(), n);
        writeRow(y, buffer.get(), n);
      }
    });
  }

 private:
  static void copy(Colour* dst, const Colour* src, int n) {
    for (int i = 0; i < n; ++i) dst[i] = src[i] & 0xFFFFFF;
  }

  Surface& window_;
  Surface& memory_;
  int winW_, winH_, memW_, memH_, rows_;
};

}  // namespace opta::geometry
