#include "analysis/label.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/ui.h"

namespace opta {

ColumnOrderScan::ColumnOrderScan(const std::uint8_t* data, std::size_t stride, int xEnd, int yEnd,
                                 std::uint8_t value)
    : data_(data), stride_(stride), xEnd_(xEnd), value_(value) {
  if (!data_ || xEnd_ <= 0) return;
  for (int y = 0; y < yEnd; ++y) advance(y, 0);
}

void ColumnOrderScan::advance(int y, int fromX) {
  if (fromX >= xEnd_) return;
  const std::uint8_t* row = data_ + static_cast<std::size_t>(y) * stride_;
  const void* hit = std::memchr(row + fromX, value_, static_cast<std::size_t>(xEnd_ - fromX));
  if (!hit) return;
  const auto x = static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(hit) - row);
  heap_.push(x << 32 | static_cast<std::uint32_t>(y));
}

bool ColumnOrderScan::next(int& x, int& y) {
  while (!heap_.empty()) {
    const std::uint64_t key = heap_.top();
    heap_.pop();
    const int cx = static_cast<int>(key >> 32);
    const int cy = static_cast<int>(key & 0xFFFFFFFFu);
    // The row's next candidate is sought now; this one may have been taken
    // by a region grown since it was found.
    advance(cy, cx + 1);
    if (data_[static_cast<std::size_t>(cy) * stride_ + cx] == value_) {
      x = cx;
      y = cy;
      return true;
    }
  }
  return false;
}

std::string DefaultNeighboursPath() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.local/share";
  } else {
    return {};
  }
  const std::string dir = base + "/optascope";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);  // a failure only means no file
  return dir + "/OPTA_Neighbours.dat";
}

void CreateNeighboursFile(const std::string& path) {
  if (path.empty()) return;
  // Created or truncated for reading and writing, but never through a
  // symbolic link, which could aim the truncation at any file of the user's;
  // and never waiting on a pipe put in its place.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd >= 0) ::close(fd);
}

namespace {

void Tell(const LabelEnv& env, std::string_view text, std::string_view caption) {
  if (env.message) env.message(text, caption, platform::MB_OK);
}

template <class T>
void AttachNotices(PointStack<T>& stack, const LabelEnv& env) {
  stack.onGrow = [&env](std::size_t oldCapacity, std::size_t newCapacity) {
    char text[64];
    std::snprintf(text, sizeof text, "%lu,,%lu", static_cast<unsigned long>(oldCapacity),
                  static_cast<unsigned long>(newCapacity));
    Tell(env, text, "");
  };
  stack.onFail = [&env] { Tell(env, "Out of Memory", ""); };
}

void ReportCount(const LabelEnv& env, std::uint32_t count) {
  char text[64];
  std::snprintf(text, sizeof text, "Total Objects Found: %lu", static_cast<unsigned long>(count));
  Tell(env, text, "OPTA");
}

bool Covers(const ByteMatrix& m, int width, int height) {
  return width > 0 && height > 0 && m.width() >= width && m.height() >= height;
}

// Seeds are sought only in the screen-sized rectangle at the top left.
int SeedLimit(int size, int screen) {
  return static_cast<int>(std::min<std::int64_t>(size, std::max<std::int64_t>(0, std::int64_t{screen} + 1)));
}

std::uint8_t NextLabel(std::uint8_t label) { return label == 254 ? 2 : static_cast<std::uint8_t>(label + 1); }

}  // namespace

bool VisitPixel(ByteMatrix& mask, int width, int height, std::uint8_t label, int x, int y, Canvas& canvas,
                PointStack<StackPoint>& stack) {
  if (mask.at(x, y) == 255) {
    mask.at(x, y) = label;
    canvas.put(x, y, LabelColour(label));
  }
  for (int nx = x - 1; nx <= x + 1; ++nx) {
    for (int ny = y - 1; ny <= y + 1; ++ny) {
      if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
      if (mask.at(nx, ny) == 255 &&
          !stack.push(StackPoint{static_cast<std::uint32_t>(nx), static_cast<std::uint32_t>(ny)})) {
        return false;
      }
    }
  }
  return true;
}

