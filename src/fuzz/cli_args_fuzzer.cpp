// The run verb's command line: the bytes split at zero bytes into
// arguments, parsed as optascope-cli would parse them. Parsing runs nothing;
// what it accepts must name commands the program has.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/run_args.h"
#include "cli/verbs.h"
#include "resources/resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace opta;
  std::vector<std::string> args{"run"};
  std::string current;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  if (!current.empty()) args.push_back(current);
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());

  cli::RunPlan plan;
  std::string error;
  const bool ok = cli::ParseRunArguments(static_cast<int>(argv.size()), argv.data(), plan, error);
  if (!ok && error.empty()) __builtin_trap();  // a refusal always says why
  if (!ok) return 0;
  for (const cli::RunStep& step : plan.steps) {
    if (step.id <= 0 || step.currentOpen) __builtin_trap();
  }
  if (plan.screen.width < 1 || plan.screen.height < 1 || plan.screen.width > cli::kMaxScreenSide ||
      plan.screen.height > cli::kMaxScreenSide)
    __builtin_trap();
  for (const std::string& a : args) (void)cli::HasExtension(a, ".ppm");
  return 0;
}
