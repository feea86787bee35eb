// Buttons: presses and releases with the mouse inside and outside, the frames each state
// shows, text buttons, and dragging the slider knob.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "graphics/Frame16.h"
#include "graphics/GraphicsFixtures.h"
#include "ui/Button.h"
#include "ui/TextButton.h"

using ui_test::Mouse;

namespace {

class Buttons : public ui_test::UiScreen {
 protected:
  void SetUp() override {
    UiScreen::SetUp();
    button_.SetSurface(&g_backBuffer);
    button_.SetFrameSprite(&g_buttonSprite);
    button_.SetFrames(16, 17, -1);  // the left arrow, normal and pressed
    button_.Create(7, {100, 100, 120, 120}, recorded_.Callback("left"), nullptr, 1);
    list_.Add(&button_, 1);
  }
  CButton button_;
  CControlList list_;
};

TEST_F(Buttons, APressAndAReleaseOverTheButtonClickOnce) {
  Mouse(110, 110);
  Mouse(110, 110, true);
  DispatchMouseEvents();
  EXPECT_EQ(button_.state, kStatePressed);
  EXPECT_EQ(recorded_.sounds, std::vector<int>{801});
  EXPECT_EQ(g_noSkipThisFrame, 1);
  EXPECT_TRUE(recorded_.clicks.empty());
  Mouse(119, 119);  // the last pixel inside: still over the button
  DispatchMouseEvents();
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"left:7"});
  EXPECT_EQ(button_.state, kStateNormal);
}

TEST_F(Buttons, AReleaseAwayFromTheButtonDoesNotClick) {
  CButton other;
  other.Create(8, {200, 100, 220, 120}, recorded_.Callback("other"), nullptr, 1);
  // Captured: the drag and the release stay the button's, but the release lies outside it.
  Mouse(110, 110);
  Mouse(110, 110, true);
  Mouse(210, 110, true);
  Mouse(210, 110);
  DispatchMouseEvents();
  EXPECT_TRUE(recorded_.clicks.empty());
  EXPECT_EQ(button_.state, kStateNormal);
  // Without the capture the pointer leaves it: the leave cancels the press, and the button
  // entered with the left button held is the one the release clicks.
  button_.capturesMouse = 0;
  Mouse(110, 110);
  Mouse(110, 110, true);
  Mouse(210, 110, true);
  DispatchMouseEvents();
  EXPECT_EQ(button_.state, kStateNormal);
  EXPECT_EQ(other.state, kStatePressed);
  Mouse(210, 110);
  DispatchMouseEvents();
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"other:8"});
}

TEST_F(Buttons, EnteringWithTheLeftButtonHeldPresses) {
  Mouse(50, 50, true);  // over nothing: that frame's dispatch ends there
  Mouse(110, 110, true);
  DispatchMouseEvents();
  EXPECT_EQ(button_.state, kStateNormal);
  DispatchMouseEvents();
  EXPECT_EQ(button_.state, kStatePressed);
}

TEST_F(Buttons, WithoutALeftCallbackLeftPressesAreIgnoredButTheTooltipShows) {
  CButton plain;
  plain.Create(3, {0, 0, 20, 20}, nullptr, nullptr, 1);
  plain.tooltipId = 42;
  Mouse(5, 5);
  Mouse(5, 5, true);
  DispatchMouseEvents();
  EXPECT_EQ(plain.state, kStateNormal);
  EXPECT_TRUE(recorded_.sounds.empty());
  EXPECT_EQ(recorded_.tooltips, std::vector<int>{42});
}

TEST_F(Buttons, TheReleaseOfANonCapturingButtonClicksWhereverItHappens) {
  // The sprite button takes a release outside when it does not capture; the text button never.
  CTextButton text;
  text.Create(4, {0, 0, 50, 20}, recorded_.Callback("text"), nullptr, 1);
  for (CControl* control : {static_cast<CControl*>(&button_), static_cast<CControl*>(&text)}) {
    control->capturesMouse = 0;
    control->OnMouse(MF_LEFT_DOWN, CMouseEvent{});
    CMouseEvent away;
    away.x = 500;
    away.y = 500;
    control->OnMouse(MF_LEFT_UP, away);
  }
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"left:7"});
}

