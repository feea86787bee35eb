#pragma once
// The mana-sprite decision (type 9): a wizard of the group walks to the mana sprite nearest
// to it and the others escort it. Only a real wizard collects (an illusion of one does not),
// and no two creatures of a side go for one sprite; a sprite taken by anyone ends it.

#include "ai/AIObjectSeekDecision.h"

class CAICollectManaDecision final : public CAIObjectSeekDecision {
 public:
  static constexpr int kManaSpriteKind = 19;

  CAICollectManaDecision() : CAIObjectSeekDecision(kAICollectManaDecisionType) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAICollectManaDecision(); }
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

 protected:
  bool GroupApplies(CAIGroupNode* group) const override;
  bool Seeks(int kind) const override { return kind == kManaSpriteKind; }
  bool MayCarry(const CCreature& member) const override;
  void AppendInputs(int members) override;
};
