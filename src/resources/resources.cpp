// The menu "MyMenu", accelerator table 109, the toolbar tables, tooltips and
// the right-button popup menu. Texts are the program's own, spelling included.
#include "resources/resources.h"

#include <utility>

namespace opta::resources {
namespace {

using Kind = MenuItem::Kind;

MenuItem Cmd(int id, std::string_view text) { return MenuItem{Kind::Command, id, text, false, false, {}}; }
MenuItem Grayed(int id, std::string_view text) { return MenuItem{Kind::Command, id, text, true, false, {}}; }
MenuItem Checked(int id, std::string_view text) { return MenuItem{Kind::Command, id, text, false, true, {}}; }
MenuItem Sep() { return MenuItem{Kind::Separator, 0, {}, false, false, {}}; }
MenuItem Sub(std::string_view text, std::vector<MenuItem> items) {
  return MenuItem{Kind::Submenu, 0, text, false, false, std::move(items)};
}

std::vector<MenuItem> BuildMenu() {
  std::vector<MenuItem> m;
  m.push_back(Sub("&File", {Cmd(40078, "&New"), Sep(), Cmd(40001, "&Open"), Cmd(40049, "Open Also"), Sep(),
                            Cmd(40016, "Save"), Cmd(40058, "Save As"), Sep(), Cmd(40024, "E&xit    ")}));
  m.push_back(Sub("Edit", {Grayed(40101, "Paste")}));
  m.push_back(Sub(
      "&Image Operation",
      {Cmd(40009, "&Invert"), Cmd(40021, "&Emboss"), Cmd(40022, "&Solarize"), Cmd(40023, "&Gray Scale"),
       Sep(), Cmd(40025, "&Restore Image"), Cmd(40031, "Show Image &Details"), Cmd(40032, "Show &Histogram"),
       Cmd(40033, "Hide His&togram"), Sep(),
       Sub("R&otate Image", {Cmd(40034, "Rotate &90 Degree"), Cmd(40035, "Rotate 1&80 Degree"),
                             Cmd(40036, "Rotate 2&70 Degree")}),
       Sub("&Flipping", {Cmd(40037, "&Horizontal Flipping "), Cmd(40038, "&Vertical  Flipping")}),
       Sub("&Zoom",
           {Cmd(40039, "&200% Zoom by Replication Method"), Cmd(40040, "&400% Zoom By Replication Method"),
            Cmd(40041, "&Normal Size"), Cmd(40042, "200% Zoom by &Interpolation Method"),
            Cmd(40043, "400% Zoom by I&nterpolation Method")}),
       Sub("Sh&rink", {Cmd(40044, "&Corner Method"), Cmd(40045, "&Median Method"), Cmd(40047, "&400%"),
                       Cmd(40048, "&Average Method")}),
       Sep()}));
  m.push_back(
      Sub("&Fi&lter",
          {Cmd(40004, "&Median"), Cmd(40005, "&High"), Cmd(40006, "&Low"), Sep(),
           Sub("Mean Filter", {Cmd(40111, "Arithmetic Mean Filter"), Cmd(40112, "Geometric Mean Filter"),
                               Cmd(40113, "Harmonic Mean Filter"), Cmd(40114, "Contraharmonic Mean Filter")}),
           Sub("Order Statistics Filters",
               {Cmd(40171, "Max  Filter"), Cmd(40172, "Min Filter"), Cmd(40173, "Midpoint Filter")}),
           Cmd(40174, "Gaussian Filter")}));
  m.push_back(
      Sub("&Edge Detection", {Cmd(40018, "&Homogenity"), Cmd(40019, "&Difference"), Cmd(40020, "&Variance"),
                              Sep(), Cmd(40027, "&quick"), Cmd(40029, "&kirsh"), Cmd(40030, "prewitt"), Sep(),
                              Cmd(40083, "Geometrics Detection")}));
  m.push_back(Sub("Aritmetic Operation", {Grayed(40050, "Add Image"), Grayed(40051, "Subtract Image")}));
  m.push_back(Sub("Overlay Operation", {Grayed(40059, "Non Zero Overlay"), Grayed(40060, "Zero Overlay"),
                                        Grayed(40061, "Greater Overlay"), Grayed(40062, "Less Overlay"),
                                        Grayed(40063, "Average Overlay"), Grayed(40064, "Match Overlay")}));
  m.push_back(Sub("", {Cmd(40007, "")}));
  m.push_back(Sub("Boolean Operatioin", {Grayed(40052, "AND Operation"), Grayed(40053, "OR OPeration"),
                                         Grayed(40054, "XOR Operation"), Grayed(40055, "NAND Operation"),
                                         Grayed(40056, "NOR Operation"), Grayed(40057, "NOT Operation")}));
  m.push_back(Sub(
      "Advance Operation",
      {Sub("False Colour",
           {Cmd(40070, "false color1"), Cmd(40071, "false color 2"), Cmd(40072, "false color3")}),
       Sub("RGB Components", {Cmd(40167, "RED component of Image"), Cmd(40168, "GREEN Component of Image"),
                              Cmd(40169, "BLUE Component of Image")}),
       Sub("Pseudocolor Image Processing",
           {Cmd(40120, "Static Intensity  Slicing"), Cmd(40170, "Incremental Intensity  Slicing"),
            Cmd(40203, "Image slicing"), Cmd(40204, "Intensity Slicing 2")}),
       Cmd(40205, "Color Slicing"),
       Cmd(40206, "Object Color Change"),
       Sep(),
       Cmd(40073, "Shered"),
       Cmd(40075, "Rotation"),
       Sep(),
       Cmd(40086, "Labeling Images"),
       Sep(),
       Cmd(40094, "Brightness "),
       Cmd(40095, "Darkness"),
       Sep(),
       Checked(40100, "Normal"),
       Cmd(40096, "Stretch"),
       Cmd(40098, "Center"),
       Sep(),
       Checked(40097, "RGBvalue"),
       Checked(40115, "HSB Value"),
       Sep()}));
  m.push_back(
      Sub("Shape Manipulation",
          {Cmd(40080, "Erosion"), Cmd(40081, "Dilation"), Cmd(40087, "Opening"), Cmd(40088, "Closing"),
           Sub("Outlining", {Cmd(40197, "Exterior  Outline"), Cmd(40198, "Interior Outline")}), Sep(),
           Grayed(40076, "&Cut"), Grayed(40079, "Copy"), Grayed(40077, "&Paste")}));
  m.push_back(Sub("&Segment", {Cmd(40012, "&Manual"), Cmd(40013, "Histogram &Peak"),
                               Cmd(40014, "Histogram &Valley"), Cmd(40015, "Histogram &Adaptive")}));
  m.push_back(
      Sub("Classification",
          {Cmd(40092, "Triangles"), Cmd(40090, "Squares"), Cmd(40089, "Circles"), Sep(),
           Cmd(40102, "Similar Area"), Cmd(40107, "Similar Perimeter"), Cmd(40108, "Similar Intensity"),
           Sep(), Cmd(40103, "Threshold"), Cmd(40099, "Fill Objects"), Cmd(40105, "Remove Objects"),
           Cmd(40104, "Grow"), Cmd(40109, "TRFG"), Sep(), Cmd(40106, "Set Threshold Limits")}));
  m.push_back(Sub("Analysis", {Cmd(40199, "RBC General"), Sep(), Cmd(40200, "Find WBCs"),
                               Cmd(40207, "Identify Sickel Cells"), Sep(), Cmd(40208, "Train"),
                               Sub("Identification",
                                   {Cmd(40209, "Area"), Cmd(40210, "Perimeter"), Cmd(40211, "Intensity")})}));
  m.push_back(Sub("&Help", {Cmd(40007, "&About "), Sep(), Cmd(40026, "About &Project")}));
  return m;
}

constexpr int kVkF1 = 0x70;
constexpr int kVkF2 = 0x71;
constexpr int kVkF4 = 0x73;

Accelerator AltChar(char c, int command) {
  return Accelerator{Accelerator::Type::Char, c, false, true, false, command};
}
Accelerator CtrlKey(char c, int command) {
  return Accelerator{Accelerator::Type::VirtKey, c, true, false, false, command};
}
Accelerator Key(int vk, int command) {
  return Accelerator{Accelerator::Type::VirtKey, vk, false, false, false, command};
}

}  // namespace

const std::vector<MenuItem>& mainMenu() {
  static const std::vector<MenuItem> menu = BuildMenu();
  return menu;
}

const std::vector<Accelerator>& acceleratorTable() {
  static const std::vector<Accelerator> table = {
      AltChar('1', 40035),
      AltChar('2', 40039),
      AltChar('3', 40036),
      AltChar('4', 40040),
      AltChar('6', 40042),
      AltChar('8', 40043),
      Accelerator{Accelerator::Type::VirtKey, '9', false, true, false, 40034},
      CtrlKey('A', 40015),
      CtrlKey('D', 40031),
      CtrlKey('H', 40005),
      CtrlKey('I', 40009),
      CtrlKey('L', 40006),
      CtrlKey('P', 40013),
      CtrlKey('S', 40022),
      CtrlKey('V', 40101),
      CtrlKey('V', 40014),
      Key(kVkF1, 40026),
      Key(kVkF2, 40007),
      Key(kVkF4, 40024),
      AltChar('a', 40049),
      AltChar('c', 40038),
      AltChar('d', 40019),
      AltChar('e', 40021),
      AltChar('g', 40023),
      AltChar('h', 40033),
      AltChar('i', 40051),
      AltChar('k', 40029),
      AltChar('l', 40050),
      AltChar('m', 40004),
      AltChar('n', 40041),
      AltChar('o', 40001),
      AltChar('p', 40030),
      AltChar('q', 40027),
      AltChar('r', 40025),
      AltChar('s', 40016),
      AltChar('u', 40012),
      AltChar('v', 40020),
      AltChar('w', 40032),
      AltChar('z', 40037),
  };
  return table;
}

const std::array<ToolbarButton, 14>& largeToolbar() {
  static const std::array<ToolbarButton, 14> t = {{{0, 40142},
                                                   {1, 50175},
                                                   {2, 50176},
                                                   {3, 50177},
                                                   {4, 50178},
                                                   {5, 50179},
                                                   {6, 50180},
                                                   {7, 50181},
                                                   {8, 50182},
                                                   {9, 50183},
                                                   {10, 50184},
                                                   {11, 50185},
                                                   {12, 50186},
                                                   {13, 50187}}};
  return t;
}

const std::array<ToolbarButton, 14>& smallToolbar() {
  static const std::array<ToolbarButton, 14> t = {{{0, 40151},
                                                   {1, 40157},
                                                   {2, 40160},
                                                   {3, 40161},
                                                   {4, 40163},
                                                   {5, 40164},
                                                   {6, 40165},
                                                   {7, 50189},
                                                   {8, 50190},
                                                   {9, 50191},
                                                   {10, 50192},
                                                   {11, 50193},
                                                   {12, 50194},
                                                   {13, 50195}}};
  return t;
}

std::string_view tooltipText(int id) {
  switch (id) {
    case 40142:
    case 40151:
      return "Open Bitmap File";
    case 40157:
    case 50176:
      return "Save Image";
    case 40160:
    case 50177:
      return "Show Histogram of Image";
    case 40161:
    case 50187:
      return "About  Help ";
    case 40163:
      return "Invert  Image";
    case 50178:
      return "Invert  Image ";
    case 40164:
    case 50179:
      return "Psudocolor Image Processing";
    case 40165:
    case 50175:
      return "Open Second Image";
    case 50180:
    case 50189:
      return "Add   Two Images";
    case 50181:
    case 50190:
      return "Subtract Two Image";
    case 50182:
    case 50191:
      return "Insert Text in Image";
    case 50183:
    case 50192:
      return "Zoom Image";
    case 50184:
    case 50193:
      return "Shrink Image";
    case 50185:
    case 50194:
      return "Rotate Image Right Side";
    case 50186:
    case 50195:
      return "Strech  Image to Desktop size";
    default:
      return {};
  }
}

const std::array<PopupItem, 8>& popupMenu() {
  static const std::array<PopupItem, 8> p = {{{50165, "Restore Image"},
                                              {50166, "Show Histogram"},
                                              {50167, "Hide Histrogram"},
                                              {60170, "Restore Toolbar"},
                                              {50170, "Hide Toolbar"},
                                              {50169, "Show Large Toolbar"},
                                              {60169, "Show Small Tollbar"},
                                              {50168, "Properties"}}};
  return p;
}

int primaryCommand(int id) {
  switch (id) {
    case 40142:
    case 40151:
      return 40001;  // Open
    case 40157:
    case 50176:
      return 40016;  // Save
    case 40160:
    case 50177:
    case 50166:
      return 40032;  // Show Histogram
    case 40161:
    case 50187:
      return 40026;  // Help
    case 40163:
    case 50178:
      return 40009;  // Invert
    case 40164:
    case 50179:
      return 40120;  // Static Intensity Slicing
    case 40165:
    case 50175:
      return 40049;  // Open Also
    case 50180:
    case 50189:
      return 40050;  // Add Image
    case 50181:
    case 50190:
      return 40051;  // Subtract Image
    case 50182:
    case 50191:
      return 40086;  // Labeling Images (insert text)
    case 50183:
    case 50192:
      return 40039;  // 200% zoom by replication
    case 50184:
    case 50193:
      return 40044;  // shrink, corner method
    case 50185:
    case 50194:
      return 40034;  // rotate 90 degrees
    case 50186:
    case 50195:
      return 40096;  // Stretch
    case 50165:
      return 40025;  // Restore Image
    case 50167:
      return 40033;  // Hide Histogram
    case 50168:
      return 40031;  // Show Image Details
    default:
      return id;  // menu ids and the four toolbar shell commands
  }
}

const DialogTemplate* findDialogTemplate(std::string_view name) {
  for (const auto& t : dialogTemplates())
    if (t.name == name) return &t;
  return nullptr;
}

}  // namespace opta::resources
