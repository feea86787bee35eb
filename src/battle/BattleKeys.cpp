// The battle's key tables (WM_KEYDOWN, WM_CHAR, WM_SYSKEYDOWN), focus cycling, the space
// key's toggle, the selection keys and the battle buttons' click.
#include "battle/BattleKeys.h"

#include <algorithm>

#include "battle/Battle.h"
#include "battle/ChatConsole.h"
#include "battle/PanelBattle.h"
#include "battle/QuickBattleEndScreen.h"
#include "battle/Scanner.h"
#include "battle/SelectBar.h"
#include "battle/WizardFacePanel.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "graphics/BattleFacing.h"
#include "graphics/Display.h"
#include "graphics/TypePrinters.h"
#include "magic/EffectLog.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "platform/Messages.h"
#include "ui/Flatwin.h"
#include "ui/Screen.h"
#include "ui/SpeechCtrl.h"

namespace {
IBattleKeyTargets g_realKeyTargets;
}  // namespace

HookSlot<IBattleKeyTargets> g_battleKeyTargets(&g_realKeyTargets);
int g_focusIndex = -1;
BattleDebugSwitches g_battleDebug;

// --- the real panels ----------------------------------------------------------------------

bool IBattleKeyTargets::SpeechShowing() { return g_speechCtrl.IsActive(); }
void IBattleKeyTargets::SpeechTakesEnter() { g_speechCtrl.OnMouse(MF_LEFT_DOWN, LatestMouseEvent()); }
bool IBattleKeyTargets::ChatOpen() { return g_chatConsole.Shown(); }
bool IBattleKeyTargets::ChatTakesChar(int character) { return g_chatConsole.OnKey(character); }
void IBattleKeyTargets::ChatSend() { g_chatConsole.Send(); }
void IBattleKeyTargets::ChatOpenConsole() { g_chatConsole.Show(); }
void IBattleKeyTargets::ChatClose() { g_chatConsole.Hide(); }
bool IBattleKeyTargets::PopupOpen() { return g_selectBar.popupOpen; }
void IBattleKeyTargets::TogglePopup() { g_selectBar.TogglePopup(); }
bool IBattleKeyTargets::SelectBarShown() { return g_selectBar.shown; }
void IBattleKeyTargets::ShowSelectBarAndFace(bool show) {
  // The face panel paints into the bar's surface: the two go together.
  g_selectBar.shown = show;
  if (show) {
    g_selectBar.ShowAll();
    g_wizardFacePanel.flag = 1;
  } else {
    g_selectBar.HideAll();
    g_wizardFacePanel.flag = 0;
  }
  RequestPanelRedraw();
}
void IBattleKeyTargets::PressSelectBarItem(int item) { g_selectBar.ClickSlot(item); }
int IBattleKeyTargets::SelectBarCurrentItem() { return g_selectBar.selectedSlot; }
void IBattleKeyTargets::ReleaseSelectBarSelection() { g_selectBar.PressSelected(); }
void IBattleKeyTargets::SelectBarLayoutChanged() { g_selectBar.ApplyDisplayMode(); }
bool IBattleKeyTargets::ScannerShown() { return g_scanner.Shown(); }
void IBattleKeyTargets::ShowScanner(bool show) {
  if (show)
    g_scanner.Show();
  else
    g_scanner.Hide();
  RequestPanelRedraw();
}
void IBattleKeyTargets::DumpEffectLog(const char* path) { g_effectLog.Dump(path); }
void IBattleKeyTargets::SetBattleButtonsFrame(int frame) {
  if (g_battle) g_battle->ShowBattleButtonsFrame(frame);
}

// --- shared helpers -----------------------------------------------------------------------

