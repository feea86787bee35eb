// Regions of power, the water level and animated cells.
#include "MapTestSupport.h"
#include "core/Options.h"
#include "map/MapUnits.h"

using namespace map_test;

class RegionsOfPower : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    animation.sequences[16] = {{280, 281, 282}, true};
    animation.sequences[3] = {{t::kWater, t::kFord, t::kSand}, false};
    SetTerrainAnimation(&animation);
  }
  void TearDown() override {
    SetTerrainAnimation(nullptr);
    MapTest::TearDown();
  }
  FakeAnimation animation;
};

TEST_F(RegionsOfPower, BuildingARegionLaysItsPatternAndPlacesItsObject) {
  FakeHooks hooks;
  g_map.BuildRegionOfPower(47, 0, 2, 1);  // at the seam: the pattern wraps
  const int pattern1[8] = {250, 246, 249, 245, 252, 248, 251, 247};
  for (int direction = 0; direction < 8; ++direction) {
    const GridStep& step = kDirectionSteps[direction];
    EXPECT_EQ(g_map.CellAtWrapped(47 + step.dx, 0 + step.dy, 2)->terrain, pattern1[direction]) << direction;
  }
  EXPECT_EQ(Cell(47, 0, 2).terrain, 280);  // the centre plays sequence 16
  EXPECT_EQ(g_map.animatedCells.size(), 1u);
  EXPECT_EQ(hooks.objects.placed, (std::vector<std::vector<int>>{{40, 47, 0, 2}}));
  EXPECT_EQ(hooks.objects.kinds, (std::vector<std::vector<int>>{{40, 61}}));
  EXPECT_EQ(hooks.battle.scannerCells, (std::vector<std::vector<int>>{{47, 0, 2}}));

  hooks.objects.freeObject = -1;  // no free world object: nothing at all
  g_map.BuildRegionOfPower(10, 10, 2, 0);
  EXPECT_EQ(Cell(10, 9, 2).terrain, 0);
  EXPECT_EQ(hooks.objects.placed.size(), 1u);
}

TEST_F(RegionsOfPower, HoldersCountGainsAndLossesOnBothControllers) {
  FakeHooks hooks;
  g_manaRecovery = 10;
  g_manaRecoveryDelay = 4;
  hooks.ai.damageValue = 9;  // half is 4
  g_map.SetRegionOfPowerHolder(2, 3, 17);
  EXPECT_FLOAT_EQ(hooks.ai.lastRate, 2.5f);
  EXPECT_EQ(hooks.ai.gains, (std::vector<std::vector<int>>{{0, 3, 4}, {1, 3, 4}}));
  EXPECT_TRUE(hooks.ai.losses.empty());
  EXPECT_EQ(g_map.regionHolders[2][3], 17);

  g_map.TickRegionOfPowerCounters();
  g_map.TickRegionOfPowerCounters();
  EXPECT_EQ(g_map.regionCounters[2][3], 2);
  EXPECT_EQ(g_map.regionCounters[14][7], 2);

  g_map.SetRegionOfPowerHolder(2, 3, 18);  // another holder of the same player: no change of hands
  EXPECT_EQ(hooks.ai.gains.size(), 2u);
  EXPECT_EQ(g_map.regionCounters[2][3], 0);

  hooks.ai.damageValue = 1;  // at least 1
  g_map.SetRegionOfPowerHolder(2, 3, -1);
  EXPECT_EQ(hooks.ai.losses, (std::vector<std::vector<int>>{{0, 3, 1}, {1, 3, 1}}));

  // A creature lost to the army does not hold for it.
  hooks.creatures.lost.insert({3, 19});
  g_map.SetRegionOfPowerHolder(2, 3, 19);
  EXPECT_EQ(hooks.ai.gains.size(), 2u);
  g_map.SetRegionOfPowerHolder(15, 3, 19);  // outside the table: ignored
  g_map.SetRegionOfPowerHolder(0, 8, 19);
  g_manaRecovery = g_manaRecoveryDelay = 5;
}

TEST_F(RegionsOfPower, CountAndPositions) {
  for (int i = 0; i < 11; ++i) g_map.regions[i] = {i + 1, 50 + i, 2, 0, i};
  EXPECT_EQ(g_map.CountRegionsOfPower(), 11);
  for (int i = 11; i < 15; ++i) g_map.regions[i] = {1, 1, 1, 0, 0};
  EXPECT_EQ(g_map.CountRegionsOfPower(), 15);
  int x, y, level;
  g_map.GetRegionOfPowerPosition(3, x, y, level);
  EXPECT_EQ(x, 4);
  EXPECT_EQ(y, 53 - 44);  // wrapped on read
  EXPECT_EQ(level, 2);
  EXPECT_EQ(g_map.GetRegionOfPowerValue(3), 3);
  EXPECT_EQ(g_map.GetRegionOfPowerValue(15), -1);
  // The next map, made anew, shows none of the last map's regions, holders or counters.
  g_map.regionHolders[3][2] = 7;
  g_map.TickRegionOfPowerCounters();
  ASSERT_EQ(g_map.Create(48, 48, 4, 1, 1), 1);
  EXPECT_EQ(g_map.CountRegionsOfPower(), 0);
  EXPECT_EQ(g_map.regionHolders[3][2], -1);
  EXPECT_EQ(g_map.regionCounters[3][2], 0);
}

