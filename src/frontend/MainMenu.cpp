#include "frontend/MainMenu.h"

#include <cstdio>

#include "battle/Battle.h"
#include "core/GameSettings.h"
#include "core/Main.h"
#include "core/Options.h"
#include "frontend/CurrentRealm.h"
#include "frontend/FrontEndWizards.h"
#include "frontend/LoadSaveGame.h"
#include "frontend/RealmView.h"
#include "frontend/ScreenTable.h"
#include "ui/Cursor.h"
#include "ui/FrontEndRoot.h"
#include "ui/TextButton.h"

CMainMenuScreen* g_mainMenu = nullptr;

namespace {

// The screen each entry leads to; Quit leads nowhere.
FrontEndScreen Destination(int button) {
  switch (button) {
    case CMainMenuScreen::kNewCampaign:
      return FrontEndScreen::kRealmView;
    case CMainMenuScreen::kLoadGame:
      return FrontEndScreen::kLoadGame;
    case CMainMenuScreen::kQuickBattle:
      return FrontEndScreen::kQuickBattleMenu;
    case CMainMenuScreen::kOnlineLobby:
      return FrontEndScreen::kLobbyLogin;
    default:
      return FrontEndScreen::kBattleOptions;
  }
}

}  // namespace

std::string VersionLabelText(int fileVersion) {
  char text[64];
  std::snprintf(text, sizeof text, "Version %.3f", fileVersion * 0.001);
  return text;
}

CMainMenuScreen::CMainMenuScreen()
    : CFrontEndMenu(kScreenMainMenu, "Interface\\MainScreen\\", "screen (MainMenu).cfg",
                    MenuOfButtons(CMainMenuScreen::kButtonCount, 1)) {}

void CMainMenuScreen::AfterLoad() {
  if (CTextLabel* version = Label(0)) version->SetText(VersionLabelText(GetProgramFileVersion()).c_str());
  for (int button = 0; button < kQuit; ++button)
    if (!FindFrontEndScreen(Destination(button))) GreyOutButton(button);
}

void CMainMenuScreen::Enter() {
  if (loaded) return;
  CFrontEndMenu::Enter();
  resumeInRealmView = 0;
  if (g_directStart || g_directAI) StartDirectBattle();
}

void CMainMenuScreen::StartDirectBattle() {
  // A battle set up from the command line (game mode 4): no light sources for unattended
  // battles, one army with the local army 0, the region and seed of the command line; the
  // player's wizard is the wizards' own to set up. Then the battle is pushed over the menu.
  if (g_directAI) g_noLightSources = 1;
  g_networkGame = 0;
  g_gameMode = kGameModeDirect;
  g_battleSetup = CBattleSetup{g_startRegion, g_mapSeed, g_mapSeed, 1, 1, 0};
  if (!g_battle) return;
  if (LoadBattle(*g_battle))
    PushScreen(g_battle);
  else
    g_startFailed = 1;  // its box has been shown; the program ends with a failure
}

void CMainMenuScreen::Exit() {
  if (g_softwareCursor && g_frontEndRoot) g_frontEndRoot->cursorTimer.Stop();
  Unload();
}

void CMainMenuScreen::Suspend() { Unload(); }

void CMainMenuScreen::Resume() {
  pendingPush = nullptr;
  if (loaded) return;
  // An unattended battle ("directAI", "train") ends the program when it returns.
  if (g_directAI) closeRequested = 1;
  if (closeRequested) return;
  if (resumeInRealmView) {
    resumeInRealmView = 0;
    pendingPush = FindFrontEndScreen(FrontEndScreen::kRealmView);
    return;
  }
  Load();
  SetCursorKind(kCursorNormal);
}

void CMainMenuScreen::OnClick(int type, int index) {
  if (type != kWidgetTextButton || index < 0 || index >= kButtonCount) return;
  if (index == kQuit) {
    LeaveClosing();
    return;
  }
  CScreen* next = FindFrontEndScreen(Destination(index));
  if (!next) return;  // a greyed entry
  switch (index) {
    case kNewCampaign:
      SetCurrentRealm(kCampaignRealm);
      g_networkGame = 0;
      g_gameMode = kGameModeCampaign;
      FrontEndWizards().LoadStartWizard(0);
      // A new campaign's wizard knows nothing yet, whatever an earlier one learnt.
      FrontEndWizards().ForgetKnowledge(0);
      if (g_realmView) StartCampaign(*g_realmView, kCampaignRealm);
      break;
    case kLoadGame:
      g_networkGame = 0;
      g_gameMode = kGameModeCampaign;
      if (g_loadGameScreen) g_loadGameScreen->callerId = kScreenMainMenu;
      break;
    case kOnlineLobby:
      g_networkGame = 1;
      g_gameMode = kGameModeLobby;
      break;
    default:
      break;
  }
  LeaveTo(next);
}
