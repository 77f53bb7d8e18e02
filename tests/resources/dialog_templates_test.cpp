#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <string>

#include "resources/resources.h"

namespace opta::resources {
namespace {

using Kind = DialogControl::Kind;

const DialogControl* Find(const DialogTemplate& t, int id) {
  for (const auto& c : t.controls)
    if (c.id == id) return &c;
  return nullptr;
}

bool HasText(const DialogTemplate& t, std::string_view text) {
  for (const auto& c : t.controls)
    if (c.text == text) return true;
  return false;
}

// Every template a command shows, with the control ids its procedure reads.
const std::map<std::string, std::set<int>>& Expected() {
  static const std::map<std::string, std::set<int>> m = {
      {"ABOUTBOX", {11, 12, 13, 14, 15}},
      {"104", {16, 17, 18}},
      {"105", {1000, 1001, 1002}},
      {"115", {1018, 1019, 1020, 1021}},
      {"116", {1010, 1011, 1012, 1013, 1014}},
      {"117", {1015, 1016, 1017}},
      {"118", {1024}},
      {"120", {1015}},
      {"121", {1015}},
      {"122", {1025}},
      {"127", {1015}},
      {"137", {}},
      {"139",
       {1026, 1027, 1028, 1029, 1037, 1036, 1015, 1016, 1017, 1030, 1031, 1032, 1035, 1034, 1033, 1038, 1039,
        1040}},
      {"187", {1015, 1016, 1017, 1041, 1042, 1038}},
      {"188", {1015, 1016, 1048, 1049, 1017, 1041, 1042, 1044, 1045, 1046, 1038, 1039}},
      {"189", {1015, 1016, 1017, 1050, 1051, 1052, 1053, 1054}},
      {"190",
       {1015, 1016, 1017, 1058, 1056, 1057, 1060, 1061, 1062, 1063, 1064, 1065, 1066, 1067, 1068, 1069}},
      {"IDD_DIALOG_SET", {1015, 1016}},
  };
  return m;
}

TEST(DialogTemplates, EveryTemplateExistsWithItsControlsAndButtons) {
  EXPECT_EQ(dialogTemplates().size(), Expected().size());
  for (const auto& [name, ids] : Expected()) {
    SCOPED_TRACE(name);
    const DialogTemplate* t = findDialogTemplate(name);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->name, name);
    for (int id : ids) EXPECT_NE(Find(*t, id), nullptr) << id;

    const DialogControl* ok = Find(*t, 1);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->kind, Kind::DefPushButton);
    EXPECT_EQ(ok->text, "OK");
    const DialogControl* cancel = Find(*t, 2);
    if (name == "137") {
      EXPECT_EQ(cancel, nullptr);  // the About box closes with OK only
    } else {
      ASSERT_NE(cancel, nullptr);
      EXPECT_EQ(cancel->kind, Kind::PushButton);
      EXPECT_EQ(cancel->text, name == "ABOUTBOX" ? "CANCEL" : "Cancel");
    }

    // Ids are unique within a dialog; static controls share -1.
    std::set<int> seen;
    for (const auto& c : t->controls) {
      if (c.id != -1) {
        EXPECT_TRUE(seen.insert(c.id).second) << "duplicate id " << c.id;
      }
    }
  }
  EXPECT_EQ(findDialogTemplate("999"), nullptr);
  EXPECT_EQ(findDialogTemplate(""), nullptr);
}

TEST(DialogTemplates, ControlsLieInsideTheirDialog) {
  for (const auto& t : dialogTemplates()) {
    SCOPED_TRACE(std::string(t.name));
    EXPECT_GT(t.cx, 0);
    EXPECT_GT(t.cy, 0);
    for (const auto& c : t.controls) {
      EXPECT_GE(c.x, 0) << c.id << " " << c.text;
      EXPECT_GE(c.y, 0) << c.id << " " << c.text;
      EXPECT_GT(c.cx, 0) << c.id;
      EXPECT_GT(c.cy, 0) << c.id;
      EXPECT_LE(c.x + c.cx, t.cx) << c.id << " " << c.text;
      EXPECT_LE(c.y + c.cy, t.cy) << c.id << " " << c.text;
    }
  }
}

