#pragma once
// The fetch decision (type 13): one member of a group goes to pick up the nearest item lying
// on the map (world objects of kinds 0-4 and 6) and the others follow it. An illusion never
// fetches, and no two creatures of a side go for one object.

#include "ai/AIObjectSeekDecision.h"

class CAIFetchObjectDecision final : public CAIObjectSeekDecision {
 public:
  CAIFetchObjectDecision() : CAIObjectSeekDecision(kAIFetchObjectDecisionType) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIFetchObjectDecision(); }
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

  // The world object kinds a group fetches.
  static bool Fetches(int kind);

 protected:
  bool GroupApplies(CAIGroupNode* group) const override;
  bool Seeks(int kind) const override { return Fetches(kind); }
  bool MayCarry(const CCreature& member) const override;
  void AppendInputs(int members) override;
};
