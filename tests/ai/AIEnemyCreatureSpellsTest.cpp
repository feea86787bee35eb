// The spell decisions that walk to cast at one enemy creature and value it by its worth: the
// earth bind, the levitation, the provoke and the subversion, on hand-made scenes: whom each
// must and must not consider, when each ends, and their delays.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "AISpellScene.h"
#include "ai/AIEnemyCreatureSpells.h"
#include "ai/AISpellTiming.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "map/Map.h"

namespace {

using ai_test::SpellScene;

class EnemySpells : public SpellScene {
 public:
  using SpellScene::Enemy;

 protected:
  void SetUp() override {
    SpellScene::SetUp();
    Knows({44, 50, 54, 80});
    for (int spell : {44, 50, 54, 80}) g_spellDefs[spell].Range = 12;
    wizard->aiWords[wizard_words::kControlLimit] = 10;
  }
  std::vector<int> Targets(CAISpellDecision& d) {
    std::vector<int> slots;
    for (const auto& [slot, score] : ScoreAll(d)) slots.push_back(slot);
    std::sort(slots.begin(), slots.end());
    return slots;
  }
};

TEST_F(EnemySpells, TheEarthBindConsidersOnlyFlyersAndTheKindItAlwaysGrounds) {
  Enemy(14, 10);  // walks
  CCreature& flying = Enemy(15, 10);
  flying.orderState.flying = 1;
  CCreature& mayFly = Enemy(16, 10);
  mayFly.mayFly = 1;
  CCreature& grounded = Enemy(17, 10, 15);
  CAIEarthBindDecision d;
  EXPECT_EQ(Targets(d), (std::vector<int>{flying.index, mayFly.index, grounded.index}));
  // The cast's delay: the walk's base, the flight of the spell, five more.
  g_spellDefs[44].Speed = 8;
  ASSERT_FALSE(ScoreAll(d).empty());
  d.KeepBest();
  const int travel = d.Execute();
  EXPECT_GE(travel, 5);
}

TEST_F(EnemySpells, TheLevitationPassesOverTheAirborneAndTheCoveredAndWaitsOnADeadTarget) {
  CCreature& open = Enemy(14, 10);
  Enemy(15, 10).airborne = 1;
  Enemy(16, 10);
  g_map.CellAt(16, 10, 1).terrain = 1;  // a ceiling right above it
  CAILevitateDecision d;
  EXPECT_EQ(Targets(d), (std::vector<int>{open.index}));
  // The target dies before the cast: no cast, and the decision waits on.
  ASSERT_FALSE(ScoreAll(d).empty());
  ASSERT_EQ(d.Best().target.slot, open.index);
  EXPECT_EQ(d.Execute(), ParticleFallTicks(open) + 10);
  open.health = 0;
  CAIBudget none;
  EXPECT_TRUE(d.Step(nullptr, 1, none));
  EXPECT_TRUE(d.Step(nullptr, 2, none));
  EXPECT_TRUE(TakeAICastNotes().empty());
}

TEST_F(EnemySpells, TheProvokeWantsEnemiesAboutAndNoProvokerBesideIt) {
  struct Case {
    const char* what;
    void (*scene)(CCreature& target, EnemySpells& t);
    bool considered;
  } cases[] = {
      {"enemies about", [](CCreature&, EnemySpells& t) { t.Enemy(18, 10); }, true},
      {"alone", [](CCreature&, EnemySpells&) {}, false},
      {"provoking already",
       [](CCreature& target, EnemySpells& t) {
         t.Enemy(18, 10);
         target.provokeTimer = 50;
       },
       false},
      {"beside a provoker",
       [](CCreature&, EnemySpells& t) {
         t.Enemy(18, 10);
         t.Enemy(15, 10).provokeTimer = 50;
       },
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    g_creatureArray.ForEachInUse([this](CCreature& creature) {
      if (&creature != wizard) creature.Detach();
    });
    CCreature& target = Enemy(14, 10);
    c.scene(target, *this);
    CAIProvokeDecision d;
    const std::vector<int> targets = Targets(d);
    EXPECT_EQ(std::count(targets.begin(), targets.end(), target.index), c.considered ? 1 : 0);
  }
}

TEST_F(EnemySpells, FootprintsTouchWhenTheyOverlapOrMeet) {
  CCreature& a = Enemy(10, 20);
  CCreature& b = Enemy(11, 21);
  EXPECT_TRUE(CAIProvokeDecision::FootprintsTouch(a, b));
  b.cellX = 12;
  EXPECT_FALSE(CAIProvokeDecision::FootprintsTouch(a, b));
  b.cellX = 9, b.cellY = 19;
  EXPECT_TRUE(CAIProvokeDecision::FootprintsTouch(a, b));
  b.level = 2;
  EXPECT_FALSE(CAIProvokeDecision::FootprintsTouch(a, b));
  // Across the map's edge.
  a.cellX = 0, b.cellX = g_map.width - 1, b.cellY = 20, b.level = 0;
  EXPECT_TRUE(CAIProvokeDecision::FootprintsTouch(a, b));
}

TEST_F(EnemySpells, TheSubversionTakesNoWizardAndNothingAtTheControlLimit) {
  CCreature& troop = Enemy(14, 10);
  CCreature& rival = PlaceWizard(2, 15, 12);
  rival.sightingCounters[1] = 1;
  CAISubversionDecision d;
  EXPECT_EQ(Targets(d), (std::vector<int>{troop.index}));
  wizard->behaviour.armyCount = 10;
  EXPECT_TRUE(Targets(d).empty());
  wizard->behaviour.armyCount = 9;
  EXPECT_EQ(Targets(d), (std::vector<int>{troop.index}));
  // The chance of the spell's strength against the creature's resistance, never a division
  // by nothing.
  struct Case {
    int strength, resistance, chance;
  } cases[] = {{50, 50, 50}, {100, 0, 100}, {0, 0, 0}, {0, 40, 0}};
  for (const Case& c : cases) {
    g_spellDefs[54].SpellStrength = c.strength;
    troop.magicResistance = c.resistance;
    EXPECT_EQ(CAISubversionDecision::Chance(troop), c.chance) << c.strength << " " << c.resistance;
  }
  EXPECT_EQ(Targets(d).size(), 1u);
}

}  // namespace
