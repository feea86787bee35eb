#pragma once
// What the map view asks of the subsystems above it: the creatures it draws and orders, the
// effects, world objects and particles it draws, and the battle whose state it reads. Each
// is a small interface whose default answers the neutral value; the owner installs its own
// at start-up (g_mapViewHooks.creatures = &...). Tests install fakes with MapViewHooksScope.

#include <cstdint>

#include "graphics/BarGauge.h"
#include "graphics/PrintFX.h"
#include "graphics/SpriteFrame.h"
#include "map/DrawList.h"
#include "map/Map.h"
#include "map/MapCommands.h"

class CMapView;
class CMapCursorFacts;

// One picture of a creature or world object, placed relative to its point.
struct DrawLayer {
  CSpriteFrame frame;
  int offsetX = 0, offsetY = 0;  // the animation frame's drawing offset, in pixels
  int printType = PRT_NORMAL;
};

// What the map view draws of a creature this frame (which frames belong to the creature
// code; the depth biases, print types and order are the map view's).
struct CreatureDrawInfo {
  int type = 0;
  int owner = 0;
  int x = 0, y = 0, z = 0;                        // map units: the point its pictures hang from
  int anchorX = 0, anchorY = 0, anchorZ = 0;      // map units: its depth anchor in this rotation
  DrawLayer body;                                 // print type from its print table
  int secondPrintType = -1, thirdPrintType = -1;  // further passes of the body (-1 none)
  int shadeOffset = 0;
  CSpriteFrame shadow;
  int shadowPrintType = PRT_SHADOW;
  int shadowZ = 0;  // map units: the terrain under it
  int variant = 0;
  int clipBelow = kNoClipLine, clipAbove = kNoClipLine;
  DrawLayer trail[3];     // earlier frames, nearest first; an empty frame ends the list
  DrawLayer attached[7];  // attached animations, empty when absent
  DrawLayer head;         // the frame at its head in state 3
  int state = 0;
  bool selected = false, inspected = false;
  bool directControl = false;  // under direct computer control
  bool showsStatus = false;
  bool alwaysDrawn = false;
  bool soundFlag = false;
  DrawLayer ownerMarker;  // the owner's colour mark
  DrawLayer status[4];    // status marks; empty frames are skipped
  // With the status marks, drawn after the sprites: a label and the health gauge, each
  // placed from the creature's point (the gauge by its top-left corner).
  const char* label = nullptr;
  int labelX = 0, labelY = 0;
  const CBarGauge* gauge = nullptr;
  int gaugeX = 0, gaugeY = 0;
};

// What the orders read of a creature.
struct CreatureOrderInfo {
  bool inUse = false;
  bool selected = false, inspected = false;
  bool active = false;  // living and on the map: clicks and attack orders reach it
  int type = 0;
  int wizard = 0;  // wizard number 0-4 of the wizard kinds
  int owner = 0;
  int typeHeight = 1;  // levels
  int group = 0;       // 0 none
  bool hasGoal = false;
  int goalX = 0, goalY = 0, goalLevel = 0;  // its current order's goal
  int x = 0, y = 0, level = 0;              // cell
};

class IMapViewCreatures {
 public:
  virtual ~IMapViewCreatures() = default;
  // --- drawing (the creatures in use are walked with IMapCreatures::NextInUse) ---
  // Clears the creature's per-frame draw flag and prepares its pictures.
  virtual void PrepareDraw(int creature) {}
  virtual bool GetDrawInfo(int creature, int rotation, CreatureDrawInfo& out) { return false; }
  // The next creature standing in the same cell as this one (cells marked as holding
  // several), -1 at the end.
  virtual int NextInCell(int creature) { return -1; }
  virtual void SetInBand(int creature) {}
  virtual void AfterDraw() {}
  // --- selection and orders ---
  virtual bool GetOrderInfo(int creature, CreatureOrderInfo& out) { return false; }
  virtual void Select(int creature) {}
  virtual void Deselect(int creature) {}
  virtual void SelectGroup(int creature) {}
  // A standing cell for the creature near a clicked cell; false when there is none.
  virtual bool FindFormationCell(int creature, int x, int y, int level, CellPos& goal) { return false; }
  // The same around a goal the group already has, with the creature's own offset.
  virtual bool FindNearbyFreeCell(int creature, const CellPos& place, CellPos& goal) { return false; }
  // (Room and move queries for an order are IMapCreatures::HasRoomAt and GetMoveQuery.)
  // The wizard creature of the local army, -1 when it has none.
  virtual int LocalWizard() { return -1; }
  // The spell the wizard has chosen, -1 none.
  virtual int ChosenSpell(int wizard) { return -1; }
  // Sets the wizard's spell choice (-1 clears it, which also sets the mouse mode).
  virtual void SelectSpell(int wizard, int spell) {}
};

