#pragma once
// Jobs run in worker processes, results delivered in job order. The
// program's module-level state (measurement tables, remembered values,
// DialogAccepted) lets one process analyse one picture at a time, so each
// worker is a process of its own, forked before any picture is touched.
#include <cstddef>
#include <functional>
#include <string>

namespace opta::cli {

struct PoolJobs {
  std::size_t count = 0;
  int workers = 1;
  // In a worker: job index -> result bytes.
  std::function<std::string(std::size_t job)> work;
  // In the parent, in job order; `crashed` says the worker died on the job
  // (result then holds the reason).
  std::function<void(std::size_t job, const std::string& result, bool crashed)> deliver;
};

// False when no worker could be started.
bool RunPool(const PoolJobs& jobs);

}  // namespace opta::cli
