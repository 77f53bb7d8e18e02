#include "analysis/label.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <system_error>

#include "core/big_buffer.h"
#include "core/parallel.h"
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

// The rule's stack, counted rather than held: its capacity starts at
// width x height and doubles, with the notice, whenever a push finds it full.
// beforeNotice brings the surfaces up to what the rule has painted by then.
struct NotionalStack {
  std::uint64_t capacity = 0;
  std::uint64_t depth = 0;
  const LabelEnv* env = nullptr;
  std::function<void()> beforeNotice;

  // n pushes, one at a time as the rule makes them.
  void push(int n) {
    if (depth + static_cast<std::uint64_t>(n) < capacity) {
      depth += static_cast<std::uint64_t>(n);
      return;
    }
    for (int i = 0; i < n; ++i) {
      if (depth + 1 >= capacity) {
        if (beforeNotice) beforeNotice();
        char text[64];
        std::snprintf(text, sizeof text, "%lu,,%lu", static_cast<unsigned long>(capacity),
                      static_cast<unsigned long>(2 * capacity));
        Tell(*env, text, "");
        capacity *= 2;
      }
      ++depth;
    }
  }
};

// Bits set in a byte; a table, since the baseline instruction set has no
// population count and the library call costs more than the lookup.
int CountBits(std::uint32_t byte) {
  static constexpr auto kTable = [] {
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<std::uint8_t>(std::popcount(static_cast<unsigned>(i)));
    return t;
  }();
  return kTable[byte & 0xFF];
}

// The labelling walk, visit for visit as the rule makes it, without holding
// its points. The rule pushes a visited pixel's unvisited neighbours in a
// fixed order and pops the last one first, so its stack is a pile of those
// groups, newest on top. Each group is kept as one 16-bit entry: the
// neighbours still on the stack (bit k for the k-th in push order) and the
// direction from the group below, which gives its pixel. A popped point that
// was visited already would push nothing (its neighbours were pushed above
// it and taken first), so it only leaves the stack. The counted depth makes
// the notices come at the very pushes the rule's stack would grow at.
//
// The unvisited pixels are the set bits of an `OpenBits` raster with a blank
// border, small enough to stay in the cache while the walk steps from row to
// row; a visit clears its bit. Painting is left to the caller.
class OpenBits {
 public:
  // The pixels of the given row runs (y, x0, x1), bordered by blanks.
  template <class Runs>
  bool load(const Runs& runs) {
    int x0 = std::numeric_limits<int>::max(), x1 = -1, y0 = std::numeric_limits<int>::max(), y1 = -1;
    for (const auto& r : runs) {
      x0 = std::min(x0, r.x0);
      x1 = std::max(x1, r.x1);
      y0 = std::min(y0, r.y);
      y1 = std::max(y1, r.y);
    }
    x0_ = x0;
    y0_ = y0;
    words_ = static_cast<std::size_t>((x1 - x0 + 3 + 63) / 64) + 1;  // a spare word for reads across
    rows_ = static_cast<std::size_t>(y1 - y0 + 3);
    try {
      // A huge page at least: the walk jumps from row to row all over the
      // raster, and with 4 KiB pages most of its steps miss the address cache.
      bits_.reserve(std::max<std::size_t>(words_ * rows_, bigbuf::kHugeThreshold / sizeof(std::uint64_t)));
      bits_.assign(words_ * rows_, 0);
    } catch (const std::bad_alloc&) {
      return false;
    }
    for (const auto& r : runs) setRange(index(r.x0, r.y), index(r.x1, r.y));
    return true;
  }

  // The 8-adjacent pairs of set bits: the most pushes a walk over them makes.
  std::uint64_t pairs() const {
    std::uint64_t n = 0;
    for (std::size_t r = 0; r + 1 < rows_; ++r) {
      const std::uint64_t* a = bits_.data() + r * words_;
      const std::uint64_t* b = a + words_;
      for (std::size_t w = 0; w < words_; ++w) {
        // Each bit's right neighbour, and the three below it.
        const std::uint64_t aNext = w + 1 < words_ ? a[w + 1] : 0, bNext = w + 1 < words_ ? b[w + 1] : 0;
        const std::uint64_t bPrev = w > 0 ? b[w - 1] : 0;
        const std::uint64_t right = a[w] >> 1 | aNext << 63;
        const std::uint64_t belowRight = b[w] >> 1 | bNext << 63;
        const std::uint64_t belowLeft = b[w] << 1 | bPrev >> 63;
        n += Popcount(a[w] & right) + Popcount(a[w] & b[w]) + Popcount(a[w] & belowRight) +
             Popcount(a[w] & belowLeft);
      }
    }
    return n;
  }

