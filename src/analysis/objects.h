#pragma once
// The labelled objects of a mask one by one, for per-object tables. The
// program measures per label value, so objects that share a label after the
// wrap-around are measured together; here each object is measured with the
// program's rules as if it held a label of its own. For an object whose
// label no other object shares, area, perimeter and mean intensity are
// exactly ObjectArea, ObjectPerimeter and ObjectMeanIntensity of its label.
#include <cstdint>
#include <vector>

#include "analysis/bloodcells.h"
#include "core/matrix.h"

namespace opta {

struct ObjectRecord {
  std::uint8_t label = 0;
  std::uint32_t area = 0;
  float perimeter = 0.0f;  // each amount the perimeter rule credits to one of its pixels
  std::uint32_t meanIntensity = 0;
  double centroidX = 0.0, centroidY = 0.0;
  int left = 0, top = 0, right = 0, bottom = 0;  // bounding box, inclusive
  int firstX = 0, firstY = 0;                    // first pixel in the scan order (x outer, y inner)
  std::uint8_t marks = 0;                        // bit 1 << Kind of every mark anchored on it

  bool has(CellMark::Kind k) const { return (marks >> static_cast<int>(k)) & 1; }
};

// Every 8-connected region of one non-zero value, in labelling order (by
// first pixel). A mark counts for the object holding its anchor pixel; an
// anchor on the background counts for none. ids and work are scratch
// storage of the mask's size. False when storage cannot be had.
bool DescribeObjects(const ByteMatrix& mask, const PixelMatrix& pixels, const std::vector<CellMark>& marks,
                     Matrix<std::uint32_t>& ids, ByteMatrix& work, std::vector<ObjectRecord>& out);

}  // namespace opta
