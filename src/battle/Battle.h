#pragma once
// CBattle: the screen that runs one battle (screen id 2). One global object; the front end
// calls LoadBattle and pushes it, the main loop runs its Update once a frame. Each frame it
// runs the battle's subsystems in a fixed order through the frame protocol of the network
// client (single player included), so that every machine, and a replay, computes the same
// battle: the logic draws only from g_battleRandom, and every input that changes the battle
// travels as a frame command.

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "battle/BattleEndScreen.h"
#include "battle/ProgressBar.h"
#include "core/MMTimer.h"
#include "graphics/Animation.h"
#include "graphics/Sprite.h"
#include "map/MapCell.h"
#include "map/TerrainAnimation.h"
#include "ui/Button.h"
#include "ui/Screen.h"

inline constexpr int kBattleScreenId = 2;

// The 24-byte battle set-up record the front end fills before LoadBattle: region, map seed,
// battle seed, armies, players (1 in single player), the local army.
struct CBattleSetup {
  int32_t region = -1;
  int32_t mapSeed = 0;
  int32_t battleSeed = 0;
  int32_t armies = 0;
  int32_t players = 0;
  int32_t localArmy = -1;
};
extern CBattleSetup g_battleSetup;

// The battle clock: seconds left in a timed battle (-1 or 0 at the end).
extern int g_battleClock;
// Set by the creature code when only computer players are left.
extern int g_aiOnlyEnd;
// The view follows the selection (the T key).
extern int g_followSelection;
extern int g_musicRestarted;

class CBattle : public CScreen {
 public:
  static constexpr int kEndCountdownFrames = 120;

  CBattle();
  ~CBattle() override;
  CBattle(const CBattle&) = delete;
  CBattle& operator=(const CBattle&) = delete;

  // --- the screen -------------------------------------------------------------------------
  void Enter() override { Initialise(); }
  void Exit() override;
  void Suspend() override;
  void Resume() override;
  void Update() override;
  int OnMessage(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) override;

  void Initialise();
  // The local player's pause key: a frame command, so that every machine pauses in one frame.
  void RequestPause();
  // The frame command's work.
  void Pause();
  bool EvaluateVictory();
  // The clock message of a frame: the seconds left.
  void SetBattleTimer(int seconds);

  // --- loading (BattleLoading.cpp) ---------------------------------------------------------
  int ReadRegionPath(const char* realmFile, int region);
  int LoadTerrain();
  void LoadGraphics();
  void SetUpPanels();
  void FreeGraphics();
  bool ReceiveGameInit();
  void DeployDefaultWizards();

  // --- the battle's part of a saved game (BattleSave.cpp) ------------------------------------
  // The bytes written, or -1 as soon as a write comes short or a part fails.
  int SaveState(FILE* file);
  // The bytes read, or -1 with the battle as it was before the call.
  int LoadState(FILE* file);

  // --- keys, scrolling and focus (BattleKeys.cpp, BattleKeysScrolling.cpp) -----------------
  // Centres the view on the next (or previous) selected creature of the local army.
  void CycleCreatureFocus(bool forward);
  // The battle buttons' click: the cut level steps on, wrapping.
  void OnButtonsClick();
  // --- the battle buttons (BattleButtons.cpp) ---------------------------------------------
  // The button that shows the cut level and steps it: made once, at the bottom right, when
  // its art loads (without the art the battle has no battle buttons).
  void CreateBattleButtons();
  void FreeBattleButtons();
  void ShowBattleButtonsFrame(int frame);
  // With the other panels, after the map.
  void DrawBattleButtons();
  // A speech hides the select bar (every button greyed but the spells of the kind, -1 none),
  // the spot icons and the battle buttons; RestoreInterface brings them back.
  void HideInterface(int spellKind);
  void RestoreInterface();
  // The space key: between the creatures and the remembered select-bar item.
  void ToggleSpaceSelection();
  // Each drawn frame while no speech shows: the arrow keys and the screen edges.
  void ScrollByKeysAndEdges();
  // Each frame in follow mode: the view on the first selected creature.
  void FollowSelection();
  // The selected creatures the space key selects again (unless a spell is being aimed).
  void CollectLoyalCreatures();

  // --- terrain collapse and wizard returns (Collapse.cpp, WizardReturn.cpp) ----------------
  // Queues a changed cell for the collapse step; a cell already queued is not queued again.
  void QueueCell(CMapCell* cell);
  CMapCell* TakeQueuedCell();
  void ClearCellQueue();
  // Once an unpaused frame: takes cells from the queue and drops the unsupported ones.
  void StepCollapse();
  // One cell falls: its falling block, its effects and objects, a creature in it; the cell is
  // emptied and queued so that its neighbours are examined.
  void CollapseCell(CMapCell* cell);
  // The wizard of a player slot (0-3) comes back at the frame.
  void ScheduleWizardReturn(int slot, int frame);
  void ClearWizardReturns();
  // Once a frame in a multiplayer battle: the returns due at this frame.
  void CheckWizardReturns();

