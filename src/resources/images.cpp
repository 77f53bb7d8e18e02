// The program's own pictures, painted from shapes. Every shape is sampled 4x4
// times per pixel, which gives clean antialiased edges at 16 and 32 pixels.
#include "resources/images.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace opta::resources {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSub = 4;  // samples per pixel along each axis

struct Rgbf {
  double r = 0, g = 0, b = 0;
};
// Colours are written here in the usual 0xRRGGBB order.
constexpr Rgbf Hex(unsigned v) {
  return Rgbf{((v >> 16) & 255) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0};
}
Rgbf Mix(Rgbf a, Rgbf b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return Rgbf{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// One palette for every picture.
constexpr Rgbf kInk = Hex(0x2B2D42);
constexpr Rgbf kWhiteF = Hex(0xFFFFFF);
constexpr Rgbf kPaperEdge = Hex(0x8D99AE);
constexpr Rgbf kGrey = Hex(0xB8C0CC);
constexpr Rgbf kMetal = Hex(0xDDE3EA);
constexpr Rgbf kMetalDark = Hex(0x9AA5B5);
constexpr Rgbf kFolder = Hex(0xF8CB4F);
constexpr Rgbf kFolderDark = Hex(0xDE9F22);
constexpr Rgbf kFolderEdge = Hex(0x8A5A00);
constexpr Rgbf kBlue = Hex(0x3A6FD8);
constexpr Rgbf kBlueLight = Hex(0x8FB8F6);
constexpr Rgbf kBlueDark = Hex(0x1D3F8F);
constexpr Rgbf kGlass = Hex(0xDCEEFF);
constexpr Rgbf kRed = Hex(0xD7263D);
constexpr Rgbf kRedLight = Hex(0xF28482);
constexpr Rgbf kRedDark = Hex(0x8E1B2A);
constexpr Rgbf kGreen = Hex(0x2E9E5B);
constexpr Rgbf kOrange = Hex(0xE4572E);
constexpr Rgbf kCellPale = Hex(0xF6B9B6);
constexpr Rgbf kCellMid = Hex(0xE35D63);
constexpr Rgbf kCellRim = Hex(0xA81C2D);

struct Pt {
  double x = 0, y = 0;
};

using Inside = std::function<bool(double, double)>;
using Shade = std::function<Rgbf(double, double)>;

Shade Solid(Rgbf c) {
  return [c](double, double) { return c; };
}

double SegmentDistance2(Pt p, Pt a, Pt b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return ex * ex + ey * ey;
}

// Premultiplied RGBA accumulation buffer.
class Raster {
 public:
  Raster(int w, int h) : w_(w), h_(h), px_(static_cast<std::size_t>(w) * h) {}
  int width() const { return w_; }
  int height() const { return h_; }

  // Paints the pixels inside the bounds that the shape covers, "over" what is there.
  void paint(double x0, double y0, double x1, double y1, const Inside& inside, const Shade& shade,
             double opacity = 1.0) {
    const int xa = std::max(0, static_cast<int>(std::floor(x0)));
    const int xb = std::min(w_, static_cast<int>(std::ceil(x1)));
    const int ya = std::max(0, static_cast<int>(std::floor(y0)));
    const int yb = std::min(h_, static_cast<int>(std::ceil(y1)));
    for (int y = ya; y < yb; ++y) {
      for (int x = xa; x < xb; ++x) {
        // The corners and the centre decide most pixels at once: those points
        // lie at most half a pixel from any point, and no shape here is
        // thinner than that. Only pixels they disagree on are sampled finely.
        const int probe = inside(x, y) + inside(x + 1, y) + inside(x, y + 1) + inside(x + 1, y + 1) +
                          inside(x + 0.5, y + 0.5);
        if (probe == 0) continue;
        int hits = kSub * kSub;
        if (probe < 5) {
          hits = 0;
          for (int sy = 0; sy < kSub; ++sy)
            for (int sx = 0; sx < kSub; ++sx) hits += inside(x + (sx + 0.5) / kSub, y + (sy + 0.5) / kSub);
          if (hits == 0) continue;
        }
        const double cov = opacity * hits / (kSub * kSub);
        const Rgbf c = shade(x + 0.5, y + 0.5);
        Px& d = px_[static_cast<std::size_t>(y) * w_ + x];
        d.r = c.r * cov + d.r * (1 - cov);
        d.g = c.g * cov + d.g * (1 - cov);
        d.b = c.b * cov + d.b * (1 - cov);
        d.a = cov + d.a * (1 - cov);
      }
    }
  }

  // Opaque picture over a background colour.
  Surface flatten(Rgbf background) const {
    Surface s;
    if (!s.allocate(w_, h_)) return s;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        const Px& p = at(x, y);
        s.set(x, y,
              ToColour(Rgbf{p.r + background.r * (1 - p.a), p.g + background.g * (1 - p.a),
                            p.b + background.b * (1 - p.a)}));
      }
    s.takeDirty();
    return s;
  }

  // Colour with the key in clear pixels, and the coverage as alpha.
  void keyed(Surface& colour, ByteMatrix& alpha) const {
    alpha.release();
    if (!colour.allocate(w_, h_, kImageKey) || !alpha.allocate(w_, h_)) return;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        const Px& p = at(x, y);
        const int a = static_cast<int>(std::lround(std::clamp(p.a, 0.0, 1.0) * 255));
        alpha.at(x, y) = static_cast<std::uint8_t>(a);
        if (a > 0) colour.set(x, y, ToColour(Rgbf{p.r / p.a, p.g / p.a, p.b / p.a}));
      }
    colour.takeDirty();
  }

 private:
  struct Px {
    double r = 0, g = 0, b = 0, a = 0;
  };
  const Px& at(int x, int y) const { return px_[static_cast<std::size_t>(y) * w_ + x]; }
  static Colour ToColour(Rgbf c) {
    auto ch = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return Rgb(ch(c.r), ch(c.g), ch(c.b));
  }

  int w_, h_;
  std::vector<Px> px_;
};

