// The panel button's drawing on its panel surface: the frame of each state and highlight
// level, the grey picture, the count badge, erasing with and without a saved background, and
// hiding and showing.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PanelTestSupport.h"
#include "battle/InterfacePanel.h"
#include "battle/PanelButton.h"

using graphics_test::PixelAt;
using namespace panel_test;

namespace {

// Frames: 0 normal (red), 1 pressed (green), 2 level-0 overlay (a yellow strip along the
// bottom), 3 level-1 overlay (a white mark just left of the button), 4 level-2 overlay.
constexpr int kNormal = 0, kPressed = 1, kFill = 2, kMark = 3, kOther = 4;

class PanelButtons : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    sprite_ = MakeFlatSprite(
        {{20, 24, kRed}, {20, 24, kGreen}, {20, 4, kYellow, 0, 20}, {1, 24, kWhite, -1, 0}, {4, 4, kGreen, 8, 8}});
    // The badge's digits: frame = code - 32, so '0'-'9' are frames 16-25; each digit d is a
    // 3 x 5 block of its own colour.
    std::vector<FlatFrame> digits(26, FlatFrame{1, 1, kGrey});
    for (int d = 0; d < 10; ++d) digits[16 + d] = FlatFrame{3, 5, static_cast<uint16_t>(0x0841 * (d + 1))};
    badge_ = MakeFlatSprite(digits);
    g_panelBadgeSprite = badge_.get();
  }
  void TearDown() override {
    g_panelBadgeSprite = nullptr;
    button_.reset();
    panel_.Release();
    PanelDisplay::TearDown();
  }
  // A 100 x 60 panel at (200, 300) filled with `under`, and a 20 x 24 button at (220, 310):
  // at (20, 10) of the panel.
  void MakeButton(uint16_t under) {
    ASSERT_TRUE(CreatePanelSurface(panel_, 100, 60, 200, 300));
    ClearPanelSurface(panel_);
    panel_.Fill(under);
    button_ = std::make_unique<CPanelButton>();
    button_->SetSurface(&panel_);
    button_->SetFrameSprite(sprite_.get());
    button_->SetStateFrames(kNormal, kPressed, -1, -1);
    button_->SetOverlayFrames(kFill, kMark, -1);
    button_->Create(5, {220, 310, 240, 334}, nullptr, nullptr, 1);
  }
  uint16_t Centre() { return PixelAt(panel_, 30, 20); }
  uint16_t Strip() { return PixelAt(panel_, 30, 32); }
  uint16_t Mark() { return PixelAt(panel_, 19, 20); }

  std::unique_ptr<CSprite> sprite_, badge_;
  std::unique_ptr<CPanelButton> button_;
  CSurface panel_;
};

struct DrawCase {
  const char* name;
  int state, highlight;
  uint16_t centre, strip, mark;
};

TEST_F(PanelButtons, EachStateAndHighlightPaintsItsFrames) {
  const DrawCase cases[] = {
      {"normal", kPanelNormal, kPanelPlain, kRed, kYellow, kGrey},
      {"pressed", kPanelPressed, kPanelPlain, kGreen, kYellow, kGrey},
      // A state without a frame of its own shows the normal frame.
      {"hidden", kPanelHidden, kPanelPlain, kRed, kYellow, kGrey},
      // The selection mark lies under the level-0 overlay.
      {"selected", kPanelNormal, kPanelSelected, kRed, kYellow, kWhite},
      // Greyed: nothing at all.
      {"greyed", kPanelGreyed, kPanelPlain, kGrey, kGrey, kGrey},
  };
  for (const DrawCase& c : cases) {
    SCOPED_TRACE(c.name);
    MakeButton(kGrey);
    button_->state = c.state;
    button_->highlight = c.highlight;
    g_panelRedrawFrames = 0;
    button_->Draw();
    EXPECT_EQ(Centre(), c.centre);
    EXPECT_EQ(Strip(), c.strip);
    EXPECT_EQ(Mark(), c.mark);
    EXPECT_EQ(g_panelRedrawFrames, c.state == kPanelGreyed ? 0 : 2);
  }
}

TEST_F(PanelButtons, AnOverlayOfItsOwnLevelReplacesTheLevelZeroOne) {
  MakeButton(kGrey);
  button_->SetOverlayFrames(kFill, kMark, kOther);
  button_->highlight = 3;  // a level without an overlay: level 0's
  button_->Draw();
  EXPECT_EQ(Strip(), kYellow);
  button_->SetOverlayFrames(-1, kMark, -1);
  panel_.Fill(kGrey);
  button_->highlight = kPanelPlain;
  button_->Draw();
  EXPECT_EQ(Strip(), kRed);  // no overlay at all
}

