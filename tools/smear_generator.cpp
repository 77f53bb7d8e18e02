// smear_generator: synthetic blood-smear pictures with their ground truth.
//
// Draws a pale, unevenly lit, noisy background with red cells (discs with a
// central pallor), sickle cells (crescents), elongated cells (ellipses) and a
// few white cells (pale cytoplasm around a dark lobed nucleus), none touching
// unless asked, all from one seed. Writes a standard 24-bit BMP and, beside
// it, a JSON file with the counts and every cell's kind, centre and the first
// pixel of its object in the program's scan order (x outer, y inner).
//
// The colours and shapes are chosen so that the analysis commands classify
// every cell without ambiguity:
// - Gray (truncated 0.3 R + 0.59 G + 0.11 B): background above 195, red,
//   sickle and elongated cells 85..135, white-cell cytoplasm above 175 and
//   nuclei below 62, lighting (0.91..1.03) and noise (+-5) included. So TRFG's default [0, 140]
//   takes red, sickle and elongated cells and nuclei as objects, and Find
//   WBCs' [0, 70] takes the nuclei alone.
// - Every object has at least 150 pixels (Remove Objects drops under 100),
//   no holes (so filling below 1000 pixels changes nothing), keeps 4 pixels
//   from the image border and from every other object.
// - Shape ratio P * P / A, checked on each shape as drawn, with margins:
//   red cells 14.15..15.85 (the normal band is 14..16: "r" and counted),
//   sickle cells 20.5..34.5 (the band is 20..35: "s"), elongated cells and
//   nuclei 16.5..19.5 (no mark, not normal).
// - At most 253 objects in all, so labels never wrap and each object keeps a
//   label of its own.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "analysis/measure.h"
#include "core/matrix.h"

namespace {

using opta::ByteMatrix;

constexpr double kPi = 3.14159265358979323846;

constexpr char kHelp[] =
    "usage: smear_generator [options] OUT.bmp\n"
    "Writes a synthetic blood smear OUT.bmp (standard 24-bit) and its ground truth OUT.json.\n"
    "  --width W --height H   picture size (default 1024 x 768)\n"
    "  --seed S               random seed (default 1); same seed, same picture\n"
    "  --radius R             mean red-cell radius in pixels (default: from the size, 10..40)\n"
    "  --cells N              number of cells of all kinds (default: from the size, at most 253)\n"
    "  --sickle N --elongated N --wbc N   cells of those kinds (default: 8%, 6%, 3% of the cells)\n"
    "  --touching N           add N pairs of touching red cells (each pair is one object\n"
    "                         whose kind the rules do not fix; the truth says so)\n"
    "Classification by the program's rules:\n"
    "  gray background > 195, cells 85..135, nuclei < 62, cytoplasm > 175;\n"
    "  TRFG with the default limits [0, 140] finds every cell and nucleus as one object;\n"
    "  Find WBCs ([0, 70], specks < 100 removed) finds the nuclei only;\n"
    "  shape ratios: red cells 14.15..15.85 (normal band [14, 16]), sickle 20.5..34.5\n"
    "  (band [20, 35]), elongated cells and nuclei 16.5..19.5 (no mark);\n"
    "  objects >= 150 pixels, no holes, 4 pixels apart and from the border, <= 253 in all.\n"
    "Run TRFG with a screen at least as large as the picture (optascope-cli --screen WxH):\n"
    "labelling looks for objects only inside the screen-sized corner.\n";

enum class Kind { Normal, Sickle, Elongated, White, Cluster };

const char* KindName(Kind k) {
  switch (k) {
    case Kind::Normal:
      return "normal";
    case Kind::Sickle:
      return "sickle";
    case Kind::Elongated:
      return "elongated";
    case Kind::White:
      return "wbc";
    case Kind::Cluster:
      return "cluster";
  }
  return "";
}

// Deterministic on every standard library: only the engine's raw output.
class Random {
 public:
  explicit Random(std::uint32_t seed) : engine_(seed) {}
  double uniform(double lo, double hi) { return lo + (hi - lo) * (engine_() / 4294967296.0); }
  int below(int n) { return static_cast<int>(engine_() % static_cast<std::uint32_t>(n)); }

