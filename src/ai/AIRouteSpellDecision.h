#pragma once
// CAIRouteSpellDecision (type 17, spell 33): the wizard lays its spell across the way an
// enemy group would come to it, at the narrowest place of that way, so that the group has to
// pass through it. For each group the side remembers it finds the member nearest the wizard,
// searches that member's cell route to the wizard, takes the narrowest place no nearer the
// group than half the spell's spacing and no wider than the spacing, and searches a cell to
// cast from.

#include <vector>

#include "ai/AISpellDecision.h"

inline constexpr int kAIRouteSpellDecisionType = 17;

class CAIRouteSpellDecision final : public CAISpellDecisionOf<CAIRouteSpellDecision> {
 public:
  static constexpr int kSpell = 33;
  static constexpr int kAllowance = 100;
  static constexpr int kTrapKind = 25;   // another such spell's effect: keep the spacing
  static constexpr int kOtherKind = 26;  // an effect the spell must not sit on

  CAIRouteSpellDecision() : CAISpellDecisionOf<CAIRouteSpellDecision>(kAIRouteSpellDecisionType, kSpell) {}
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

  // The spacing between two such spells: Duration / SpellStrength; false when the strength
  // is below 1.
  static bool Spacing(int& spacing);
  // Whether a place is no good for the spell: creatures about it, a trap or a seal, another
  // such spell within the spacing, or an effect of kind 26 on it.
  static bool RejectPlace(int x, int y, int level, int spacing);
  int SpacingValue() const { return spacing; }

 protected:
  int ExtraDelay() const override { return 50; }

 private:
  enum Stage { kNextGroup, kRoute, kCastCell };
  bool StartRoute(CAIGroupNode* candidate);
  bool ChoosePlace();
  void ScoreGroup(float& weight, float& certainty);

  CAIGroupNode* casterNode = nullptr;
  std::vector<CAIGroupNode*> candidates;  // copies the decision owns
  size_t nextCandidate = 0;
  CAIGroupNode* current = nullptr;
  Stage stage = kNextGroup;
  int32_t spacing = 0;
  int32_t routeAllowance = 0;
  CAICell routeStart;
  CAICreatureRef routeMover;
};