TEST_F(PanelButtons, AnInactiveButtonShowsItsPictureAndFillInGrey) {
  MakeButton(0);
  button_->highlight = kPanelInactive;
  button_->Draw();
  auto isGrey = [](uint16_t p) {
    const int r = (p >> 11) * 2, g = (p >> 5) & 63, b = (p & 31) * 2;
    return p != 0 && std::abs(r - g) <= 2 && std::abs(g - b) <= 2;
  };
  EXPECT_TRUE(isGrey(Centre())) << Centre();
  EXPECT_TRUE(isGrey(Strip())) << Strip();
  EXPECT_NE(Centre(), Strip());  // the picture keeps its shapes
  EXPECT_EQ(Mark(), 0);          // never the selection mark
}

TEST_F(PanelButtons, TheCountBadgeShowsFromTwo) {
  const uint16_t one = 0x0841 * 2, two = 0x0841 * 3;
  MakeButton(kGrey);
  button_->m_count = 1;
  button_->Draw();
  // Digits go at x + 15 + 5 per digit, y + 5 of the button: (35, 15) of the panel.
  EXPECT_EQ(PixelAt(panel_, 35, 15), kRed);
  button_->m_count = 2;
  button_->Draw();
  EXPECT_EQ(PixelAt(panel_, 35, 15), two);
  EXPECT_EQ(PixelAt(panel_, 40, 15), kGrey);  // one digit only
  button_->m_count = 12;
  button_->Draw();
  EXPECT_EQ(PixelAt(panel_, 35, 15), one);
  EXPECT_EQ(PixelAt(panel_, 40, 15), two);  // past the button's edge, inside its painted reach
  // Without the battle's marker sprite there is no badge.
  g_panelBadgeSprite = nullptr;
  panel_.Fill(kGrey);
  button_->Draw();
  EXPECT_EQ(PixelAt(panel_, 35, 15), kRed);
}

TEST_F(PanelButtons, UnhighlightWithoutASavedBackgroundClearsBeforeRepainting) {
  // The widened rectangle reaches 4 pixels left of the button and 4 below it.
  for (int keyed : {0, 1}) {
    SCOPED_TRACE(keyed ? "keyed" : "opaque");
    DisplayPrefs prefs(keyed, 0);
    MakeButton(kGreen);
    button_->highlight = kPanelSelected;
    button_->Draw();
    EXPECT_EQ(Mark(), kWhite);
    button_->Unhighlight();
    const uint16_t cleared = keyed ? kPanelKeyColour : 0;
    EXPECT_EQ(button_->highlight, kPanelPlain);
    EXPECT_EQ(Mark(), cleared);
    EXPECT_EQ(PixelAt(panel_, 16, 20), cleared);
    EXPECT_EQ(PixelAt(panel_, 30, 37), cleared);
    EXPECT_EQ(PixelAt(panel_, 15, 20), kGreen);  // beyond the widened rectangle
    EXPECT_EQ(Centre(), kRed);                   // repainted
  }
}

TEST_F(PanelButtons, ASavedBackgroundIsPutBack) {
  for (int deferred : {0, 1}) {
    SCOPED_TRACE(deferred ? "deferred" : "at once");
    DisplayPrefs prefs(1, 0, deferred);
    MakeButton(kGreen);
    button_->SaveBackground();
    FlushQueuedBlits();
    EXPECT_EQ(button_->backgroundSaved, 1);
    button_->highlight = kPanelSelected;
    button_->Draw();
    button_->Unhighlight();
    EXPECT_EQ(Mark(), kGreen);
    EXPECT_EQ(PixelAt(panel_, 16, 37), kGreen);
    EXPECT_EQ(Centre(), kRed);
    button_->FreeBackground();
    EXPECT_EQ(button_->backgroundSaved, 0);
  }
}

TEST_F(PanelButtons, HiddenButtonsTakeNoInputAndShowRestoresItUnlessInactive) {
  MakeButton(kGrey);
  button_->Hide();
  EXPECT_EQ(button_->state, kPanelHidden);
  EXPECT_EQ(button_->active, 0);
  button_->Show();
  EXPECT_EQ(button_->state, kPanelNormal);
  EXPECT_EQ(button_->active, 1);
  button_->highlight = kPanelInactive;
  button_->Hide();
  button_->Show();
  EXPECT_EQ(button_->active, 0);
}

TEST_F(PanelButtons, AButtonWithoutAWorkingSurfacePaintsNothing) {
  CPanelButton button;
  button.SetFrameSprite(sprite_.get());
  button.SetStateFrames(kNormal, -1, -1, -1);
  button.Draw();
  button.Erase();
  button.SaveBackground();
  EXPECT_EQ(button.backgroundSaved, 0);
  CSurface never;
  button.SetSurface(&never);
  button.Draw();
  button.Unhighlight();
}

}  // namespace
