#include "analysis/objects.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "analysis/label.h"
#include "analysis/measure.h"

namespace opta {
namespace {

struct Sums {
  std::uint64_t x = 0, y = 0, gray = 0;
};

// The first x in [from, width) whose byte is not zero, eight at a time.
int NextNonZero(const std::uint8_t* row, int from, int width) {
  int x = from;
  for (; x + 8 <= width; x += 8) {
    std::uint64_t word;
    std::memcpy(&word, row + x, 8);
    if (word) break;
  }
  while (x < width && row[x] == 0) ++x;
  return x;
}

// The perimeter rule of the label tables, each amount credited to the object
// that holds the pixel the rule credits, added in the same order (rows
// outer) and the same precision.
void AddPerimeters(const ByteMatrix& mask, const Matrix<std::uint32_t>& ids,
                   std::vector<ObjectRecord>& objects) {
  const int w = mask.width(), h = mask.height();
  auto credit = [&](int x, int y, double amount) {
    float& p = objects[ids.at(x, y)].perimeter;
    p = static_cast<float>(static_cast<double>(p) + amount);  // exact in double, rounded as the tables round
  };
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* cur = mask.row(y);
    if (y == 0 || y == h - 1) {
      for (int x = 0; x < w; ++x)
        if (cur[x]) credit(x, y, 1.0);
      continue;
    }
    InteriorPerimeterSteps(mask.row(y - 1), cur, mask.row(y + 1), w,
                           [&](int x, int dy, int halves) { credit(x, y + dy, 0.5 * halves); });
  }
}

}  // namespace

bool DescribeObjects(const ByteMatrix& mask, const PixelMatrix& pixels, const std::vector<CellMark>& marks,
                     Matrix<std::uint32_t>& ids, ByteMatrix& work, std::vector<ObjectRecord>& out) {
  out.clear();
  const int w = mask.width(), h = mask.height();
  if (mask.empty()) return true;
  PointStack<StackPoint> stack;
  if (!work.copyFrom(mask) || !ids.allocate(w, h) || !stack.allocate(4096)) return false;

  // Objects in the order the rows meet them; each is flooded off the work
  // copy as it is found, so a pixel is met once.
  std::vector<ObjectRecord> found;
  const auto stride = static_cast<std::size_t>(w);
  const int grayWidth = std::min(w, pixels.width()), grayHeight = pixels.height();
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = work.row(y);
    for (int x = NextNonZero(row, 0, w); x < w; x = NextNonZero(row, x + 1, w)) {
      const auto index = static_cast<std::uint32_t>(found.size());
      ObjectRecord o;
      o.label = row[x];
      o.left = o.right = o.firstX = x;
      o.top = o.bottom = o.firstY = y;
      Sums s;
      const std::int64_t area =
          FloodRuns(work.data(), stride, w, h, x, y, o.label, 0, stack, [&](int ry, int x0, int x1) {
            std::fill(ids.row(ry) + x0, ids.row(ry) + x1 + 1, index);
            const std::uint64_t n = static_cast<std::uint64_t>(x1 - x0 + 1);
            s.x += (static_cast<std::uint64_t>(x0) + static_cast<std::uint64_t>(x1)) * n / 2;
            s.y += static_cast<std::uint64_t>(ry) * n;
            o.left = std::min(o.left, x0);
            o.right = std::max(o.right, x1);
            o.top = std::min(o.top, ry);
            o.bottom = std::max(o.bottom, ry);
            if (x0 < o.firstX || (x0 == o.firstX && ry < o.firstY)) {
              o.firstX = x0;
              o.firstY = ry;
            }
            if (ry < grayHeight && x0 < grayWidth)
              s.gray += IntensitySum(pixels.row(ry) + x0, std::min(x1, grayWidth - 1) - x0 + 1);
          });
      if (area < 0) return false;
      o.area = static_cast<std::uint32_t>(area);
      // The tables keep the low 32 bits of an intensity sum.
      o.meanIntensity = o.area ? static_cast<std::uint32_t>(s.gray) / o.area : 0;
      o.centroidX = static_cast<double>(s.x) / static_cast<double>(area);
      o.centroidY = static_cast<double>(s.y) / static_cast<double>(area);
      found.push_back(o);
    }
  }

  AddPerimeters(mask, ids, found);
  for (const CellMark& m : marks)
    if (mask.contains(m.x, m.y) && mask.at(m.x, m.y) != 0)
      found[ids.at(m.x, m.y)].marks |= static_cast<std::uint8_t>(1u << static_cast<int>(m.kind));

  std::vector<std::uint32_t> order(found.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return found[a].firstX != found[b].firstX ? found[a].firstX < found[b].firstX
                                              : found[a].firstY < found[b].firstY;
  });
  out.reserve(found.size());
  for (std::uint32_t i : order) out.push_back(found[i]);
  return true;
}

}  // namespace opta
