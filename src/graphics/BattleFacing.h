#pragma once
// The battle as the subsystems below it see it: the battle's state that graphics, the screen
// framework and the map read or write while a battle runs, and the few calls they make to
// the battle. It sits here, low enough for all of them; the battle owns it.
//
// The battle (src/battle) derives from IBattleFacing, keeps the state in its own object and
// installs it at start-up: g_battleFacing.Install(&theBattlesFacing) from its
// InstallBattle...() function, which the spine calls. Until then, and in tests, the neutral
// one answers: no battle screen, tick 0, no scroll buffer, nothing selected, nothing shown.
// Tests put fakes in with HookScope<IBattleFacing>(g_battleFacing, fake), or write the
// neutral one's state directly (BattleState()).

#include <cstddef>
#include <cstdint>

#include "core/Hooks.h"
#include "platform/Display.h"

// The battle's mouse modes.
enum BattleMouseMode : int {
  kMouseModeNone = 0,       // nothing selected
  kMouseModeCreatures = 1,  // creatures selected
  kMouseModeSpell = 2,      // the wizard's spell chosen, waiting for a target
  kMouseModeBand = 3,       // a band selection is being dragged
};

// The state the battle shares with the layers below it: plain fields, read and written in
// place through BattleState().
struct CBattleSharedState {
  // The battle's tick counter; the shimmer and water printers move their patterns with it.
  int gameTick = 0;

  // The battle screen's wide scroll buffer (null when unused): while it is set the map
  // renderer draws into it, the portable printer leaves frames that need horizontal clipping
  // alone, and CopyToSpriteTarget copies its visible part (from the origin, rows of the print
  // pitch + 2 x margin pixels; size pixels in all) to the print target.
  uint16_t* secondTarget = nullptr;
  uint16_t* secondTargetOrigin = nullptr;
  int secondTargetMargin = 0;
  size_t secondTargetSize = 0;

  // The mouse mode (BattleMouseMode), and the band selection that the mouse dispatcher drags
  // on the battle screen: its rectangle and the point it started from.
  int mouseMode = kMouseModeNone;
  platform::Rect bandRect{};
  int bandAnchorX = 0;
  int bandAnchorY = 0;
};

class IBattleFacing {
 public:
  virtual ~IBattleFacing() = default;

  // True while the battle's screen is the current screen (the mouse dispatcher drags band
  // selections there).
  virtual bool BattleScreenIsCurrent() { return false; }
  // A band selection starts: the selected creature is deselected and the battle's flag cleared.
  virtual void StartBand() {}
  // The band ends with the left button's release: the spell choice, the mouse mode and the
  // selection of the creatures marked in the band (unless Ctrl is held).
  virtual void EndBand(int ctrlHeld) { state.mouseMode = kMouseModeNone; }

  // The message panel: a text on one of its lines for some frames; the blit benchmark's
  // result (cycle difference, percent); the draw list's sprite count while the sprite log is on.
  virtual void PrintMessageLine(const char* text, int line, int frames) {}
  virtual void ShowBlitBenchmark(int difference, int percent) {}
  virtual void ShowSpriteCount(int adds) {}
  // One run of the blit benchmark over the battle's frame (while g_blitBenchmark is set).
  virtual void RunBlitBenchmark() {}

  CBattleSharedState state;
};

// Never null: the neutral facing until the battle installs its own.
extern HookSlot<IBattleFacing> g_battleFacing;

inline IBattleFacing& Battle() { return *g_battleFacing; }
inline CBattleSharedState& BattleState() { return g_battleFacing->state; }

// The battle view's rectangle (left, top, right, bottom) for a view size and resolution
// (index 0 the whole screen, 1 the area above the battle panel).
void BattleViewRect(int windowSize, bool highRes, int rect[4]);
