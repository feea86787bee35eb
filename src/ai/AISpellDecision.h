#pragma once
// CAISpellDecision: the common frame of the spell-casting decisions, types 15-59. A computer
// wizard casts through them: each class casts one spell (or, for the summon, one of several)
// and is driven by the controller like every decision. The frame holds what they share:
//
// - Prepare's gate: only a side-level group, not one that keeps its mana (type 59), and only
//   when a wizard of the group has the spell and can ever afford it (the group wait);
// - the resumable candidate loop of Evaluate: a best-first search per candidate for the cell
//   the caster could cast from, cut off by the budget and resumed on the next call;
// - the common tail of every score: the cost of the cast, the spell's AI_Adjustment, a
//   jitter and a clamp (AdjustSpellCertainty);
// - Execute's approach: the caster's order saved, the walk to the cast cell, the delay;
// - Step's tests and the cast itself, one cast per execution, with the order restored.
//
// A member fills in its candidates, its score and what it departs from the frame in. The
// caster and the targets are kept by slot and spawn serial (CAICreatureRef): a caster that
// died or whose slot holds another creature ends the decision.

#include <climits>
#include <cstdint>
#include <span>
#include <vector>

#include "ai/AICreatureRef.h"
#include "ai/AIDecision.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIMeasures.h"
#include "creatures/CreatureStrength.h"
#include "creatures/Mapelem.h"

class CCreature;

inline constexpr int kAIManaReserveDecisionType = 59;
inline constexpr int kAIScriptSpellDecisionType = 58;
// How many ticks past Prepare a spell decision goes on evaluating.
inline constexpr int kAISpellEvaluationTicks = 6;

// The spell a decision type casts; -1 for the types whose spell is not fixed (15 the summon,
// 58 the script's spell, 59 none) and for the types that are no spell decisions.
int SpellOfDecisionType(int type);

// Whether a wizard of the group has the spell (alive, the spell in its list); wait becomes the
// smallest mana wait for one cast over them, INT_MAX when none can ever afford it.
bool GetGroupSpellWait(CAIGroupNode* group, int spell, int& wait);

// One candidate of a spell decision: its target (a creature or a cell), the cell the caster
// casts from and the route cost there.
struct CAISpellCandidate {
  CAICreatureRef target;
  int32_t targetX = 0, targetY = 0, targetLevel = 0;
  int32_t castX = 0, castY = 0, castLevel = 0;
  int32_t routeCost = 0;
};

class CAISpellDecision : public CAIDecision {
 public:
  CAISpellDecision(int type, int spell);

  // The frame's Evaluate: the next candidate's cast cell, the member's score, the tail.
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  void KeepBest() override { best = working; }
  // The frame's Execute: the walk to the cast cell, the base delay and the member's own.
  int Execute() override;
  // The frame's Step for a member that walks and casts at its best target.
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;
  void OnExpire() override {}

  // The spell the decision casts (the chosen one for the summon).
  int Spell() const { return spell_; }
  CCreature* Caster() const { return caster_.GetAlive(); }
  const CAISpellCandidate& Best() const { return best; }
  const CAISpellCandidate& Working() const { return working; }

 protected:
  // --- Prepare ---
  // Forgets the last preparation: candidates, groups, the caster.
  void BeginPrepare();
  // The side-level controller's group, not one that keeps its mana.
  static bool IsOpenSideGroup(const CAIGroupNode* node);
  // The common gate: an open side group with a creature, whose wizards can afford the spell
  // some day. Keeps the group wait and the caster.
  bool PassGate(CAIGroupNode* node);
  // The own group, the hostile group and the attackers of `attacked` (the hostile group when
  // null), built into the decision's own node list.
  void FetchSideGroups(CAIGroupNode* attacked);
  // The prior certainty: the own group against the hostile group with the list, from 0.
  void ComputePrior(std::span<const MeasureTerm> terms);
  // The candidates are ready; the evaluation runs until tick + 6.
  void FinishPrepare(int tick);

