#include "ai/AISpellDecision.h"

#include <algorithm>
#include <utility>

#include "ai/AIBudget.h"
#include "ai/AICastLog.h"
#include "ai/AICertainty.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIPositionSearch.h"
#include "ai/AIUtilities.h"
#include "creatures/Artifact.h"
#include "creatures/SpellDefinition.h"
#include "magic/SpellCast.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

// The spells of the types 16-57, in type order.
constexpr int kSpellOfType[] = {22, 33, 34, 35, 38, 41,   // 16-21
                                43, 44, 46, 50, 52, 54,   // 22-27
                                55, 58, 60, 62, 65, 68,   // 28-33
                                69, 70, 71, 72, 73, 74,   // 34-39
                                75, 76, 77, 78, 79, 80,   // 40-45
                                81, 83, 84, 87, 88, 85,   // 46-51
                                42, 82, 82, 91, 92, 86};  // 52-57
constexpr int kFirstFixedSpellType = 16;

int SaturatingSum(int a, int b) { return static_cast<int>(std::min<int64_t>(int64_t{a} + b, INT_MAX)); }

bool KnowsSpell(const CCreature& creature, int spell) {
  const int count = std::clamp(creature.spellCount, 0, kCreatureSpells);
  return std::find(creature.spells, creature.spells + count, spell) != creature.spells + count;
}

}  // namespace

int SpellOfDecisionType(int type) {
  const int i = type - kFirstFixedSpellType;
  return i >= 0 && i < static_cast<int>(std::size(kSpellOfType)) ? kSpellOfType[i] : -1;
}

bool GetGroupSpellWait(CAIGroupNode* group, int spell, int& wait) {
  wait = INT_MAX;
  if (!group || spell < 0 || spell >= kSpellCount) return false;
  bool has = false;
  const int cursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, cursor)) {
    if (!member->IsWizard() || !member->IsAlive() || !KnowsSpell(*member, spell)) continue;
    has = true;
    wait = std::min(wait, member->GetManaWaitTime(spell, 1));
  }
  return has;
}

CAISpellDecision::CAISpellDecision(int type, int spell) : CAIDecision(type), spell_(spell) {}

// --- Prepare ------------------------------------------------------------------------------

void CAISpellDecision::BeginPrepare() {
  ready = 0;
  candidateGroup = nullptr;
  candidateCursor = -1;
  candidateCells.clear();
  candidateCellIndex = 0;
  restartCandidates = 1;
  advance = 0;
  caster_.Clear();
  ownGroup = hostileGroup = attackersGroup = nullptr;
  FreeGroups();
  working = best = CAISpellCandidate{};
}

void CAISpellDecision::FreeGroupsFrom(size_t mark) {
  for (size_t i = groups.size(); i > mark; --i) delete groups[i - 1];
  groups.resize(std::min(mark, groups.size()));
}

bool CAISpellDecision::IsOpenSideGroup(const CAIGroupNode* node) {
  return node && node->kind == 1 && DecisionType(node->decision) != kAIManaReserveDecisionType;
}

bool CAISpellDecision::PassGate(CAIGroupNode* node) {
  if (!IsOpenSideGroup(node) || !node->creature) return false;
  if (!GetGroupSpellWait(node, spell_, groupWait) || groupWait == INT_MAX) return false;
  caster_.Set(node->creature);
  return node->creature->IsAlive();
}

void CAISpellDecision::FetchSideGroups(CAIGroupNode* attacked) {
  const CCreature* caster = caster_.Get();
  if (!caster) return;
  CAIGroupBuilder builder(groups);
  ownGroup = builder.BuildArmyGroup(caster->army);
  hostileGroup = builder.BuildSeenEnemiesGroup(caster->army);
  attackersGroup = builder.BuildAttackersGroup(attacked ? attacked : hostileGroup);
}

void CAISpellDecision::ComputePrior(std::span<const MeasureTerm> terms) {
  float weight = 0.0f;
  prior = 0.0f;
  EvaluateMeasures(ownGroup, hostileGroup, weight, prior, terms);
}

void CAISpellDecision::FinishPrepare(int tick) {
  ready = 1;
  restartCandidates = 1;
  evaluationEndTick = SaturatingSum(tick, kAISpellEvaluationTicks);
}

// --- candidates ---------------------------------------------------------------------------

void CAISpellDecision::SetTargetGroup(CAIGroupNode* targets) {
  candidateGroup = targets;
  candidateCells.clear();
}

