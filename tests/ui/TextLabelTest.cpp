// Text labels and picture boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "UiTestSupport.h"
#include "graphics/GraphicsFixtures.h"
#include "ui/TextLabel.h"

namespace {

class StaticElements : public ui_test::UiScreen {
 protected:
  // Pixels that differ from the fill, inside and outside the rectangle.
  void Count(const platform::Rect& area, int& inside, int& outside) {
    const std::vector<uint16_t> drawn = graphics_test::Pixels(g_backBuffer);
    inside = outside = 0;
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 800; ++x) {
        if (drawn[static_cast<size_t>(y) * 800 + x] == 0) continue;
        const bool in = x >= area.left && x <= area.right && y >= area.top && y <= area.bottom;
        (in ? inside : outside)++;
      }
  }
};

TEST_F(StaticElements, ALabelPrintsItsTextWrappedInsideItsRectangle) {
  CTextLabel label;
  label.SetSurface(&g_backBuffer);
  label.SetFont(&g_bodyFont);
  label.SetRect({100, 100, 200, 200});
  label.SetFlags(kTextLeft);
  EXPECT_EQ(label.textFlags, kTextLeft | kTextCentreVertically | kTextWordWrap);
  label.SetColour(255, 255, 255);
  label.SetText("A line long enough to wrap over several lines of the label, and on past its bottom edge too");
  g_backBuffer.Fill(0);
  label.Draw();
  int inside = 0, outside = 0;
  Count(label.rect, inside, outside);
  EXPECT_GT(inside, 100);
  EXPECT_EQ(outside, 0);
  label.SetText(nullptr);
  g_backBuffer.Fill(0);
  label.Draw();
  Count(label.rect, inside, outside);
  EXPECT_EQ(inside, 0);
  label.SetNumber(-42);
  EXPECT_EQ(label.text, "-42");
}

// A right-aligned label ends its text at its right edge: the last character is printed
// whole, as many pixels as the same text aligned left.
TEST_F(StaticElements, ARightAlignedLabelPrintsItsLastCharacterAtItsRightEdge) {
  CTextLabel label;
  label.SetSurface(&g_backBuffer);
  label.SetFont(&g_bodyFont);
  label.SetRect({100, 100, 300, 140});
  label.SetColour(255, 255, 255);
  label.SetText("Score: 10 W");
  int inside = 0, outside = 0, inkedLeft = 0;
  label.SetFlags(kTextLeft);
  g_backBuffer.Fill(0);
  label.Draw();
  Count(label.rect, inkedLeft, outside);
  ASSERT_GT(inkedLeft, 0);
  label.SetFlags(kTextRight);
  g_backBuffer.Fill(0);
  label.Draw();
  Count(label.rect, inside, outside);
  EXPECT_EQ(inside, inkedLeft);
  EXPECT_EQ(outside, 0);
  const std::vector<uint16_t> drawn = graphics_test::Pixels(g_backBuffer);
  int rightmost = -1;
  for (int y = 100; y < 140; ++y)
    for (int x = 100; x < 300; ++x)
      if (drawn[static_cast<size_t>(y) * 800 + x] != 0) rightmost = std::max(rightmost, x);
  EXPECT_GE(rightmost, 297);  // the 'W' reaches the edge
}

TEST_F(StaticElements, APictureBoxPrintsItsFrameOrNothing) {
  CPictureBox picture;
  EXPECT_EQ(picture.Create({300, 300, 320, 320}, &g_buttonSprite, -1), 1);
  picture.SetSurface(&g_backBuffer);
  g_backBuffer.Fill(0);
  picture.Draw();
  int inside = 0, outside = 0;
  Count(picture.rect, inside, outside);
  EXPECT_EQ(inside + outside, 0);
  picture.SetFrame(12);  // a 20 x 20 arrow button
  picture.Draw();
  Count(picture.rect, inside, outside);
  EXPECT_GT(inside, 300);
  EXPECT_EQ(outside, 0);
  // A sprite that could not be loaded is reported, and its boxes show nothing.
  testing_support::BoxRecorder boxes;
  CSprite missing;
  EXPECT_FALSE(LoadPictureSprite(missing, "sprites\\missing.spr"));
  EXPECT_TRUE(boxes.Saw("LOAD ERROR"));
  picture.sprite = &missing;
  g_backBuffer.Fill(0);
  picture.Draw();
  Count(picture.rect, inside, outside);
  EXPECT_EQ(inside + outside, 0);
}

}  // namespace
