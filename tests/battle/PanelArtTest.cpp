// The forged art of the select bar and the face panel, read as the game reads it: every frame
// the panels print is there and of its size, the portraits are round on the key colour, and a
// sheet of every icon goes to the test output for a person to look at.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PanelTestSupport.h"
#include "SelectPanelFixtures.h"
#include "battle/SelectBarIcons.h"
#include "support/Png.h"
#include "ui/ControlArt.h"

using namespace panel_test;

namespace {

class PanelArt : public PanelDisplay {
 protected:
  InFolder folder_{testing_support::ForgedDataDir()};
};

TEST_F(PanelArt, EveryIconFrameIsThereAndASheetShowsThem) {
  CSprite icons;
  ASSERT_TRUE(icons.Load("sprites\\SplIcons.spr", 2));
  ASSERT_EQ(icons.FrameCount(), spl_icons::kFrameCount);
  for (int f = 0; f < icons.FrameCount(); ++f) {
    const CSpriteFrame frame = icons.GetFrame(f);
    EXPECT_EQ(frame.Width(), 40) << f;
    EXPECT_EQ(frame.Height(), 44) << f;
  }
  // The sheet: spells, items, the fills, the marks and the selection mark, 16 to a row, on
  // the slate the panels stand on in the reduced view.
  constexpr int kColumns = 16, kCell = 46;
  std::vector<int> order;
  for (int s = 0; s < 104; ++s) order.push_back(spl_icons::SpellFrame(s));
  for (int k = 0; k <= spl_icons::kLastItemKind; ++k) order.push_back(spl_icons::ItemFrame(k));
  for (int f = 0; f < 32; f += 2) order.push_back(spl_icons::kManaFill + f);
  order.push_back(spl_icons::kManaFill + 31);
  for (int f = 0; f < 6; ++f) order.push_back(spl_icons::kCharge + f);
  for (int f = 0; f < 12; ++f) order.push_back(spl_icons::kMark + f);
  const int rows = (static_cast<int>(order.size()) + kColumns - 1) / kColumns;
  CSurface sheet;
  graphics_test::MakeSurface(sheet, kColumns * kCell, rows * kCell);
  sheet.Fill(0x39C7);
  {
    SurfacePrinting printing(&sheet);
    for (size_t i = 0; i < order.size(); ++i)
      PrintControlFrame(&icons, order[i], static_cast<int>(i % kColumns) * kCell + 3,
                        static_cast<int>(i / kColumns) * kCell + 1);
  }
  ASSERT_TRUE(testing_support::WritePng565(testing_support::TestOutputDir() + "/select_bar_icons.png", sheet.width,
                                           sheet.height, graphics_test::Pixels(sheet)));
}

TEST_F(PanelArt, TheToggleAndTheManaBarHaveTheirFrames) {
  CSprite toggle, yellow, dull, black;
  ASSERT_TRUE(toggle.Load("sprites\\Selbut.spr", 2));
  EXPECT_EQ(toggle.FrameCount(), 4);
  for (CSprite* bar : {&yellow, &dull, &black}) {
    const char* names[] = {"sprites\\ManaYellow.spr", "sprites\\ManaDullYellow.spr", "sprites\\manablack.spr"};
    ASSERT_TRUE(bar->Load(names[bar == &yellow ? 0 : bar == &dull ? 1 : 2], 2));
    EXPECT_EQ(bar->FrameCount(), kManaBarSteps);
  }
  // Each step of the bar lies inside the part of the bar's surface the panel clips to.
  for (int i = 0; i < kManaBarSteps; ++i) {
    const CSpriteFrame f = yellow.GetFrame(i);
    const int left = 82 - f.HotspotX(), top = -f.HotspotY();
    EXPECT_GE(left, 86) << i;  // clear of the slot button's saved background
    EXPECT_LE(left + f.Width(), 202) << i;
    EXPECT_GE(top, 0) << i;
    EXPECT_LE(top + f.Height(), 140) << i;
  }
}

TEST_F(PanelArt, EveryPortraitIsRoundOnTheKeyColour) {
  for (const char* file : kPortraitFiles) {
    SCOPED_TRACE(file);
    CSurface portrait;
    graphics_test::MakeSurface(portrait, 164, 80);
    ASSERT_TRUE(portrait.LoadBitmap(file));
    EXPECT_EQ(graphics_test::PixelAt(portrait, 0, 0), kPanelKeyColour);    // a corner
    EXPECT_EQ(graphics_test::PixelAt(portrait, 81, 79), kPanelKeyColour);  // the faded one's
    EXPECT_NE(graphics_test::PixelAt(portrait, 40, 40), kPanelKeyColour);  // the face
    EXPECT_NE(graphics_test::PixelAt(portrait, 40, 40), graphics_test::PixelAt(portrait, 121, 40));
  }
}

TEST_F(PanelArt, TheFaceTextsAndTheBorderArtAreThere) {
  CStringTable texts;
  ASSERT_EQ(texts.Load("cfg\\wizardface.cfg"), 1);
  EXPECT_STREQ(texts.Get(0), "Health");
  EXPECT_STREQ(texts.Get(1), "Max Mana");
  EXPECT_STREQ(texts.Get(3), "Mana");
  const struct {
    const char* file;
    int width;
  } borders[] = {{"bitmaps\\border800x600-1.bmp", 596},
                 {"bitmaps\\border800x600-2.bmp", 204},
                 {"bitmaps\\border640x480-1.bmp", 436},
                 {"bitmaps\\border640x480-2.bmp", 204}};
  for (const auto& b : borders) {
    SCOPED_TRACE(b.file);
    CSurface surface;
    graphics_test::MakeSurface(surface, b.width, 140);
    surface.Fill(kPanelKeyColour);
    ASSERT_TRUE(surface.LoadBitmap(b.file));
    EXPECT_NE(graphics_test::PixelAt(surface, b.width - 1, 139), kPanelKeyColour);  // covers the whole block
  }
}

}  // namespace
