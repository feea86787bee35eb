#pragma once
// CBattleOptionsScreen (screen id 10): the preferences that matter in battle. Resolution,
// reduced animations, dialogue speed, frame rate and the battle view's size are radio
// choices that take effect on accept; the music and sound effects volumes change live while
// their sliders move, so the player hears them, and cancel puts both back. Accept writes
// cfg\prefs.cfg; a changed resolution switches the display when the screen leaves, with a
// battle below it reloading its panels for the new size.

#include "frontend/FrontEndMenu.h"

class CBattleOptionsScreen : public CFrontEndMenu {
 public:
  enum OptionsButton { kAccept = 0, kCancel };
  enum OptionsSlider { kMusicSlider = 0, kEffectsSlider };
  // The radio buttons in layout order: resolution (0 800x600, 1 640x480), animations (2 full,
  // 3 reduced), dialogue speed (4-6), frame rate (7 20, 8 17, 9 14 per second), battle view
  // (10 above the panel, 11 the whole screen).
  enum OptionsRadio {
    k800x600 = 0,
    k640x480,
    kFullAnims,
    kCutDownAnims,
    kDialogSlow,
    kFps20 = 7,
    kFps17,
    kFps14,
    kViewAbovePanel,
    kViewWhole
  };
  static constexpr int kRadioButtons = 12;
  static constexpr int kEffectsOffset = 5000;  // the slider shows the volume plus this
  static constexpr int kEffectsSample = 509;   // played at the new volume as the slider moves

  CBattleOptionsScreen();

  void Enter() override;
  void Exit() override;
  void Suspend() override { Exit(); }
  void OnClick(int type, int index) override;
  // "Interface\BattleOptionsScreen\<w>x<h>\Battle Options Screen <w>-<h>.JPG"
  std::string BackgroundPath() const override;

  // The radio button a stored frame rate selects: below 17 the slowest, from 20 the fastest.
  static int FrameRateButton(int maxFramesPerSec);
  // The frame rate of a chosen radio button, and its frame period in milliseconds.
  static int FrameRateOf(int button);

  CRadioButton* Radio(int index) const;

  int rememberedMusicVolume = 0;
  int rememberedEffectsVolume = 0;
  int resolutionChanged = 0;

 protected:
  void AfterLoad() override;

 private:
  void Accept();
  void Cancel();
  // The music at a volume: a stopped player starts its play list first when it should sound.
  static void SetMusicVolume(int volume);
};

extern CBattleOptionsScreen* g_battleOptions;

// Switches the display to the resolution g_prefs.isHighRes now names: the cursors and the
// battle's panel surfaces go, the display closes, the battle view takes its rectangle for the
// resolution and view size, the window takes the new size, the display opens again and the
// panels, cursors and the heading and body fonts of the resolution come back (a font that
// cannot be loaded ends the program with the file-load error).
void SwitchResolution();