namespace {

IBattleKeyTargets& Targets() { return *g_battleKeyTargets; }

bool MultiplayerBattle() { return g_networkGame != 0 || g_gameMode == kGameModeLobby; }
bool CutLevelMode() { return g_mapView.levelMode != 0; }

// The limit the cut level runs to: the cut levels in cut-level mode, else the map's levels.
int CutLevelCount() { return std::max(1, CutLevelMode() ? g_mapView.flagLevelCount : g_mapView.MapLevels()); }
int& CutLevel() { return CutLevelMode() ? g_mapView.flagLevel : g_mapView.levelsShown; }

void ShowCutLevel() { Targets().SetBattleButtonsFrame(BattleButtonsFrame(CutLevel(), CutLevelCount())); }

void SetCutLevel(int level) {
  CutLevel() = std::clamp(level, 1, CutLevelCount());
  g_mapView.fullRebuild = 1;
  ShowCutLevel();
}

// After the camera moved to a creature: in cut-level mode the cut level shows its level.
void CutToCreature(const CCreature& creature) {
  if (CutLevelMode()) SetCutLevel(creature.level);
}

void CentreOn(const CCreature& creature) { g_mapView.FocusOnPosition(creature.unitX, creature.unitY, creature.unitZ); }

bool LocalAlive(const CCreature& creature) {
  return creature.inUse && creature.army == g_localArmy && creature.IsAlive();
}

// The next record (forward or back from `from`, wrapping over the array) that passes the
// test; -1 when none does.
template <class Test>
int FindFrom(int from, bool forward, Test&& test) {
  const int n = g_creatureArray.Capacity();
  if (n <= 0) return -1;
  for (int step = 1; step <= n; ++step) {
    const int i = (((forward ? from + step : from - step) % n) + n) % n;
    if (const CCreature* creature = g_creatureArray.At(i); creature && test(*creature)) return i;
  }
  return -1;
}

CCreature* LocalWizard() {
  for (CCreature& creature : g_creatureArray.records)
    if (LocalAlive(creature) && creature.IsWizard()) return &creature;
  return nullptr;
}

void DeselectAll() {
  for (CCreature& creature : g_creatureArray.records)
    if (creature.inUse && (creature.selected || creature.inspected)) creature.Deselect();
  SetSelectionCount(0);
}

void SelectAlone(CCreature& creature) {
  DeselectAll();
  creature.Select();
}

// X and Z: the next alive creature of the local army (Z: a selected one) after the
// remembered one; X selects it alone.
void StepToNextCreature(bool selectedOnly) {
  if (g_localArmy == -1) return;
  const int next = FindFrom(g_focusIndex, true, [&](const CCreature& creature) {
    return LocalAlive(creature) && (!selectedOnly || creature.selected);
  });
  if (next < 0) return;
  g_focusIndex = next;
  CCreature& creature = *g_creatureArray.At(next);
  if (!selectedOnly) SelectAlone(creature);
  CentreOn(creature);
  CutToCreature(creature);
}

// W: the wizard alone, or the view on it when it is selected already.
void SelectWizard() {
  if (g_localArmy == -1) return;
  Targets().ReleaseSelectBarSelection();
  CCreature* wizard = LocalWizard();
  if (!wizard) return;
  if (wizard->selected) {
    CentreOn(*wizard);
    return;
  }
  SelectAlone(*wizard);
}

void ChangeViewSize(int size) {
  if (Targets().SpeechShowing() || BattleState().mouseMode == kMouseModeBand) return;
  if (g_prefs.windowSize == size || g_prefs.windowSize != 1 - size) return;
  g_prefs.windowSize = size;
  int r[4];
  BattleViewSizeRect(size, g_prefs.isHighRes != 0, r);
  g_mapView.SetViewRect(platform::Rect{r[0], r[1], r[2], r[3]});
  Targets().SelectBarLayoutChanged();
  RequestPanelRedraw();
}

// Page Up and Down: clamped, where the battle buttons' click wraps.
void StepLevel(int delta) {
  SetCutLevel(CutLevel() + delta);
  if (CutLevelMode()) OfferInterfaceCommand(8, -1, -1);
}

// --- WM_KEYDOWN -----------------------------------------------------------------------------

void OnEnter() {
  if (Targets().SpeechShowing()) {
    Targets().SpeechTakesEnter();
    return;
  }
  if (!MultiplayerBattle()) return;
  if (Targets().ChatOpen()) {
    Targets().ChatSend();
    return;
  }
  if (Targets().PopupOpen()) Targets().TogglePopup();
  Targets().ChatOpenConsole();
}

// The results screen of a quick or network battle, over the running battle; without a
// display to show it on, the battle is left.
void ShowResults(CBattle& battle) {
  if (!g_backBuffer.IsCreated()) {
    battle.leaveRequested = 1;
    return;
  }
  CQuickBattleEndScreen& results = QuickBattleEndScreen();
  results.returned = 0;
  results.hasArmy = g_localArmy != -1 ? 1 : 0;
  PushScreen(&results);
}

void OnEscape(CBattle& battle) {
  if (g_gameMode == kGameModeQuickBattle || g_gameMode == kGameModeLobby) {
    if (Targets().ChatOpen()) {
      Targets().ChatClose();
      return;
    }
    ShowResults(battle);
    return;
  }
  if (Targets().SpeechShowing()) return;
  // Until the front end has its mini menu, Escape leaves the battle.
  if (!Targets().PushMiniMenu(2)) battle.leaveRequested = 1;
}

void OnKeyDown(CBattle& battle, int key) {
  switch (key) {
    case platform::VK_RETURN:
      OnEnter();
      return;
    case platform::VK_ESCAPE:
      OnEscape(battle);
      return;
    case platform::VK_PRIOR:
      StepLevel(+1);
      return;
    case platform::VK_NEXT:
      StepLevel(-1);
      return;
    case platform::VK_F1 + 1:
      Targets().PushSaveScreen();
      return;
    case platform::VK_F1 + 2:
      Targets().PushLoadScreen();
      return;
    case platform::VK_F1 + 10:
      Targets().ShowScanner(!Targets().ScannerShown());
      return;
    case platform::VK_F1 + 11:
      Targets().ShowSelectBarAndFace(!Targets().SelectBarShown());
      return;
    default:
      break;
  }
  if (key >= '0' && key <= '9' && !Targets().ChatOpen()) g_creatureArray.SelectAt(key - '0', 0);
}

// --- WM_CHAR --------------------------------------------------------------------------------

void OnChar(CBattle& battle, int character) {
  if (Targets().ChatOpen() && Targets().ChatTakesChar(character)) return;
  const bool speech = Targets().SpeechShowing();
  switch (character) {
    case '\t':
      if (Targets().ChatOpen()) Targets().ChatClose();
      Targets().TogglePopup();
      return;
    case ' ':
      battle.ToggleSpaceSelection();
      return;
    case ',':
    case '<':
      if (!speech && !g_mapView.rotateRightRequest) g_mapView.RequestTurnLeft();
      return;
    case '.':
    case '>':
      if (!speech && !g_mapView.rotateLeftRequest) g_mapView.RequestTurnRight();
      return;
    case 'C':
    case 'c':
      battle.CycleCreatureFocus(true);
      return;
    case 'V':
    case 'v':
      battle.CycleCreatureFocus(false);
      return;
    case 'P':
    case 'p':
      if (!MultiplayerBattle() && !speech) battle.RequestPause();
      return;
    case 'S':
    case 's':
      battle.displayMode = (battle.displayMode + 1) % 3;
      return;
    case 'T':
    case 't':
      g_followSelection = !g_followSelection;
      return;
    case 'W':
    case 'w':
      SelectWizard();
      return;
    case 'X':
    case 'x':
      StepToNextCreature(false);
      return;
    case 'Z':
    case 'z':
      StepToNextCreature(true);
      return;
    case '[':
    case '{':
      ChangeViewSize(1);
      return;
    case ']':
    case '}':
      ChangeViewSize(0);
      return;
    default:
      return;
  }
}

// --- WM_SYSKEYDOWN (Alt held) ---------------------------------------------------------------

void OnDebugKey(int key) {
  if (!g_battleDebugKeys) return;
  switch (key) {
    case 'T':
      ToggleTintPrinter();
      return;
    case 'O':
      g_battleDebug.occlusion = g_battleDebug.occlusion ? 0 : 2;
      return;
    case 'D':
      g_battleDebug.displayToggle = !g_battleDebug.displayToggle;
      return;
    case 'B':
      g_blitBenchmark = !g_blitBenchmark;
      return;
    case 'N':
      g_battleDebug.pathNetworkPaused = !g_battleDebug.pathNetworkPaused;
      return;
    default:
      return;
  }
}

void OnSysKeyDown(int key) {
  if (key >= '0' && key <= '9') {
    g_creatureArray.SelectAt(key - '0', 1);
    return;
  }
  switch (key) {
    case 'C':
      g_useSpriteCache = !g_useSpriteCache;
      return;
    case 'F':
      if (g_netEffectsLog) Targets().DumpEffectLog("fx_log.txt");
      return;
    case 'H':
      g_hide_HC_sprites = !g_hide_HC_sprites;
      return;
    default:
      OnDebugKey(key);
      return;
  }
}

}  // namespace

