#pragma once
// Geometric transforms: rotations, flips, shear, double skew, zooms and
// shrinks. Each reads the PixelMatrix, paints its white area on the window,
// and writes its result through the canvas: the window keeps what fits the
// client area, the memory surface what fits the image; nothing else changes.
#include "core/canvas.h"
#include "core/geometry.h"
#include "core/matrix.h"

namespace opta {

void RotateImage90(Canvas& canvas, const PixelMatrix& pixels, Size screen);
void RotateImage180(Canvas& canvas, const PixelMatrix& pixels);
void RotateImage270(Canvas& canvas, const PixelMatrix& pixels);
void FlipHorizontal(Canvas& canvas, const PixelMatrix& pixels);  // upside down
void FlipVertical(Canvas& canvas, const PixelMatrix& pixels);    // left and right exchanged
void ShearImage(Canvas& canvas, const PixelMatrix& pixels);
void DoubleSkewImage(Canvas& canvas, const PixelMatrix& pixels);

void ZoomReplicate(Canvas& canvas, const PixelMatrix& pixels, int factor);  // 2 or 4
void NormalSize(Canvas& canvas, const PixelMatrix& pixels);
void ZoomInterpolate(Canvas& canvas, const PixelMatrix& pixels, int factor);  // 2 or 4
void ShrinkCorner(Canvas& canvas, const PixelMatrix& pixels, int factor, Size screen);
void ShrinkMedian(Canvas& canvas, const PixelMatrix& pixels, Size screen);
void ShrinkAverage(Canvas& canvas, const PixelMatrix& pixels, Size screen);

// The same transforms written straight from their rules: a temporary result
// matrix of the full result size, filled pixel by pixel, then written out in
// column order. They are the yardstick the fast forms are tested against.
namespace reference {
void RotateImage90(Canvas& canvas, const PixelMatrix& pixels, Size screen);
void RotateImage180(Canvas& canvas, const PixelMatrix& pixels);
void RotateImage270(Canvas& canvas, const PixelMatrix& pixels);
void FlipHorizontal(Canvas& canvas, const PixelMatrix& pixels);
void FlipVertical(Canvas& canvas, const PixelMatrix& pixels);
void ShearImage(Canvas& canvas, const PixelMatrix& pixels);
void DoubleSkewImage(Canvas& canvas, const PixelMatrix& pixels);
void ZoomReplicate(Canvas& canvas, const PixelMatrix& pixels, int factor);
void NormalSize(Canvas& canvas, const PixelMatrix& pixels);
void ZoomInterpolate(Canvas& canvas, const PixelMatrix& pixels, int factor);
void ShrinkCorner(Canvas& canvas, const PixelMatrix& pixels, int factor, Size screen);
void ShrinkMedian(Canvas& canvas, const PixelMatrix& pixels, Size screen);
void ShrinkAverage(Canvas& canvas, const PixelMatrix& pixels, Size screen);
}  // namespace reference

}  // namespace opta
