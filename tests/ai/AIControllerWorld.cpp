#include "AIControllerWorld.h"

#include "core/Options.h"
#include "core/Random.h"

namespace ai_test {

void ControllerWorld::SetUp() {
  GroupTrees::SetUp();
  savedBudgetMode_ = g_aiTimeSystem;
  savedTraining_ = g_trainingSpells;
  savedDirect_ = g_directAI;
  g_aiTimeSystem = kAIBudgetSteps;
  g_trainingSpells = 0;  // no exploring unless a test asks for it
  g_directAI = 0;
  g_aiRandom.Seed(99);
  experienceScope_ = std::make_unique<HookScope<IAIExperienceStore>>(g_aiExperience, experience);
  unit = std::make_unique<CAIController>(CAIController::kUnitMode);
  side = std::make_unique<CAIController>(CAIController::kSideMode);
}

void ControllerWorld::TearDown() {
  unit.reset();
  side.reset();
  experienceScope_.reset();
  g_aiTimeSystem = savedBudgetMode_;
  g_trainingSpells = savedTraining_;
  g_directAI = savedDirect_;
  GroupTrees::TearDown();
}

CCreature& ControllerWorld::ArmyWithWizard(int army, int wizardSlot, int x, int y) {
  CArmy& record = g_armyTable.armies[army];
  record.inUse = 1;
  CCreature& wizard = Creature(wizardSlot, army, x, y, 0, 0);
  record.wizardCreature = wizardSlot;
  return wizard;
}

void ControllerWorld::UseScripts(CAIController& ai, std::initializer_list<DecisionScript*> scripts) {
  for (CAIDecision* decision : ai.decisions) delete decision;
  ai.decisions.clear();
  int type = 100;
  for (DecisionScript* script : scripts) ai.decisions.push_back(new ScriptedDecision(type++, script));
}

int ControllerWorld::LeafCount(CAIController& ai, const CCreature& creature) {
  int count = 0;
  for (CAIGroupNode* node : ai.groups)
    if (node->creature == &creature && node->level != kGroupLevelDropped) ++count;
  return count;
}

}  // namespace ai_test
