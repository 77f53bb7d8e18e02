#pragma once
// What the processor offers beyond the x86-64 baseline, asked once. Kernels
// with a vector form test a level here and fall back to their plain loop
// otherwise; tests cap the level to run every form on the same machine.
namespace opta::cpu {

enum class Level { Baseline = 0, Ssse3 = 1, Avx2 = 2, Avx512 = 3 };

// The best level this processor supports (AVX-512 means F and BW).
Level Detected();

// The level kernels may use: the detected one, or less while a test caps it.
Level Usable();
inline bool Has(Level l) { return static_cast<int>(Usable()) >= static_cast<int>(l); }

// For tests: kernels use at most `cap` until the guard goes.
class CapForTest {
 public:
  explicit CapForTest(Level cap);
  ~CapForTest();
  CapForTest(const CapForTest&) = delete;
  CapForTest& operator=(const CapForTest&) = delete;

 private:
  Level previous_;
};

}  // namespace opta::cpu