TEST(DialogTemplates, InteractiveControlsDoNotOverlap) {
  // Group boxes and labels may enclose others; edits, buttons and combos must not collide.
  auto interactive = [](const DialogControl& c) {
    return c.kind != Kind::GroupBox && c.kind != Kind::Text && c.kind != Kind::Bitmap && c.kind != Kind::Icon;
  };
  for (const auto& t : dialogTemplates()) {
    if (t.name == "118" || t.name == "122") continue;  // a combo's height includes its drop-down list
    for (std::size_t i = 0; i < t.controls.size(); ++i)
      for (std::size_t j = i + 1; j < t.controls.size(); ++j) {
        const auto& a = t.controls[i];
        const auto& b = t.controls[j];
        if (!interactive(a) || !interactive(b)) continue;
        const bool overlap = a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
        EXPECT_FALSE(overlap) << t.name << ": " << a.id << " and " << b.id;
      }
  }
}

TEST(DialogTemplates, GivenGeometryAndTexts) {
  const DialogTemplate* set = findDialogTemplate("IDD_DIALOG_SET");
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->title, "Set Threshold Limits");
  EXPECT_EQ(set->cx, 240);
  EXPECT_EQ(set->cy, 95);
  EXPECT_EQ(set->fontFace, "MS Sans Serif");
  EXPECT_EQ(set->fontPoints, 8);
  const DialogControl* high = Find(*set, 1015);
  ASSERT_NE(high, nullptr);
  EXPECT_EQ(high->kind, Kind::Edit);
  EXPECT_EQ((std::array{high->x, high->y, high->cx, high->cy}), (std::array{59, 14, 116, 16}));
  const DialogControl* cancel = Find(*set, 2);
  EXPECT_EQ((std::array{cancel->x, cancel->y, cancel->cx, cancel->cy}), (std::array{98, 74, 50, 14}));

  const DialogTemplate* about = findDialogTemplate("137");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->title, "About  Optascope  OPTA");
  EXPECT_EQ(about->cx, 299);
  EXPECT_EQ(about->cy, 216);
  EXPECT_EQ(about->fontFace, "Smudger LET");
  EXPECT_EQ(about->fontPoints, 11);
  bool picture = false, icon = false;
  for (const auto& c : about->controls) {
    if (c.kind == Kind::Bitmap) {
      picture = c.text == "MYBP2" && c.x == 7 && c.y == 19 && c.cx == 285 && c.cy == 190 &&
                (c.style & style::kSsCenterImage) != 0;
    }
    if (c.kind == Kind::Icon) icon = c.text == "191" && c.x == 7 && c.y == 2;
  }
  EXPECT_TRUE(picture);
  EXPECT_TRUE(icon);

  EXPECT_EQ(findDialogTemplate("ABOUTBOX")->title, "Low Pass Filter");
  EXPECT_EQ(findDialogTemplate("116")->title, "Geometric Detection ");
  EXPECT_EQ(findDialogTemplate("120")->title, "Opening ");
  EXPECT_EQ(findDialogTemplate("139")->title, "Pseudocolor  Image Processing");
  EXPECT_EQ(findDialogTemplate("190")->title, "False Color Replace");
  EXPECT_TRUE(HasText(*findDialogTemplate("115"), "Choose Erosion  Dilation  Outlinig Type"));
  EXPECT_TRUE(HasText(*findDialogTemplate("127"), "Enter Order of  Contraharmonic Mean Filter"));
  EXPECT_TRUE(HasText(*findDialogTemplate("189"), "Gray Backgorund"));
  EXPECT_TRUE(HasText(*findDialogTemplate("117"), "Enter Text and Position (x,y) value"));
  EXPECT_EQ(Find(*findDialogTemplate("105"), 1002)->text, "Median  - Mean 7 Filter");
}

TEST(DialogTemplates, ControlKinds) {
  // The mask and size dialogs check their radio buttons themselves.
  for (const char* name : {"ABOUTBOX", "104", "105", "115", "116"})
    for (const auto& c : findDialogTemplate(name)->controls) {
      if (c.id > 2) {
        EXPECT_EQ(c.kind, Kind::RadioButton) << name << " " << c.id;
      }
    }

  const DialogControl* bright = Find(*findDialogTemplate("118"), 1024);
  const DialogControl* dark = Find(*findDialogTemplate("122"), 1025);
  ASSERT_TRUE(bright && dark);
  EXPECT_EQ(bright->kind, Kind::ComboDropDown);
  EXPECT_EQ(dark->kind, Kind::ComboDropDown);
  EXPECT_NE(bright->style & style::kCbsSort, 0u);
  EXPECT_EQ(bright->style & style::kWsVScroll, 0u);
  EXPECT_NE(dark->style & style::kWsVScroll, 0u);

  for (int id : {1015, 1016, 1017}) EXPECT_EQ(Find(*findDialogTemplate("117"), id)->kind, Kind::Edit);
  for (int id : {1038, 1039, 1040}) EXPECT_EQ(Find(*findDialogTemplate("139"), id)->text, "Color");
}

}  // namespace
}  // namespace opta::resources
