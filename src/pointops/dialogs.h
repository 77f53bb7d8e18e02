#pragma once
// The point-operation dialogs: brightness and darkness amounts, the slicing
// limits and colours, the background / replace choice, and the "Color"
// buttons' chooser. Accepted values are remembered for the whole run.
#include <array>
#include <memory>

#include "platform/dialog.h"
#include "pointops/kernels.h"

namespace opta::pointops {

// Control ids of the dialogs' radio buttons.
enum : int {
  kWhiteBackground = 1053,
  kGrayBackground = 1054,
  kReplace1 = 1064,
  kManualReplace = 1065,
  kReplace5 = 1066,
  kReplace2 = 1067,
  kReplace3 = 1068,
  kReplace4 = 1069,
};

struct Remembered {
  int brightness = 1;
  int darkness = 1;
  LevelRange range[3];                     // the slicing limits; colour slicing keeps red, green, blue here
  SliceColour colour[3];                   // the slice colours
  SliceColour manual;                      // Object Color Change's own colour
  int choice = kGrayBackground;            // shared by the colour-slicing and replace dialogs
  std::array<Colour, 16> customColours{};  // the colour chooser's table, all black at start
};

Remembered& remembered();
void ResetRemembered();

// The remembered choice as each command reads it.
int BackgroundModeFor(int choice);  // 1 white, 2 gray
int ReplaceModeFor(int choice);     // 1..6

// A "Color" button: opens the colour chooser on (128, 128, 128) with the
// custom-colour table; on OK the table's first entry fills the three boxes.
void PickSliceColor(platform::DialogWindow& dlg, int redId, int greenId, int blueId);

// The message a rejected slicing entry shows.
inline constexpr const char* kSliceInputMessage =
    " Please insert valid input data. choose GRAY level incrementaly.\n Ex.50-100,120-160,200-240";
inline constexpr const char* kSliceInputCaption = "Psudo Color Processing";

std::unique_ptr<platform::DialogProc> MakeBrightnessDialog();     // 118
std::unique_ptr<platform::DialogProc> MakeDarknessDialog();       // 122
std::unique_ptr<platform::DialogProc> MakePseudocolourDialog();   // 139
std::unique_ptr<platform::DialogProc> MakeImageSlicingDialog();   // 187
std::unique_ptr<platform::DialogProc> MakeImageSlicing2Dialog();  // 188
std::unique_ptr<platform::DialogProc> MakeColourSlicingDialog();  // 189
std::unique_ptr<platform::DialogProc> MakeColourReplaceDialog();  // 190

}  // namespace opta::pointops