 private:
  std::mt19937 engine_;
};

// A shape as a membership test around its centre, with a bounding radius.
struct Shape {
  std::function<bool(double dx, double dy)> object;  // in the TRFG mask
  std::function<int(double dx, double dy)> tone;     // 0 rim, 1 pallor, 2 cytoplasm, 3 nucleus; -1 outside
  double extent;                                     // bounding radius
};

struct Cell {
  Kind kind;
  double cx, cy;
  double size;
  Shape shape;
  int firstX = -1, firstY = -1;
  int area = 0;
  double ratio = 0;
};

// The object pixels of a shape centred at (cx, cy), in a local box with a
// margin; box origin is returned.
ByteMatrix Rasterize(const Shape& s, double cx, double cy, int& ox, int& oy) {
  const int r = static_cast<int>(std::ceil(s.extent)) + 3;
  ox = static_cast<int>(std::floor(cx)) - r;
  oy = static_cast<int>(std::floor(cy)) - r;
  ByteMatrix m;
  m.allocate(2 * r + 2, 2 * r + 2);
  m.fill(0);
  for (int y = 0; y < m.height(); ++y)
    for (int x = 0; x < m.width(); ++x)
      if (s.object(ox + x - cx, oy + y - cy)) m.at(x, y) = 2;
  return m;
}

// Pixels of `value` reachable from (x, y) with 8-connectivity.
int Flood(ByteMatrix& m, int x0, int y0, std::uint8_t value, std::uint8_t mark) {
  std::vector<std::pair<int, int>> stack{{x0, y0}};
  int n = 0;
  while (!stack.empty()) {
    auto [x, y] = stack.back();
    stack.pop_back();
    if (!m.contains(x, y) || m.at(x, y) != value) continue;
    m.at(x, y) = mark;
    ++n;
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) stack.push_back({x + dx, y + dy});
  }
  return n;
}

// One 8-connected piece, no holes, big enough, ratio inside the band.
bool Acceptable(const Shape& s, double cx, double cy, double lo, double hi, int& area, double& ratio) {
  int ox, oy;
  ByteMatrix m = Rasterize(s, cx, cy, ox, oy);
  opta::AreaTable areas;
  opta::PerimeterTable perimeters;
  opta::ComputeAreas(m, m.width(), m.height(), areas);
  opta::ComputePerimeters(m, m.width(), m.height(), perimeters);
  area = static_cast<int>(areas[2]);
  if (area < 150) return false;
  ratio = opta::ShapeRatio(perimeters[2], areas[2]);
  if (!(ratio >= lo && ratio <= hi)) return false;
  ByteMatrix copy;
  copy.copyFrom(m);
  for (int y = 0; y < copy.height(); ++y)
    for (int x = 0; x < copy.width(); ++x)
      if (copy.at(x, y) == 2) {
        if (Flood(copy, x, y, 2, 3) != area) return false;  // more than one piece
        y = copy.height();
        break;
      }
  return Flood(copy, 0, 0, 0, 4) + area == copy.width() * copy.height();  // no enclosed background
}

Shape Disc(double r) {
  return Shape{[r](double dx, double dy) { return dx * dx + dy * dy <= r * r; },
               [r](double dx, double dy) {
                 const double d2 = dx * dx + dy * dy;
                 if (d2 > r * r) return -1;
                 return d2 < 0.2 * r * r ? 1 : 0;
               },
               r};
}

Shape Ellipse(double a, double b, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  auto in = [=](double dx, double dy) {
    const double u = dx * c + dy * s, v = -dx * s + dy * c;
    return u * u / (a * a) + v * v / (b * b) <= 1.0;
  };
  return Shape{in, [in](double dx, double dy) { return in(dx, dy) ? 0 : -1; }, a};
}

// A disc with an offset disc cut out of it: a crescent with blunt tips.
Shape Crescent(double outer, double inner, double offset, double angle) {
  const double ux = std::cos(angle), uy = std::sin(angle);
  auto in = [=](double dx, double dy) {
    const double ix = dx - offset * ux, iy = dy - offset * uy;
    return dx * dx + dy * dy <= outer * outer && ix * ix + iy * iy > inner * inner;
  };
  return Shape{in, [in](double dx, double dy) { return in(dx, dy) ? 0 : -1; }, outer};
}