void CAISpellDecision::SetTargetCells(std::vector<CAICell> cells) {
  candidateGroup = nullptr;
  candidateCells = std::move(cells);
}

bool CAISpellDecision::TakeCandidate(bool first) {
  working = CAISpellCandidate{};
  if (candidateGroup) {
    if (first) candidateCursor = GroupFirstMember(candidateGroup);
    if (candidateCursor < 0) return false;
    CCreature* target = GroupNextMember(candidateGroup, candidateCursor);
    if (!target) {
      candidateCursor = -1;
      return false;
    }
    working.target.Set(target);
    working.targetX = target->cellX;
    working.targetY = target->cellY;
    working.targetLevel = target->level;
    return true;
  }
  if (first) candidateCellIndex = 0;
  if (candidateCellIndex >= candidateCells.size()) return false;
  const CAICell& cell = candidateCells[candidateCellIndex++];
  working.targetX = cell.x;
  working.targetY = cell.y;
  working.targetLevel = cell.z;
  return true;
}

// --- Evaluate -----------------------------------------------------------------------------

bool CAISpellDecision::RunSearch(CCreature& caster, CAIBudget& budget) {
  // The search stops as soon as its counter reaches 0, so the step that pays for a cell's
  // expansion must not be the last one: a budget down to one step lends the search one more,
  // so a starved controller still gains a cell a call instead of wearing out every allowance.
  const bool lend = budget.steps == 1 && budget.Remaining() == 1;
  if (lend) ++budget.steps;
  const bool found = SearchFromCaster(caster, budget);
  if (lend) --budget.steps;
  return found;
}

bool CAISpellDecision::SearchFromCaster(CCreature& caster, CAIBudget& budget) {
  if (CCreature* target = working.target.IsSet() ? working.target.Get() : nullptr)
    return SearchPositions(*this, caster, spell_, caster.cellX, caster.cellY, caster.level, target, budget, allowance);
  if (working.target.IsSet()) return false;  // the target left the battle
  return SearchPositionsForSpell(*this, caster, spell_, caster.cellX, caster.cellY, caster.level, working.targetX,
                                 working.targetY, working.targetLevel, budget, allowance);
}

void CAISpellDecision::TakeCastCell() {
  working.routeCost = search.resultCost;
  const int cell = search.path.empty() ? -1 : search.path.front().cell;
  if (cell < 0 || g_map.cellsPerLevel <= 0 || g_map.width <= 0) return;
  working.castLevel = cell / g_map.cellsPerLevel;
  const int inLevel = cell % g_map.cellsPerLevel;
  working.castY = CWrapCoord::WrapY(inLevel / g_map.width);
  working.castX = CWrapCoord::WrapX(inLevel % g_map.width);
}

bool CAISpellDecision::FindCastPosition(CAIBudget& budget, int tick) {
  if (!ready) return false;
  auto next = [&](bool first) {
    if (!TakeCandidate(first)) {
      ready = 0;
      return false;
    }
    search.Restart();
    allowance = SearchAllowance();
    return true;
  };
  if (restartCandidates || advance) {
    const bool first = restartCandidates;
    restartCandidates = advance = 0;
    if (!next(first)) return false;
  }
  for (;;) {
    if (tick > evaluationEndTick) return false;
    CCreature* caster = Caster();
    if (!caster) {
      ready = 0;
      return false;
    }
    bool found = RunSearch(*caster, budget);
    // A search that has run to its end has its answer whatever the budget has left; one that
    // was cut off goes on from where it stopped on the next call.
    const bool finished = search.restart != 0;
    if (finished) found = search.bestGoal != -1;
    if (!finished && budget.Remaining() < 1) return false;
    if (found) break;
    if (!next(false)) return false;
  }
  TakeCastCell();
  advance = 1;
  return true;
}

void CAISpellDecision::ApplySpellTail(float& weight, float& certainty, int casts) const {
  if (const CCreature* caster = caster_.Get()) AdjustSpellCertainty(*caster, spell_, weight, certainty, casts);
}

bool CAISpellDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  if (!FindCastPosition(budget, tick)) return false;
  float weight = 0.0f, certainty = 0.0f;
  ScoreCandidate(weight, certainty);
  ApplySpellTail(weight, certainty, CastsPlanned());
  *score = certainty;
  return true;
}

// --- Execute ------------------------------------------------------------------------------

