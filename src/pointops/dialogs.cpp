#include "pointops/dialogs.h"

#include <algorithm>
#include <string>
#include <vector>

#include "command/command.h"
#include "platform/ui.h"

namespace opta::pointops {

using platform::DialogProc;
using platform::DialogWindow;
using platform::IDCANCEL;
using platform::IDOK;
using platform::ReadDialogInt;

Remembered& remembered() {
  static Remembered values;
  return values;
}

void ResetRemembered() { remembered() = Remembered{}; }

int BackgroundModeFor(int choice) { return choice == kWhiteBackground ? 1 : 2; }

int ReplaceModeFor(int choice) {
  switch (choice) {
    case kReplace1:
      return 1;
    case kReplace5:
      return 3;
    case kReplace2:
      return 4;
    case kReplace3:
      return 5;
    case kReplace4:
      return 6;
    default:
      return 2;
  }
}

void PickSliceColor(DialogWindow& dlg, int redId, int greenId, int blueId) {
  auto& custom = remembered().customColours;
  Colour chosen = 0;
  if (!dlg.ui().chooseColour(Rgb(128, 128, 128), custom, chosen)) return;
  // The boxes take the first custom colour, not the one picked in the palette.
  const Colour first = custom[0];
  dlg.setItemText(redId, std::to_string(Red(first)));
  dlg.setItemText(greenId, std::to_string(Green(first)));
  dlg.setItemText(blueId, std::to_string(Blue(first)));
}

namespace {

// Brightness (118) and Darkness (122): one combo box read as a signed number.
class AmountDialog : public DialogProc {
 public:
  AmountDialog(int comboId, int Remembered::*amount) : comboId_(comboId), amount_(amount) {}
  void onCommand(DialogWindow& dlg, int id) override {
    if (id == IDOK) {
      remembered().*amount_ = ReadDialogInt(dlg.itemText(comboId_));
      DialogAccepted = 1;
      dlg.end(IDOK);
    } else if (id == IDCANCEL) {
      DialogAccepted = 0;
      dlg.end(IDCANCEL);
    }
  }

 private:
  int comboId_;
  int Remembered::*amount_;
};

struct RangeBoxes {
  int lo, hi;
};
struct ColourBoxes {
  int red, green, blue, button;
};

// How one slicing dialog is laid out and checked.
struct SliceLayout {
  std::vector<RangeBoxes> ranges;    // stored as range[0], range[1], ...
  std::vector<ColourBoxes> colours;  // stored as colour[0], ... or as the manual colour
  bool manualColour = false;
  bool chained = false;          // each range must also start above the previous one's end
  std::vector<int> radios;       // the dialog's radio buttons, first to last
  std::vector<int> shownRadios;  // the remembered choices it shows checked
};

class SliceDialog : public DialogProc {
 public:
  explicit SliceDialog(SliceLayout layout) : layout_(std::move(layout)) {}

  void onInit(DialogWindow& dlg) override {
    choice_ = remembered().choice;
    const auto& shown = layout_.shownRadios;
    if (std::find(shown.begin(), shown.end(), choice_) != shown.end())
      dlg.checkRadioButton(layout_.radios.front(), layout_.radios.back(), choice_);
  }

  void onCommand(DialogWindow& dlg, int id) override {
    if (id == IDOK) return accept(dlg);
    if (id == IDCANCEL) {
      DialogAccepted = 0;
      dlg.end(IDCANCEL);
      return;
    }
    const auto& radios = layout_.radios;
    if (std::find(radios.begin(), radios.end(), id) != radios.end()) {
      choice_ = id;
      dlg.checkRadioButton(radios.front(), radios.back(), id);
      return;
    }
    for (const ColourBoxes& c : layout_.colours)
      if (id == c.button) PickSliceColor(dlg, c.red, c.green, c.blue);
  }

 private:
  void accept(DialogWindow& dlg) {
    Remembered& mem = remembered();
    // The choice is kept even when the limits are then rejected.
    if (!layout_.radios.empty()) mem.choice = choice_;

    auto read = [&dlg](int id) { return ReadDialogInt(dlg.itemText(id)); };
    std::vector<LevelRange> ranges;
    for (const RangeBoxes& r : layout_.ranges) ranges.push_back(LevelRange{read(r.lo), read(r.hi)});
    bool valid = true;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
      if (!(ranges[i].lo < ranges[i].hi)) valid = false;
      if (layout_.chained && i > 0 && !(ranges[i - 1].hi < ranges[i].lo)) valid = false;
    }
    if (!valid) {
      dlg.ui().messageBox(kSliceInputMessage, kSliceInputCaption, platform::MB_ICONEXCLAMATION);
      DialogAccepted = 0;
      dlg.end(IDOK);
      return;
    }

    for (std::size_t i = 0; i < ranges.size(); ++i) mem.range[i] = ranges[i];
    for (std::size_t i = 0; i < layout_.colours.size(); ++i) {
      const ColourBoxes& b = layout_.colours[i];
      SliceColour& target = layout_.manualColour ? mem.manual : mem.colour[i];
      target = SliceColour{read(b.red), read(b.green), read(b.blue)};
    }
    DialogAccepted = 1;
    dlg.end(IDOK);
  }

  SliceLayout layout_;
  int choice_ = kGrayBackground;
};

}  // namespace

std::unique_ptr<DialogProc> MakeBrightnessDialog() {
  return std::make_unique<AmountDialog>(1024, &Remembered::brightness);
}

std::unique_ptr<DialogProc> MakeDarknessDialog() {
  return std::make_unique<AmountDialog>(1025, &Remembered::darkness);
}

std::unique_ptr<DialogProc> MakePseudocolourDialog() {
  SliceLayout l;
  l.ranges = {{1026, 1027}, {1028, 1029}, {1037, 1036}};
  l.colours = {{1015, 1016, 1017, 1038}, {1030, 1031, 1032, 1039}, {1035, 1034, 1033, 1040}};
  l.chained = true;
  return std::make_unique<SliceDialog>(std::move(l));
}

std::unique_ptr<DialogProc> MakeImageSlicingDialog() {
  SliceLayout l;
  l.ranges = {{1015, 1016}};
  l.colours = {{1017, 1041, 1042, 1038}};
  return std::make_unique<SliceDialog>(std::move(l));
}

std::unique_ptr<DialogProc> MakeImageSlicing2Dialog() {
  SliceLayout l;
  l.ranges = {{1015, 1016}, {1048, 1049}};
  l.colours = {{1017, 1041, 1042, 1038}, {1044, 1045, 1046, 1039}};
  return std::make_unique<SliceDialog>(std::move(l));
}

std::unique_ptr<DialogProc> MakeColourSlicingDialog() {
  SliceLayout l;
  l.ranges = {{1015, 1016}, {1017, 1050}, {1051, 1052}};
  l.radios = {kWhiteBackground, kGrayBackground};
  l.shownRadios = {kWhiteBackground, kGrayBackground};
  return std::make_unique<SliceDialog>(std::move(l));
}

std::unique_ptr<DialogProc> MakeColourReplaceDialog() {
  SliceLayout l;
  l.ranges = {{1015, 1016}, {1017, 1058}, {1056, 1057}};
  l.colours = {{1060, 1061, 1062, 1063}};
  l.manualColour = true;
  l.radios = {kReplace1, kManualReplace, kReplace5, kReplace2, kReplace3, kReplace4};
  l.shownRadios = {kReplace1, kManualReplace};
  return std::make_unique<SliceDialog>(std::move(l));
}

}  // namespace opta::pointops
