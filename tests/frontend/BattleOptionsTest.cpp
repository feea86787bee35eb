// The battle options: the radio choices read from and written to the preferences, the live
// volumes and cancel, and the switch between the two resolutions, also under a battle.
#include <gtest/gtest.h>

#include "FrontEndTestSupport.h"
#include "battle/Battle.h"
#include "battle/SpotIcons.h"
#include "forge/CampaignMenus.h"
#include "frontend/BattleOptions.h"
#include "map/MapView.h"
#include "platform/AudioOutput.h"
#include "platform/CdDrive.h"
#include "platform/Window.h"
#include "sound/CDAudio.h"
#include "sound/MusicTrackList.h"
#include "sound/SoundManager.h"
#include "sound/SoundStartup.h"
#include "ui/RadioButton.h"
#include "ui/SharedArt.h"
#include "ui/SliderBar.h"

namespace {

using forge::WidgetKind;
using frontend_test::FrontEnd;

class BattleOptions : public FrontEnd {
 protected:
  void TearDown() override {
    ShutdownSound();
    FreeMusicTrackList();
    platform::SetManualAudioOutput(false);
    FrontEnd::TearDown();
  }
  // Sound and the music player started as the program starts them.
  void StartSoundAndMusic() {
    platform::SetManualAudioOutput(true);
    g_prefs.soundEnabled = 1;
    g_prefs.cdMusicEnabled = 1;
    g_prefs.musicVolume = 9;
    g_prefs.sfxVolume = -1000;
    StartSound(&window_, nullptr);
    OpenCdMusic(&window_);
    PlayTitleMusic();
    ASSERT_TRUE(SoundIsLive());
    ASSERT_TRUE(g_cdAudio.IsOpen());
  }
  void Accept() {
    Frames(1);
    ClickWidget(layout_, WidgetKind::kTextButton, 1);
    FramesUntilChange();
  }
  void Choose(int radio) {
    CRadioButton* button = g_battleOptions->Radio(radio);
    ASSERT_NE(button, nullptr);
    button->group->Select(button, false);
  }
  int SelectedIn(std::initializer_list<int> radios) {
    for (int radio : radios)
      if (g_battleOptions->Radio(radio)->Selected()) return radio;
    return -1;
  }
  CSliderBar* Slider(int index) {
    return static_cast<CSliderBar*>(g_battleOptions->ControlOf(kWidgetSliderBar, index));
  }
  // Moves a slider as a drag of its knob ends.
  void Slide(int index, int value) {
    Slider(index)->SetValue(value);
    g_battleOptions->OnClick(kWidgetSliderBar, index);
  }