  // --- candidates ---
  // The candidates are the creatures of a group the decision built (walked with one of the
  // group's cursors) or a list of cells.
  void SetTargetGroup(CAIGroupNode* targets);
  void SetTargetCells(std::vector<CAICell> cells);
  // Puts the first (first set) or the next candidate into `working`; false when none is left.
  virtual bool TakeCandidate(bool first);

  // --- Evaluate ---
  // The member's terms for the working candidate, folded into a certainty and its weight.
  virtual void ScoreCandidate(float& weight, float& certainty) {}
  // How many casts the score's cost counts.
  virtual int CastsPlanned() const { return 1; }
  // The step allowance of each candidate's search.
  virtual int SearchAllowance() const { return 100; }
  // Runs the search for the working candidate until a cast cell is found: the cast cell and
  // route cost are then in `working`. False when the depth is past the limit, the
  // candidates are spent (the decision is then done) or the budget ran out (resumed next
  // call).
  bool FindCastPosition(CAIBudget& budget, int tick);
  // The common tail of every score: the cost of `casts` casts of the spell, the spell's
  // AI_Adjustment, the jitter and the clamp.
  void ApplySpellTail(float& weight, float& certainty, int casts = 1) const;

  // --- Execute ---
  // Saves the caster's order, clears the cast, starts the walk to the best cast cell and
  // answers the base delay: the group wait, or the route cost and the walk's own time when
  // those are longer.
  int StartApproach();
  // The caster's order saved, the cast cleared; no walk.
  void SaveCasterOrder();
  // What the member adds to the base delay.
  virtual int ExtraDelay() const { return 0; }
  // The ticks the spell's effect takes from the best cast cell to the target: the distance
  // (map units) divided by the spell's Speed; 0 for a Speed below 1.
  int TravelTicks() const;

  // --- Step ---
  // The tests before a cast, in the frame's order: cast done, mana wait, mana cost (a
  // pending mana item is used). True when the caster may cast now.
  bool ReadyToCast(CCreature& caster);
  // Whether the caster stands still on the best cast cell.
  bool OnCastCell(const CCreature& caster) const;
  // Casts the spell at a creature (target >= 0) or a place, and notes the cast.
  void Cast(CCreature& caster, int target, int x, int y, int z);
  // Restores the caster's saved order (x and y wrapped into the map) and marks the cast done.
  void FinishCast(CCreature& caster);
  // The frame's Step for a walking member that casts at its best target: ends with the
  // caster or the target lost, waits for mana and the walk, checks the line, casts once.
  bool StepWalkingCast();
  // Whether the target still qualifies (walking members with a creature target).
  virtual bool TargetQualifies(const CCreature& target) const { return target.IsAlive(); }

  void SetSpell(int spell) { spell_ = spell; }
  // Frees the nodes made since the node list had `mark` entries (a candidate's own groups).
  void FreeGroupsFrom(size_t mark);

  // Fields by role.
  uint8_t ready = 0;
  CAICreatureRef caster_;
  int32_t groupWait = INT_MAX;
  CAIGroupNode* ownGroup = nullptr;
  CAIGroupNode* hostileGroup = nullptr;
  CAIGroupNode* attackersGroup = nullptr;
  float prior = 0.0f;
  uint8_t restartCandidates = 1;
  uint8_t advance = 0;  // the working candidate was scored: the next call takes the next one
  int32_t allowance = 0;
  CAIGroupNode* candidateGroup = nullptr;
  int32_t candidateCursor = -1;
  std::vector<CAICell> candidateCells;
  size_t candidateCellIndex = 0;
  CAISpellCandidate working;
  CAISpellCandidate best;
  COrderReport savedOrder;
  uint8_t castDone = 0;

  // One slice of the cast-cell search for the working candidate; TakeCastCell reads its answer.
  bool RunSearch(CCreature& caster, CAIBudget& budget);
  void TakeCastCell();

 private:
  bool SearchFromCaster(CCreature& caster, CAIBudget& budget);

  int32_t spell_;
};

// The usual NewInstance of a spell decision class with a default constructor.
template <class Derived>
class CAISpellDecisionOf : public CAISpellDecision {
 public:
  using CAISpellDecision::CAISpellDecision;
  CAIDecision* NewInstance() const override { return new (std::nothrow) Derived(); }
};