  std::int64_t index(int x, int y) const {
    return static_cast<std::int64_t>(y - y0_ + 1) * static_cast<std::int64_t>(words_ * 64) + (x - x0_ + 1);
  }
  std::int64_t rowBits() const { return static_cast<std::int64_t>(words_ * 64); }

  // Calls fill(x0, x1, y) for each row stretch of pixels whose bit is set
  // here but not in `minus` (which covers the same box), or set here at all.
  template <class Fill>
  void forEachStretch(const OpenBits* minus, Fill&& fill) const {
    for (std::size_t r = 1; r + 1 < rows_; ++r) {
      const std::uint64_t* a = bits_.data() + r * words_;
      const std::uint64_t* b = minus ? minus->bits_.data() + r * words_ : nullptr;
      const int y = y0_ + static_cast<int>(r) - 1;
      for (std::size_t w = 0; w < words_; ++w) {
        std::uint64_t v = b ? a[w] & ~b[w] : a[w];
        while (v) {
          const int start = std::countr_zero(v);
          const std::uint64_t from = v >> start;
          const int len = ~from == 0 ? 64 - start : std::countr_zero(~from);
          const int x = x0_ - 1 + static_cast<int>(w * 64) + start;
          fill(x, x + len - 1, y);
          v &= len == 64 ? 0 : ~(((std::uint64_t{1} << len) - 1) << start);
        }
      }
    }
  }

  // Whole aligned words, read and written: a walk step clears a bit and the
  // next step reads the bits beside it, and a narrower store under a wider
  // load would stall the read until the store has gone to the cache.
  bool test(std::int64_t i) const { return (bits_[static_cast<std::size_t>(i >> 6)] >> (i & 63)) & 1u; }
  void clear(std::int64_t i) { bits_[static_cast<std::size_t>(i >> 6)] &= ~(std::uint64_t{1} << (i & 63)); }
  // Bits i .. i + 2 (the spare word keeps the second word inside).
  std::uint32_t three(std::int64_t i) const {
    const std::uint64_t* w = bits_.data() + (i >> 6);
    const unsigned s = static_cast<unsigned>(i & 63);
    return static_cast<std::uint32_t>((w[0] >> s | (w[1] << 1) << (63 - s)) & 7u);
  }

 private:
  // Sets bits i0 .. i1 (one row's stretch), a word at a time.
  void setRange(std::int64_t i0, std::int64_t i1) {
    const auto w0 = static_cast<std::size_t>(i0 >> 6), w1 = static_cast<std::size_t>(i1 >> 6);
    const std::uint64_t first = ~std::uint64_t{0} << (i0 & 63);
    const std::uint64_t last = ~std::uint64_t{0} >> (63 - (i1 & 63));
    if (w0 == w1) {
      bits_[w0] |= first & last;
      return;
    }
    bits_[w0] |= first;
    for (std::size_t w = w0 + 1; w < w1; ++w) bits_[w] = ~std::uint64_t{0};
    bits_[w1] |= last;
  }

  // Without the population-count instruction of the baseline: the usual
  // halving sums.
  static std::uint64_t Popcount(std::uint64_t v) {
    v -= (v >> 1) & 0x5555555555555555ull;
    v = (v & 0x3333333333333333ull) + ((v >> 2) & 0x3333333333333333ull);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return (v * 0x0101010101010101ull) >> 56;
  }

  std::vector<std::uint64_t, bigbuf::Allocator<std::uint64_t>> bits_;
  std::size_t words_ = 0, rows_ = 0;
  int x0_ = 0, y0_ = 0;
};

class CompactWalk {
 public:
  explicit CompactWalk(NotionalStack& stack) : stack_(stack) {}