void CAISpellDecision::SaveCasterOrder() {
  castDone = 0;
  savedOrder = COrderReport{};
  if (const CCreature* caster = caster_.Get()) caster->GetCurrentOrder(savedOrder);
}

int CAISpellDecision::StartApproach() {
  SaveCasterOrder();
  CCreature* caster = Caster();
  if (!caster) return groupWait;
  caster->WalkTo(best.castX, best.castY, best.castLevel);
  const unsigned speed = static_cast<unsigned>(caster->stepSpeed);
  const int walk = caster->animState == ANIM_WALK && caster->stepSpeed > 0 ? static_cast<int>(4608u / speed) : 0;
  const int travel = SaturatingSum(std::max(best.routeCost, 0), walk);
  return groupWait >= travel ? groupWait : travel;
}

int CAISpellDecision::Execute() { return SaturatingSum(StartApproach(), std::max(ExtraDelay(), 0)); }

int CAISpellDecision::TravelTicks() const {
  if (spell_ < 0 || spell_ >= kSpellCount || g_spellDefs[spell_].Speed < 1) return 0;
  int fromX, fromY, fromZ, toX, toY, toZ;
  CellAimPoint(best.castX, best.castY, best.castLevel, fromX, fromY, fromZ);
  const CCreature* target = best.target.IsSet() ? best.target.Get() : nullptr;
  if (target)
    CreatureAimPoint(*target, toX, toY, toZ);
  else
    CellAimPoint(best.targetX, best.targetY, best.targetLevel, toX, toY, toZ);
  const uint32_t distance =
      IntegerSqrt(static_cast<uint64_t>(WrappedDistanceSqUnits(fromX, fromY, fromZ, toX, toY, toZ)));
  return static_cast<int>(distance / static_cast<uint32_t>(g_spellDefs[spell_].Speed));
}

// --- Step ---------------------------------------------------------------------------------

bool CAISpellDecision::ReadyToCast(CCreature& caster) {
  if (castDone) return false;
  if (caster.GetManaWaitTime(spell_, 1) != 0) return false;
  if (spell_ >= 0 && spell_ < kSpellCount && (caster.mana >> 8) < g_spellDefs[spell_].ManaCost) {
    ProcessItemEvent(caster);
    return false;
  }
  return true;
}

bool CAISpellDecision::OnCastCell(const CCreature& caster) const {
  return caster.cellX == best.castX && caster.cellY == best.castY && caster.level == best.castLevel &&
         caster.animState != ANIM_WALK;
}

void CAISpellDecision::Cast(CCreature& caster, int target, int x, int y, int z) {
  CSpellCast cast;
  cast.spell = spell_;
  cast.targetX = x;
  cast.targetY = y;
  cast.targetZ = z;
  cast.caster = caster.index;
  cast.target = target;
  cast.mode = 1;
  cast.extra = -1;
  NoteAICast({caster.index, type, spell_, target, x, y, z});
  cast.Execute();
}

void CAISpellDecision::FinishCast(CCreature& caster) {
  caster.IssueOrder(savedOrder.kind, CWrapCoord::WrapX(savedOrder.x), CWrapCoord::WrapY(savedOrder.y), savedOrder.level,
                    savedOrder.target);
  castDone = 1;
}

bool CAISpellDecision::Step(CAIPlayerMemory*, int, CAIBudget&) { return StepWalkingCast(); }

bool CAISpellDecision::StepWalkingCast() {
  CCreature* caster = Caster();
  if (!caster) return false;
  CCreature* target = best.target.IsSet() ? best.target.Get() : nullptr;
  if (best.target.IsSet() && (!target || !TargetQualifies(*target))) {
    if (!castDone) FinishCast(*caster);
    return false;
  }
  if (!ReadyToCast(*caster) || !OnCastCell(*caster)) return true;
  int x = 0, y = 0, z = 0;
  if (target) {
    if (CastCheckAtCreature(*caster, spell_, caster->cellX, caster->cellY, caster->level, target) != 0) return true;
    CreatureAimPoint(*target, x, y, z);
  } else {
    if (CastCheckAtCell(*caster, spell_, caster->cellX, caster->cellY, caster->level, best.targetX, best.targetY,
                        best.targetLevel) != 0)
      return true;
    CellAimPoint(best.targetX, best.targetY, best.targetLevel, x, y, z);
  }
  Cast(*caster, target ? target->index : -1, x, y, z);
  FinishCast(*caster);
  return true;
}
