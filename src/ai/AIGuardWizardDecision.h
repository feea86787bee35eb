#pragma once
// The guard decision (type 14): a group without a wizard goes to its side's wizard and keeps
// it from harm. One group of a side guards at a time. The plan is scored against the nearest
// enemy cluster within ten tiles of the wizard (or an empty group when none is that near).
// While it runs, every Step looks afresh at the enemies the side sees now: when a cluster
// stands near the wizard, the guards spread their attacks over it as an engage group does;
// otherwise they close in on the wizard. The wizard is held by its slot: when it dies, or is
// no longer its army's wizard, the guard is over.

#include <cstdint>

#include "ai/AIGroupDecision.h"

class CAIGuardWizardDecision final : public CAIGroupDecision {
 public:
  static constexpr int kThreatRange2 = 100;  // squared tiles within which a cluster threatens

  CAIGuardWizardDecision() : CAIGroupDecision(kAIGuardWizardDecisionType) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIGuardWizardDecision(); }
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  void KeepBest() override;
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

  int32_t workWizard = -1, keptWizard = -1;  // slots
  CAIGroupNode* threats = nullptr;
  CAIGroupNode* emptyGroup = nullptr;
  CAIGroupNode* nearestThreat = nullptr;
  int64_t nearestDistance2 = kThreatRange2;

 protected:
  void AppendInputs(int members) override;
  CAIGroupNode* MeasuredAgainst() const override { return nearestThreat; }
  int DelayBase() const override { return 600; }

 private:
  // The side's wizard by slot, while it lives and is still its army's wizard.
  CCreature* Wizard(int slot) const;
  // The group of the tree nearest the wizard closer than the threat range; its squared
  // distance in the out value.
  static CAIGroupNode* NearestCluster(CAIGroupNode* tree, const CCreature& wizard, int64_t& distance2);
  // The guards fight the threat near the wizard.
  void Fight(CAIGroupNode* threat);
  // The guards close in on the wizard.
  void CloseIn(const CCreature& wizard);
};
