#pragma once
// Storage for picture-sized buffers. A fresh 4 KiB page costs about 10
// microseconds to fault in, and a walk that steps from row to row misses
// the address cache on every step; blocks of 2 MiB and more are therefore
// taken in 2 MiB-aligned pieces with transparent huge pages asked for, and a
// released block is kept for the next request of the same size (the same
// picture's next command, or the next open of a picture that size).
#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace opta::bigbuf {

// Bytes of storage, or nullptr when they cannot be had. Contents undefined.
void* Allocate(std::size_t bytes);
// Gives back a block that Allocate returned for the same byte count.
void Release(void* p, std::size_t bytes) noexcept;
// Returns the kept blocks to the system (tests; a low-memory moment).
void Trim() noexcept;

// Blocks at least this large take the huge-page road.
constexpr std::size_t kHugeThreshold = std::size_t{2} << 20;

// For containers that grow to picture size within a command: their blocks
// come back from the pool next time instead of being faulted in afresh.
template <class T>
struct Allocator {
  using value_type = T;
  Allocator() = default;
  template <class U>
  Allocator(const Allocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    void* p = Allocate(n * sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t n) noexcept { Release(p, n * sizeof(T)); }
  // Elements made without a value (resize) are default-initialised: for the
  // plain numbers kept here, not written at all. Zeroing a picture-sized
  // block that is about to be filled would touch every page twice.
  template <class U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <class U>
  friend bool operator==(const Allocator&, const Allocator<U>&) noexcept {
    return true;
  }
};

}  // namespace opta::bigbuf
