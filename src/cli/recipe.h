#pragma once
// Commands by name and their dialog answers, as run and batch take them on
// the command line (-c NAME -a ANSWER ...), and running them on a program
// without a screen.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/headless/application.h"

namespace opta::cli {

// One -c with the answers given after it.
struct Step {
  std::string name;
  int id = 0;
  std::vector<headless::DialogScript> dialogs;
  headless::DialogScript current;
  bool currentOpen = false;
  std::vector<std::optional<std::string>> files;
  std::vector<int> boxes;
  std::vector<std::optional<Colour>> colours;
  std::vector<std::optional<std::pair<FontDesc, Colour>>> fonts;

  void closeDialog() {
    dialogs.push_back(std::move(current));
    current = headless::DialogScript{};
    currentOpen = false;
  }
};

// -c NAME: a new step, or false with a message when the name stands for no
// command or for several.
bool AddStep(std::vector<Step>& steps, std::string_view name, std::string& error);
// -a ANSWER for the last step; false with a message when it makes no sense.
bool AddAnswer(Step& step, std::string_view a, std::string& error);
// After the last argument: a dialog with answers but no OK or Cancel keeps them.
void FinishSteps(std::vector<Step>& steps);
// Queues the step's answers (dropping any left from before) and runs it.
void RunStep(headless::Application& app, const Step& step);

// The menu's commands, one "  ID  Menu/Path" line each, for --help.
void PrintCommandList(std::FILE* to);

std::string Lower(std::string_view s);
// A whole number of at most nine digits, nothing else.
std::optional<int> ParseInt(std::string_view s);

}  // namespace opta::cli
