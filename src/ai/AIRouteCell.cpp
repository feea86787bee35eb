#include "ai/AIRouteCell.h"

#include <cstdint>

#include "ai/AIQueries.h"
#include "creatures/Mapelem.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

constexpr uint16_t kTrapBit = 0x0020;

int Sign(int v) { return (v > 0) - (v < 0); }

// One sideways step from a cell: the first of the levels above, level and below that takes
// the creature. False when none does.
bool StepAside(const CCreature& mover, CAICell& cell, int dx, int dy) {
  const int x = static_cast<int>(WrapInto(int64_t{cell.x} + dx, g_map.width));
  const int y = static_cast<int>(WrapInto(int64_t{cell.y} + dy, g_map.height));
  for (int level = cell.z + 1; level >= cell.z - 1; --level) {
    if (level < 0 || level >= g_map.levels) continue;
    if (!CreatureGroundSupportAt(mover, x, y, level) || !CreatureRoomAt(mover, x, y, level) ||
        CreatureClearOfWaterAt(mover, x, y, level))
      continue;
    int kind = 0;
    if (!mover.CanMoveStraightTo(cell.x, cell.y, cell.z, x, y, level, &kind, 0)) continue;
    cell = {x, y, level};
    return true;
  }
  return false;
}

}  // namespace

bool ChooseRouteCell(std::span<const CAICell> route, CAICell reference, int halfDistance, const RouteWidthAt& widthAt,
                     CAICell& out, int& width) {
  width = (g_map.width + g_map.height) / 2;
  if (route.empty()) return false;
  const int64_t reach = int64_t{halfDistance} * halfDistance;
  bool found = false;
  for (size_t i = route.size(); i-- > 0;) {
    const CAICell& at = route[i];
    if (static_cast<int64_t>(WrappedDistanceSq(at.x, at.y, at.z, reference.x, reference.y, reference.z)) < reach) break;
    if (i + 1 == route.size()) continue;
    const CAICell& next = route[i + 1];
    if (at.x == next.x && at.y == next.y) continue;  // a climb or a drop: no passage across
    const int across = widthAt(at, next, width);
    if (across < width) {
      out = at;
      width = across;
      found = true;
    }
  }
  return found;
}

int PassageWidth(const CCreature& mover, CAICell at, CAICell next, int cap) {
  if (!g_map.cells) return 0;
  const int fx = Sign(WrapDeltaX(next.x, at.x)), fy = Sign(WrapDeltaY(next.y, at.y));
  int width = 1;
  for (int side : {1, -1}) {
    CAICell cell = at;
    while (width < cap && StepAside(mover, cell, -fy * side, fx * side)) ++width;
  }
  return width < cap ? width : cap;
}

bool RejectTargetCell(int x, int y, int level) {
  const CMapCell* cell = g_map.CellIfInside(x, y, level);
  return !cell || (cell->state & kTrapBit) != 0 || cell->IsSealed();
}
