#include "frontend/QuickBattleMenu.h"

#include "frontend/CurrentRealm.h"
#include "frontend/FrontEndWizards.h"
#include "frontend/ScreenTable.h"
#include "ui/Cursor.h"
#include "ui/TextButton.h"

CQuickBattleMenuScreen* g_quickBattleMenu = nullptr;

namespace {

FrontEndScreen Destination(int button) {
  switch (button) {
    case CQuickBattleMenuScreen::kHostMultiplayer:
      return FrontEndScreen::kSetMultiplayer;
    case CQuickBattleMenuScreen::kJoinMultiplayer:
      return FrontEndScreen::kJoinMultiplayer;
    default:
      return FrontEndScreen::kSinglePlayerBattle;
  }
}

}  // namespace

CQuickBattleMenuScreen::CQuickBattleMenuScreen()
    : CFrontEndMenu(kScreenQuickBattleMenu, "Interface\\QuickBattleMainMenu\\", "Screen (Quick Battle Main Menu).cfg",
                    MenuOfButtons(CQuickBattleMenuScreen::kButtonCount, 1)) {}

void CQuickBattleMenuScreen::AfterLoad() {
  for (int button = 0; button < kBack; ++button)
    if (!FindFrontEndScreen(Destination(button))) GreyOutButton(button);
}

void CQuickBattleMenuScreen::Enter() {
  if (loaded) return;
  closeRequested = 0;
  pendingPush = nullptr;
  Load();
  SetCurrentRealm(kMultiplayerRealm);
}

void CQuickBattleMenuScreen::Suspend() {
  Unload();
  FrontEndWizards().ClearTable();
}

void CQuickBattleMenuScreen::Resume() {
  if (loaded) return;
  SetCursorKind(kCursorNormal);
  Load();
  pendingPush = nullptr;
}

void CQuickBattleMenuScreen::Exit() {
  Unload();
  FrontEndWizards().LoadStartWizard(-1);
  SetCurrentRealm(kCampaignRealm);
}

void CQuickBattleMenuScreen::OnClick(int type, int index) {
  if (type != kWidgetTextButton || index < 0 || index >= kButtonCount) return;
  if (index == kBack) {
    LeaveClosing();
    return;
  }
  if (CScreen* next = FindFrontEndScreen(Destination(index))) LeaveTo(next);
}
