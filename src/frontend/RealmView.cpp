// The realm view's screen operations and its frame: the state machine that points at regions,
// moves the wizards, opens regions, enters battles and finishes the realm.
#include "frontend/RealmView.h"

#include <cstring>

#include "battle/BattleCampaign.h"
#include "battle/TooltipManager.h"
#include "core/ErrorBox.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "core/RealmPath.h"
#include "creatures/WizardTable.h"
#include "frontend/Grimoire.h"
#include "frontend/CharacterScreen.h"
#include "frontend/LoadSaveGame.h"
#include "frontend/MiniMenu.h"
#include "frontend/RegionEntry.h"
#include "frontend/ScreenTable.h"
#include "frontend/SpellBox.h"
#include "graphics/Display.h"
#include "map/Map.h"
#include "platform/MessageBox.h"
#include "platform/Messages.h"
#include "sound/SoundManager.h"
#include "ui/Button.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"

CRealmView* g_realmView = nullptr;
int g_realmTutorialStep = 0;

namespace {

constexpr int kCursorPointing = 1;

// Whether the left button went down in any event of this frame (a quick click leaves the
// button up again in the newest one), or is down in the newest.
bool LeftPressedThisFrame() {
  for (int i = g_mouseReadIndex; i != g_mouseWriteIndex; i = (i + 1) % kMouseRingSize)
    if (g_mouseRing[i].left) return true;
  return LatestMouseEvent().left != 0;
}

}  // namespace

CRealmView::CRealmView() { id = 4; }

CRealmView::~CRealmView() { Unload(); }

int CRealmView::RealmIndex(const char* name) {
  static const char* const kRealms[] = {"multiplayer", "moorland", "isles", "kingdom"};
  for (int i = 1; i < 4; ++i)
    if (name && strcasecmp(name, kRealms[i]) == 0) return i;
  return 0;
}

void CRealmView::Enter() {
  SetCursorKind(kCursorNormal);
  if (leaveRequested) {
    leaveRequested = 0;
    PopScreen();
    return;
  }
  LoadSpeechBoxConfig();
}

void CRealmView::Exit() {
  Unload();
  FreeSpeechBoxConfig();
}

void CRealmView::Update() {
  if (leaveRequested) {
    leaveRequested = 0;
    PopScreen();
    return;
  }
  switch (state) {
    case kMap:
      RunMap();
      break;
    case kOpenRegion:
      OpenRegion();
      break;
    case kPushRegionEntry:
      PushRegionEntry();
      break;
    case kRealmFinished:
      LoadNextRealm();
      break;
    case kEnterChosenBattle:
      EnterChosenBattle();
      break;
  }
}

void CRealmView::RunMap() {
  const int player = realmState.playerWizard;
  if (!battlePending) {
    // A battle loaded with a saved game goes on at once.
    if (g_map.HasCells()) {
      battlePending = 1;
      EnterBattle();
      return;
    }
    // The player standing in another's region, with its owner there: the battle is offered.
    if (realmState.IsActiveWizard(player) && realmState.movement[player].countdown == 0) {
      const int here = realmState.locations[player];
      const int owner = realmState.OwnerOf(here);
      if (owner != player && realmState.IsActiveWizard(owner) && realmState.locations[owner] == here) {
        targetRegion = here;
        realmIndex = RealmIndex(realmState.currentRealmName);
        state = kOpenRegion;
        return;
      }
    }
  }
  if (!ArtLoaded()) {
    if (LoadRealm(realmState.currentRealmName) < 1) {
      platform::ShowMessageBox("The Realm View could not be loaded", "Realm View", WarningBoxFlags());
      PopScreen();
    }
    return;
  }
  if (battlePending) {
    battlePending = 0;
    ApplyBattleResult();
  }
  PointAtRegions();
  TickWizards();
  if (endOfRealm) {
    endOfRealm = 0;
    state = kRealmFinished;
    if (g_prefs.playFmv && g_backBuffer.IsCreated()) {
      g_backBuffer.Fill(0);
      PresentWorkSurface();
    }
    return;
  }
  if (!battlePending) {
    Draw(hoveredRegion);
    g_cursorTimerMayDraw = false;
    DrawSoftwareCursor();
    PresentWorkSurface();
    g_cursorTimerMayDraw = true;
    DispatchMouseEvents();
    if (!PushRequestedScreen() && !tutorialBox && g_realmTutorialStep >= 0 && !ShowTutorialDialog(g_realmTutorialStep))
      g_realmTutorialStep = -1;
  }
  if (battlePending) EnterBattle();
}

void CRealmView::PointAtRegions() {
  const CMouseEvent& pointer = LatestMouseEvent();
  int x = pointer.x, y = pointer.y;
  ScreenToMap(x, y);
  const int region = RegionAt(x, y);
  if (region != hoveredRegion) {
    hoveredRegion = region;
    g_tooltipManager.RestartHoverTimer();
    SelectRegionName(region);
  }
  const bool pressed = LeftPressedThisFrame();
  if (tutorialBox) {
    if (pressed) tutorialLatch_ = 1;
    if (!pointer.left && tutorialLatch_) {
      tutorialLatch_ = 0;
      tutorialBox.reset();
      ++g_realmTutorialStep;
    }
    return;
  }
  // The buttons take their own clicks.
  for (const auto& button : buttons_)
    if (button && button->Contains(pointer.x, pointer.y)) return;
  const int player = realmState.playerWizard;
  if (region == 0 || !IsRegionVisible(region, player)) {
    SetCursorKind(kCursorNormal);
    return;
  }
  SetCursorKind(kCursorPointing);
  if (!hoveredName.empty()) g_tooltipManager.ShowForControl(hoveredName.c_str());
  if (!pressed) return;
  if (realmState.OwnerOf(region) != player) {
    targetRegion = region;
    realmIndex = RealmIndex(realmState.currentRealmName);
    state = kOpenRegion;
  } else if (realmState.IsWizard(player)) {
    realmState.destinations[player] = region;
  }
}

