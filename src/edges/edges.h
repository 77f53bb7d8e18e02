#pragma once
// The edge and feature detectors. Each reads the 3x3 neighbourhood of every
// interior pixel of the PixelMatrix, paints the window white over the screen
// first, and writes the interior to both surfaces; the outermost rows and
// columns of the memory surface keep what they showed.
#include <array>

#include "core/canvas.h"
#include "core/geometry.h"
#include "core/mask.h"
#include "core/matrix.h"

namespace opta {

using CompassMasks = std::array<Mask3, 8>;

// Rows as the tables print them (see core/mask.h for the layout).
inline constexpr CompassMasks kKirschMasks{{
    {{5, 5, 5, -3, 0, -3, -3, -3, -3}},
    {{-3, 5, 5, -3, 0, 5, -3, -3, -3}},
    {{-3, -3, 5, -3, 0, 5, -3, -3, 5}},
    {{-3, -3, -3, -3, 0, 5, -3, 5, 5}},
    {{-3, -3, -3, -3, 0, -3, 5, 5, 5}},
    {{-3, -3, -3, 5, 0, -3, 5, 5, -3}},
    {{5, -3, -3, 5, 0, -3, 5, -3, -3}},
    {{5, 5, -3, 5, 0, -3, -3, -3, -3}},
}};
inline constexpr CompassMasks kPrewittMasks{{
    {{1, 1, 1, 1, -2, 1, -1, -1, -1}},
    {{1, 1, 1, 1, -2, -1, 1, -1, -1}},
    {{1, 1, -1, 1, -2, -1, 1, 1, -1}},
    {{1, -1, -1, 1, -2, -1, 1, 1, 1}},
    {{-1, -1, -1, 1, -2, 1, 1, 1, 1}},
    {{-1, -1, 1, -1, -2, 1, 1, 1, 1}},
    {{-1, 1, 1, -1, -2, 1, -1, 1, 1}},
    {{1, 1, 1, -1, -2, 1, -1, -1, 1}},
}};
inline constexpr Mask3 kQuickMask{{-1, 0, -1, 0, 4, 0, -1, 0, -1}};

// The geometric detection mask of a dialog 116 radio id; an id outside
// 1010..1014 gives the point mask.
Mask3 GeometricMask(int choice);

// The compass detectors' black-and-white decision on their final sums:
// 0.3 R + 0.6 G + 0.11 B in double, white from 128 on.
bool CompassWhite(int red, int green, int blue);

// screen: the primary display's size, the area painted white.
void HomogeneityEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen);
void DifferenceEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen);
void VarianceEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen);
void QuickEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen, const Mask3& mask);
void KirschEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen, const CompassMasks& masks);
void PrewittEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen, const CompassMasks& masks);
void GeometricDetect(Canvas& canvas, const PixelMatrix& pixels, Size screen, const Mask3& mask);

// The same detectors written straight from their rules: x outer, y inner,
// one write per pixel in each surface, in the order each rule gives.
namespace reference {
void HomogeneityEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen);
void DifferenceEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen);
void VarianceEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen);
void QuickEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen, const Mask3& mask);
void KirschEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen, const CompassMasks& masks);
void PrewittEdge(Canvas& canvas, const PixelMatrix& pixels, Size screen, const CompassMasks& masks);
void GeometricDetect(Canvas& canvas, const PixelMatrix& pixels, Size screen, const Mask3& mask);
}  // namespace reference

}  // namespace opta
