#pragma once
// The chain (type 49, spell 87): a bolt that strikes one enemy and jumps on to the nearest
// creature the struck one sees, weaker by the spell's strength at each jump. The wizard walks
// to a cell from which to strike, and values the strike by following the chain as it would
// run: harm to enemies counts for, harm to its own side and allies against, and a wizard the
// caster can finish off most of all.

#include "ai/AIMissileSpells.h"

inline constexpr int kAIChainDecisionType = 49;  // spell 87

class CAIChainDecision final : public CAIStrikeSpell {
 public:
  static constexpr int kSpell = 87;
  // The caster and at most 19 links: the chain never runs further, whatever its jumps.
  static constexpr int kVisitedMax = 20;
  // Creatures weighed for one next link at most.
  static constexpr int kLinkCandidatesMax = 20;

  struct Chain {
    int sum = 0;              // harm to enemies less harm to the caster's side
    int wizardsHit = 0;       // hostile wizards on the chain
    int wizardsFinished = 0;  // of those, ones the caster holds the mana to finish
    std::vector<int> links;   // the creatures struck, in order
  };

  CAIChainDecision() : CAIStrikeSpell(kAIChainDecisionType, kSpell) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIChainDecision(); }
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  // The chain from the first creature struck; nothing valued (an empty chain) when the
  // spell's strength gives no jump.
  static Chain Follow(const CCreature& caster, const CCreature& first);

 protected:
  int SearchAllowance() const override { return 50; }
  int ExtraDelay() const override;
};