bool CRealmView::PushRequestedScreen() {
  if (requests_[kSpellBoxButton]) {
    requests_[kSpellBoxButton] = 0;
    if (g_spellBox) {
      g_spellBox->wizardRecord = FindPlayerWizardIndex() < 0 ? 0 : FindPlayerWizardIndex();
      g_spellBox->timedMode = 0;
      PushScreen(g_spellBox);
      return true;
    }
  }
  if (requests_[kMiniMenuButton]) {
    requests_[kMiniMenuButton] = 0;
    if (PushMiniMenu()) return true;
  }
  if (requests_[kGrimoireButton]) {
    requests_[kGrimoireButton] = 0;
    if (g_grimoire) {
      OpenGrimoire(RealmIndex(realmState.currentRealmName), 0);
      return true;
    }
  }
  if (requests_[kCharacterButton]) {
    requests_[kCharacterButton] = 0;
    if (g_characterScreen) {
      PushScreen(g_characterScreen);
      return true;
    }
  }
  return false;
}

bool CRealmView::PushMiniMenu() {
  if (!g_miniMenu) return false;
  g_miniMenu->mode = CMiniMenuScreen::kRealmViewMode;
  PushScreen(g_miniMenu);
  return true;
}

void CRealmView::OpenRegion() {
  if (realmIndex >= 0) RecordKnowledge(targetRegion);
  state = kPushRegionEntry;
}

void CRealmView::PushRegionEntry() {
  state = kMap;
  if (!g_regionEntry) return;
  const int player = realmState.playerWizard;
  g_regionEntry->elsewhere = realmState.IsWizard(player) && realmState.locations[player] == targetRegion ? 0 : 1;
  bool reread = false;
  if (g_regionEntry->region != targetRegion) {
    g_regionEntry->region = targetRegion;
    reread = true;
  }
  if (g_regionEntry->realmName != realmState.currentRealmName) {
    g_regionEntry->realmName = realmState.currentRealmName;
    reread = true;
  }
  if (reread) g_regionEntry->ReadRegionNames();
  g_regionEntry->mode = CRegionEntryScreen::kFromRealmView;
  PushScreen(g_regionEntry);
}

void CRealmView::LoadNextRealm() {
  if (realmState.nextRealm[0] == '\0') return;
  std::snprintf(g_realmFile, sizeof g_realmFile, "%s", realmState.nextRealm);
  if (!IsValidRealmPath(g_realmFile, g_realmName, sizeof g_realmName)) return;
  realmState.Load(g_realmName);
  state = kMap;
  Unload();
}

void CRealmView::EnterChosenBattle() {
  char path[512];
  std::snprintf(path, sizeof path, "Interface\\RegionEntry\\%ix%i\\%s_Region_%02i.JPG", ScreenWidth(), ScreenHeight(),
                g_realmName, targetRegion);
  if (g_backBuffer.IsCreated() && g_backBuffer.LoadJpeg(path)) PresentWorkSurface();
  EnterBattle();
  state = kMap;
}

int CRealmView::OnMessage(platform::WindowHandle, unsigned message, uintptr_t wParam, intptr_t) {
  // Escape opens the mini menu (also while the realm is finished and nothing is drawn); F2 and
  // F3 the save and load screens.
  if (message != platform::WM_KEYDOWN) return 0;
  const int key = static_cast<int>(wParam);
  if (key == platform::VK_ESCAPE) PushMiniMenu();
  if (key == platform::VK_F1 + 1 && g_saveGameScreen) PushScreen(g_saveGameScreen);
  if (key == platform::VK_F1 + 2 && g_loadGameScreen) {
    g_loadGameScreen->callerId = kScreenRealmView;
    PushScreen(g_loadGameScreen);
  }
  return 0;
}

void CRealmView::PlaySound(int sound) {
  lastSound = sound;
  if (g_soundManager) g_soundManager->Play(sound, 0, 0, nullptr, 0);
}

namespace {

// The battle's word to the realm view.
class CRealmViewCampaign : public IBattleCampaign {
 public:
  void SetBattleResult(int result) override {
    if (g_realmView) g_realmView->battleResult = result;
  }
  void LeaveCampaign() override {
    if (!g_realmView) return;
    g_realmView->leaveRequested = 1;
    g_realmView->battlePending = 0;
  }
};

CRealmViewCampaign g_realmViewCampaign;

}  // namespace

void InstallRealmView() { g_battleCampaign.Install(&g_realmViewCampaign); }

void StartCampaign(CRealmView& view, const char* realm) {
  view.Unload();
  view.realmState.Load(realm);
  view.state = CRealmView::kMap;
  view.battlePending = 0;
  view.leaveRequested = 0;
  view.battleResult = 1;
  view.endOfRealm = 0;
  view.hoveredRegion = 0;
  g_realmTutorialStep = 0;
}
