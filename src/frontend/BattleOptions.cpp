#include "frontend/BattleOptions.h"

#include <algorithm>
#include <cstdio>

#include "battle/Battle.h"
#include "battle/BattlePanels.h"
#include "battle/MessagePanel.h"
#include "battle/SelectBar.h"
#include "battle/SpotIcons.h"
#include "battle/TooltipManager.h"
#include "battle/WizardFacePanel.h"
#include "core/ErrorBox.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "frontend/LoadSaveGame.h"
#include "frontend/ScreenTable.h"
#include "graphics/BattleFacing.h"
#include "graphics/Display.h"
#include "map/MapView.h"
#include "platform/CdDrive.h"
#include "platform/WindowResize.h"
#include "sound/CDAudio.h"
#include "sound/SoundManager.h"
#include "ui/Cursor.h"
#include "ui/RadioButton.h"
#include "ui/SharedArt.h"
#include "ui/SliderBar.h"

CBattleOptionsScreen* g_battleOptions = nullptr;

namespace {

constexpr int kLabels = 11;
constexpr int kMusicMax = 15;
constexpr int kEffectsMin = 2500, kEffectsMax = 5000, kEffectsStep = 50;

// The radio groups: resolution, animations, dialogue speed, frame rate, battle view.
constexpr int kGroupOfRadio[CBattleOptionsScreen::kRadioButtons] = {0, 0, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4};

std::vector<MenuWidget> OptionsWidgets() {
  std::vector<MenuWidget> widgets;
  widgets.push_back({kWidgetTextButton, 1, true});
  widgets.push_back({kWidgetTextButton, 2, true});
  for (int n = 1; n <= kLabels; ++n) widgets.push_back({kWidgetText, n, false});
  widgets.push_back({kWidgetSliderBar, 1, false});
  widgets.push_back({kWidgetSliderBar, 2, true});
  for (int n = 1; n <= CBattleOptionsScreen::kRadioButtons; ++n)
    widgets.push_back({kWidgetRadioButton, n, false, kGroupOfRadio[n - 1]});
  return widgets;
}

bool SoundEnabled() { return SoundIsLive(); }

int CurrentEffectsVolume() {
  int32_t volume = g_prefs.sfxVolume;
  if (SoundEnabled()) g_soundManager->GetVolume(&volume);
  return volume;
}

int CurrentMusicVolume() {
  int volume = g_prefs.musicVolume;
  if (g_cdAudio.IsOpen()) g_cdAudio.GetVolume(&volume);
  return volume;
}

// The heading and body fonts drawn for the screen width now in use.
void LoadFontsForResolution() {
  for (auto [font, stem] : {std::pair{&g_headingFont, "heading"}, std::pair{&g_bodyFont, "body"}}) {
    char path[64];
    std::snprintf(path, sizeof path, "sprites\\%s text %i.sft", stem, ScreenWidth());
    if (!font->Load(path, 2)) ShowFileLoadError(path);
    font->spacing = 2;
  }
}

CSliderBar* Slider(const CFrontEndMenu& screen, int index) {
  return static_cast<CSliderBar*>(screen.ControlOf(kWidgetSliderBar, index));
}

}  // namespace

CBattleOptionsScreen::CBattleOptionsScreen()
    : CFrontEndMenu(kScreenBattleOptions, "Interface\\BattleOptionsScreen\\", "screen (Battle Options).cfg",
                    OptionsWidgets()) {}

std::string CBattleOptionsScreen::BackgroundPath() const {
  const int width = ScreenWidth(), height = ScreenHeight();
  char path[256];
  std::snprintf(path, sizeof path, "Interface\\BattleOptionsScreen\\%ix%i\\Battle Options Screen %i-%i.JPG", width,
                height, width, height);
  return path;
}