TEST_F(RegionsOfPower, WaterLevelStaysWithinTheMapAndItsLimits) {
  FakeHooks hooks;
  g_map.SetWaterLevel(-3);
  EXPECT_EQ(g_map.waterLevel, 0);
  g_map.SetWaterLevel(8 + 5);
  EXPECT_EQ(g_map.waterLevel, 7);

  g_map.SetWaterLevel(2);
  g_map.SetWaterLimits(1, 4);
  g_map.ChangeWaterLevel(3);  // beyond the maximum: nothing at all
  EXPECT_EQ(g_map.waterLevel, 2);
  EXPECT_TRUE(hooks.effects.waterMarks.empty());
  g_map.ChangeWaterLevel(2);
  EXPECT_EQ(g_map.waterLevel, 4);
  EXPECT_EQ(hooks.effects.waterMarks, std::vector<int>{4});
  g_map.ChangeWaterLevel(-5);  // below the minimum
  EXPECT_EQ(g_map.waterLevel, 4);
  g_map.ChangeWaterLevel(-3);
  EXPECT_EQ(g_map.waterLevel, 1);

  g_map.SetWaterLimits(0, 7);
  g_map.ChangeWaterLevel(100);  // more than the map allows: the top level
  EXPECT_EQ(g_map.waterLevel, 7);
  g_map.ChangeWaterLevel(1);  // nothing left to rise
  EXPECT_EQ(g_map.waterLevel, 7);
}

TEST_F(RegionsOfPower, SwimmersAtTheSurfaceRiseWithTheWaterWhileTheyHaveRoom) {
  FakeHooks hooks;
  g_map.SetWaterLimits(0, 7);
  g_map.SetWaterLevel(3);
  // Creature 1 floats at the surface (level 1 + height 2 = 3) with room up to level 5;
  // creature 2 likewise but blocked one level above; creature 3 walks; creature 4 is deeper.
  hooks.creatures.creatures[1] = {{4, 4, 1, 2, 1, kMovementSwimmer}, 5};
  hooks.creatures.creatures[2] = {{6, 6, 1, 2, 1, kMovementSwimmer}, 1};
  hooks.creatures.creatures[3] = {{8, 8, 1, 2, 1, 0}, 9};
  hooks.creatures.creatures[4] = {{9, 9, 0, 2, 1, kMovementSwimmer}, 9};
  g_map.ChangeWaterLevel(3);
  EXPECT_EQ(g_map.waterLevel, 6);
  EXPECT_EQ(hooks.creatures.relocations, (std::vector<std::vector<int>>{{1, 4, 4, 4}}));
}

TEST_F(RegionsOfPower, AnimatedCellsStepToTheirLastFrame) {
  CMapCell& cell = Cell(7, 7, 1);
  g_map.AnimateCell(&cell, 3, nullptr, 1);
  EXPECT_EQ(cell.terrain, t::kWater);
  EXPECT_EQ(cell.state & state_bits::kLiquid, state_bits::kLiquid);
  g_map.StepCellAnimations();
  EXPECT_EQ(cell.terrain, t::kFord);
  g_map.StepCellAnimations();
  EXPECT_EQ(cell.terrain, t::kSand);
  cell.state |= state_bits::kAnimated;
  g_map.AnimateCell(&cell, 16, nullptr, 1);  // already animated: nothing
  EXPECT_EQ(g_map.animatedCells.size(), 1u);
  g_map.StepCellAnimations();  // the sequence ends: the last frame stays
  EXPECT_EQ(cell.terrain, t::kSand);
  EXPECT_EQ(cell.state & state_bits::kAnimated, 0);
  EXPECT_EQ(cell.state & state_bits::kLiquid, 0);
  EXPECT_TRUE(g_map.animatedCells.empty());

  // Started further on; finishing a looping sequence ends it after its loop.
  CMapCell& looping = Cell(8, 8, 1);
  g_map.AnimateCell(&looping, 16, &animation, 3);
  EXPECT_EQ(looping.terrain, 282);
  g_map.StepCellAnimations();
  EXPECT_EQ(looping.terrain, 280);
  g_map.FinishCellAnimation(&looping);
  g_map.StepCellAnimations();
  g_map.StepCellAnimations();
  EXPECT_EQ(g_map.animatedCells.size(), 1u);
  g_map.StepCellAnimations();
  EXPECT_TRUE(g_map.animatedCells.empty());
  EXPECT_EQ(looping.terrain, 282);

  // Stopping puts the given type in place.
  g_map.AnimateCell(&looping, 16, nullptr, 1);
  looping.state |= state_bits::kAnimated;
  g_map.StopCellAnimation(&looping, t::kGrass);
  EXPECT_EQ(looping.terrain, t::kGrass);
  EXPECT_FALSE(looping.IsAnimated());
  EXPECT_TRUE(g_map.animatedCells.empty());
  g_map.StopCellAnimation(&looping, t::kEarth);  // no animation: nothing
  EXPECT_EQ(looping.terrain, t::kGrass);

  // An unknown sequence animates nothing; clearing the map drops the animations.
  g_map.AnimateCell(&Cell(9, 9, 1), 99, nullptr, 1);
  EXPECT_TRUE(g_map.animatedCells.empty());
  g_map.AnimateCell(&Cell(9, 9, 1), 16, nullptr, 1);
  g_map.Clear();
  EXPECT_TRUE(g_map.animatedCells.empty());
}
