// The edge detection commands through the shell's frames and dialog 116.
#include <gtest/gtest.h>

#include "edges/commands.h"
#include "platform/headless/application.h"
#include "shell/shell_fixture.h"

namespace opta {
namespace {

using headless::DialogScript;
using platform::CursorShape;

TEST(EdgesCommands, FramesCursorAndDialog116) {
  headless::Application app(headless::AppOptions{Size{300, 200}, Size{320, 240}, {}});
  app.start();
  app.ui().queueDialog(DialogScript::Cancel());
  app.command(40083);  // dialog first: Cancel stops before the image check
  EXPECT_TRUE(app.ui().messageBoxes().empty());
  app.command(40018);
  ASSERT_EQ(app.ui().messageBoxes().size(), 1u);
  EXPECT_EQ(app.ui().messageBoxes()[0].text, "First Open a BITMAP image !!");

  testing::ShellFixture::LoadImage(app.doc().working, 6, 5, kBlack);
  app.windowSurface().fill(Rgb(1, 2, 3));
  for (int id : {40018, 40019, 40020}) app.command(id);
  EXPECT_TRUE(app.ui().cursorHistory().empty());
  EXPECT_EQ(app.windowSurface().get(299, 199), kWhite);
  EXPECT_EQ(app.windowSurface().get(300, 0), Rgb(1, 2, 3));  // beyond the screen
  for (int id : {40027, 40029, 40030, 40083}) {
    app.ui().clearRecords();
    app.command(id);
    EXPECT_EQ(app.ui().cursorHistory(), (std::vector<CursorShape>{CursorShape::Wait, CursorShape::Arrow}))
        << id;
  }

  EXPECT_EQ(edges::GeometricChoice, 1012);
  app.ui().queueDialog(DialogScript{}.click(1010).click(platform::IDOK));
  app.command(40083);
  app.ui().queueDialog(DialogScript{}.click(1013).click(platform::IDCANCEL));
  app.command(40083);
  EXPECT_EQ(edges::GeometricChoice, 1010);
  app.command(40083);  // opens with the remembered choice checked
  EXPECT_TRUE(app.ui().dialogs().back().checked.at(1010));
  EXPECT_FALSE(app.ui().dialogs().back().checked.at(1012));
  headless::Application fresh;
  fresh.start();
  EXPECT_EQ(edges::GeometricChoice, 1012);
}

}  // namespace
}  // namespace opta
