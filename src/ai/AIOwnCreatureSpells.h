#pragma once
// The spell decisions that choose one of the wizard's own creatures and cast on it from where
// the wizard stands: four protections whose worth grows with how hard the creature is pressed
// (iron skin 74, mighty blow 83, spell 78, flight 84), the blast centred on a creature (79),
// and the mana source (60). None walks, none saves an order; each ends early when its target
// dies or already shows the spell's effect.

#include <span>

#include "ai/AISpellDecision.h"

// Types and spells of the members.
inline constexpr int kAIIronSkinDecisionType = 39;    // spell 74
inline constexpr int kAIMightyBlowDecisionType = 47;  // spell 83
inline constexpr int kAISpell78DecisionType = 43;     // spell 78
inline constexpr int kAIFlightDecisionType = 48;      // spell 84
inline constexpr int kAIBlastDecisionType = 44;       // spell 79
inline constexpr int kAIManaSourceDecisionType = 30;  // spell 60

// The reach of "near" a creature: the largest Range among spells 93, 94 and 95.
int AINearRange();

// The common part: candidates among the wizard's own creatures, one scored per call, the
// cast from the wizard's own place once the line to the target is open.
class CAIOwnCreatureSpell : public CAISpellDecision {
 public:
  CAIOwnCreatureSpell(int type, int spell) : CAISpellDecision(type, spell) {}
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  int Execute() override;
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

 protected:
  // Whether a candidate is passed over before it is weighed.
  virtual bool Skips(CCreature& target) = 0;
  // Folds the candidate's terms; false passes it over.
  virtual bool Weigh(CCreature& target, float& weight, float& certainty) = 0;
  // Whether the target shows the spell's effect already (the decision then ends).
  virtual bool ShowsEffect(const CCreature& target) const { return false; }
  // What Execute adds to the group wait for the kept target.
  virtual int CastDelay(const CCreature& target) const = 0;
  // Whether the wizard may choose its allies' creatures too once the script allows it.
  virtual bool TakesAllies() const { return true; }
  // Whether the caster can cast at the target from where it stands.
  bool CanCastAt(CCreature& target);
  // The delay by the spell's line of fire: an animation's ticks for none (entry), the
  // particle's fall for particles, else nothing; 5 more.
  int DelayByLineOfFire(const CCreature& target, int animEntry, bool withAnimation) const;
};

// The protections: a creature under attack, among more enemies than friends, is worth
// protecting; a wizard under attack most of all.
class CAIProtectionSpell : public CAIOwnCreatureSpell {
 public:
  struct Terms {
    std::span<const MeasureTerm> pressed;     // over (the creature alone, its attackers)
    std::span<const MeasureTerm> surrounded;  // over (friends near, enemies near)
  };
  CAIProtectionSpell(int type, int spell, Terms terms) : CAIOwnCreatureSpell(type, spell), terms_(terms) {}

 protected:
  bool Weigh(CCreature& target, float& weight, float& certainty) override;

 private:
  Terms terms_;
};

class CAIIronSkinDecision final : public CAIProtectionSpell {
 public:
  CAIIronSkinDecision();
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIIronSkinDecision(); }

 protected:
  bool Skips(CCreature& target) override;
  bool ShowsEffect(const CCreature& target) const override { return target.ironSkin != 0; }
  int CastDelay(const CCreature& target) const override;
};

class CAIMightyBlowDecision final : public CAIProtectionSpell {
 public:
  CAIMightyBlowDecision();
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIMightyBlowDecision(); }

 protected:
  bool Skips(CCreature& target) override;
  bool ShowsEffect(const CCreature& target) const override { return target.spellState != 0; }
  int CastDelay(const CCreature& target) const override;
};

class CAISpell78Decision final : public CAIProtectionSpell {
 public:
  CAISpell78Decision();
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAISpell78Decision(); }

 protected:
  bool Skips(CCreature& target) override;
  bool ShowsEffect(const CCreature& target) const override { return target.spellState != 0; }
  int CastDelay(const CCreature& target) const override;
};

class CAIFlightDecision final : public CAIProtectionSpell {
 public:
  CAIFlightDecision();
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIFlightDecision(); }
  // Whether the cell above the creature is free for it: inside the map, no terrain, no
  // object, no other creature.
  static bool HasRoomAbove(const CCreature& creature);

 protected:
  bool Skips(CCreature& target) override;
  bool ShowsEffect(const CCreature& target) const override { return target.spellState != 0; }
  int CastDelay(const CCreature& target) const override;
};

// The blast: a creature primed to burst is worth what its burst does to the enemy less what
// it does to the wizard's own side.
class CAIBlastDecision final : public CAIOwnCreatureSpell {
 public:
  static constexpr int kMaxStrength = 150;
  static constexpr int kAIBlastSpell = 79;

  CAIBlastDecision() : CAIOwnCreatureSpell(kAIBlastDecisionType, 79) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIBlastDecision(); }
  // The burst's strength for a creature of that health; false when the spell's values give
  // none (Data1 or SpellStrength 0).
  static bool BurstStrength(int health, int& strength, int& reach);
  // The harm the candidate's burst does: to others added, to the caster's army taken off.
  static int NetHarm(const CCreature& candidate, int casterArmy);

 protected:
  bool Skips(CCreature& target) override;
  bool Weigh(CCreature& target, float& weight, float& certainty) override;
  bool ShowsEffect(const CCreature& target) const override { return target.combat.blastValue != 0; }
  int CastDelay(const CCreature& target) const override;
  // An ally's creature is never spent.
  bool TakesAllies() const override { return false; }
};

// The mana source: wanted the more the emptier the wizard's mana.
class CAIManaSourceDecision final : public CAIOwnCreatureSpell {
 public:
  CAIManaSourceDecision() : CAIOwnCreatureSpell(kAIManaSourceDecisionType, 60) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIManaSourceDecision(); }
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

 protected:
  bool Skips(CCreature& target) override;
  bool Weigh(CCreature& target, float& weight, float& certainty) override;
  int CastDelay(const CCreature& target) const override;

 private:
  float priorWeight = 0.0f;
  CAIGroupNode* enemiesNearCaster = nullptr;
};

// The healing (type 21, spell 41): a wounded creature, the more so when it is attacked; a
// wounded wizard first of all. The decision ends once its target is healed or dead.
inline constexpr int kAIHealingDecisionType = 21;

class CAIHealingDecision final : public CAIOwnCreatureSpell {
 public:
  static constexpr int kSpell = 41;
  CAIHealingDecision() : CAIOwnCreatureSpell(kAIHealingDecisionType, kSpell) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIHealingDecision(); }

 protected:
  bool Skips(CCreature& target) override;
  bool Weigh(CCreature& target, float& weight, float& certainty) override;
  bool ShowsEffect(const CCreature& target) const override { return target.health >= target.GetMaxHealth(); }
  int CastDelay(const CCreature& target) const override;
};
