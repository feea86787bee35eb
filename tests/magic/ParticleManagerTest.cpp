// The particle base and the particle manager: wrapping, the full table's priority rule,
// swap-removal and clearing.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "magic/ParticleManager.h"

namespace {

// A particle that lives a number of frames, remembers its updates and reports its deletion.
struct TestParticle : CParticle {
  TestParticle(int id, int priority = CParticle::kDefaultPriority, int life = 1000)
      : CParticle(0, 0, 0), id(id), priority(priority), life(life) {}
  ~TestParticle() override { deleted().insert(id); }
  void Draw(int, int) override {}
  int Update() override {
    ++updates;
    if (spawn) spawn(*this);
    return --life > 0 ? 1 : 0;
  }
  int Priority() const override { return priority; }
  static std::set<int>& deleted() {
    static std::set<int> ids;
    return ids;
  }
  int id, priority, life, updates = 0;
  std::function<void(TestParticle&)> spawn;
};

class ParticleManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CParticle::SetWorldSize(2048, 1024, 128);
    TestParticle::deleted().clear();
  }
  void TearDown() override { manager.Clear(); }
  TestParticle* Add(int id, int priority = CParticle::kDefaultPriority, int life = 1000) {
    auto p = std::make_unique<TestParticle>(id, priority, life);
    TestParticle* raw = p.get();
    return manager.Add(p) ? raw : nullptr;
  }
  void Fill(int count, int priority = CParticle::kDefaultPriority) {
    for (int i = 0; i < count; ++i) ASSERT_TRUE(Add(i, priority));
  }
  int IdAt(int slot) { return static_cast<TestParticle*>(manager.Slot(slot))->id; }
  CParticleManager manager;
};

TEST(ParticleTest, PositionsWrapIntoTheWorld) {
  CParticle::SetWorldSize(2048, 1024, 128);
  struct Case {
    int x, y, z, wantX, wantY, wantZ;
  } cases[] = {
      {-1, 0, 0, 2047, 0, 0},              // one before the edge
      {2048, 1024, 127, 0, 0, 127},        // at the far edges
      {-4097, 5000, 128, 2047, 904, 127},  // several worlds away; z at the depth
      {10, 10, -5, 10, 10, 0},
  };
  for (const Case& c : cases) {
    struct P : CParticle {
      using CParticle::CParticle;
      void Draw(int, int) override {}
      int Update() override { return 0; }
    } p(c.x, c.y, c.z);
    EXPECT_EQ(p.x, c.wantX) << c.x;
    EXPECT_EQ(p.y, c.wantY) << c.y;
    EXPECT_EQ(p.z, c.wantZ) << c.z;
    EXPECT_EQ(p.Priority(), 1024);
    EXPECT_EQ(p.Width(), 4);
  }
}

TEST_F(ParticleManagerTest, TheLastFreeSlotTakesOneMoreThenTheFullRuleApplies) {
  Fill(CParticleManager::kSlots - 1);
  ASSERT_NE(Add(5000), nullptr);
  EXPECT_EQ(IdAt(CParticleManager::kSlots - 1), 5000);
  // Full: an ordinary particle is refused and stays with the caller.
  auto refused = std::make_unique<TestParticle>(5001);
  EXPECT_EQ(manager.Add(refused), 0);
  ASSERT_NE(refused, nullptr);
  EXPECT_EQ(refused->id, 5001);
  EXPECT_EQ(manager.Count(), CParticleManager::kSlots);
}

TEST_F(ParticleManagerTest, AFullTableRefusesPriorities1024AndBelowEvenOverLowerOnes) {
  Fill(CParticleManager::kSlots, 10);
  EXPECT_EQ(Add(9000, 1024), nullptr);
  EXPECT_EQ(Add(9001, 500), nullptr);
  EXPECT_EQ(TestParticle::deleted().count(9000), 1u);  // the refused one died with its pointer
  EXPECT_EQ(TestParticle::deleted().size(), 2u);
}

