// The creature pool in the saved game: byte-for-byte round trips of a battle in progress, the
// block sizes the layout fixes, queued orders wrapped into a smaller map, and malformed or
// short blocks refused with the pool as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
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
  // A battle in progress: walkers mid-step, two creatures fighting, a creature dying and
  // bodies in each stage, a wizard with waypoints and carried events.
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
    const int dead3 = Place(5, 2, 24, 5);
    const int dead4 = Place(14, 2, 26, 5);
    const int dying = Place(5, 2, 28, 5);
    C(walker).WalkTo(25, 12, 0);
    C(runner).WalkTo(14, 30, 0);
    C(fighterA).AttackCreature(fighterB);
    C(fighterB).AttackCreature(fighterA);
    C(dead1).AdjustHealth(-10000, -1, nullptr, 1);
    C(dead2).AdjustHealth(-10000, -1, nullptr, 1);
    C(dead3).AdjustHealth(-10000, -1, nullptr, 1);
    C(dead4).AdjustHealth(-10000, -1, nullptr, 1);
    Run(0, 20);  // the first four fall and lie as bodies by frame 24
    C(dying).AdjustHealth(-10000, -1, nullptr, 1);
    Run(20, 24);
    // Bodies in each stage of their fading, and one still falling.
    for (int stage : {1, 2, 3}) {
      CCreature& body = C(stage == 1 ? dead2 : stage == 2 ? dead3 : dead4);
      body.orderState.deathStage = stage;
      body.orderState.bodyCountdown = 10 * stage;
    }
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
  EXPECT_EQ(dead, 5);
  std::vector<int> stages;
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    if (c.health == 0) stages.push_back(c.animState == ANIM_DYING ? -1 : c.orderState.deathStage);
  });
  std::sort(stages.begin(), stages.end());
  EXPECT_EQ(stages, (std::vector<int>{-1, 0, 1, 2, 3}));
  const std::list<int32_t> bodies = g_creatureArray.bodies;
  EXPECT_EQ(bodies.size(), 4u);

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
  // The bodies come back in their order (the list read turned round would save other bytes).
  EXPECT_EQ(g_creatureArray.bodies, bodies);
  // And the battle goes on from there.
  for (int frame = 24; frame < 28; ++frame) {
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
  fighter.mayCastOnAllies = 1;
  const std::vector<uint8_t> saved = Saved();
  const std::vector<uint8_t> named = NamedStates();

  g_creatureArray.ReleaseAll();
  ASSERT_EQ(LoadBytes(saved), static_cast<int>(saved.size()));
  EXPECT_EQ(NamedStates(), named);
  EXPECT_EQ(C(fighter.index).teleportInAir, 1);
  EXPECT_EQ(C(fighter.index).mayCastOnAllies, 1);
  EXPECT_EQ(Saved(), saved);
}

