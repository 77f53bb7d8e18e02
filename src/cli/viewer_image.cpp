#include "cli/viewer_image.h"

#include <string>

namespace opta::cli {
namespace {

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> EncodeViewerImage(const Surface& s, bool ppm) {
  const int w = s.width(), h = s.height();
  std::vector<std::uint8_t> out;
  if (ppm) {
    const std::string header = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    out.assign(header.begin(), header.end());
    out.reserve(out.size() + std::size_t{3} * w * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const Colour c = s.get(x, y);
        out.push_back(static_cast<std::uint8_t>(Red(c)));
        out.push_back(static_cast<std::uint8_t>(Green(c)));
        out.push_back(static_cast<std::uint8_t>(Blue(c)));
      }
    return out;
  }
  const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
  const std::uint32_t imageBytes = stride * static_cast<std::uint32_t>(h);
  out.reserve(54 + imageBytes);
  out.push_back('B');
  out.push_back('M');
  PutLe(out, 54 + imageBytes, 4);
  PutLe(out, 0, 4);   // reserved: no marker
  PutLe(out, 54, 4);  // bfOffBits
  PutLe(out, 40, 4);
  PutLe(out, static_cast<std::uint32_t>(w), 4);
  PutLe(out, static_cast<std::uint32_t>(h), 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);
  PutLe(out, imageBytes, 4);
  for (int i = 0; i < 4; ++i) PutLe(out, 0, 4);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const Colour c = s.get(x, y);
      out.push_back(static_cast<std::uint8_t>(Blue(c)));
      out.push_back(static_cast<std::uint8_t>(Green(c)));
      out.push_back(static_cast<std::uint8_t>(Red(c)));
    }
    for (std::uint32_t pad = static_cast<std::uint32_t>(w) * 3; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace opta::cli
