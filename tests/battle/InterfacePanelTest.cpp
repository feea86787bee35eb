// The panel draw rule: which parts of a work surface reach the back buffer with
// TransParentBlits on and off, in the full and the reduced view, at once and deferred.
#include <gtest/gtest.h>

#include "PanelTestSupport.h"
#include "battle/InterfacePanel.h"
#include "graphics/Display.h"

using graphics_test::PixelAt;
using namespace panel_test;

namespace {

class PanelDrawRule : public PanelDisplay {
 protected:
  // A 20 x 10 panel at (100, top), cleared as panels clear, its left half painted red, drawn
  // over a grey back buffer.
  void DrawPanel(int top = 50) {
    g_backBuffer.Fill(kGrey);
    ASSERT_TRUE(CreatePanelSurface(panel_, 20, 10, 100, top));
    ClearPanelSurface(panel_);
    const platform::Rect left{0, 0, 10, 10};
    panel_.FillRect(&left, kRed);
    DrawPanelSurface(panel_);
  }
  CSurface panel_;
};

struct RuleCase {
  int transparentBlits, windowSize, top;
  uint16_t emptyPart;  // what the back buffer shows where the panel is empty
};

TEST_F(PanelDrawRule, BlueIsInvisibleOnlyWhenKeyed) {
  const RuleCase cases[] = {
      {1, 0, 50, kGrey},   // keyed: the map shows through
      {1, 0, 500, kGrey},  // the full view's bottom panels too
      {1, 1, 50, kGrey},   // reduced view: over the map a panel stays see-through
      {1, 1, 500, kBlue},  // below the map it stands opaque on the border art
      {0, 0, 50, 0},       // opaque panels are cleared to black
      {0, 1, 500, 0},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "TransParentBlits " << c.transparentBlits << ", WindowSize " << c.windowSize
                                    << ", top " << c.top);
    DisplayPrefs prefs(c.transparentBlits, c.windowSize);
    DrawPanel(c.top);
    EXPECT_EQ(PixelAt(g_backBuffer, 105, c.top + 5), kRed);
    EXPECT_EQ(PixelAt(g_backBuffer, 115, c.top + 5), c.emptyPart);
    EXPECT_EQ(PixelAt(g_backBuffer, 99, c.top + 5), kGrey);  // outside the panel
    EXPECT_EQ(PixelAt(g_backBuffer, 120, c.top + 9), kGrey);
    panel_.Release();
  }
}

TEST_F(PanelDrawRule, DeferredKeyedCopiesWaitForTheFlushAndOpaqueOnesDoNot) {
  {
    DisplayPrefs prefs(1, 0, 1);
    DrawPanel();
    EXPECT_EQ(PixelAt(g_backBuffer, 105, 55), kGrey);
    FlushQueuedBlits();
    EXPECT_EQ(PixelAt(g_backBuffer, 105, 55), kRed);
    EXPECT_EQ(PixelAt(g_backBuffer, 115, 55), kGrey);
    panel_.Release();
  }
  DisplayPrefs prefs(0, 0, 1);
  DrawPanel();
  EXPECT_EQ(PixelAt(g_backBuffer, 105, 55), kRed);
  EXPECT_EQ(g_queuedBlitCount, 0);
}

TEST_F(PanelDrawRule, APanelWithoutItsSurfaceDrawsNothing) {
  DisplayPrefs prefs(1, 0);
  g_backBuffer.Fill(kGrey);
  CSurface never;
  DrawPanelSurface(never);
  ClearPanelSurface(never);
  CopyPanelRect(never, {0, 0, 5, 5}, g_backBuffer, 0, 0, true);
  EXPECT_EQ(PixelAt(g_backBuffer, 0, 0), kGrey);
  EXPECT_EQ(g_queuedBlitCount, 0);
}

TEST_F(PanelDrawRule, KeyedClearingSetsTheBlueKey) {
  DisplayPrefs prefs(1, 0);
  ASSERT_TRUE(CreatePanelSurface(panel_, 4, 4, 0, 0));
  ClearPanelSurface(panel_);
  EXPECT_EQ(panel_.GetColourKey(), kPanelKeyColour);
  EXPECT_EQ(PixelAt(panel_, 3, 3), kPanelKeyColour);
}

TEST(PanelProtocol, TheRestoreCallbackRepaints) {
  int repaints = 0;
  CPanelRestoreCallback callback([&] { ++repaints; });
  CSurfaceRestorer& restorer = callback;
  restorer.RestoreSurface(0);
  EXPECT_EQ(repaints, 1);
  CPanelRestoreCallback empty(nullptr);
  empty.RestoreSurface(0);  // nothing to call: nothing happens
}

}  // namespace
