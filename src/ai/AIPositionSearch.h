#pragma once
// CAIPositionSearch: the resumable best-first (uniform-cost) search over map cells that the
// spell decisions run to find the cheapest cell from which a caster can cast at a target. It
// grows outward from the start by a successor generator, asks a goal test at each improved
// cell and keeps the cheapest goal. It stops when its step counter is spent and continues from
// the same place on the next call: the open and closed sets live in the object.
//
// Cells are cell indexes of the map; a cell's "move" is the seven words of movement state the
// successor generator produces (CSearchStep).

#include <climits>
#include <cstdint>
#include <map>
#include <vector>

#include "map/BestFirstSearch.h"

class CAIBudget;
class CAIDecision;
class CCreature;

// What the successor generator leaves of a cell in the closed set.
struct CAIClosedCell {
  int32_t cost = INT_MAX;
  int32_t from = -1;  // the predecessor cell, -1 for none
  CSearchStep move = NewMove();

  // A new record's movement state: step kind 5, the rest 0.
  static CSearchStep NewMove() {
    CSearchStep move;
    move.stepKind = 5;
    return move;
  }
};

struct CAIPathCell {
  int32_t cell = -1;
  CSearchStep move;
};

class CAIPositionSearch {
 public:
  // Starts over on the next call; forgets nothing until then.
  void Restart() { restart = 1; }

  uint8_t restart = 1;
  std::multimap<int32_t, int32_t>::iterator cursor;
  int32_t bestCost = INT_MAX;
  int32_t bestGoal = -1;
  std::multimap<int32_t, int32_t> open;  // cost -> cell; equal costs in insertion order
  std::map<int32_t, CAIClosedCell> closed;
  std::vector<CSuccessor> candidates;
  std::vector<CAIPathCell> path;  // the best goal first, back to the start
  size_t pathEnd = 0;
  int32_t resultCost = INT_MAX;
};

// The successors of a cell: appends (step cost, cell, move) records and lowers the counter
// by the work done.
class IAICellSuccessors {
 public:
  virtual ~IAICellSuccessors() = default;
  virtual void Successors(int cell, const CSearchStep& move, std::vector<CSuccessor>& out, int32_t& counter) = 0;
};

// The goal test of a search: a cell and its movement state.
using AIGoalTest = bool (*)(int cell, const CSearchStep& move);

// One slice of the search: true when a goal is known and the counter is still positive
// after the call. Successors are taken in a random order drawn from g_aiRandom.
bool BestFirstSearchStep(CAIPositionSearch& search, int start, AIGoalTest goal, IAICellSuccessors& successors,
                         int32_t& counter);

// The cheapest cell reachable for the caster from the start cell from which it can cast the
// spell at the target creature; the sub-budget is the allowance or the budget's steps, and
// both the budget and the allowance pay exactly the steps used.
bool SearchPositions(CAIDecision& decision, CCreature& caster, int spell, int x, int y, int level, CCreature* target,
                     CAIBudget& budget, int& allowance);
// The same for a target cell.
bool SearchPositionsForSpell(CAIDecision& decision, CCreature& caster, int spell, int x, int y, int level, int targetX,
                             int targetY, int targetLevel, CAIBudget& budget, int& allowance);

// The cheapest cell route for the mover from its start cell to a goal cell, time-sliced like the
// searches above; the route is the search's path (the goal first, back to the start).
bool SearchCellRoute(CAIPositionSearch& search, const CCreature& mover, int x, int y, int level, int goalX, int goalY,
                     int goalLevel, CAIBudget& budget, int& allowance);

// The goal tests of the two searches, on the context the searches set for their call.
bool PositionGoalTest(int cell, const CSearchStep& move);
bool SpellPositionGoalTest(int cell, const CSearchStep& move);
