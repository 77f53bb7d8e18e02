#include "core/big_buffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

namespace opta::bigbuf {
namespace {

constexpr std::size_t kAlign = kHugeThreshold;

std::size_t Rounded(std::size_t bytes) { return (bytes + kAlign - 1) / kAlign * kAlign; }

// A few released blocks kept for reuse; the oldest goes when it is full.
struct Pool {
  struct Block {
    void* p;
    std::size_t bytes;
  };
  std::mutex lock;
  std::vector<Block> kept;
  static constexpr std::size_t kMaxKept = 6;
};

Pool& pool() {
  static Pool* p = new Pool;  // never destroyed: blocks may be released at exit
  return *p;
}

void* MapAligned(std::size_t bytes) {
  // Over-map by one alignment unit and trim both ends to a 2 MiB boundary.
  const std::size_t span = bytes + kAlign;
  void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kAlign - 1) / kAlign * kAlign;
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t end = start + span, used = aligned + bytes;
  if (end > used) munmap(reinterpret_cast<void*>(used), end - used);
#ifdef MADV_HUGEPAGE
  madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<void*>(aligned);
}

}  // namespace

void* Allocate(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes < kHugeThreshold) return std::malloc(bytes);
  const std::size_t size = Rounded(bytes);
  {
    Pool& p = pool();
    std::lock_guard<std::mutex> g(p.lock);
    for (std::size_t i = p.kept.size(); i-- > 0;) {
      if (p.kept[i].bytes == size) {
        void* block = p.kept[i].p;
        p.kept.erase(p.kept.begin() + static_cast<std::ptrdiff_t>(i));
        return block;
      }
    }
  }
  return MapAligned(size);
}

void Release(void* block, std::size_t bytes) noexcept {
  if (!block) return;
  if (bytes == 0) bytes = 1;
  if (bytes < kHugeThreshold) {
    std::free(block);
    return;
  }
  const std::size_t size = Rounded(bytes);
  Pool& p = pool();
  std::lock_guard<std::mutex> g(p.lock);
  if (p.kept.size() == Pool::kMaxKept) {
    munmap(p.kept.front().p, p.kept.front().bytes);
    p.kept.erase(p.kept.begin());
  }
  p.kept.push_back({block, size});
}

void Trim() noexcept {
  Pool& p = pool();
  std::lock_guard<std::mutex> g(p.lock);
  for (const Pool::Block& b : p.kept) munmap(b.p, b.bytes);
  p.kept.clear();
}

}  // namespace opta::bigbuf
