// Footsteps: each forged terrain type's sound kind, and a creature walking over grass, planks,
// the top of raised ground and through water hears the ground under it at every footfall.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "WalkWorld.h"
#include "creatures/CreatureRoutes.h"
#include "forge/TerrainTypes.h"
#include "map/Map.h"
#include "map/TerrainType.h"
#include "sound/SoundCues.h"

namespace creature_test {
namespace {

namespace t = forge::terrain;
using Footsteps = WalkWorld;

TEST_F(Footsteps, EveryForgedTerrainSoundsByItsMaterial) {
  struct Case {
    int type, kind;
  };
  const Case cases[] = {{t::kEmpty, 0},     {t::kGrass, 1},  {t::kSand, 1},  {t::kTurf, 1},
                        {t::kEarth, 1},     {t::kFord, 2},   {t::kWater, 2}, {t::kStoneTop, 3},
                        {t::kRubble, 3},    {t::kRock, 3},   {t::kCliff, 3}, {t::kDoor, 3},
                        {t::kWallNorth, 3}, {t::kBridge, 4}, {t::kRoof, 4},  {t::kRegionCentre, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(TerrainFootstepKind(TerrainOf(c.type)), c.kind);
  }
}

TEST_F(Footsteps, AWalkerHearsTheGroundUnderItAtEveryFootfall) {
  CCreature& c = C(Place(kBrownie, 0, 5, 10, kFloor));
  c.WalkTo(15, 10, kFloor);
  for (int frame = 0; frame < 400 && !(c.cellX == 15 && c.order == ORDER_WAIT); ++frame) Tick();
  EXPECT_EQ(c.cellX, 15);
  EXPECT_GE(sounds.footsteps.size(), 5u);  // a footfall or more each cell
  EXPECT_EQ(std::set<std::string>(sounds.footsteps.begin(), sounds.footsteps.end()), std::set<std::string>{"1"});
}

TEST_F(Footsteps, TheGroundIsTheCreaturesCellOrTheOneUnderIt) {
  struct Case {
    const char* name;
    int terrain;  // laid at the floor level
    int level;    // where the creature stands
    int water;    // the map's water level
    const char* heard;
  };
  const Case cases[] = {
      {"grass", t::kGrass, kFloor, 0, "1"},
      {"planks", t::kBridge, kFloor, 0, "4"},
      {"a ford", t::kFord, kFloor, 0, "2"},
      {"the top of raised ground", t::kTurf, kFloor + 1, 0, "1"},
      {"the top of a wall", t::kStoneTop, kFloor + 1, 0, "3"},
      {"grass under the water's surface", t::kGrass, kFloor, kFloor + 1, "1 below water"},
      {"in the air", t::kEmpty, kFloor + 2, 0, "0"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    g_creatureArray.ReleaseAll();
    g_map.CellAt(10, 10, kFloor).terrain = static_cast<uint16_t>(k.terrain);
    g_map.waterLevel = k.water;
    sounds.footsteps.clear();
    C(Place(kBrownie, 0, 10, 10, k.level)).PlayFootstep();
    EXPECT_EQ(sounds.footsteps, std::vector<std::string>{k.heard});
  }
  g_map.waterLevel = 0;
}

TEST_F(Footsteps, StepsAreAsLoudAsTheTypesAreHeavy) {
  LoadCreatureTypes();
  int lightest = g_creatureTypes[0].Weight, heaviest = lightest;
  for (const CCreatureType& type : g_creatureTypes) {
    lightest = std::min(lightest, type.Weight);
    heaviest = std::max(heaviest, type.Weight);
  }
  EXPECT_LT(lightest, heaviest);
  EXPECT_EQ(g_soundCues.smallestStepWeight, lightest);
  EXPECT_EQ(g_soundCues.largestStepWeight, heaviest);
}

}  // namespace
}  // namespace creature_test
