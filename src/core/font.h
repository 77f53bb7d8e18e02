#pragma once
// A logical font as the font chooser fills it. All zero means the default font.
#include <string>

namespace opta {

struct FontDesc {
  std::string face;  // empty: the default face
  int height = 0;    // pixels; 0: the default size
  int weight = 0;    // 0 default, 400 normal, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  friend bool operator==(const FontDesc&, const FontDesc&) = default;
};

}  // namespace opta
