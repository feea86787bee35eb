#pragma once
// Where a route is narrowest: the place a spell that closes a way (a trap, a wall) does most.
// ChooseRouteCell walks a found cell route back from its end and keeps the cell across which
// the passage is least wide; RejectTargetCell turns down a cell where such a spell would come
// to nothing.

#include <functional>
#include <span>

#include "ai/AIGroupBuilder.h"

class CCreature;

// The width of the passage across a route at a cell, the route going on to `next`; at most cap.
using RouteWidthAt = std::function<int(const CAICell& at, const CAICell& next, int cap)>;

// Walks the route (in walking order) back from its last cell until a cell lies within
// halfDistance of the reference cell (squared wrapped distance below halfDistance²) or the
// first cell is passed; at each cell where the route moves across the map it asks the width
// there, starting from a cap of (map width + map height) / 2. The narrowest cell wins, the
// first from the end on ties: true with the cell in `out` and its width in `width`. False for
// an empty route or one nowhere narrower than the cap (width is then the cap).
bool ChooseRouteCell(std::span<const CAICell> route, CAICell reference, int halfDistance, const RouteWidthAt& widthAt,
                     CAICell& out, int& width);

// The passage's width across the step from `next` back to `at` for the creature: `at` and the
// cells it could step to sideways, one at a time to either side (to the level above, the same
// level or the level below, the first where it stands, fits, is not kept out by water and can
// move straight from the cell before), each side stopping at its first failure; at most cap.
int PassageWidth(const CCreature& mover, CAICell at, CAICell next, int cap);

// Whether a cell is no place for a closing spell: it holds a trap already or lies sealed.
bool RejectTargetCell(int x, int y, int level);