TEST_F(Buttons, EachStateShowsItsFrame) {
  struct Case {
    int state, highlight;
    int normal, pressed, grey, disabled, highlighted;
    int frame;
    bool grey_;
  };
  const Case cases[] = {
      {kStateNormal, 0, 1, 2, -1, 4, 5, 1, false},   {kStateNormal, 1, 1, 2, -1, 4, 5, 5, false},
      {kStatePressed, 1, 1, 2, -1, 4, 5, 2, false},  {kStatePressed, 0, 1, -1, -1, 4, 5, 4, false},
      {kStateGreyed, 2, 1, 2, -1, 4, 5, 1, false},   {kStateGreyed, 2, 1, 2, 0, 4, 5, 1, true},
      {kStateDisabled, 0, 1, 2, -1, 4, 5, 4, false}, {kStateDisabled, 0, 1, 2, -1, -1, 5, -1, false},
      {kStateNormal, 0, -1, 2, -1, 4, -1, 4, false},
  };
  for (const Case& c : cases) {
    CButton b;
    b.SetFrames(c.normal, c.pressed, c.grey);
    b.SetAltFrames(c.disabled, c.highlighted, -1);
    b.state = c.state;
    b.highlight = c.highlight;
    bool grey = false;
    EXPECT_EQ(b.FrameToDraw(grey), c.frame) << c.state << " " << c.highlight;
    EXPECT_EQ(grey, c.grey_) << c.state;
  }
}

TEST_F(Buttons, AGreyedButtonIsPrintedInGrey) {
  g_backBuffer.Fill(0);
  button_.Draw();
  const std::vector<uint16_t> normal = graphics_test::Pixels(g_backBuffer);
  g_backBuffer.Fill(0);
  button_.SetFrames(16, 17, 0);
  button_.GreyOut();
  button_.Draw();
  const std::vector<uint16_t> greyed = graphics_test::Pixels(g_backBuffer);
  int coloured = 0;
  for (size_t i = 0; i < normal.size(); ++i) {
    if (normal[i] == 0) continue;
    EXPECT_EQ(greyed[i], GreyPixel(normal[i]));
    if (GreyPixel(normal[i]) != normal[i]) ++coloured;
  }
  EXPECT_GT(coloured, 0);
  // The frame lies at the button's place.
  EXPECT_NE(normal[100 * 800 + 105], 0);
  EXPECT_EQ(normal[99 * 800 + 99], 0);
  // Disabled without a disabled frame: nothing.
  g_backBuffer.Fill(0);
  button_.Disable();
  button_.Draw();
  EXPECT_EQ(graphics_test::Pixels(g_backBuffer), std::vector<uint16_t>(800 * 600, 0));
}

TEST_F(Buttons, TheKnobFollowsADragWithinItsTrack) {
  CSliderKnob knob;
  knob.minPos = 100;
  knob.maxPos = 200;
  knob.Create(0, {100, 10, 110, 20}, recorded_.Callback("taken"), recorded_.Callback("moved"), 1);
  Mouse(105, 15);
  Mouse(105, 15, true);
  Mouse(150, 40, true);  // off the knob: the capture keeps the drag
  DispatchMouseEvents();
  EXPECT_EQ(knob.rect.left, 145);
  EXPECT_EQ(knob.rect.right, 155);
  Mouse(400, 15, true);  // past the end of the track
  DispatchMouseEvents();
  EXPECT_EQ(knob.rect.left, 200);
  Mouse(0, 15, true);
  DispatchMouseEvents();
  EXPECT_EQ(knob.rect.left, 100);
  Mouse(50, 15);  // released
  DispatchMouseEvents();
  EXPECT_EQ(knob.grabOffset, -1);
  Mouse(105, 15);  // a move without a press does not drag
  DispatchMouseEvents();
  EXPECT_EQ(knob.rect.left, 100);
  EXPECT_EQ(recorded_.clicks.front(), "taken:0");
  EXPECT_EQ(std::count(recorded_.clicks.begin(), recorded_.clicks.end(), "moved:0"), 4);
}

TEST_F(Buttons, ATextButtonIsBevelledAndShowsItsCaption) {
  CTextButton text;
  text.SetSurface(&g_backBuffer);
  text.SetFont(&g_bodyFont);
  text.SetCaption("Quit");
  text.Create(1, {300, 300, 400, 330}, recorded_.Callback("quit"), nullptr, 1);
  g_backBuffer.Fill(0x8410);
  text.Draw();
  const std::vector<uint16_t> drawn = graphics_test::Pixels(g_backBuffer);
  auto at = [&](int x, int y) { return drawn[static_cast<size_t>(y) * 800 + x]; };
  EXPECT_NE(at(300, 300), 0x8410);  // the raised bevel
  int ink = 0;
  for (int y = 305; y < 325; ++y)
    for (int x = 320; x < 380; ++x) ink += at(x, y) != 0x8410;
  EXPECT_GT(ink, 20);  // the caption
  EXPECT_EQ(at(299, 299), 0x8410);
  // Disabled, a text button shows nothing.
  g_backBuffer.Fill(0x8410);
  text.Disable();
  text.Draw();
  EXPECT_EQ(graphics_test::Pixels(g_backBuffer), std::vector<uint16_t>(800 * 600, 0x8410));
}

}  // namespace
