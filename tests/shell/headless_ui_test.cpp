// The scripted user: message box answers, dialog scripts run through the
// real procedure, file dialogs and the clipboard.
#include <gtest/gtest.h>

#include "shell_fixture.h"

namespace opta::testing {
namespace {

using headless::DialogScript;
using headless::HeadlessUi;

TEST(HeadlessMessageBox, DefaultButtonAndScriptedAnswers) {
  HeadlessUi ui;
  EXPECT_EQ(ui.messageBox("t", "c", platform::MB_OKCANCEL | platform::MB_ICONQUESTION), platform::IDOK);
  EXPECT_EQ(ui.messageBox("t", "c", platform::MB_YESNO), headless::IDYES);
  EXPECT_EQ(ui.messageBox("t", "c", platform::MB_YESNO | 0x100), headless::IDNO);  // MB_DEFBUTTON2
  ui.queueMessageBoxAnswer(platform::IDCANCEL);
  ui.queueMessageBoxAnswer(platform::IDCANCEL);
  EXPECT_EQ(ui.messageBox("t", "c", platform::MB_OKCANCEL, true), platform::IDCANCEL);
  EXPECT_EQ(ui.messageBox("t", "c", platform::MB_OK), platform::IDOK);  // no such button
  EXPECT_EQ(ui.problems().size(), 1u);
  ASSERT_EQ(ui.messageBoxes().size(), 5u);
  EXPECT_TRUE(ui.messageBoxes()[3].ownedByMainWindow);
  EXPECT_EQ(ui.messageBoxes()[3].result, platform::IDCANCEL);
}

// Records what the procedure saw at each step.
class ProbeProc : public platform::DialogProc {
 public:
  void onInit(platform::DialogWindow& dlg) override {
    initText = dlg.itemText(1026);
    initChecked = dlg.isChecked(1064);
    staticText = dlg.itemText(1);
  }
  void onCommand(platform::DialogWindow& dlg, int id) override {
    if (id == 1065) sawOtherCleared = !dlg.isChecked(1064) && dlg.isChecked(1065) && dlg.isChecked(1066);
    if (id == platform::IDOK && dlg.itemText(1026) != "bad") dlg.end(7);
  }
  std::string initText = "?", staticText;
  bool initChecked = true, sawOtherCleared = false;
};

TEST(HeadlessDialog, ScriptDrivesTheRealProcedure) {
  HeadlessUi ui;
  ProbeProc proc;
  ui.queueDialog(DialogScript{}.set(1026, "50").click(1064).click(1066).click(1065).click(platform::IDOK));
  EXPECT_EQ(ui.runDialog(*TestTemplate("9001"), proc), 7);
  EXPECT_EQ(proc.initText, "");
  EXPECT_FALSE(proc.initChecked);
  EXPECT_EQ(proc.staticText, "OK");
  EXPECT_TRUE(proc.sawOtherCleared);  // 1066 is in a group of its own
  const auto& rec = ui.dialogs().at(0);
  EXPECT_EQ(rec.texts.at(1026), "50");
  EXPECT_TRUE(rec.checked.at(1065));
  EXPECT_EQ(rec.clicks, (std::vector<int>{1064, 1066, 1065, 1}));
  EXPECT_TRUE(ui.problems().empty());
}

TEST(HeadlessDialog, UnscriptedAcceptedAndStubbornDialogsClosed) {
  HeadlessUi ui;
  ProbeProc proc;
  EXPECT_EQ(ui.runDialog(*TestTemplate("9001"), proc), 7);
  EXPECT_EQ(ui.dialogs().at(0).clicks, (std::vector<int>{1}));

  // OK refused and Cancel ignored: closed anyway, and reported.
  ui.queueDialog(DialogScript{}.set(1026, "bad").set(4242, "x"));
  EXPECT_EQ(ui.runDialog(*TestTemplate("9001"), proc), platform::IDCANCEL);
  EXPECT_EQ(ui.dialogs().at(1).clicks, (std::vector<int>{1, 2}));
  EXPECT_EQ(ui.problems().size(), 2u);  // control 4242, and the dialog never closing
}

TEST(HeadlessDialog, ModalLoopRunsFirst) {
  HeadlessUi ui;
  int pumped = 0;
  ui.setModalLoop([&] { ++pumped; });
  ProbeProc proc;
  ui.runDialog(*TestTemplate("9001"), proc);
  ui.messageBox("x", "", platform::MB_OK);
  EXPECT_EQ(pumped, 2);
  ui.exitProcess(3);
  ui.exitProcess(0);
  ui.messageBox("after", "", platform::MB_OK);
  EXPECT_EQ(pumped, 2);
  EXPECT_EQ(ui.messageBoxes().size(), 1u);  // nothing shows after the exit
  EXPECT_EQ(ui.exitCode(), 3);
}

TEST(HeadlessChoosers, FilesColoursFontsAndClipboard) {
  HeadlessUi ui;
  platform::FileDialogState state;
  EXPECT_FALSE(ui.openFileDialog(state));
  ui.queueFile("a.bmp");
  ui.queueFile(std::nullopt);
  EXPECT_EQ(ui.saveFileDialog(state), "a.bmp");
  EXPECT_EQ(state.lastPath, "a.bmp");
  EXPECT_FALSE(ui.openFileDialog(state));
  EXPECT_EQ(state.lastPath, "a.bmp");
  ASSERT_EQ(ui.fileDialogs().size(), 3u);
  EXPECT_TRUE(ui.fileDialogs()[1].save);

  std::array<Colour, 16> custom{};
  Colour chosen = 5;
  EXPECT_FALSE(ui.chooseColour(0, custom, chosen));
  ui.queueColour(Rgb(1, 2, 3));
  EXPECT_TRUE(ui.chooseColour(0, custom, chosen));
  EXPECT_EQ(chosen, Rgb(1, 2, 3));
  FontDesc font;
  Colour colour = 0;
  EXPECT_FALSE(ui.chooseFont(font, colour));

  EXPECT_FALSE(ui.clipboardHasBitmap());
  Surface bitmap;
  bitmap.allocate(3, 2, Rgb(9, 9, 9));
  ui.setClipboard(bitmap);
  bitmap.set(0, 0, kBlack);  // the clipboard holds its own copy
  Surface out;
  ASSERT_TRUE(ui.clipboardBitmap(out));
  EXPECT_EQ(out.size(), (Size{3, 2}));
  EXPECT_EQ(out.get(0, 0), Rgb(9, 9, 9));
}

}  // namespace
}  // namespace opta::testing
