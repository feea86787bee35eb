#include "frontend/MiniMenu.h"

#include <cstdio>

#include "battle/Battle.h"
#include "battle/BattleEndScreen.h"
#include "battle/BattleKeys.h"
#include "core/ErrorBox.h"
#include "core/GameSettings.h"
#include "creatures/Armies.h"
#include "frontend/BattleOptions.h"
#include "frontend/LoadSaveGame.h"
#include "frontend/RealmView.h"
#include "frontend/ScreenTable.h"
#include "graphics/Display.h"
#include "graphics/Pictures.h"
#include "ui/Cursor.h"
#include "ui/TextButton.h"

CMiniMenuScreen* g_miniMenu = nullptr;

namespace {

// The battle's Escape (outside quick and network battles) opens the mini menu over it; F2 and
// F3 the save and load screens, but never in a network battle, where a game loaded on one
// machine alone would break the lock step.
class CMiniMenuBattleKeys : public IBattleKeyTargets {
 public:
  void PushSaveScreen() override {
    if (!g_networkGame && g_saveGameScreen) PushScreen(g_saveGameScreen);
  }
  void PushLoadScreen() override {
    if (g_networkGame || !g_loadGameScreen) return;
    g_loadGameScreen->callerId = kBattleScreenId;
    PushScreen(g_loadGameScreen);
  }
  bool PushMiniMenu(int mode) override {
    if (!g_miniMenu) return false;
    g_miniMenu->mode = mode;
    PushScreen(g_miniMenu);
    return true;
  }
};

CMiniMenuBattleKeys g_miniMenuBattleKeys;

}  // namespace

void InstallMiniMenu() { g_battleKeyTargets.Install(&g_miniMenuBattleKeys); }

namespace {

constexpr int kLayoutButtons = 8;       // TEXTBUTTON_1-5, then 6-8 for network battles
constexpr int kNetworkFirst = 5;        // the first of the network battles' buttons
constexpr int kDefeatByQuitting = 3;    // the defeat message of a campaign battle given up
constexpr int kPanelAt[2] = {100, 80};  // 800 x 600, 640 x 480

bool NetworkLayoutButton(int index) { return index >= kNetworkFirst; }

}  // namespace

CMiniMenuScreen::CMiniMenuScreen()
    : CFrontEndMenu(20, "Interface\\MiniMenu\\", "screen (Mini Menu).cfg", MenuOfButtons(kLayoutButtons, 0)) {}

int CMiniMenuScreen::ButtonOf(int layoutIndex) {
  return NetworkLayoutButton(layoutIndex) ? layoutIndex - kNetworkFirst + kOptions : layoutIndex;
}

void CMiniMenuScreen::Enter() {
  closeOnResume_ = false;
  SetCursorKind(kCursorNormal);
  CFrontEndMenu::Enter();
}

void CMiniMenuScreen::Resume() {
  if (closeOnResume_) {
    closeOnResume_ = false;
    closeRequested = 1;
    return;
  }
  CFrontEndMenu::Resume();
}

CScreen* CMiniMenuScreen::ScreenOf(int choice) {
  switch (choice) {
    case kLoadGame:
      return g_loadGameScreen;
    case kSaveGame:
      return g_saveGameScreen;
    case kOptions:
      return g_battleOptions;
    default:
      return nullptr;
  }
}

std::string CMiniMenuScreen::BackgroundPath() const {
  std::string path = CFrontEndMenu::BackgroundPath();
  return path.substr(0, path.size() - 4) + ".BMP";
}

void CMiniMenuScreen::LoadBackgroundPicture() {
  // The screen beneath, with the panel over it; the panel is read once a load.
  if (g_backBuffer.IsCreated()) g_backBuffer.BlitTo(background, 0, 0);
  const std::string path = BackgroundPath();
  CDibBitmap panel;
  if (!panel.Load(path.c_str())) ShowFileLoadError(path.c_str());
  const int at = kPanelAt[ScreenWidth() == 640 ? 1 : 0];
  background->DrawDibAt(panel, at, at);
}

void CMiniMenuScreen::AfterLoad() {
  for (int i = 0; i < kLayoutButtons; ++i)
    if (NetworkLayoutButton(i) != (g_networkGame != 0)) WithdrawControl(kWidgetTextButton, i);
  for (int i = 0; i < kLayoutButtons; ++i) {
    const int button = ButtonOf(i);
    if (NetworkLayoutButton(i) == (g_networkGame != 0) && button <= kOptions && !ScreenOf(button)) GreyOutButton(i);
  }
}

void CMiniMenuScreen::OnClick(int type, int index) {
  if (type != kWidgetTextButton) return;
  const int choice = ButtonOf(index);
  if (CScreen* next = ScreenOf(choice)) {
    if (choice == kLoadGame) g_loadGameScreen->callerId = kScreenMiniMenu;
    closeOnResume_ = true;
    LeaveTo(next);
    return;
  }
  if (choice <= kOptions) return;  // a greyed entry
  switch (choice) {
    case kQuit:
      if (mode == kRealmViewMode) {
        if (g_realmView) {
          g_realmView->leaveRequested = 1;
          g_realmView->battlePending = 0;
        }
      } else if (g_battle && g_gameMode == kGameModeCampaign) {
        // No army is the player's any more: the battle's end countdown starts, and its end
        // screen tells why.
        g_armyTable.SetActiveArmy(-1);
        SetBattleEndMessage(GetDefeatMessage(kDefeatByQuitting));
      } else if (g_battle) {
        g_battle->quitRequested = 1;
      }
      break;
    default:
      break;
  }
  LeaveClosing();
}