int CBattleOptionsScreen::FrameRateButton(int maxFramesPerSec) {
  if (maxFramesPerSec < 17) return kFps14;
  if (maxFramesPerSec < 20) return kFps17;
  return kFps20;
}

int CBattleOptionsScreen::FrameRateOf(int button) {
  if (button == kFps17) return 17;
  if (button == kFps14) return 14;
  return 20;
}

CRadioButton* CBattleOptionsScreen::Radio(int index) const {
  return static_cast<CRadioButton*>(ControlOf(kWidgetRadioButton, index));
}

void CBattleOptionsScreen::Enter() {
  if (loaded) return;
  g_prefs.sfxVolume = CurrentEffectsVolume();
  g_prefs.musicVolume = CurrentMusicVolume();
  rememberedEffectsVolume = g_prefs.sfxVolume;
  rememberedMusicVolume = g_prefs.musicVolume;
  CFrontEndMenu::Enter();
}

void CBattleOptionsScreen::AfterLoad() {
  // Focus: the effects slider, then accept (focused) and cancel.
  controls.Clear();
  controls.Reserve(3);
  if (CSliderBar* effects = Slider(*this, kEffectsSlider)) controls.Add(effects, 0);
  controls.Add(Button(kAccept), 1);
  controls.Add(Button(kCancel), 0);

  if (CSliderBar* music = Slider(*this, kMusicSlider)) {
    music->SetRange(kMusicMax, 0);
    music->arrowStep = 1;
    if (g_cdAudio.IsOpen())
      music->SetValue(std::clamp(g_prefs.musicVolume, 0, kMusicMax));
    else
      WithdrawControl(kWidgetSliderBar, kMusicSlider);
  }
  if (CSliderBar* effects = Slider(*this, kEffectsSlider)) {
    effects->SetRange(kEffectsMax, kEffectsMin);
    effects->arrowStep = kEffectsStep;
    if (SoundEnabled())
      effects->SetValue(std::clamp(g_prefs.sfxVolume + kEffectsOffset, kEffectsMin, kEffectsMax));
    else
      WithdrawControl(kWidgetSliderBar, kEffectsSlider);
  }

  auto select = [this](int index) {
    if (CRadioButton* radio = Radio(index); radio && radio->group) radio->group->Select(radio, false);
  };
  select(g_prefs.isHighRes ? k800x600 : k640x480);
  select(g_prefs.cutDownAnims ? kCutDownAnims : kFullAnims);
  select(kDialogSlow + std::clamp(g_prefs.dialogSpeed, 0, 2));
  select(FrameRateButton(g_prefs.maxFramesPerSec));
  select(g_prefs.windowSize == 1 ? kViewAbovePanel : kViewWhole);

  // A resolution the display cannot show, or that the installation has no art for, is not offered.
  if (!g_has800x600 || (g_installType != 0 && g_installType != 1)) WithdrawControl(kWidgetRadioButton, k800x600);
  if (!g_has640x480) WithdrawControl(kWidgetRadioButton, k640x480);
}

void CBattleOptionsScreen::SetMusicVolume(int volume) {
  if (!g_cdAudio.IsOpen()) return;
  int mode = 0;
  if (volume > 0 && g_cdAudio.QueryMode(&mode) == 0 && mode == platform::kCdModeStop) g_cdAudio.PlayList(1);
  g_cdAudio.SetVolume(volume);
}

void CBattleOptionsScreen::OnClick(int type, int index) {
  if (type == kWidgetSliderBar) {
    CSliderBar* slider = Slider(*this, index);
    if (!slider) return;
    if (index == kMusicSlider) {
      g_prefs.musicVolume = slider->value;
      SetMusicVolume(slider->value);
    } else if (SoundEnabled()) {
      g_prefs.sfxVolume = slider->value - kEffectsOffset;
      g_soundManager->SetVolume(g_prefs.sfxVolume);
      g_soundManager->Play(kEffectsSample, g_prefs.sfxVolume, 0, nullptr, 0);
    }
    return;
  }
  if (type != kWidgetTextButton) return;
  if (index == kAccept) Accept();
  if (index == kCancel) Cancel();
}

