#include <gtest/gtest.h>

#include "platform/headless/application.h"

namespace opta::headless {
namespace {

TEST(HeadlessApplication, StartsWithCaptionTimerAndLargeToolbar) {
  Application app;
  app.start();
  EXPECT_EQ(app.window().caption(), "Bio-Medical Optascope");
  EXPECT_EQ(app.window().timers().at(1), 60000);
  EXPECT_TRUE(app.window().toolbar().exists);
  EXPECT_EQ(app.window().toolbar().kind, platform::ToolbarKind::Large);
  EXPECT_EQ(app.windowSurface().size(), (Size{1920, 1080}));
}

}  // namespace
}  // namespace opta::headless