// Pale cytoplasm of radius body around a nucleus of lobes along an arc.
Shape WhiteCell(double body, double lobe, int lobes, double spacing, double angle, double bend) {
  std::vector<std::pair<double, double>> centres;
  for (int i = 0; i < lobes; ++i) {
    const double t = i - (lobes - 1) / 2.0;
    const double a = angle + bend * t;
    centres.push_back({t * spacing * std::cos(a), t * spacing * std::sin(a) + bend * lobe * t * t});
  }
  auto nucleus = [=](double dx, double dy) {
    for (auto [x, y] : centres)
      if ((dx - x) * (dx - x) + (dy - y) * (dy - y) <= lobe * lobe) return true;
    return false;
  };
  return Shape{nucleus,
               [=](double dx, double dy) {
                 if (nucleus(dx, dy)) return 3;
                 return dx * dx + dy * dy <= body * body ? 2 : -1;
               },
               body};
}

struct Options {
  int width = 1024, height = 768;
  std::uint32_t seed = 1;
  double radius = 0;
  int cells = -1, sickle = -1, elongated = -1, wbc = -1, touching = 0;
  std::string out;
};

bool ParseArgs(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto num = [&](double& v) {
      if (i + 1 >= argc) return false;
      v = std::atof(argv[++i]);
      return true;
    };
    double v = 0;
    if (a == "--help" || a == "-h") {
      std::fputs(kHelp, stdout);
      std::exit(0);
    } else if (a == "--width" && num(v)) {
      o.width = static_cast<int>(v);
    } else if (a == "--height" && num(v)) {
      o.height = static_cast<int>(v);
    } else if (a == "--seed" && num(v)) {
      o.seed = static_cast<std::uint32_t>(v);
    } else if (a == "--radius" && num(v)) {
      o.radius = v;
    } else if (a == "--cells" && num(v)) {
      o.cells = static_cast<int>(v);
    } else if (a == "--sickle" && num(v)) {
      o.sickle = static_cast<int>(v);
    } else if (a == "--elongated" && num(v)) {
      o.elongated = static_cast<int>(v);
    } else if (a == "--wbc" && num(v)) {
      o.wbc = static_cast<int>(v);
    } else if (a == "--touching" && num(v)) {
      o.touching = static_cast<int>(v);
    } else if (!a.empty() && a[0] != '-' && o.out.empty()) {
      o.out = a;
    } else {
      std::fprintf(stderr, "smear_generator: bad argument '%s' (see --help)\n", a.c_str());
      return false;
    }
  }
  if (o.out.empty() || o.width < 64 || o.height < 64 || o.width > 16384 || o.height > 16384) {
    std::fputs("smear_generator: need OUT.bmp and a size of 64..16384 (see --help)\n", stderr);
    return false;
  }
  return true;
}

