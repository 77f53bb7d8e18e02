#pragma once
// Pictures the program draws itself: the application icon 191, the two
// toolbar strips (bitmaps 10 and 8) and the About picture "MYBP2". They are
// painted from shapes in code, antialiased by supersampling, so nothing is
// loaded from disk and every build shows the same pixels.
//
// Transparency: the icon and the toolbar strips come with an alpha mask of the
// same size (0 clear, 255 opaque, in between an antialiased edge). In the
// colour surface every fully clear pixel holds kImageKey, so a layer without
// alpha support can key on that colour instead; partly covered pixels hold
// the shape's own colour, not a blend with the key. The About picture is opaque.
#include "core/colour.h"
#include "core/matrix.h"
#include "core/surface.h"

namespace opta::resources {

inline constexpr Colour kImageKey = Rgb(255, 0, 255);

inline constexpr int kToolbarImages = 14;
inline constexpr int kAboutWidth = 515;
inline constexpr int kAboutHeight = 454;
// The one colour of the About picture's tagline under the program's name.
inline constexpr Colour kAboutTaglineColour = Rgb(0x4A, 0x55, 0x68);

// Icon 191 at size x size pixels (32 and 16 are the sizes the program uses).
Surface appIcon(int size);
ByteMatrix appIconAlpha(int size);

// Bitmap 10: 14 images of 32 x 32 side by side (448 x 32), in the order of
// the large toolbar table.
Surface largeToolbarStrip();
ByteMatrix largeToolbarAlpha();

// Bitmap 8: 14 images of 16 x 16 side by side (224 x 16), in the order of the
// small toolbar table, which differs from the large one.
Surface smallToolbarStrip();
ByteMatrix smallToolbarAlpha();

// "MYBP2": red cells, a white cell and the program's name, 515 x 454.
Surface aboutPicture();

}  // namespace opta::resources
