#pragma once
// The run verb's command line: images, commands by menu name or id, the
// answers for their dialogs, and the output files. Parsing runs nothing, so
// it can be checked (and fuzzed) on its own.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/colour.h"
#include "core/font.h"
#include "core/geometry.h"
#include "platform/headless/headless_ui.h"

namespace opta::cli {

// One -c with the answers given after it.
struct RunStep {
  std::string name;
  int id = 0;
  std::vector<headless::DialogScript> dialogs;
  headless::DialogScript current;
  bool currentOpen = false;
  std::vector<std::optional<std::string>> files;
  std::vector<int> boxes;
  std::vector<std::optional<Colour>> colours;
  std::vector<std::optional<std::pair<FontDesc, Colour>>> fonts;

  void closeDialog();
};

struct RunPlan {
  bool help = false;
  std::optional<std::string> image, saveTo, windowTo;
  Size screen{1920, 1080};
  std::vector<RunStep> steps;
};

inline constexpr int kMaxScreenSide = 16384;

// The plan for argv[1..argc-1] (argv[0] is the verb), or false with a
// usage message in error.
bool ParseRunArguments(int argc, const char* const* argv, RunPlan& plan, std::string& error);

// Every menu command as "ID  Menu/Path", for the help text.
std::vector<std::pair<int, std::string>> MenuCommandNames();
// The same, one "  ID  Menu/Path" line each.
void PrintCommandList(std::FILE* to);

// The pieces, for verbs that take commands the same way (-c NAME -a ANSWER).
// -c NAME: a new step, or false with a message when the name stands for no
// command or for several.
bool AddStep(std::vector<RunStep>& steps, std::string_view name, std::string& error);
// -a ANSWER for the last step; false with a message when it makes no sense.
bool AddAnswer(RunStep& step, std::string_view a, std::string& error);
// After the last argument: a dialog with answers but no OK or Cancel keeps them.
void FinishSteps(std::vector<RunStep>& steps);

std::string Lower(std::string_view s);
// A whole number of at most nine digits, nothing else.
std::optional<int> ParseInt(std::string_view s);

}  // namespace opta::cli