// Drawing in design units: pixel = origin + design * scale. Icons are designed
// on a 32-unit square and drawn at scale 1 or 0.5.
struct Pen {
  Raster* r;
  double ox = 0, oy = 0, s = 1;

  Pt P(double x, double y) const { return Pt{ox + x * s, oy + y * s}; }
  // Strokes never get thinner than most of a pixel, so small icons keep their lines.
  double W(double w) const { return std::max(w * s, 0.9); }
  Pen sub(double x, double y, double scale) const { return Pen{r, ox + x * s, oy + y * s, s * scale}; }

  Shade lin(double x0, double y0, Rgbf c0, double x1, double y1, Rgbf c1) const {
    const Pt a = P(x0, y0), b = P(x1, y1);
    return [a, b, c0, c1](double x, double y) {
      const double dx = b.x - a.x, dy = b.y - a.y;
      const double len2 = dx * dx + dy * dy;
      return Mix(c0, c1, len2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0);
    };
  }
  Shade radial(double cx, double cy, double rad, Rgbf inner, Rgbf outer) const {
    const Pt c = P(cx, cy);
    const double rr = rad * s;
    return [c, rr, inner, outer](double x, double y) {
      return Mix(inner, outer, std::hypot(x - c.x, y - c.y) / rr);
    };
  }

  // Any shape given as a test in design units over design bounds.
  void custom(double x0, double y0, double x1, double y1, std::function<bool(double, double)> in,
              const Shade& shade, double op = 1) const {
    const Pen p = *this;
    r->paint(
        ox + x0 * s, oy + y0 * s, ox + x1 * s, oy + y1 * s,
        [p, in](double x, double y) { return in((x - p.ox) / p.s, (y - p.oy) / p.s); }, shade, op);
  }

