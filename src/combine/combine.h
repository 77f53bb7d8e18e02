#pragma once
// The two-image operations: the working image (first) combined with the
// second image pixel by pixel. The two may differ in size; each pixel's
// result depends on which image covers it (both, one, neither), so neither
// matrix is ever read outside its own width and height. Each operation
// paints the window white over the screen, then writes the result over the
// combined area (max width x max height) to both surfaces; the memory
// surface keeps the first image's size and so keeps only that part.
#include "core/canvas.h"
#include "core/geometry.h"
#include "core/matrix.h"

namespace opta {

using CombineOp = void (*)(Canvas&, const PixelMatrix& first, const PixelMatrix& second, Size screen);

void AddImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void SubtractImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void AndImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void OrImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void XorImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void NandImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void NorImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void NotImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void LessOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void GreaterOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void AverageOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void MatchOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
// These two visit the first image's area only.
void NonZeroOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void ZeroOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);

// The same operations written straight from their region rules: the white
// screen, then x outer, y inner, one Canvas::put per pixel.
namespace reference {
void AddImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void SubtractImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void AndImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void OrImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void XorImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void NandImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void NorImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void NotImages(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void LessOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void GreaterOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void AverageOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void MatchOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void NonZeroOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
void ZeroOverlay(Canvas& canvas, const PixelMatrix& first, const PixelMatrix& second, Size screen);
}  // namespace reference

}  // namespace opta
