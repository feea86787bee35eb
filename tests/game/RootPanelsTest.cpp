// What the front-end root's entry loads of the battle interface at program start: the
// tooltips with the front end's texts in the framed style, reached by the controls; the story
// scroll's texts; the chat console's art.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "battle/BattlePanels.h"
#include "battle/ChatConsole.h"
#include "battle/ScrollPanel.h"
#include "battle/TooltipManager.h"
#include "game/RootScreenHooks.h"
#include "graphics/GraphicsFixtures.h"
#include "support/TestSupport.h"
#include "ui/Control.h"
#include "ui/FrontEndRoot.h"
#include "ui/SharedArt.h"

namespace {

TEST(RootPanels, ProgramStartLoadsTheTooltipsTheScrollsAndTheConsole) {
  char here[4096];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  ASSERT_EQ(chdir(testing_support::ForgedDataDir().c_str()), 0);
  {
    graphics_test::OpenDisplay display(true, true);
    LoadSharedFontsAndButtons();
    InstallRootScreenHooks();
    g_frontEndRootHooks->LoadInterfacePanels();
    g_frontEndRootHooks->LoadBattlePanels();
    EXPECT_GT(g_tooltipManager.texts.Count(), 10);
    EXPECT_EQ(g_tooltipManager.frameStyle, 0);
    EXPECT_EQ(g_tooltipManager.font, &g_smallFont);
    g_tooltipManager.RestartHoverTimer();
    ShowControlTooltip(1);  // a control's hover
    EXPECT_TRUE(g_tooltipManager.Pending());
    RestartTooltipTimer();
    EXPECT_FALSE(g_tooltipManager.Pending());
    EXPECT_EQ(g_scrollPanel.ScrollCount(), 12);
    EXPECT_EQ(g_chatConsole.picture.width, 400);
    EXPECT_EQ(g_chatConsole.checkBox.FrameCount(), 6);
    g_frontEndRootHooks.Install(nullptr);
    g_controlHooks.Install(nullptr);
    g_tooltipManager.Release();
    FreeSelectBarAndFace();
    FreeSharedButtons();
  }
  EXPECT_EQ(chdir(here), 0);
}

}  // namespace
