// The side controller with every decision class runs a small scene for a computer wizard that
// knows one spell, and the wizard casts it within a bound of frames; the same seed twice casts
// the same way.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "AIControllerWorld.h"
#include "AISpellScene.h"
#include "ai/AIController.h"
#include "ai/AIFieldSpells.h"
#include "ai/AIMissileSpells.h"
#include "ai/AIOwnCreatureSpells.h"
#include "ai/AIRaiseDeadDecision.h"
#include "core/Options.h"
#include "core/Random.h"
#include "creatures/SpellDefinition.h"
#include "magic/EffectManager.h"

namespace {

using ai_test::SpellScene;

constexpr int kFrameBound = 300;
constexpr int kStepsPerFrame = 2000;

class SpellRun : public SpellScene {
 public:
  // What the scenes of the cases use.
  using SpellScene::Enemy;
  using SpellScene::Friend;
  using SpellScene::PlaceWizard;
  using SpellScene::wizard;

 protected:
  void SetUp() override {
    SpellScene::SetUp();
    savedTraining_ = g_trainingSpells;
    g_trainingSpells = 0;
    g_effectManager.Reset();
    for (int spell = 0; spell < kSpellCount; ++spell) g_spellDefs[spell].Range = std::max(g_spellDefs[spell].Range, 8);
  }
  void TearDown() override {
    g_effectManager.Reset();
    g_trainingSpells = savedTraining_;
    SpellScene::TearDown();
  }
  // Runs the side controller until the wizard casts with a decision of the type: the frame of
  // that cast and every cast before it as "type:spell:target" lines; -1 when none came.
  int Run(int type, std::vector<std::string>& trace) {
    g_aiRandom.Seed(4321);
    CAIController side(CAIController::kSideMode);
    side.Start();
    // Only the spell decisions compete: the wizard neither summons, nor keeps its mana, nor
    // leads its group.
    auto others = std::stable_partition(side.decisions.begin(), side.decisions.end(), [](const CAIDecision* d) {
      return d->type > kAISummonDecisionType && d->type < kAIManaReserveDecisionType;
    });
    for (auto other = others; other != side.decisions.end(); ++other) delete *other;
    side.decisions.erase(others, side.decisions.end());
    TakeAICastNotes();
    for (int frame = 0; frame < kFrameBound; ++frame) {
      side.Update(kStepsPerFrame);

      for (const CAICastNote& cast : TakeAICastNotes()) {
        trace.push_back(std::to_string(cast.type) + ":" + std::to_string(cast.spell) + ":" +
                        std::to_string(cast.target));
        if (cast.type == type) return frame;
      }
    }
    return -1;
  }

  ai_test::RecordingExperience experience;
  HookScope<IAIExperienceStore> experienceScope{g_aiExperience, experience};

 private:
  int savedTraining_ = 0;
};

TEST_F(SpellRun, AWizardKnowingOneSpellCastsItWithinTheBoundAndOneSeedCastsAlike) {
  struct Case {
    int type, spell;
    std::function<void(SpellRun&)> scene;
  };
  const auto enemyNear = [](SpellRun& t) { t.Enemy(14, 10); };
  const auto pressedFriend = [](SpellRun& t) {
    CCreature& pressed = t.Friend(20, 20);
    pressed.health = 50;
    Attack(t.Enemy(21, 20), pressed);
  };
  const auto hostileField = [](SpellRun& t) {
    CCreature& rival = t.PlaceWizard(2, 40, 40);
    CEffect& field = *g_effectManager.At(150);
    field.active = 1;
    field.kind = kAIFieldKindA;
    field.cellX = 13;
    field.cellY = 10;
    field.params[effect_word::kCreature] = rival.index;
  };
  const Case cases[] = {
      {kAIMissileDecisionType, 71, enemyNear},
      {kAIHoldDecisionType, 46, [](SpellRun& t) { t.Enemy(14, 10).orderState.flying = 1; }},
      {kAISpell72DecisionType, 72, enemyNear},
      {kAISpell88DecisionType, 88, hostileField},
      {kAISpell34DecisionType, 34, hostileField},
      {kAIHealingDecisionType, 41, [](SpellRun& t) { t.Friend(12, 10).health = 2; }},
      {kAIRaiseDeadDecisionType, 52,
       [](SpellRun& t) {
         t.wizard->aiWords[0] = 10;  // its control limit
         CCreature& body = t.Enemy(13, 10);
         body.health = 0;
         g_creatureArray.AddBody(body.index);
       }},
      {kAIIronSkinDecisionType, 74, pressedFriend},
      {kAIMightyBlowDecisionType, 83, pressedFriend},
      {kAISpell78DecisionType, 78, pressedFriend},
      {kAIFlightDecisionType, 84, pressedFriend},
      {kAIBlastDecisionType, 79, pressedFriend},
      {kAIManaSourceDecisionType, 60,
       [](SpellRun& t) {
         t.Friend(12, 10);
         t.wizard->mana = 500 << 8;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    std::vector<std::string> first, second;
    for (std::vector<std::string>* trace : {&first, &second}) {
      g_creatureArray.ReleaseAll();
      g_effectManager.Reset();
      wizard = &PlaceWizard(1, 10, 10);
      wizard->SetMaxMana(1000);
      wizard->mana = 1000 << 8;
      wizard->AddSpell(c.spell);
      if (c.spell == 79) {
        g_spellDefs[79].Data1 = 1;
        g_spellDefs[79].SpellStrength = 20;
      }
      for (int spell : {93, 94, 95}) g_spellDefs[spell].Range = 3;
      c.scene(*this);
      EXPECT_GE(Run(c.type, *trace), 0);
    }
    EXPECT_EQ(first, second);
  }
}

}  // namespace
