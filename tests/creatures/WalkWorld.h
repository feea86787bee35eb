#pragma once
// The fixture of the route, walk and push tests: the order world, the map's questions about
// creatures answered from the pool (place, facing, traits and the creature's own step test),
// walls of stone, and battle frames run as the battle runs them: every creature's update,
// then the scheduler. Each frame can be checked and written down.

#include <cstdint>
#include <string>
#include <vector>

#include "OrdersWorld.h"
#include "core/Options.h"
#include "creatures/CreatureRoutes.h"
#include "forge/TerrainTypes.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapHooks.h"
#include "map/PathNetwork.h"

namespace creature_test {

struct PoolCreatures : IMapCreatures {
  int NextInUse(int after) override {
    for (int slot = after + 1; slot < g_creatureArray.highWater; ++slot)
      if (g_creatureArray.InUse(slot)) return slot;
    return -1;
  }
  bool GetPlace(int slot, CreaturePlace& out) override {
    const CCreature* c = g_creatureArray.InUse(slot);
    if (!c || !c->type) return false;
    out.x = c->cellX;
    out.y = c->cellY;
    out.level = c->level;
    out.height = c->type->TileHeight;
    out.size = c->type->TileSizeXY;
    out.movementKind = c->type->SwimmingAbility;
    return true;
  }
  bool GetRouteTraits(int slot, CreatureTypeTraits& out) override {
    const CCreature* c = g_creatureArray.InUse(slot);
    if (!c || !c->type) return false;
    out.size = c->type->TileSizeXY;
    out.height = c->type->TileHeight;
    out.airborne = c->type->CanFly;
    out.movementKind = c->type->SwimmingAbility;
    out.speed = c->type->GroundSpeed;
    return true;
  }
  bool GetCreatureType(int type, CreatureTypeTraits& out) override {
    if (type < 0 || type >= kCreatureTypes) return false;
    const CCreatureType& t = g_creatureTypes[type];
    out.size = t.TileSizeXY;
    out.height = t.TileHeight;
    out.airborne = t.CanFly;
    out.movementKind = t.SwimmingAbility;
    out.speed = t.GroundSpeed;
    return true;
  }
  int GetFacing(int slot) override {
    const CCreature* c = g_creatureArray.InUse(slot);
    return c ? c->facing : 0;
  }
  int CanMoveStraightTo(int slot, int x0, int y0, int z0, int x1, int y1, int z1, int flag, int* kind) override {
    return CreatureStepTest(slot, x0, y0, z0, x1, y1, z1, flag, kind);
  }
};

// The floor creatures walk on: grass over a level of rock, as on a battle map.
inline constexpr int kFloor = 1;

// A wall of stone three levels high over the cells from (x0, y0) to (x1, y1).
inline void Wall(int x0, int y0, int x1, int y1) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      for (int z = kFloor; z < kFloor + 3; ++z) g_map.CellAt(x, y, z).terrain = forge::terrain::kStone;
}

// Nodes over the whole map and the links between every near pair.
inline void BuildPathNetwork() {
  g_pathNetwork.GenerateNodes(1);
  g_pathNetwork.ComputeCellKeys();
  g_pathNetwork.RebuildLinks(1, 0);
}

class WalkWorld : public OrdersWorld {
 protected:
  void SetUp() override {
    OrdersWorld::SetUp();
    g_mapHooks.creatures = &pool_;  // the scope puts the previous hooks back
    for (int y = 0; y < g_map.height; ++y)
      for (int x = 0; x < g_map.width; ++x) {
        g_map.CellAt(x, y, 0).terrain = forge::terrain::kRock;
        g_map.CellAt(x, y, kFloor).terrain = forge::terrain::kGrass;
      }
    g_pathNetwork.Clear();
    g_useNodeMap = 1;  // as the forged options have it
  }
  void TearDown() override {
    g_pathNetwork.Clear();
    // The scheduler's turn and phases start again with the next battle.
    g_creatureArray.schedulerCursor = g_creatureArray.phase20 = g_creatureArray.phase90 = 0;
    OrdersWorld::TearDown();
  }
  // One battle frame: every creature's update, then the scheduler's planning.
  void Tick() {
    Frame();
    g_creatureArray.ThinkAll();
  }
  // Whether every creature's cells name it as their occupant, and no cell names a creature
  // that does not fill it.
  static bool OccupancyHolds(std::string& why) {
    bool ok = true;
    g_creatureArray.ForEachInUse([&](CCreature& c) {
      int x = c.cellX, y = c.cellY, z = c.level;
      if (c.midStep) c.StepDestination(x, y, z);
      const CMapCell* cell = g_map.CellAtWrapped(x, y, z);
      if (!cell || cell->occupant != c.index) {
        ok = false;
        why = "creature " + std::to_string(c.index) + " at " + std::to_string(x) + "," + std::to_string(y);
      }
    });
    return ok;
  }
  // The state of every creature this frame, folded into a hash.
  static uint64_t FrameHash(uint64_t hash) {
    g_creatureArray.ForEachInUse([&](CCreature& c) {
      for (int v : {c.index, c.cellX, c.cellY, c.level, c.unitX, c.unitY, c.unitZ, c.facing, c.order, c.animState,
                    c.stepSpeed, c.motion.stepProgress})
        hash = (hash ^ static_cast<uint32_t>(v)) * 1099511628211ULL;
    });
    return hash;
  }

  PoolCreatures pool_;
  MapHooksScope hooksScope_{g_mapHooks};
};

}  // namespace creature_test
