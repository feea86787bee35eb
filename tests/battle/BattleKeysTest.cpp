// The battle's keys against the map view on a small map and a fake of the panels: the cut
// level keys and the battle buttons, the view-size keys, the chat console's first claim on a
// character, the pause key, the group keys, the effect log; and edge scrolling at both
// resolutions with its cursor kinds, the held scroll button and a band selection.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DirectBattleScreen.h"
#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleKeys.h"
#include "battle/BattleSystems.h"
#include "core/GameSettings.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "graphics/BattleFacing.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "net/NetBattle.h"
#include "platform/KeyState.h"
#include "platform/Messages.h"
#include "platform/Window.h"
#include "ui/Flatwin.h"
#include "ui/Screen.h"

namespace {

// The panels as the keys see them; every call is written down.
struct FakeTargets : IBattleKeyTargets {
  std::vector<std::string> calls;
  bool speech = false, chat = false, chatTakes = true, popup = false, bar = true, scanner = false;
  int currentItem = -1, buttonsFrame = -99;
  bool SpeechShowing() override { return speech; }
  void SpeechTakesEnter() override { calls.push_back("speech enter"); }
  bool ChatOpen() override { return chat; }
  bool ChatTakesChar(int c) override {
    calls.push_back(std::string("chat char ") + static_cast<char>(c));
    return chatTakes;
  }
  void ChatSend() override { calls.push_back("chat send"); }
  void ChatOpenConsole() override {
    chat = true;
    calls.push_back("chat open");
  }
  void ChatClose() override {
    chat = false;
    calls.push_back("chat close");
  }
  bool PopupOpen() override { return popup; }
  void TogglePopup() override {
    popup = !popup;
    calls.push_back("popup toggle");
  }
  bool SelectBarShown() override { return bar; }
  void ShowSelectBarAndFace(bool show) override {
    bar = show;
    calls.push_back(show ? "bar show" : "bar hide");
  }
  void PressSelectBarItem(int item) override { calls.push_back("press " + std::to_string(item)); }
  int SelectBarCurrentItem() override { return currentItem; }
  void ReleaseSelectBarSelection() override { calls.push_back("release"); }
  void SelectBarLayoutChanged() override { calls.push_back("layout"); }
  bool ScannerShown() override { return scanner; }
  void ShowScanner(bool show) override { scanner = show; }
  void SetBattleButtonsFrame(int frame) override { buttonsFrame = frame; }
  void PushSaveScreen() override { calls.push_back("save screen"); }
  void PushLoadScreen() override { calls.push_back("load screen"); }
  void DumpEffectLog(const char* path) override { calls.push_back(std::string("dump ") + path); }
};

class BattleKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = g_battle;
    g_battle = &battle_;
    InstallBattle();
    ASSERT_EQ(g_map.Create(43, 43, 4, 1, 1), 1);
    g_mapView.SetMap(&g_map);
    g_mapView.SetViewRect(platform::Rect{0, 0, 800, 600});
    g_mapView.levelMode = 1;
    g_mapView.flagLevelCount = 3;
    g_mapView.flagLevel = 3;
    g_mapView.rotateLeftRequest = g_mapView.rotateRightRequest = 0;
    savedPrefs_ = g_prefs;
    g_prefs.isHighRes = 1;
    g_prefs.windowSize = 0;
    g_prefs.mouseScrollSpeed = 8;
    g_prefs.mouseScrollButton = 2;
    g_gameMode = kGameModeCampaign;
    g_networkGame = 0;
    g_followSelection = 0;
    g_focusIndex = -1;
    BattleState().mouseMode = kMouseModeNone;
    g_creatureArray.ReleaseAll();
    g_localArmy = 0;
  }
  void TearDown() override {
    ResetCreatureSelection();
    g_creatureArray.ReleaseAll();
    UninstallBattle();
    g_battle = saved_;
    g_localArmy = -1;
    g_map.Clear();
    g_prefs = savedPrefs_;
    g_gameMode = 0;
    g_followSelection = 0;
    g_netEffectsLog = 0;
    g_battleDebugKeys = 0;
    BattleState().mouseMode = kMouseModeNone;
    platform::SetKeyStateSource({});
  }
  void Key(int vk) { battle_.OnMessage(nullptr, platform::WM_KEYDOWN, vk, 0); }
  void Char(int c) { battle_.OnMessage(nullptr, platform::WM_CHAR, c, 0); }
  void AltKey(int vk) { battle_.OnMessage(nullptr, platform::WM_SYSKEYDOWN, vk, 0); }
  // A creature of an army standing at a cell, alive.
  CCreature& Creature(int slot, int army, int x, int y, int level) {
    CCreature& c = *g_creatureArray.At(slot);
    c.inUse = 1;
    c.army = army;
    c.health = 10;
    c.typeNumber = 5;
    c.cellX = x, c.cellY = y, c.level = level;
    c.unitX = x * 32, c.unitY = y * 32, c.unitZ = level * 16;
    g_creatureArray.NoteInUse(slot);
    return c;
  }

  FakeTargets targets_;
  HookScope<IBattleKeyTargets> scope_{g_battleKeyTargets, targets_};
  CBattle battle_;
  CBattle* saved_ = nullptr;
  CPreferences savedPrefs_;
};

