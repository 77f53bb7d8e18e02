#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "resources/resources.h"

namespace opta::resources {
namespace {

using Kind = MenuItem::Kind;

struct Found {
  const MenuItem* item = nullptr;
  std::string top;      // top-level title
  std::string submenu;  // enclosing submenu title, empty when directly under top
};

void Collect(const std::vector<MenuItem>& items, const std::string& top, const std::string& sub,
             std::multimap<int, Found>& out) {
  for (const auto& it : items) {
    if (it.kind == Kind::Submenu)
      Collect(it.items, top, std::string(it.text), out);
    else if (it.kind == Kind::Command)
      out.emplace(it.id, Found{&it, top, sub});
  }
}

std::multimap<int, Found> AllCommands() {
  std::multimap<int, Found> out;
  for (const auto& top : mainMenu()) Collect(top.items, std::string(top.text), "", out);
  return out;
}

const MenuItem& Top(std::string_view title) {
  for (const auto& t : mainMenu())
    if (t.text == title) return t;
  static const MenuItem none;
  ADD_FAILURE() << "no top-level menu " << title;
  return none;
}

// The kinds of a menu's direct children as a compact string: C command, S submenu, - separator.
std::string Shape(const MenuItem& menu) {
  std::string s;
  for (const auto& it : menu.items)
    s += it.kind == Kind::Command ? 'C' : it.kind == Kind::Submenu ? 'S' : '-';
  return s;
}

TEST(MainMenu, FifteenTopLevelEntriesWithExactTitles) {
  const std::vector<std::string_view> titles = {"&File",
                                                "Edit",
                                                "&Image Operation",
                                                "&Fi&lter",
                                                "&Edge Detection",
                                                "Aritmetic Operation",
                                                "Overlay Operation",
                                                "",
                                                "Boolean Operatioin",
                                                "Advance Operation",
                                                "Shape Manipulation",
                                                "&Segment",
                                                "Classification",
                                                "Analysis",
                                                "&Help"};
  ASSERT_EQ(mainMenu().size(), titles.size());
  for (std::size_t i = 0; i < titles.size(); ++i) {
    EXPECT_EQ(mainMenu()[i].text, titles[i]) << i;
    EXPECT_EQ(mainMenu()[i].kind, Kind::Submenu) << i;
  }
}

TEST(MainMenu, SeparatorsAndSubmenusSitWhereTheyBelong) {
  EXPECT_EQ(Shape(Top("&File")), "C-CC-CC-C");
  EXPECT_EQ(Shape(Top("&Image Operation")), "CCCC-CCCC-SSSS-");
  EXPECT_EQ(Shape(Top("&Fi&lter")), "CCC-SSC");
  EXPECT_EQ(Shape(Top("&Edge Detection")), "CCC-CCC-C");
  EXPECT_EQ(Shape(Top("Advance Operation")), "SSSCC-CC-C-CC-CCC-CC-");
  EXPECT_EQ(Shape(Top("Shape Manipulation")), "CCCCS-CCC");
  EXPECT_EQ(Shape(Top("Classification")), "CCC-CCC-CCCCC-C");
  EXPECT_EQ(Shape(Top("Analysis")), "C-CC-CS");
  EXPECT_EQ(Shape(Top("&Help")), "C-C");
  // Submenus hold commands only.
  for (const auto& top : mainMenu())
    for (const auto& it : top.items)
      if (it.kind == Kind::Submenu) {
        EXPECT_EQ(Shape(it).find_first_not_of('C'), std::string::npos) << it.text;
      }
}

TEST(MainMenu, EveryIdAppearsOncePerPlace) {
  const auto all = AllCommands();
  std::set<int> ids;
  for (const auto& [id, f] : all) ids.insert(id);
  for (int id : ids) {
    // Only About is reachable from two places: the untitled menu and Help.
    EXPECT_EQ(all.count(id), id == 40007 ? 2u : 1u) << id;
  }
  EXPECT_EQ(ids.size(), 117u);
  auto about = all.equal_range(40007);
  std::set<std::string> places;
  for (auto it = about.first; it != about.second; ++it) places.insert(it->second.top);
  EXPECT_EQ(places, (std::set<std::string>{"", "&Help"}));
}

TEST(MainMenu, ExactTextsAndSubmenus) {
  const auto all = AllCommands();
  struct Expect {
    int id;
    std::string_view text, top, sub;
  };
  const Expect cases[] = {
      {40024, "E&xit    ", "&File", ""},
      {40037, "&Horizontal Flipping ", "&Image Operation", "&Flipping"},
      {40038, "&Vertical  Flipping", "&Image Operation", "&Flipping"},
      {40040, "&400% Zoom By Replication Method", "&Image Operation", "&Zoom"},
      {40047, "&400%", "&Image Operation", "Sh&rink"},
      {40036, "Rotate 2&70 Degree", "&Image Operation", "R&otate Image"},
      {40114, "Contraharmonic Mean Filter", "&Fi&lter", "Mean Filter"},
      {40171, "Max  Filter", "&Fi&lter", "Order Statistics Filters"},
      {40174, "Gaussian Filter", "&Fi&lter", ""},
      {40029, "&kirsh", "&Edge Detection", ""},
      {40053, "OR OPeration", "Boolean Operatioin", ""},
      {40071, "false color 2", "Advance Operation", "False Colour"},
      {40167, "RED component of Image", "Advance Operation", "RGB Components"},
      {40170, "Incremental Intensity  Slicing", "Advance Operation", "Pseudocolor Image Processing"},
      {40205, "Color Slicing", "Advance Operation", ""},
      {40094, "Brightness ", "Advance Operation", ""},
      {40197, "Exterior  Outline", "Shape Manipulation", "Outlining"},
      {40109, "TRFG", "Classification", ""},
      {40207, "Identify Sickel Cells", "Analysis", ""},
      {40211, "Intensity", "Analysis", "Identification"},
      {40026, "About &Project", "&Help", ""},
  };
  for (const auto& c : cases) {
    auto it = all.find(c.id);
    ASSERT_NE(it, all.end()) << c.id;
    EXPECT_EQ(it->second.item->text, c.text) << c.id;
    EXPECT_EQ(it->second.top, c.top) << c.id;
    EXPECT_EQ(it->second.submenu, c.sub) << c.id;
  }
  auto about = all.equal_range(40007);
  for (auto it = about.first; it != about.second; ++it)
    EXPECT_EQ(it->second.item->text, it->second.top.empty() ? "" : "&About ");
}

TEST(MainMenu, InitialStates) {
  const std::set<int> grayed = {40101, 40050, 40051, 40052, 40053, 40054, 40055, 40056, 40057,
                                40059, 40060, 40061, 40062, 40063, 40064, 40076, 40079, 40077};
  const std::set<int> checked = {40100, 40097, 40115};
  for (const auto& [id, f] : AllCommands()) {
    EXPECT_EQ(f.item->grayed, grayed.count(id) == 1) << id;
    EXPECT_EQ(f.item->checked, checked.count(id) == 1) << id;
  }
}

TEST(Accelerators, OrderCountAndKinds) {
  const auto& t = acceleratorTable();
  ASSERT_EQ(t.size(), 39u);
  EXPECT_EQ(t.front().command, 40035);
  EXPECT_EQ(t[13].command, 40022);  // first of the second column pair
  EXPECT_EQ(t[26].command, 40029);  // first of the third
  EXPECT_EQ(t.back().command, 40037);

  // Alt+9 is a virtual key; Alt+'c' a character.
  EXPECT_EQ(t[6].type, Accelerator::Type::VirtKey);
  EXPECT_EQ(t[6].key, '9');
  EXPECT_TRUE(t[6].alt);
  EXPECT_FALSE(t[6].ctrl);
  const auto& altC = t[20];
  EXPECT_EQ(altC.type, Accelerator::Type::Char);
  EXPECT_EQ(altC.key, 'c');
  EXPECT_TRUE(altC.alt);
  EXPECT_EQ(altC.command, 40038);

  int chars = 0, ctrl = 0, fkeys = 0;
  for (const auto& a : t) {
    EXPECT_FALSE(a.shift);
    if (a.type == Accelerator::Type::Char) {
      ++chars;
      EXPECT_TRUE(a.alt);
      EXPECT_FALSE(a.ctrl);
    } else if (a.ctrl) {
      ++ctrl;
      EXPECT_TRUE(a.key >= 'A' && a.key <= 'Z');
    } else if (!a.alt) {
      ++fkeys;
      EXPECT_TRUE(a.key == 0x70 || a.key == 0x71 || a.key == 0x73);
    }
  }
  EXPECT_EQ(chars, 26);
  EXPECT_EQ(ctrl, 9);
  EXPECT_EQ(fkeys, 3);
}

TEST(Accelerators, FirstMatchForCtrlVIsPaste) {
  int first = 0;
  for (const auto& a : acceleratorTable())
    if (a.type == Accelerator::Type::VirtKey && a.ctrl && a.key == 'V') {
      first = a.command;
      break;
    }
  EXPECT_EQ(first, 40101);
}

TEST(Accelerators, EveryCommandIsInTheMenu) {
  const auto all = AllCommands();
  for (const auto& a : acceleratorTable()) EXPECT_EQ(all.count(a.command) > 0, true) << a.command;
}

TEST(Toolbars, TablesTooltipsAndCommands) {
  const auto all = AllCommands();
  for (const auto* table : {&largeToolbar(), &smallToolbar()}) {
    for (int i = 0; i < 14; ++i) {
      const auto& b = (*table)[i];
      EXPECT_EQ(b.image, i);
      EXPECT_FALSE(tooltipText(b.command).empty()) << b.command;
      EXPECT_EQ(all.count(primaryCommand(b.command)), 1u) << b.command;
    }
  }
  EXPECT_EQ(largeToolbar()[13].command, 50187);
  EXPECT_EQ(smallToolbar()[3].command, 40161);
  EXPECT_EQ(tooltipText(40163), "Invert  Image");
  EXPECT_EQ(tooltipText(50178), "Invert  Image ");
  EXPECT_EQ(tooltipText(50189), "Add   Two Images");
  EXPECT_EQ(tooltipText(50195), "Strech  Image to Desktop size");
  EXPECT_EQ(tooltipText(40161), "About  Help ");
  EXPECT_TRUE(tooltipText(40001).empty());
  EXPECT_TRUE(tooltipText(50169).empty());

  // Large and small buttons for the same picture perform the same command.
  const int smallForLarge[14] = {0, 6, 1, 2, 4, 5, 7, 8, 9, 10, 11, 12, 13, 3};
  for (int i = 0; i < 14; ++i)
    EXPECT_EQ(primaryCommand(largeToolbar()[i].command),
              primaryCommand(smallToolbar()[smallForLarge[i]].command))
        << i;
}

TEST(Popup, OrderTextsAndCommands) {
  const auto& p = popupMenu();
  const int ids[8] = {50165, 50166, 50167, 60170, 50170, 50169, 60169, 50168};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(p[i].command, ids[i]);
  EXPECT_EQ(p[2].text, "Hide Histrogram");
  EXPECT_EQ(p[6].text, "Show Small Tollbar");
  EXPECT_EQ(p[7].text, "Properties");
  EXPECT_EQ(primaryCommand(50165), 40025);
  EXPECT_EQ(primaryCommand(50167), 40033);
  EXPECT_EQ(primaryCommand(50168), 40031);
  for (int own : {50169, 60169, 50170, 60170}) EXPECT_EQ(primaryCommand(own), own);
  EXPECT_EQ(primaryCommand(40013), 40013);
}

}  // namespace
}  // namespace opta::resources