  // --- the battle clock (its thread only counts seconds) ---------------------------------
  void StartClock();
  void StopClock();
  // Before the frame is sent: a clock message for the seconds counted since the last frame
  // (none while paused; seconds counted while paused are dropped).
  void PostClockSeconds();
  static void ClockCallback(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t);

  // --- state ------------------------------------------------------------------------------
  std::deque<CMapCell*> cellQueue;  // changed cells the collapse step examines
  std::vector<uint8_t> cellQueued;  // by cell index: the cell is in the queue
  char mapPath[256] = {};
  int paused = 0;
  int pauseChanged = 0;
  int frameNumber = 0;
  uint32_t nextManaRegenTick = 0;
  uint8_t endRequested = 0, leaveRequested = 0, quitRequested = 0;
  uint8_t victoryEvaluated = 0, victory = 0;
  uint8_t endCountdownEnabled = 0, endCountdownRunning = 0;
  int endCountdown = 0;
  uint8_t graphicsFreed = 0;
  uint8_t victoryReached = 0, wizardLostByEffect = 0, criticalActorLost = 0;
  // A single-player quick battle that is over has put its results up for the last time.
  uint8_t finalResultsShown = 0;
  int timedBattle = 0;
  // The keys' state: the select-bar item the space key remembers (-1 none), the creatures it
  // selects again, and the display mode the S key steps (0-2).
  static constexpr int kLoyalCapacity = 100;
  int storedSelectItem = -1;
  class CCreature* loyal[kLoyalCapacity] = {};
  int loyalCount = 0;
  int displayMode = 0;
  int wizardReturnFrames[4] = {-1, -1, -1, -1};  // by player slot, -1 none
  // The victory or defeat screen of a campaign battle, and the outcome last handed to it.
  CBattleEndScreen endScreen;
  int endScreenWon = -1;
  int endScreenShown = 0;
  // The battle loaded and the screen may be pushed.
  int loadFailed = 0;

  // The victory items the creature code gathered from the map: kind, four values, present.
  struct WonItem {
    int32_t kind = 0;
    int32_t values[4] = {};
    int32_t present = 0;
  };
  static constexpr int kWonItems = 20;
  WonItem wonItems[kWonItems];
  int wonItemCount = 0;

  // --- art ----------------------------------------------------------------------------------
  CSprite terrainSprite;
  CAnimation terrainAnimation;
  CAnimation doorsAnimation;
  CAnimPlayer doorsPlayer;
  CSprite lordKingSprite;
  CAnimation lordKingAnimation;
  CSprite selectionCursorSprite, markerSprite, lineSprite;
  CSprite buttonsSprite;
  int buttonsShown = 0;  // drawn and taking clicks
  std::unique_ptr<CButton> buttonsWindow;
  std::unique_ptr<CCallback> buttonsCallback;

  CMMTimer battleClock;
  std::atomic<int> clockSeconds{0};
  bool clockRunning = false;  // this machine's timer counts the battle's seconds

 private:
  void EndCountdownStep();
  void Leave();
  bool ShowFinalResults();
  void EndBattleAndShowResult();
  void RunFrameSystems(bool wasPaused);
  void RunWorld();
  void Draw();
  void DrawInterface();
  void ReleaseTimer();
  void RestartMainMusic();
  CTerrainAnimationFile terrainAnimationFile_{terrainAnimation};
};

// A victory item of the map for the player's wizard, by its world-object kind: kinds 0-4, 6
// and 19 give nothing, 5, 7-18 and 20-96 join its item list with their values, 97 and above
// are magic items (kind - 97).
inline constexpr int kFirstMagicItemKind = 97;
void GiveWonItem(int kind, const int32_t values[4]);

// The one battle, built with the global objects.
extern CBattle* g_battle;
void ConstructBattle();
void DestroyBattle();

// Prepares everything the battle needs and answers whether the battle screen may be pushed
// (a failure has shown its box and popped the calling screen).
bool LoadBattle(CBattle& battle);
// The armies of the battle from the game type and the set-up record.
bool InitBattleArmies();

// The hooks of the subsystems below that the battle fills: its facing for graphics and the
// map view, the map's battle hooks, the network's battle hooks, the speech control's battle
// and the panels' battle. The spine calls it at start-up.
void InstallBattle();
// Puts the neutral ones back (tests).
void UninstallBattle();