TEST_F(BattleKeys, PageKeysClampTheCutLevelWhileTheBattleButtonsWrapIt) {
  // Cut-level mode, three cut levels: the frame is level + 1.
  Key(platform::VK_PRIOR);
  EXPECT_EQ(g_mapView.flagLevel, 3);
  EXPECT_EQ(targets_.buttonsFrame, 4);
  for (int i = 0; i < 4; ++i) Key(platform::VK_NEXT);
  EXPECT_EQ(g_mapView.flagLevel, 1);
  EXPECT_EQ(targets_.buttonsFrame, 2);
  battle_.OnButtonsClick();
  EXPECT_EQ(g_mapView.flagLevel, 2);
  battle_.OnButtonsClick();
  battle_.OnButtonsClick();
  EXPECT_EQ(g_mapView.flagLevel, 1);  // wrapped from 3
  // Two cut levels: the frame is level - 1.
  g_mapView.flagLevelCount = 2;
  battle_.OnButtonsClick();
  EXPECT_EQ(targets_.buttonsFrame, 1);

  // Level mode 0: the map's four levels are the limit.
  g_mapView.levelMode = 0;
  g_mapView.levelsShown = 4;
  Key(platform::VK_PRIOR);
  EXPECT_EQ(g_mapView.levelsShown, 4);
  Key(platform::VK_NEXT);
  EXPECT_EQ(g_mapView.levelsShown, 3);
  battle_.OnButtonsClick();
  battle_.OnButtonsClick();
  EXPECT_EQ(g_mapView.levelsShown, 1);
  EXPECT_EQ(g_mapView.flagLevel, 2);  // the cut level stays as it was

  // The click ends follow mode.
  g_followSelection = 1;
  battle_.OnButtonsClick();
  EXPECT_EQ(g_followSelection, 0);
}

TEST_F(BattleKeys, TheViewSizeChangesOnlyFromTheOtherSizeAndNeverInBandModeOrDuringASpeech) {
  struct Case {
    const char* name;
    int startSize;
    int key;
    bool band, speech, highRes;
    int size, bottom, right;
  } cases[] = {
      {"[ from 0", 0, '[', false, false, true, 1, 460, 800},
      {"{ from 0, 640x480", 0, '{', false, false, false, 1, 340, 640},
      {"[ from 1", 1, '[', false, false, true, 1, 600, 800},
      {"] from 1", 1, ']', false, false, true, 0, 600, 800},
      {"} from 1, 640x480", 1, '}', false, false, false, 0, 480, 640},
      {"] from 0", 0, ']', false, false, true, 0, 600, 800},
      {"[ in band mode", 0, '[', true, false, true, 0, 600, 800},
      {"[ during a speech", 0, '[', false, true, true, 0, 600, 800},
  };
  for (const Case& c : cases) {
    g_prefs.windowSize = c.startSize;
    g_prefs.isHighRes = c.highRes;
    g_mapView.SetViewRect(platform::Rect{0, 0, 800, 600});
    BattleState().mouseMode = c.band ? kMouseModeBand : kMouseModeNone;
    targets_.speech = c.speech;
    targets_.calls.clear();
    Char(c.key);
    EXPECT_EQ(g_prefs.windowSize, c.size) << c.name;
    const bool changed = c.size != c.startSize;
    if (changed) {
      EXPECT_EQ(g_mapView.rect.bottom, c.bottom) << c.name;
      EXPECT_EQ(g_mapView.rect.right, c.right) << c.name;
      EXPECT_EQ(targets_.calls, std::vector<std::string>{"layout"}) << c.name;
    } else {
      EXPECT_EQ(g_mapView.rect.bottom, 600) << c.name;
      EXPECT_TRUE(targets_.calls.empty()) << c.name;
    }
  }
}

