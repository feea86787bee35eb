// The wizard face panel: the portrait it chooses, the health gauge's rows, the mana bar's
// steps, the tooltip and the clicks.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "SelectPanelFixtures.h"
#include "graphics/GraphicsFixtures.h"
#include "ui/ControlArt.h"

using graphics_test::PixelAt;
using namespace panel_test;

namespace {

using Strings = std::vector<std::string>;

class FacePanel : public SelectPanels {
 protected:
  void Start(int health, int maxHealth, int mana, int maxMana) {
    battle_.SetSpells({41});
    battle_.wizard.health = health;
    battle_.wizard.maxHealth = maxHealth;
    battle_.wizard.mana = mana * 256;
    battle_.wizard.maxMana = maxMana * 256;
    StartBattle();
  }
  // Row y of the gauge's middle column: true when it shows the full-colour portrait, false
  // when the faded one.
  bool RowInColour(int y) {
    const uint16_t shown = PixelAt(g_selectBar.barSurface, 102 + 40, 30 + y);
    const uint16_t full = PixelAt(g_wizardFacePanel.portrait, 40, y);
    const uint16_t faded = PixelAt(g_wizardFacePanel.portrait, 81 + 40, y);
    EXPECT_TRUE(shown == full || shown == faded) << "row " << y;
    return shown == full && full != faded;
  }
  // The colour step i of the mana bar shows, at the middle of its arc.
  uint16_t StepPixel(int i) {
    const double a = (135 + (i + 0.5) * 270.0 / 128) * 3.14159265358979 / 180;
    return PixelAt(g_selectBar.barSurface, static_cast<int>(142 + 46.5 * std::cos(a)),
                   static_cast<int>(70 + 46.5 * std::sin(a)));
  }
  // The same pixel with only that sprite's frame i printed on a blank surface.
  uint16_t StepColourOf(const CSprite& sprite, int i) {
    CSurface scratch;
    graphics_test::MakeSurface(scratch, 204, 140);
    scratch.Fill(0);
    {
      SurfacePrinting printing(&scratch);
      PrintControlFrame(&sprite, i, 82, 0);
    }
    const double a = (135 + (i + 0.5) * 270.0 / 128) * 3.14159265358979 / 180;
    return PixelAt(scratch, static_cast<int>(142 + 46.5 * std::cos(a)), static_cast<int>(70 + 46.5 * std::sin(a)));
  }
};

TEST_F(FacePanel, TheGaugeRepaintsOnlyTheRowsThatChanged) {
  Start(100, 100, 50, 100);
  for (int y = 0; y < 80; ++y) ASSERT_TRUE(RowInColour(y)) << y;
  g_wizardFacePanel.UpdateHealthGauge(50);
  for (int y = 0; y < 80; ++y) EXPECT_EQ(RowInColour(y), y >= 40) << y;
  g_wizardFacePanel.UpdateHealthGauge(75);
  for (int y = 0; y < 80; ++y) EXPECT_EQ(RowInColour(y), y >= 20) << y;
  // Health beyond the maximum, or below 0, counts as the maximum or 0.
  g_wizardFacePanel.UpdateHealthGauge(-5);
  EXPECT_EQ(g_wizardFacePanel.health, 0);
  for (int y = 0; y < 80; ++y) EXPECT_FALSE(RowInColour(y)) << y;
  g_wizardFacePanel.UpdateHealthGauge(400);
  EXPECT_EQ(g_wizardFacePanel.health, 100);
  EXPECT_EQ(g_panelRedrawFrames, 2);
}

TEST_F(FacePanel, AChangeOfHealthTouchesNoOtherRows) {
  // The gauge's column painted over between the changes shows which rows each one repaints.
  Start(100, 100, 50, 100);
  const uint16_t marker = kGreen;
  auto cover = [&] {
    const platform::Rect gauge{102, 30, 102 + 80, 30 + 80};
    g_selectBar.barSurface.FillRect(&gauge, marker);
  };
  auto rowShows = [&](int y) { return PixelAt(g_selectBar.barSurface, 102 + 40, 30 + y); };
  CSurface& portrait = g_wizardFacePanel.portrait;
  cover();
  g_wizardFacePanel.UpdateHealthGauge(50);  // the top 40 rows fade
  for (int y = 0; y < 80; ++y) {
    const uint16_t faded = PixelAt(portrait, 81 + 40, y);
    ASSERT_NE(faded, marker);
    EXPECT_EQ(rowShows(y), y < 40 ? faded : marker) << y;
  }
  cover();
  g_wizardFacePanel.UpdateHealthGauge(75);  // rows 20-79 in colour
  for (int y = 0; y < 80; ++y) {
    const uint16_t full = PixelAt(portrait, 40, y);
    ASSERT_NE(full, marker);
    EXPECT_EQ(rowShows(y), y >= 20 ? full : marker) << y;
  }
}

TEST_F(FacePanel, AMaximumBelowOneCountsAsOne) {
  Start(0, 0, 0, 0);
  EXPECT_EQ(g_wizardFacePanel.healthMax, 1);
  g_wizardFacePanel.UpdateHealthGauge(1);
  for (int y = 0; y < 80; ++y) EXPECT_TRUE(RowInColour(y)) << y;
  EXPECT_EQ(g_wizardFacePanel.FilledEnd(), 0);
}

// A wizard file or a saved game may give values as large as an int holds: the gauge and the
// bar still show their share.
TEST_F(FacePanel, TheLargestValuesStillShowTheirShare) {
  Start(INT_MAX, INT_MAX, 0, 1);
  g_wizardFacePanel.UpdateHealthGauge(INT_MAX);
  for (int y : {0, 40, 79}) EXPECT_TRUE(RowInColour(y)) << y;
  g_wizardFacePanel.UpdateHealthGauge(INT_MAX / 2);
  EXPECT_FALSE(RowInColour(0));
  EXPECT_TRUE(RowInColour(79));
  g_wizardFacePanel.SetManaLimit(INT_MAX);
  g_wizardFacePanel.SetManaLevel(INT_MAX);
  EXPECT_EQ(g_wizardFacePanel.FilledEnd(), 0);  // a 256th of the maximum
  g_wizardFacePanel.SetManaLimit(1);
  EXPECT_EQ(g_wizardFacePanel.FilledEnd(), 128);
  g_wizardFacePanel.SetSpellCost(INT_MIN);
  EXPECT_EQ(g_wizardFacePanel.YellowEnd(), 128);
}

TEST_F(FacePanel, TheManaBarMarksWhatTheSpellWouldSpend) {
  Start(100, 100, 50, 100);
  g_wizardFacePanel.SetSpellCost(20);
  EXPECT_EQ(g_wizardFacePanel.YellowEnd(), 38);
  EXPECT_EQ(g_wizardFacePanel.FilledEnd(), 64);
  const CSprite& yellow = g_wizardFacePanel.manaYellow;
  const CSprite& dull = g_wizardFacePanel.manaDullYellow;
  const CSprite& black = g_wizardFacePanel.manaBlack;
  for (int i : {0, 20, 37}) EXPECT_EQ(StepPixel(i), StepColourOf(yellow, i)) << i;
  for (int i : {38, 50, 63}) EXPECT_EQ(StepPixel(i), StepColourOf(dull, i)) << i;
  for (int i : {64, 100, 127}) EXPECT_EQ(StepPixel(i), StepColourOf(black, i)) << i;
  EXPECT_NE(StepColourOf(yellow, 10), StepColourOf(dull, 10));
  // Without a spell the whole mana is yellow again.
  g_wizardFacePanel.SetSpellCost(0);
  for (int i : {38, 63}) EXPECT_EQ(StepPixel(i), StepColourOf(yellow, i)) << i;
  EXPECT_EQ(StepPixel(64), StepColourOf(black, 64));
  // Mana equal to the cost leaves the first step yellow.
  g_wizardFacePanel.SetSpellCost(50);
  EXPECT_EQ(g_wizardFacePanel.YellowEnd(), 1);
  EXPECT_EQ(StepPixel(0), StepColourOf(yellow, 0));
  EXPECT_EQ(StepPixel(1), StepColourOf(dull, 1));
  // More mana than the maximum fills the bar and no more.
  g_wizardFacePanel.SetManaLevel(500 * 256);
  EXPECT_EQ(g_wizardFacePanel.FilledEnd(), 128);
}

TEST_F(FacePanel, HoverShowsTheWizardsFigures) {
  Start(80, 100, 50, 150);
  QueueMouseEvent(0, 700, 500);
  DispatchMouseEvents();
  EXPECT_EQ(battle_.tooltip, "Health : 80\nMax Mana : 150\nMana : 50");
  g_panelRedrawFrames = 0;
  QueueMouseEvent(0, 650, 570);  // onto the slot button: the face loses the hover
  DispatchMouseEvents();
  EXPECT_EQ(g_panelRedrawFrames, 2);
}

TEST_F(FacePanel, AClickSelectsTheWizardAndASecondCentresOnIt) {
  Start(80, 100, 50, 150);
  g_selectBar.TogglePopup();
  g_selectBar.ClickPopup(0, false);
  battle_.Take();
  auto click = [] {
    QueueMouseEvent(0, 700, 500);
    QueueMouseEvent(platform::MK_LBUTTON, 700, 500);
    QueueMouseEvent(0, 700, 500);
    DispatchMouseEvents();
  };
  click();
  EXPECT_EQ(battle_.Take(), Strings{"select wizard 7"});
  EXPECT_EQ(g_selectBar.selectedPopup, -1);  // the spell's mark goes
  click();
  EXPECT_EQ(battle_.Take(), (Strings{"select wizard 7", "focus 7"}));
}

TEST_F(FacePanel, ABattleAtTheOtherResolutionMovesItsWindow) {
  Start(80, 100, 50, 150);
  EXPECT_EQ(g_wizardFacePanel.rect.left, 680);
  FreeSelectBarAndFace();
  g_prefs.isHighRes = 0;
  g_wizardFacePanel.Load();
  const platform::Rect r = g_wizardFacePanel.rect;
  g_prefs.isHighRes = 1;
  g_wizardFacePanel.Release();
  EXPECT_EQ(r.left, 520);
  EXPECT_EQ(r.top, 340);
  EXPECT_EQ(r.right, 635);
  EXPECT_EQ(r.bottom, 480);
}

TEST_F(FacePanel, ThePortraitFollowsTheGameAndThePlayer) {
  struct Case {
    int gameType, army, portrait, rankTier;
    const char* file;  // null: nothing loaded
  };
  const Case cases[] = {
      {1, 0, 3, 0, "bitmaps\\druid.bmp"},
      {2, 2, 11, 0, "bitmaps\\warden.bmp"},
      {1, 0, 12, 0, "bitmaps\\Edric Young.bmp"},  // not a portrait index: entry 0
      {1, -1, 3, 0, nullptr},
      {5, 0, 3, 2, "bitmaps\\Edric Old.bmp"},
      {5, 0, 3, 1, "bitmaps\\Edric Middle.bmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "none");
    battle_.gameType = c.gameType;
    battle_.army = c.army;
    battle_.portrait = c.portrait;
    battle_.wizard.rankTier = c.rankTier;
    Start(100, 100, 50, 100);
    CSurface expected;
    graphics_test::MakeSurface(expected, 164, 80);
    expected.Fill(kPanelKeyColour);
    if (c.file) ASSERT_TRUE(expected.LoadBitmap(c.file));
    EXPECT_EQ(graphics_test::Pixels(g_wizardFacePanel.portrait), graphics_test::Pixels(expected));
    FreeSelectBarAndFace();
  }
}

TEST_F(FacePanel, WithoutItsArtThePanelSaysSoAndGoesOn) {
  testing_support::TempDir empty(true);
  g_wizardFacePanel.manaYellow.Free();
  g_wizardFacePanel.Init();
  EXPECT_TRUE(boxes_.Saw("INITIALISATION ERROR"));
  EXPECT_TRUE(boxes_.Saw("LOAD ERROR"));
  // A portrait that cannot be loaded, not even the first, ends the program.
  testing_support::ExitTrap trap;
  battle_.SetSpells({41});
  EXPECT_EQ(testing_support::ExitCodeOf([] { g_wizardFacePanel.Load(); }), 1);
}

}  // namespace
