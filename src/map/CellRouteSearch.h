#pragma once
// The cell-level route search: short routes planned cell by cell with the best-first scheme,
// handed to the creature as up to 16 waypoints in its route block. The same successor
// generator serves the entry-node search and the link tests.

#include <cstdint>
#include <vector>

#include "map/BestFirstSearch.h"
#include "map/PathNetwork.h"

struct CWaypoint {
  int32_t x = 0, y = 0, level = 0;
  int32_t facing = 0;       // 0-7 for the step into this cell
  int32_t levelChange = 0;  // a step within the same column
  int32_t special = 0;      // 1 for step kinds 1, 2 and 3
  int32_t stepKind = 0;
};

// A creature's route block (524 bytes in the creature record): the creature code copies it
// into the search object before a search and back afterwards.
struct CRouteBlock {
  static constexpr int kWaypoints = 16;
  int32_t goalX = 0, goalY = 0, goalLevel = 0;
  int32_t nextWaypoint = 0;
  int32_t count = 0;
  CWaypoint waypoints[kWaypoints];
  uint8_t kept[56] = {};  // the creature's own bytes, passed through untouched
};

class CCellRouteSearch {
 public:
  CRouteBlock block;
  CBestFirstSearch search;  // its restart flag starts a fresh search

  // Plans from the creature's cell to the goal with at most `budget` expansions (lowered by
  // what was used). A waypoint count of 0 means no step could be planned.
  void Search(int creature, int secondCreature, int goalX, int goalY, int goalLevel, int32_t& budget);
};

// [0]: planning done within one call; [1]: planning continued over several calls.
extern CCellRouteSearch g_cellRouteSearch[2];

// The lowest level the cell search steps to (0 after a map is built).
extern int g_routeSearchFloor;

// The successors of a cell for a mover (spends one unit of budget), and the estimate.
void CellSuccessors(int cellIndex, const CBestFirstSearch::Closed& data, const CRouteMover& mover,
                    std::vector<CSuccessor>& out, int32_t& budget);
int CellHeuristic(int cellIndex, const CellPos& goal);