std::uint32_t LabelObjectsReference(ByteMatrix& mask, int width, int height, Canvas& canvas,
                                    const LabelEnv& env) {
  if (!Covers(mask, width, height)) width = height = 0;
  std::uint8_t label = 2;
  std::uint32_t count = 0;
  const int sw = env.screen.width, sh = env.screen.height;

  PointStack<StackPoint> stack;
  AttachNotices(stack, env);
  const bool haveStack = stack.allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  if (!haveStack && width > 0) Tell(env, "Out of Memory", "");
  CreateNeighboursFile(env.neighboursPath);

  bool ok = haveStack;
  for (int x = 0; ok && x < width && x <= sw; ++x) {
    for (int y = 0; ok && y < height && y <= sh; ++y) {
      if (mask.at(x, y) != 255) continue;
      ok = VisitPixel(mask, width, height, label, x, y, canvas, stack);
      StackPoint p;
      while (ok && stack.pop(p)) {
        ok = VisitPixel(mask, width, height, label, static_cast<int>(p.x), static_cast<int>(p.y), canvas,
                        stack);
      }
      if (!ok) break;
      ++count;
      label = NextLabel(label);
    }
  }
  ReportCount(env, count);
  return count;
}

namespace {

// True when every byte of the first `height` rows is 0 or 255.
bool OnlyZeroAnd255(const ByteMatrix& mask, int width, int height) {
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* m = mask.row(y);
    std::uint8_t other = 0;
    for (int x = 0; x < width; ++x)
      other |= static_cast<std::uint8_t>(static_cast<std::uint8_t>(m[x] + 1) > 1);
    if (other) return false;
  }
  return true;
}

// The labelling walk with raw rows: the same pushes in the same order as
// VisitPixel, painted with plain stores.
class FastLabeller {
 public:
  FastLabeller(ByteMatrix& mask, int width, int height, Canvas& canvas, PointStack<StackPoint>& stack)
      : m_(mask.data()),
        stride_(static_cast<std::size_t>(mask.width())),
        w_(width),
        h_(height),
        mem_(canvas.memory()),
        win_(canvas.window()),
        stack_(stack) {}

  // Grows one object from its seed; false when the stack could not grow.
  bool grow(int x, int y, std::uint8_t label) {
    const Colour colour = LabelColour(label);
    if (!visit(x, y, label, colour)) return false;
    StackPoint p;
    while (stack_.pop(p)) {
      // A point popped again after its own visit finds every neighbour it
      // had labelled already (they were pushed above it and popped first),
      // so that visit would push nothing: skip it.
      if (m_[static_cast<std::size_t>(p.y) * stride_ + p.x] != 255) continue;
      if (!visit(static_cast<int>(p.x), static_cast<int>(p.y), label, colour)) return false;
    }
    return true;
  }

  // Paints one row run of an object labelled by runs.
  void paintRun(int y, int x0, int x1, Colour colour) {
    if (y < win_.height() && x0 < win_.width()) {
      std::fill(win_.row(y) + x0, win_.row(y) + std::min(x1 + 1, win_.width()), colour);
    }
    if (y < mem_.height() && x0 < mem_.width()) {
      std::fill(mem_.row(y) + x0, mem_.row(y) + std::min(x1 + 1, mem_.width()), colour);
    }
  }

