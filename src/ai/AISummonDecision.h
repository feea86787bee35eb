#pragma once
// CAISummonDecision (type 15): a computer wizard summons a creature. Its candidates are the
// summon spells it knows and can ever afford (spell n brings creature type n); each is rated
// as an addition to the wizard's side, balanced against how many of that type the side has
// already, and charged the cost of the cast. It does not walk: the chosen creature appears
// beside the wizard's last attacker, a hostile wizard in sight or one of its side's groups,
// or at the wizard itself.

#include "ai/AISpellDecision.h"

class CAISummonDecision final : public CAISpellDecisionOf<CAISummonDecision> {
 public:
  static constexpr int kMaxCandidates = 30;
  static constexpr float kStartWeight = 55.0f;
  static constexpr float kMeanDelay = 50.0f;

  CAISummonDecision() : CAISpellDecisionOf<CAISummonDecision>(kAISummonDecisionType, -1) {}
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  void KeepBest() override { bestCandidate = workingCandidate; }
  int Execute() override;
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

  struct Candidate {
    int32_t spell = -1;
    int32_t wait = 0;
  };
  int CandidateCount() const { return candidateCount; }
  const Candidate& BestCandidate() const { return bestCandidate; }

  // Whether a spell number summons (1-21 and 23).
  static bool IsSummonSpell(int spell);
  // Whether a wizard has room for one more creature: below its control limit, and either
  // two below it or its side not too far behind (balance (threat + 1) / (strength + 1) at
  // least 0.2).
  static bool HasRoom(const CCreature& wizard);
  // The balance bonus of a type the side holds k of among n, with c candidate types: a
  // penalty up to 0.1 above the fair share, a bonus up to 0.1 below it.
  static float BalanceTerm(int n, int k, int c);
  // Where the summoned creature appears (map units); a caster in combat keeps its own place.
  void ChooseAppearance(CCreature& caster, CAIPlayerMemory* players, int tick, int& x, int& y, int& z);

 private:
  bool TryBeside(CCreature& caster, const CCreature& other, int& x, int& y, int& z);

  int32_t candidateCount = 0;
  Candidate candidates[kMaxCandidates];
  int32_t candidateIndex = 0;
  Candidate workingCandidate;
  Candidate bestCandidate;
};

// The prior of the decisions that add a creature to the wizard's side (the summon, the
// raising of the dead): a weak own side against a strong enemy raises it.
std::span<const MeasureTerm> AddCreaturePriorTerms();

// Forgets which creature types failed to load their animations, so that a new battle notes
// each failure once again.
void ResetSummonAnimNotes();