TEST_F(BattleKeys, ACharacterGoesFirstToAnOpenChatConsole) {
  targets_.chat = true;
  Char('t');
  EXPECT_EQ(g_followSelection, 0);  // the console took it
  EXPECT_EQ(targets_.calls, std::vector<std::string>{"chat char t"});

  targets_.chatTakes = false;  // a key the console does not want goes on to the battle
  Char('t');
  EXPECT_EQ(g_followSelection, 1);

  // Tab closes the open console and toggles the popup strip.
  targets_.calls.clear();
  Char('\t');
  EXPECT_EQ(targets_.calls, (std::vector<std::string>{"chat char \t", "chat close", "popup toggle"}));

  // Digits select no group while the console is open.
  CCreature& c = Creature(5, 0, 10, 10, 1);
  c.group = 3;
  targets_.chat = true;
  Key('3');
  EXPECT_EQ(c.selected, 0);
  targets_.chat = false;
  Key('3');
  EXPECT_EQ(c.selected, 1);
}

TEST_F(BattleKeys, EnterEscapeAndThePanelKeys) {
  struct Case {
    const char* name;
    int mode, networkGame;
    bool speech, chat, popup;
    int key;
    std::vector<std::string> calls;
    int leave;
  } cases[] = {
      {"Enter on a speech", kGameModeLobby, 1, true, false, false, platform::VK_RETURN, {"speech enter"}, 0},
      {"Enter in a network battle",
       kGameModeLobby,
       1,
       false,
       false,
       true,
       platform::VK_RETURN,
       {"popup toggle", "chat open"},
       0},
      {"Enter sends an open console's line",
       kGameModeLobby,
       1,
       false,
       true,
       false,
       platform::VK_RETURN,
       {"chat send"},
       0},
      {"Enter alone", kGameModeCampaign, 0, false, false, false, platform::VK_RETURN, {}, 0},
      {"Escape closes the console",
       kGameModeQuickBattle,
       0,
       false,
       true,
       false,
       platform::VK_ESCAPE,
       {"chat close"},
       0},
      {"Escape in a campaign battle", kGameModeCampaign, 0, false, false, false, platform::VK_ESCAPE, {}, 1},
      {"Escape during a speech", kGameModeCampaign, 0, true, false, false, platform::VK_ESCAPE, {}, 0},
      {"F2", kGameModeCampaign, 0, false, false, false, platform::VK_F1 + 1, {"save screen"}, 0},
      {"F3", kGameModeCampaign, 0, false, false, false, platform::VK_F1 + 2, {"load screen"}, 0},
      {"F12", kGameModeCampaign, 0, false, false, false, platform::VK_F1 + 11, {"bar hide"}, 0},
  };
  for (const Case& c : cases) {
    g_gameMode = c.mode;
    g_networkGame = c.networkGame;
    targets_.speech = c.speech;
    targets_.chat = c.chat;
    targets_.popup = c.popup;
    targets_.calls.clear();
    battle_.leaveRequested = 0;
    Key(c.key);
    EXPECT_EQ(targets_.calls, c.calls) << c.name;
    EXPECT_EQ(battle_.leaveRequested, c.leave) << c.name;
  }
  // F11 and F12 toggle.
  Key(platform::VK_F1 + 10);
  EXPECT_TRUE(targets_.scanner);
  Key(platform::VK_F1 + 10);
  EXPECT_FALSE(targets_.scanner);
  Key(platform::VK_F1 + 11);
  EXPECT_TRUE(targets_.bar);
}

