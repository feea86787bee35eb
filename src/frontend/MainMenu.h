#pragma once
// CMainMenuScreen: the first screen, pushed by the front-end root; popping it ends the program.
// Its six entries lead to a new campaign, a saved game, the quick battle menu, the online
// lobby and the battle options, or quit; an entry whose screen does not exist yet is greyed.
// The label below shows the program's version.

#include <string>

#include "frontend/FrontEndMenu.h"

class CMainMenuScreen : public CFrontEndMenu {
 public:
  enum Entry { kNewCampaign = 0, kLoadGame, kQuickBattle, kOnlineLobby, kBattleOptions, kQuit, kButtonCount };

  CMainMenuScreen();

  void Enter() override;
  void Exit() override;
  void Suspend() override;
  void Resume() override;
  void OnClick(int type, int index) override;

  // Set by the load game screen once a saved game was loaded: the main menu goes on to the
  // realm view when it is current again.
  int resumeInRealmView = 0;

 protected:
  void AfterLoad() override;

 private:
  // The battle the command line asks for ("direct", "directAI", "train"), loaded and pushed
  // as soon as the menu is first entered.
  void StartDirectBattle();
};

// "Version 1.003" for the file version number 1003.
std::string VersionLabelText(int fileVersion);

extern CMainMenuScreen* g_mainMenu;
