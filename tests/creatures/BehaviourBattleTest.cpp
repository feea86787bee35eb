// Two armies of mixed creatures, no wizards and no player, placed apart within sight and
// given no orders: their own behaviour brings them together and they fight until one side
// has no living creature. The battle frame runs as the battle runs it. One seed gives one
// course, frame by frame (the digest of every creature record and of the battle's generator),
// in this process and in a second one; another seed gives another course.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "WalkWorld.h"
#include "core/Options.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"

namespace creature_test {
namespace {

constexpr int kFrameBound = 6000;
constexpr const char* kDigestFileVariable = "VRASK_BEHAVIOUR_DIGESTS";

// Walkers and a flier on each side, none with a missile; the forged FearHate of every pair is
// positive both ways, so they seek each other out.
constexpr int kArmyTypes[2][4] = {{5, 7, 5, 4}, {11, 14, 11, 6}};

class BehaviourBattle : public WalkWorld {
 protected:
  void SetUp() override {
    WalkWorld::SetUp();
    BuildPathNetwork();
    g_armyTable.ResetAll();  // no local army, no wizard
    UseArmy(0);
    UseArmy(1);
    g_creatureDieTime = 30;
  }

  static void Mix(uint64_t& hash, const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
      hash ^= bytes[i];
      hash *= 1099511628211ull;
    }
  }
  template <class T>
  static void MixValue(uint64_t& hash, const T& value) {
    Mix(hash, &value, sizeof value);
  }

  // Every plain part of every record, and the generator.
  static uint64_t Digest() {
    uint64_t hash = 1469598103934665603ull;
    g_creatureArray.ForEachInUse([&](CCreature& c) {
      for (int32_t v : {c.index,        c.cellX,       c.cellY,
                        c.level,        c.unitX,       c.unitY,
                        c.unitZ,        c.health,      c.order,
                        c.pendingOrder, c.animState,   c.behaviourSubState,
                        c.target,       c.engagedWith, c.facing,
                        c.experience,   c.rank,        c.midStep,
                        c.airborne,     c.stepSpeed,   c.bodyAnim.frameStep})
        MixValue(hash, v);
      MixValue(hash, c.sightingCounters);
      MixValue(hash, c.attack);
      MixValue(hash, c.orderState);
      MixValue(hash, c.combat);
      MixValue(hash, c.motion);
      MixValue(hash, c.strength);
      MixValue(hash, c.behaviour);
      MixValue(hash, c.route);
      MixValue(hash, c.movement);
    });
    CRandom copy = g_battleRandom;
    const uint32_t next = copy.Next();
    MixValue(hash, next);
    return hash;
  }

  static int Living(int army) {
    int n = 0;
    g_creatureArray.ForEachInUse([&](CCreature& c) { n += c.army == army && c.IsAlive(); });
    return n;
  }

  // The creatures' part of a battle frame, in the battle's order.
  static void BattleFrame(RecordingBattle& battle) {
    ++battle.frame;
    g_creatureArray.ReleaseAnimObjects();
    g_creatureArray.ForEachInUse([](CCreature& c) { c.Update(); });
    for (CAnimPlayer& marker : g_creatureArray.markerAnims)
      if (marker.animation) marker.Advance();
    g_creatureArray.ThinkAll();
    g_creatureArray.ApplyWater();
    g_creatureArray.UpdateVisibility();
  }

  struct Course {
    std::vector<uint64_t> digests;
    int survivors[2] = {};
    int decisions = 0;  // frames on which some creature was in BEHAVIOUR
  };

  Course Fight(uint32_t seed) {
    // A battle of its own: the map, the pool, the scheduler's phases and the network anew.
    TearDown();
    SetUp();
    g_creatureArray.visibilityPhase = g_creatureArray.searchPending = 0;
    g_battleRandom.Seed(seed);  // before placing, as battle loading does
    board.frame = 0;
    for (int army = 0; army < 2; ++army)
      for (int i = 0; i < 4; ++i) Place(kArmyTypes[army][i], army, 8 + 3 * i, army == 0 ? 8 : 14, kFloor);
    Course course;
    for (int frame = 0; frame < kFrameBound; ++frame) {
      BattleFrame(board);
      course.digests.push_back(Digest());
      bool behaving = false;
      g_creatureArray.ForEachInUse([&](CCreature& c) { behaving = behaving || c.order == ORDER_BEHAVIOUR; });
      course.decisions += behaving;
      if (Living(0) == 0 || Living(1) == 0) break;
    }
    course.survivors[0] = Living(0);
    course.survivors[1] = Living(1);
    return course;
  }
};

TEST_F(BehaviourBattle, ArmiesLeftToThemselvesFightToTheEndTheSameWayEachTime) {
  // A seed whose battle is fought out: with some seeds the last few creatures end up
  // standing apart in WAIT, none engaging another, until the frame bound.
  const Course first = Fight(2025);
  std::printf("behaviour battle: %zu frames, survivors %d and %d, %d frames with a behaviour running\n",
              first.digests.size(), first.survivors[0], first.survivors[1], first.decisions);
  EXPECT_TRUE(first.survivors[0] == 0 || first.survivors[1] == 0);
  EXPECT_GT(first.survivors[0] + first.survivors[1], 0);
  EXPECT_LT(first.digests.size(), static_cast<size_t>(kFrameBound));
  EXPECT_GT(first.decisions, 0);

  const Course again = Fight(2025);
  ASSERT_EQ(again.digests.size(), first.digests.size());
  for (size_t f = 0; f < first.digests.size(); ++f) ASSERT_EQ(again.digests[f], first.digests[f]) << "frame " << f;

  // A second process from the same seed.
  const std::string file = testing::TempDir() + "behaviour-digests.bin";
  std::remove(file.c_str());
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string command = std::string(kDigestFileVariable) + "=" + file + " '" + self +
                              "' --gtest_filter=BehaviourBattle.WritesItsCourseForAnotherProcess >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::vector<uint64_t> other(first.digests.size() + 1);
  FILE* in = std::fopen(file.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  const size_t read = std::fread(other.data(), sizeof(uint64_t), other.size(), in);
  std::fclose(in);
  std::remove(file.c_str());
  other.resize(read);
  EXPECT_EQ(other, first.digests);

  const Course elsewhere = Fight(2026);
  EXPECT_NE(elsewhere.digests, first.digests);
}

// Run by the test above in a process of its own.
TEST_F(BehaviourBattle, WritesItsCourseForAnotherProcess) {
  const char* file = std::getenv(kDigestFileVariable);
  if (!file) GTEST_SKIP() << "run by ArmiesLeftToThemselvesFightToTheEndTheSameWayEachTime";
  const Course course = Fight(2025);
  FILE* out = std::fopen(file, "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(course.digests.data(), sizeof(uint64_t), course.digests.size(), out);
  std::fclose(out);
}

}  // namespace
}  // namespace creature_test