struct EffectDrawInfo {
  int kind = 0;
  int x = 0, y = 0, z = 0;  // map units
  bool shown = false;
  bool cutAway = false;     // left out above the cut-away level
  bool takesLight = false;  // shaded by the cell's light
  bool visible = false;     // its own visibility test passes
  DrawLayer picture;        // its print type is the effect kind's
};

struct ObjectDrawInfo {
  int x = 0, y = 0, z = 0;  // map units
  DrawLayer picture;
};

class IMapViewWorld {
 public:
  virtual ~IMapViewWorld() = default;
  virtual bool GetEffectDrawInfo(int effect, EffectDrawInfo& out) { return false; }
  virtual bool GetObjectDrawInfo(int object, ObjectDrawInfo& out) { return false; }
  // The tile overlay's picture for an animation frame index, false when there is none.
  virtual bool GetOverlayPicture(int frameIndex, DrawLayer& out) { return false; }
  // Particles add themselves to the view's draw list (print type 8).
  virtual void AddParticles(CMapView& view) {}
  // The dot picture of a bolt segment of a kind.
  virtual CSpriteFrame SegmentFrame(int kind) { return CSpriteFrame{}; }
};

class IMapViewBattle {
 public:
  virtual ~IMapViewBattle() = default;
  // The hovered creature is not highlighted in input mode 3.
  virtual int InputMode() { return 0; }
  // 0 off; the occlusion pass runs while it is non-zero.
  virtual int OcclusionSetting() { return 2; }
  // Water hidden where dark, clip lines of sprites honoured.
  virtual int DisplayToggle() { return 0; }
  // The view rectangle is cleared to colour 0 before drawing.
  virtual int ClearFlag() { return 0; }
  virtual int LocalPlayer() { return 0; }
  virtual bool TrailsOff() { return false; }
  // The extended-selection flag (set by a Shift selection).
  virtual int ExtendedSelection() { return 0; }
  virtual void SetExtendedSelection(int on) {}
  // A flag of the battle screen that a click on the map and keyboard scrolling clear.
  virtual void ClearScrollFlag() {}
  // Whether the script's interface-command triggers are armed, and the offer itself.
  virtual bool ScriptCommandsArmed() { return false; }
  virtual void OfferInterfaceCommand(int kind, int value, int id) {}
  // The kind (first byte of the record) of a spell.
  virtual int SpellKind(int spell) { return 0; }
  // What the battle map cursor asks of the battle; without it the view shows the normal
  // pointer.
  virtual CMapCursorFacts* CursorFacts() { return nullptr; }
  // A creature's label, drawn after the sprites.
  virtual void DrawLabel(int x, int y, const char* text) {}
  // The view turned: every creature, every effect and the scanner are told the new rotation,
  // in that order (the battle reaches all three).
  virtual void OnViewRotated(int rotation) {}
};

struct MapViewHooks {
  IMapViewCreatures* creatures;
  IMapViewWorld* world;
  IMapViewBattle* battle;
  IMapCommandSink* commands;
};

// Never holds a null member: each starts at the neutral default.
extern MapViewHooks g_mapViewHooks;
MapViewHooks DefaultMapViewHooks();

class MapViewHooksScope {
 public:
  explicit MapViewHooksScope(const MapViewHooks& hooks) : saved_(g_mapViewHooks) { g_mapViewHooks = hooks; }
  ~MapViewHooksScope() { g_mapViewHooks = saved_; }
  MapViewHooksScope(const MapViewHooksScope&) = delete;
  MapViewHooksScope& operator=(const MapViewHooksScope&) = delete;

 private:
  MapViewHooks saved_;
};
