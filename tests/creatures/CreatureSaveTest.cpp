// The creature pool in the saved game: byte-for-byte round trips of a battle in progress, the
// block sizes the layout fixes, queued orders wrapped into a smaller map, and malformed or
// short blocks refused with the pool as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "CreatureWorld.h"
#include "creatures/CreatureHooks.h"
#include "creatures/WizardTable.h"
#include "map/Map.h"
#include "support/SavedBlock.h"

namespace {

std::vector<uint8_t> Saved() { return testing_support::SavedBytes(g_creatureArray); }

int LoadBytes(std::vector<uint8_t> bytes) { return testing_support::LoadFromBytes(g_creatureArray, std::move(bytes)); }

// The named state of every slot (plain words, compared as bytes): what the orders, combat,
// movement and behaviour rules keep besides the record's own fields.
struct NamedState {
  CCreatureOrderState orderState;
  CCreatureCombatState combat;
  CCreatureMotion motion;
  CCreatureBehaviourState behaviour;
  int32_t attackBonus;  // the rest of the strength estimate is made again from the creature
};
std::vector<uint8_t> NamedStates() {
  std::vector<uint8_t> bytes;
  for (int slot = 0; slot < kCreatureCapacity; ++slot) {
    const CCreature& c = *g_creatureArray.At(slot);
    if (!c.inUse) continue;
    NamedState state{c.orderState, c.combat, c.motion, c.behaviour, c.strength.attackBonus};
    const auto* raw = reinterpret_cast<const uint8_t*>(&state);
    bytes.insert(bytes.end(), raw, raw + sizeof state);
  }
  return bytes;
}

// The bytes of one creature's block alone.
std::vector<uint8_t> BlockOf(const CCreature& creature) {
  return testing_support::WrittenBytes([&](FILE* out) { creature.Save(out); });
}

class CreatureSaveTest : public creature_test::WizardWorld {
 protected:
  void TearDown() override {
    // A loaded block set the scheduler's counters; the next tests start from a fresh pool's.
    g_creatureArray.schedulerCursor = g_creatureArray.phase20 = g_creatureArray.phase90 = 0;
    g_creatureArray.visibilityPhase = g_creatureArray.selectionChanged = 0;
    WizardWorld::TearDown();
  }
  // A battle in progress: walkers mid-step, two creatures fighting, bodies at different
  // stages, a wizard with waypoints and carried events.
  void Battle() {
    CWizard& wizard = g_wizardTable.records[0];
    wizard.inUse = 1;
    std::snprintf(wizard.name, kWizardNameSize, "Edric");
    std::snprintf(wizard.animFile, kWizardAnimNameSize, "wizard3");
    ASSERT_EQ(wizard.SpawnCreature(1, 6, 6, 0), 1);
    CCreature& w = C(g_armyTable.armies[1].wizardCreature);
    w.AddEvent(30, 1, 2, 3, 4, 0);
    w.AddEvent(41, 5, 6, 7, 8, 0);
    w.queuedOrders.entries.push_back(CQueuedOrder{20, 21, 0, 2, -1});
    w.queuedOrders.entries.push_back(CQueuedOrder{40, 30, 0, 2, -1});
    w.queuedOrders.current = 1;
    w.queuedOrders.count = 2;
    const int walker = Place(3, 1, 10, 10);
    const int runner = Place(8, 1, 12, 14);
    const int fighterA = Place(2, 1, 30, 30);
    const int fighterB = Place(11, 2, 31, 30);
    const int dead1 = Place(5, 2, 20, 5);
    const int dead2 = Place(14, 2, 22, 5);
    C(walker).WalkTo(25, 12, 0);
    C(runner).WalkTo(14, 30, 0);
    C(fighterA).AttackCreature(fighterB);
    C(fighterB).AttackCreature(fighterA);
    C(dead1).AdjustHealth(-10000, -1, nullptr, 1);
    C(dead2).AdjustHealth(-10000, -1, nullptr, 1);
    Run(0, 12);
  }
  void Run(int from, int to) {
    for (int frame = from; frame < to; ++frame) {
      battle.frame = frame;
      g_creatureArray.ForEachInUse([](CCreature& c) { c.Update(); });
      g_creatureArray.ThinkAll();
    }
  }
};

TEST_F(CreatureSaveTest, AnEmptyPoolAndFreeSlotsHaveTheirSizes) {
  const std::vector<uint8_t> bytes = Saved();
  EXPECT_EQ(bytes.size(), 4u + 8u * kCreatureCapacity + 4u * kCreatureTypes + 4u + 12u + 36u + 16u);
  EXPECT_EQ(BlockOf(*g_creatureArray.At(5)).size(), 8u);
  ASSERT_EQ(LoadBytes(bytes), static_cast<int>(bytes.size()));
  EXPECT_EQ(Saved(), bytes);
}

TEST_F(CreatureSaveTest, ABattleInProgressComesBackByteForByte) {
  Battle();
  const std::vector<uint8_t> first = Saved();
  const int wizardSlot = g_armyTable.armies[1].wizardCreature;
  ASSERT_GE(wizardSlot, 0);
  int walking = 0, dead = 0;
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    walking += c.Walking() != 0 || c.midStep != 0;
    dead += c.health == 0;
  });
  EXPECT_GT(walking, 0);
  EXPECT_EQ(dead, 2);
  const std::list<int32_t> bodies = g_creatureArray.bodies;

  g_creatureArray.ReleaseAll();
  ASSERT_EQ(LoadBytes(first), static_cast<int>(first.size()));
  EXPECT_EQ(Saved(), first);
  const CCreature& w = C(wizardSlot);
  EXPECT_EQ(w.typeNumber, 0);
  ASSERT_NE(w.animSet, nullptr);
  EXPECT_STREQ(w.animSet->animation.Path(), "creatures\\wizard3.ani");
  EXPECT_EQ(w.queuedOrders.entries.size(), 2u);
  EXPECT_EQ(w.queuedOrders.current, 1);
  EXPECT_EQ(w.eventCount, 2);
  // The bodies list comes back the other way round.
  EXPECT_EQ(g_creatureArray.bodies, std::list<int32_t>(bodies.rbegin(), bodies.rend()));
  // And the battle goes on from there.
  for (int frame = 12; frame < 16; ++frame) {
    battle.frame = frame;
    g_creatureArray.ForEachInUse([](CCreature& c) { c.Update(); });
  }
}

