// The pool's work each battle frame: the scheduler's staggered refreshes and reactions and its
// resumable planning pass, the water, the sighting scan, the number-key groups and the
// slowing cone.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>
#include <vector>

#include "CreatureWorld.h"
#include "core/Options.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"
#include "platform/KeyState.h"

namespace creature_test {
namespace {

constexpr int kSmall = 1;  // 1 x 1, one level

// Records which creature the scheduler asked for what on which frame.
struct RecordingSteps : ICreatureSteps {
  int frame = 0;
  std::vector<std::pair<int, int>> planned, refreshed, reacted;  // (frame, slot)
  std::map<int, int> cost;                                       // budget a slot's planning spends (default 1)
  std::map<int, int> unfinished;    // times a slot's search stops unfinished (setting pending)
  std::map<int, int> stopsQuietly;  // times a slot's step answers 1 without a pending search
  int Plan(CCreature& creature, int& budget) override {
    planned.push_back({frame, creature.index});
    budget -= cost.count(creature.index) ? cost[creature.index] : 1;
    if (unfinished[creature.index] > 0) {
      --unfinished[creature.index];
      g_creatureArray.searchPending = 1;
      return 1;
    }
    if (stopsQuietly[creature.index] > 0) {
      --stopsQuietly[creature.index];
      return 1;
    }
    return 0;
  }
  void Refresh(CCreature& creature) override { refreshed.push_back({frame, creature.index}); }
  void React(CCreature& creature) override { reacted.push_back({frame, creature.index}); }
  std::vector<int> PlannedOn(int f) const {
    std::vector<int> slots;
    for (auto [when, slot] : planned)
      if (when == f) slots.push_back(slot);
    return slots;
  }
};

class Scheduler : public CreatureWorld {
 protected:
  void Think(int frames) {
    for (int n = 0; n < frames; ++n, ++steps.frame) g_creatureArray.ThinkAll();
  }
  RecordingSteps steps;
  HookScope<ICreatureSteps> stepsScope{g_creatureSteps, steps};
};

TEST_F(Scheduler, EachCreatureIsRefreshedOnceIn20FramesAndReactsOnceIn90BySlot) {
  UseArmy(0, true);
  UseArmy(1);
  UseArmy(2);
  for (int n = 0; n < 25; ++n) Place(kSmall, 1, n, 3);  // army 1 has no wizard
  const int local = Place(kSmall, 0, 30, 3);            // slot 25, the local army
  PlaceWizard(2, 32, 3);                                // slot 26
  const int led = Place(kSmall, 2, 34, 3);              // slot 27, led by its wizard
  const int independent = Place(kSmall, 2, 36, 3);      // slot 28
  C(independent).independent = 1;
  Think(180);

  for (int slot = 0; slot <= independent; ++slot) {
    SCOPED_TRACE(slot);
    int refreshes = 0, reactions = 0;
    for (auto [frame, s] : steps.refreshed)
      if (s == slot) {
        ++refreshes;
        EXPECT_EQ(frame % 20, slot % 20);
      }
    for (auto [frame, s] : steps.reacted)
      if (s == slot) {
        ++reactions;
        EXPECT_EQ(frame % 90, slot % 90);
      }
    EXPECT_EQ(refreshes, 9);
    const bool reacts = slot != local && slot != led && slot != 26;
    EXPECT_EQ(reactions, reacts ? 2 : 0);
  }
}

TEST_F(Scheduler, APlanningStepThatStopsUnfinishedGoesFirstNextFrame) {
  for (int n = 0; n < 5; ++n) Place(kSmall, 0, n * 2, 3);
  steps.unfinished[2] = 2;  // two frames of unfinished search
  Think(4);
  EXPECT_EQ(steps.PlannedOn(0), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(steps.PlannedOn(1), (std::vector<int>{2}));
  EXPECT_EQ(steps.PlannedOn(2), (std::vector<int>{2, 3, 4}));  // finished: on to the end of the pass
  EXPECT_EQ(g_creatureArray.searchPending, 0);
  EXPECT_EQ(steps.PlannedOn(3), (std::vector<int>{0, 1, 2, 3, 4}));

  // Without a pending search an unfinished step still ends the pass, after the cursor moved.
  steps.planned.clear();
  steps.stopsQuietly[1] = 1;
  g_creatureArray.schedulerCursor = 0;
  steps.frame = 10;
  Think(2);
  EXPECT_EQ(steps.PlannedOn(10), (std::vector<int>{0, 1}));
  EXPECT_EQ(steps.PlannedOn(11), (std::vector<int>{2, 3, 4}));
}

// Emptying the pool starts the scheduler's turn and phases and the pending request afresh, so
// that a battle plays the same whatever battle ran before it.
TEST_F(Scheduler, EmptyingThePoolStartsTheTurnAndPhasesAfresh) {
  for (int n = 0; n < 5; ++n) Place(kSmall, 0, n * 2, 3);
  steps.unfinished[3] = 5;
  Think(3);
  EXPECT_NE(g_creatureArray.schedulerCursor, 0);
  EXPECT_NE(g_creatureArray.phase20, 0);
  g_creatureArray.searchPending = 1;
  g_creatureArray.routeRequest[0] = 7;
  g_creatureArray.ReleaseAll();
  EXPECT_EQ(g_creatureArray.schedulerCursor, 0);
  EXPECT_EQ(g_creatureArray.phase20, 0);
  EXPECT_EQ(g_creatureArray.phase90, 0);
  EXPECT_EQ(g_creatureArray.visibilityPhase, 0);
  EXPECT_EQ(g_creatureArray.searchPending, 0);
  EXPECT_EQ(g_creatureArray.routeRequest[0], 0);
}

TEST_F(Scheduler, PlanningStopsWhenTheFrameBudgetIsSpentAndWhileTheDebugToggleIsOn) {
  for (int n = 0; n < 6; ++n) Place(kSmall, 0, n * 2, 3);
  for (int n = 0; n < 6; ++n) steps.cost[n] = 30;
  Think(2);
  EXPECT_EQ(steps.PlannedOn(0), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(steps.PlannedOn(1), (std::vector<int>{3, 4, 5}));
  struct Stopped : RecordingBattle {
    bool PlanningStopped() override { return true; }
  } stopped;
  HookScope<ICreatureBattle> scope(g_creatureBattle, stopped);
  Think(1);
  EXPECT_TRUE(steps.PlannedOn(2).empty());
}

TEST_F(Scheduler, WaterDrownsByTheTypesSwimmingAbility) {
  g_map.waterLevel = 4;
  struct Case {
    int swimming, level, height;
    bool roomAbove;
    bool drowns;
  };
  const Case cases[] = {
      {0, 3, 1, true, true},   {0, 3, 2, true, false},  {1, 2, 2, true, true},  {1, 4, 1, true, false},
      {2, 2, 1, true, true},   {2, 3, 1, true, false},  {2, 3, 1, false, true}, {2, 4, 1, false, false},
      {3, 0, 1, false, false}, {7, 0, 1, false, false},
  };
  int x = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "swimming " << c.swimming << " level " << c.level << " height " << c.height
                                    << (c.roomAbove ? " room" : " no room"));
    g_creatureArray.ReleaseAll();
    CCreatureType& type = g_creatureTypes[kSmall];
    type.SwimmingAbility = c.swimming;
    type.TileHeight = c.height;
    x += 2;
    const int slot = Place(kSmall, 0, x, 5, c.level);
    if (!c.roomAbove) Place(kSmall, 1, x, 5, c.level + 1);  // another creature stands above
    const int before = C(slot).health;
    g_creatureArray.ApplyWater();
    EXPECT_EQ(C(slot).health, c.drowns ? before - g_rateOfDrowning : before);
  }
}

TEST_F(Scheduler, TheSightingScanTakesATenthPerFrameAndCountersFallUnlessVisionIsShared) {
  UseArmy(0, true);
  UseArmy(1);
  UseArmy(2);
  // Slots 0-4 and 7 in use: the high-water count is 8 and phase 3 scans slot 3 only.
  for (int n = 0; n < 8; ++n) Place(kSmall, 1, 2 + n * 4, 20);
  C(5).Detach();
  C(6).Detach();
  ASSERT_EQ(g_creatureArray.highWater, 8);
  for (int n : {0, 1, 2, 3, 4, 7}) C(n).sightingCounters[0] = 20;
  g_creatureArray.visibilityPhase = 3;
  g_creatureArray.UpdateVisibility();
  for (int n : {0, 1, 2, 4, 7}) EXPECT_EQ(C(n).sightingCounters[0], 20);
  EXPECT_EQ(C(3).sightingCounters[0], 19);
  EXPECT_EQ(C(3).seenBefore, 1);
  EXPECT_EQ(g_creatureArray.visibilityPhase, 4);

  // An army that shares army 1's vision keeps its counters; the others fall each tenth frame.
  g_armyTable.armies[2].SetAlliance(1, 1);
  g_armyTable.armies[2].SetSharedVision(1, 1);
  C(3).sightingCounters[2] = 7;
  C(3).sightingCounters[0] = 2;
  for (int frame = 0; frame < 30; ++frame) g_creatureArray.UpdateVisibility();
  EXPECT_EQ(C(3).sightingCounters[2], 7);
  EXPECT_EQ(C(3).sightingCounters[0], 0);
  EXPECT_EQ(C(3).sightingCounters[1], kSightingFull);
}

TEST_F(Scheduler, ScannersRefreshWhatTheySeeAndTheLocalPlayerGetsSpotIcons) {
  UseArmy(0, true);
  UseArmy(1);
  UseArmy(2);
  g_armyTable.armies[2].SetAlliance(0, 1);
  g_armyTable.armies[2].SetSharedVision(0, 1);  // army 2 sees what army 0 sees
  const int watcher = Place(kSmall, 0, 10, 10);
  const int near = Place(kSmall, 1, 12, 10);
  const int far = Place(kSmall, 1, 10 + g_creatureTypes[kSmall].ViewRange + 3, 10);
  C(watcher).FaceCell(12, 10);
  ASSERT_EQ(C(watcher).HasLineOfSightTo(C(near)), 1);
  EXPECT_EQ(C(watcher).HasLineOfSightTo(C(far)), 0);
  EXPECT_EQ(C(near).sightingCounters[0], 0);
  g_creatureArray.visibilityPhase = watcher % 10;
  g_creatureArray.UpdateVisibility();
  EXPECT_EQ(C(near).sightingCounters[0], kSightingFull);
  EXPECT_EQ(C(near).spottedBy[0], watcher);
  EXPECT_EQ(C(near).sightingCounters[2], kSightingFull);
  EXPECT_EQ(C(far).sightingCounters[0], 0);
  EXPECT_EQ(battle.spotAdded, (std::vector<int>{near}));

  // Out of sight, the counter runs down and the icon goes.
  C(near).Relocate(30, 30, 0);
  for (int frame = 0; frame < 10 * 31; ++frame) g_creatureArray.UpdateVisibility();
  EXPECT_EQ(C(near).sightingCounters[0], 0);
  EXPECT_EQ(battle.spotRemoved, (std::vector<int>{near}));
}

class Groups : public CreatureWorld {
 protected:
  void SetUp() override {
    CreatureWorld::SetUp();
    platform::SetKeyStateSource([this](int key) { return held.count(key) != 0; });
  }
  void TearDown() override {
    platform::SetKeyStateSource({});
    CreatureWorld::TearDown();
  }
  std::set<int> held;
};

TEST_F(Groups, CtrlGivesTheSelectionAGroupAndTheKeySelectsIt) {
  UseArmy(0, true);
  UseArmy(1);
  const int a = Place(kSmall, 0, 1, 1), b = Place(kSmall, 0, 3, 1), c = Place(kSmall, 0, 5, 1);
  const int enemy = Place(kSmall, 1, 7, 1);
  C(c).group = 3;
  C(enemy).group = 3;
  C(a).Select();
  C(b).Select();
  held = {platform::kKeyControl};
  g_creatureArray.SelectAt(3, 0);
  EXPECT_EQ(C(a).group, 3);
  EXPECT_EQ(C(b).group, 3);
  EXPECT_EQ(C(c).group, -1);     // no longer in group 3
  EXPECT_EQ(C(enemy).group, 3);  // another army's creature is left alone

  // The key alone: the group is selected, the others deselected.
  held.clear();
  C(c).group = 4;
  C(a).Deselect();
  C(c).Select();
  g_creatureArray.selectionChanged = 0;
  g_creatureArray.SelectAt(3, 0);
  EXPECT_EQ(C(a).selected + C(b).selected, 2);
  EXPECT_EQ(C(c).selected, 0);
  EXPECT_EQ(C(enemy).selected, 0);
  EXPECT_EQ(g_creatureArray.selectionChanged, 1);

  // With Shift the rest of the selection stays.
  g_creatureArray.SelectAt(4, 0);  // c alone
  held = {platform::kKeyShift};
  g_creatureArray.SelectAt(3, 0);
  EXPECT_EQ(C(a).selected + C(b).selected + C(c).selected, 3);
  EXPECT_EQ(g_selectionCount, 3);

  // Clicking a grouped creature selects its group.
  held.clear();
  g_creatureArray.SelectAt(9, 0);  // nobody: everyone deselected
  EXPECT_EQ(g_selectionCount, 0);
  g_creatureArray.SelectGroup(C(a));
  EXPECT_EQ(C(a).selected + C(b).selected, 2);
  EXPECT_EQ(C(c).selected, 0);
}

TEST_F(Groups, TheViewCentresOnAGroupAlreadySelectedOrWhenAsked) {
  struct Focus : RecordingBattle {
    int focused = 0;
    void CycleCreatureFocus() override { ++focused; }
  } focus;
  HookScope<ICreatureBattle> scope(g_creatureBattle, focus);
  UseArmy(0, true);
  const int a = Place(kSmall, 0, 1, 1);
  C(a).group = 2;
  g_creatureArray.SelectAt(2, 0);  // newly selected: no centring
  EXPECT_EQ(focus.focused, 0);
  g_creatureArray.SelectAt(2, 0);  // pressed again: centred
  EXPECT_EQ(focus.focused, 1);
  g_creatureArray.SelectAt(5, 1);  // an empty group: nothing to centre on
  EXPECT_EQ(focus.focused, 1);
  g_creatureArray.SelectAt(2, 1);
  EXPECT_EQ(focus.focused, 2);
}

TEST_F(Scheduler, SlowInConeReachesSixtyDegreesNotBehindAndAcrossTheSeam) {
  g_creatureTypes[kSmall].TileHeight = 1;
  const int duration = g_spellDefs[68].Duration;
  ASSERT_GT(duration, 0);
  // From (20, 20, 0) toward (1, 1, 0): (1, 0) two levels up lies at exactly 60 degrees.
  const int edge = Place(kSmall, 0, 21, 20, 2);
  const int outside = Place(kSmall, 0, 22, 19, 0);  // 72 degrees off
  const int behind = Place(kSmall, 0, 19, 19, 0);
  const int origin = Place(kSmall, 0, 20, 20, 0);
  // Across the seam: from the last column, facing east, column 1 lies ahead.
  const int seam = Place(kSmall, 0, 1, 30, 0);
  const int wrongSide = Place(kSmall, 0, 45, 30, 0);
  g_creatureArray.SlowInCone(20, 20, 0, 1, 1, 0, 5);
  g_creatureArray.SlowInCone(47, 30, 0, 1, 0, 0, 5);
  EXPECT_EQ(C(edge).slow, duration);
  EXPECT_EQ(C(outside).slow, 0);
  EXPECT_EQ(C(behind).slow, 0);
  EXPECT_EQ(C(origin).slow, 0);
  EXPECT_EQ(C(seam).slow, duration);
  EXPECT_EQ(C(wrongSide).slow, 0);
  EXPECT_EQ(C(edge).haste, 0);

  // Out of range: the square of the distance over 1024 beyond the range squared.
  const int distant = Place(kSmall, 0, 30, 30, 0);
  g_creatureArray.SlowInCone(20, 20, 0, 1, 1, 0, 14);
  EXPECT_EQ(C(distant).slow, 0);
  g_creatureArray.SlowInCone(20, 20, 0, 1, 1, 0, 15);
  EXPECT_EQ(C(distant).slow, duration);
}

}  // namespace
}  // namespace creature_test