TEST_F(ParticleManagerTest, AHighPriorityDisplacesTheLowestInTheLowestSlot) {
  for (int i = 0; i < CParticleManager::kSlots; ++i) ASSERT_TRUE(Add(i, i == 7 || i == 30 ? 1024 : 2000));
  ASSERT_NE(Add(9000, 5000), nullptr);
  EXPECT_EQ(IdAt(7), 9000);
  EXPECT_EQ(IdAt(30), 30);
  EXPECT_EQ(TestParticle::deleted(), std::set<int>{7});
  EXPECT_EQ(manager.RefusalThreshold(), 1023);
  // The next one takes slot 30.
  ASSERT_NE(Add(9001, 5000), nullptr);
  EXPECT_EQ(IdAt(30), 9001);
}

TEST_F(ParticleManagerTest, ARefusalSetsTheThresholdUntilTheNextUpdate) {
  Fill(CParticleManager::kSlots, 3000);
  EXPECT_EQ(Add(9000, 2500), nullptr);
  EXPECT_EQ(manager.RefusalThreshold(), 2500);
  EXPECT_EQ(Add(9001, 2500), nullptr);  // refused without a scan
  EXPECT_EQ(Add(9002, 2000), nullptr);
  EXPECT_EQ(manager.RefusalThreshold(), 2500);
  manager.Update();
  EXPECT_EQ(manager.RefusalThreshold(), 0);
}

TEST_F(ParticleManagerTest, FinishedParticlesLeaveByMovingTheLastIntoTheirSlot) {
  // Three particles: 0 dies at its first update, 1 lives, 2 lives.
  Add(0, 1024, 1);
  Add(1);
  Add(2);
  manager.Update();
  ASSERT_EQ(manager.Count(), 2);
  EXPECT_EQ(IdAt(0), 2);
  EXPECT_EQ(IdAt(1), 1);
  EXPECT_EQ(manager.Slot(2), nullptr);
  // The last live slot only empties.
  static_cast<TestParticle*>(manager.Slot(1))->life = 1;
  manager.Update();
  ASSERT_EQ(manager.Count(), 1);
  EXPECT_EQ(IdAt(0), 2);
  EXPECT_EQ(manager.Slot(1), nullptr);
}

TEST_F(ParticleManagerTest, EachParticleIsUpdatedOnceAndNewcomersWaitForTheNextFrame) {
  std::vector<TestParticle*> particles;
  for (int i = 0; i < 6; ++i) particles.push_back(Add(i, 1024, i % 2 ? 1 : 5));
  // An emitter adds a particle from inside its update.
  TestParticle* born = nullptr;
  particles[4]->spawn = [&](TestParticle&) {
    if (!born) born = Add(100);
  };
  manager.Update();
  ASSERT_NE(born, nullptr);
  EXPECT_EQ(born->updates, 0);
  for (int i : {0, 2, 4}) EXPECT_EQ(particles[static_cast<size_t>(i)]->updates, 1) << i;
  EXPECT_EQ(TestParticle::deleted(), (std::set<int>{1, 3, 5}));
  EXPECT_EQ(manager.Count(), 4);
}

TEST_F(ParticleManagerTest, AnEmitterIsNeverDisplacedByWhatItEmits) {
  Fill(CParticleManager::kSlots - 1, 2000);
  TestParticle* emitter = Add(5000, 1500);
  ASSERT_NE(emitter, nullptr);
  emitter->spawn = [&](TestParticle&) { Add(6000, 1800); };
  manager.Update();  // the emitter holds the lowest priority, but it is running
  EXPECT_EQ(TestParticle::deleted().count(5000), 0u);
  EXPECT_EQ(emitter->updates, 1);
}

TEST_F(ParticleManagerTest, ClearDeletesEverythingAndAnEmptyClearStaysEmpty) {
  manager.Clear();
  EXPECT_EQ(manager.Count(), 0);
  EXPECT_EQ(manager.RefusalThreshold(), 0);
  Fill(CParticleManager::kSlots, 2000);
  Add(5000, 1500);  // refused, sets the threshold
  manager.Clear();
  EXPECT_EQ(manager.Count(), 0);
  EXPECT_EQ(manager.RefusalThreshold(), 0);
  EXPECT_EQ(TestParticle::deleted().size(), static_cast<size_t>(CParticleManager::kSlots) + 1);
  EXPECT_EQ(manager.Slot(0), nullptr);
}

}  // namespace