bool WriteBmp(const std::string& path, const std::vector<std::uint8_t>& rgb, int w, int h) {
  const int stride = (w * 3 + 3) & ~3;
  const std::uint32_t imageSize = static_cast<std::uint32_t>(stride) * h;
  std::vector<std::uint8_t> f(54 + imageSize, 0);
  auto put16 = [&](int at, std::uint32_t v) {
    f[at] = v & 0xFF;
    f[at + 1] = (v >> 8) & 0xFF;
  };
  auto put32 = [&](int at, std::uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  f[0] = 'B';
  f[1] = 'M';
  put32(2, 54 + imageSize);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(h));
  put16(26, 1);
  put16(28, 24);
  put32(34, imageSize);
  put32(38, 2835);
  put32(42, 2835);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = f.data() + 54 + static_cast<std::size_t>(h - 1 - y) * stride;  // bottom-up
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * w + x) * 3;
      row[3 * x] = p[2];
      row[3 * x + 1] = p[1];
      row[3 * x + 2] = p[0];
    }
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(f.data(), 1, f.size(), file) == f.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseArgs(argc, argv, o)) return 2;
  Random rng(o.seed);
  const int W = o.width, H = o.height;
  const double R = o.radius > 0 ? o.radius : std::clamp(std::min(W, H) / 45.0, 10.0, 40.0);
  int total = o.cells >= 0 ? o.cells : static_cast<int>(std::min(200.0, 0.16 * W * H / (kPi * R * R * 1.1)));
  total = std::clamp(total, 0, 253 - o.touching);
  const int wbc = o.wbc >= 0 ? o.wbc : std::max(1, static_cast<int>(total * 0.03));
  const int sickle = o.sickle >= 0 ? o.sickle : static_cast<int>(total * 0.08);
  const int elongated = o.elongated >= 0 ? o.elongated : static_cast<int>(total * 0.06);
  const int normal = std::max(0, total - wbc - sickle - elongated);

  std::vector<Kind> plan;
  for (int i = 0; i < wbc; ++i) plan.push_back(Kind::White);
  for (int i = 0; i < sickle; ++i) plan.push_back(Kind::Sickle);
  for (int i = 0; i < elongated; ++i) plan.push_back(Kind::Elongated);
  for (int i = 0; i < o.touching; ++i) plan.push_back(Kind::Cluster);
  for (int i = 0; i < normal; ++i) plan.push_back(Kind::Normal);

  constexpr double kGap = 4.0;
  std::vector<Cell> cells;
  int skipped = 0;
  for (Kind kind : plan) {
    bool placed = false;
    for (int attempt = 0; attempt < 400 && !placed; ++attempt) {
      Cell c{kind, 0, 0, 0, {}, -1, -1, 0, 0};
      double lo = 14.15, hi = 15.85;
      switch (kind) {
        case Kind::Normal:
          c.size = std::max(10.0, R * rng.uniform(0.85, 1.15));
          c.shape = Disc(c.size);
          break;
        case Kind::Cluster: {
          // Two discs overlapping by a pixel or two: one object.
          const double r = std::max(10.0, R * rng.uniform(0.85, 1.0)), a = rng.uniform(0, kPi);
          const double d = 2 * r - 1.5;
          Shape one = Disc(r);
          c.size = r;
          c.shape = Shape{[=](double dx, double dy) {
                            return one.object(dx - d / 2 * std::cos(a), dy - d / 2 * std::sin(a)) ||
                                   one.object(dx + d / 2 * std::cos(a), dy + d / 2 * std::sin(a));
                          },
                          [=](double dx, double dy) {
                            const int t = one.tone(dx - d / 2 * std::cos(a), dy - d / 2 * std::sin(a));
                            return t >= 0 ? t : one.tone(dx + d / 2 * std::cos(a), dy + d / 2 * std::sin(a));
                          },
                          2 * r};
          lo = 0;
          hi = 1e9;
          break;
        }
        case Kind::Elongated: {
          const double e = rng.uniform(1.9, 2.3), r = std::max(10.0, R * rng.uniform(0.85, 1.1));
          c.size = r;
          c.shape = Ellipse(r * std::sqrt(e), r / std::sqrt(e), rng.uniform(0, kPi));
          lo = 16.5;
          hi = 19.5;
          break;
        }
        case Kind::Sickle: {
          const double r = std::max(11.0, R * rng.uniform(1.0, 1.2));
          c.size = r;
          c.shape =
              Crescent(r, r * rng.uniform(0.6, 0.72), r * rng.uniform(0.5, 0.65), rng.uniform(0, 2 * kPi));
          lo = 20.5;
          hi = 34.5;
          break;
        }
        case Kind::White: {
          const double body = std::max(16.0, R * rng.uniform(1.4, 1.7));
          const double lobe = std::max(7.0, R * rng.uniform(0.45, 0.55));
          c.size = body;
          c.shape = WhiteCell(body, lobe, 2 + rng.below(2), lobe * rng.uniform(1.2, 1.5), rng.uniform(0, kPi),
                              rng.uniform(-0.3, 0.3));
          lo = 16.5;
          hi = 19.5;
          break;
        }
      }
      const double ext = c.shape.extent + 1;
      const double m = ext + kGap + 2;
      if (2 * m >= W || 2 * m >= H) break;
      c.cx = rng.uniform(m, W - m);
      c.cy = rng.uniform(m, H - m);
      bool clear = true;
      for (const Cell& other : cells) {
        const double need = ext + other.shape.extent + 1 + kGap;
        if ((c.cx - other.cx) * (c.cx - other.cx) + (c.cy - other.cy) * (c.cy - other.cy) < need * need) {
          clear = false;
          break;
        }
      }
      if (!clear || !Acceptable(c.shape, c.cx, c.cy, lo, hi, c.area, c.ratio)) continue;
      cells.push_back(std::move(c));
      placed = true;
    }
    if (!placed) ++skipped;
  }

  // Paint: background, then each cell's tones, then light and noise.
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(W) * H * 3);
  std::vector<std::int8_t> tone(static_cast<std::size_t>(W) * H, -1);
  for (Cell& c : cells) {
    int ox, oy;
    const int r = static_cast<int>(std::ceil(c.shape.extent)) + 3;
    ox = static_cast<int>(std::floor(c.cx)) - r;
    oy = static_cast<int>(std::floor(c.cy)) - r;
    for (int x = std::max(0, ox); x < std::min(W, ox + 2 * r + 2); ++x) {
      for (int y = std::max(0, oy); y < std::min(H, oy + 2 * r + 2); ++y) {
        const int t = c.shape.tone(x - c.cx, y - c.cy);
        if (t < 0) continue;
        tone[static_cast<std::size_t>(y) * W + x] =
            static_cast<std::int8_t>(c.kind == Kind::Sickle || c.kind == Kind::Elongated ? 4 : t);
        if (c.firstX < 0 && c.shape.object(x - c.cx, y - c.cy)) {
          c.firstX = x;  // x outer, y inner: the first object pixel met
          c.firstY = y;
        }
      }
    }
  }
  // Base colours (R, G, B) of: rim, pallor, cytoplasm, nucleus, sickle/elongated.
  static const double kTone[5][3] = {
      {184, 76, 82}, {196, 92, 98}, {218, 198, 228}, {72, 32, 112}, {178, 70, 80}};
  static const double kBackground[3] = {236, 226, 218};
  const double phase = rng.uniform(0, 2 * kPi);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      // Uneven light: a soft vignette and a slow tilt, 0.91..1.03.
      const double u = (x - W / 2.0) / W, v = (y - H / 2.0) / H;
      const double light = 1.03 - 0.16 * (u * u + v * v) - 0.02 * (1 + std::sin(phase + 3 * u + 2 * v));
      const int t = tone[static_cast<std::size_t>(y) * W + x];
      const double* base = t < 0 ? kBackground : kTone[t];
      std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * W + x) * 3;
      for (int ch = 0; ch < 3; ++ch) {
        const double noise = rng.uniform(-5, 5);
        p[ch] = static_cast<std::uint8_t>(std::clamp(base[ch] * light + noise, 0.0, 255.0));
      }
    }
  }

  const std::string base = o.out.size() > 4 && o.out.substr(o.out.size() - 4) == ".bmp"
                               ? o.out.substr(0, o.out.size() - 4)
                               : o.out;
  if (!WriteBmp(o.out, rgb, W, H)) {
    std::fprintf(stderr, "smear_generator: cannot write %s\n", o.out.c_str());
    return 1;
  }
  int count[5] = {};
  for (const Cell& c : cells) ++count[static_cast<int>(c.kind)];
  const std::string truthPath = base + ".json";
  FILE* f = std::fopen(truthPath.c_str(), "w");
  if (!f) {
    std::fprintf(stderr, "smear_generator: cannot write %s\n", truthPath.c_str());
    return 1;
  }
  std::fprintf(f, "{\n  \"width\": %d, \"height\": %d, \"seed\": %u, \"radius\": %.2f,\n", W, H, o.seed, R);
  std::fprintf(
      f,
      "  \"counts\": {\"normal\": %d, \"sickle\": %d, \"elongated\": %d, \"wbc\": %d, \"touching_pairs\": "
      "%d, \"not_placed\": %d},\n",
      count[0], count[1], count[2], count[3], count[4], skipped);
  // What the program should report: every cell (a touching pair once, a
  // white cell by its nucleus) is one TRFG object.
  std::fprintf(
      f,
      "  \"expected\": {\"total_objects\": %zu, \"normal_rbcs\": %d, \"r_marks\": %d, \"s_marks\": %d, "
      "\"wbc_objects\": %d, \"w_marks\": %d, \"exact\": %s},\n",
      cells.size(), count[0], count[0], count[1], count[3], count[3], count[4] ? "false" : "true");
  std::fprintf(f, "  \"cells\": [\n");
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const Cell& c = cells[i];
    std::fprintf(
        f,
        "    {\"kind\": \"%s\", \"x\": %.2f, \"y\": %.2f, \"size\": %.2f, \"area\": %d, \"ratio\": %.4f, "
        "\"first_pixel\": [%d, %d]}%s\n",
        KindName(c.kind), c.cx, c.cy, c.size, c.area, c.ratio, c.firstX, c.firstY,
        i + 1 < cells.size() ? "," : "");
  }
  std::fprintf(f, "  ]\n}\n");
  std::fclose(f);
  std::printf("%s: %dx%d, %zu cells (%d normal, %d sickle, %d elongated, %d white, %d touching pairs)%s\n",
              o.out.c_str(), W, H, cells.size(), count[0], count[1], count[2], count[3], count[4],
              skipped ? ", some could not be placed" : "");
  return 0;
}
