// The row kernels on plain lanes: one value at a time, for processors
// without the vector sets below.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/simd.h"
#include "filters/kernels.h"
#include "filters/lanes_plain.h"
#include "filters/network.h"
#include "filters/rows.h"

namespace opta::filters::plain {
#include "filters/rows_body.h"
}  // namespace opta::filters::plain