// The wizard's leave to help its allies came after the block's other marks: a battle saved
// before it (the bit clear, the block's size unchanged) loads with the leave withheld, as a
// creature is set up; a bit above the marks is refused (BadOrShortBlocksLeaveThePoolAsItWas).
TEST_F(CreatureSaveTest, ABattleSavedBeforeTheAlliesLeaveLoadsWithoutIt) {
  CCreature& caster = C(Place(3, 1, 10, 10));
  const std::vector<uint8_t> older = Saved();
  caster.mayCastOnAllies = 1;
  const std::vector<uint8_t> newer = Saved();
  ASSERT_EQ(newer.size(), older.size());
  ASSERT_EQ(LoadBytes(older), static_cast<int>(older.size()));
  EXPECT_EQ(C(caster.index).mayCastOnAllies, 0);
  ASSERT_EQ(LoadBytes(newer), static_cast<int>(newer.size()));
  EXPECT_EQ(C(caster.index).mayCastOnAllies, 1);
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

// Each number the reader checks, made one its writer never writes, in the blocks of the
// battle: the field is found by saving once with it changed to another good value (the
// first byte that differs), then the bad value is written there.
TEST_F(CreatureSaveTest, EachCheckedNumberMadeBadIsRefused) {
  Battle();
  const int wizardSlot = g_armyTable.armies[1].wizardCreature;
  ASSERT_EQ(wizardSlot, 0);
  CCreature& w = C(wizardSlot);
  w.spellState = 3;  // writes attachment anim 2's number
  w.attachAnims[0].inUse = 0;
  w.nodeRoute.header[1] = 0;
  const std::vector<uint8_t> good = Saved();
  struct Bad {
    const char* what;
    std::function<void(CCreature&)> change;  // to another good value
    int32_t value;
    bool byte = false;
    size_t after = 0;  // the field this many bytes after the one changed
  };
  const Bad cases[] = {
      {"anim name length", [](CCreature& c) { c.animSet = nullptr; }, 257},
      {"view facing", [](CCreature& c) { c.viewFacing ^= 1; }, 8},
      {"previous facing", [](CCreature& c) { c.previousFacing ^= 1; }, -1},
      {"target", [](CCreature& c) { c.target = 5; }, kCreatureCapacity},
      {"engaged with", [](CCreature& c) { c.engagedWith = 5; }, -2},
      {"taunted by", [](CCreature& c) { c.combat.tauntedBy = 3; }, kCreatureCapacity + 1},
      {"challenger", [](CCreature& c) { c.combat.challenger = 3; }, -1},
      {"blocker", [](CCreature& c) { c.motion.blocker = 3; }, kCreatureCapacity + 1},
      {"pushed by", [](CCreature& c) { c.motion.pushedBy = 3; }, kCreatureCapacity},
      {"goal marker", [](CCreature& c) { c.goalMarker = 7; }, 2000},
      {"falling", [](CCreature& c) { c.falling ^= 1; }, 2, true},
      {"end flight", [](CCreature& c) { c.endFlight ^= 1; }, 2, true},
      {"mirrored", [](CCreature& c) { c.mirrored ^= 1; }, 2, true},
      {"attack approach", [](CCreature& c) { c.attackApproach ^= 1; }, 2, true},
      {"attached object", [](CCreature& c) { c.attachedObject = 3; }, 2, true},
      {"attachment 1 in use", [](CCreature& c) { c.attachAnim1.inUse ^= 1; }, 2, true},
      {"attached effect", [](CCreature& c) { c.attachedEffect = 9; }, 2000},
      {"attachment 2's anim", [](CCreature& c) { c.attachedEffect = 9; }, 256, false, 4},
      {"second attached object", [](CCreature& c) { c.secondAttachedObject = 3; }, 2, true},
      {"attachment 3 in use", [](CCreature& c) { c.attachAnims[0].inUse ^= 1; }, 2},
      {"queued-order count", [](CCreature& c) { c.queuedOrders.entries.pop_back(); }, kMaxQueuedOrders + 1},
      {"queued-order kind", [](CCreature& c) { c.queuedOrders.entries.front().kind = 3; }, 5},
      {"queued-order target", [](CCreature& c) { c.queuedOrders.entries.front().target = 4; }, kCreatureCapacity},
      {"queued-order loop", [](CCreature& c) { c.queuedOrders.entries.front().loopPoint = 1; }, kMaxQueuedOrders},
      {"queued-order marker", [](CCreature& c) { c.queuedOrders.entries.front().markerEffect = 3; }, 2000},
      {"current queued order", [](CCreature& c) { c.queuedOrders.current = 0; }, 2},
      {"queued-order flag", [](CCreature& c) { c.queuedOrders.flag ^= 1; }, 2, true},
      {"followed", [](CCreature& c) { c.followed = 4; }, kCreatureCapacity},
      {"route steps", [](CCreature& c) { c.route.stepCount = 3; }, kCreatureRouteSteps + 1},
      {"route step index", [](CCreature& c) { c.route.stepIndex = 2; }, -1},
      {"advance table", [](CCreature& c) { c.motion.advanceTable = c.motion.advanceTable == 1 ? 2 : 1; }, 48},
      {"node route flag", [](CCreature& c) { c.nodeRoute.header[1] = 1; }, 2},
  };
  const std::vector<uint8_t> live = good;
  for (const Bad& bad : cases) {
    SCOPED_TRACE(bad.what);
    const CCreature kept = w;
    bad.change(w);
    const std::vector<uint8_t> changed = Saved();
    w = kept;
    ASSERT_EQ(Saved(), good);
    const auto differs = std::mismatch(good.begin(), good.end(), changed.begin(), changed.end());
    ASSERT_NE(differs.first, good.end());
    const size_t at = static_cast<size_t>(differs.first - good.begin()) + bad.after;
    std::vector<uint8_t> bytes = good;
    if (bad.byte)
      bytes[at] = static_cast<uint8_t>(bad.value);
    else
      bytes::StoreI32(bytes.data() + at, bad.value);
    EXPECT_EQ(LoadBytes(bytes), -1);
    EXPECT_EQ(Saved(), live);
  }
}

// The pool's own numbers after the blocks, each made bad: counted from the end, the scheduler's
// four counters, the route request, the three counters, the bodies and the King flags.
TEST_F(CreatureSaveTest, EachCheckedNumberOfThePoolMadeBadIsRefused) {
  Battle();
  const std::vector<uint8_t> good = Saved();
  const size_t end = good.size(), counters = end - 16 - 36 - 12;
  const size_t bodies = counters - 4 * g_creatureArray.bodies.size(), bodyCount = bodies - 4;
  const size_t kings = bodyCount - 4 * kCreatureTypes;
  ASSERT_EQ(bytes::LoadI32(&good[bodyCount]), static_cast<int32_t>(g_creatureArray.bodies.size()));
  const int living = g_armyTable.armies[1].wizardCreature;
  struct Bad {
    const char* what;
    size_t offset;
    int32_t value;
  };
  const Bad cases[] = {
      {"King flag", kings + 4 * 7, 2},
      {"body count", bodyCount, kCreatureCapacity + 1},
      {"body count", bodyCount, -1},
      {"a body that lives", bodies, living},
      {"a body of a free slot", bodies + 4, kCreatureCapacity - 1},
      {"a body beyond the pool", bodies, kCreatureCapacity},
      {"selection changed", counters, 2},
      {"high water", counters + 4, kCreatureCapacity + 1},
      {"scheduler cursor", end - 16, -1},
      {"phase 20", end - 12, 20},
      {"visibility phase", end - 8, 10},
      {"phase 90", end - 4, 90},
  };
  for (const Bad& bad : cases) {
    SCOPED_TRACE(bad.what);
    std::vector<uint8_t> bytes = good;
    bytes::StoreI32(bytes.data() + bad.offset, bad.value);
    EXPECT_EQ(LoadBytes(bytes), -1);
    EXPECT_EQ(Saved(), good);
  }
}

// Where a creature's block ends each of its fields, as its writer writes them one by one:
// the end of every write where the size of the writes changes (a run of words cut at its
// first and last), so that names, bytes, player states and each row's edges are all there.
std::vector<size_t> FieldEnds(const CCreature& creature) {
  struct Writes {
    std::vector<size_t> sizes;
  } writes;
  cookie_io_functions_t io{};
  io.write = [](void* cookie, const char*, size_t n) -> ssize_t {
    static_cast<Writes*>(cookie)->sizes.push_back(n);
    return static_cast<ssize_t>(n);
  };
  FILE* out = fopencookie(&writes, "w", io);
  std::setvbuf(out, nullptr, _IONBF, 0);  // every write reaches the cookie as it is made
  creature.Save(out);
  std::fclose(out);
  std::vector<size_t> ends;
  size_t at = 0;
  const std::vector<size_t>& w = writes.sizes;
  for (size_t k = 0; k < w.size(); ++k) {
    at += w[k];
    if (k == 0 || k + 1 == w.size() || w[k] != w[k - 1] || w[k] != w[k + 1]) ends.push_back(at);
  }
  return ends;
}

// A block cut at each field boundary of a wizard's block (its anim name, events, queued
// orders, attachments) and of a body's, or at any word of the pool's own numbers, is refused
// with the pool as it was.
TEST_F(CreatureSaveTest, ABlockCutAtAFieldBoundaryIsRefused) {
  Battle();
  const std::vector<uint8_t> good = Saved();
  ASSERT_EQ(g_armyTable.armies[1].wizardCreature, 0);
  std::vector<size_t> cuts = {0, 2, 4};
  size_t start = 4;
  bool bodyCut = false;
  for (int slot = 0; slot < kCreatureCapacity; ++slot) {
    const CCreature& c = C(slot);
    if (slot == 0 || (c.inUse && c.health == 0 && c.animState == ANIM_DEAD && !bodyCut)) {
      bodyCut = bodyCut || slot > 0;
      for (size_t end : FieldEnds(c)) cuts.push_back(start + end - 1);  // one byte short of each end
      for (size_t end : FieldEnds(c)) cuts.push_back(start + end);
    }
    start += BlockOf(c).size();
  }
  ASSERT_TRUE(bodyCut);
  ASSERT_GT(cuts.size(), 100u);
  for (size_t cut = start; cut < good.size(); cut += 4) cuts.push_back(cut);
  for (size_t cut : cuts) {
    ASSERT_LT(cut, good.size());
    EXPECT_EQ(LoadBytes(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(cut))), -1) << cut;
  }
  EXPECT_EQ(Saved(), good);
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

// Effects whose entries play on two animations: the players' defaults (and any entry not
// named) on one, the named entries on the other, whose steps lie elsewhere.
struct TwoFileEffects : ICreatureEffects {
  CAnimation* small = nullptr;
  CAnimation* large = nullptr;
  std::map<int, int> firsts;  // the entries on the large animation, with their first sequence
  CAnimation* EffectAnimEntry(int entry, int& first) override {
    const auto found = firsts.find(entry);
    first = found == firsts.end() ? 0 : found->second;
    return found == firsts.end() ? small : large;
  }
  CAnimation* GlobalAnim(int number) override {
    int first = 0;
    return EffectAnimEntry(number, first);
  }
};

// Each player a creature's block keeps comes back on the animation play started it on, so
// that its timing fits and it shows the same frames after, whichever entry started it.
TEST_F(CreatureSaveTest, PlayersStartedOnAnotherEntrysAnimationComeBackOnIt) {
  TwoFileEffects effects;
  HookScope<ICreatureEffects> scope{g_creatureEffects, effects};
  CCreature& smallOne = C(Place(3, 1, 10, 10));
  CCreature& largeOne = C(Place(0, 1, 14, 10));
  ASSERT_TRUE(smallOne.animSet && largeOne.animSet);
  // The two animations outlive the creatures they came with.
  const auto keptSmall = smallOne.animSet, keptLarge = largeOne.animSet;
  effects.small = &smallOne.animSet->animation;
  effects.large = &largeOne.animSet->animation;
  constexpr int kFirst = 200;
  ASSERT_NE(effects.small, effects.large);
  ASSERT_GT(effects.large->SequenceCount(), kFirst + 8);
  for (int entry : {36, 35, 47, 90, 91, 37, 96}) effects.firsts[entry] = kFirst;
  g_creatureArray.ReleaseAll();

  struct Case {
    const char* what;
    int entry;
    std::function<CAnimPlayer&(CCreature&)> player;
    std::function<void(CCreature&)> mark;  // what tells play the player runs
  };
  const Case cases[] = {
      {"wait overlay", 36, [](CCreature& c) -> CAnimPlayer& { return c.overlayAnim; }, [](CCreature&) {}},
      {"strike overlay", 35, [](CCreature& c) -> CAnimPlayer& { return c.overlayAnim; }, [](CCreature&) {}},
      {"bane overlay", 47, [](CCreature& c) -> CAnimPlayer& { return c.overlayAnim; }, [](CCreature&) {}},
      {"levitation", 90, [](CCreature& c) -> CAnimPlayer& { return c.attachAnim1.player; },
       [](CCreature& c) { c.attachAnim1.inUse = 1; }},
      {"large levitation", 91, [](CCreature& c) -> CAnimPlayer& { return c.attachAnim1.player; },
       [](CCreature& c) { c.attachAnim1.inUse = 1; }},
      {"reaction", 37, [](CCreature& c) -> CAnimPlayer& { return c.attachAnims[0].player; },
       [](CCreature& c) { c.attachAnims[0].inUse = 1; }},
      {"rising", 96, [](CCreature& c) -> CAnimPlayer& { return c.attachAnims[2].player; },
       [](CCreature& c) { c.attachAnims[2].inUse = 1; }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    CCreature& c = C(Place(5, 1, 20, 20));
    const int slot = c.index;
    CAnimPlayer& started = test.player(c);
    int first = 0;
    started.SetAnimation(effects.EffectAnimEntry(test.entry, first));
    started.Start(first + 3, 0);  // a facing's sequence
    test.mark(c);
    for (int i = 0; i < 5; ++i) started.Advance();
    int32_t timing[CAnimPlayer::kTimingWords];
    started.GetTiming(timing);
    std::vector<int> frames;
    CAnimPlayer ahead = started;
    for (int i = 0; i < 12; ++i, ahead.Advance()) frames.push_back(ahead.frameStep);
    const std::vector<uint8_t> saved = Saved();

    g_creatureArray.ReleaseAll();
    ASSERT_EQ(LoadBytes(saved), static_cast<int>(saved.size()));
    CAnimPlayer& loaded = test.player(C(slot));
    EXPECT_EQ(loaded.animation, effects.large);
    ASSERT_TRUE(loaded.SetTiming(timing));
    EXPECT_EQ(Saved(), saved);
    std::vector<int> loadedFrames;
    for (int i = 0; i < 12; ++i, loaded.Advance()) loadedFrames.push_back(loaded.frameStep);
    EXPECT_EQ(loadedFrames, frames);
    g_creatureArray.ReleaseAll();
  }
}

}  // namespace
