// Raising creatures as undead: a living creature turns at once; a body starts its rising
// animation and gets up for the raising army at its event, weaker the further it decayed;
// a filled column keeps a body down and takes a living creature off the map.
#include <gtest/gtest.h>

#include "OrdersWorld.h"
#include "core/Options.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"
#include "map/MapCell.h"

namespace creature_test {
namespace {

// Effects that answer the rising animation with the animation given.
struct RisingEffects : RecordingEffects {
  CAnimation* rising = nullptr;
  int first = 0;  // the entry's first sequence
  CAnimation* EffectAnimEntry(int entry, int& firstSequence) override {
    firstSequence = first;
    return entry == 96 ? rising : nullptr;
  }
};

class Raise : public OrdersWorld {
 protected:
  void SetUp() override {
    OrdersWorld::SetUp();
    UseArmy(2);
    saved_ = g_spellDefs[spell_tuning::kRaiseDead];
    g_spellDefs[spell_tuning::kRaiseDead].Data1 = 50;
  }
  void TearDown() override {
    g_spellDefs[spell_tuning::kRaiseDead] = saved_;
    OrdersWorld::TearDown();
  }
  // Kills the creature and runs frames until its body lies in the stage asked for.
  void KillToStage(CCreature& c, int stage) {
    c.AdjustHealth(-c.health, -1, nullptr, 1);
    for (int frame = 0; frame < 2000 && !(c.animState == ANIM_DEAD && c.orderState.deathStage == stage); ++frame)
      Frame();
    ASSERT_EQ(c.animState, ANIM_DEAD);
    ASSERT_EQ(c.orderState.deathStage, stage);
  }
  CSpellDefinition saved_{};
};

TEST_F(Raise, ALivingCreatureTurnsUndeadAtOnce) {
  CCreature& c = C(Place(kBrownie, 0, 10, 10));
  c.health = 40;
  EXPECT_EQ(c.RaiseAsUndead(2), 1);
  EXPECT_EQ(c.undead, 1);
  EXPECT_EQ(c.combat.raised, 1);
  EXPECT_EQ(c.army, 0);  // a living creature keeps its army
  EXPECT_EQ(c.health, 20);
  EXPECT_EQ(c.animState, ANIM_RISING);
  EXPECT_EQ(c.printFX.GetCurrentEffect(), 3);
  // Raised again: no second look, and at least 1 health is left.
  c.health = 1;
  EXPECT_EQ(c.RaiseAsUndead(2), 1);
  EXPECT_EQ(c.health, 1);
}

TEST_F(Raise, ABodyGetsUpWeakerTheFurtherItDecayed) {
  g_creatureDieTime = 30;
  const int typeHealth = g_creatureTypes[kBrownie].Health;
  // Data1 50 loses a quarter of itself (12) per stage.
  const int percents[4] = {50, 38, 26, 14};
  for (int stage = 0; stage < 4; ++stage) {
    SCOPED_TRACE(stage);
    g_creatureArray.ReleaseAll();
    CCreature& c = C(Place(kBrownie, 0, 10, 10));
    ASSERT_NO_FATAL_FAILURE(KillToStage(c, stage));
    const CMapCell& cell = g_map.CellAt(10, 10, 0);
    EXPECT_NE(cell.occupant, c.index);
    // Without its rising animation loaded the body gets up at once.
    EXPECT_EQ(c.RaiseAsUndead(2), 1);
    EXPECT_EQ(c.army, 2);
    EXPECT_TRUE(c.IsAlive());
    EXPECT_EQ(c.health, percents[stage] * typeHealth / 100);
    EXPECT_EQ(c.undead, 1);
    EXPECT_EQ(c.order, ORDER_WAIT);
    EXPECT_EQ(c.animState, ANIM_RISING);
    EXPECT_EQ(c.orderState.deathStage, 0);
    EXPECT_EQ(c.sightingCounters[2], kSightingFull);
    EXPECT_EQ(c.sightingCounters[0], 0);
    EXPECT_EQ(cell.occupant, c.index);
    EXPECT_FALSE(g_creatureArray.HasBodyAt(10, 10, 0));
    // It lives on: the rising plays out and it waits; its body does not decay further.
    for (int frame = 0; frame < 200; ++frame) Frame();
    EXPECT_TRUE(c.inUse);
    EXPECT_EQ(c.order, ORDER_WAIT);
    EXPECT_EQ(c.animState, ANIM_WAIT);
  }
}

TEST_F(Raise, ABodyPlaysItsRisingAnimationFirst) {
  RisingEffects rising;
  HookScope<ICreatureEffects> scope{g_creatureEffects, rising};
  CCreature& c = C(Place(kBrownie, 0, 10, 10));
  rising.rising = &c.animSet->animation;
  rising.first = 2;
  ASSERT_NO_FATAL_FAILURE(KillToStage(c, 0));
  EXPECT_EQ(c.RaiseAsUndead(2), 1);
  EXPECT_EQ(c.attachAnims[2].inUse, 1);
  EXPECT_EQ(c.attachAnims[2].player.sequence, 2);  // the entry's own sequence of the shared file
  EXPECT_EQ(c.army, 2);  // it already belongs to the raising army
  EXPECT_FALSE(c.IsAlive());
  // The update calls again when the animation reaches its event, with the creature's army.
  EXPECT_EQ(c.RaiseAsUndead(c.army), 1);
  EXPECT_TRUE(c.IsAlive());
  EXPECT_EQ(c.health, 50 * g_creatureTypes[kBrownie].Health / 100);
}

TEST_F(Raise, AFilledColumnKeepsABodyDownAndTakesALivingCreatureOff) {
  CCreature& body = C(Place(kBrownie, 0, 10, 10));
  ASSERT_NO_FATAL_FAILURE(KillToStage(body, 0));
  const int stander = Place(kBrownie, 1, 10, 10);  // stands on the body's cell
  ASSERT_EQ(g_map.CellAt(10, 10, 0).occupant, stander);
  EXPECT_EQ(body.RaiseAsUndead(2), 0);
  EXPECT_FALSE(body.IsAlive());
  EXPECT_EQ(body.army, 0);
  EXPECT_EQ(body.undead, 0);

  CCreature& living = C(Place(kBrownie, 0, 20, 10));
  g_map.CellAt(20, 10, 0).occupant = static_cast<uint16_t>(stander);  // another creature's mark
  g_map.CellAt(20, 10, 0).state |= state_bits::kLiquid;
  EXPECT_EQ(living.RaiseAsUndead(2), 0);
  EXPECT_EQ(living.inUse, 0);
}

}  // namespace
}  // namespace creature_test