// The state the rules keep in named fields rides in the block's unnamed words: a loaded pool
// holds it all.
TEST_F(CreatureSaveTest, TheNamedStateComesBackWhole) {
  Battle();
  // A few of the named words the battle so far has not set.
  CCreature& fighter = C(g_armyTable.armies[1].wizardCreature);
  fighter.orderState.poisonPoints = 3;
  fighter.orderState.nextPoisonFrame = 20;
  fighter.combat.shielded = 40;
  fighter.motion.bargeMark = 1;
  fighter.behaviour.stay = 1;
  fighter.teleportInAir = 1;
  const std::vector<uint8_t> saved = Saved();
  const std::vector<uint8_t> named = NamedStates();

  g_creatureArray.ReleaseAll();
  ASSERT_EQ(LoadBytes(saved), static_cast<int>(saved.size()));
  EXPECT_EQ(NamedStates(), named);
  EXPECT_EQ(C(fighter.index).teleportInAir, 1);
  EXPECT_EQ(Saved(), saved);
}

TEST_F(CreatureSaveTest, WritesWhatEachKindOfCreatureHas) {
  const int living = Place(3, 1, 10, 10);
  const std::vector<uint8_t> alive = BlockOf(C(living));
  C(living).health = 0;
  EXPECT_EQ(BlockOf(C(living)).size(), alive.size() + 12);  // the dead-state values
  C(living).health = 5;
  C(living).queuedOrders.entries.push_back(CQueuedOrder{1, 2, 0, 2, -1});
  EXPECT_EQ(BlockOf(C(living)).size(), alive.size() + 36 + 4);  // the entry and the current position
  C(living).queuedOrders.Clear();
  C(living).spellState = 3;
  EXPECT_EQ(BlockOf(C(living)).size(), alive.size() + 4 + 4);  // anim number, player without anim
  C(living).spellState = 2;
  EXPECT_EQ(BlockOf(C(living)).size(), alive.size());
}

TEST_F(CreatureSaveTest, QueuedOrdersOfALargerMapWrapIntoThisOne) {
  const int slot = Place(3, 1, 10, 10);
  C(slot).queuedOrders.entries.push_back(CQueuedOrder{60, 50, 0, 2, -1});
  C(slot).queuedOrders.current = 0;
  const std::vector<uint8_t> bytes = Saved();
  ASSERT_EQ(LoadBytes(bytes), static_cast<int>(bytes.size()));
  const CQueuedOrder& entry = C(slot).queuedOrders.entries.front();
  EXPECT_EQ(entry.x, 60 - g_map.width);
  EXPECT_EQ(entry.y, 50 - g_map.height);
}

TEST_F(CreatureSaveTest, BadOrShortBlocksLeaveThePoolAsItWas) {
  const int slot = Place(3, 1, 10, 10);  // slot 0: a block at byte 4
  ASSERT_EQ(slot, 0);
  Place(11, 2, 20, 20);
  const std::vector<uint8_t> good = Saved();
  const std::vector<uint8_t> live = good;
  const size_t b = 4;
  struct Bad {
    const char* what;
    size_t offset;
    int32_t value;
  };
  // Offsets in the block of a living creature of an ordinary type whose overlay has no anim.
  const Bad cases[] = {
      {"count", 0, 99},
      {"index", b, 1},
      {"in use", b + 4, 2},
      {"spotter", b + 72, 100},
      {"type", b + 144, 28},
      {"player", b + 148, 9999},
      {"health", b + 168, -1},
      {"step kind", b + 200, 6},
      {"level", b + 216, 3},
      {"army", b + 248, 8},
      {"event count", b + 252, 21},
      {"event active", b + 256 + 20, 2},
      {"spell count", b + 736, 31},
      {"selected spell", b + 860, 30},
      {"order", b + 864, 17},
      {"pending order", b + 868, -1},
      {"anim state", b + 872, 26},
      {"facing", b + 876, 8},
      {"missile attacker", b + 908, -1},
      {"engaged by", b + 960, kCreatureCapacity + 1},
      {"engaged count", b + 968, -1},
      {"marks", b + BlockOf(C(0)).size() - 4, 1 << 26},
  };
  for (const Bad& bad : cases) {
    SCOPED_TRACE(bad.what);
    std::vector<uint8_t> bytes = good;
    bytes::StoreI32(bytes.data() + bad.offset, bad.value);
    EXPECT_EQ(LoadBytes(bytes), -1);
    EXPECT_EQ(Saved(), live);
  }
  const size_t blockSize = BlockOf(C(0)).size();
  for (size_t cut = 0; cut <= b + blockSize; cut += 4) {
    EXPECT_EQ(LoadBytes(std::vector<uint8_t>(good.begin(), good.begin() + cut)), -1) << cut;
  }
  EXPECT_EQ(LoadBytes(std::vector<uint8_t>(good.begin(), good.end() - 1)), -1);
  EXPECT_EQ(Saved(), live);
}

}  // namespace
