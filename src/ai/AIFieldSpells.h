#pragma once
// The spell decisions that strike from where the wizard stands at the enemy's fields (the
// active effects of kinds 69 and 70 that hostile armies own) or at what else lies in reach:
// spell 72 at a field or a hostile creature in range, and the area spells 88 and 34 at a
// field or at one of the side's remembered groups. None walks and none saves an order.

#include <vector>

#include "ai/AISpellDecision.h"

inline constexpr int kAISpell34DecisionType = 18;
inline constexpr int kAISpell72DecisionType = 37;
inline constexpr int kAISpell88DecisionType = 50;

// Effect kinds the decisions aim at.
inline constexpr int kAIFieldKindA = 69;
inline constexpr int kAIFieldKindB = 70;

// One target: a hostile field (its effect), a creature, or a group's cell.
struct CAIFieldTarget {
  int32_t effect = -1;
  int32_t kind = 0;  // the field's effect kind
  CAICreatureRef creature;
  bool group = false;
  int32_t x = 0, y = 0, level = 0;
};

// The common part: the candidates in a list, one weighed a call; the cast from the caster's
// place once the line is open.
class CAIFieldSpell : public CAISpellDecision {
 public:
  CAIFieldSpell(int type, int spell) : CAISpellDecision(type, spell) {}
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  void KeepBest() override { bestTarget = workingTarget; }
  int Execute() override;
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

  const CAIFieldTarget& ChosenTarget() const { return bestTarget; }
  size_t CandidateCount() const { return targets.size(); }

 protected:
  // Forgets the candidates, passes the gate, keeps the caster's node; false when the decision
  // does not apply.
  bool StartPrepare(CAIGroupNode* node);
  // Adds the active fields of hostile armies at whose cells the spell can be cast.
  void AddHostileFields();
  // Whether a field of a hostile army lies within the spell's Range of the caster.
  bool HostileFieldInRange() const;
  virtual void Weigh(const CAIFieldTarget& target, float& weight, float& certainty) = 0;
  // Whether the target is gone (the decision ends).
  virtual bool TargetLost(const CAIFieldTarget& target) const { return false; }
  virtual int CastDelay() const = 0;

  CAIGroupNode* casterNode = nullptr;
  std::vector<CAIFieldTarget> targets;
  size_t nextTarget = 0;
  CAIFieldTarget workingTarget;
  CAIFieldTarget bestTarget;
};

// Spell 72: a field or a hostile creature in range.
class CAISpell72Decision final : public CAIFieldSpell {
 public:
  CAISpell72Decision() : CAIFieldSpell(kAISpell72DecisionType, 72) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAISpell72Decision(); }
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;

 protected:
  void Weigh(const CAIFieldTarget& target, float& weight, float& certainty) override;
  bool TargetLost(const CAIFieldTarget& target) const override;
  int CastDelay() const override;
};

// Spells 88 and 34: a field, or a group of the side's record, worth the more the more hostile
// fields and enemies and the fewer friends lie about it.
class CAIAreaFieldSpell final : public CAIFieldSpell {
 public:
  CAIAreaFieldSpell(int type, int spell) : CAIFieldSpell(type, spell) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIAreaFieldSpell(type, Spell()); }
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  // The reach about a target: the radius of the spell's Radius class.
  int Reach() const;

 protected:
  void Weigh(const CAIFieldTarget& target, float& weight, float& certainty) override;
  int CastDelay() const override { return 10; }

 private:
  // What one more hostile field about the target is worth.
  int FieldFactor() const;
};
