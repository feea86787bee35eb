// Deployment from a map's placement entries: the chance test, the objects' scan (a liquid
// cell ends it, network battles leave the special objects out), the regions of power drawn by
// their chances, the wizard sites' two passes and their error, the multiplayer sites,
// artifacts that stop when no world object is free, creatures for their entries' armies, and
// the same placements from the same seed, whatever ran before.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleDeployment.h"
#include "battle/BattleSystems.h"
#include "core/GameSettings.h"
#include "core/Random.h"
#include "forge/TerrainTypes.h"
#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/TileOverlay.h"
#include "support/TestSupport.h"

namespace {

namespace t = forge::terrain;
namespace pw = placement_word;

// World objects handed out from a pool of a fixed size; every placement is recorded.
struct FakeObjects : IMapObjects {
  int capacity = 200;
  int used = 0;
  std::vector<std::vector<int>> placed;  // object, x, y, level, kind
  int FindFree() override { return used < capacity ? used : -1; }
  void Place(int object, int x, int y, int level) override {
    placed.push_back({object, x, y, level, -1});
    ++used;
  }
  void SetKind(int object, int kind) override {
    for (auto& p : placed)
      if (p[0] == object) p[4] = kind;
  }
};

struct SeededBattle : IMapBattle {
  CRandom random{1};
  CRandom& BattleRandom() override { return random; }
};

struct CreatureRecorder : IBattleSystems {
  std::vector<std::vector<int>> created;  // type, army, x, y, level
  std::vector<int> weights = std::vector<int>(kWorldObjectTypes, 0);
  int CreateCreature(int type, int army, int x, int y, int level) override {
    created.push_back({type, army, x, y, level});
    return static_cast<int>(created.size()) - 1;
  }
  int ObjectWeight(int type) override { return weights[static_cast<size_t>(type)]; }
};

CMapPlacement::Item Entry(int x, int y, int level, int kind, int type, int chance, int army = 0) {
  return {x, y, level, kind, type, chance, army, 0, 0, 0};
}

class Deployment : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<uint8_t> file = forge::TerrainFileBytes(forge::ForgedTerrainTypes());
    ASSERT_TRUE(g_terrainTypes.Assign(file.data() + 16, file.size() - 16));
    ASSERT_EQ(g_map.Create(48, 48, 4, 2, 2), 1);
    g_map.sectionSize = 24;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) g_map.CellAt(x, y, 1).terrain = t::kGrass;
    g_map.deploymentZones.Clear();
    SetUpDefaultArmies();
    g_gameMode = kGameModeDirect;
    g_networkGame = 0;
  }
  void TearDown() override {
    g_map.deploymentZones.Clear();
    for (CRegionOfPower& region : g_map.regions) region = CRegionOfPower{};
    std::fill(std::begin(g_map.mapTable), std::end(g_map.mapTable), 0);
    std::fill(std::begin(g_map.deploymentTable), std::end(g_map.deploymentTable), 0);
    g_map.manaSpriteSites.clear();
    g_map.Clear();
    g_terrainTypes.Clear();
    g_armyTable.ResetAll();
    ClearWizardSites();
    g_gameMode = 0;
    g_networkGame = 0;
    g_gameSettings = CGameSettings{};
  }
  void Add(const CMapPlacement::Item& item) { g_map.deploymentZones.items.push_back(item); }
  std::vector<int> PlacedKinds() const {
    std::vector<int> kinds;
    for (const auto& p : objects_.placed) kinds.push_back(p[4]);
    return kinds;
  }

  FakeObjects objects_;
  SeededBattle battle_;
  CreatureRecorder systems_;
  MapHooksScope hooks_{MapHooks{g_mapHooks.creatures, g_mapHooks.effects, &objects_, &battle_, g_mapHooks.ai}};
  HookScope<IBattleSystems> systemsScope_{g_battleSystems, systems_};
  CBattleDeployment deployment_{g_map};
};