  // Walks from bit `seed` of `open`, an object of `area` pixels; stops early
  // once `pairs` minus the pops so far can no longer make the stack grow.
  // False when the walk's own storage cannot be had.
  //
  // The top group's live points are its pending ones whose pixels are still
  // open. The rule pops the pending points above the highest live one (each
  // finds its pixel visited and pushes nothing), then that one, which it
  // visits. Those pops are counted together: between two pushes only their
  // number matters, and no visit of an already visited pixel is made.
  // Kept out of line: its loop is the hot path of a large object's labelling,
  // and folded into the caller it lost registers to the caller's state.
  [[gnu::noinline]] bool grow(OpenBits& open, std::int64_t seed, std::uint64_t pairs, std::size_t area) {
    // One entry per visit at most: the storage is had before the walk, and
    // its pages are touched only as deep as the walk goes.
    try {
      if (entries_.size() < area + 1) entries_.resize(area + 1);
    } catch (const std::bad_alloc&) {
      return false;
    }
    std::uint16_t* const entries = entries_.data();
    const std::int64_t row = open.rowBits();
    const std::int64_t offset[8] = {-row - 1, -1, row - 1, -row, row, -row + 1, 1, row + 1};
    std::int64_t p = seed;
    std::uint32_t entry = Neighbours(open, p, row);
    open.clear(p);
    stack_.depth = 0;
    stack_.push(CountBits(entry));
    entries[0] = static_cast<std::uint16_t>(entry);
    // Every push still to come pairs two unvisited neighbours, so once the
    // pairs left cannot reach the next growth, nothing more can be told.
    std::uint64_t pops = 0;
    const auto popLimit = [&] { return pairs >= stack_.capacity ? pairs - stack_.capacity + 1 : 0; };
    std::uint64_t stopAt = popLimit();
    std::size_t top = 0;
    std::uint32_t live = entry;  // a group just pushed: all its points are live
    // Takes point k of the top group (and the pending points above it) and
    // visits its pixel; false once the pops reach the stop.
    const auto visit = [&](int k) {
      const std::uint32_t pending = entry & 0xFFu;
      const std::uint32_t taken = CountBits(pending >> k);
      stack_.depth -= taken;
      pops += taken;
      if (pops >= stopAt) return false;
      entries[top] = static_cast<std::uint16_t>((entry & 0xFF00u) | (pending & ((1u << k) - 1)));
      const std::int64_t q = p + offset[k];
      const std::uint32_t n = Neighbours(open, q, row);
      open.clear(q);
      const std::uint64_t capacity = stack_.capacity;
      stack_.push(CountBits(n));
      if (stack_.capacity != capacity) stopAt = popLimit();
      entry = n | static_cast<std::uint32_t>(k) << 8;
      entries[++top] = static_cast<std::uint16_t>(entry);
      live = n;
      p = q;
      return true;
    };
    while (true) {
      if (live == 0) {
        const std::uint32_t n = CountBits(entry & 0xFFu);
        stack_.depth -= n;
        pops += n;
        if (pops >= stopAt || top == 0) break;
        p -= offset[(entry >> 8) & 7];
        entry = entries[--top];
        live = entry & Neighbours(open, p, row);
        continue;
      }
      if (!visit(31 - std::countl_zero(live))) break;
      // Most visits of a large object go straight down or up a column: while
      // the pixel below (above) is a fresh group's highest point, the next
      // pixel is known before the neighbours of this one are read, so the
      // steps need not wait on each other.
      bool more = true;
      if ((live >> 4) == 1) {
        while ((more = visit(4)) && (live >> 4) == 1) {
        }
      } else if ((live >> 3) == 1) {
        while ((more = visit(3)) && (live >> 3) == 1) {
        }
      }
      if (!more) break;
    }
    return true;
  }

 private:
  // The open neighbours of bit p, bit k for the k-th in push order: x - 1
  // first, then x, then x + 1; y - 1 before y + 1 within each.
  static std::uint32_t Neighbours(const OpenBits& open, std::int64_t p, std::int64_t row) {
    static constexpr auto kOrder = [] {
      // Index: above (3 bits, x - 1 first) | same row << 3 | below << 6.
      std::array<std::uint8_t, 512> t{};
      for (int i = 0; i < 512; ++i) {
        const auto bit = [i](int r, int c) { return (i >> (3 * r + c)) & 1; };
        t[i] = static_cast<std::uint8_t>(bit(0, 0) | bit(1, 0) << 1 | bit(2, 0) << 2 | bit(0, 1) << 3 |
                                         bit(2, 1) << 4 | bit(0, 2) << 5 | bit(1, 2) << 6 | bit(2, 2) << 7);
      }
      return t;
    }();
    const std::uint32_t above = open.three(p - row - 1), same = open.three(p - 1),
                        below = open.three(p + row - 1);
    return kOrder[above | same << 3 | below << 6];
  }

  NotionalStack& stack_;
  std::vector<std::uint16_t, bigbuf::Allocator<std::uint16_t>> entries_;
};

