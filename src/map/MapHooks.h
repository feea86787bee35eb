#pragma once
// What the battle map asks of the subsystems built above it (creatures, effects, world
// objects, the battle, the computer player). Each is a small interface whose default answers
// the neutral value; the owning subsystem installs its own implementation at start-up
// (g_mapHooks.creatures = &myCreatures, ...). Tests install fakes with MapHooksScope.

#include <cstdint>

#include "core/Random.h"
#include "map/CreatureShape.h"
#include "map/MoveQuery.h"

struct CMapCell;

// A creature's place and build, as the water and the map queries need them.
struct CreaturePlace {
  int x = 0, y = 0, level = 0;  // cell
  int height = 1;               // levels, from its type
  int size = 1;                 // footprint 1 or 2
  int movementKind = 0;         // 0-3, 2 the swimmer
};

// A creature's body where lines and projectiles meet it.
struct CreatureBody {
  bool onMap = false;
  int cornerX = 0, cornerY = 0;  // units: the corner of its footprint
  int floorZ = 0;                // units: the floor it stands on
  CCreatureShape shape;
};

// Where a creature moving along a route is heading, for aiming ahead of it.
struct CreatureLead {
  int x = 0, y = 0, z = 0;  // units: its next waypoint
  int frames = 1;           // frames it needs to get there
};

// What route searches and link tests need of a creature type.
struct CreatureTypeTraits {
  int size = 1;          // footprint 1 or 2
  int height = 1;        // levels
  int airborne = 0;      // airborne-ability value; 1 is a flier
  int movementKind = 0;  // 0-3
  int speed = 1;
  bool avoidsWater = false;
};

class IMapCreatures {
 public:
  virtual ~IMapCreatures() = default;
  // The next creature in use after `after` (-1 starts the walk); -1 at the end.
  virtual int NextInUse(int after) { return -1; }
  virtual bool GetPlace(int creature, CreaturePlace& out) { return false; }
  // 1 when the cells the creature would fill there are free.
  virtual int HasRoomAt(int creature, int x, int y, int level) { return 0; }
  // 1 when the creature could stand there (its type's query and the map's occupation test).
  virtual int FitsAt(int creature, int x, int y, int level) { return 0; }
  // Unmarks the old cells, moves, marks the new cells.
  virtual void Relocate(int creature, int x, int y, int level) {}
  // Whether the army's record marks the creature as lost to it.
  virtual bool IsLostToArmy(int army, int creature) { return false; }
  virtual bool GetBody(int creature, CreatureBody& out) { return false; }
  // True when the shooter is hostile to the target.
  virtual bool IsEnemyOf(int shooter, int target) { return false; }
  // A creature whose sight lights the map: in use, on the map, of the viewing player.
  virtual bool IsLitForViewer(int creature) { return false; }
  // The creature's move query (its type's build and its own state).
  virtual bool GetMoveQuery(int creature, CMoveQuery& out) { return false; }
  // False when the creature is not moving along a route.
  virtual bool GetLead(int creature, CreatureLead& out) { return false; }

  // The creature type table (28 records); false for a type it lacks.
  virtual bool GetCreatureType(int type, CreatureTypeTraits& out) { return false; }
  // The traits of the creature's own type.
  virtual bool GetRouteTraits(int creature, CreatureTypeTraits& out) { return false; }
  // The creature's facing, 0-7.
  virtual int GetFacing(int creature) { return 0; }
  // The creature's own step test; the step kind goes to stepKind.
  virtual int CanMoveStraightTo(int creature, int x0, int y0, int z0, int x1, int y1, int z1, int flag, int* stepKind) {
    return 0;
  }
  // The step factor of a step that turns by `turn` (-3..4) from the arrival direction.
  virtual int GetMoveTime(int creature, int turn) { return 1; }
  // The creature's rating of a path node (0 or more).
  virtual int RateNode(int creature, int node) { return 0; }
};

// A light source for the light map.
struct LightSource {
  int x = 0, y = 0, level = 0;  // cell
  int diameter = 0;             // 1..33
};

