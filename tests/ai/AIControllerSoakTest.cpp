// Both controllers over thousands of frames of a restless little battle: creatures move, die,
// change sides and come back in reused slots, while scripted decisions with random scores make
// groups merge and split. After every frame the controllers' books must still balance.
#include <algorithm>
#include <random>

#include "AIControllerWorld.h"
#include "ControllerBooks.h"
#include "core/Random.h"

namespace ai_test {
namespace {

// Scores drawn from the decision's own generator, now and then perfect, so that merges and
// splits win from time to time.
class RandomDecision final : public CAIDecision {
 public:
  RandomDecision(int type, std::mt19937* random) : CAIDecision(type), random_(random) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) RandomDecision(type, random_); }
  void Prepare(CAIGroupNode* node, CAIPlayerMemory*, int) override {
    group = node;
    left_ = static_cast<int>((*random_)() % 3);
  }
  bool Evaluate(float* score, CAIBudget& budget, int) override {
    if (left_ <= 0 || budget.Remaining() < 1) return false;
    --left_;
    budget.steps -= 1;
    const unsigned draw = (*random_)() % 400;
    *score = draw == 0 ? 1.0f : static_cast<float>(draw % 30) / 20.0f - 1.0f;
    return true;
  }
  int Execute() override { return 1 + static_cast<int>((*random_)() % 30); }
  bool Step(CAIPlayerMemory*, int, CAIBudget& budget) override {
    budget.steps -= 1;
    return (*random_)() % 50 != 0;
  }

 private:
  std::mt19937* random_;
  int left_ = 0;
};

class AIControllerSoak : public ControllerWorld {
 protected:
  long innerGroupsSeen = 0;
  void CheckBooks(CAIController& ai, int frame) { CheckControllerBooks(ai, frame, innerGroupsSeen); }
};

TEST_F(AIControllerSoak, TwentySeedsOfThreeThousandFrames) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    innerGroupsSeen = 0;
    SCOPED_TRACE(seed);
    std::mt19937 world(seed), choices(seed * 7919u);
    g_aiRandom.Seed(seed);
    for (int s = 0; s < g_creatureArray.Capacity(); ++s) g_creatureArray.At(s)->Reset(s);
    ArmyWithWizard(1, 0, 10, 10);
    ArmyWithWizard(2, 1, 40, 30);
    g_armyTable.armies[3].inUse = 1;  // a wizardless army of actors
    for (CAIController* ai : {unit.get(), side.get()}) {
      for (CAIDecision* d : ai->decisions) delete d;
      ai->decisions.clear();
      for (int t = 0; t < 4; ++t) ai->decisions.push_back(new RandomDecision(200 + t, &choices));
    }
    auto place = [&](int slot) {
      const int army = 1 + static_cast<int>(world() % 3);
      CCreature& c = Creature(slot, army, static_cast<int>(world() % 64), static_cast<int>(world() % 48));
      c.scriptCommand = army == 3 ? 1 : 0;
      unit->RegisterCreature(c);
    };
    for (int slot = 2; slot < 18; ++slot) place(slot);
    unit->Start();
    side->Start();
    for (int frame = 0; frame < 3000; ++frame) {
      const int slot = 2 + static_cast<int>(world() % 16);
      CCreature& c = *g_creatureArray.At(slot);
      switch (world() % 12) {
        case 0:  // dies
          c.health = 0;
          break;
        case 1:  // its slot is freed and taken by another
          c.Reset(slot);
          place(slot);
          break;
        case 2:  // changes sides
          if (c.inUse && c.IsAlive()) {
            c.army = c.army == 1 ? 2 : 1;
            unit->RegisterCreature(c);
          }
          break;
        case 3:
          if (!c.inUse || !c.IsAlive()) place(slot);
          break;
        default:  // wanders
          c.cellX = (c.cellX + static_cast<int>(world() % 3) + 63) % 64;
          c.cellY = (c.cellY + static_cast<int>(world() % 3) + 47) % 48;
          break;
      }
      unit->Update(2 + static_cast<int>(world() % 20));
      side->Update(2 + static_cast<int>(world() % 20));
      CheckBooks(*unit, frame);
      CheckBooks(*side, frame);
      if (HasFatalFailure()) return;
    }
    EXPECT_GT(innerGroupsSeen, 0);  // groups were merged (or joined) along the way
    for (CAIController* ai : {unit.get(), side.get()}) {
      EXPECT_GT(ai->nextDecisionId, 100);
      ai->FreeContents();
      ai->Reset();
    }
  }
}

}  // namespace
}  // namespace ai_test
