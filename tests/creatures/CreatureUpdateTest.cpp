// The per-frame update: each timed condition runs out in the frame in which it goes from 1
// to 0, with its print and colour effects on the creature's player; dissolving, burning,
// poison, draining and magic resistance act at their periods.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "OrdersWorld.h"
#include "core/Options.h"
#include "creatures/SpellDefinition.h"

namespace creature_test {
namespace {

using Update = OrdersWorld;

bool HasColour(const CPrintFXPlayer& fx, int colour) {
  return std::find(fx.colours, fx.colours + fx.colourCount, colour) != fx.colours + fx.colourCount;
}
bool HasEffect(const CPrintFXPlayer& fx, int effect) {
  return std::find(fx.effects, fx.effects + fx.effectCount, effect) != fx.effects + fx.effectCount;
}

// A countdown: how to start it, and what shows while it runs.
struct Countdown {
  const char* name;
  std::function<void(CCreature&)> start;  // leaves 3 frames to run
  std::function<bool(const CCreature&)> showing;
  bool showsAfter;  // what shows once it ran out
};

TEST_F(Update, CountdownsRunOutFromOneToZeroWithTheirEffects) {
  const std::vector<Countdown> table = {
      {"iron skin", [](CCreature& c) { c.ironSkin = 3, c.printFX.PushColourFX(5); },
       [](const CCreature& c) { return HasColour(c.printFX, 5); }, false},
      {"blood lust", [](CCreature& c) { c.bloodLust = 3, c.printFX.PushColourFX(6); },
       [](const CCreature& c) { return HasColour(c.printFX, 6); }, false},
      {"slow", [](CCreature& c) { c.slow = 3, c.printFX.PushColourFX(1); },
       [](const CCreature& c) { return HasColour(c.printFX, 1); }, false},
      {"print timer 0", [](CCreature& c) { c.orderState.printTimers[0] = 3, c.printFX.PushEffect(4); },
       [](const CCreature& c) { return HasEffect(c.printFX, 4); }, false},
      {"print timer 1", [](CCreature& c) { c.orderState.printTimers[1] = 3, c.printFX.PushEffect(16); },
       [](const CCreature& c) { return HasEffect(c.printFX, 16); }, false},
      {"print timer 2", [](CCreature& c) { c.orderState.printTimers[2] = 3, c.printFX.PushEffect(15); },
       [](const CCreature& c) { return HasEffect(c.printFX, 15); }, false},
      {"print timer 3", [](CCreature& c) { c.orderState.printTimers[3] = 3; },
       [](const CCreature& c) { return !HasEffect(c.printFX, 8); }, false},
      {"haste", [](CCreature& c) { c.haste = 3; }, [](const CCreature& c) { return !c.orderState.looksChanged; },
       false},
      {"earth bind", [](CCreature& c) { c.earthBind = 3, c.orderState.earthBound = 1; },
       [](const CCreature& c) { return c.orderState.earthBound != 0; }, false},
  };
  for (const Countdown& row : table) {
    SCOPED_TRACE(row.name);
    g_creatureArray.ReleaseAll();
    CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
    row.start(brownie);
    std::vector<bool> seen;
    for (int frame = 0; frame < 4; ++frame) {
      Frame();
      seen.push_back(row.showing(brownie));
    }
    EXPECT_EQ(seen, (std::vector<bool>{true, true, row.showsAfter, row.showsAfter}));
  }
}

TEST_F(Update, InvisibilityFadesThroughItsLastTwentyFrames) {
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  brownie.invisible = 22;
  brownie.printFX.PushEffect(3);
  Frame();  // 21
  Frame();  // 20
  EXPECT_TRUE(HasEffect(brownie.printFX, 3));
  Frame();  // at 20: effect 3 gives way to the fading effect 6
  EXPECT_FALSE(HasEffect(brownie.printFX, 3));
  EXPECT_TRUE(HasEffect(brownie.printFX, 6));
  for (int frame = 0; frame < 18; ++frame) Frame();
  EXPECT_EQ(brownie.invisible, 1);
  EXPECT_TRUE(HasEffect(brownie.printFX, 6));
  Frame();
  EXPECT_EQ(brownie.invisible, 0);
  EXPECT_FALSE(HasEffect(brownie.printFX, 6));
}

TEST_F(Update, DissolvingShowsItsEffectAtThirtyAndLeavesAtZero) {
  const int slot = Place(kBrownie, 0, 5, 5);
  C(slot).orderState.dissolve = 40;
  Frame();
  EXPECT_TRUE(effects.spawned.empty());
  Frame();  // 30
  ASSERT_EQ(effects.spawned.size(), 1u);
  EXPECT_EQ(effects.spawned[0].kind, 19);
  for (int frame = 0; frame < 5; ++frame) Frame();
  EXPECT_EQ(C(slot).inUse, 1);
  Frame();  // 0
  EXPECT_EQ(C(slot).inUse, 0);
  EXPECT_EQ(effects.spawned.size(), 1u);
}

TEST_F(Update, BurnPoisonAndDrainActAtTheirPeriods) {
  g_spellDefs[58].Data1 = 3;
  g_creatureTypes[kBrownie].BurnTime = 8;
  g_creatureTypes[kBrownie].BurnDamage = 2;
  CCreature& burning = C(Place(kBrownie, 0, 5, 5));
  burning.Ignite();
  CCreature& poisoned = C(Place(kBrownie, 0, 8, 5));
  poisoned.orderState.poisonPoints = 3;
  CCreature& drained = C(Place(kBrownie, 0, 11, 5));
  g_spellDefs[spell_tuning::kDrain].Duration = 4;
  drained.orderState.drainState = 1;
  g_poisonDelay = 5;

  std::vector<int> burn, poison, drain;
  for (int f = 1; f <= 14; ++f) {
    const int b = burning.health, p = poisoned.health, d = drained.health;
    Frame();
    if (burning.health < b) burn.push_back(f);
    if (poisoned.health < p) poison.push_back(f);
    if (drained.health < d) drain.push_back(f);
  }
  // The burn period counts 3, 2, 1, 0 and burns at 0; the timer of 8 frames ends it.
  EXPECT_EQ(burn, (std::vector<int>{4, 8}));
  // Its light fell a step a burning frame and rises a step a frame after.
  EXPECT_EQ(burning.orderState.lightCounter, -8 + 6);
  // A point of poison when the frame has passed the next poison frame, then PoisonDelay on.
  EXPECT_EQ(poison, (std::vector<int>{1, 7, 13}));
  EXPECT_EQ(poisoned.orderState.poisonPoints, 0);
  EXPECT_EQ(drain, (std::vector<int>{1, 6, 11}));
  for (int f = 0; f < 4; ++f) Frame();
  EXPECT_EQ(burning.orderState.lightCounter, 0);
}

TEST_F(Update, MagicResistanceComesBackAPointAnMRDelay) {
  g_mrDelay = 4;
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  const int full = g_creatureTypes[kBrownie].MagicResist;
  brownie.magicResistance = full - 2;
  std::vector<int> values;
  for (int f = 0; f < 12; ++f) {
    Frame();
    values.push_back(full - brownie.magicResistance);
  }
  EXPECT_EQ(values, (std::vector<int>{1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(Update, ComingDownFromLevitationEndsTheHeldState) {
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  brownie.airborne = 3;
  brownie.Immobilise(100, 1);
  ASSERT_EQ(brownie.airborne, 1);
  Frame();
  EXPECT_EQ(brownie.airborne, 0);
  EXPECT_EQ(brownie.heldKind, 0);
  EXPECT_EQ(brownie.order, ORDER_WAIT);
}

}  // namespace
}  // namespace creature_test
