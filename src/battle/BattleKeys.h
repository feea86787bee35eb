#pragma once
// How the player drives a running battle from the keyboard and the screen edges: the
// battle's three key tables (CBattle::OnMessage), the keyboard and edge scrolling of the map
// view, follow mode, focus cycling over the local army, the space key's toggle between the
// creatures and the select bar, and the battle buttons that step the view's cut level.
//
// The keys act on the battle state, the map view (g_mapView) and the creature array
// directly; what they reach of the panels, the speech control and the front end's screens
// goes through IBattleKeyTargets, whose neutral implementation calls the real panels. Tests
// put a fake in with HookScope<IBattleKeyTargets>(g_battleKeyTargets, fake).
//
// Nothing here changes the battle itself on its own machine: the pause key sends the pause
// frame command; selection, the camera and the panels are this machine's view.

#include "core/Hooks.h"

// The panels, the speech box and the front end as the keys see them.
class IBattleKeyTargets {
 public:
  virtual ~IBattleKeyTargets() = default;

  // --- the speech box ---
  virtual bool SpeechShowing();
  // Enter on a showing speech: the box takes it as a click.
  virtual void SpeechTakesEnter();

  // --- the chat console ---
  virtual bool ChatOpen();
  // Offers a typed character to the open console: true when it took it.
  virtual bool ChatTakesChar(int character);
  virtual void ChatSend();
  virtual void ChatOpenConsole();
  virtual void ChatClose();

  // --- the select bar, its popup strip and the wizard face ---
  virtual bool PopupOpen();
  virtual void TogglePopup();
  virtual bool SelectBarShown();
  // Shows or hides the select bar and the wizard face panel together (F12).
  virtual void ShowSelectBarAndFace(bool show);
  // A press of the select bar's slot item (the space key).
  virtual void PressSelectBarItem(int item);
  // The select bar's current item, -1 none.
  virtual int SelectBarCurrentItem();
  // The select bar's press operation with (0, 0): its selections are let go (the W key).
  virtual void ReleaseSelectBarSelection();
  // The view size changed: the select bar lays itself out again.
  virtual void SelectBarLayoutChanged();

  // --- the scanner ---
  virtual bool ScannerShown();
  virtual void ShowScanner(bool show);

  // --- the battle buttons (the cut level's picture) ---
  virtual void SetBattleButtonsFrame(int frame);

  // --- the front end's screens: none until the front end installs them ---
  virtual void PushSaveScreen() {}
  virtual void PushLoadScreen() {}
  // The mini menu with its mode word; false when there is none, and the battle is left.
  virtual bool PushMiniMenu(int mode) { return false; }

  // --- debugging ---
  virtual void DumpEffectLog(const char* path);
};

// Never null: the real panels until a test installs a fake.
extern HookSlot<IBattleKeyTargets> g_battleKeyTargets;

// The remembered focus position of focus cycling and of the X and Z keys: an index into the
// creature array, persisting between calls.
extern int g_focusIndex;

// The battle's debug switches. The Alt keys that change them work only in debug mode
// ([DEBUG] BattleDebugKeys TRUE in the options file, g_battleDebugKeys).
struct BattleDebugSwitches {
  int occlusion = 2;      // the map view's occlusion pass: 0 off, else on
  int displayToggle = 0;  // water hidden where dark, clip lines of sprites honoured
  int pathNetworkPaused = 0;
};
extern BattleDebugSwitches g_battleDebug;

// The cursor kinds of edge scrolling.
enum EdgeCursor : int {
  kEdgeUp = 6,
  kEdgeRight = 7,
  kEdgeDown = 8,
  kEdgeLeft = 9,
  kEdgeUpLeft = 10,
  kEdgeUpRight = 11,
  kEdgeDownLeft = 12,
  kEdgeDownRight = 13,
  kEdgeNone = 22,
};

// The cursor kind edge scrolling asked for in the last frame (kEdgeNone off the edges).
extern int g_edgeCursorKind;

// What the pointer at (x, y) asks of edge scrolling on a screen of the resolution: the
// cursor kind and the screen-aligned step (a, b) for CMapView::Scroll; off every edge kind 22
// and no step.
struct EdgeScroll {
  int cursor = kEdgeNone;
  int a = 0, b = 0;
};
EdgeScroll EdgeScrollAt(int x, int y, bool highRes, int speed);

// The view rectangle of a view size (0 the whole screen, 1 above the panels).
void BattleViewSizeRect(int viewSize, bool highRes, int rect[4]);

// The battle buttons' frame for a cut level: level - 1, or level + 1 when there are three
// cut levels.
int BattleButtonsFrame(int level, int levelCount);
// The frame for the map view's cut level now.
int CurrentBattleButtonsFrame();
