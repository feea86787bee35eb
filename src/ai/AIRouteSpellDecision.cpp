#include "ai/AIRouteSpellDecision.h"

#include <algorithm>
#include <climits>

#include "ai/AIBudget.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIMeasureIds.h"
#include "ai/AIPlayerMemory.h"
#include "ai/AIPositionSearch.h"
#include "ai/AIRouteCell.h"
#include "ai/AIUtilities.h"
#include "creatures/Armies.h"
#include "creatures/Artifact.h"
#include "creatures/CreatureArray.h"
#include "creatures/SpellDefinition.h"
#include "magic/EffectManager.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

using namespace ai_measure;

constexpr int EG(int own) { return own + kAIEnemyMeasureOffset; }

// A weak own side against a group that fights well wants the way closed.
constexpr MeasureTerm kAgainstGroup[] = {{1, -kAverageHealth},    {1, -kSpecificHth},    {1, -kSpecificLrc},
                                         {1, EG(kAverageHealth)}, {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)}};
constexpr MeasureTerm kAgainstEnemies[] = {{1, -kAverageHealth}, {1, -kSpecificHth},      {1, -kSpecificLrc},
                                           {1, EG(kNCreatures)}, {1, EG(kAverageHealth)}, {1, EG(kSpecificHth)},
                                           {1, EG(kSpecificLrc)}};
constexpr int kCrowdRange = 1;      // creatures this near a place stand in the spell's way
constexpr int64_t kOtherReach = 2;  // squared distance an effect of kind 26 keeps

bool CellOfIndex(int index, CAICell& cell) {
  if (g_map.cellsPerLevel <= 0 || g_map.width <= 0 || index < 0) return false;
  cell.z = index / g_map.cellsPerLevel;
  const int inLevel = index % g_map.cellsPerLevel;
  cell.y = inLevel / g_map.width;
  cell.x = inLevel % g_map.width;
  return true;
}

bool CreaturesAbout(int x, int y, int level) {
  bool crowded = false;
  g_creatureArray.ForEachInUse([&](const CCreature& c) {
    if (!crowded && c.IsAlive() && WithinRange(kCrowdRange, c.cellX, c.cellY, c.level, x, y, level)) crowded = true;
  });
  return crowded;
}

}  // namespace

bool CAIRouteSpellDecision::Spacing(int& value) {
  const CSpellDefinition& spell = g_spellDefs[kSpell];
  // A strength below 1 gives no spacing: no place can be judged.
  if (spell.SpellStrength < 1) return false;
  value = spell.Duration / spell.SpellStrength;
  return true;
}

bool CAIRouteSpellDecision::RejectPlace(int x, int y, int level, int spacingCells) {
  if (RejectTargetCell(x, y, level) || CreaturesAbout(x, y, level)) return true;
  const int64_t keep = int64_t{spacingCells} * spacingCells;
  for (int i = 0; i < g_effectManager.Count(); ++i) {
    const CEffect* effect = g_effectManager.At(i);
    if (!effect || !effect->active) continue;
    const int64_t apart = WrappedDistanceSq(effect->cellX, effect->cellY, effect->cellLevel, x, y, level);
    if (effect->kind == kTrapKind && apart <= keep) return true;
    if (effect->kind == kOtherKind && apart < kOtherReach) return true;
  }
  return false;
}

void CAIRouteSpellDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory* players, int tick) {
  BeginPrepare();
  candidates.clear();
  nextCandidate = 0;
  current = nullptr;
  stage = kNextGroup;
  casterNode = nullptr;
  if (!PassGate(node) || !Spacing(spacing)) return;
  const int army = Caster()->army;
  if (!players || army < 0 || army >= kArmyCount) return;
  CAIGroupBuilder builder(groups);
  // The side's record is rebuilt between frames: the decision keeps copies of its own.
  for (CAIGroupNode* group : GetPlayerRecordGroups(players[army], army, tick)) {
    if (!group) continue;
    CAIGroupNode* copy = builder.CopyGroup(group);
    if (copy && CountMembers(copy) > 0) candidates.push_back(copy);
  }
  if (candidates.empty()) return;
  casterNode = node;
  FetchSideGroups(nullptr);
  FinishPrepare(tick);
}

bool CAIRouteSpellDecision::StartRoute(CAIGroupNode* group) {
  const CCreature* caster = Caster();
  CCreature* nearest = nullptr;
  uint32_t nearestDistance = UINT32_MAX;
  const int cursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, cursor)) {
    if (!member->IsAlive()) continue;
    const uint32_t apart =
        WrappedDistanceSq(member->cellX, member->cellY, member->level, caster->cellX, caster->cellY, caster->level);
    if (!nearest || apart < nearestDistance) {
      nearest = member;
      nearestDistance = apart;
    }
  }
  if (!nearest) return false;
  working = CAISpellCandidate{};
  routeMover.Set(nearest);
  routeStart = {nearest->cellX, nearest->cellY, nearest->level};
  routeSearch.Restart();
  return true;
}

