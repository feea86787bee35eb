#pragma once
// The creature benches' world: the largest forged map with its path network, the forged
// creature types and spells, the creatures' own answers to the map's questions, and
// creatures placed on free ground.

#include <algorithm>
#include <vector>

#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureMapHooks.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"
#include "map/PathNetwork.h"
#include "support/BenchMap.h"

// Builds the world once; false when the game data could not be read.
inline bool SetUpCreatureBench() {
  static const bool ready = [] {
    BuildBenchMap();
    if (LoadSpells("cfg/spells.cfg", g_spellDefs) != 1) return false;
    if (ReadCreatureConfig("cfg/creature.cfg", "cfg/hth.cfg", g_creatureTypes) != 1) return false;
    InstallCreatures();
    g_useNodeMap = 1;
    g_pathNetwork.GenerateNodes(1);
    g_pathNetwork.ComputeCellKeys();
    g_pathNetwork.RebuildLinks(1, 0);
    return true;
  }();
  // The map's cells as built: a set-up after a fight starts from ground without the fight's
  // creatures, bodies and damage.
  static const std::vector<CMapCell> pristine(g_map.cells, g_map.cells + (ready ? g_map.cellCount : 0));
  g_creatureArray.ForEachInUse([](CCreature& c) { c.Detach(); });
  g_armyTable.ResetAll();
  g_creatureArray.ReleaseAll();
  if (ready) std::copy(pristine.begin(), pristine.end(), g_map.cells);
  return ready;
}

// Puts an army in use; allied armies are friends both ways, the others foes.
inline void UseBenchArmy(int army, bool alliedToAll) {
  CArmy& record = g_armyTable.armies[army];
  record.inUse = 1;
  record.SetRelationToAll(alliedToAll ? 1 : 0);
}

// The lowest level at (x, y) where a creature of the type can stand, -1 when none.
inline int StandingLevel(int type, int x, int y) {
  CCreature probe;
  probe.type = &g_creatureTypes[type];
  probe.typeNumber = type;
  probe.index = kCreatureCapacity;
  const CMoveQuery query = probe.MakeMoveQuery();
  for (int z = 1; z < g_map.levels; ++z)
    if (g_map.CanOccupy(x, y, z, query) && g_map.FindGroundSupport(x, y, z, query)) return z;
  return -1;
}

// Places a creature of a type and army at the first free standing place on a ring around
// (x, y); its slot, -1 when there is none.
inline int PlaceBenchCreature(int type, int army, int x, int y) {
  CCreature* creature = g_creatureArray.FindFree();
  if (!creature) return -1;
  for (int ring = 0; ring < 6; ++ring)
    for (int dy = -ring; dy <= ring; ++dy)
      for (int dx = -ring; dx <= ring; ++dx) {
        const int cx = CWrapCoord::WrapX(x + dx), cy = CWrapCoord::WrapY(y + dy);
        const int z = StandingLevel(type, cx, cy);
        if (z < 0) continue;
        const CMapCell* cell = g_map.CellAtWrapped(cx, cy, z);
        if (!cell || cell->occupant != kNoOccupant) continue;
        creature->Reset(creature->index);
        creature->SetPosition(cx, cy, z, type);
        creature->InitFromType(type, army);
        return creature->index;
      }
  return -1;
}
