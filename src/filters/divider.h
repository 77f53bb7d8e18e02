#pragma once
// Whole-number division of 16-bit channel sums by a constant, the remainder
// dropped, as multiply-high and shift: what vector units can do where they
// have no integer divide. A divider is only handed out after it has been
// checked against true division for every sum the caller can produce.
#include <cstdint>
#include <optional>

namespace opta::filters {

struct Divider16 {
  int steps = 0;  // 0: divide by 1
  std::uint16_t m[2] = {0, 0};
  int shift[2] = {0, 0};

  constexpr unsigned apply(unsigned v) const {
    for (int i = 0; i < steps; ++i) v = ((v * m[i]) >> 16) >> shift[i];
    return v;
  }
};

namespace detail {

// Multiply-high and shift never decrease as v grows, and neither does v /
// divisor, which steps up by one at each multiple: so agreeing on both
// sides of every step (and at both ends) is agreeing everywhere.
constexpr bool Exact(const Divider16& d, unsigned divisor, unsigned maxValue) {
  if (d.apply(0) != 0 || d.apply(maxValue) != maxValue / divisor) return false;
  for (unsigned q = 1; q * divisor <= maxValue; ++q)
    if (d.apply(q * divisor - 1) != q - 1 || d.apply(q * divisor) != q) return false;
  return true;
}

constexpr std::optional<Divider16> OneStep(unsigned divisor, unsigned maxValue) {
  if (divisor == 1) return Divider16{};
  for (int s = 0; s < 16; ++s) {
    const std::uint64_t m = ((std::uint64_t{1} << (16 + s)) + divisor - 1) / divisor;
    if (m > 0xFFFF) break;
    const Divider16 d{1, {static_cast<std::uint16_t>(m), 0}, {s, 0}};
    if (Exact(d, divisor, maxValue)) return d;
  }
  return std::nullopt;
}

}  // namespace detail

// floor(v / divisor) for every v in 0..maxValue (maxValue below 65536), or
// nothing when neither one step nor two (through a factor) are exact.
constexpr std::optional<Divider16> FindDivider(unsigned divisor, unsigned maxValue) {
  if (divisor == 0 || maxValue > 0xFFFF) return std::nullopt;
  if (auto d = detail::OneStep(divisor, maxValue)) return d;
  // floor(floor(v / f) / g) == floor(v / (f * g)) for whole numbers.
  for (unsigned f = 2; f < divisor; ++f) {
    if (divisor % f != 0) continue;
    const auto a = detail::OneStep(f, maxValue), b = detail::OneStep(divisor / f, maxValue / f);
    if (!a || !b || a->steps != 1 || b->steps != 1) continue;
    const Divider16 d{2, {a->m[0], b->m[0]}, {a->shift[0], b->shift[0]}};
    if (detail::Exact(d, divisor, maxValue)) return d;
  }
  return std::nullopt;
}

}  // namespace opta::filters
