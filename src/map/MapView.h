#pragma once
// CMapView: the battle map's window. One global object that owns the camera (where it looks,
// how it scrolls and turns over the wrapping map, and the integer projection between map
// units and screen pixels), the renderer that fills the draw list every frame, the map
// input that turns clicks into orders, and the looping sounds that follow what it shows.
//
// The projection is an isometric diamond: a cell is 64 pixels wide and 32 high, a level 16
// pixels high; the view turns in quarter turns (rotation 0-3).

#include <cstdint>

#include "graphics/FrameCache.h"
#include "map/DrawList.h"
#include "map/LineStepper.h"
#include "map/Map.h"
#include "map/SegmentPool.h"
#include "sound/SoundCues.h"
#include "ui/Flatwin.h"
#include "ui/SpeechCtrl.h"

class CBarGauge;
class CSprite;
class CSurface;
class CSoundInstance;
struct CreatureDrawInfo;
struct CreatureOrderInfo;

struct ScreenPoint {
  int x = 0, y = 0;
};

// What lies under the pointer after a drawn frame.
enum HoverKind : int { kHoverNothing = 0, kHoverCell = 1, kHoverCreature = 2, kHoverObject = 3 };

// A creature's label and health gauge queued during the walk, drawn after the sprites
// (either may be absent).
struct ViewLabel {
  int x = 0, y = 0;
  const char* text = nullptr;
  const CBarGauge* gauge = nullptr;
  int gaugeX = 0, gaugeY = 0;
};

// Whether a creature wears its owner's marker in a cell of this light: not while it shows its
// status marks (selected or inspected) or in state 3, and only where the light reaches the
// indicators' level, unless the computer controls every army directly.
bool ShowsOwnerMarker(const CreatureDrawInfo& info, int light);

// The view is a window object: its rectangle is the window's, and its input comes through
// the mouse dispatcher.
class CMapView : public CFlatWin, public ISegmentView, public ISoundListener, public ISpeechCamera {
 public:
  static constexpr int kMaxLabels = 64;

  CMapView();
  ~CMapView() override;
  CMapView(const CMapView&) = delete;
  CMapView& operator=(const CMapView&) = delete;

  // --- camera ---------------------------------------------------------------------------
  // Registers the window with its rectangle and active value; 0 when the window table is full.
  int Attach(CMap* map, CSurface* surface, CSprite* terrain, const platform::Rect& rect, int active);
  void SetMap(CMap* map);
  void SetViewRect(const platform::Rect& rect);
  void SetCameraCell(int x, int y, int level);
  void SetCameraPosition(uint32_t x, uint32_t y, uint32_t z);
  // Centres on a creature's position (-1 does nothing).
  void FocusOnCreature(int creature);
  // The same for a position in map units, x and y reduced into the map.
  void FocusOnPosition(int x, int y, int z);
  void ScrollUnits(int dx, int dy);
  // Screen-aligned deltas: 2a pixels right and b down in every rotation. 0 when both are 0.
  int Scroll(int a, int b);
  ScreenPoint MapToScreen(int x, int y, int z) const;
  ScreenPoint GetViewOrigin() const;
  // The cell under a screen point on the surface of the top shown level, wrapped.
  void ScreenToCell(int px, int py, int& cellX, int& cellY) const;
  int GetUnwrapOffset(int cellX, int cellY) const;
  // The first cell the walk of a level starts at (wrapped into the map).
  void FirstDrawnCell(int& x, int& y) const;
  // Camera position in map units.
  int CameraX() const { return camCellX * 32 + camSubX; }
  int CameraY() const { return camCellY * 32 + camSubY; }
  int CameraZ() const { return camLevel * 16 + camSubZ; }
  int MapWidth() const { return drawnMap ? drawnMap->width : 0; }
  int MapHeight() const { return drawnMap ? drawnMap->height : 0; }
  int MapLevels() const { return drawnMap ? drawnMap->levels : 0; }
  void RequestTurnRight();
  void RequestTurnLeft();
  // The levels 0..TopShownLevel() are drawn, by one rule in every rotation: up to
  // levelsShown - 1 in level mode 0 (the cut-away by level), every level in mode 1 (where
  // terrain classes above flagLevel are cut away instead).
  int TopShownLevel() const;

  // --- renderer -------------------------------------------------------------------------
  // One frame: prepare creatures, draw, sort, cull, print, apply turn requests.
  void Update();
  // Fills the draw list for the rectangle.
  void DrawView(const platform::Rect& area);
  CDrawList& DrawList() { return drawList; }
  // 1 when the cell at the walk's position is drawn this frame (a test of the walk).
  int CountVisitedCells() const { return visitedCells; }

  // --- input ----------------------------------------------------------------------------
  // Clicks become selection changes and orders (MF_LEFT_DOWN, MF_RIGHT_DOWN, Shift, Ctrl).
  void OnMouse(int flags, CMouseEvent event) override;

  // --- sounds and the view area ---------------------------------------------------------
  void UpdateSounds();
  void StopSounds();
  void ReleaseSounds() { StopSounds(); }
  int IsSquareInView(int x, int y, int size) const;
  // Cuts a cell rectangle at the map's wrap edges into 1, 2 or 4 pieces inside the map.
  int SplitWrappedRect(const platform::Rect& cells, platform::Rect pieces[4]) const;