int BattleButtonsFrame(int level, int levelCount) { return levelCount == 3 ? level + 1 : level - 1; }

int CurrentBattleButtonsFrame() { return BattleButtonsFrame(CutLevel(), CutLevelCount()); }

void BattleViewSizeRect(int viewSize, bool highRes, int rect[4]) {
  rect[0] = rect[1] = 0;
  rect[2] = highRes ? 800 : 640;
  rect[3] = viewSize == 1 ? (highRes ? 460 : 340) : (highRes ? 600 : 480);
}

// --- the battle state's operations -----------------------------------------------------------

int CBattle::OnMessage(platform::WindowHandle, unsigned message, uintptr_t wParam, intptr_t) {
  const int key = static_cast<int>(wParam);
  if (message == platform::WM_KEYDOWN)
    OnKeyDown(*this, key);
  else if (message == platform::WM_CHAR)
    OnChar(*this, key);
  else if (message == platform::WM_SYSKEYDOWN)
    OnSysKeyDown(key);
  return 0;
}

void CBattle::CycleCreatureFocus(bool forward) {
  if (g_localArmy == -1) return;
  const int next = FindFrom(g_focusIndex, forward,
                            [](const CCreature& creature) { return LocalAlive(creature) && creature.selected; });
  if (next < 0) return;
  g_focusIndex = next;
  const CCreature& creature = *g_creatureArray.At(next);
  CentreOn(creature);
  CutToCreature(creature);
}

