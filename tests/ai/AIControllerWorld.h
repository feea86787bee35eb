#pragma once
// Hand-made scenes for the controller tests: creatures in pool slots with armies and wizards,
// a controller of their own, and scripted decisions whose candidates' scores, step costs and
// delays the test sets.

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "AIGroupTrees.h"
#include "ai/AIBudget.h"
#include "ai/AIController.h"
#include "ai/AIDecision.h"
#include "ai/AIExperienceStore.h"

namespace ai_test {

// What a scripted decision does; shared by every instance of one type.
struct DecisionScript {
  std::vector<float> scores;  // one candidate per score, offered after each Prepare
  int stepCost = 0;           // steps charged per candidate
  int delay = 10;             // Execute's answer
  int experience = -1;        // the experience index Execute records
  bool stepResult = true;     // what Step answers
  // Counters: prepares (and the groups prepared for), executes, steps, expiries, keeps.
  std::vector<CAIGroupNode*> preparedFor;
  int executes = 0, steps = 0, expiries = 0, keeps = 0;
  int firstExecuteAt = -1;  // the count of prepares at the first Execute
};

class ScriptedDecision final : public CAIDecision {
 public:
  ScriptedDecision(int type, DecisionScript* script) : CAIDecision(type), script_(script) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) ScriptedDecision(type, script_); }
  void Prepare(CAIGroupNode* node, CAIPlayerMemory*, int) override {
    group = node;
    script_->preparedFor.push_back(node);
    next_ = 0;
  }
  bool Evaluate(float* score, CAIBudget& budget, int) override {
    if (budget.Remaining() < 1 && script_->stepCost > 0) return false;
    if (next_ >= script_->scores.size()) return false;
    budget.steps -= script_->stepCost;
    *score = script_->scores[next_++];
    return true;
  }
  void KeepBest() override { ++script_->keeps; }
  int Execute() override {
    if (script_->executes++ == 0) script_->firstExecuteAt = static_cast<int>(script_->preparedFor.size());
    experienceIndex = script_->experience;
    return script_->delay;
  }
  bool Step(CAIPlayerMemory*, int, CAIBudget&) override {
    ++script_->steps;
    return script_->stepResult;
  }
  void OnExpire() override { ++script_->expiries; }

 private:
  DecisionScript* script_;
  size_t next_ = 0;
};

// Records the experience handed over.
struct RecordingExperience : IAIExperienceStore {
  std::vector<int> cleared;
  std::vector<std::pair<int, int>> completed;
  void ClearExperience(int index) override { cleared.push_back(index); }
  void CompleteExperience(int index, int outcome) override { completed.push_back({index, outcome}); }
};

class ControllerWorld : public GroupTrees {
 protected:
  void SetUp() override;
  void TearDown() override;

  // An army in use (computer-run), hostile to the others, with a wizard at a cell (slot given).
  CCreature& ArmyWithWizard(int army, int wizardSlot, int x, int y);
  // Replaces the controller's candidates with scripted decisions of the given scripts (types
  // 100 up), keeping none of the prototypes.
  void UseScripts(CAIController& ai, std::initializer_list<DecisionScript*> scripts);
  // The leaves and inner nodes of a controller whose creature names them, and the top group
  // of a creature.
  int LeafCount(CAIController& ai, const CCreature& creature);

  std::unique_ptr<CAIController> unit, side;
  RecordingExperience experience;

 private:
  int savedBudgetMode_ = 0;
  int savedTraining_ = 0, savedDirect_ = 0;
  std::unique_ptr<HookScope<IAIExperienceStore>> experienceScope_;
};

}  // namespace ai_test