 private:
  bool push(int x, int y) {
    return stack_.push(StackPoint{static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)});
  }

  void paint(int x, int y, Colour colour) {
    if (x < win_.width() && y < win_.height()) win_.row(y)[x] = colour;
    if (x < mem_.width() && y < mem_.height()) mem_.row(y)[x] = colour;
  }

  bool visit(int x, int y, std::uint8_t label, Colour colour) {
    std::uint8_t* p = m_ + static_cast<std::size_t>(y) * stride_ + x;
    if (*p == 255) {
      *p = label;
      paint(x, y, colour);
    }
    // The centre is never 255 here, so only the eight neighbours are looked at.
    const std::ptrdiff_t s = static_cast<std::ptrdiff_t>(stride_);
    if (x > 0 && y > 0 && x + 1 < w_ && y + 1 < h_) {
      if (p[-s - 1] == 255 && !push(x - 1, y - 1)) return false;
      if (p[-1] == 255 && !push(x - 1, y)) return false;
      if (p[s - 1] == 255 && !push(x - 1, y + 1)) return false;
      if (p[-s] == 255 && !push(x, y - 1)) return false;
      if (p[s] == 255 && !push(x, y + 1)) return false;
      if (p[1 - s] == 255 && !push(x + 1, y - 1)) return false;
      if (p[1] == 255 && !push(x + 1, y)) return false;
      if (p[s + 1] == 255 && !push(x + 1, y + 1)) return false;
      return true;
    }
    for (int nx = x - 1; nx <= x + 1; ++nx) {
      if (nx < 0 || nx >= w_) continue;
      for (int ny = y - 1; ny <= y + 1; ++ny) {
        if (ny < 0 || ny >= h_) continue;
        if (m_[static_cast<std::size_t>(ny) * stride_ + nx] == 255 && !push(nx, ny)) return false;
      }
    }
    return true;
  }

  std::uint8_t* m_;
  std::size_t stride_;
  int w_, h_;
  Surface& mem_;
  Surface& win_;
  PointStack<StackPoint>& stack_;
};

}  // namespace

std::uint32_t LabelObjects(ByteMatrix& mask, int width, int height, Canvas& canvas, const LabelEnv& env) {
  if (!Covers(mask, width, height)) width = height = 0;
  std::uint8_t label = 2;
  std::uint32_t count = 0;

  PointStack<StackPoint> stack;
  AttachNotices(stack, env);
  const bool haveStack = stack.allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  if (!haveStack && width > 0) Tell(env, "Out of Memory", "");
  CreateNeighboursFile(env.neighboursPath);

  if (haveStack) {
    FastLabeller labeller(mask, width, height, canvas, stack);
    // The walk pushes each object's 8-adjacent pairs at most once (a point
    // popped again pushes nothing), so an object of a pixels never holds
    // more than 4a points: when that cannot fill the stack, no notice can
    // come and the object may be labelled a row run at a time instead. Only
    // a mask of 0 and 255 lets such a labelling be undone safely.
    PointStack<StackPoint> runs;
    struct Run {
      int y, x0, x1;
    };
    std::vector<Run> pendingRuns;
    const bool byRuns = OnlyZeroAnd255(mask, width, height) && runs.allocate(4096);
    std::uint8_t* const data = mask.data();
    const auto stride = static_cast<std::size_t>(mask.width());
    ColumnOrderScan scan(data, stride, SeedLimit(width, env.screen.width),
                         SeedLimit(height, env.screen.height), 255);
    int x = 0, y = 0;
    bool grew = false;
    while (scan.next(x, y)) {
      grew = true;
      if (byRuns) {
        // Painted only once the object is known to need no walk: what shows
        // behind a notice must be what the walk has painted so far.
        pendingRuns.clear();
        const std::int64_t area =
            FloodRuns(data, stride, width, height, x, y, 255, label, runs, [&](int ry, int x0, int x1) {
              pendingRuns.push_back({ry, x0, x1});
            });
        if (area < 0) {
          Tell(env, "Out of Memory", "");
          break;
        }
        if (static_cast<std::uint64_t>(area) * 4 < stack.capacity()) {
          const Colour colour = LabelColour(label);
          for (const Run& r : pendingRuns) labeller.paintRun(r.y, r.x0, r.x1, colour);
          ++count;
          label = NextLabel(label);
          continue;
        }
        // Large enough to make the stack grow: undo and take the walk whose
        // pushes decide the notices. Objects sharing a label never touch, so
        // the undo stays inside this one.
        if (FloodRuns(data, stride, width, height, x, y, label, 255, runs) < 0) {
          Tell(env, "Out of Memory", "");
          break;
        }
      }
      if (!labeller.grow(x, y, label)) break;
      ++count;
      label = NextLabel(label);
    }
    if (grew) {
      const Rect all{0, 0, width, height};
      canvas.window().markDirty(all);
      canvas.memory().markDirty(all);
    }
  }
  ReportCount(env, count);
  return count;
}

}  // namespace opta
