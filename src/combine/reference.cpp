// The two-image operations written straight from their region rules, pixel
// by pixel, x outer and y inner, each result written through Canvas::put.
#include <algorithm>
#include <cstdlib>

#include "combine/combine.h"

namespace opta::reference {

namespace {

// The colour a pixel shows, without whatever sits in the top byte.
Colour Plain(Colour c) { return Rgb(Red(c), Green(c), Blue(c)); }

bool IsWhite(Colour c) { return Red(c) == 255 && Green(c) == 255 && Blue(c) == 255; }
bool IsBlack(Colour c) { return Red(c) == 0 && Green(c) == 0 && Blue(c) == 0; }

Colour Half(Colour c) { return Rgb(Red(c) / 2, Green(c) / 2, Blue(c) / 2); }
Colour Mean(Colour a, Colour b) {
  return Rgb((Red(a) + Red(b)) / 2, (Green(a) + Green(b)) / 2, (Blue(a) + Blue(b)) / 2);
}

// rule(inA, inB, a, b) for every pixel of the visited area; a and b read
// black where their image does not reach.
template <class Rule>
void EachPixel(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen,
               bool firstAreaOnly, Rule rule) {
  canvas.window().fillRect(0, 0, screen.width, screen.height, kWhite);
  const int w1 = first.width(), h1 = first.height(), w2 = second.width(), h2 = second.height();
  const int width = firstAreaOnly ? w1 : std::max(w1, w2);
  const int height = firstAreaOnly ? h1 : std::max(h1, h2);
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      const bool inA = x < w1 && y < h1;
      const bool inB = x < w2 && y < h2;
      const Colour a = inA ? first.at(x, y) : kBlack;
      const Colour b = inB ? second.at(x, y) : kBlack;
      canvas.put(x, y, rule(inA, inB, a, b));
    }
  }
}

}  // namespace

void AddImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, false, [](bool inA, bool inB, Colour a, Colour b) {
    if (inA && inB)
      return Rgb(std::min(Red(a) + Red(b), 255), std::min(Green(a) + Green(b), 255),
                 std::min(Blue(a) + Blue(b), 255));
    if (inA) return Plain(a);
    if (inB) return Plain(b);
    return kBlack;
  });
}

void SubtractImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, false, [](bool inA, bool inB, Colour a, Colour b) {
    if (inA && inB)
      return Rgb(std::abs(Red(a) - Red(b)), std::abs(Green(a) - Green(b)), std::abs(Blue(a) - Blue(b)));
    if (inA) return Plain(a);
    if (inB) return Plain(b);
    return kBlack;
  });
}

void AndImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, false,
            [](bool inA, bool inB, Colour a, Colour) { return inA && inB ? Plain(a) : kWhite; });
}

void OrImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, false, [](bool inA, bool inB, Colour a, Colour b) {
    if (inA) return Plain(a);
    if (inB) return Plain(b);
    return kBlack;
  });
}

void XorImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, false, [](bool inA, bool inB, Colour a, Colour b) {
    if (inA && inB) return kWhite;
    if (inA) return Plain(a);
    if (inB) return Plain(b);
    return kWhite;
  });
}

void NandImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, false, [](bool inA, bool inB, Colour a, Colour b) {
    if (inA && inB) return kWhite;
    if (inA) return Plain(a);
    if (inB) return Plain(b);
    return kBlack;
  });
}

void NorImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, false,
            [](bool inA, bool inB, Colour, Colour) { return inA && inB ? kWhite : kBlack; });
}

void NotImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, false, [](bool inA, bool inB, Colour a, Colour) {
    if (inA && inB) return kBlack;
    if (inA) return Plain(a);
    if (inB) return kBlack;
    return kWhite;
  });
}

void LessOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, false, [](bool inA, bool inB, Colour a, Colour b) {
    if (inA && inB) {
      const bool aAbove = Red(a) > Red(b) && Green(a) > Green(b) && Blue(a) > Blue(b);
      return aAbove ? Plain(a) : Plain(b);
    }
    if (inA) return Plain(a);
    if (inB) return Plain(b);
    return kBlack;
  });
}

void GreaterOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, false, [](bool inA, bool inB, Colour a, Colour b) {
    if (inA && inB) {
      const bool aBelow = Red(a) < Red(b) && Green(a) < Green(b) && Blue(a) < Blue(b);
      return aBelow ? Plain(a) : Plain(b);
    }
    if (inA) return Plain(a);
    if (inB) return Plain(b);
    return kBlack;
  });
}

void AverageOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, false, [](bool inA, bool inB, Colour a, Colour b) {
    if (inA && inB) return Mean(a, b);
    if (inA) return Half(a);
    if (inB) return Half(b);
    return kBlack;
  });
}

void MatchOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, false, [](bool inA, bool inB, Colour a, Colour b) {
    if (inA && inB) {
      const bool same = Red(a) == Red(b) && Green(a) == Green(b) && Blue(a) == Blue(b);
      return same ? kWhite : Mean(a, b);
    }
    if (inA) return IsBlack(a) ? kWhite : Half(a);
    if (inB) return IsBlack(b) ? kWhite : Half(b);
    return kWhite;
  });
}

// Where the second image does not reach, both overlays keep a: there is
// nothing to lay over the first image there.
void NonZeroOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, true, [](bool, bool inB, Colour a, Colour b) {
    if (inB && IsWhite(a)) return Plain(b);
    return Plain(a);
  });
}

void ZeroOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen) {
  EachPixel(canvas, first, second, screen, true, [](bool, bool inB, Colour a, Colour b) {
    if (!inB || IsWhite(a)) return Plain(a);
    return Plain(b);
  });
}

}  // namespace opta::reference