TEST_F(BattleKeys, DigitsAndAltDigitsSelectGroupsAndAltFWritesTheEffectLog) {
  CCreature& a = Creature(1, 0, 5, 5, 1);
  CCreature& b = Creature(2, 0, 6, 5, 1);
  CCreature& foe = Creature(3, 1, 7, 5, 1);
  a.group = 2;
  b.group = 4;
  foe.group = 2;
  Key('2');
  EXPECT_EQ(a.selected, 1);
  EXPECT_EQ(b.selected, 0);
  EXPECT_EQ(foe.selected, 0);
  AltKey('4');
  EXPECT_EQ(b.selected, 1);
  EXPECT_EQ(a.selected, 0);
  // Alt+digit focuses too: the view is on the group's creature.
  EXPECT_EQ(g_mapView.camCellX, 6);
  EXPECT_EQ(g_mapView.camCellY, 5);

  AltKey('F');
  EXPECT_TRUE(targets_.calls.empty());  // effect logging is off
  g_netEffectsLog = 1;
  AltKey('F');
  EXPECT_EQ(targets_.calls, std::vector<std::string>{"dump fx_log.txt"});

  // Alt+C and Alt+H flip their options; the debug keys need debug mode.
  const int cache = g_useSpriteCache, hide = g_hide_HC_sprites;
  AltKey('C');
  AltKey('H');
  EXPECT_EQ(g_useSpriteCache, !cache);
  EXPECT_EQ(g_hide_HC_sprites, !hide);
  AltKey('C');
  AltKey('H');
  AltKey('N');
  EXPECT_EQ(g_battleDebug.pathNetworkPaused, 0);
  g_battleDebugKeys = 1;
  AltKey('N');
  AltKey('O');
  AltKey('D');
  EXPECT_EQ(g_battleDebug.pathNetworkPaused, 1);
  EXPECT_EQ(g_battleDebug.occlusion, 0);
  EXPECT_EQ(g_battleDebug.displayToggle, 1);
  AltKey('N');
  AltKey('O');
  AltKey('D');
  EXPECT_EQ(g_battleDebug.occlusion, 2);
}

TEST_F(BattleKeys, FocusCyclingWalksTheSelectedCreaturesOfTheLocalArmyAndSetsTheCutLevel) {
  Creature(1, 0, 4, 4, 2).selected = 1;
  Creature(2, 0, 8, 8, 1);               // not selected
  Creature(3, 1, 9, 9, 1).selected = 1;  // another army
  Creature(6, 0, 12, 14, 3).selected = 1;
  Creature(7, 0, 20, 20, 1).selected = 1;
  g_creatureArray.At(7)->health = 0;  // dead

  struct Step {
    char key;
    int focus, camX, camY, cut;
  } steps[] = {
      {'c', 1, 4, 4, 2}, {'c', 6, 12, 14, 3}, {'c', 1, 4, 4, 2}, {'v', 6, 12, 14, 3}, {'V', 1, 4, 4, 2},
  };
  for (const Step& s : steps) {
    Char(s.key);
    EXPECT_EQ(g_focusIndex, s.focus) << s.key;
    EXPECT_EQ(g_mapView.camCellX, s.camX) << s.key;
    EXPECT_EQ(g_mapView.camCellY, s.camY) << s.key;
    EXPECT_EQ(g_mapView.flagLevel, s.cut) << s.key;
  }

  // X selects the next creature of the army alone, dead ones skipped.
  Char('x');
  EXPECT_EQ(g_focusIndex, 2);
  EXPECT_EQ(g_creatureArray.At(2)->selected, 1);
  EXPECT_EQ(g_creatureArray.At(1)->selected, 0);
  EXPECT_EQ(g_creatureArray.At(6)->selected, 0);
  Char('x');
  EXPECT_EQ(g_focusIndex, 6);
  // Z keeps the selection and steps over the selected ones only.
  Char('z');
  EXPECT_EQ(g_focusIndex, 6);
  EXPECT_EQ(g_creatureArray.At(6)->selected, 1);

  // Follow mode keeps the view on the first selected creature.
  Char('t');
  g_mapView.SetCameraCell(30, 30, 0);
  battle_.FollowSelection();
  EXPECT_EQ(g_mapView.camCellX, 12);
  Char('T');
  EXPECT_EQ(g_followSelection, 0);
}

TEST_F(BattleKeys, TheSpaceKeyTogglesBetweenTheCreaturesAndTheRememberedSelectBarItem) {
  CCreature& wizard = Creature(0, 0, 4, 4, 1);
  wizard.typeNumber = 0;
  ASSERT_TRUE(wizard.IsWizard());
  CCreature& soldier = Creature(1, 0, 5, 4, 1);
  soldier.Select();
  battle_.CollectLoyalCreatures();
  ASSERT_EQ(battle_.loyalCount, 1);

  Char(' ');  // nothing remembered: the first item is pressed
  EXPECT_EQ(targets_.calls, std::vector<std::string>{"press 0"});

  soldier.Deselect();
  SetHasSelection(kMouseModeSpell);  // the spell is being aimed
  targets_.currentItem = 0;
  wizard.selectedSpell = 5;
  Char(' ');
  EXPECT_EQ(soldier.selected, 1);
  EXPECT_EQ(HasSelection(), kMouseModeCreatures);
  EXPECT_EQ(battle_.storedSelectItem, 0);
  EXPECT_EQ(wizard.selectedSpell, -1);

  targets_.calls.clear();
  Char(' ');  // back to the remembered item
  EXPECT_EQ(targets_.calls, std::vector<std::string>{"press 0"});
  EXPECT_EQ(HasSelection(), kMouseModeSpell);

  // W: the wizard alone, then the view on it.
  Char('w');
  EXPECT_EQ(wizard.selected, 1);
  EXPECT_EQ(soldier.selected, 0);
  g_mapView.SetCameraCell(30, 30, 0);
  Char('w');
  EXPECT_EQ(g_mapView.camCellX, 4);
  ResetCreatureSelection();
}

