#pragma once
// The field the creature and casting fixtures stand their creatures on: the forged spells and
// creature types, the forged terrain types and a flat grass map, and creatures placed the way
// deployment places them. Header only: the suites that use it link the creatures and the map.
// Run in the forged data folder.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "forge/TerrainTypes.h"
#include "graphics/PrintTarget.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/MapViewHooks.h"
#include "map/TerrainType.h"
#include "map/TileOverlay.h"

namespace testing_support {

// Loads the forged spells, creature types and terrain types, with the first wizard look, and
// makes a flat 48 x 44 map of grass at water level 0. Wrap in ASSERT_NO_FATAL_FAILURE.
inline void MakeCreatureField() {
  ASSERT_EQ(LoadSpells("cfg/spells.cfg", g_spellDefs), 1);
  ASSERT_EQ(ReadCreatureConfig("cfg/creature.cfg", "cfg/hth.cfg", g_creatureTypes), 1);
  std::snprintf(g_wizardAnimFileName, sizeof g_wizardAnimFileName, "%s", g_wizardAnimFiles[0][1]);
  std::vector<uint8_t> file = forge::TerrainFileBytes(forge::ForgedTerrainTypes());
  ASSERT_TRUE(g_terrainTypes.Assign(file.data() + 16, file.size() - 16));
  ASSERT_EQ(g_map.Create(48, 44, 8, 1, 1), 1);
  for (int y = 0; y < g_map.height; ++y)
    for (int x = 0; x < g_map.width; ++x) g_map.CellAt(x, y, 0).terrain = forge::terrain::kGrass;
  g_map.waterLevel = 0;
  g_tileSpans.Reset();
}

// Lets go of what the field and the creatures on it loaded: the creatures' pictures, the
// spell sightings, the map and the terrain types.
inline void ClearCreatureField() {
  for (auto& set : g_creatureTypeAnims) set.reset();
  ResetSpellSightings();
  g_map.Clear();
  g_tileSpans.Free();
  g_terrainTypes.Clear();
}

// Places a creature of a type for an army at a cell, as deployment does: a free slot, its
// position, then InitFromType. Answers the slot, -1 (and a failure) when the pool is full.
inline int PlaceCreature(int type, int army, int x, int y, int level = 0) {
  CCreature* creature = g_creatureArray.FindFree();
  EXPECT_NE(creature, nullptr);
  if (!creature) return -1;
  creature->Reset(creature->index);
  creature->SetPosition(x, y, level, type);
  creature->InitFromType(type, army);
  return creature->index;
}

// The highest level of a column where a creature of the type may stand, -1 when none.
inline int StandingLevel(int type, int x, int y) {
  CCreature probe;
  probe.type = &g_creatureTypes[type];
  probe.typeNumber = type;
  probe.index = -1;
  const CMoveQuery query = probe.MakeMoveQuery();
  for (int level = g_map.levels - 2; level >= 0; --level)
    if (g_map.CanOccupy(x, y, level, query) && g_map.HasRoomForCreature(x, y, level, -1, query)) return level;
  return -1;
}

// The pool's creatures as the map view draws them: the body's current frame, hung from the
// middle of the creature's first cell.
struct PoolView : IMapViewCreatures {
  bool GetDrawInfo(int slot, int rotation, CreatureDrawInfo& out) override {
    CCreature* c = g_creatureArray.InUse(slot);
    if (!c || !c->type) return false;
    g_creatureViewRotation = rotation & 3;
    c->UpdateViewFacing();
    out.type = c->typeNumber;
    out.owner = c->army;
    out.x = out.anchorX = c->unitX + kUnitsPerTile / 2;
    out.y = out.anchorY = c->unitY + kUnitsPerTile / 2;
    out.z = out.anchorZ = c->unitZ;
    out.shadowZ = c->unitZ;
    out.body.frame = c->GetCurrentFrame(out.body.offsetX, out.body.offsetY);
    out.body.printType = PRT_NORMAL;
    return true;
  }
};

}  // namespace testing_support