TEST(DeploymentChance, AChanceAgainstTheDrawAndTheTypesAdjustment) {
  // {draw, chance, adjustment, placed}: placed when chance >= draw mod 99 - adjustment + 1.
  struct Case {
    uint32_t r;
    int chance, adjustment;
    bool placed;
  };
  const Case cases[] = {
      {0, 100, 0, true}, {98, 100, 0, true}, {97, 100, -2, true},    {98, 100, -2, false},
      {0, 0, 0, false},  {0, 0, 1, true},    {1, 0, 1, false},       {5, 0, 6, true},
      {6, 0, 6, false},  {99, 0, 0, false},  {99 + 40, 41, 0, true}, {99 + 40, 40, 0, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CBattleDeployment::PassesChance(c.r, c.chance, c.adjustment), c.placed)
        << c.r << " " << c.chance << " " << c.adjustment;
}

TEST_F(Deployment, ObjectsStopAtALiquidCellAndNetworkBattlesLeaveOutTheSpecialOnes) {
  Add(Entry(3, 3, 1, kPlacementArtifact, 50, 100));
  Add(Entry(4, 3, 1, kPlacementArtifact, 54, 100));
  Add(Entry(5, 3, 1, kPlacementArtifact, kArtifactObject, 100));
  Add(Entry(6, 3, 1, kPlacementArtifact, 7, 0));  // chance 0, no adjustment: missed
  Add(Entry(7, 3, 1, kPlacementArtifact, 8, 100));
  g_map.CellAt(8, 3, 1).terrain = t::kWater;
  Add(Entry(8, 3, 1, kPlacementArtifact, 9, 100));  // ends the scan
  Add(Entry(9, 3, 1, kPlacementArtifact, 10, 100));
  deployment_.DeployObjects(7);
  EXPECT_EQ(PlacedKinds(), (std::vector<int>{50, 54, kArtifactObject, 8}));
  EXPECT_EQ(g_artifactObjects, 1);
  ASSERT_EQ(g_map.manaSpriteSites.size(), 1u);
  EXPECT_EQ(g_map.manaSpriteSites[0].x, 5);

  objects_ = FakeObjects{};
  g_networkGame = 1;
  deployment_.DeployObjects(7);
  EXPECT_EQ(PlacedKinds(), (std::vector<int>{50, kArtifactObject, 8}));
  // A cell that already holds an object is passed over.
  objects_ = FakeObjects{};
  g_networkGame = 0;
  g_map.CellAt(3, 3, 1).object = 12;
  deployment_.DeployObjects(7);
  EXPECT_EQ(PlacedKinds(), (std::vector<int>{54, kArtifactObject, 8}));
}

TEST_F(Deployment, RegionsOfPowerAreDrawnByTheirChancesUntilNoneIsLeft) {
  // A campaign places the sure ones at once; the rest are drawn by weight.
  Add(Entry(10, 10, 1, kPlacementArtifact, kRegionOfPowerObject, 100, 1));
  Add(Entry(20, 10, 1, kPlacementArtifact, kRegionOfPowerObject, 0));
  Add(Entry(30, 10, 1, kPlacementArtifact, kRegionOfPowerObject, 50));
  Add(Entry(40, 10, 1, kPlacementArtifact, kRegionOfPowerObject, 0));
  deployment_.DeployRegionsOfPower(4);
  // The zero-chance regions never come: the draws end when the chances are used up.
  ASSERT_EQ(g_map.CountRegionsOfPower(), 2);
  EXPECT_EQ(g_map.regions[0].x, 10);
  EXPECT_EQ(g_map.regions[1].x, 30);
  EXPECT_EQ(g_map.regions[1].fourth, 0);
  EXPECT_EQ(g_map.regions[1].value, -1);

  // A quick battle draws even the sure ones, at most as many as wanted.
  g_gameMode = kGameModeQuickBattle;
  objects_ = FakeObjects{};
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) g_map.CellAt(x, y, 1).object = kNoLink;
  deployment_.DeployRegionsOfPower(1);
  EXPECT_EQ(g_map.CountRegionsOfPower(), 1);
}

TEST_F(Deployment, WizardSitesFarFromWizardsFirstThenAnyThenTheError) {
  Add(Entry(2, 2, 1, kPlacementFriendlyWizard, 0, 50));
  Add(Entry(30, 30, 1, kPlacementFriendlyWizard, 0, 50));
  Add(Entry(40, 6, 1, kPlacementEnemyWizard, 0, 100, 1));
  // A wizard stands at (46, 46): pass 1 takes the far site only; (2, 2) is near it across the
  // map's edge.
  g_wizardSites[1] = WizardSite{1, 46, 46, 1};
  const DeployPos first = deployment_.DeployWizard(kWizardSiteFriendly, -1);
  EXPECT_EQ(first.x, 30);
  EXPECT_EQ(g_map.deploymentZones.Count(), 2);
  // Only the near site is left: pass 2 takes it.
  const DeployPos second = deployment_.DeployWizard(kWizardSiteFriendly, -1);
  EXPECT_EQ(second.x, 2);
  // An enemy site of another army key is no candidate; of its key it is, whatever is near.
  {
    testing_support::BoxRecorder boxes;
    EXPECT_EQ(testing_support::ExitCodeOf([&] { deployment_.DeployWizard(kWizardSiteEnemy, 3); }), 1);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "DEPLOYMENT ERROR");
    EXPECT_EQ(boxes.Boxes()[0].text, "No place to put wizard, see deploy.plc for wizard deployment count");
  }
  EXPECT_EQ(deployment_.DeployWizard(kWizardSiteEnemy, 1).x, 40);
  testing_support::BoxRecorder boxes;
  EXPECT_EQ(testing_support::ExitCodeOf([&] { deployment_.DeployWizard(kWizardSiteFriendly, -1); }), 1);
}

TEST_F(Deployment, ASureFriendlySiteIsTakenAtOnce) {
  Add(Entry(30, 30, 1, kPlacementFriendlyWizard, 0, 50));
  Add(Entry(5, 5, 1, kPlacementFriendlyWizard, 0, 100));
  const uint32_t before = battle_.random.state[0];
  EXPECT_EQ(deployment_.DeployWizard(kWizardSiteFriendly, -1).x, 5);
  EXPECT_EQ(battle_.random.state[0], before);  // no draw
}

