#include "core/cpu.h"

#include <atomic>

namespace opta::cpu {
namespace {

Level Probe() {
#if defined(__x86_64__)
  __builtin_cpu_init();  // static initialisers may run before the model is filled in
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) return Level::Avx512;
  if (__builtin_cpu_supports("avx2")) return Level::Avx2;
  if (__builtin_cpu_supports("ssse3")) return Level::Ssse3;
#endif
  return Level::Baseline;
}

std::atomic<int> cap{static_cast<int>(Level::Avx512)};

}  // namespace

Level Detected() {
  static const Level level = Probe();
  return level;
}

Level Usable() {
  const int c = cap.load(std::memory_order_relaxed);
  const int d = static_cast<int>(Detected());
  return static_cast<Level>(c < d ? c : d);
}

CapForTest::CapForTest(Level l) : previous_(static_cast<Level>(cap.load())) {
  cap.store(static_cast<int>(l));
}

CapForTest::~CapForTest() { cap.store(static_cast<int>(previous_)); }

}  // namespace opta::cpu
