// The real menu bar and toolbars are built from the resource tables and
// follow the shell's menu state.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "qt/desktop_fixture.h"

namespace opta::qt::test {
namespace {

using resources::MenuItem;

// Walks a Qt menu against its resource items: kinds, exact texts, ids and
// the state the menu state gives each command.
void ExpectMenuMatches(const QMenu* menu, const std::vector<MenuItem>& items, const MenuState& state,
                       int& commands) {
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size())) << menu->title().toStdString();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const MenuItem& item = items[i];
    const QAction* a = actions[static_cast<qsizetype>(i)];
    switch (item.kind) {
      case MenuItem::Kind::Separator:
        EXPECT_TRUE(a->isSeparator());
        break;
      case MenuItem::Kind::Submenu:
        ASSERT_NE(a->menu(), nullptr);
        EXPECT_EQ(a->text().toStdString(), item.text);
        ExpectMenuMatches(a->menu(), item.items, state, commands);
        break;
      case MenuItem::Kind::Command: {
        ++commands;
        EXPECT_EQ(a->text().toStdString(), item.text);
        EXPECT_EQ(a->data().toInt(), item.id) << item.text;
        const ItemState s = state.state(item.id);
        EXPECT_EQ(a->isEnabled(), s.enable != ItemEnable::Grayed) << item.id;
        EXPECT_EQ(a->isChecked(), s.checked) << item.id;
        EXPECT_TRUE(a->shortcut().isEmpty()) << "keys belong to the accelerator table";
        break;
      }
    }
  }
}

TEST(QtMenus, MenuBarHoldsEveryResourceItemWithItsState) {
  auto d = StartDesktop();
  const QList<QAction*> top = d->window.menuBar()->actions();
  ASSERT_EQ(top.size(), 15);
  // The resource table's own titles and texts are checked in the resource tests.
  const auto& resource = resources::mainMenu();
  int commands = 0;
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(top[i]->text().toStdString(), resource[static_cast<std::size_t>(i)].text);
    ASSERT_NE(top[i]->menu(), nullptr);
    ExpectMenuMatches(top[i]->menu(), resource[static_cast<std::size_t>(i)].items, d->shell.menu(), commands);
  }
  EXPECT_GT(commands, 100);

  // About sits twice: in the untitled menu and under "&Help".
  EXPECT_EQ(d->window.actionsFor(40007).size(), 2u);
}

// A menu choice arrives as a posted command: it runs from the event loop.
void Choose(QAction* a) {
  a->trigger();
  QCoreApplication::processEvents();
}

TEST(QtMenus, ItemsFollowTheMenuStateAndOnlySelectableOnesRun) {
  auto d = StartDesktop();
  QAction* subtract = d->window.actionsFor(40051).at(0);
  Choose(subtract);  // greyed: Qt refuses it
  EXPECT_TRUE(Ran().empty());

  d->shell.menu().setEnable(40051, ItemEnable::Enabled);
  EXPECT_TRUE(subtract->isEnabled());
  subtract->trigger();
  EXPECT_TRUE(Ran().empty());  // not inside the menu's own handling
  QCoreApplication::processEvents();
  EXPECT_EQ(Ran(), std::vector<int>{40051});

  // Disabled but not greyed: looks enabled, yet choosing it sends nothing.
  d->shell.menu().setEnable(40051, ItemEnable::Disabled);
  EXPECT_TRUE(subtract->isEnabled());
  Choose(subtract);
  EXPECT_EQ(Ran(), std::vector<int>{40051});

  QAction* rgb = d->window.actionsFor(40097).at(0);
  d->shell.menu().setChecked(40097, false);
  EXPECT_FALSE(rgb->isChecked());
  // Qt would toggle a checkable item itself; the shell's state wins.
  d->shell.menu().setChecked(40097, true);
  Choose(rgb);
  EXPECT_TRUE(rgb->isChecked());
  EXPECT_EQ(Ran().back(), 40097);
}

std::vector<std::string> Tooltips(const QToolBar* bar) {
  std::vector<std::string> out;
  for (const QAction* a : bar->actions()) out.push_back(a->toolTip().toStdString());
  return out;
}

TEST(QtToolbars, LargeToolbarAtStartWithItsTooltipsAndIcons) {
  auto d = StartDesktop();
  QToolBar* bar = d->window.toolbar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(d->shell.toolbarExists());
  EXPECT_EQ(bar->iconSize(), QSize(32, 32));
  const std::vector<std::string> expected = {"Open Bitmap File",
                                             "Open Second Image",
                                             "Save Image",
                                             "Show Histogram of Image",
                                             "Invert  Image ",
                                             "Psudocolor Image Processing",
                                             "Add   Two Images",
                                             "Subtract Two Image",
                                             "Insert Text in Image",
                                             "Zoom Image",
                                             "Shrink Image",
                                             "Rotate Image Right Side",
                                             "Strech  Image to Desktop size",
                                             "About  Help "};
  EXPECT_EQ(Tooltips(bar), expected);
  for (const QAction* a : bar->actions()) EXPECT_FALSE(a->icon().isNull());

  // Buttons are never disabled: Subtract runs before any second image.
  Choose(bar->actions()[7]);
  EXPECT_EQ(Ran(), std::vector<int>{40051});
}

TEST(QtToolbars, ToolbarCommandsReplaceHideAndRestoreIt) {
  auto d = StartDesktop();
  d->shell.onCommand(shellid::kShowSmallToolbar);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QToolBar* small = d->window.toolbar();
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(small->iconSize(), QSize(16, 16));
  EXPECT_EQ(small->actions()[0]->data().toInt(), 40151);
  EXPECT_EQ(Tooltips(small)[4], "Invert  Image");  // no trailing blank on the small one
  EXPECT_EQ(d->window.findChildren<QToolBar*>().size(), 1);

  d->shell.onCommand(shellid::kHideToolbar);
  EXPECT_TRUE(small->isHidden());
  d->shell.onCommand(shellid::kRestoreToolbar);
  EXPECT_FALSE(small->isHidden());

  d->shell.onCommand(shellid::kShowLargeToolbar);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_NE(d->window.toolbar(), nullptr);
  EXPECT_EQ(d->window.toolbar()->iconSize(), QSize(32, 32));
  EXPECT_EQ(d->window.findChildren<QToolBar*>().size(), 1);
}

TEST(QtPopup, PopupOffersTheEightItemsAndReturnsTheChoice) {
  auto d = StartDesktop();
  std::vector<std::string> texts;
  QTimer::singleShot(50, [&] {
    QMenu* menu = d->window.openPopup();
    if (!menu) return;
    for (QAction* a : menu->actions()) texts.push_back(a->text().toStdString());
    for (QAction* a : menu->actions())
      if (a->text() == QStringLiteral("Properties")) menu->setActiveAction(a);
    QTest::keyClick(menu, Qt::Key_Return);
  });
  const int chosen = d->window.trackPopupMenu(Point{200, 150});
  EXPECT_EQ(chosen, 50168);
  const std::vector<std::string> expected = {"Restore Image",      "Show Histogram", "Hide Histrogram",
                                             "Restore Toolbar",    "Hide Toolbar",   "Show Large Toolbar",
                                             "Show Small Tollbar", "Properties"};
  EXPECT_EQ(texts, expected);
}

}  // namespace
}  // namespace opta::qt::test
