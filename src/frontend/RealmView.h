#pragma once
// CRealmView (screen id 4): the campaign's screen. A painted map of the current realm,
// divided into up to 20 regions; each region shows a flag in its owner's colours and each
// wizard a marker. Pointing at a region lights its border and names it; clicking another's
// region opens its region entry screen, clicking one's own sends the player's wizard there.
// Markers walk the flag paths region by region, and a wizard arriving where another stands
// starts a battle; its result hands the loser's regions over (and shows their neighbours) or
// sends the player back. Reaching the realm's last region loads the next realm. A tutorial of
// numbered speech boxes runs over the map. The view draws itself each frame; its art is
// released whenever another screen comes over it and loaded again on its next frame.
//
// States: 0 the map; 1 a region is being opened (noted in the player's knowledge); 2 its
// region entry screen is pushed; 3 the realm is finished (the next one loads, or the view
// waits); 4 the region entry screen chose the battle: the battle is entered.

#include <memory>
#include <string>
#include <vector>

#include "core/StringTable.h"
#include "frontend/FixPoints.h"
#include "frontend/RealmState.h"
#include "graphics/Animation.h"
#include "graphics/Pictures.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "ui/Control.h"
#include "ui/Screen.h"
#include "ui/SlidePanel.h"
#include "ui/SpeechBox.h"

class CButton;

inline constexpr int kRealmMapWidth = 800;
inline constexpr int kRealmMapHeight = 600;
// The sound a refused choice plays.
inline constexpr int kRealmRefusedSound = 99999;

// The campaign record saved with the game: the tutorial step (-1 once finished), then the
// network flag, the game mode and the difficulty, which live elsewhere.
extern int g_realmTutorialStep;

class CRealmView : public CScreen {
 public:
  enum State { kMap = 0, kOpenRegion = 1, kPushRegionEntry = 2, kRealmFinished = 3, kEnterChosenBattle = 4 };
  enum Button { kSpellBoxButton = 1, kCharacterButton = 2, kGrimoireButton = 3, kMiniMenuButton = 4 };

  CRealmView();
  ~CRealmView() override;

  void Enter() override;
  void Exit() override;
  void Suspend() override { Exit(); }
  void Resume() override { Enter(); }
  void Update() override;
  int OnMessage(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) override;

  // --- art (RealmViewArt.cpp) ---------------------------------------------------------------
  // Loads the realm's art; the region count, 0 when there is no silhouette (the name is then
  // forgotten).
  int LoadRealm(const char* name);
  void Unload();
  bool ArtLoaded() const { return !realmName.empty(); }
  void Draw(int hovered);
  // The region under an 800 x 600 point of the region map (0 outside).
  int RegionAt(int x, int y) const;
  // Rebuilds the adjacency from the flag paths' last points on the region map.
  void ComputeAdjacency();
  // A screen point (640 x 480 or 800 x 600) to the region map's 800 x 600, and back.
  static void ScreenToMap(int& x, int& y);
  static void MapToScreen(int& x, int& y);

  // --- the campaign (RealmViewMoves.cpp) -----------------------------------------------------
  bool Adjacent(int from, int to) const;
  bool IsRegionVisible(int region, int wizard) const;
  void TickWizards();
  // The first region on the way from `from` to `to` avoiding regions that hold wizards; -1
  // when there is none.
  int FindNextStep(int from, int to) const;
  void StartWizardMove(int wizard, int region);
  // The region entry screen's confirm.
  void ChooseRegion(int region);
  void EnterBattle();
  void ApplyBattleResult();
  // Notes a grimoire section (this realm's chapter) for the player's wizard.
  void RecordKnowledge(int section) const;

  // --- the tutorial and names (RealmViewArt.cpp) -----------------------------------------------
  bool ShowTutorialDialog(int step);
  void SelectRegionName(int region);

  // The grimoire chapter of a realm name: moorland 1, isles 2, kingdom 3, any other 0.
  static int RealmIndex(const char* name);

  // --- state ------------------------------------------------------------------------------
  std::string realmName;  // while the art is loaded
  std::vector<CFixPoints> flagPaths = std::vector<CFixPoints>(kRealmRegions);
  std::unique_ptr<CPcxImage> borders[kRealmRegions];
  platform::Rect borderBoxes[kRealmRegions] = {};
  CSurface borderSurface;
  int borderRegion = 0;  // the region whose border the surface holds
  std::vector<uint8_t> regionMap = std::vector<uint8_t>(kRealmMapWidth * kRealmMapHeight, 0);
  CSurface mapSurface;
  CSprite flagsSprite;
  CAnimation flagsAnimation;
  CAnimPlayer regionFlags[kRealmRegions];
  CAnimPlayer wizardFlags[kRealmWizards];
  bool adjacency[kRealmRegions][kRealmRegions] = {};  // [a-1][b-1]: b is reached from a
  int regionCount = 0;
  int battleResult = 1;  // 1 the player won the last battle
  int state = kMap;
  int realmIndex = 0;
  int targetRegion = 0;
  int leaveRequested = 0;
  uint8_t endOfRealm = 0;
  std::string regionNamesText;
  std::string hoveredName;
  std::unique_ptr<CSpeechBox> tutorialBox;
  CRealmState realmState;
  CSlidePanelSet messagePanels;
  CStringTable texts;  // cfg\rv_text.cfg
  uint8_t battlePending = 0;
  // The battle's sides and region.
  int attacker = -1, defender = -1, battleRegion = 0;
  int hoveredRegion = 0;
  // The last sound played (the refused choice's, for one).
  int lastSound = 0;

 private:
  void MakeButtons();
  void RunMap();
  void PointAtRegions();
  bool PushRequestedScreen();
  bool PushMiniMenu();
  void OpenRegion();
  void PushRegionEntry();
  void LoadNextRealm();
  void EnterChosenBattle();
  void StartFlag(CAnimPlayer& player, int sequence);
  void PlaySound(int sound);
  void AddInvasionMessage(int wizard);
  RealmPoint WizardMarkerPoint(int wizard);

  std::unique_ptr<CButton> buttons_[4];
  std::unique_ptr<CCallback> buttonCallback_;
  CSprite buttonSprite_;
  int requests_[5] = {};  // by button id
  int tutorialLatch_ = 0;
};

extern CRealmView* g_realmView;
// A new campaign in the realm: its start file loaded, the view back at its map with no battle
// waiting, the tutorial from its first box.
void StartCampaign(CRealmView& view, const char* realm);
// The realm view's share of the saved game (its record), its answers to the battle, and its
// place in the front end's screen table; called at start-up.
void InstallRealmView();