void CBattle::FollowSelection() {
  if (!g_followSelection) return;
  for (const CCreature& creature : g_creatureArray.records)
    if (creature.inUse && creature.selected) {
      CentreOn(creature);
      CutToCreature(creature);
      return;
    }
}

void CBattle::ToggleSpaceSelection() {
  IBattleKeyTargets& targets = Targets();
  if (HasSelection() != kMouseModeSpell) {
    if (storedSelectItem == -1) {
      targets.PressSelectBarItem(0);
      return;
    }
    targets.PressSelectBarItem(storedSelectItem);
    SetHasSelection(kMouseModeSpell);
    return;
  }
  CCreature* wizard = LocalWizard();
  for (int i = 0; i < loyalCount; ++i)
    if (loyal[i] && loyal[i]->inUse) loyal[i]->Select();
  if (loyalCount == 0 && wizard) wizard->Select();
  storedSelectItem = targets.SelectBarCurrentItem();
  SetHasSelection(kMouseModeCreatures);
  if (wizard) wizard->selectedSpell = -1;
}

void CBattle::OnButtonsClick() {
  int level = CutLevel() + 1;
  if (level > CutLevelCount()) level = 1;
  SetCutLevel(level);
  OfferInterfaceCommand(8, -1, -1);
  g_followSelection = 0;
}

void CBattle::CollectLoyalCreatures() {
  if (HasSelection() == kMouseModeSpell) return;
  loyalCount = 0;
  for (CCreature& creature : g_creatureArray.records) {
    if (loyalCount >= kLoyalCapacity) break;
    if (creature.inUse && (creature.selected || creature.inspected)) loyal[loyalCount++] = &creature;
  }
}