void CBattleOptionsScreen::Accept() {
  auto selected = [this](int index) {
    CRadioButton* radio = Radio(index);
    return radio && radio->Selected();
  };
  const int highRes = selected(k800x600) ? 1 : 0;
  // A withdrawn resolution button cannot be chosen: the one not offered stays as it was.
  const bool chosen = selected(k800x600) || selected(k640x480);
  if (chosen && highRes != (g_prefs.isHighRes ? 1 : 0)) {
    g_prefs.isHighRes = highRes;
    resolutionChanged = 1;
  }
  g_prefs.cutDownAnims = selected(kCutDownAnims) ? 1 : 0;
  for (int speed = 0; speed < 3; ++speed)
    if (selected(kDialogSlow + speed)) g_prefs.dialogSpeed = speed;
  int rate = 20;
  for (int button : {kFps20, kFps17, kFps14})
    if (selected(button)) rate = FrameRateOf(button);
  g_prefs.maxFramesPerSec = rate;
  g_prefs.framePeriod = 1000 / rate;
  g_prefs.windowSize = selected(kViewAbovePanel) ? 1 : 0;
  if (g_cdAudio.IsOpen())
    if (CSliderBar* music = Slider(*this, kMusicSlider)) {
      g_prefs.musicVolume = music->value;
      g_cdAudio.SetVolume(music->value);
    }
  if (SoundEnabled())
    if (CSliderBar* effects = Slider(*this, kEffectsSlider)) {
      g_prefs.sfxVolume = effects->value - kEffectsOffset;
      g_soundManager->SetVolume(g_prefs.sfxVolume);
    }
  g_prefs.Save();
  LeaveClosing();
}

void CBattleOptionsScreen::Cancel() {
  g_prefs.musicVolume = rememberedMusicVolume;
  SetMusicVolume(rememberedMusicVolume);
  g_prefs.sfxVolume = rememberedEffectsVolume;
  if (SoundEnabled()) g_soundManager->SetVolume(rememberedEffectsVolume);
  LeaveClosing();
}

void CBattleOptionsScreen::Exit() {
  Unload();
  const bool battleBelow = BattleOnStack();
  if (battleBelow) {
    // The icons announce creatures still in sight, which no new sighting would bring back.
    const CSpotIcons::Kept icons = g_spotIcons.Keep();
    g_battle->FreeGraphics();
    if (resolutionChanged) SwitchResolution();
    resolutionChanged = 0;
    ReloadBattleGraphics(*g_battle);
    g_spotIcons.Restore(icons);
    g_wizardFacePanel.PlaceForResolution();
    g_wizardFacePanel.RedrawHealthGauge();
  } else if (resolutionChanged) {
    SwitchResolution();
    g_wizardFacePanel.PlaceForResolution();
    resolutionChanged = 0;
  }
  pendingPush = nullptr;
}

void SwitchResolution() {
  FreeCursors();
  g_tooltipManager.Release();
  g_messagePanel.Release();
  ShutdownDisplay();

  int rect[4] = {};
  BattleViewRect(g_prefs.windowSize, g_prefs.isHighRes != 0, rect);
  g_mapView.SetViewRect(platform::Rect{rect[0], rect[1], rect[2], rect[3]});

  // The window the game draws in; tests open theirs without the main window.
  platform::WindowHandle window = g_mainWindow ? g_mainWindow : platform::FirstWindow();
  platform::ResizeClientArea(window, ScreenWidth(), ScreenHeight());
  InitDisplay(window);

  g_selectBar.ApplyDisplayMode();
  g_spotIcons.Load();
  g_tooltipManager.Init();
  g_messagePanel.Init();
  LoadCursorsCfg();
  LoadFontsForResolution();
}
