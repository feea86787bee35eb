#pragma once
// CMiniMenuScreen (screen id 20): the small menu over the realm view (its button, or Escape)
// and over a battle: load game, save game, options, quit and resume; over a network battle
// only options, quit and resume. It draws itself over a copy of the screen beneath it, which
// the screen beneath draws again once it is current. Quit leaves the campaign from the realm
// view (mode 4), loses a campaign battle, and ends any other battle. Load, save and the
// options push their screens; when one returns, the menu closes too.

#include "frontend/FrontEndMenu.h"

class CMiniMenuScreen : public CFrontEndMenu {
 public:
  enum Choice { kLoadGame = 0, kSaveGame, kOptions, kQuit, kResume, kChoices };
  static constexpr int kRealmViewMode = 4;
  static constexpr int kBattleMode = 2;

  CMiniMenuScreen();

  void Enter() override;
  void Resume() override;
  void OnClick(int type, int index) override;
  void LoadBackgroundPicture() override;
  // "Interface\MiniMenu\<w>x<h>\<BackgroundFile> <w>-<h>.BMP"
  std::string BackgroundPath() const override;

  // The button a layout button stands for: with g_networkGame the three buttons are options,
  // quit and resume.
  static int ButtonOf(int layoutIndex);

  int mode = 0;  // 4 when opened by the realm view

  // The load, save and options screens it leads to (null while a screen does not exist).
  static CScreen* ScreenOf(int choice);

 protected:
  void AfterLoad() override;

 private:
  bool closeOnResume_ = false;  // a screen it pushed returns: the menu closes too
};

extern CMiniMenuScreen* g_miniMenu;
// Makes the battle's Escape open the mini menu; called at start-up.
void InstallMiniMenu();
