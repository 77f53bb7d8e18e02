#pragma once
// Picture files besides BMP, for the batch mode: PNG, TIFF and JPEG through
// libpng, libtiff and libjpeg. Each becomes 8-bit colours by one conversion:
// - 16-bit samples keep their top byte (0x1234 reads as 0x12);
// - gray becomes equal red, green and blue; TIFF's white-is-zero gray is
//   inverted first;
// - palettes are looked up (a 16-bit TIFF palette by its top bytes);
// - alpha and other extra samples are dropped, not blended;
// - no gamma, colour profile or orientation tag is applied.
// The desktop program's Open reads BMP only and does not use this.
#include <cstdint>
#include <span>
#include <string>

#include "core/surface.h"

namespace opta {

enum class PictureFormat { Bmp, Png, Tiff, Jpeg, Unknown };

// The format by the file's first bytes (at least 8 wanted).
PictureFormat SniffPictureFormat(std::span<const std::uint8_t> head);
PictureFormat SniffPictureFile(const std::string& path);

// Decodes a PNG, TIFF or JPEG file into out (its size becomes the
// picture's). False, with a one-line reason in error, when it cannot.
bool ReadPicture(const std::string& path, Surface& out, std::string& error);

}  // namespace opta
