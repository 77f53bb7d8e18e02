// Writes the program's own pictures as PPM (colour) and PGM (alpha) files so
// they can be looked at: render_resources [output-directory].
#include <cstdio>
#include <string>

#include "resources/images.h"

namespace {

bool WritePpm(const std::string& path, const opta::Surface& s) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", s.width(), s.height());
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) {
      const opta::Colour c = s.get(x, y);
      const unsigned char px[3] = {static_cast<unsigned char>(opta::Red(c)),
                                   static_cast<unsigned char>(opta::Green(c)),
                                   static_cast<unsigned char>(opta::Blue(c))};
      std::fwrite(px, 1, 3, f);
    }
  return std::fclose(f) == 0;
}

bool WritePgm(const std::string& path, const opta::ByteMatrix& m) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fprintf(f, "P5\n%d %d\n255\n", m.width(), m.height());
  for (int y = 0; y < m.height(); ++y) std::fwrite(m.row(y), 1, static_cast<std::size_t>(m.width()), f);
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  namespace r = opta::resources;
  const std::string dir = argc > 1 ? std::string(argv[1]) + "/" : std::string();
  bool ok = true;
  ok &= WritePpm(dir + "icon191_32.ppm", r::appIcon(32));
  ok &= WritePgm(dir + "icon191_32_alpha.pgm", r::appIconAlpha(32));
  ok &= WritePpm(dir + "icon191_16.ppm", r::appIcon(16));
  ok &= WritePgm(dir + "icon191_16_alpha.pgm", r::appIconAlpha(16));
  ok &= WritePpm(dir + "toolbar_large.ppm", r::largeToolbarStrip());
  ok &= WritePgm(dir + "toolbar_large_alpha.pgm", r::largeToolbarAlpha());
  ok &= WritePpm(dir + "toolbar_small.ppm", r::smallToolbarStrip());
  ok &= WritePgm(dir + "toolbar_small_alpha.pgm", r::smallToolbarAlpha());
  ok &= WritePpm(dir + "mybp2.ppm", r::aboutPicture());
  if (!ok)
    std::fprintf(stderr, "render_resources: could not write into %s\n", dir.empty() ? "." : dir.c_str());
  return ok ? 0 : 1;
}
