#pragma once
// The scene the creature picture tests stand their creatures in: the forged moorland battle
// map built from a seed, with the forged spells, creature types and print effects, the
// creatures' hooks installed and the default armies, army 1 the player's. Header only.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureMapHooks.h"
#include "creatures/SpellDefinition.h"
#include "graphics/PrintFX.h"
#include "map/Doors.h"
#include "map/MapHooks.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "map/PathNetwork.h"
#include "map/RegionSettings.h"
#include "map/TerrainType.h"
#include "platform/Files.h"
#include "support/MapViewCanvas.h"
#include "support/TestSupport.h"

namespace creature_test {

class ForgedMapScene : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadSpells("cfg/spells.cfg", g_spellDefs), 1);
    ASSERT_EQ(ReadCreatureConfig("cfg/creature.cfg", "cfg/hth.cfg", g_creatureTypes), 1);
    LoadPrintFX();
    std::vector<uint8_t> file;
    ASSERT_TRUE(platform::ReadWholeFile("maps/moorland/terrain.ttd", file));
    ASSERT_TRUE(g_terrainTypes.Assign(file.data() + 16, file.size() - 16));
    ASSERT_EQ(g_map.Build("realms\\moorland\\moorland.cfg", 0, 11), 1);
    g_map.SetWaterLevel(g_regionSettings.waterLevel);
    InstallCreatures();
    // The player's army, and a hostile one.
    ASSERT_TRUE(g_armyTable.InitDefault());
    g_armyTable.armies[1].human = 1;
    ASSERT_EQ(g_armyTable.SetActiveArmy(1), 1);
  }
  void TearDown() override {
    testing_support::MapViewCanvas::ReleaseView();
    g_creatureArray.ReleaseAll();
    g_armyTable.ResetAll();
    ResetCreatureSelection();
    for (auto& set : g_creatureTypeAnims) set.reset();
    for (CCreatureType& type : g_creatureTypes) type = CCreatureType{};
    ResetSpellSightings();
    g_map.Clear();
    g_pathNetwork.Clear();
    g_terrainTypes.Clear();
    FreeDoorsConfig();
    FreePrintFX();
    ResetGlobalOptions();
  }

  testing_support::ForgedDataCopy data;  // building the map writes its logs here
  MapHooksScope mapHooks{g_mapHooks};
  MapViewHooksScope viewHooks{g_mapViewHooks};
};

}  // namespace creature_test