  const forge::ScreenLayout layout_ = forge::BattleOptionsLayout();
  int window_ = 0;
};

TEST_F(BattleOptions, TheFrameRateIsChosenFromTheStoredRateAndStoredAsItsPeriod) {
  using S = CBattleOptionsScreen;
  const struct {
    int stored, selected;
  } shown[] = {{18, S::kFps17}, {30, S::kFps20}, {10, S::kFps14}, {17, S::kFps17}, {20, S::kFps20}, {16, S::kFps14}};
  for (const auto& c : shown) {
    g_prefs.maxFramesPerSec = c.stored;
    Open(g_battleOptions);
    EXPECT_EQ(SelectedIn({S::kFps20, S::kFps17, S::kFps14}), c.selected) << c.stored;
    while (g_screenCount > 0) PopScreen();
  }
  const struct { int radio, rate, period; } chosen[] = {{S::kFps17, 17, 58}, {S::kFps14, 14, 71}, {S::kFps20, 20, 50}};
  for (const auto& c : chosen) {
    Open(g_battleOptions);
    Choose(c.radio);
    Accept();
    EXPECT_EQ(g_prefs.maxFramesPerSec, c.rate);
    EXPECT_EQ(g_prefs.framePeriod, c.period);
    // Written to cfg\prefs.cfg: read back, it gives the same.
    g_prefs.maxFramesPerSec = 0;
    g_prefs.Load();
    EXPECT_EQ(g_prefs.maxFramesPerSec, c.rate);
    while (g_screenCount > 0) PopScreen();
  }
}

TEST_F(BattleOptions, TheOtherChoicesGoToThePreferencesOnlyWhenAccepted) {
  using S = CBattleOptionsScreen;
  g_prefs.cutDownAnims = 0;
  g_prefs.dialogSpeed = 7;  // out of range: shown as the fastest
  g_prefs.windowSize = 0;
  Open(g_battleOptions);
  Frames(1);
  SaveFrame("battle_options_800.png");
  EXPECT_EQ(SelectedIn({S::kFullAnims, S::kCutDownAnims}), S::kFullAnims);
  EXPECT_EQ(SelectedIn({S::kDialogSlow, S::kDialogSlow + 1, S::kDialogSlow + 2}), S::kDialogSlow + 2);
  EXPECT_EQ(SelectedIn({S::kViewAbovePanel, S::kViewWhole}), S::kViewWhole);
  Choose(S::kCutDownAnims);
  Choose(S::kDialogSlow + 1);
  Choose(S::kViewAbovePanel);
  // Cancel keeps the preferences as they were.
  Frames(1);
  ClickWidget(layout_, WidgetKind::kTextButton, 2);
  FramesUntilChange();
  EXPECT_EQ(g_prefs.cutDownAnims, 0);
  EXPECT_EQ(g_prefs.windowSize, 0);
  Open(g_battleOptions);
  Choose(S::kCutDownAnims);
  Choose(S::kDialogSlow + 1);
  Choose(S::kViewAbovePanel);
  Accept();
  EXPECT_EQ(g_prefs.cutDownAnims, 1);
  EXPECT_EQ(g_prefs.dialogSpeed, 1);
  EXPECT_EQ(g_prefs.windowSize, 1);
}

TEST_F(BattleOptions, WithoutSoundOrMusicTheirSlidersAreHidden) {
  Open(g_battleOptions);
  // Neither sound nor the music player was started: both sliders are off the screen.
  EXPECT_EQ(Slider(0)->active, 0);
  EXPECT_EQ(Slider(1)->active, 0);
}

TEST_F(BattleOptions, SlidersChangeTheVolumesLiveAndCancelPutsBothBack) {
  StartSoundAndMusic();
  Open(g_battleOptions);
  EXPECT_EQ(Slider(0)->value, 9);
  EXPECT_EQ(Slider(1)->value, 4000);
  Slide(0, 3);
  Slide(1, 4500);
  int music = 0;
  int32_t effects = 0;
  g_cdAudio.GetVolume(&music);
  g_soundManager->GetVolume(&effects);
  EXPECT_EQ(music, 3);
  EXPECT_EQ(effects, -500);
  ClickWidget(layout_, WidgetKind::kTextButton, 2);  // cancel
  FramesUntilChange();
  g_cdAudio.GetVolume(&music);
  g_soundManager->GetVolume(&effects);
  EXPECT_EQ(music, 9);
  EXPECT_EQ(effects, -1000);
  EXPECT_EQ(g_prefs.musicVolume, 9);
  EXPECT_EQ(g_prefs.sfxVolume, -1000);
}

TEST_F(BattleOptions, MusicTurnedUpWhileStoppedStartsThePlayList) {
  StartSoundAndMusic();
  g_cdAudio.Stop(0);
  g_cdAudio.SetVolume(0);
  Open(g_battleOptions);
  int mode = 0;
  g_cdAudio.QueryMode(&mode);
  ASSERT_EQ(mode, platform::kCdModeStop);
  Slide(0, 5);
  g_cdAudio.QueryMode(&mode);
  EXPECT_EQ(mode, platform::kCdModePlay);
}

TEST_F(BattleOptions, AnUnchangedResolutionSwitchesNothing) {
  CSurface witness;  // a switch closes the display, which releases every surface
  graphics_test::MakeSurface(witness, 8, 8);
  Open(g_battleOptions);
  Accept();
  EXPECT_TRUE(witness.IsCreated());
  EXPECT_EQ(ScreenWidth(), 800);
}

TEST_F(BattleOptions, SwitchingTo640x480ResizesTheWindowTheViewAndTheFonts) {
  const int headingAt800 = g_headingFont.GetLineHeight();
  for (int windowSize : {1, 0}) {
    SCOPED_TRACE(windowSize);
    g_prefs.isHighRes = 1;
    g_prefs.windowSize = windowSize;
    if (ScreenWidth() != g_backBuffer.width) SwitchResolution();
    Open(g_battleOptions);
    Choose(CBattleOptionsScreen::k640x480);
    Accept();
    EXPECT_EQ(g_prefs.isHighRes, 0);
    EXPECT_EQ(g_backBuffer.width, 640);
    EXPECT_EQ(g_backBuffer.height, 480);
    int width = 0, height = 0;
    platform::GetClientSize(display_->window, width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(g_mapView.viewWidth, 640);
    EXPECT_EQ(g_mapView.viewHeight, windowSize == 1 ? 340 : 480);
    EXPECT_LT(g_headingFont.GetLineHeight(), headingAt800) << "sprites\\heading text 640.sft";
    // The menus below draw at the new size.
    EXPECT_EQ(g_currentScreen, &bottom_);
    Open(g_battleOptions);
    Frames(1);
    if (windowSize == 0) SaveFrame("battle_options_640.png");
    while (g_screenCount > 0) PopScreen();
  }
  // And back.
  Open(g_battleOptions);
  Choose(CBattleOptionsScreen::k800x600);
  Accept();
  EXPECT_EQ(g_backBuffer.width, 800);
  EXPECT_EQ(g_headingFont.GetLineHeight(), headingAt800);
}

// Under a battle: the view takes the size of the resolution and the choice of view, and the
// spot icons announcing creatures still in sight stay over each switch, in the new column with
// their time left, and the column shows them; an empty column shows nothing (no blank box over
// the map).
TEST_F(BattleOptions, TheSpotIconsOfABattleBelowStayOverTheResolutionSwitch) {
  g_prefs.transparentBlits = 0;  // an empty column would show as a black box
  ConstructBattle();
  g_screenStack[++g_screenCount] = g_battle;  // under the options, as the mini menu leaves it
  g_currentScreen = g_battle;
  g_spotIcons.Load();
  for (int creature : {4, 9, 2}) g_spotIcons.AddCreature(creature, 0);
  for (int i = 0; i < 30; ++i) g_spotIcons.Tick();
  const CSpotIcons::Kept before = g_spotIcons.Keep();

  // To 640 x 480 with the view above the panel, back, and to 640 x 480 over the whole screen.
  const struct {
    int windowSize, radio, width, viewHeight, column;
  } steps[] = {{1, CBattleOptionsScreen::k640x480, 640, 340, 604},
               {1, CBattleOptionsScreen::k800x600, 800, 460, 764},
               {0, CBattleOptionsScreen::k640x480, 640, 480, 604}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.viewHeight);
    g_prefs.windowSize = step.windowSize;
    PushScreen(g_battleOptions);
    Choose(step.radio);
    Accept();
    ASSERT_EQ(g_currentScreen, g_battle);
    ASSERT_EQ(g_backBuffer.width, step.width);
    EXPECT_EQ(g_mapView.viewWidth, step.width);
    EXPECT_EQ(g_mapView.viewHeight, step.viewHeight);
    EXPECT_EQ(g_spotIcons.Order(), before.order);
    for (int slot : before.order) {
      const CSpotIcons::Icon& icon = g_spotIcons.IconAt(slot);
      EXPECT_TRUE(icon.shown);
      EXPECT_EQ(icon.creature, before.icons[slot].creature);
      EXPECT_EQ(icon.framesLeft, kSpotIconFrames - 30);
      EXPECT_EQ(icon.rect.left, step.column) << "the column of the resolution";
    }
  }
  // Drawn over a white screen, the column holds the three faces.
  auto drawnOnWhite = [] {
    g_backBuffer.Fill(0xFFFF);
    g_spotIcons.Draw();
    const std::vector<uint16_t> pixels = graphics_test::Pixels(g_backBuffer);
    int changed = 0;
    for (int y = 100; y < 280; ++y)
      for (int x = 568; x < 640; ++x) changed += pixels[static_cast<size_t>(y) * 640 + x] != 0xFFFF;
    return changed;
  };
  EXPECT_GT(drawnOnWhite(), 3 * kSpotIconSize * kSpotIconSize / 2);
  SaveFrame("battle_options_spot_icons_640.png");
  for (int creature : {4, 9, 2}) g_spotIcons.RemoveCreature(creature);
  EXPECT_EQ(drawnOnWhite(), 0);

  g_battle->FreeGraphics();
  g_screenStack[g_screenCount--] = nullptr;
  g_currentScreen = nullptr;
  DestroyBattle();
}

}  // namespace
