// The loader on the forged creature art: every type's set (both the normal and the cut-down
// one) loads with the checks on, and its cycles give the pace its table row asks for.
#include <gtest/gtest.h>

#include <string>

#include "core/Options.h"
#include "creatures/CreatureAnims.h"
#include "forge/CreatureTable.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

class ForgedCreatureArt : public ::testing::Test {
 protected:
  void SetUp() override {
    here_ = platform::CurrentDirectory();
    ASSERT_TRUE(platform::ChangeDirectory(testing_support::ForgedDataDir()));  // read only
    g_creatureAnimChecks = 1;
  }
  void TearDown() override {
    g_creatureAnimChecks = 0;
    for (auto& set : g_creatureTypeAnims) set.reset();
    for (CCreatureType& type : g_creatureTypes) type = CCreatureType{};
    platform::ChangeDirectory(here_);
  }
  // Loads the file as the type's set, with the type's look from the forge's table.
  void LoadAndMeasure(int typeNumber, const char* file) {
    SCOPED_TRACE(file);
    const forge::CreatureRow& row = forge::CreatureTable()[static_cast<size_t>(typeNumber)];
    CCreatureType& type = g_creatureTypes[typeNumber];
    type = CCreatureType{};
    type.typeNumber = typeNumber;
    type.CanFly = row.CanFly;
    type.Acceleration = row.Acceleration;
    type.FireRate = row.FireRate;
    type.rangedAttackSpell = RangedAttackSpellOfType(typeNumber);
    g_creatureTypeAnims[typeNumber].reset();
    testing_support::BoxRecorder boxes;
    ASSERT_TRUE(LoadCreatureTypeAnims(type, typeNumber, file));
    EXPECT_EQ(boxes.Count(), 0u);
    int walked = 0, flown = 0;
    for (int j = 0; j < 12; ++j) {
      walked += type.walkAdvanceStraight[j];
      flown += type.flyAdvanceStraight[j];
    }
    EXPECT_EQ(walked, 6 * forge::CycleShift(row.GroundSpeed));
    if (row.CanFly) EXPECT_EQ(flown, 6 * forge::CycleShift(row.FlyingSpeed));
    EXPECT_GT(type.attackDuration, 3);
    EXPECT_GT(type.maxSpeed, 0);
    if (type.rangedAttackSpell != kNoRangedAttack) EXPECT_GT(type.rangedAttackDuration, type.FireRate);
    ++loaded_;
  }
  std::string here_;
  int loaded_ = 0;
};

TEST_F(ForgedCreatureArt, EverySetLoadsPassesItsChecksAndKeepsItsPace) {
  for (int set = 0; set < 2; ++set) {
    for (int type = 0; type < kCreatureTypes; ++type) {
      const char* file = g_creatureAnimFiles[set][type];
      if (*file && platform::FileExists(file)) LoadAndMeasure(type, file);
    }
    for (int look = 1; look <= 6; ++look) {
      if (platform::FileExists(g_wizardAnimFiles[set][look])) LoadAndMeasure(0, g_wizardAnimFiles[set][look]);
    }
  }
  if (loaded_ == 0) GTEST_SKIP() << "no creature art forged yet";
  EXPECT_EQ(loaded_, 2 * (23 + 1 + 6));
}

}  // namespace
