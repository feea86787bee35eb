#pragma once
// Positions on the battle map: cells (tile x, y and level), map units (32 per tile in x and
// y, 16 per level in z) and the sight grain (a quarter of a unit). x and y wrap modulo the
// size of the current map, so the map is a torus; z never wraps. Distances take the short
// way round. Everything here reads the size of the one current map (g_map) on each call.

#include <cstdint>
#include <cstdlib>

#include "map/Map.h"

inline constexpr int kUnitsPerTile = 32;
inline constexpr int kUnitsPerLevel = 16;

// v reduced into 0..m-1 (0 when there is no extent to wrap into). Values within one turn
// of the range, nearly all of them, wrap without a division.
inline int WrapInto(int64_t v, int m) {
  if (m <= 0) return 0;
  if (v >= 0) {
    if (v < m) return static_cast<int>(v);
    if (v < 2 * static_cast<int64_t>(m)) return static_cast<int>(v - m);
  } else if (v >= -static_cast<int64_t>(m)) {
    return static_cast<int>(v + m);
  }
  int64_t r = v % m;
  return static_cast<int>(r < 0 ? r + m : r);
}
// The short way from a to v round a circle of m: in -(m - m/2) + 1 .. m/2.
inline int WrappedDelta(int64_t v, int64_t a, int m) {
  const int64_t difference = v - a;
  // Two wrapped coordinates are less than a turn apart: one add, chosen without a branch
  // whichever way round they lie.
  const int d = m > 0 && difference > -m && difference < m
                    ? static_cast<int>(difference < 0 ? difference + m : difference)
                    : WrapInto(difference, m);
  return d > m / 2 ? d - m : d;
}

// One map coordinate that knows its axis only through the operation called on it.
class CWrapCoord {
 public:
  CWrapCoord() = default;
  explicit CWrapCoord(int value) : value_(value) {}

  int Get() const { return value_; }
  void SetRaw(int v) { value_ = v; }

  CWrapCoord& SetX(int v) { return Store(WrapX(v)); }
  CWrapCoord& SetY(int v) { return Store(WrapY(v)); }
  CWrapCoord& SetUnitsX(int v) { return Store(WrapUnitsX(v)); }
  CWrapCoord& SetUnitsY(int v) { return Store(WrapUnitsY(v)); }

  static int WrapX(int v) { return WrapInto(v, g_map.width); }
  static int WrapY(int v) { return WrapInto(v, g_map.height); }
  static int WrapUnitsX(int v) { return WrapInto(v, g_map.width * kUnitsPerTile); }
  static int WrapUnitsY(int v) { return WrapInto(v, g_map.height * kUnitsPerTile); }

  // The short way from a to this coordinate; half the map stays positive.
  int DeltaX(int a) const { return WrappedDelta(value_, a, g_map.width); }
  int DeltaY(int a) const { return WrappedDelta(value_, a, g_map.height); }
  int DeltaUnitsX(int a) const { return WrappedDelta(value_, a, g_map.width * kUnitsPerTile); }
  int DeltaUnitsY(int a) const { return WrappedDelta(value_, a, g_map.height * kUnitsPerTile); }
  // 1 when this coordinate lies before a (the unit difference is negative).
  int IsBeforeX(int a) const { return DeltaUnitsX(a) < 0 ? 1 : 0; }
  int IsBeforeY(int a) const { return DeltaUnitsY(a) < 0 ? 1 : 0; }

 private:
  CWrapCoord& Store(int v) {
    value_ = v;
    return *this;
  }
  int32_t value_ = 0;
};

// The short-way tile differences second minus first.
inline int WrapDeltaX(int from, int to) { return WrappedDelta(to, from, g_map.width); }
inline int WrapDeltaY(int from, int to) { return WrappedDelta(to, from, g_map.height); }

// |dx| + |dy| + |dz| + the largest of them: about twice the length, without a root.
inline int MapDistanceApprox(int dx, int dy, int dz) {
  dx = std::abs(dx);
  dy = std::abs(dy);
  dz = std::abs(dz);
  int largest = dx > dy ? dx : dy;
  if (dz > largest) largest = dz;
  return dx + dy + dz + largest;
}
// For an offset in tiles and levels: one tile counts as two levels.
inline int CellDistanceApprox(int dx, int dy, int dz) { return MapDistanceApprox(2 * dx, 2 * dy, dz); }
// MapDistanceApprox of the short-way tile differences and the level difference.
inline int MapWrappedDistance(int x1, int y1, int z1, int x2, int y2, int z2) {
  return MapDistanceApprox(WrapDeltaX(x1, x2), WrapDeltaY(y1, y2), z2 - z1);
}

// The integer part of the square root.
uint32_t IntegerSqrt(uint64_t value);

// Cells within a range in tiles: 1 when range² >= ((32dx)² + (32dy)² + (16dz)²) >> 10;
// distanceOut (when given) gets the integer root of the right side.
int CellsWithinRange(int range, int* distanceOut, int x1, int y1, int z1, int x2, int y2, int z2);
// Unit positions closer than limit (strictly).
int PointsWithinRange(int x1, int y1, int z1, int x2, int y2, int z2, int limit);
// 1 when the wrapped x and y differences and the level difference are each below 2.
int CellsAdjacent(int x1, int y1, int z1, int x2, int y2, int z2);
// value - origin, no wrap; and whether value is at or after origin.
inline int CoordDifference(int origin, int value) { return value - origin; }
inline int CoordAtOrAfter(int origin, int value) { return value >= origin ? 1 : 0; }
// ((32dx)² + (32dy)² + (16dz)²) >> 10 for cells, x and y the short way round.
uint32_t WrappedDistanceSq(int x1, int y1, int z1, int x2, int y2, int z2);
// dx² + dy² + dz² for unit positions, x and y the short way round.
int64_t WrappedDistanceSqUnits(int x1, int y1, int z1, int x2, int y2, int z2);

// --- directions: eight, clockwise from north (y decreasing) ----------------------------
struct GridStep {
  int dx, dy, dz;
};
inline constexpr GridStep kDirectionSteps[8] = {{0, -1, 0}, {1, -1, 0}, {1, 0, 0},  {1, 1, 0},
                                                {0, 1, 0},  {-1, 1, 0}, {-1, 0, 0}, {-1, -1, 0}};
// The 26 neighbours in the order every search over them breaks ties: the eight directions
// on the level, then the cell above and the eight around it, then below likewise.
extern const GridStep kNeighbours26[26];
// The four side neighbours: north, west, south, east.
extern const GridStep kSideNeighbours[4];

// dx, dy in -1..1 (others are taken by their sign); the zero step gives 0.
int DirectionFromStep(int dx, int dy);
// The nearest of the eight directions to a vector; exactly between two goes to the higher.
int DirectionFromVector(float dx, float dy);
// The turn from one direction to another, in -3..4 (a half turn is +4).
int DirectionDifference(int from, int to);

// What the draw anchor needs of a creature.
struct DrawAnchorCreature {
  int facing = 0;           // 0-7
  bool hasPartner = false;  // busy with a partner creature (actions 10 and 20) that exists
  int partnerLevel = 0;
};
// The point the renderer anchors a creature at: its unit position (in and out), moved by
// the rules of the neighbour in its facing and the view rotation r (0-3).
void GetCreatureDrawAnchor(const DrawAnchorCreature& creature, int rotation, int& x, int& y, int& z);
