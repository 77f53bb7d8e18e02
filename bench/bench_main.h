#pragma once
// OPTA_BENCHMARK_MAIN(): Google Benchmark's own main, plus a serve mode for
// bench/compare.py. With --serve the program stays up with its picture
// loaded and runs the benchmarks named by each line read on standard input
// (a filter regex), answering "@@ NAME<TAB>MS" per run and "@@ done", so our
// runs and OpenCV's can alternate one by one in the same minutes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace opta::bench {

class ServeReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      const double toMs = r.time_unit == benchmark::kNanosecond    ? 1e-6
                          : r.time_unit == benchmark::kMicrosecond ? 1e-3
                          : r.time_unit == benchmark::kSecond      ? 1e3
                                                                   : 1.0;
      std::printf("@@ %s\t%.6f\n", r.benchmark_name().c_str(), r.GetAdjustedRealTime() * toMs);
    }
  }
};

inline int Main(int argc, char** argv) {
  bool serve = false;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--serve") == 0) {
      serve = true;
    } else {
      args.push_back(argv[i]);
    }
  }
  int n = static_cast<int>(args.size());
  args.push_back(nullptr);
  benchmark::Initialize(&n, args.data());
  if (benchmark::ReportUnrecognizedArguments(n, args.data())) return 1;
  if (!serve) {
    benchmark::RunSpecifiedBenchmarks();
  } else {
    ServeReporter reporter;
    std::string filter;
    while (std::getline(std::cin, filter)) {
      benchmark::RunSpecifiedBenchmarks(&reporter, filter);
      std::printf("@@ done\n");
      std::fflush(stdout);
    }
  }
  benchmark::Shutdown();
  return 0;
}

}  // namespace opta::bench

#define OPTA_BENCHMARK_MAIN() \
  int main(int argc, char** argv) { return opta::bench::Main(argc, argv); }
