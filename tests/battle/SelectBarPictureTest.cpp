// Pictures of the bottom control block (the select bar with its strip open, the face and its
// mana bar) at both resolutions, keyed over a battlefield and on the reduced view's border
// art, written to the test output for a person to look at.
#include <gtest/gtest.h>

#include <string>

#include "SelectPanelFixtures.h"
#include "graphics/Display.h"
#include "support/Png.h"

using namespace panel_test;

namespace {

struct PictureCase {
  bool highRes;
  int windowSize;
  const char* name;
};

class BottomBlockPicture : public SelectPanels, public ::testing::WithParamInterface<PictureCase> {
 protected:
  void SetUp() override {
    highRes_ = GetParam().highRes;
    SelectPanels::SetUp();
  }
};

// Something like a battlefield behind the panels: grass with darker patches.
void PaintField() {
  const int w = ScreenWidth(), h = ScreenHeight();
  g_backBuffer.FillGradientV(0, 0, w, h, 70, 120, 60, 40, 80, 35);
  for (int i = 0; i < 40; ++i) {
    const int x = (i * 137) % w, y = (i * 89) % h;
    const platform::Rect patch{x, y, x + 30 + (i % 5) * 9, y + 14 + (i % 3) * 6};
    g_backBuffer.FillRect(&patch, (i % 2) ? 0x3C64 : 0x5D08);
  }
}

TEST_P(BottomBlockPicture, ShowsTheBlockAsThePlayerSeesIt) {
  const PictureCase& c = GetParam();
  DisplayPrefs prefs(1, c.windowSize);
  battle_.SetSpells({3, 7, 18, 22, 41, 42, 43, 46, 55, 58, 62, 69, 74, 77, 82, 84, 88, 90, 12, 25});
  battle_.Carry(0, 3, 2);
  battle_.Carry(1, 3, 3);
  battle_.Carry(2, 19, 1);
  battle_.Carry(3, 16, 1);
  battle_.Carry(4, 54, 1);
  battle_.Carry(5, 31, 1);
  battle_.wizard.health = 70;
  battle_.wizard.maxHealth = 100;
  battle_.wizard.mana = 60 * 256;
  battle_.wizard.maxMana = 150 * 256;
  battle_.portrait = 2;
  StartBattle();
  g_selectBar.TogglePopup();
  g_selectBar.ClickPopup(9, false);  // the fireball
  g_wizardFacePanel.SetSpellCost(40);
  for (int i = 0; i < 4; ++i) g_selectBar.Draw();
  PaintField();
  g_selectBar.Draw();
  FlushQueuedBlits();
  const std::vector<uint16_t> pixels = graphics_test::Pixels(g_backBuffer);
  const int w = ScreenWidth(), h = ScreenHeight();
  // The bottom 180 rows: the block and a strip of the field above it.
  const std::vector<uint16_t> bottom(pixels.begin() + static_cast<ptrdiff_t>((h - 180) * w), pixels.end());
  const std::string path = testing_support::TestOutputDir() + "/bottom_block_" + c.name + ".png";
  ASSERT_TRUE(testing_support::WritePng565(path, w, 180, bottom));
  // The block is there: the portrait's gold rim at its top, a button of the strip.
  EXPECT_NE(graphics_test::PixelAt(g_backBuffer, CSelectBar::LeftEdge() + 142, h - 140 + 31), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Resolutions, BottomBlockPicture,
    ::testing::Values(PictureCase{true, 0, "800x600_keyed"}, PictureCase{true, 1, "800x600_border"},
                      PictureCase{false, 0, "640x480_keyed"}, PictureCase{false, 1, "640x480_border"}),
    [](const ::testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

}  // namespace