// A quick or network battle's wizards: the sure friendly site first, then the multiplayer
// sites (never the other friendly ones), then the error.
TEST_F(Deployment, MultiplayerWizardsTakeTheSureSiteThenTheMultiplayerSites) {
  Add(Entry(10, 40, 1, kPlacementFriendlyWizard, 0, 50));
  Add(Entry(20, 20, 1, kPlacementMultiplayerWizard, 0, 50));
  Add(Entry(5, 5, 1, kPlacementFriendlyWizard, 0, 100));
  Add(Entry(40, 40, 1, kPlacementMultiplayerWizard, 0, 50));
  std::vector<int> taken;
  for (int wizard = 0; wizard < 3; ++wizard) taken.push_back(deployment_.DeployWizard(kWizardSiteMultiplayer, -1).x);
  EXPECT_EQ(taken[0], 5);
  std::sort(taken.begin() + 1, taken.end());
  EXPECT_EQ(taken, (std::vector<int>{5, 20, 40}));
  testing_support::BoxRecorder boxes;
  EXPECT_EQ(testing_support::ExitCodeOf([&] { deployment_.DeployWizard(kWizardSiteMultiplayer, -1); }), 1);
  EXPECT_EQ(g_map.deploymentZones.Count(), 1);  // the unsure friendly site stays
}

TEST_F(Deployment, RandomArtifactsStopWhenNoWorldObjectIsFree) {
  for (int i = 0; i < 6; ++i) Add(Entry(4 + 3 * i, 20, 1, kPlacementRandomArtifactZone, 0, 100));
  systems_.weights[3] = 1;
  systems_.weights[kArtifactObject] = 3;
  g_gameSettings.Artefacts = 5;
  objects_.capacity = 2;
  deployment_.DeployRandomArtifacts(6);
  EXPECT_EQ(objects_.placed.size(), 2u);
  for (int kind : PlacedKinds()) EXPECT_TRUE(kind == 3 || kind == kArtifactObject) << kind;
  // Without weights no artifact is drawn.
  objects_ = FakeObjects{};
  systems_.weights.assign(kWorldObjectTypes, 0);
  deployment_.DeployRandomArtifacts(6);
  EXPECT_TRUE(objects_.placed.empty());
}

TEST_F(Deployment, CreaturesJoinTheirEntrysArmyAndAStrayArmyIsArmyZero) {
  Add(Entry(10, 10, 1, kPlacementCreature, 3, 100, 1));
  Add(Entry(12, 10, 1, kPlacementCreature, 5, 100, 2));
  Add(Entry(14, 10, 1, kPlacementCreature, 4, 100, 9));
  testing_support::BoxRecorder boxes;
  deployment_.DeployCreatures(0, 0);
  ASSERT_EQ(systems_.created.size(), 3u);
  EXPECT_EQ(systems_.created[0][1], 1);
  EXPECT_EQ(systems_.created[1][1], 2);
  EXPECT_EQ(systems_.created[2][1], 0);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "creature army index out of range, placing in army 0");
}

TEST_F(Deployment, OneSeedGivesTheSameDeploymentAlsoAfterAnotherBattle) {
  Add(Entry(3, 3, 1, kPlacementArtifact, 50, 60));
  Add(Entry(9, 3, 1, kPlacementArtifact, 8, 40));
  Add(Entry(12, 3, 1, kPlacementArtifact, kArtifactObject, 70));
  for (int i = 0; i < 4; ++i) Add(Entry(6 + 5 * i, 30, 1, kPlacementArtifact, kRegionOfPowerObject, 30 + 10 * i));
  for (int i = 0; i < 4; ++i) Add(Entry(4 + 3 * i, 20, 1, kPlacementRandomArtifactZone, 0, 100));
  for (int i = 0; i < 6; ++i) Add(Entry(5 + 4 * i, 40, 1, kPlacementCreature, i, 50, i % 2));
  systems_.weights[3] = 2;
  systems_.weights[kArtifactObject] = 5;
  g_gameSettings.Artefacts = 3;
  g_gameMode = kGameModeQuickBattle;
  g_gameSettings.placesOfPower = 2;
  const auto entries = g_map.deploymentZones.items;
  auto run = [&](uint32_t seed) {
    g_map.deploymentZones.items = entries;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) g_map.CellAt(x, y, 1).object = kNoLink;
    objects_ = FakeObjects{};
    systems_.created.clear();
    battle_.random.Seed(seed);
    DeployAfterMapBuild(g_map, 11);
    CBattleDeployment(g_map).DeployCreatures(0, 0);
    std::string record;
    for (const auto& p : objects_.placed)
      for (int v : p) record += std::to_string(v) + ",";
    record += "|";
    for (const auto& c : systems_.created)
      for (int v : c) record += std::to_string(v) + ",";
    for (int r = 0; r < g_map.CountRegionsOfPower(); ++r) record += "R" + std::to_string(g_map.regions[r].x);
    return record;
  };
  const std::string first = run(555);
  EXPECT_NE(run(556), first);
  EXPECT_EQ(run(555), first);
}

}  // namespace