  void circle(double cx, double cy, double rad, const Shade& shade, double op = 1) const {
    const Pt c = P(cx, cy);
    const double rr = rad * s;
    r->paint(
        c.x - rr, c.y - rr, c.x + rr, c.y + rr,
        [c, rr](double x, double y) { return (x - c.x) * (x - c.x) + (y - c.y) * (y - c.y) <= rr * rr; },
        shade, op);
  }
  void ring(double cx, double cy, double rad, double width, const Shade& shade, double op = 1) const {
    const Pt c = P(cx, cy);
    const double rr = rad * s, hw = W(width) / 2;
    r->paint(
        c.x - rr - hw, c.y - rr - hw, c.x + rr + hw, c.y + rr + hw,
        [c, rr, hw](double x, double y) { return std::abs(std::hypot(x - c.x, y - c.y) - rr) <= hw; }, shade,
        op);
  }
  // Ellipse with radii (rx, ry) turned by angle radians.
  void ellipse(double cx, double cy, double rx, double ry, double angle, const Shade& shade,
               double op = 1) const {
    const Pt c = P(cx, cy);
    const double a = rx * s, b = ry * s, co = std::cos(angle), si = std::sin(angle);
    const double m = std::max(a, b);
    r->paint(
        c.x - m, c.y - m, c.x + m, c.y + m,
        [=](double x, double y) {
          const double u = ((x - c.x) * co + (y - c.y) * si) / a;
          const double v = (-(x - c.x) * si + (y - c.y) * co) / b;
          return u * u + v * v <= 1;
        },
        shade, op);
  }
  void rect(double x0, double y0, double x1, double y1, double radius, const Shade& shade,
            double op = 1) const {
    const Pt a = P(x0, y0), b = P(x1, y1);
    const double rr = radius * s;
    r->paint(
        a.x, a.y, b.x, b.y,
        [a, b, rr](double x, double y) {
          const double dx = std::max({a.x + rr - x, x - (b.x - rr), 0.0});
          const double dy = std::max({a.y + rr - y, y - (b.y - rr), 0.0});
          return x >= a.x && x <= b.x && y >= a.y && y <= b.y && dx * dx + dy * dy <= rr * rr;
        },
        shade, op);
  }
  // Outline of a rounded rectangle drawn inside its edge.
  void frame(double x0, double y0, double x1, double y1, double radius, double width,
             const Shade& shade) const {
    const Pt a = P(x0, y0), b = P(x1, y1);
    const double rr = radius * s, w = W(width);
    auto in = [](double x, double y, Pt a, Pt b, double rr) {
      const double dx = std::max({a.x + rr - x, x - (b.x - rr), 0.0});
      const double dy = std::max({a.y + rr - y, y - (b.y - rr), 0.0});
      return x >= a.x && x <= b.x && y >= a.y && y <= b.y && dx * dx + dy * dy <= rr * rr;
    };
    const Pt ia{a.x + w, a.y + w}, ib{b.x - w, b.y - w};
    const double irr = std::max(rr - w, 0.0);
    r->paint(
        a.x, a.y, b.x, b.y, [=](double x, double y) { return in(x, y, a, b, rr) && !in(x, y, ia, ib, irr); },
        shade);
  }
  void poly(std::vector<Pt> pts, const Shade& shade, double op = 1) const {
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (auto& p : pts) {
      p = P(p.x, p.y);
      x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
    r->paint(
        x0, y0, x1, y1,
        [pts](double x, double y) {
          bool in = false;
          for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            const Pt a = pts[i], b = pts[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
          }
          return in;
        },
        shade, op);
  }
  // A polyline of round-capped segments.
  void stroke(std::vector<Pt> pts, double width, const Shade& shade, bool closed = false,
              double op = 1) const {
    if (pts.empty()) return;
    if (closed) pts.push_back(pts.front());
    const double hw = W(width) / 2;
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (auto& p : pts) {
      p = P(p.x, p.y);
      x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
    if (pts.size() == 1) pts.push_back(pts.front());
    // Each segment with its bounds grown by the half width: most samples are
    // rejected by the bounds before any distance is computed.
    struct Segment {
      Pt a, b;
      double x0, y0, x1, y1;
    };
    std::vector<Segment> segs;
    for (std::size_t i = 1; i < pts.size(); ++i) {
      const Pt a = pts[i - 1], b = pts[i];
      segs.push_back(Segment{a, b, std::min(a.x, b.x) - hw, std::min(a.y, b.y) - hw, std::max(a.x, b.x) + hw,
                             std::max(a.y, b.y) + hw});
    }
    r->paint(
        x0 - hw, y0 - hw, x1 + hw, y1 + hw,
        [segs, hw](double x, double y) {
          for (const Segment& g : segs)
            if (x >= g.x0 && x <= g.x1 && y >= g.y0 && y <= g.y1 &&
                SegmentDistance2(Pt{x, y}, g.a, g.b) <= hw * hw)
              return true;
          return false;
        },
        shade, op);
  }
  void line(double x0, double y0, double x1, double y1, double width, const Shade& shade,
            double op = 1) const {
    stroke({{x0, y0}, {x1, y1}}, width, shade, false, op);
  }
};

// Points along an ellipse from angle a0 to a1 (degrees, counterclockwise on
// screen with y pointing down).
std::vector<Pt> Arc(double cx, double cy, double rx, double ry, double a0, double a1, int steps = 48) {
  std::vector<Pt> pts;
  for (int i = 0; i <= steps; ++i) {
    const double a = (a0 + (a1 - a0) * i / steps) * kPi / 180;
    pts.push_back(Pt{cx + rx * std::cos(a), cy - ry * std::sin(a)});
  }
  return pts;
}

// Arrow head: a triangle with its tip at (x, y) pointing along (dx, dy).
void Head(const Pen& p, double x, double y, double dx, double dy, double size, const Shade& shade) {
  const double len = std::hypot(dx, dy);
  dx /= len, dy /= len;
  p.poly({{x, y},
          {x - dx * size - dy * size * 0.75, y - dy * size + dx * size * 0.75},
          {x - dx * size + dy * size * 0.75, y - dy * size - dx * size * 0.75}},
         shade);
}

// ---- toolbar pictures, each on a 32-unit square ----------------------------

void Folder(const Pen& p) {
  p.rect(3, 6, 13, 11, 1.5, Solid(kFolderDark));
  p.rect(3, 8, 27, 27, 1.5, p.lin(0, 8, kFolderDark, 0, 27, Hex(0xC7881A)));
  p.stroke({{3, 26}, {3, 7.5}, {4.5, 6}, {11.5, 6}, {13.5, 8}, {25.5, 8}, {27, 9.5}, {27, 14}}, 1,
           Solid(kFolderEdge));
  p.rect(7, 3.5, 24, 19, 0.8, Solid(kWhiteF));
  p.frame(7, 3.5, 24, 19, 0.8, 1, Solid(kPaperEdge));
  for (double y : {7.5, 10.5, 13.5}) p.line(10, y, y > 12 ? 17.5 : 21, y, 1, Solid(kGrey));
  const std::vector<Pt> flap = {{7.5, 13}, {30, 13}, {26, 27}, {3, 27}};
  p.poly(flap, p.lin(0, 13, Hex(0xFFE08A), 0, 27, kFolder));
  p.stroke(flap, 1, Solid(kFolderEdge), true);
}

void IconOpen(const Pen& p) { Folder(p); }

void IconOpenSecond(const Pen& p) {
  Folder(p.sub(-1, 0, 0.86));
  p.circle(23.5, 22.5, 8, Solid(kWhiteF));
  p.circle(23.5, 22.5, 7, p.radial(21.5, 20, 9, kBlueLight, kBlue));
  p.ring(23.5, 22.5, 7, 1, Solid(kBlueDark));
  p.stroke({{20.8, 20.6},
            {21.6, 18.9},
            {23.5, 18.2},
            {25.4, 18.9},
            {26.1, 20.5},
            {25.4, 22.2},
            {20.6, 26.6},
            {26.6, 26.6}},
           1.9, Solid(kWhiteF));
}

void IconSave(const Pen& p) {
  p.rect(4, 4, 28, 28, 2.5, p.lin(4, 4, kBlue, 28, 28, kBlueDark));
  p.rect(10, 4, 23, 13, 0.6, p.lin(10, 4, kMetal, 10, 13, kMetalDark));
  p.rect(18, 5.8, 21, 11.2, 0.4, Solid(Hex(0x4A5568)));
  p.rect(8, 16.5, 24, 28, 1, Solid(kWhiteF));
  p.line(11, 20.5, 21, 20.5, 1, Solid(kBlueLight));
  p.line(11, 24, 21, 24, 1, Solid(kBlueLight));
  p.frame(4, 4, 28, 28, 2.5, 1, Solid(kBlueDark));
}

void IconHistogram(const Pen& p) {
  p.rect(3, 4, 29, 28, 2, Solid(kWhiteF));
  p.frame(3, 4, 29, 28, 2, 1, Solid(kPaperEdge));
  const double heights[6] = {4, 9, 15, 17.5, 11, 6};
  for (int i = 0; i < 6; ++i) {
    const double x = 8 + i * 3.2;
    p.rect(x, 25 - heights[i], x + 2.5, 25, 0.3, p.lin(0, 7, kBlueLight, 0, 25, kBlue));
  }
  p.stroke({{6, 6.5}, {6, 25}, {27, 25}}, 1.3, Solid(kInk));
}

void IconInvert(const Pen& p) {
  p.circle(16, 16, 12, Solid(kWhiteF));
  p.custom(
      4, 4, 16, 28, [](double x, double y) { return x <= 16 && std::hypot(x - 16, y - 16) <= 12; },
      Solid(kInk));
  p.custom(
      16, 11, 21, 21, [](double x, double y) { return x >= 16 && std::hypot(x - 16, y - 16) <= 5; },
      Solid(kInk));
  p.custom(
      11, 11, 16, 21, [](double x, double y) { return x <= 16 && std::hypot(x - 16, y - 16) <= 5; },
      Solid(kWhiteF));
  p.ring(16, 16, 12, 1.5, Solid(kInk));
}

void IconPseudocolour(const Pen& p) {
  p.rect(3, 4, 29, 28, 2, Solid(kWhiteF));
  const unsigned colours[6] = {0x2C3E9E, 0x1FA2C9, 0x2EAD5B, 0xF2D024, 0xF28C28, 0xD7263D};
  const double top = 6, h = 20.0 / 6;
  for (int i = 0; i < 6; ++i) {
    const double y = top + i * h;
    const double g = 0.12 + 0.16 * i;
    p.rect(5, y, 16, y + h, 0, Solid(Rgbf{g, g, g}));
    p.rect(16, y, 27, y + h, 0, Solid(Hex(colours[i])));
  }
  p.frame(3, 4, 29, 28, 2, 1.2, Solid(kInk));
}

void TwoImages(const Pen& p) {
  p.rect(3, 5, 19, 21, 2, p.lin(3, 5, kBlueLight, 19, 21, kBlue));
  p.frame(3, 5, 19, 21, 2, 1, Solid(kBlueDark));
  p.rect(11, 11, 27, 27, 2, p.lin(11, 11, kRedLight, 27, 27, kRed), 0.88);
  p.frame(11, 11, 27, 27, 2, 1, Solid(kRedDark));
}

void Badge(const Pen& p, Rgbf colour) {
  p.circle(24.5, 8, 7.3, Solid(kWhiteF));
  p.circle(24.5, 8, 6.3, Solid(colour));
}

void IconAdd(const Pen& p) {
  TwoImages(p);
  Badge(p, kGreen);
  p.line(21, 8, 28, 8, 2.2, Solid(kWhiteF));
  p.line(24.5, 4.5, 24.5, 11.5, 2.2, Solid(kWhiteF));
}

void IconSubtract(const Pen& p) {
  TwoImages(p);
  Badge(p, kOrange);
  p.line(21, 8, 28, 8, 2.2, Solid(kWhiteF));
}

void IconText(const Pen& p) {
  p.stroke({{4.5, 27}, {12, 5}, {19.5, 27}}, 3.4, Solid(kInk));
  p.line(8, 19.5, 16, 19.5, 2.6, Solid(kInk));
  p.line(25.5, 6, 25.5, 28, 1.6, Solid(kBlue));
  p.line(22.5, 6, 28.5, 6, 1.5, Solid(kBlue));
  p.line(22.5, 28, 28.5, 28, 1.5, Solid(kBlue));
}

void Magnifier(const Pen& p, bool plus) {
  p.line(19.5, 19.5, 28, 28, 4.6, Solid(kInk));
  p.circle(13, 13, 9, p.radial(10.5, 10, 11, kGlass, Hex(0x9CC9F5)));
  p.stroke(Arc(13, 13, 6, 6, 100, 170, 12), 1.3, Solid(kWhiteF), false, 0.9);
  p.ring(13, 13, 9, 2.6, Solid(Hex(0x4A5568)));
  p.line(9, 13, 17, 13, 2.3, Solid(kBlueDark));
  if (plus) p.line(13, 9, 13, 17, 2.3, Solid(kBlueDark));
}

void IconZoom(const Pen& p) { Magnifier(p, true); }
void IconShrink(const Pen& p) { Magnifier(p, false); }

void IconRotate(const Pen& p) {
  p.rect(11, 11, 21, 21, 1, p.lin(11, 11, kBlueLight, 21, 21, kBlue));
  p.frame(11, 11, 21, 21, 1, 1, Solid(kBlueDark));
  // Clockwise: the arc runs with falling angle and ends on the left, heading up.
  p.stroke(Arc(16, 16, 11.5, 11.5, 95, -188, 64), 2.8, Solid(kGreen));
  const double a = -195 * kPi / 180;
  const double x = 16 + 11.5 * std::cos(a), y = 16 - 11.5 * std::sin(a);
  Head(p, x + 1.2 * std::sin(a), y + 1.2 * std::cos(a), std::sin(a), std::cos(a), 4.8, Solid(kGreen));
}

void IconStretch(const Pen& p) {
  p.poly({{13, 22}, {19, 22}, {20.5, 27}, {11.5, 27}}, Solid(kGrey));
  p.rect(8.5, 26.5, 23.5, 29.5, 1, Solid(Hex(0x4A5568)));
  p.rect(3, 3.5, 29, 23, 1.8, Solid(kInk));
  p.rect(5, 5.5, 27, 21, 0.6, p.lin(5, 5.5, kBlueLight, 27, 21, kBlue));
  const double cx = 16, cy = 13.25;
  const Pt corners[4] = {{7.5, 8}, {24.5, 8}, {7.5, 18.5}, {24.5, 18.5}};
  for (const Pt& c : corners) {
    const double dx = c.x - cx, dy = c.y - cy;
    p.line(cx + dx * 0.25, cy + dy * 0.25, c.x - dx * 0.2, c.y - dy * 0.2, 1.4, Solid(kWhiteF));
    Head(p, c.x, c.y, dx, dy, 3.2, Solid(kWhiteF));
  }
}

void IconHelp(const Pen& p) {
  p.circle(16, 16, 13.5, p.radial(12, 10, 18, kBlueLight, kBlue));
  p.ring(16, 16, 13.5, 1.2, Solid(kBlueDark));
  std::vector<Pt> q = Arc(16, 11.5, 4.8, 4.5, 165, -60, 32);
  q.push_back({16, 17.5});
  q.push_back({16, 19});
  p.stroke(q, 3.2, Solid(kWhiteF));
  p.circle(16, 23.8, 2, Solid(kWhiteF));
}

using IconFn = void (*)(const Pen&);

// Large table order: open, open second, save, histogram, invert, pseudocolour,
// add, subtract, text, zoom, shrink, rotate, stretch, help.
constexpr std::array<IconFn, kToolbarImages> kLargeOrder = {
    IconOpen,     IconOpenSecond, IconSave, IconHistogram, IconInvert, IconPseudocolour, IconAdd,
    IconSubtract, IconText,       IconZoom, IconShrink,    IconRotate, IconStretch,      IconHelp};
// The small table lists open, save, histogram and help first.
constexpr std::array<IconFn, kToolbarImages> kSmallOrder = {
    IconOpen, IconSave,     IconHistogram, IconHelp, IconInvert, IconPseudocolour, IconOpenSecond,
    IconAdd,  IconSubtract, IconText,      IconZoom, IconShrink, IconRotate,       IconStretch};

Raster DrawStrip(const std::array<IconFn, kToolbarImages>& order, int size) {
  Raster r(size * kToolbarImages, size);
  for (int i = 0; i < kToolbarImages; ++i) order[i](Pen{&r, static_cast<double>(i * size), 0, size / 32.0});
  return r;
}

// ---- the application icon ----------------------------------------------------

// A red cell: pale centre, darker rim, the shape of a biconcave disc from above.
Shade CellShade(Pt c, double rx, double ry, double angle) {
  const double co = std::cos(angle), si = std::sin(angle);
  return [=](double x, double y) {
    const double u = ((x - c.x) * co + (y - c.y) * si) / rx;
    const double v = (-(x - c.x) * si + (y - c.y) * co) / ry;
    const double t = std::sqrt(u * u + v * v);
    if (t < 0.3) return kCellPale;
    if (t < 0.62) return Mix(kCellPale, kCellMid, (t - 0.3) / 0.32);
    return Mix(kCellMid, kCellRim, (t - 0.62) / 0.38);
  };
}

Raster DrawIcon(int size) {
  Raster r(size, size);
  const Pen p{&r, 0, 0, size / 32.0};
  p.circle(13, 13, 11.5, CellShade(p.P(13, 13), 11.5 * p.s, 11.5 * p.s, 0));
  p.circle(13, 13, 4.8, p.radial(13, 13, 4.8, kCellPale, kCellMid), 0.9);
  p.ring(13, 13, 11.5, 1, Solid(kRedDark), 0.8);
  p.line(24.5, 24.5, 30.5, 30.5, 3.8, Solid(kInk));
  p.circle(20.5, 20.5, 8, Solid(kGlass), 0.55);
  p.stroke(Arc(20.5, 20.5, 5.5, 5.5, 100, 165, 10), 1.2, Solid(kWhiteF), false, 0.9);
  p.ring(20.5, 20.5, 8, 2.3, Solid(kInk));
  return r;
}

// ---- the About picture ---------------------------------------------------------

// A small deterministic generator, so the picture is the same on every build.
class Lcg {
 public:
  explicit Lcg(std::uint32_t seed) : state_(seed) {}
  double next() {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) / 16777216.0;
  }
  double range(double a, double b) { return a + (b - a) * next(); }

 private:
  std::uint32_t state_;
};

void RedCell(const Pen& p, double cx, double cy, double rx, double ry, double angle) {
  p.ellipse(cx + 2.5, cy + 3.5, rx, ry, angle, Solid(Hex(0x6B2737)), 0.14);
  p.ellipse(cx, cy, rx, ry, angle, CellShade(Pt{cx, cy}, rx, ry, angle));
  // Rim: the ring between the cell and a slightly smaller copy.
  const double co = std::cos(angle), si = std::sin(angle);
  p.custom(
      cx - rx - 2, cy - rx - 2, cx + rx + 2, cy + rx + 2,
      [=](double x, double y) {
        const double u = ((x - cx) * co + (y - cy) * si), v = (-(x - cx) * si + (y - cy) * co);
        const double outer = (u * u) / (rx * rx) + (v * v) / (ry * ry);
        const double inner = (u * u) / ((rx - 1.8) * (rx - 1.8)) + (v * v) / ((ry - 1.8) * (ry - 1.8));
        return outer <= 1 && inner > 1;
      },
      Solid(kRedDark), 0.55);
  std::vector<Pt> shine = Arc(cx, cy, rx * 0.72, ry * 0.72, 110, 165, 16);
  p.stroke(shine, 2.2, Solid(kWhiteF), false, 0.2);
}

void WhiteCell(const Pen& p, Lcg& rng) {
  const double cx = 378, cy = 150, rad = 64;
  p.circle(cx + 3, cy + 4, rad, Solid(Hex(0x5A3A6E)), 0.12);
  p.circle(cx, cy, rad, p.radial(cx - 15, cy - 18, rad * 1.3, Hex(0xF6EFFA), Hex(0xD8C3E9)));
  for (int i = 0; i < 70; ++i) {
    const double a = rng.range(0, 2 * kPi), d = rad * std::sqrt(rng.next()) * 0.92;
    p.circle(cx + d * std::cos(a), cy + d * std::sin(a), rng.range(1.2, 2.4), Solid(Hex(0xB48CCF)), 0.55);
  }
  p.ring(cx, cy, rad - 1, 2.2, Solid(Hex(0x9C7BB8)));
  // A lobed nucleus: three lobes joined by thick bridges.
  const Pt lobes[3] = {{cx - 24, cy + 4}, {cx + 6, cy - 22}, {cx + 16, cy + 20}};
  const double radii[3] = {24, 21, 22};
  const Shade nucleus = p.radial(cx - 10, cy - 12, 60, Hex(0x8E52B5), Hex(0x4A1F6E));
  p.stroke({lobes[0], lobes[1], lobes[2]}, 28, nucleus);
  for (int i = 0; i < 3; ++i) p.circle(lobes[i].x, lobes[i].y, radii[i], nucleus);
  for (int i = 0; i < 90; ++i) {
    const int k = i % 3;
    const double a = rng.range(0, 2 * kPi), d = radii[k] * std::sqrt(rng.next()) * 0.85;
    p.circle(lobes[k].x + d * std::cos(a), lobes[k].y + d * std::sin(a), rng.range(1.0, 2.2),
             Solid(Hex(0x3A1458)), 0.35);
  }
}

// "Optascope" in round strokes. Letters are designed with x-height 1, the
// baseline at y = 0 and y growing downwards.
struct Letter {
  double advance;
  std::vector<std::vector<Pt>> strokes;
};

Letter MakeLetter(char c) {
  switch (c) {
    case 'O':
      return {1.5, {Arc(0.68, -0.72, 0.62, 0.72, 0, 360, 72)}};
    case 'p':
      return {1.12, {{{0.0, -1.0}, {0.0, 0.48}}, Arc(0.5, -0.5, 0.46, 0.5, 0, 360, 60)}};
    case 't':
      return {0.78,
              {{{0.24, -1.38}, {0.24, -0.22}, {0.3, -0.06}, {0.44, 0.0}, {0.6, -0.03}},
               {{0.0, -1.0}, {0.56, -1.0}}}};
    case 'a':
      return {1.12, {Arc(0.46, -0.5, 0.46, 0.5, 0, 360, 60), {{0.92, -1.0}, {0.92, 0.0}}}};
    case 's': {
      std::vector<Pt> s = Arc(0.36, -0.75, 0.32, 0.25, 25, 270, 30);
      const std::vector<Pt> lower = Arc(0.36, -0.25, 0.34, 0.25, 90, -155, 30);
      s.insert(s.end(), lower.begin() + 1, lower.end());
      return {0.86, {s}};
    }
    case 'c':
      return {1.0, {Arc(0.48, -0.5, 0.46, 0.5, 40, 320, 50)}};
    case 'o':
      return {1.06, {Arc(0.48, -0.5, 0.46, 0.5, 0, 360, 60)}};
    case 'e': {
      std::vector<Pt> e = {{0.04, -0.5}, {0.92, -0.5}};
      const std::vector<Pt> bowl = Arc(0.48, -0.5, 0.46, 0.5, 0, 318, 56);
      e.insert(e.end(), bowl.begin() + 1, bowl.end());
      return {1.06, {e}};
    }
    default:
      return {0.6, {}};
  }
}

void Title(const Pen& p, std::string_view text, double centreX, double baseline, double xHeight) {
  const double gap = 0.2;
  double width = 0;
  for (char c : text) width += MakeLetter(c).advance + gap;
  width -= gap;
  const double left = centreX - width * xHeight / 2;
  const Shade ink = p.lin(left, 0, kRedDark, left + width * xHeight, 0, kBlueDark);
  for (int pass = 0; pass < 2; ++pass) {
    double x = left;
    for (char c : text) {
      const Letter l = MakeLetter(c);
      for (const auto& s : l.strokes) {
        std::vector<Pt> pts;
        for (const Pt& q : s) pts.push_back(Pt{x + q.x * xHeight, baseline + q.y * xHeight});
        if (pass == 0)
          p.stroke(pts, xHeight * 0.17 + 7, Solid(kWhiteF), false, 0.9);  // halo
        else
          p.stroke(pts, xHeight * 0.17, ink);
      }
      x += (l.advance + gap) * xHeight;
    }
  }
}

}  // namespace