struct Run {
  int y, x0, x1;
};

// Paints x0..x1 of row y into both surfaces, each clipped to itself.
void PaintStretch(Canvas& canvas, int y, int x0, int x1, Colour colour) {
  for (Surface* s : {&canvas.window(), &canvas.memory()}) {
    if (y >= s->height() || x0 >= s->width()) continue;
    std::fill(s->row(y) + x0, s->row(y) + std::min(x1 + 1, s->width()), colour);
  }
}

using RunList = std::vector<Run, bigbuf::Allocator<Run>>;

// The 255-runs of a mask in row order, joined into objects: a run joins the
// runs of the row above that touch it, corners included (8-connected).
// Objects are numbered in the order of their first run.
class RunObjects {
 public:
  // False when the storage cannot be had.
  bool build(const ByteMatrix& mask, int width, int height) {
    runs_.clear();
    object_.clear();
    try {
      std::size_t above = 0, aboveEnd = 0;
      for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = mask.row(y);
        const std::size_t begin = runs_.size();
        std::size_t j = above;
        for (int x = FindByte(row, 0, width - 1, 255); x < width; x = FindByte(row, x, width - 1, 255)) {
          const int end = SkipByte(row, x, width - 1, 255) - 1;
          const auto id = static_cast<std::uint32_t>(runs_.size());
          runs_.push_back(Run{y, x, end});
          object_.push_back(id);
          while (j < aboveEnd && runs_[j].x1 < x - 1) ++j;
          for (std::size_t k = j; k < aboveEnd && runs_[k].x0 <= end + 1; ++k)
            join(id, static_cast<std::uint32_t>(k));
          x = end + 1;
        }
        above = begin;
        aboveEnd = runs_.size();
      }
    } catch (const std::bad_alloc&) {
      return false;
    }
    // A set's first run is its root and every link points back, so one pass
    // in order renumbers the runs by object.
    objects_ = 0;
    for (std::size_t i = 0; i < object_.size(); ++i)
      object_[i] = object_[i] == i ? objects_++ : object_[object_[i]];
    return true;
  }

  const RunList& runs() const { return runs_; }
  std::uint32_t objectOf(std::size_t run) const { return object_[run]; }
  std::uint32_t objects() const { return objects_; }

 private:
  std::uint32_t root(std::uint32_t i) {
    while (object_[i] != i) i = object_[i] = object_[object_[i]];
    return i;
  }
  void join(std::uint32_t a, std::uint32_t b) {
    a = root(a);
    b = root(b);
    if (a != b) object_[std::max(a, b)] = std::min(a, b);
  }

  RunList runs_;
  std::vector<std::uint32_t, bigbuf::Allocator<std::uint32_t>> object_;
  std::uint32_t objects_ = 0;
};

}  // namespace

