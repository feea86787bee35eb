#pragma once
// Spell decisions that walk to a cell from which they cast at one enemy creature in the
// spell's range, valued by the target's worth: the earth bind (spell 44) brings down a flyer,
// the provoke (spell 50) turns the enemies about a creature on it, the subversion (spell 54)
// wins a creature over to the wizard's side, the levitation (spell 80) lifts a fighter out of
// the fight.

#include "ai/AIMissileSpells.h"

inline constexpr int kAIEarthBindDecisionType = 23;   // spell 44
inline constexpr int kAIProvokeDecisionType = 25;     // spell 50
inline constexpr int kAISubversionDecisionType = 27;  // spell 54
inline constexpr int kAILevitateDecisionType = 45;    // spell 80

// Only creatures that fly, may fly, or are of the kind the earth bind always grounds.
class CAIEarthBindDecision final : public CAIStrikeSpell {
 public:
  static constexpr int kSpell = 44;
  CAIEarthBindDecision() : CAIStrikeSpell(kAIEarthBindDecisionType, kSpell) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIEarthBindDecision(); }

 protected:
  bool TakeCandidate(bool first) override;
  void ScoreCandidate(float& weight, float& certainty) override;
  int ExtraDelay() const override { return TravelTicks() + 5; }
};

// A creature on the ground with room above it; the decision waits on, casting nothing, when
// its target dies before the cast.
class CAILevitateDecision final : public CAIStrikeSpell {
 public:
  static constexpr int kSpell = 80;
  CAILevitateDecision() : CAIStrikeSpell(kAILevitateDecisionType, kSpell) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAILevitateDecision(); }
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

 protected:
  bool TakeCandidate(bool first) override;
  void ScoreCandidate(float& weight, float& certainty) override;
  int ExtraDelay() const override;
  bool TargetQualifies(const CCreature&) const override { return true; }
};

// A creature not provoking already, clear of the creatures that are, with enemies of the
// wizard about it whom it would draw.
class CAIProvokeDecision final : public CAIStrikeSpell {
 public:
  static constexpr int kSpell = 50;
  static constexpr int kCrowdRange = 20;
  CAIProvokeDecision() : CAIStrikeSpell(kAIProvokeDecisionType, kSpell) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIProvokeDecision(); }
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  // Whether the two creatures' footprints overlap or touch (the short way round the map, a
  // level apart at most).
  static bool FootprintsTouch(const CCreature& a, const CCreature& b);

 protected:
  bool TakeCandidate(bool first) override;
  void ScoreCandidate(float& weight, float& certainty) override;
  int ExtraDelay() const override;
};

// Any creature but a wizard, while the wizard controls fewer creatures than its limit.
class CAISubversionDecision final : public CAIStrikeSpell {
 public:
  static constexpr int kSpell = 54;
  CAISubversionDecision() : CAIStrikeSpell(kAISubversionDecisionType, kSpell) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAISubversionDecision(); }
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  // The chance in per cent that the spell's strength overcomes the creature's resistance; 0
  // when the two sum to less than 1.
  static int Chance(const CCreature& target);

 protected:
  bool TakeCandidate(bool first) override;
  void ScoreCandidate(float& weight, float& certainty) override;
  int ExtraDelay() const override { return TravelTicks() + 15; }

 private:
  CAIGroupNode* casterAttackers = nullptr;
};
