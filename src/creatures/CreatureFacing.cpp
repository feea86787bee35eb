// Which way a creature faces: toward a cell, a point or a neighbouring creature, and the
// facing as the view shows it. Facing 0 looks toward y - 1, then clockwise.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "creatures/CreatureHooks.h"
#include "creatures/Mapelem.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

constexpr int kDirectionOfSigns[3][3] = {
    // dx -1, 0, +1 for dy -1
    {7, 0, 1},
    // dy 0
    {6, -1, 2},
    // dy +1
    {5, 4, 3},
};

int Sign(int v) { return (v > 0) - (v < 0); }

// The direction of a cell offset: the diagonal of the signs, unless the offset lies nearer a
// straight direction (3 x the smaller part below 2 x the larger); -1 for no offset.
int DirectionTowards(int dx, int dy) {
  const int direction = kDirectionOfSigns[Sign(dy) + 1][Sign(dx) + 1];
  if (direction < 0 || (direction & 1) == 0) return direction;
  const int ax = std::abs(dx), ay = std::abs(dy);
  if (3 * std::min(ax, ay) >= 2 * std::max(ax, ay)) return direction;
  if (ax < ay) return dy <= 0 ? 0 : 4;
  return dx <= 0 ? 6 : 2;
}

// A difference moved by the map's extent toward 0 when it is more than half of it.
int ShortWay(int d, int extent) {
  if (extent <= 0) return d;
  if (std::abs(d) > extent / 2) d += d > 0 ? -extent : extent;
  return d;
}

// Whether trunc(atan(b / a)) in degrees is at most `degrees` - 1 or less, for a, b > 0,
// compared as integers against the tangent of the whole degree (scaled by 10^12).
bool AngleBelow(int64_t a, int64_t b, int64_t tangentScaled) { return b * 1000000000000LL < a * tangentScaled; }
constexpr int64_t kTan23 = 424474816210LL;   // tan 23 degrees x 10^12
constexpr int64_t kTan68 = 2475086853416LL;  // tan 68 degrees x 10^12

}  // namespace

void CCreature::SetFacing(int newFacing) {
  facing = newFacing & 7;
  viewFacing = (facing - 2 * g_creatureViewRotation) & 7;
  if (mirrored) viewFacing = (viewFacing - 4) & 7;
  if (spellState == 3 && attachAnim2.animation)
    attachAnim2.SwitchSequence(attachAnim2.sequence - (attachAnim2.sequence & 7) + viewFacing);
  if (spellState == 2 && attachedEffect >= 0) g_creatureEffects->TurnEffect(attachedEffect, facing);
}

void CCreature::UpdateViewFacing() {
  SetFacing(facing);
  if (bodyAnim.animation && bodyAnim.animation->HasSequence(animationBase + viewFacing))
    bodyAnim.SwitchSequence(animationBase + viewFacing);
}

void CCreature::FaceCell(int x, int y) {
  const int dx = ShortWay(x - cellX, g_map.width);
  const int dy = ShortWay(y - cellY, g_map.height);
  const int direction = DirectionTowards(dx, dy);
  if (direction >= 0) SetFacing(direction);
}

void CCreature::FacePoint(int x, int y) {
  const int centre = type ? type->centreOffset : 16;
  const int o = WrappedDelta(x, unitX + centre, g_map.width * kUnitsPerTile);
  const int w = WrappedDelta(y, unitY + centre, g_map.height * kUnitsPerTile);
  if (o == 0 && w == 0) return;
  int direction;
  if (o == 0) {
    direction = w > 0 ? 4 : 0;
  } else if (w == 0) {
    direction = o > 0 ? 2 : 6;
  } else {
    const int64_t a = std::abs(o), b = std::abs(w);
    // B is the truncated angle off the x axis; for o and w of one sign, 90 - B.
    const bool sameSign = (o > 0) == (w > 0);
    bool nearStraight, nearDiagonal;  // base 2, base 1
    if (!sameSign) {
      nearStraight = AngleBelow(a, b, kTan23);  // B <= 22
      nearDiagonal = AngleBelow(a, b, kTan68);  // B < 68
    } else {
      nearStraight = !AngleBelow(a, b, kTan68);  // 90 - B <= 22: B >= 68
      nearDiagonal = !AngleBelow(a, b, kTan23);  // 90 - B < 68: B >= 23
    }
    direction = nearStraight ? 2 : nearDiagonal ? 1 : 0;
    if (o > 0 && w > 0) direction += 2;
    if (o < 0 && w > 0) direction += 4;
    if (o < 0 && w < 0) direction += 6;
    if (direction > 7) direction -= 8;
  }
  SetFacing(direction);
}

int CCreature::FaceAdjacentCreature(const CCreature& other) {
  const int dx = WrapDeltaX(cellX, other.cellX);
  const int dy = WrapDeltaY(cellY, other.cellY);
  if (dx < -2 || dx > 2 || dy < -2 || dy > 2) return 0;
  const int ownSize = type ? type->TileSizeXY : 1;
  const int otherSize = other.type ? other.type->TileSizeXY : 1;
  // Footprints that overlap give no direction.
  const bool overlapX = dx < ownSize && -dx < otherSize;
  const bool overlapY = dy < ownSize && -dy < otherSize;
  if (overlapX && overlapY) return 0;
  // Between the footprint centres, in half cells.
  const int direction = DirectionTowards(2 * dx + otherSize - ownSize, 2 * dy + otherSize - ownSize);
  if (direction < 0 || direction > 7) return 0;
  SetFacing(direction);
  return 1;
}