TEST_F(BattleKeys, TurnKeysRequestATurnUnlessTheOtherIsPendingOrASpeechShows) {
  Char(',');
  EXPECT_EQ(g_mapView.rotateLeftRequest, 1);
  Char('.');
  EXPECT_EQ(g_mapView.rotateRightRequest, 0);
  g_mapView.rotateLeftRequest = 0;
  targets_.speech = true;
  Char('>');
  EXPECT_EQ(g_mapView.rotateRightRequest, 0);
  targets_.speech = false;
  Char('>');
  EXPECT_EQ(g_mapView.rotateRightRequest, 1);
  Char('s');
  Char('S');
  Char('s');
  EXPECT_EQ(battle_.displayMode, 0);
}

// --- edge scrolling ------------------------------------------------------------------------

TEST(EdgeScroll, ThePointerPositionChoosesTheCursorAndTheStep) {
  struct Case {
    int x, y;
    bool highRes;
    int cursor, a, b;
  } cases[] = {
      {0, 0, true, kEdgeUpLeft, -8, -8},      {0, 149, true, kEdgeUpLeft, -8, -8},
      {0, 150, true, kEdgeLeft, -8, 0},       {0, 449, true, kEdgeLeft, -8, 0},
      {0, 450, true, kEdgeDownLeft, -8, 8},   {799, 10, true, kEdgeUpRight, 8, -8},
      {799, 300, true, kEdgeRight, 8, 0},     {799, 599, true, kEdgeDownRight, 8, 8},
      {199, 0, true, kEdgeUpLeft, -8, -8},    {200, 0, true, kEdgeUp, 0, -8},
      {600, 0, true, kEdgeUpRight, 8, -8},    {400, 599, true, kEdgeDown, 0, 8},
      {100, 599, true, kEdgeDownLeft, -8, 8}, {700, 599, true, kEdgeDownRight, 8, 8},
      {400, 300, true, kEdgeNone, 0, 0},      {1, 1, true, kEdgeNone, 0, 0},
      {798, 598, true, kEdgeNone, 0, 0},      {639, 200, true, kEdgeNone, 0, 0},
      {639, 200, false, kEdgeRight, 8, 0},    {639, 119, false, kEdgeUpRight, 8, -8},
      {0, 360, false, kEdgeDownLeft, -8, 8},  {159, 479, false, kEdgeDownLeft, -8, 8},
      {160, 479, false, kEdgeDown, 0, 8},     {480, 0, false, kEdgeUpRight, 8, -8},
      {320, 240, false, kEdgeNone, 0, 0},     {400, 479, true, kEdgeNone, 0, 0},
  };
  for (const Case& c : cases) {
    const EdgeScroll e = EdgeScrollAt(c.x, c.y, c.highRes, 8);
    EXPECT_EQ(e.cursor, c.cursor) << c.x << "," << c.y << " " << c.highRes;
    EXPECT_EQ(e.a, c.a) << c.x << "," << c.y;
    EXPECT_EQ(e.b, c.b) << c.x << "," << c.y;
  }
}

class EdgeScrolling : public BattleKeys {
 protected:
  void SetUp() override {
    BattleKeys::SetUp();
    savedWindowed_ = g_windowed;
    g_windowed = 0;
    g_mapView.SetCameraCell(20, 20, 1);
    platform::SetKeyStateSource([this](int key) { return held_ == key; });
  }
  void TearDown() override {
    g_windowed = savedWindowed_;
    g_edgeCursorKind = kEdgeNone;
    BattleKeys::TearDown();
  }
  void PointAt(int x, int y) {
    g_mouseRing[g_mouseLatestIndex].x = x;
    g_mouseRing[g_mouseLatestIndex].y = y;
  }
  int held_ = 0;
  int savedWindowed_ = 0;
};

