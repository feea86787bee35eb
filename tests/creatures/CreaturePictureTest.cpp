// The picture a person looks at to judge the creatures on the map: every forged creature type
// placed by InitFromType on a battle map built from the forged realm, drawn by the real map
// view through the creatures' own hooks, lit by the sight of the player's army.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

#include "core/Options.h"
#include "core/Preferences.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureMapHooks.h"
#include "creatures/SpellDefinition.h"
#include "graphics/PrintFX.h"
#include "graphics/PrintTarget.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "map/Doors.h"
#include "map/MapHooks.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "map/PathNetwork.h"
#include "map/RegionSettings.h"
#include "map/TerrainType.h"
#include "platform/Files.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/Flatwin.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

// The highest level of a column where the creature of the type may stand, -1 when none.
int StandingLevel(int type, int x, int y) {
  CCreature probe;
  probe.type = &g_creatureTypes[type];
  probe.typeNumber = type;
  probe.index = -1;
  const CMoveQuery query = probe.MakeMoveQuery();
  for (int level = g_map.levels - 2; level >= 0; --level)
    if (g_map.CanOccupy(x, y, level, query) && g_map.HasRoomForCreature(x, y, level, -1, query)) return level;
  return -1;
}

class CreaturePicture : public ::testing::Test {
 protected:
  void TearDown() override {
    ResetMouseInput();
    g_mapView.StopSounds();
    g_mapView.drawList.Reset();
    g_mapView.SetMap(nullptr);
    g_mapView.drawSurface = nullptr;
    g_mapView.terrainSprites = nullptr;
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

TEST_F(CreaturePicture, EveryForgedTypeStandsOnAForgedMapLitByItsSight) {
  ASSERT_EQ(LoadSpells("cfg/spells.cfg", g_spellDefs), 1);
  ASSERT_EQ(ReadCreatureConfig("cfg/creature.cfg", "cfg/hth.cfg", g_creatureTypes), 1);
  LoadPrintFX();
  std::vector<uint8_t> file;
  ASSERT_TRUE(platform::ReadWholeFile("maps/moorland/terrain.ttd", file));
  ASSERT_TRUE(g_terrainTypes.Assign(file.data() + 16, file.size() - 16));
  ASSERT_EQ(g_map.Build("realms\\moorland\\moorland.cfg", 0, 11), 1);
  g_map.SetWaterLevel(g_regionSettings.waterLevel);
  InstallCreatures();

  // The player's army and a hostile one whose creatures stand in the dark beyond.
  ASSERT_TRUE(g_armyTable.InitDefault());
  g_armyTable.armies[1].human = 1;
  ASSERT_EQ(g_armyTable.SetActiveArmy(1), 1);

  // Every type, seven to a row across the screen and four rows down it, around the middle of
  // the map; the last row belongs to the enemy.
  const int cx = g_map.width / 2, cy = g_map.height / 2;
  int placed = 0;
  for (int type = 0; type < kCreatureTypes; ++type) {
    SCOPED_TRACE(type);
    if (IsWizardType(type))
      std::snprintf(g_wizardAnimFileName, sizeof g_wizardAnimFileName, "%s",
                    g_wizardAnimFiles[0][1 + TypeToWizardNumber(type) % 6]);
    const int column = type % 7 - 3, row = type / 7 - 2;
    int x = cx + 2 * column + 3 * row, y = cy - 2 * column + 3 * row;
    int level = StandingLevel(type, x, y);
    for (int tries = 0; level < 0 && tries < 8; ++tries) level = StandingLevel(type, ++x, y);
    ASSERT_GE(level, 0);
    CCreature* creature = g_creatureArray.FindFree();
    ASSERT_NE(creature, nullptr);
    creature->SetPosition(x, y, level, type);
    creature->InitFromType(type, type >= 21 ? 2 : 1);
    creature->SetFacing((3 + type) & 7);
    ++placed;
  }
  EXPECT_EQ(placed, kCreatureTypes);

  // The light: what the player's creatures see is lit, the rest stays dark (the ramp of the
  // forged options).
  g_lightRamp = 16;
  g_map.ResetLight();
  g_map.RequestFullVisibilityRefresh();
  for (int frame = 0; frame < 16; ++frame) g_map.UpdateVisibility();

  CSprite terrain;
  const std::string terrainPath = "maps/moorland/terrain.spr";
  ASSERT_TRUE(terrain.Load(terrainPath.c_str(), 256) && terrain.BuildColourTables(1, 256) &&
              terrain.BuildColourTables(8, 256) && terrain.BuildColourTables(9, 256));
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = kWidth;
  desc.height = kHeight;
  CSurface surface;
  ASSERT_NE(surface.Create(&desc), 0);
  InitSpriteWaveTable();
  g_prefs.isHighRes = 1;

  std::vector<std::vector<uint16_t>> frames;
  for (int rotation : {0, 2}) {
    g_mapView.Attach(&g_map, &surface, &terrain, platform::Rect{0, 0, kWidth, kHeight}, 0);
    g_mapView.rotation = rotation;
    g_mapView.drawList.rotation = rotation;
    g_mapView.SetCameraCell(cx - 1, cy - 1, 4);
    surface.Fill(0);
    g_mapView.Update();
    g_mapView.Update();
    std::vector<uint16_t> pixels;
    uint16_t* locked = surface.Lock();
    ASSERT_NE(locked, nullptr);
    for (int y = 0; y < surface.height; ++y) {
      const auto* row = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(locked) + y * surface.pitch);
      pixels.insert(pixels.end(), row, row + surface.width);
    }
    surface.Unlock(locked);
    const std::string path =
        testing_support::TestOutputDir() + "/creatures-on-map-" + std::to_string(rotation) + ".png";
    EXPECT_TRUE(testing_support::WritePng565(path, kWidth, kHeight, pixels));
    std::printf("creature picture: %s\n", path.c_str());
    frames.push_back(pixels);
  }
  for (const auto& frame : frames) EXPECT_GT(std::set<uint16_t>(frame.begin(), frame.end()).size(), 40u);
  EXPECT_NE(frames[0], frames[1]);

  // The creatures' cells hold them, and each one's body has a frame to draw.
  g_creatureArray.ForEachInUse([](CCreature& creature) {
    EXPECT_EQ(g_map.CellAt(creature.cellX, creature.cellY, creature.level).occupant, creature.index);
    CreatureDrawInfo info;
    EXPECT_TRUE(g_mapViewHooks.creatures->GetDrawInfo(creature.index, 0, info));
    EXPECT_TRUE(static_cast<bool>(info.body.frame)) << creature.typeNumber;
  });
}

}  // namespace
