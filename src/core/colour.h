#pragma once
// Colour values as the screen hands them out: red in bits 0-7, green 8-15,
// blue 16-23, zero on top. Every family splits, computes and packs through here.
#include <cstdint>

namespace opta {

using Colour = std::uint32_t;

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0x000000;

constexpr int Red(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int Green(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int Blue(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }
// Channel i of a colour: 0 red, 1 green, 2 blue.
constexpr int Channel(Colour c, int i) { return static_cast<int>((c >> (8 * i)) & 0xFF); }

// Channels must already be 0..255.
constexpr Colour Rgb(int r, int g, int b) {
  return static_cast<Colour>(r) | static_cast<Colour>(g) << 8 | static_cast<Colour>(b) << 16;
}

constexpr int ClampChannel(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

constexpr Colour RgbClamped(int r, int g, int b) {
  return Rgb(ClampChannel(r), ClampChannel(g), ClampChannel(b));
}

// Drops whatever sits in bits 24-31, as writing a pixel does.
constexpr Colour Colour24(Colour c) { return c & 0xFFFFFF; }

// The program's gray level: each weighted channel is a double product
// truncated on its own, then the three integers are added (white gives 254).
inline int GrayLevel(int r, int g, int b) {
  return static_cast<int>(r * 0.3) + static_cast<int>(g * 0.59) + static_cast<int>(b * 0.11);
}
inline int GrayLevel(Colour c) { return GrayLevel(Red(c), Green(c), Blue(c)); }

// The same three truncated products as tables, for pixel loops. Built from
// GrayLevel's own expressions, so the two can never disagree.
struct GrayTables {
  std::int32_t red[256], green[256], blue[256];
};
const GrayTables& grayTables();

inline int GrayLevelFast(Colour c) {
  const GrayTables& t = grayTables();
  return t.red[Red(c)] + t.green[Green(c)] + t.blue[Blue(c)];
}

// The mean-intensity variant: each product rounded to single precision, the
// sum rounded to single precision, clamped to 0..255 (white gives 255).
float GrayLevelSingle(int r, int g, int b);
inline float GrayLevelSingle(Colour c) { return GrayLevelSingle(Red(c), Green(c), Blue(c)); }

}  // namespace opta