Surface appIcon(int size) {
  Surface s;
  ByteMatrix a;
  if (size > 0 && size <= 1024) DrawIcon(size).keyed(s, a);
  return s;
}

ByteMatrix appIconAlpha(int size) {
  Surface s;
  ByteMatrix a;
  if (size > 0 && size <= 1024) DrawIcon(size).keyed(s, a);
  return a;
}

Surface largeToolbarStrip() {
  Surface s;
  ByteMatrix a;
  DrawStrip(kLargeOrder, 32).keyed(s, a);
  return s;
}

ByteMatrix largeToolbarAlpha() {
  Surface s;
  ByteMatrix a;
  DrawStrip(kLargeOrder, 32).keyed(s, a);
  return a;
}

Surface smallToolbarStrip() {
  Surface s;
  ByteMatrix a;
  DrawStrip(kSmallOrder, 16).keyed(s, a);
  return s;
}

ByteMatrix smallToolbarAlpha() {
  Surface s;
  ByteMatrix a;
  DrawStrip(kSmallOrder, 16).keyed(s, a);
  return a;
}

static Surface DrawAboutPicture() {
  Raster r(kAboutWidth, kAboutHeight);
  const Pen p{&r, 0, 0, 1};
  p.rect(0, 0, kAboutWidth, kAboutHeight, 0,
         p.lin(0, 0, Hex(0xFCF1EC), kAboutWidth, kAboutHeight, Hex(0xF0D9E4)));

  // Red cells scattered over the smear, kept clear of the white cell.
  Lcg rng(191);
  std::vector<std::array<double, 3>> placed;
  for (int tries = 0; tries < 4000 && placed.size() < 34; ++tries) {
    const double rad = rng.range(27, 34);
    const double x = rng.range(-10, kAboutWidth + 10), y = rng.range(-10, kAboutHeight + 10);
    if (std::hypot(x - 378, y - 150) < 64 + rad + 6) continue;
    bool clear = true;
    for (const auto& c : placed) clear = clear && std::hypot(x - c[0], y - c[1]) > (rad + c[2]) * 0.92;
    if (!clear) continue;
    placed.push_back({x, y, rad});
    RedCell(p, x, y, rad, rad * rng.range(0.86, 0.98), rng.range(0, kPi));
  }
  Lcg granules(7);
  WhiteCell(p, granules);
  // A few platelets.
  for (int i = 0; i < 7; ++i) {
    const double x = rng.range(20, kAboutWidth - 20), y = rng.range(20, 300);
    p.ellipse(x, y, rng.range(3.5, 6), rng.range(2.5, 4), rng.range(0, kPi), Solid(Hex(0x9B6BB8)), 0.85);
  }

  // The name on a soft panel, inside the middle band that the About box's
  // centred, cut view of the picture shows, and above the rows its OK button
  // covers (from y = 359 down, x = 211 to 285).
  p.rect(54, 232, kAboutWidth - 54, 352, 16, Solid(kWhiteF), 0.86);
  p.frame(54, 232, kAboutWidth - 54, 352, 16, 1.5, Solid(Hex(0xC9A3B5)));
  Title(p, "Optascope", kAboutWidth / 2.0, 298, 34);

  Surface s = r.flatten(kWhiteF);
  const std::string_view line = "Bio-Medical image analysis of blood smears";
  s.dc().transparent = true;
  s.dc().textColour = kAboutTaglineColour;
  s.drawText((kAboutWidth - s.measureText(line).width) / 2, 326, line);
  s.takeDirty();
  return s;
}

Surface aboutPicture() {
  // Painted once: the About box may be opened many times.
  static const Surface picture = DrawAboutPicture();
  Surface copy;
  if (copy.allocate(picture.width(), picture.height())) {
    copy.copyFrom(picture, 0, 0, 0, 0, picture.width(), picture.height());
    copy.takeDirty();
  }
  return copy;
}

}  // namespace opta::resources