bool CAIRouteSpellDecision::ChoosePlace() {
  const CCreature* mover = routeMover.Get();
  if (!mover) return false;
  std::vector<CAICell> route;
  for (auto cell = routeSearch.path.rbegin(); cell != routeSearch.path.rend(); ++cell) {
    CAICell at;
    if (CellOfIndex(cell->cell, at)) route.push_back(at);
  }
  CAICell place;
  int width = 0;
  const auto widthAt = [&](const CAICell& at, const CAICell& next, int cap) {
    return PassageWidth(*mover, at, next, cap);
  };
  if (!ChooseRouteCell(route, routeStart, spacing / 2, widthAt, place, width) || width > spacing) return false;
  if (RejectPlace(place.x, place.y, place.z, spacing)) return false;
  working = CAISpellCandidate{};
  working.targetX = place.x;
  working.targetY = place.y;
  working.targetLevel = place.z;
  const CMapCell& cell = g_map.CellAt(place.x, place.y, place.z);
  if (cell.occupant != kNoLink)
    if (const CCreature* standing = g_creatureArray.InUse(cell.occupant)) working.target.Set(standing);
  search.Restart();
  allowance = kAllowance;
  return true;
}

void CAIRouteSpellDecision::ScoreGroup(float& weight, float& certainty) {
  EvaluateMeasures(casterNode, current, weight, certainty, kAgainstGroup);
  EvaluateMeasures(casterNode, hostileGroup, weight, certainty, kAgainstEnemies);
}

bool CAIRouteSpellDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  while (ready) {
    CCreature* caster = Caster();
    if (tick > evaluationEndTick || !caster) return false;
    switch (stage) {
      case kNextGroup:
        if (nextCandidate >= candidates.size()) {
          ready = 0;
          return false;
        }
        current = candidates[nextCandidate++];
        if (StartRoute(current)) stage = kRoute;
        break;
      case kRoute: {
        const CCreature* mover = routeMover.Get();
        if (!mover) {
          stage = kNextGroup;
          break;
        }
        // A route across the map takes many slices: each call grants one allowance.
        routeAllowance = kAllowance;
        SearchCellRoute(routeSearch, *mover, routeStart.x, routeStart.y, routeStart.z, caster->cellX, caster->cellY,
                        caster->level, budget, routeAllowance);
        if (routeSearch.restart == 0) return false;  // cut off: it goes on next call
        stage = routeSearch.bestGoal != -1 && ChoosePlace() ? kCastCell : kNextGroup;
        break;
      }
      case kCastCell: {
        bool found = RunSearch(*caster, budget);
        const bool finished = search.restart != 0;
        if (finished) found = search.bestGoal != -1;
        if (!finished && budget.Remaining() < 1) return false;
        stage = kNextGroup;
        if (!found) break;
        TakeCastCell();
        float weight = 0.0f, certainty = 0.0f;
        ScoreGroup(weight, certainty);
        ApplySpellTail(weight, certainty);
        *score = certainty;
        return true;
      }
    }
  }
  return false;
}

bool CAIRouteSpellDecision::Step(CAIPlayerMemory*, int, CAIBudget&) {
  CCreature* caster = Caster();
  if (!caster) return false;
  if (!OnCastCell(*caster) || castDone || caster->GetManaWaitTime(kSpell, 1) != 0) return true;
  // Short of mana, a pending mana item is used and the cast goes ahead at once.
  if ((caster->mana >> 8) < g_spellDefs[kSpell].ManaCost) ProcessItemEvent(*caster);
  int x = 0, y = 0, z = 0;
  const CMapCell* cell = g_map.CellIfInside(best.targetX, best.targetY, best.targetLevel);
  CCreature* standing = cell && cell->occupant != kNoLink ? g_creatureArray.InUse(cell->occupant) : nullptr;
  if (standing) {
    if (CastCheckAtCreature(*caster, kSpell, caster->cellX, caster->cellY, caster->level, standing) != 0) return true;
    CreatureAimPoint(*standing, x, y, z);
  } else {
    if (CastCheckAtCell(*caster, kSpell, caster->cellX, caster->cellY, caster->level, best.targetX, best.targetY,
                        best.targetLevel) != 0)
      return true;
    CellAimPoint(best.targetX, best.targetY, best.targetLevel, x, y, z);
  }
  Cast(*caster, standing ? standing->index : -1, x, y, z);
  FinishCast(*caster);
  return true;
}
