#include "ai/AIPositionSearch.h"

#include "ai/AIBudget.h"
#include "ai/AIDecision.h"
#include "ai/AIUtilities.h"
#include "creatures/Mapelem.h"
#include "map/CellRouteSearch.h"
#include "map/Map.h"

namespace {

// What the goal tests read; valid during one search call only.
struct SearchContext {
  CCreature* caster = nullptr;
  int spell = 0;
  CCreature* target = nullptr;
  int targetX = 0, targetY = 0, targetLevel = 0;
};
SearchContext g_searchContext;

// The map's cell successors for the caster.
class MapCellSuccessors : public IAICellSuccessors {
 public:
  explicit MapCellSuccessors(const CRouteMover& mover) : mover_(mover) {}
  void Successors(int cell, const CSearchStep& move, std::vector<CSuccessor>& out, int32_t& counter) override {
    CBestFirstSearch::Closed data;
    data.step = move;
    CellSuccessors(cell, data, mover_, out, counter);
  }

 private:
  const CRouteMover& mover_;
};

void RebuildPath(CAIPositionSearch& search, int start) {
  search.path.clear();
  for (int cell = search.bestGoal; cell != -1;) {
    const auto record = search.closed.find(cell);
    if (record == search.closed.end()) break;
    search.path.push_back({cell, record->second.move});
    if (cell == start) break;
    cell = record->second.from;
  }
  search.pathEnd = search.path.size();
  search.resultCost = search.bestCost;
}

void Begin(CAIPositionSearch& search, int start, AIGoalTest goal) {
  search.restart = 0;
  search.open.clear();
  search.closed.clear();
  search.open.emplace(0, start);
  CAIClosedCell& first = search.closed[start];
  first.cost = 0;
  if (goal(start, first.move)) {
    search.bestCost = 0;
    search.bestGoal = start;
  } else {
    search.bestCost = INT_MAX;
    search.bestGoal = -1;
  }
  search.cursor = search.open.begin();
}

// Takes the candidates in a random order, keeping each cell's cheapest arrival.
void Relax(CAIPositionSearch& search, int from, int fromCost, AIGoalTest goal) {
  while (!search.candidates.empty()) {
    const size_t pick = static_cast<size_t>(RandomBits31()) % search.candidates.size();
    const CSuccessor next = search.candidates[pick];
    search.candidates[pick] = search.candidates.back();
    search.candidates.pop_back();
    const int64_t wide = static_cast<int64_t>(fromCost) + next.cost;
    const int32_t cost = wide >= INT_MAX ? INT_MAX - 1 : static_cast<int32_t>(wide);
    CAIClosedCell& record = search.closed[next.node];
    if (cost >= record.cost) continue;
    record.cost = cost;
    record.from = from;
    record.move = next.step;
    search.open.emplace(cost, next.node);
    if (cost < search.bestCost && goal(next.node, next.step)) {
      search.bestCost = cost;
      search.bestGoal = next.node;
    }
  }
}

}  // namespace

bool BestFirstSearchStep(CAIPositionSearch& search, int start, AIGoalTest goal, IAICellSuccessors& successors,
                         int32_t& counter) {
  if (search.restart) Begin(search, start, goal);
  for (;;) {
    if (search.cursor == search.open.end() || search.cursor->first >= search.bestCost) {
      search.restart = 1;
      break;
    }
    const int cell = search.cursor->second;
    const int cellCost = search.cursor->first;
    search.candidates.clear();
    successors.Successors(cell, search.closed[cell].move, search.candidates, counter);
    if (counter <= 0) break;  // this cell is expanded again on the next call
    Relax(search, cell, cellCost, goal);
    ++search.cursor;
  }
  RebuildPath(search, start);
  return search.bestGoal != -1 && counter > 0;
}

