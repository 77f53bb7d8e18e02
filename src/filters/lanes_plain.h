#pragma once
// One lane of each kind the row kernels work on: a packed colour, a pixel's
// four channels as 16-bit numbers, one double. The plain row kernels run on
// these alone; the vector forms use them for ranges shorter than a vector.
#include <algorithm>
#include <cstdint>

#include "filters/divider.h"
#include "filters/root_table.h"

namespace opta::filters::plain {

// Packed colours as unsigned 32-bit numbers (blue decides first).
struct U32 {
  using T = std::uint32_t;
  static constexpr int kLanes = 1;
  static T Load(const std::uint32_t* p) { return *p; }
  static void Store(std::uint32_t* p, T v) { *p = v; }
  static T Min(T a, T b) { return a < b ? a : b; }
  static T Max(T a, T b) { return a < b ? b : a; }
  static T MinBytes(T a, T b) {
    return Bytewise(a, b, [](T x, T y) { return std::min(x, y); });
  }
  static T MaxBytes(T a, T b) {
    return Bytewise(a, b, [](T x, T y) { return std::max(x, y); });
  }
  // Per channel floor((lo + hi) / 2): the common bits plus half the others,
  // with no carry from one byte into the next.
  static T MidBytes(T lo, T hi) { return (lo & hi) + (((lo ^ hi) >> 1) & 0x7F7F7F7Fu); }
  static T Colour24(T v) { return v & 0xFFFFFFu; }

 private:
  template <class F>
  static T Bytewise(T a, T b, F f) {
    T out = 0;
    for (int s = 0; s < 32; s += 8) out |= f((a >> s) & 0xFFu, (b >> s) & 0xFFu) << s;
    return out;
  }
};

// One pixel's channels (red, green, blue, top byte) as 16-bit numbers.
struct W16 {
  struct T {
    std::uint16_t c[4];
  };
  static constexpr int kLanes = 1;  // pixels
  static T Widen(const std::uint32_t* p) {
    const std::uint32_t v = *p;
    return T{{static_cast<std::uint16_t>(v & 0xFF), static_cast<std::uint16_t>((v >> 8) & 0xFF),
              static_cast<std::uint16_t>((v >> 16) & 0xFF), static_cast<std::uint16_t>(v >> 24)}};
  }
  static T Load(const std::uint16_t* p) { return T{{p[0], p[1], p[2], p[3]}}; }
  static void Store(std::uint16_t* p, T v) { std::copy(v.c, v.c + 4, p); }
  static T Zero() { return T{}; }
  static T Add(T a, T b) {
    return Each(a, b, [](unsigned x, unsigned y) { return x + y; });
  }
  // The low 16 bits of the product, as the vector multiply keeps them.
  static T MulLo(T a, std::int16_t k) {
    return Each(a, a, [k](unsigned x, unsigned) { return x * static_cast<std::uint16_t>(k); });
  }
  static T MulHi(T a, std::uint16_t m) {
    return Each(a, a, [m](unsigned x, unsigned) { return (x * m) >> 16; });
  }
  static T Shr(T a, int s) {
    return Each(a, a, [s](unsigned x, unsigned) { return x >> s; });
  }
  // The channels read as signed and clamped to 0..255; the top byte is dropped.
  static void StoreBytes(std::uint32_t* p, T v) {
    auto clamp = [](std::uint16_t x) {
      const int s = static_cast<std::int16_t>(x);
      return static_cast<std::uint32_t>(s < 0 ? 0 : (s > 255 ? 255 : s));
    };
    *p = clamp(v.c[0]) | clamp(v.c[1]) << 8 | clamp(v.c[2]) << 16;
  }

 private:
  template <class F>
  static T Each(T a, T b, F f) {
    T out;
    for (int i = 0; i < 4; ++i) out.c[i] = static_cast<std::uint16_t>(f(a.c[i], b.c[i]));
    return out;
  }
};

struct F64 {
  using T = double;
  static constexpr int kLanes = 1;
  static T Load(const double* p) { return *p; }
  static void Store(double* p, T v) { *p = v; }
  static T Set1(double v) { return v; }
  static T Add(T a, T b) { return a + b; }
  static T Mul(T a, T b) { return a * b; }
  static T Div(T a, T b) { return a / b; }
  // Neither a zero denominator nor a ratio that is no number.
  static bool Ordinary(T den, T ratio) { return den != 0 && ratio == ratio; }
  static void StoreRoot(int* out, T p, const RootTable& roots) { *out = roots.root(p); }
  // A channel from a ratio of 0 or more: 255 from 255 up, else truncated.
  static void StoreChannel(int* out, T v) { *out = v >= 255 ? 255 : static_cast<int>(v); }
};

}  // namespace opta::filters::plain
