#pragma once
// Erosion, dilation, their repetitions and the two outlines, with a 3x3
// structuring element. Built for dark objects on a white background. Each
// pass builds a full result matrix, replicates its border bands, and the
// interior of the last one (or its difference from the picture) goes to
// both surfaces; the PixelMatrix is never written.
#include "core/canvas.h"
#include "core/mask.h"
#include "core/matrix.h"
#include "document/document.h"

namespace opta {

// The element of a dialog 115 radio id (1018..1021); positions whose value
// is exactly 1 belong to it. Any other id gives the horizontal element.
Mask3 ShapeElement(int choice);

// Opening and Closing run this many passes for a dialog count.
int PassCount(int count);

// The result matrices come from the scratch store: one slot, two for
// repeated passes. Without the memory nothing is drawn.
void MorphErosion(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, ScratchStore& scratch);
void MorphDilation(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, ScratchStore& scratch);
void MorphOpening(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, int count,
                  ScratchStore& scratch);
void MorphClosing(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, int count,
                  ScratchStore& scratch);
void InteriorOutline(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, ScratchStore& scratch);
void ExteriorOutline(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, ScratchStore& scratch);

// Written straight from the rules, with matrices of their own.
namespace reference {
void MorphErosion(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element);
void MorphDilation(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element);
void MorphOpening(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, int count);
void MorphClosing(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element, int count);
void InteriorOutline(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element);
void ExteriorOutline(Canvas& canvas, const PixelMatrix& pixels, const Mask3& element);
}  // namespace reference

}  // namespace opta
