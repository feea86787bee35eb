// The forge's table of creature types: the values its readers and the art rely on.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "forge/CreatureTable.h"

namespace {

using forge::CreatureTable;
using forge::kCreatureTypes;

TEST(CreatureTable, EveryTypeCanMoveLiveAndSee) {
  for (int type = 0; type < kCreatureTypes; ++type) {
    const forge::CreatureRow& row = CreatureTable()[static_cast<size_t>(type)];
    SCOPED_TRACE(type);
    EXPECT_GT(row.Health, 0);
    EXPECT_LE(row.Health, 500);
    EXPECT_GT(row.Acceleration, 0);  // with 0 it never starts moving
    EXPECT_GT(row.ViewRange, 0);
    EXPECT_GT(row.GroundSpeed, 0);
    EXPECT_TRUE(row.TileSizeXY == 1 || row.TileSizeXY == 2);
    EXPECT_GE(row.TileHeight, 1);
    EXPECT_LE(row.TileHeight, 5);
    EXPECT_EQ(row.CanFly, row.FlyingSpeed > 0);
    EXPECT_EQ(row.CanFly, row.FlyingHeight > 0);
    EXPECT_GE(row.alignment, forge::kLaw);
    EXPECT_LE(row.alignment, forge::kVrask);
  }
}

TEST(CreatureTable, OnlyTheShootersHaveAFireRange) {
  const std::set<int> shooters = {1, 2, 3, 8, 9, 10, 18, 20, 23};
  for (int type = 0; type < kCreatureTypes; ++type) {
    const forge::CreatureRow& row = CreatureTable()[static_cast<size_t>(type)];
    EXPECT_EQ(row.FireRange > 0, shooters.count(type) == 1) << type;
    EXPECT_EQ(row.missile > 0, shooters.count(type) == 1) << type;
  }
}

TEST(CreatureTable, SpeedsDifferAndSetThePaceBetweenOneAndTwoStepsACycle) {
  EXPECT_EQ(forge::CycleShift(0), 32);
  EXPECT_EQ(forge::CycleShift(1000), 64);
  EXPECT_EQ(forge::CycleShift(5000), 64);
  std::set<int> paces;
  for (const forge::CreatureRow& row : CreatureTable()) paces.insert(forge::CycleShift(row.GroundSpeed));
  EXPECT_GE(paces.size(), 8u);
}

TEST(CreatureTable, NamesAndArtFollowTheTypeNumbers) {
  const auto& t = CreatureTable();
  EXPECT_STREQ(t[0].typeName, "PLAYER_WIZARD");
  EXPECT_STREQ(t[8].typeName, "BLACK_DOG");
  EXPECT_STREQ(t[8].animName, "dog");
  EXPECT_STREQ(t[23].typeName, "CHAMP_OF_VRASK");
  EXPECT_STREQ(t[27].animName, "herald");
  for (int wizard : {0, 24, 25, 26}) EXPECT_STREQ(t[static_cast<size_t>(wizard)].animName, "") << wizard;
}

TEST(CreatureTable, MatricesRateStrongerTypesHigherAndTheHoldersAlike) {
  const forge::HthMatrices m = forge::MakeHthMatrices();
  EXPECT_GT(m.HTH[18][1], m.HTH[1][18]);    // a dragon against a brownie, and back
  EXPECT_GT(m.Stun[18][1], m.Stun[1][18]);  // knock-back, per cent
  EXPECT_LE(m.Stun[18][1], 100);
  EXPECT_EQ(m.LRC[5][1], 0);                       // a hero has no ranged attack
  EXPECT_EQ(m.LRC[8][3], m.LRC[8][18]);            // the dog's hold is the same against all
  EXPECT_LT(m.FearHate[1][18], 0);                 // a brownie fears a dragon
  EXPECT_GT(m.FearHate[3][11], m.FearHate[3][5]);  // an elf hates the undead more than a hero
  EXPECT_EQ(&forge::HthMatrixByIndex(m, 5), &m.FearHate);
}

}  // namespace