std::uint32_t LabelObjects(ByteMatrix& mask, int width, int height, Canvas& canvas, const LabelEnv& env) {
  if (!Covers(mask, width, height)) width = height = 0;
  NotionalStack stack{static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height), 0, &env, {}};
  CreateNeighboursFile(env.neighboursPath);

  // The objects are found from row runs, and those holding a seed (a pixel
  // of the screen-sized rectangle at the top left) are put in the rule's
  // order: by their first such pixel, x before y. The rule's walk pushes each
  // 8-adjacent pair of an object at most once (a point popped again pushes
  // nothing), so when an object's pairs cannot fill the stack no notice can
  // come from it. Otherwise the walk is followed over the object's pixels to
  // find the notices; the objects before it are painted first, and the
  // pixels it has visited by each notice just before that notice.
  const auto noRoom = [&env] {
    Tell(env, "Out of Memory", "");
    ReportCount(env, 0);
    return 0u;
  };
  RunObjects found;
  if (width > 0 && !found.build(mask, width, height)) return noRoom();
  const RunList& runs = found.runs();
  const std::uint32_t objects = found.objects();
  constexpr std::uint64_t kNoSeed = ~std::uint64_t{0};
  constexpr std::uint32_t kUnlabelled = ~std::uint32_t{0};
  std::vector<std::uint64_t> seed, area;
  std::vector<std::uint32_t> order, rank;
  try {
    seed.assign(objects, kNoSeed);
    area.assign(objects, 0);
    rank.assign(objects, kUnlabelled);
    order.reserve(objects);
  } catch (const std::bad_alloc&) {
    return noRoom();
  }
  const int seedX = SeedLimit(width, env.screen.width), seedY = SeedLimit(height, env.screen.height);
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const Run& r = runs[i];
    const std::uint32_t o = found.objectOf(i);
    area[o] += static_cast<std::uint64_t>(r.x1 - r.x0 + 1);
    if (r.y < seedY && r.x0 < seedX)
      seed[o] = std::min(seed[o], static_cast<std::uint64_t>(r.x0) << 32 | static_cast<std::uint32_t>(r.y));
  }
  for (std::uint32_t o = 0; o < objects; ++o)
    if (seed[o] != kNoSeed) order.push_back(o);
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return seed[a] < seed[b]; });
  for (std::uint32_t k = 0; k < order.size(); ++k) rank[order[k]] = k;
  // Labels run 2..254 and start again at 2.
  const auto labelAt = [](std::uint32_t k) { return static_cast<std::uint8_t>(2 + k % 253); };
  const auto labelRun = [&](const Run& r, std::uint32_t k) {
    std::memset(mask.row(r.y) + r.x0, labelAt(k), static_cast<std::size_t>(r.x1 - r.x0 + 1));
    PaintStretch(canvas, r.y, r.x0, r.x1, LabelColour(labelAt(k)));
  };
  // Labels and paints the objects ranked [from, to), rows split over the
  // cores: each run lies in one row, and no order among them shows.
  const auto labelRanks = [&](std::uint32_t from, std::uint32_t to) {
    if (from >= to) return;
    const auto firstRunOf = [&](int y) {
      return static_cast<std::size_t>(
          std::lower_bound(runs.begin(), runs.end(), y, [](const Run& r, int row) { return r.y < row; }) -
          runs.begin());
    };
    parallelRows(height, width, [&](int y0, int y1) {
      for (std::size_t i = firstRunOf(y0), end = firstRunOf(y1); i < end; ++i) {
        const std::uint32_t k = rank[found.objectOf(i)];
        if (k >= from && k < to) labelRun(runs[i], k);
      }
    });
  };

  std::uint32_t count = 0, done = 0;  // objects labelled; of those, painted
  RunList objectRuns;
  OpenBits open, shown;
  CompactWalk walk(stack);
  bool ok = true;
  for (; count < order.size(); ++count) {
    const std::uint32_t o = order[count];
    if (area[o] * 4 < stack.capacity) continue;
    objectRuns.clear();
    try {
      for (std::size_t i = 0; i < runs.size(); ++i)
        if (found.objectOf(i) == o) objectRuns.push_back(runs[i]);
    } catch (const std::bad_alloc&) {
      ok = false;
      break;
    }
    if (!open.load(objectRuns)) {
      ok = false;
      break;
    }
    const std::uint64_t pairs = open.pairs();
    if (pairs < stack.capacity) continue;
    labelRanks(done, count);
    done = count;
    // The pixels the walk has reached are the object's cleared bits; each
    // notice paints those reached since the one before.
    const Colour colour = LabelColour(labelAt(count));
    shown = open;
    const auto fill = [&](int x0, int x1, int ry) { PaintStretch(canvas, ry, x0, x1, colour); };
    stack.beforeNotice = [&] {
      shown.forEachStretch(&open, fill);
      shown = open;
    };
    const std::uint32_t firstX = static_cast<std::uint32_t>(seed[o] >> 32);
    const int firstY = static_cast<int>(seed[o] & 0xFFFFFFFFu);
    ok = walk.grow(open, open.index(static_cast<int>(firstX), firstY), pairs,
                   static_cast<std::size_t>(area[o]));
    stack.beforeNotice = nullptr;
    if (!ok) {
      // Stopped inside the object: what the walk reached is labelled and
      // painted, the rest stays an object, as the rule leaves it.
      shown.forEachStretch(&open, fill);
      for (const Run& r : objectRuns) {
        std::uint8_t* row = mask.row(r.y);
        for (int rx = r.x0; rx <= r.x1; ++rx)
          if (!open.test(open.index(rx, r.y))) row[rx] = labelAt(count);
      }
      break;
    }
    // Its runs are labelled with the objects after it.
  }
  labelRanks(done, count);
  if (!ok) Tell(env, "Out of Memory", "");
  if (!order.empty()) {
    const Rect all{0, 0, width, height};
    canvas.window().markDirty(all);
    canvas.memory().markDirty(all);
  }
  ReportCount(env, count);
  return count;
}

}  // namespace opta
