#pragma once
// The spell decisions that walk to a cell from which they strike one hostile creature in
// range: the missile (spell 71), worth most against a wizard the caster can finish off, and
// the hold (spell 46), worth a creature's health when the held creature can be shattered or
// flies.

#include "ai/AISpellDecision.h"

inline constexpr int kAIHoldDecisionType = 24;     // spell 46
inline constexpr int kAIMissileDecisionType = 36;  // spell 71

// What both share: the hostile creatures the side sees within the spell's Range of the caster,
// each searched for a cast cell; the walk and the flight of the spell.
class CAIStrikeSpell : public CAISpellDecision {
 public:
  CAIStrikeSpell(int type, int spell) : CAISpellDecision(type, spell) {}
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;

 protected:
  // The caster's own node, which the measures weigh against the target.
  CAIGroupNode* casterNode = nullptr;
};

class CAIMissileDecision final : public CAIStrikeSpell {
 public:
  CAIMissileDecision() : CAIStrikeSpell(kAIMissileDecisionType, 71) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIMissileDecision(); }
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  // Whether the caster holds the mana to kill the wizard with casts of the missile; false when
  // the missile does no damage.
  static bool CanFinishWizard(const CCreature& caster, const CCreature& wizard);

 protected:
  int ExtraDelay() const override { return TravelTicks(); }

 private:
  void ScoreTarget(CCreature& target, float& weight, float& certainty);
};

class CAIHoldDecision final : public CAIStrikeSpell {
 public:
  CAIHoldDecision() : CAIStrikeSpell(kAIHoldDecisionType, 46) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIHoldDecision(); }
  // The health the hold is expected to take: a flyer's or a creature that an attacker of the
  // side would shatter, whole; else what the missile would leave of it, when the caster has it.
  int ExpectedGain(const CCreature& target) const;

 protected:
  bool TakeCandidate(bool first) override;
  void ScoreCandidate(float& weight, float& certainty) override;
  int ExtraDelay() const override { return TravelTicks() + 5; }
};
