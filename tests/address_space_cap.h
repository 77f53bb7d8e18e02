#pragma once
// Running test code in a child process whose address space is capped, so
// that allocations fail as they would on a machine short of memory while
// the test program itself stays unlimited.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
#define OPTA_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OPTA_UNDER_ASAN 1
#endif
#endif

namespace opta::testing {

// The address sanitizer reserves terabytes of address space: no cap can hold.
#ifdef OPTA_UNDER_ASAN
inline constexpr bool kCanCapAddressSpace = false;
#else
inline constexpr bool kCanCapAddressSpace = true;
#endif

inline std::size_t AddressSpaceNow() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// How a child that ran body with its address space capped at the present
// size plus headroom ended: body's result as exit status, or 128 + the
// signal that ended it.
inline int RunCapped(std::size_t headroom, const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const rlim_t cap = AddressSpaceNow() + headroom;
    const rlimit lim{cap, cap};
    if (::setrlimit(RLIMIT_AS, &lim) != 0) ::_exit(90);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace opta::testing
