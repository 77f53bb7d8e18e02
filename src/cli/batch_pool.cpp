#include "cli/batch_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

namespace opta::cli {
namespace {

struct Worker {
  pid_t pid = -1;
  int tasks = -1;    // parent writes job numbers here
  int results = -1;  // and reads results here
  std::optional<std::size_t> job;
};

bool WriteAll(int fd, const void* data, std::size_t n) {
  const auto* p = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t k = ::write(fd, p, n);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return false;
    p += k;
    n -= static_cast<std::size_t>(k);
  }
  return true;
}

bool ReadAll(int fd, void* data, std::size_t n) {
  auto* p = static_cast<char*>(data);
  while (n > 0) {
    const ssize_t k = ::read(fd, p, n);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return false;
    p += k;
    n -= static_cast<std::size_t>(k);
  }
  return true;
}

[[noreturn]] void WorkerMain(int tasks, int results, pid_t parent, const PoolJobs& jobs) {
  // A worker never outlives the batch, even one killed with SIGKILL.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(0);
  std::uint64_t job = 0;
  while (ReadAll(tasks, &job, sizeof job)) {
    const std::string result = jobs.work(static_cast<std::size_t>(job));
    const std::uint64_t header[2] = {job, result.size()};
    if (!WriteAll(results, header, sizeof header) || !WriteAll(results, result.data(), result.size())) break;
  }
  // Skips the parent's exit handlers and buffers, which are the parent's.
  ::_exit(0);
}

bool Spawn(Worker& w, const PoolJobs& jobs, const std::vector<Worker>& all) {
  int t[2], r[2];
  if (::pipe2(t, O_CLOEXEC) != 0) return false;
  if (::pipe2(r, O_CLOEXEC) != 0) {
    ::close(t[0]);
    ::close(t[1]);
    return false;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(t[1]);
    ::close(r[0]);
    // Another worker's pipes held open here would hide its end from the parent.
    for (const Worker& other : all) {
      if (other.tasks >= 0) ::close(other.tasks);
      if (other.results >= 0) ::close(other.results);
    }
    WorkerMain(t[0], r[1], parent, jobs);
  }
  ::close(t[0]);
  ::close(r[1]);
  if (pid < 0) {
    ::close(t[1]);
    ::close(r[0]);
    return false;
  }
  w = Worker{pid, t[1], r[0], std::nullopt};
  return true;
}

void Retire(Worker& w) {
  if (w.tasks >= 0) ::close(w.tasks);
  if (w.results >= 0) ::close(w.results);
  w.tasks = w.results = -1;
}

std::string EndReason(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status))
    return "analysis ended by signal " + std::to_string(WTERMSIG(status)) + " (" +
           strsignal(WTERMSIG(status)) + ")";
  return "analysis ended with exit status " + std::to_string(WEXITSTATUS(status));
}

}  // namespace

bool RunPool(const PoolJobs& jobs) {
  if (jobs.count == 0) return true;
  // A worker that has died must not take the parent with it on the next write.
  ::signal(SIGPIPE, SIG_IGN);
  const int n = static_cast<int>(
      std::min<std::size_t>(static_cast<std::size_t>(std::max(1, jobs.workers)), jobs.count));
  std::vector<Worker> workers(static_cast<std::size_t>(n));
  int started = 0;
  for (Worker& w : workers) started += Spawn(w, jobs, workers);
  if (started == 0) return false;

  std::size_t next = 0, nextToDeliver = 0;
  std::map<std::size_t, std::pair<std::string, bool>> finished;  // job -> result, crashed
  auto giveWork = [&](Worker& w) {
    while (w.pid > 0 && !w.job && next < jobs.count) {
      const std::uint64_t job = next;
      if (!WriteAll(w.tasks, &job, sizeof job)) return;  // its end shows at the next poll
      w.job = next++;
    }
  };
  for (Worker& w : workers) giveWork(w);

  while (nextToDeliver < jobs.count) {
    std::vector<pollfd> fds;
    std::vector<Worker*> owners;
    for (Worker& w : workers) {
      if (w.pid > 0 && w.job) {
        fds.push_back(pollfd{w.results, POLLIN, 0});
        owners.push_back(&w);
      }
    }
    if (fds.empty()) {
      // Every worker is gone and none could be restarted: the rest fail.
      for (; next < jobs.count; ++next) finished[next] = {"no worker process could be started", true};
    } else if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno != EINTR) return false;
      continue;
    }
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      Worker& w = *owners[i];
      std::uint64_t header[2];
      std::string result;
      bool whole = ReadAll(w.results, header, sizeof header) && header[0] == *w.job;
      if (whole) {
        result.resize(static_cast<std::size_t>(header[1]));
        whole = ReadAll(w.results, result.data(), result.size());
      }
      if (whole) {
        finished[*w.job] = {std::move(result), false};
        w.job.reset();
      } else {
        // The worker died on this job: its row says why, and a fresh worker
        // takes the rest.
        Retire(w);
        finished[*w.job] = {EndReason(w.pid), true};
        w = Worker{};
        if (next < jobs.count) Spawn(w, jobs, workers);
      }
      giveWork(w);
    }
    for (auto it = finished.find(nextToDeliver); it != finished.end(); it = finished.find(nextToDeliver)) {
      jobs.deliver(nextToDeliver, it->second.first, it->second.second);
      finished.erase(it);
      ++nextToDeliver;
    }
  }
  for (Worker& w : workers) {
    if (w.pid <= 0) continue;
    Retire(w);  // end of its task pipe: the worker leaves
    while (::waitpid(w.pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  return true;
}

}  // namespace opta::cli
