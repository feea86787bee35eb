#include "map/MapUnits.h"

#include <cmath>

const GridStep kNeighbours26[26] = {
    {0, -1, 0},  {1, -1, 0},  {1, 0, 0},  {1, 1, 0},  {0, 1, 0},  {-1, 1, 0},  {-1, 0, 0},  {-1, -1, 0},  {0, 0, 1},
    {0, -1, 1},  {1, -1, 1},  {1, 0, 1},  {1, 1, 1},  {0, 1, 1},  {-1, 1, 1},  {-1, 0, 1},  {-1, -1, 1},  {0, 0, -1},
    {0, -1, -1}, {1, -1, -1}, {1, 0, -1}, {1, 1, -1}, {0, 1, -1}, {-1, 1, -1}, {-1, 0, -1}, {-1, -1, -1},
};

const GridStep kSideNeighbours[4] = {{0, -1, 0}, {-1, 0, 0}, {0, 1, 0}, {1, 0, 0}};

uint32_t IntegerSqrt(uint64_t value) {
  // Exact on every machine, unlike a floating-point root of a large value.
  uint64_t root = static_cast<uint64_t>(std::sqrt(static_cast<double>(value)));
  while (root * root > value) --root;
  while ((root + 1) * (root + 1) <= value) ++root;
  return static_cast<uint32_t>(root);
}

namespace {

uint64_t CellDistanceSq(int x1, int y1, int z1, int x2, int y2, int z2) {
  int64_t dx = 32 * static_cast<int64_t>(WrapDeltaX(x1, x2));
  int64_t dy = 32 * static_cast<int64_t>(WrapDeltaY(y1, y2));
  int64_t dz = 16 * (static_cast<int64_t>(z2) - z1);
  return static_cast<uint64_t>(dx * dx + dy * dy + dz * dz) >> 10;
}

// One correction by the map size, for differences of positions inside the map.
int SingleCorrection(int a, int b, int m) {
  int d = a - b;
  if (std::abs(d) > m / 2) d += d <= 0 ? m : -m;
  return d;
}

}  // namespace

int CellsWithinRange(int range, int* distanceOut, int x1, int y1, int z1, int x2, int y2, int z2) {
  uint64_t s = CellDistanceSq(x1, y1, z1, x2, y2, z2);
  if (distanceOut) *distanceOut = static_cast<int>(IntegerSqrt(s));
  return static_cast<uint64_t>(static_cast<int64_t>(range) * range) >= s ? 1 : 0;
}

int PointsWithinRange(int x1, int y1, int z1, int x2, int y2, int z2, int limit) {
  int64_t s = WrappedDistanceSqUnits(x1, y1, z1, x2, y2, z2);
  return static_cast<int64_t>(IntegerSqrt(static_cast<uint64_t>(s))) < limit ? 1 : 0;
}

int CellsAdjacent(int x1, int y1, int z1, int x2, int y2, int z2) {
  int dx = SingleCorrection(x1, x2, g_map.width);
  int dy = SingleCorrection(y1, y2, g_map.height);
  int dz = z1 - z2;
  return std::abs(dx) < 2 && std::abs(dy) < 2 && std::abs(dz) < 2 ? 1 : 0;
}

uint32_t WrappedDistanceSq(int x1, int y1, int z1, int x2, int y2, int z2) {
  return static_cast<uint32_t>(CellDistanceSq(x1, y1, z1, x2, y2, z2));
}

int64_t WrappedDistanceSqUnits(int x1, int y1, int z1, int x2, int y2, int z2) {
  int64_t dx = WrappedDelta(x2, x1, g_map.width * kUnitsPerTile);
  int64_t dy = WrappedDelta(y2, y1, g_map.height * kUnitsPerTile);
  int64_t dz = static_cast<int64_t>(z2) - z1;
  return dx * dx + dy * dy + dz * dz;
}

int DirectionFromStep(int dx, int dy) {
  static const int kTable[3][3] = {{7, 0, 1}, {6, 0, 2}, {5, 4, 3}};
  int col = (dx > 0) - (dx < 0) + 1;
  int row = (dy > 0) - (dy < 0) + 1;
  return kTable[row][col];
}

int DirectionFromVector(float dx, float dy) {
  // 0 - dy, not -dy: a zero y must give +0, so that the zero vector points north.
  float angle = std::atan2(dx, 0.0f - dy);
  if (angle < 0.0f) angle += 6.2831855f;
  int direction = static_cast<int>(std::floor(angle * 1.2732395f + 0.5f));
  return ((direction % 8) + 8) % 8;
}

int DirectionDifference(int from, int to) {
  int c = ((to - from + 8) % 8 + 8) % 8;
  return c < 5 ? c : c - 8;
}

void GetCreatureDrawAnchor(const DrawAnchorCreature& creature, int rotation, int& x, int& y, int& z) {
  int tileX = x / kUnitsPerTile, tileY = y / kUnitsPerTile, level = z / kUnitsPerLevel;
  bool lowered = false;
  if (creature.hasPartner) {
    if (creature.partnerLevel > level) {
      ++level;
      lowered = true;
    }
  } else {
    // The neighbour on the creature's side of the seam: the plain step.
    const GridStep& step = kDirectionSteps[creature.facing & 7];
    int nx = tileX + step.dx, ny = tileY + step.dy;
    int r = rotation & 3;
    bool takeX = (r == 0 || r == 3) ? nx > tileX : nx < tileX;
    bool takeY = (r == 0 || r == 1) ? ny > tileY : ny < tileY;
    if (takeX) tileX = nx;
    if (takeY) tileY = ny;
    lowered = takeX || takeY;
  }
  x = kUnitsPerTile * tileX + 16;
  y = kUnitsPerTile * tileY + 16;
  z = kUnitsPerLevel * level - (lowered ? 2 : 0);
}