namespace {

// The successor generator keeps to the box around the start and its goal: the target's cell,
// so the search grows between the caster and what it casts at.
bool RunSearch(CAIDecision& decision, CCreature& caster, int x, int y, int level, CellPos target, AIGoalTest goal,
               CAIBudget& budget, int& allowance) {
  if (!g_map.cells || !g_map.IsInside(x, y, level)) return false;
  CRouteMover mover;
  mover.queryGiven = true;  // a zeroed footprint query, with the caster and the start named
  mover.query = CMoveQuery{0, 0, 0, 0, 0, 0, 0};
  mover.creature = caster.index;
  mover.start = {x, y, level};
  mover.goal = target;
  MapCellSuccessors successors(mover);
  CAISubBudget sub(budget, allowance, &allowance);
  return BestFirstSearchStep(decision.search, g_map.CellIndex(x, y, level), goal, successors, sub.budget.steps);
}

}  // namespace

bool SearchPositions(CAIDecision& decision, CCreature& caster, int spell, int x, int y, int level, CCreature* target,
                     CAIBudget& budget, int& allowance) {
  g_searchContext = {&caster, spell, target, 0, 0, 0};
  const CellPos goal = target ? CellPos{target->cellX, target->cellY, target->level} : CellPos{x, y, level};
  return RunSearch(decision, caster, x, y, level, goal, PositionGoalTest, budget, allowance);
}

bool SearchPositionsForSpell(CAIDecision& decision, CCreature& caster, int spell, int x, int y, int level, int targetX,
                             int targetY, int targetLevel, CAIBudget& budget, int& allowance) {
  g_searchContext = {&caster, spell, nullptr, targetX, targetY, targetLevel};
  return RunSearch(decision, caster, x, y, level, {targetX, targetY, targetLevel}, SpellPositionGoalTest, budget,
                   allowance);
}

namespace {
int g_routeGoal = -1;  // the route search's goal cell, valid during one call
bool RouteGoalTest(int cell, const CSearchStep&) { return cell == g_routeGoal; }
}  // namespace

bool SearchCellRoute(CAIPositionSearch& search, const CCreature& mover, int x, int y, int level, int goalX, int goalY,
                     int goalLevel, CAIBudget& budget, int& allowance) {
  if (!g_map.cells || !g_map.IsInside(x, y, level) || !g_map.IsInside(goalX, goalY, goalLevel)) return false;
  CRouteMover route;
  route.queryGiven = true;  // the way the mover itself could walk
  route.query = mover.MakeMoveQuery();
  route.creature = mover.index;
  route.start = {x, y, level};
  route.goal = {goalX, goalY, goalLevel};
  MapCellSuccessors successors(route);
  g_routeGoal = g_map.CellIndex(goalX, goalY, goalLevel);
  CAISubBudget sub(budget, allowance, &allowance);
  return BestFirstSearchStep(search, g_map.CellIndex(x, y, level), RouteGoalTest, successors, sub.budget.steps);
}

namespace {
bool CellOf(int cell, int& x, int& y, int& level) {
  if (g_map.cellsPerLevel <= 0 || g_map.width <= 0 || cell < 0) return false;
  level = cell / g_map.cellsPerLevel;
  const int inLevel = cell % g_map.cellsPerLevel;
  y = inLevel / g_map.width;
  x = inLevel % g_map.width;
  return true;
}
}  // namespace

bool PositionGoalTest(int cell, const CSearchStep&) {
  int x, y, level;
  if (!g_searchContext.caster || !CellOf(cell, x, y, level)) return false;
  return CastCheckAtCreature(*g_searchContext.caster, g_searchContext.spell, x, y, level, g_searchContext.target) == 0;
}

bool SpellPositionGoalTest(int cell, const CSearchStep&) {
  int x, y, level;
  if (!g_searchContext.caster || !CellOf(cell, x, y, level)) return false;
  return CastCheckAtCell(*g_searchContext.caster, g_searchContext.spell, x, y, level, g_searchContext.targetX,
                         g_searchContext.targetY, g_searchContext.targetLevel) == 0;
}