  // --- ISegmentView ---------------------------------------------------------------------
  bool MapToScreen(int x, int y, int z, int& screenX, int& screenY) override;
  void SegmentClipRect(int& left, int& top, int& right, int& bottom) override;
  void AddSegmentPiece(int cellX, int cellY, int level, const CScreenSegment& piece, const CSegment& segment) override;
  // --- ISoundListener -------------------------------------------------------------------
  void ListenerCell(int screenX, int screenY, int& cellX, int& cellY) override {
    ScreenToCell(screenX, screenY, cellX, cellY);
  }
  int ListenerOrientation() override { return rotation; }
  int ListenerMapWidth() override { return MapWidth(); }
  int ListenerMapHeight() override { return MapHeight(); }
  // --- ISpeechCamera --------------------------------------------------------------------
  void CameraTile(int& x, int& y, int& level) override {
    x = camCellX;
    y = camCellY;
    level = camLevel;
  }
  void MoveCamera(int x, int y, int z) override {
    SetCameraPosition(static_cast<uint32_t>(x), static_cast<uint32_t>(y), static_cast<uint32_t>(z));
  }
  void ProjectToScreen(int x, int y, int z, int& screenX, int& screenY) override {
    MapToScreen(x, y, z, screenX, screenY);
  }
  int MapWidthTiles() override { return MapWidth(); }
  int MapHeightTiles() override { return MapHeight(); }
  int StartLine(int x0, int y0, int z0, int x1, int y1, int z1) override;
  void StepLine(int& x, int& y, int& z) override;

  // --- camera fields --------------------------------------------------------------------
  CMap* map = nullptr;
  CMap* drawnMap = nullptr;
  CSurface* drawSurface = nullptr;
  CSprite* terrainSprites = nullptr;
  int rotation = 0;
  int drawnOnce = 0;
  int camCellX = 0, camCellY = 0, camLevel = 0;
  int camSubX = 0, camSubY = 0, camSubZ = 0;
  int viewWidth = 0, viewHeight = 0;
  int cellsAcross = 0;
  int halfAcross = 0;
  int levelsShown = 1;
  int flagLevel = 3;
  int flagLevelCount = 3;
  int levelMode = 1;
  int rotateRightRequest = 0, rotateLeftRequest = 0;

  // --- per-frame fields -----------------------------------------------------------------
  int showWater = 1;
  CMapCell* walkCell = nullptr;
  int walkX = 0, walkY = 0, walkLevel = 0;
  int walkScreenX = 0, walkScreenY = 0;
  int mouseX = 0, mouseY = 0;
  int wrapOffset = 0;
  int wrapStepX = 0, wrapStepY = 0;
  int belowWater = 0;
  int waterLevel = 0;
  int nearestCreatureDistX = 25, nearestCreatureDistY = 25;
  int noCreaturePixelHit = 1;
  int overlayCount = 0;
  ViewLabel overlays[kMaxLabels];
  int creatureHoverKey = 0, terrainHoverKey = 0, objectHoverKey = 0;
  int effectGroup1Count = 0;  // effect kinds 14-16
  int effectGroup2Count = 0;  // effect kind 10 and tile overlay entries
  int effectGroup3Count = 0;  // effect kinds 25-27
  int waterCellCount = 0;
  int soundCreatureCount = 0;
  int soundCreatureX = 0, soundCreatureY = 0;  // cell of the last creature with a sound met

  // --- shared results of a frame --------------------------------------------------------
  int hoverCellX = -1, hoverCellY = -1, hoverLevel = -1;
  int hoverCreature = -1;
  int hoverObject = -1;
  int hoverEntry = -1;
  int hoverKind = kHoverNothing;

  // --- remembered for the change test ---------------------------------------------------
  int lastCamCellX = -1, lastCamCellY = -1, lastLevelsShown = -1, lastRotation = -1, lastFlagLevel = -1;
  int fullRebuild = 1;

  // --- sounds ---------------------------------------------------------------------------
  CSoundInstance* waterSound = nullptr;
  CSoundInstance* effectSound1 = nullptr;
  CSoundInstance* effectSound2 = nullptr;
  CSoundInstance* effectSound3 = nullptr;
  CSoundInstance* creatureSound = nullptr;

  CDrawList drawList;
  CFrameCache* frameCache = nullptr;  // the battle's, while the frame cache is on

 private:
  void WalkCells();
  void WalkLevel(int level);
  void AddCell();
  void AddTerrain(bool& blockSuppressed);
  void AddWater();
  void AddEffects();
  void AddOverlay();
  void AddObjects();
  void AddCreatures(bool blockSuppressed);
  void AddCreature(int creature, int creatureBias, bool blockSuppressed);
  ScreenPoint ThingScreenPoint(int x, int y, int z) const;
  int CellLight() const;
  bool HitsPointer(CSpriteFrame frame, int x, int y) const;
  void HighlightHoveredCreature();
  void ApplyTurnRequests();
  void PrintDrawList();
  // The queued labels and health gauges over the printed sprites.
  void DrawOverlays(uint8_t* pixels, int pitch);
  int KeyRotationWeightX() const;
  int KeyRotationWeightY() const;
  // Input helpers.
  void DeselectAll();
  void SelectAlone(int creature);
  void NotifyScript(int kind, int value);
  void SendOrders(const CMouseEvent& event);
  void SendWalks(const CMouseEvent& event);
  void OrderWalkTo(int creature, const CreatureOrderInfo& info, int x, int y, int level, bool shift);
  void CastSpell();
  bool HoveredCellInside() const;

  CLineStepper speechLine_;
  int visitedCells = 0;
  bool occlusionPass = false;
};

extern CMapView g_mapView;
