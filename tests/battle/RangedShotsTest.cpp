// A ranged attacker ordered against an enemy shoots it: each shot that arrives takes the
// target's health down, through the shooter's own hit rule, in the battle's frames. The
// casting answers and the arcs' gravity are the program's own, and the battle's tick
// advances as the battle counts it, so a shooter reloads as it does in play.
#include <gtest/gtest.h>

#include "BattleFrameWorld.h"
#include "creatures/CreatureHooks.h"
#include "graphics/BattleFacing.h"
#include "magic/CreatureEffectAnswers.h"
#include "magic/MagicHooks.h"

namespace {

constexpr int kOrderFrame = 3;

class RangedShots : public BattleFrameWorld {
 protected:
  void SetUp() override {
    BattleFrameWorld::SetUp();
    runCreatures_ = true;
    savedEffects_ = g_creatureEffects.Get();
    savedView_ = g_mapViewHooks.world;
    InstallCreatureEffectAnswers();  // a shot is a cast request of its own
    InstallMagic();                  // the arcs are planned under the effects' gravity
  }
  void TearDown() override {
    BattleState().gameTick = 0;
    g_creatureEffects.Install(savedEffects_);
    g_mapViewHooks.world = savedView_;
    BattleFrameWorld::TearDown();
  }
  // Runs frames until the target is hurt; answers the frames run.
  int ShootUntilHurt(int target, int frames) {
    const int before = C(target).health;
    int n = 0;
    for (; n < frames && C(target).health >= before; ++n) {
      ++BattleState().gameTick;
      Frame(n);
    }
    return n;
  }
  ICreatureEffects* savedEffects_ = nullptr;
  IMapViewWorld* savedView_ = nullptr;
};

// Every creature type that shoots to harm, from straight ahead and from an angle, at a
// creature and at a rival wizard.
TEST_F(RangedShots, EveryShooterHurtsWhatItIsOrderedToShoot) {
  struct Case {
    int type, x, y;
    bool atWizard;
  };
  const Case cases[] = {{1, 14, 16, false}, {2, 18, 14, false},  {3, 14, 16, false}, {9, 18, 14, false},
                        {10, 18, 14, true}, {18, 14, 16, false}, {23, 18, 14, true}, {3, 18, 14, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " from " << c.x << "," << c.y);
    ClearWorld();
    BattleState().gameTick = 0;
    trace_.clear();
    BuildWorld(5);
    int target = enemy_;
    if (c.atWizard) {
      target = Place(0, 1, 16, 8);
      g_armyTable.armies[1].wizardCreature = target;
      for (int army = 0; army < 8; ++army) C(target).sightingCounters[army] = 30;
    }
    const int shooter = Place(c.type, 0, c.x, c.y);
    for (int army = 0; army < 8; ++army) C(shooter).sightingCounters[army] = 30;
    ASSERT_NE(C(shooter).type->rangedAttackSpell, kNoRangedAttack);
    const int before = C(target).health;
    inputs_ = {{kOrderFrame, MakeCreatureCommand(MSG_CREATURE_ATTACK, shooter, target)}};
    const int frames = ShootUntilHurt(target, 400);
    EXPECT_LT(C(target).health, before) << "unhurt after " << frames << " frames";
  }
}

}  // namespace
