// Dialog templates in dialog units. Texts are the program's own, spelling and
// doubled blanks included. Layouts follow one grid: 7-unit margins, 14-unit
// edit boxes and buttons, 12-unit radio rows, OK and Cancel at the bottom right.
#include <utility>

#include "resources/resources.h"

namespace opta::resources {
namespace {

using Kind = DialogControl::Kind;
using namespace style;

constexpr int kMargin = 7;
constexpr int kButtonW = 50;
constexpr int kButtonH = 14;
constexpr int kEditH = 14;

DialogControl Group(std::string_view text, int x, int y, int cx, int cy) {
  return DialogControl{Kind::GroupBox, -1, text, x, y, cx, cy, 0};
}
DialogControl Label(std::string_view text, int x, int y, int cx) {
  return DialogControl{Kind::Text, -1, text, x, y, cx, 8, 0};
}
DialogControl Edit(int id, int x, int y, int cx) {
  return DialogControl{Kind::Edit, id, {}, x, y, cx, kEditH, kEsAutoHScroll | kWsTabStop};
}
// Plain radio buttons: the dialog procedure checks them itself.
DialogControl Radio(int id, std::string_view text, int x, int y, int cx, bool first = false) {
  return DialogControl{Kind::RadioButton, id, text, x, y, cx, 10, first ? kWsGroup | kWsTabStop : 0u};
}
DialogControl AutoRadio(int id, std::string_view text, int x, int y, int cx, bool first = false) {
  return DialogControl{Kind::AutoRadioButton, id, text, x, y, cx, 10, first ? kWsGroup | kWsTabStop : 0u};
}
DialogControl Push(int id, std::string_view text, int x, int y, int cx = kButtonW) {
  return DialogControl{Kind::PushButton, id, text, x, y, cx, kButtonH, kWsTabStop};
}

DialogTemplate Dialog(std::string_view name, std::string_view title, int cx, int cy) {
  DialogTemplate t;
  t.name = name;
  t.title = title;
  t.x = 20;
  t.y = 20;
  t.cx = cx;
  t.cy = cy;
  t.fontFace = "MS Sans Serif";
  t.fontPoints = 8;
  t.style = kModalDialog;
  return t;
}

// OK (default) and Cancel side by side in the bottom-right corner.
void AddOkCancel(DialogTemplate& t, std::string_view cancelText = "Cancel") {
  const int y = t.cy - kMargin - kButtonH;
  const int cancelX = t.cx - kMargin - kButtonW;
  t.controls.push_back(
      DialogControl{Kind::DefPushButton, 1, "OK", cancelX - 5 - kButtonW, y, kButtonW, kButtonH, kWsTabStop});
  t.controls.push_back(Push(2, cancelText, cancelX, y));
}

// A group box of radio buttons, one per 12-unit row.
void AddRadioGroup(DialogTemplate& t, std::string_view groupText, int x, int y, int cx,
                   std::initializer_list<std::pair<int, std::string_view>> buttons, bool automatic = false) {
  const int rows = static_cast<int>(buttons.size());
  t.controls.push_back(Group(groupText, x, y, cx, 14 + rows * 12 + 4));
  int row = 0;
  for (const auto& [id, text] : buttons) {
    const int by = y + 14 + row * 12;
    t.controls.push_back(automatic ? AutoRadio(id, text, x + 8, by, cx - 16, row == 0)
                                   : Radio(id, text, x + 8, by, cx - 16, row == 0));
    ++row;
  }
}

DialogTemplate LowPass() {
  DialogTemplate t = Dialog("ABOUTBOX", "Low Pass Filter", 200, 140);
  t.controls.push_back(DialogControl{Kind::Icon, -1, "ABOUT", kMargin, kMargin, 20, 20, 0});
  t.controls.push_back(Label("Select any one  Low pass matrix", 34, 13, 150));
  AddRadioGroup(t, "&LOW PASS", kMargin, 32, 120,
                {{11, "LPF 6"}, {12, "LPF 9"}, {13, "LPF 10"}, {14, "LPF 16"}, {15, "LPF 32"}});
  AddOkCancel(t, "CANCEL");
  return t;
}

DialogTemplate HighPass() {
  DialogTemplate t = Dialog("104", "High pass Filter", 200, 110);
  t.controls.push_back(Label("Select any one  High pass matrix", kMargin, 9, 150));
  AddRadioGroup(t, "HIG&H PASS", kMargin, 24, 120, {{16, "HPF 1"}, {17, "HPF 2"}, {18, "HPF 3"}});
  AddOkCancel(t);
  return t;
}

DialogTemplate FilterSize() {
  DialogTemplate t = Dialog("105", "Median Filter", 180, 92);
  AddRadioGroup(t, "MEDIAN &  MEAN FILTER", kMargin, kMargin, 166,
                {{1000, "Median - Mean 3 Filter"},
                 {1001, "Median - Mean 5 Filter"},
                 {1002, "Median  - Mean 7 Filter"}});
  AddOkCancel(t);
  return t;
}

DialogTemplate ShapeOperation() {
  DialogTemplate t = Dialog("115", "Shape Operation", 280, 102);
  AddRadioGroup(t, "Choose Erosion  Dilation  Outlinig Type", kMargin, kMargin, 266,
                {{1018, "Horizontal  Erosion  / Dilation / Outlining"},
                 {1019, "Vertical  Erosion  / Dilation / Outlining"},
                 {1020, "Both Diraction Erosion Dilation / Outlining"},
                 {1021, "Horizontal & vertical Diraction Erosion / Dilation / Outlining"}});
  AddOkCancel(t);
  return t;
}

DialogTemplate GeometricDetection() {
  DialogTemplate t = Dialog("116", "Geometric Detection ", 180, 124);
  t.controls.push_back(Label("Select any one option", kMargin, 9, 150));
  AddRadioGroup(t, "Geometric Edge Detection", kMargin, 22, 166,
                {{1012, "Point Detection"},
                 {1013, "45 Deg Line Detection"},
                 {1014, "-45 Deg Line Detection"},
                 {1010, "Horizontal Line Detection"},
                 {1011, "Vertical Line Detection"}});
  AddOkCancel(t);
  return t;
}

DialogTemplate TextEntry() {
  DialogTemplate t = Dialog("117", "Enter text in Picture", 262, 104);
  t.controls.push_back(DialogControl{Kind::Icon, -1, "191", kMargin, kMargin, 20, 20, 0});
  t.controls.push_back(Group("Enter Text and Position (x,y) value", 34, kMargin, 221, 70));
  t.controls.push_back(Label("Enter Text :", 42, 23, 80));
  t.controls.push_back(Edit(1015, 126, 20, 121));
  t.controls.push_back(Label("Enter horizontal value", 42, 41, 80));
  t.controls.push_back(Edit(1016, 126, 38, 60));
  t.controls.push_back(Label("Enter Vertical value", 42, 59, 80));
  t.controls.push_back(Edit(1017, 126, 56, 60));
  AddOkCancel(t);
  return t;
}

// Brightness and Darkness: a label and a drop-down combo (height includes the list).
DialogTemplate AmountDialog(std::string_view name, std::string_view title, std::string_view label,
                            int comboId, unsigned extra) {
  DialogTemplate t = Dialog(name, title, 164, 76);
  t.controls.push_back(Label(label, kMargin, 10, 46));
  t.controls.push_back(DialogControl{
      Kind::ComboDropDown, comboId, {}, 56, kMargin, 100, 48, kCbsDropDown | kCbsSort | kWsTabStop | extra});
  AddOkCancel(t);
  return t;
}

// Opening and Closing: how many erosions or dilations.
DialogTemplate CountDialog(std::string_view name, std::string_view title, std::string_view group,
                           std::string_view label, std::string_view note) {
  DialogTemplate t = Dialog(name, title, 184, 90);
  t.controls.push_back(Group(group, kMargin, kMargin, 170, 55));
  t.controls.push_back(Label(label, 15, 23, 80));
  t.controls.push_back(Edit(1015, 100, 20, 60));
  t.controls.push_back(Label(note, 15, 44, 150));
  AddOkCancel(t);
  return t;
}

DialogTemplate ContraharmonicOrder() {
  DialogTemplate t = Dialog("127", "Contraharmonic Filter", 204, 88);
  t.controls.push_back(Group("ENTER ORDER OF FILTER (10-20)", kMargin, kMargin, 190, 53));
  t.controls.push_back(Label("Enter Order of  Contraharmonic Mean Filter", 15, 21, 175));
  t.controls.push_back(Edit(1015, 15, 35, 60));
  AddOkCancel(t);
  return t;
}

DialogTemplate About() {
  DialogTemplate t = Dialog("137", "About  Optascope  OPTA", 299, 216);
  t.fontFace = "Smudger LET";
  t.fontPoints = 11;
  t.controls.push_back(DialogControl{Kind::DefPushButton, 1, "OK", 118, 195, 50, 14, kWsTabStop});
  t.controls.push_back(DialogControl{Kind::Bitmap, -1, "MYBP2", 7, 19, 285, 190, kSsCenterImage});
  t.controls.push_back(DialogControl{Kind::Icon, -1, "191", 7, 2, 20, 20, 0});
  return t;
}

// Slicing dialogs share two columns: gray levels on the left, colours on the
// right with one "Color" button closing each colour row.
constexpr int kGrayX = kMargin, kGrayW = 120;
constexpr int kColourX = 134, kColourW = 188;
constexpr int kBoxW = 36;

void AddLevelRow(DialogTemplate& t, int lo, int hi, int y) {
  t.controls.push_back(Edit(lo, kGrayX + 8, y, 48));
  t.controls.push_back(Edit(hi, kGrayX + 62, y, 48));
}

void AddColourRow(DialogTemplate& t, int x, int r, int g, int b, int button, int y) {
  t.controls.push_back(Edit(r, x + 8, y, kBoxW));
  t.controls.push_back(Edit(g, x + 8 + 40, y, kBoxW));
  t.controls.push_back(Edit(b, x + 8 + 80, y, kBoxW));
  if (button > 0) t.controls.push_back(Push(button, "Color", x + 8 + 124, y, 48));
}

void AddColourHeadings(DialogTemplate& t, int x, int y) {
  t.controls.push_back(Label("Red", x + 8, y, kBoxW));
  t.controls.push_back(Label("Green", x + 48, y, kBoxW));
  t.controls.push_back(Label("Blue", x + 88, y, kBoxW));
}

DialogTemplate StaticSlicing() {
  DialogTemplate t = Dialog("139", "Pseudocolor  Image Processing", 329, 114);
  t.controls.push_back(Group("Gray Limit", kGrayX, kMargin, kGrayW, 78));
  t.controls.push_back(Group("Colored Image", kColourX, kMargin, kColourW, 78));
  AddColourHeadings(t, kColourX, 18);
  AddLevelRow(t, 1026, 1027, 28);
  AddLevelRow(t, 1028, 1029, 46);
  AddLevelRow(t, 1037, 1036, 64);
  AddColourRow(t, kColourX, 1015, 1016, 1017, 1038, 28);
  AddColourRow(t, kColourX, 1030, 1031, 1032, 1039, 46);
  AddColourRow(t, kColourX, 1035, 1034, 1033, 1040, 64);
  AddOkCancel(t);
  return t;
}

DialogTemplate ImageSlicing() {
  DialogTemplate t = Dialog("187", "Image Slicing", 329, 90);
  t.controls.push_back(Group("Gray Value", kGrayX, kMargin, kGrayW, 54));
  t.controls.push_back(Label("Enter Gray value", kGrayX + 8, 20, 100));
  AddLevelRow(t, 1015, 1016, 32);
  t.controls.push_back(Group("Color", kColourX, kMargin, kColourW, 54));
  AddColourRow(t, kColourX, 1017, 1041, 1042, 1038, 32);
  AddOkCancel(t);
  return t;
}

DialogTemplate IntensitySlicing2() {
  DialogTemplate t = Dialog("188", "Image Slicing 2", 329, 96);
  t.controls.push_back(Group("Gray Value", kGrayX, kMargin, kGrayW, 60));
  t.controls.push_back(Group("Color", kColourX, kMargin, kColourW, 60));
  AddLevelRow(t, 1015, 1016, 22);
  AddLevelRow(t, 1048, 1049, 44);
  AddColourRow(t, kColourX, 1017, 1041, 1042, 1038, 22);
  AddColourRow(t, kColourX, 1044, 1045, 1046, 1039, 44);
  AddOkCancel(t);
  return t;
}

// Red, green and blue ranges with their row labels.
void AddRangeGroup(DialogTemplate& t, std::string_view group, int ids[6]) {
  t.controls.push_back(Group(group, kMargin, kMargin, 150, 74));
  const std::string_view names[3] = {"Red", "Green", "Blue"};
  for (int row = 0; row < 3; ++row) {
    const int y = 22 + row * 18;
    t.controls.push_back(Label(names[row], 15, y + 3, 30));
    t.controls.push_back(Edit(ids[2 * row], 48, y, 48));
    t.controls.push_back(Edit(ids[2 * row + 1], 100, y, 48));
  }
}

DialogTemplate ColorSlicing() {
  DialogTemplate t = Dialog("189", "Intensity Slicing", 281, 110);
  int ids[6] = {1015, 1016, 1017, 1050, 1051, 1052};
  AddRangeGroup(t, "Select Levels", ids);
  AddRadioGroup(t, "Choose any one", 164, kMargin, 110,
                {{1053, "White Background"}, {1054, "Gray Backgorund"}},
                /*automatic=*/true);
  AddOkCancel(t);
  return t;
}

DialogTemplate ObjectColorChange() {
  DialogTemplate t = Dialog("190", "False Color Replace", 359, 152);
  int ids[6] = {1015, 1016, 1017, 1058, 1056, 1057};
  AddRangeGroup(t, "Enter Level", ids);
  t.controls.push_back(Group("Enter Color ", 164, kMargin, 188, 46));
  AddColourHeadings(t, 164, 18);
  AddColourRow(t, 164, 1060, 1061, 1062, 1063, 28);
  const std::pair<int, std::string_view> modes[6] = {
      {1064, "Automatic Color Replace 1"}, {1067, "Automatic Color Replace 2"},
      {1068, "Automatic Color Replace 3"}, {1069, "Automatic Color Replace 4"},
      {1066, "Automatic Color Replace 5"}, {1065, "Manual Color Replace"}};
  for (int i = 0; i < 6; ++i) {
    const int x = i < 3 ? 15 : 172;
    const int y = 90 + (i % 3) * 12;
    t.controls.push_back(AutoRadio(modes[i].first, modes[i].second, x, y, 140, i == 0));
  }
  AddOkCancel(t);
  return t;
}

DialogTemplate SetThresholdLimits() {
  DialogTemplate t = Dialog("IDD_DIALOG_SET", "Set Threshold Limits", 240, 95);
  t.style = kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont;
  t.controls.push_back(Label("High", 17, 17, 30));
  t.controls.push_back(DialogControl{Kind::Edit, 1015, {}, 59, 14, 116, 16, kEsAutoHScroll | kWsTabStop});
  t.controls.push_back(Label("Low", 17, 44, 30));
  t.controls.push_back(DialogControl{Kind::Edit, 1016, {}, 59, 41, 116, 16, kEsAutoHScroll | kWsTabStop});
  t.controls.push_back(DialogControl{Kind::DefPushButton, 1, "OK", 33, 74, 50, 14, kWsTabStop});
  t.controls.push_back(DialogControl{Kind::PushButton, 2, "Cancel", 98, 74, 50, 14, kWsTabStop});
  return t;
}

std::vector<DialogTemplate> BuildTemplates() {
  std::vector<DialogTemplate> v;
  v.push_back(LowPass());
  v.push_back(HighPass());
  v.push_back(FilterSize());
  v.push_back(ShapeOperation());
  v.push_back(GeometricDetection());
  v.push_back(TextEntry());
  v.push_back(AmountDialog("118", "Brightness ", "Brightness", 1024, 0));
  v.push_back(
      CountDialog("120", "Opening ", "Opening", "Number of Erosion", "Maximum number of Erosion is 10"));
  v.push_back(
      CountDialog("121", "Closing", "Closing", "Number of Dilation", "Maximum number of Dilation is 10"));
  v.push_back(AmountDialog("122", "Darkness", "Darkness", 1025, kWsVScroll));
  v.push_back(ContraharmonicOrder());
  v.push_back(About());
  v.push_back(StaticSlicing());
  v.push_back(ImageSlicing());
  v.push_back(IntensitySlicing2());
  v.push_back(ColorSlicing());
  v.push_back(ObjectColorChange());
  v.push_back(SetThresholdLimits());
  return v;
}

}  // namespace

const std::vector<DialogTemplate>& dialogTemplates() {
  static const std::vector<DialogTemplate> t = BuildTemplates();
  return t;
}

}  // namespace opta::resources
