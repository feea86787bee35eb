#pragma once
// CAIRaiseDeadDecision (type 26, spell 52): the wizard walks to where it can raise a dead
// creature it has seen within the spell's reach, or a grave, and raises it as its own undead.
// A candidate is rated like a summoned creature of the same type.

#include <vector>

#include "ai/AISpellDecision.h"

inline constexpr int kAIRaiseDeadDecisionType = 26;

class CAIRaiseDeadDecision final : public CAISpellDecisionOf<CAIRaiseDeadDecision> {
 public:
  static constexpr int kSpell = 52;
  static constexpr float kStartWeight = 55.0f;
  // What a grave brings forth is drawn when it rises; the first of its kinds stands for it.
  static constexpr int kGraveRiserType = 11;

  CAIRaiseDeadDecision() : CAISpellDecisionOf<CAIRaiseDeadDecision>(kAIRaiseDeadDecisionType, kSpell) {}
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

  // Whether a dead creature's column is free for it to rise.
  static bool HasRoomToRise(const CCreature& dead);

 protected:
  bool TakeCandidate(bool first) override;
  int SearchAllowance() const override { return 50; }
  int ExtraDelay() const override { return 30; }

 private:
  bool Raisable(const CCreature& caster, const CCreature& dead) const;

  std::vector<CAICreatureRef> dead;
  size_t deadLeft = 0;
  size_t graveCursor = 0;
};
