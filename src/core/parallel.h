#pragma once
// Splits independent rows (or any index range) across the machine's cores.
// Only for loops whose iterations do not depend on each other; where the
// program's visiting order decides a result, loops stay sequential.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <thread>
#include <vector>

namespace opta {

inline int hardwareThreads() {
  static const int n = std::max(1u, std::thread::hardware_concurrency());
  return n;
}

// At most this many threads per loop, 0 for no cap: a process that shares
// the cores with sibling processes (the batch mode's workers) takes its share.
inline std::atomic<int> threadCap{0};

inline int usableThreads() {
  const int cap = threadCap.load(std::memory_order_relaxed);
  return cap > 0 ? std::min(cap, hardwareThreads()) : hardwareThreads();
}

// Calls body(begin, end) on disjoint chunks of [0, count). Small jobs (under
// minPerThread items a thread) run on the calling thread alone.
template <class Body>
void parallelFor(int count, Body&& body, std::int64_t workPerItem = 1,
                 std::int64_t minWorkPerThread = 1 << 16) {
  if (count <= 0) return;
  const std::int64_t total = static_cast<std::int64_t>(count) * std::max<std::int64_t>(1, workPerItem);
  int threads = static_cast<int>(std::min<std::int64_t>(usableThreads(), total / minWorkPerThread));
  threads = std::clamp(threads, 1, count);
  if (threads == 1) {
    body(0, count);
    return;
  }
  std::vector<std::thread> pool;
  pool.reserve(threads - 1);
  const int chunk = (count + threads - 1) / threads;
  // An exception (a failed allocation) is carried to this thread and thrown
  // once every thread has joined, so a worker never ends the program.
  std::vector<std::exception_ptr> failures(threads);
  // A thread that cannot be started (no room for its stack when memory is
  // short) leaves its chunks to this one.
  int unstarted = count;
  for (int t = 1; t < threads; ++t) {
    const int b = t * chunk, e = std::min(count, b + chunk);
    if (b >= e) break;
    try {
      pool.emplace_back([&body, &failure = failures[t], b, e] {
        try {
          body(b, e);
        } catch (...) {
          failure = std::current_exception();
        }
      });
    } catch (...) {
      unstarted = b;
      break;
    }
  }
  try {
    body(0, std::min(count, chunk));
    if (unstarted < count) body(unstarted, count);
  } catch (...) {
    failures[0] = std::current_exception();
  }
  for (auto& th : pool) th.join();
  for (const std::exception_ptr& f : failures)
    if (f) std::rethrow_exception(f);
}

// Rows of an image: body(y0, y1) for disjoint row bands.
template <class Body>
void parallelRows(int height, int width, Body&& body) {
  parallelFor(height, body, width);
}

}  // namespace opta
