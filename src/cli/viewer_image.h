#pragma once
// Pictures as any viewer reads them: a standard 24-bit BMP (rows padded to
// 4 bytes, bottom row first, no marker) or a binary PPM.
#include <cstdint>
#include <vector>

#include "core/surface.h"

namespace opta::cli {

std::vector<std::uint8_t> EncodeViewerImage(const Surface& s, bool ppm);

}  // namespace opta::cli