class IMapEffects {
 public:
  virtual ~IMapEffects() = default;
  // Kind of an effect of the pool, -1 when there is none.
  virtual int Kind(int effect) { return -1; }
  // The next effect in the same cell's chain, 0xFFFF at the end.
  virtual int NextInCell(int effect) { return 0xFFFF; }
  virtual void Deactivate(int effect) {}
  // The effect's tile changed (effects of kind 33).
  virtual void AffectTerrainTile(int effect) {}
  // The water rose to this level.
  virtual void MarkKind14(int level) {}
  // The extent into which particle positions wrap (32W, 32H, 16L).
  virtual void SetParticleWorldSize(int width, int height, int depth) {}
  // Added to a line's length for each obscuring cell (overlay) or effect (kind 10) it passes.
  virtual int ObscuringCost() { return 0; }
  // Units per tick per tick pulling projectiles down.
  virtual float Gravity() { return 0.25f; }
  // The next lit effect after `after` (-1 starts): active, with a light source, in the view
  // area for its diameter. -1 at the end.
  virtual int NextLightSource(int after, LightSource& out) { return -1; }
};

class IMapObjects {
 public:
  virtual ~IMapObjects() = default;
  // The next world object in the same cell's chain, 0xFFFF at the end.
  virtual int NextInCell(int object) { return 0xFFFF; }
  virtual void CreateEffect(int object) {}
  // First unused world object, -1 when none.
  virtual int FindFree() { return -1; }
  virtual void SetKind(int object, int kind) {}
  virtual void Place(int object, int x, int y, int level) {}
  // The number of artefact types the artefact table holds.
  virtual int ArtefactTypeCount() { return 0; }
};

class IMapBattle {
 public:
  virtual ~IMapBattle() = default;
  // Adds a changed cell to the battle's list (once).
  virtual void AddChangedCell(CMapCell* cell) {}
  // The scanner's notice of a changed cell.
  virtual void ScannerCellChanged(int x, int y, int level) {}
  // One step of the loading progress bar.
  virtual void ProgressStep() {}
  // The game settings: the game type (1 quick battle, 2 multiplayer) and, for those, the
  // most places of power and mana sprites.
  virtual int GameType() { return 0; }
  virtual int PlacesOfPower() { return 0; }
  virtual int ManaSprites() { return 0; }
  // Deploys the regions of power and the armies on a map just built.
  virtual void DeployAfterBuild(int seed) {}
  // The battle's debug switch that stops the path network's upkeep.
  virtual bool PathNetworkPaused() { return false; }
  // The battle's random generator, shared by every machine of a network battle.
  virtual CRandom& BattleRandom() { return g_battleRandom; }
};

class IMapAI {
 public:
  virtual ~IMapAI() = default;
  // Credits a gain or a loss to one side, on computer-player controller 0 or 1.
  virtual void ShareGain(int controller, int side, int amount) {}
  virtual void ShareLoss(int controller, int side, int amount) {}
  // The computer player's value of a change of health or mana.
  virtual int ComputeDamageValue(int type, int health, int damage, float d, float e) { return 0; }
};

struct MapHooks {
  IMapCreatures* creatures;
  IMapEffects* effects;
  IMapObjects* objects;
  IMapBattle* battle;
  IMapAI* ai;
};

// Never holds a null member: each starts at the neutral default.
extern MapHooks g_mapHooks;

// Calls visit(creature) for every creature in use, in the creatures' order.
template <class Visit>
void ForEachCreatureInUse(Visit&& visit) {
  IMapCreatures& creatures = *g_mapHooks.creatures;
  for (int c = creatures.NextInUse(-1); c != -1; c = creatures.NextInUse(c)) visit(c);
}

// The neutral defaults, for restoring.
MapHooks DefaultMapHooks();

// Installs hooks for a scope and puts the previous ones back.
class MapHooksScope {
 public:
  explicit MapHooksScope(const MapHooks& hooks) : saved_(g_mapHooks) { g_mapHooks = hooks; }
  ~MapHooksScope() { g_mapHooks = saved_; }
  MapHooksScope(const MapHooksScope&) = delete;
  MapHooksScope& operator=(const MapHooksScope&) = delete;

 private:
  MapHooks saved_;
};
