#pragma once
// CAIManaReserveDecision (type 59): the computer wizard keeps its mana for a while. It casts
// nothing; while it runs no other spell decision prepares for the wizard. It is wanted the
// more the emptier the wizard's mana, the fewer its side's mana sources, the weaker the
// enemies in sight and the less the wizard is pressed; it scores once per preparation.

#include "ai/AISpellDecision.h"

class CAIManaReserveDecision final : public CAISpellDecisionOf<CAIManaReserveDecision> {
 public:
  static constexpr int kHoldTicks = 40;

  CAIManaReserveDecision() : CAISpellDecisionOf<CAIManaReserveDecision>(kAIManaReserveDecisionType, -1) {}
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  void KeepBest() override {}
  int Execute() override { return kHoldTicks; }
  bool Step(CAIPlayerMemory*, int, CAIBudget&) override { return Caster() != nullptr; }

  // The wizard's mana with its pending mana items, as a percentage of its maximum (at most
  // 100), and without them and without the limit.
  static int ManaPercent(const CCreature& wizard, bool withPending);
  // What the side's mana sources bring in: 5 x ManaRecovery each.
  static int ManaIncome(int army);
};
