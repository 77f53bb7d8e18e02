#include "core/row_writer.h"

#include <cstdint>
#include <cstring>

#include "core/cpu.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace opta {
namespace {

// Stores of n colours from dst's first address aligned to `bytes` on; the
// ragged ends go one colour at a time.
template <int Bytes, class Store>
inline void Streamed(Colour* dst, const Colour* src, int n, Store store) {
  constexpr int kStep = Bytes / static_cast<int>(sizeof(Colour));
  int i = 0;
  for (; i < n && (reinterpret_cast<std::uintptr_t>(dst + i) & (Bytes - 1)) != 0; ++i) dst[i] = src[i];
  for (; i + kStep <= n; i += kStep) store(dst + i, src + i);
  for (; i < n; ++i) dst[i] = src[i];
}

#if defined(__x86_64__)
// A whole cache line, or half of one, per store: the write-combining
// buffers fill and leave at once (measured faster than 16-byte stores here).
__attribute__((target("avx512f"))) void StreamLines(Colour* dst, const Colour* src, int n) {
  Streamed<64>(
      dst, src, n, [](Colour * d, const Colour* s) __attribute__((target("avx512f"))) {
        _mm512_stream_si512(reinterpret_cast<__m512i*>(d), _mm512_loadu_si512(s));
      });
}

__attribute__((target("avx2"))) void StreamHalfLines(Colour* dst, const Colour* src, int n) {
  Streamed<32>(
      dst, src, n, [](Colour * d, const Colour* s) __attribute__((target("avx2"))) {
        _mm256_stream_si256(reinterpret_cast<__m256i*>(d),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s)));
      });
}
#endif

}  // namespace

void StreamRow(Colour* dst, const Colour* src, int n) {
#if defined(__x86_64__)
  if (cpu::Has(cpu::Level::Avx512)) return StreamLines(dst, src, n);
  if (cpu::Has(cpu::Level::Avx2)) return StreamHalfLines(dst, src, n);
  Streamed<16>(dst, src, n, [](Colour* d, const Colour* s) {
    _mm_stream_si128(reinterpret_cast<__m128i*>(d), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s)));
  });
#else
  std::memcpy(dst, src, sizeof(Colour) * n);
#endif
}

}  // namespace opta
