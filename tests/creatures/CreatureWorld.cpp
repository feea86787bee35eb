#include "CreatureWorld.h"

#include <cstring>

#include "core/Options.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "forge/TerrainTypes.h"
#include "map/Map.h"
#include "map/TerrainType.h"
#include "map/TileOverlay.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace creature_test {

namespace {

void UseForgedTerrainTypes() {
  std::vector<uint8_t> file = forge::TerrainFileBytes(forge::ForgedTerrainTypes());
  CTerrainTypeTable table;
  ASSERT_TRUE(table.Assign(file.data() + 16, file.size() - 16));
  std::vector<CTerrainType> types;
  for (int i = 0; i < table.Count(); ++i) types.push_back(table.Get(i));
  g_terrainTypes.Assign(types);
}

}  // namespace

void CreatureWorld::SetUp() {
  here_ = platform::CurrentDirectory();
  ASSERT_TRUE(platform::ChangeDirectory(testing_support::ForgedDataDir()));  // read only
  ASSERT_EQ(LoadSpells("cfg/spells.cfg", g_spellDefs), 1);
  ASSERT_EQ(ReadCreatureConfig("cfg/creature.cfg", "cfg/hth.cfg", g_creatureTypes), 1);
  std::snprintf(g_wizardAnimFileName, sizeof g_wizardAnimFileName, "%s", g_wizardAnimFiles[0][1]);
  UseForgedTerrainTypes();
  ASSERT_EQ(g_map.Create(48, 44, 8, 1, 1), 1);
  for (int y = 0; y < g_map.height; ++y)
    for (int x = 0; x < g_map.width; ++x) g_map.CellAt(x, y, 0).terrain = forge::terrain::kGrass;
  g_map.waterLevel = 0;
  g_tileSpans.Reset();
  g_armyTable.ResetAll();
  g_creatureArray.ReleaseAll();
  ResetCreatureSelection();
  ResetGlobalOptions();
}

void CreatureWorld::TearDown() {
  g_creatureArray.ReleaseAll();
  g_armyTable.ResetAll();
  ResetCreatureSelection();
  for (auto& set : g_creatureTypeAnims) set.reset();
  for (CCreatureType& type : g_creatureTypes) type = CCreatureType{};
  ResetSpellSightings();
  g_map.Clear();
  g_tileSpans.Free();
  g_terrainTypes.Clear();
  ResetGlobalOptions();
  platform::ChangeDirectory(here_);
}

int CreatureWorld::Place(int type, int army, int x, int y, int level) {
  CCreature* creature = g_creatureArray.FindFree();
  EXPECT_NE(creature, nullptr);
  if (!creature) return -1;
  creature->Reset(creature->index);
  creature->SetPosition(x, y, level, type);
  creature->InitFromType(type, army);
  return creature->index;
}

void CreatureWorld::UseArmy(int army, bool local) {
  CArmy& record = g_armyTable.armies[army];
  record.inUse = 1;
  record.human = local ? 1 : 0;
  std::snprintf(record.name, sizeof record.name, "army%d", army);
  record.SetRelationToAll(0);
  if (local) g_armyTable.SetActiveArmy(army);
}

int CreatureWorld::PlaceWizard(int army, int x, int y) {
  const int slot = Place(0, army, x, y);
  g_armyTable.armies[army].wizardCreature = slot;
  return slot;
}

}  // namespace creature_test