TEST_F(EdgeScrolling, TheEdgesScrollTheViewUnlessTheScrollButtonIsHeld) {
  const int x0 = g_mapView.CameraX(), y0 = g_mapView.CameraY();
  PointAt(400, 300);
  battle_.ScrollByKeysAndEdges();
  EXPECT_EQ(g_edgeCursorKind, kEdgeNone);
  EXPECT_EQ(g_mapView.CameraX(), x0);

  PointAt(400, 0);  // straight up the screen: (0, -8) in rotation 0 is dx -8, dy -8
  g_followSelection = 1;
  battle_.ScrollByKeysAndEdges();
  EXPECT_EQ(g_edgeCursorKind, kEdgeUp);
  EXPECT_EQ(g_mapView.CameraX(), x0 - 8);
  EXPECT_EQ(g_mapView.CameraY(), y0 - 8);
  EXPECT_EQ(g_followSelection, 0);

  held_ = platform::kKeyRightButton;  // the preference names the right button
  battle_.ScrollByKeysAndEdges();
  EXPECT_EQ(g_mapView.CameraX(), x0 - 8);

  held_ = platform::VK_RIGHT;  // an arrow key scrolls 32 at a time, also in a window
  g_windowed = 1;
  battle_.ScrollByKeysAndEdges();
  EXPECT_EQ(g_mapView.CameraX(), x0 - 8 + 32);
  EXPECT_EQ(g_mapView.CameraY(), y0 - 8 - 32);

  targets_.speech = true;  // nothing scrolls while a speech shows
  battle_.ScrollByKeysAndEdges();
  EXPECT_EQ(g_mapView.CameraX(), x0 - 8 + 32);
}

TEST_F(EdgeScrolling, ABandMovesAgainstTheScrollAndStaysInsideTheView) {
  CBattleSharedState& state = BattleState();
  state.mouseMode = kMouseModeBand;
  state.bandRect = platform::Rect{300, 200, 700, 400};
  state.bandAnchorX = 300, state.bandAnchorY = 200;
  PointAt(799, 300);  // the right edge: a = +8
  battle_.ScrollByKeysAndEdges();
  EXPECT_EQ(state.bandRect.left, 284);
  EXPECT_EQ(state.bandRect.right, 799);  // pinned to the pointer
  EXPECT_EQ(state.bandRect.top, 200);
  EXPECT_EQ(state.bandAnchorX, 284);

  state.bandRect = platform::Rect{4, 4, 300, 300};
  PointAt(0, 0);  // up and left: the band moves right and down, its top-left under the pointer
  battle_.ScrollByKeysAndEdges();
  EXPECT_EQ(state.bandRect.left, 0);
  EXPECT_EQ(state.bandRect.top, 0);
  EXPECT_EQ(state.bandRect.right, 316);
  EXPECT_EQ(state.bandRect.bottom, 308);

  state.bandRect = platform::Rect{2, 2, 790, 590};
  PointAt(799, 599);  // down and right: the band is clamped to the view
  battle_.ScrollByKeysAndEdges();
  EXPECT_EQ(state.bandRect.left, 0);
  EXPECT_EQ(state.bandRect.top, 0);
  EXPECT_EQ(state.bandRect.right, 799);
  EXPECT_EQ(state.bandRect.bottom, 599);
}

// The pause key goes as a frame command and pauses the battle a few frames on; in a
// network battle it is ignored.
class BattleKeysFrame : public DirectBattleScreen {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(StartBattle(nullptr)); }

  FakeTargets targets_;
  HookScope<IBattleKeyTargets> scope_{g_battleKeyTargets, targets_};
};

TEST_F(BattleKeysFrame, PSendsThePauseCommandOutsideNetworkBattles) {
  Frames(2);
  battle_.OnMessage(nullptr, platform::WM_CHAR, 'p', 0);
  EXPECT_EQ(battle_.paused, 0);  // not at once: the command runs in a later frame
  Frames(4);
  EXPECT_EQ(battle_.paused, 1);
  battle_.OnMessage(nullptr, platform::WM_CHAR, 'P', 0);
  Frames(4);
  EXPECT_EQ(battle_.paused, 0);

  g_networkGame = 1;
  battle_.OnMessage(nullptr, platform::WM_CHAR, 'p', 0);
  Frames(4);
  EXPECT_EQ(battle_.paused, 0);
}

}  // namespace
