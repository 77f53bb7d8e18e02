#pragma once
// Point operations, colour components, false colour and slicing. Each reads
// the PixelMatrix (its width and height are the image's) and writes every
// result pixel through the canvas; none of them touches the matrix, so they
// never accumulate.
#include "core/canvas.h"
#include "core/matrix.h"

namespace opta {

// An inclusive level range as typed into a slicing dialog; any signed value.
struct LevelRange {
  int lo = 0;
  int hi = 0;
};

// A slice colour as typed: signed components, clamped only when written.
struct SliceColour {
  int red = 0;
  int green = 0;
  int blue = 0;
};

struct ThreeSlices {
  LevelRange range[3];
  SliceColour colour[3];
};

struct TwoSlices {
  LevelRange range[2];
  SliceColour colour[2];
};

struct OneSlice {
  LevelRange range;
  SliceColour colour;
};

// An RGB box: a pixel is inside when each channel lies in its range.
struct ColourBox {
  LevelRange red, green, blue;
};

struct ColourSliceParams {
  ColourBox box;
  int backgroundMode = 2;  // 1 white, anything else gray
};

struct ObjectColourParams {
  ColourBox box;
  SliceColour manual;
  int replaceMode = 2;  // 1..6; anything else paints the manual colour
};

void InvertImage(Canvas& canvas, const PixelMatrix& pixels);
void EmbossImage(Canvas& canvas, const PixelMatrix& pixels);
void SolarizeImage(Canvas& canvas, const PixelMatrix& pixels);
void GrayScaleImage(Canvas& canvas, const PixelMatrix& pixels);
void BrightenImage(Canvas& canvas, const PixelMatrix& pixels, int amount);
void DarkenImage(Canvas& canvas, const PixelMatrix& pixels, int amount);

void RedComponent(Canvas& canvas, const PixelMatrix& pixels);
void GreenComponent(Canvas& canvas, const PixelMatrix& pixels);
void BlueComponent(Canvas& canvas, const PixelMatrix& pixels);
void FalseColour1(Canvas& canvas, const PixelMatrix& pixels);  // (g, b, r)
void FalseColour2(Canvas& canvas, const PixelMatrix& pixels);  // (b, r, g)
void FalseColour3(Canvas& canvas, const PixelMatrix& pixels);  // (b, g, r)

void StaticIntensitySlicing(Canvas& canvas, const PixelMatrix& pixels, const ThreeSlices& p);
void IncrementalIntensitySlicing(Canvas& canvas, const PixelMatrix& pixels, const ThreeSlices& p);
void ImageSlicing(Canvas& canvas, const PixelMatrix& pixels, const OneSlice& p);
void IntensitySlicing2(Canvas& canvas, const PixelMatrix& pixels, const TwoSlices& p);
void ColorSlicing(Canvas& canvas, const PixelMatrix& pixels, const ColourSliceParams& p);
void ObjectColorChange(Canvas& canvas, const PixelMatrix& pixels, const ObjectColourParams& p);

// The same operations written straight from their rules: x outer, y inner,
// one Canvas::put per pixel. The fast forms are tested against these.
namespace reference {
void InvertImage(Canvas& canvas, const PixelMatrix& pixels);
void EmbossImage(Canvas& canvas, const PixelMatrix& pixels);
void SolarizeImage(Canvas& canvas, const PixelMatrix& pixels);
void GrayScaleImage(Canvas& canvas, const PixelMatrix& pixels);
void BrightenImage(Canvas& canvas, const PixelMatrix& pixels, int amount);
void DarkenImage(Canvas& canvas, const PixelMatrix& pixels, int amount);
void RedComponent(Canvas& canvas, const PixelMatrix& pixels);
void GreenComponent(Canvas& canvas, const PixelMatrix& pixels);
void BlueComponent(Canvas& canvas, const PixelMatrix& pixels);
void FalseColour1(Canvas& canvas, const PixelMatrix& pixels);
void FalseColour2(Canvas& canvas, const PixelMatrix& pixels);
void FalseColour3(Canvas& canvas, const PixelMatrix& pixels);
void StaticIntensitySlicing(Canvas& canvas, const PixelMatrix& pixels, const ThreeSlices& p);
void IncrementalIntensitySlicing(Canvas& canvas, const PixelMatrix& pixels, const ThreeSlices& p);
void ImageSlicing(Canvas& canvas, const PixelMatrix& pixels, const OneSlice& p);
void IntensitySlicing2(Canvas& canvas, const PixelMatrix& pixels, const TwoSlices& p);
void ColorSlicing(Canvas& canvas, const PixelMatrix& pixels, const ColourSliceParams& p);
void ObjectColorChange(Canvas& canvas, const PixelMatrix& pixels, const ObjectColourParams& p);
}  // namespace reference

}  // namespace opta
