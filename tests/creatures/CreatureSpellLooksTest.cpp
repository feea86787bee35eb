// What spells leave on a creature: the spell-held states with their refusals and overlays, the
// primed burst with its ticking sound and wasting, the reaction to an effect, the levitation
// overlay whose event lifts the creature, and the body synced to its standing pose.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "OrdersWorld.h"
#include "creatures/SpellDefinition.h"

namespace creature_test {
namespace {

// Effects whose animation entries are all one animation (a creature's own), starting at
// sequence 0, and which note the effects ended.
struct EntryEffects : RecordingEffects {
  CAnimation* animation = nullptr;
  std::map<int, int> firsts;  // an entry's first sequence, 0 when not given
  std::vector<int> entries, deactivated;
  CAnimation* EffectAnimEntry(int entry, int& first) override {
    entries.push_back(entry);
    first = firsts.count(entry) ? firsts[entry] : 0;
    return animation;
  }
  void Deactivate(int effect) override { deactivated.push_back(effect); }
  std::vector<std::pair<int, int>> armies;  // effect, army
  void SetEffectArmy(int effect, int army) override { armies.emplace_back(effect, army); }
};

class SpellLooks : public OrdersWorld {
 protected:
  EntryEffects entries;
  HookScope<ICreatureEffects> entriesScope{g_creatureEffects, entries};
  // A creature whose own animation stands in for the overlays.
  CCreature& Creature(int type, int x = 10, int y = 10) {
    CCreature& c = C(Place(type, 0, x, y));
    entries.animation = &c.animSet->animation;
    return c;
  }
};

TEST_F(SpellLooks, SpellHeldStatesChangeOneForAnother) {
  CCreature& griffin = Creature(kGriffin, 20, 20);
  EXPECT_EQ(griffin.SetSpellState(3, -1), 0);  // a flyer needs no spell to fly
  EXPECT_EQ(griffin.spellState, 0);

  CCreature& c = Creature(kBrownie);
  c.strength.dirty = 0;
  EXPECT_EQ(c.SetSpellState(1, -1), 1);
  EXPECT_TRUE(c.overlayAnim.playing);
  EXPECT_EQ(entries.entries.back(), 36);
  EXPECT_EQ(c.strength.dirty, 1);
  EXPECT_EQ(c.SetSpellState(1, -1), 0);  // no change

  EXPECT_EQ(c.SetSpellState(2, 7), 1);
  EXPECT_FALSE(c.overlayAnim.playing);
  EXPECT_EQ(c.attachedEffect, 7);

  EXPECT_EQ(c.SetSpellState(3, -1), 1);
  EXPECT_EQ(entries.deactivated, std::vector<int>{7});
  EXPECT_EQ(c.attachedEffect, -1);
  EXPECT_EQ(c.orderState.flightCounter, g_spellDefs[spell_tuning::kFlight].Duration);
  EXPECT_EQ(c.mayFly, 1);
  EXPECT_TRUE(c.CanFlyNow());
  EXPECT_TRUE(c.attachAnim2.playing);
  EXPECT_EQ(entries.entries.back(), 22);

  c.orderState.flying = 1;  // up in the air: the flight holds
  EXPECT_EQ(c.SetSpellState(0, -1), 0);
  c.orderState.flying = 0;
  EXPECT_EQ(c.SetSpellState(0, -1), 1);
  EXPECT_EQ(c.mayFly, 0);
  EXPECT_FALSE(c.attachAnim2.playing);
  EXPECT_FALSE(c.CanFlyNow());
}

TEST_F(SpellLooks, AnEffectHeldWithACreatureChangesSidesWithItAndEndsWhenItLeavesPlay) {
  CCreature& c = Creature(kBrownie);
  ASSERT_EQ(c.SetSpellState(2, 9), 1);
  c.ChangeOwner(1);
  EXPECT_EQ(entries.armies, (std::vector<std::pair<int, int>>{{9, 1}}));
  c.Remove();
  EXPECT_EQ(entries.deactivated, std::vector<int>{9});
  EXPECT_EQ(c.spellState, 0);
  EXPECT_EQ(c.attachedEffect, -1);
}

TEST_F(SpellLooks, ASpellFlightRunningOutEndsWithTheLanding) {
  CCreature& c = Creature(kBrownie);
  ASSERT_EQ(c.SetSpellState(3, -1), 1);
  const int health = c.health;
  c.orderState.fallFlag = 1;  // its time ran out in the air
  c.falling = 1;
  c.LandAtStepEnd();
  EXPECT_EQ(c.spellState, 0);
  EXPECT_EQ(c.mayFly, 0);
  EXPECT_EQ(c.health, health - g_spellDefs[spell_tuning::kFallDamage].Damage);
}

TEST_F(SpellLooks, ASpellFlightThatRunsOutInTheAirDissolvesOnce) {
  CCreature& c = Creature(kBrownie);
  ASSERT_EQ(c.SetSpellState(3, -1), 1);
  c.orderState.flying = 1;
  c.orderState.flightCounter = 1;  // runs out in the next frame
  for (int frame = 0; frame < 5; ++frame) Frame();
  const auto dissolved = std::count_if(entries.spawned.begin(), entries.spawned.end(),
                                       [](const RecordingEffects::Spawned& s) { return s.kind == 19; });
  EXPECT_EQ(dissolved, 1);
  EXPECT_EQ(std::count(sounds.played.begin(), sounds.played.end(), "sound 753"), 1);
}

TEST_F(SpellLooks, APrimedCreatureTicksOnceWastesAwayAndBurstsByItsHealth) {
  CCreature& c = Creature(kBrownie);
  const int health = c.health;
  c.StartSpellSound();
  c.StartSpellSound();
  EXPECT_EQ(std::count(sounds.played.begin(), sounds.played.end(), "sound 719"), 1);
  EXPECT_EQ(c.combat.blastValue, health);
  const int period = g_spellDefs[spell_tuning::kDrain].Duration;
  for (int frame = 0; frame <= period; ++frame) Frame();
  EXPECT_EQ(c.health, health - 1);
  // It bursts on death: out of play at once, with no body left.
  c.AdjustHealth(-c.health, -1, nullptr, 1);
  EXPECT_FALSE(c.inUse);
}

TEST_F(SpellLooks, ACreatureReachedByAnEffectCriesOutAndWinces) {
  struct Case {
    const char* name;
    int type;
    bool reacts;
  };
  const Case cases[] = {{"a brownie", kBrownie, true}, {"a wizard", 0, false}, {"the static type", kStatic, false}};
  entries.firsts[37] = creature_anim::kDying;  // a sequence that ends
  int x = 5, brownie = -1;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    sounds.played.clear();
    CCreature& c = Creature(k.type, x += 6, 10);
    if (k.type == kBrownie) brownie = c.index;
    c.PlayEffectReaction();
    EXPECT_EQ(sounds.played == std::vector<std::string>{"sound 743"}, k.reacts);
    EXPECT_EQ(c.attachAnims[0].inUse != 0, k.reacts);
    if (k.reacts) EXPECT_EQ(entries.entries.back(), 37);
  }
  // The wince plays out under the creature's update.
  CCreature& c = C(brownie);
  for (int frame = 0; frame < 400 && c.attachAnims[0].inUse; ++frame) Frame();
  EXPECT_EQ(c.attachAnims[0].inUse, 0);
}

TEST_F(SpellLooks, TheLevitationOverlayLiftsTheCreatureAtItsEvent) {
  CCreature& c = Creature(kBrownie);
  c.ShowSpellOverlay();
  EXPECT_EQ(entries.entries.back(), 90);
  ASSERT_EQ(c.attachAnim1.inUse, 1);
  for (int frame = 0; frame < 400 && c.airborne == 0; ++frame) Frame();
  EXPECT_GT(c.airborne, 0);

  // A troll is two tiles wide; one levitating already has its time renewed instead.
  CCreature& troll = Creature(kTroll, 30, 30);
  troll.ShowSpellOverlay();
  EXPECT_EQ(entries.entries.back(), 91);
  const size_t asked = entries.entries.size();
  c.ShowSpellOverlay();
  EXPECT_EQ(entries.entries.size(), asked);
  EXPECT_EQ(c.airborne, g_spellDefs[spell_tuning::kLevitate].Duration / std::max(c.magicResistance, 1));
}

TEST_F(SpellLooks, TheBodySyncsToItsStandingPose) {
  CCreature& c = Creature(kBrownie);
  c.bodyAnim.Stop();
  const int frame = c.SyncAnimFrame();
  EXPECT_EQ(c.animationBase, creature_anim::kStand);
  EXPECT_TRUE(c.bodyAnim.playing);
  EXPECT_GE(frame, 0);
  EXPECT_EQ(c.SyncedFrame(), frame);
  EXPECT_EQ(frame, c.bodyAnim.CurrentFrame());
}

}  // namespace
}  // namespace creature_test
