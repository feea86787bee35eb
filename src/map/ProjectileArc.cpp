// Planning a lobbed shot. Arcs are parabolas in the vertical plane through start and target,
// each named by its apex height: its height over the middle of the flight. Every obstacle in
// the columns the flight crosses blocks the apex heights of the arcs that would meet it; the
// lowest free arc within the launch speed's reach is taken.
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "map/LineWalker.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"

namespace {

constexpr int kMargin = 4;  // the projectile's own size above an obstacle
constexpr int kCoarseGrain = 32;
constexpr int kFineGrain = 4;
// How far under the straight line an obstacle must lie to be passed over by every arc a launch
// can reach (a safe margin over the rounding of the arcs' heights).
constexpr int kUnderLine = 2;

int FloorDiv(int v, int d) { return v >= 0 ? v / d : -((-v + d - 1) / d); }

class ArcPlanner {
 public:
  ArcPlanner(int x0, int y0, int z0, int dx, int dy, int z1, int shooter, int target, bool fine)
      : x0_(x0),
        y0_(y0),
        z0_(z0),
        z1_(z1),
        dx_(dx),
        dy_(dy),
        shooter_(shooter),
        target_(target),
        fine_(fine),
        startCell_(CellIndexOf(x0, y0, z0)),
        targetCell_(CellIndexOf(x0 + dx, y0 + dy, z1)),
        flight_(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy)),
        top_(kUnitsPerLevel * g_map.levels - 1),
        blocked_(static_cast<size_t>(top_ + 1), 0) {}

  // Walks the columns between start and target, nearer boundary first.
  void MarkObstacles() {
    const int grain = fine_ ? kFineGrain : kCoarseGrain;
    int cx = FloorDiv(x0_, grain), cy = FloorDiv(y0_, grain);
    int stepX = dx_ > 0 ? 1 : dx_ < 0 ? -1 : 0, stepY = dy_ > 0 ? 1 : dy_ < 0 ? -1 : 0;
    double s = 0;
    int columns = std::abs(dx_) / grain + std::abs(dy_) / grain + 4;
    // A crossing depends only on its own axis's column, so only the axis stepped is worked
    // out again; so is the chord, whose start is where the last column's ended.
    double sx = Crossing(stepX, cx, grain, x0_, dx_), sy = Crossing(stepY, cy, grain, y0_, dy_);
    double chordEnd = Chord(0.0);
    bool chordKnown = true;  // chordEnd is the chord where this column starts
    int tileX = INT_MIN, tileY = INT_MIN;
    bool tileUnderFlight = false;
    while (s < 1.0 && columns-- > 0) {
      const double exit = std::min({sx, sy, 1.0});
      const double a1 = s * flight_, a2 = exit * flight_;
      if (FloorDiv(cx * grain, kUnitsPerTile) != tileX || FloorDiv(cy * grain, kUnitsPerTile) != tileY) {
        tileX = FloorDiv(cx * grain, kUnitsPerTile);
        tileY = FloorDiv(cy * grain, kUnitsPerTile);
        tileUnderFlight = TileLiesUnderFlight(tileX, tileY, stepX, stepY, a1);
      }
      if (tileUnderFlight) {
        chordKnown = false;
      } else {
        const double chordStart = chordKnown ? chordEnd : Chord(a1);
        chordEnd = Chord(a2);
        chordKnown = true;
        chordLow_ = std::min(chordStart, chordEnd);
        MarkColumn(cx * grain, cy * grain, a1, a2);
      }
      s = exit;
      if (sx <= sy) {
        cx += stepX;
        sx = Crossing(stepX, cx, grain, x0_, dx_);
      } else {
        cy += stepY;
        sy = Crossing(stepY, cy, grain, y0_, dy_);
      }
    }
  }

  // The launch for an apex height: false when the speed cannot reach it.
  bool Reachable(int apex, double speed, double gravity, double& horizontal, double& slope) const {
    double b2 = flight_ * flight_;
    double curve = 2.0 * (z0_ + z1_ - 2.0 * apex) / b2;  // the s² term of z(s)
    if (curve >= 0 || gravity <= 0) return false;
    double u2 = gravity / (-2.0 * curve);
    slope = (z1_ - z0_ - curve * b2) / flight_;
    horizontal = std::sqrt(u2);
    return u2 * (1.0 + slope * slope) <= speed * speed;
  }

  // Notes the apex heights the launch speed can reach. No other height is ever taken, so the
  // obstacles mark only those, and a shot that reaches none needs no obstacles marked at all.
  // The lowest is the first found from the bottom up, the highest the first from the top
  // down; the heights between them need no asking here.
  void LimitToReach(double speed, double gravity) {
    double horizontal, slope;
    lowestReachable_ = top_ + 1;
    highestReachable_ = -1;
    for (int apex = 0; apex <= top_; ++apex)
      if (Reachable(apex, speed, gravity, horizontal, slope)) {
        lowestReachable_ = apex;
        break;
      }
    for (int apex = top_; apex >= lowestReachable_; --apex)
      if (Reachable(apex, speed, gravity, horizontal, slope)) {
        highestReachable_ = apex;
        break;
      }
  }
  bool AnyReachable() const { return lowestReachable_ <= highestReachable_; }
  int LowestReachable() const { return lowestReachable_; }
  int HighestReachable() const { return highestReachable_; }

  bool IsBlocked(int apex) const { return blocked_[static_cast<size_t>(apex)] != 0; }
  double Flight() const { return flight_; }

 private:
  // The fraction of the flight at which the next boundary of the axis is crossed.
  static double Crossing(int step, int cell, int grain, int origin, int delta) {
    if (step == 0) return 2.0;
    int boundary = step > 0 ? (cell + 1) * grain : cell * grain;
    return static_cast<double>(boundary - origin) / delta;
  }

  // The height of the straight line from start to target at a point of the flight (the
  // ends beyond the flight).
  double Chord(double a) const {
    const double at = std::clamp(a, 0.0, flight_);
    return flight_ > 0 ? z0_ + (z1_ - z0_) * at / flight_ : z0_;
  }

  // The apex height of the parabola through the start, (a, z) and the target; a point at or
  // beyond either end blocks all arcs above it or none.
  double ApexThrough(double a, double z) const {
    if (a <= 0) return z > z0_ ? top_ : -1;
    if (a >= flight_) return z > z1_ ? top_ : -1;
    double b = flight_, m = b / 2;
    return (m - a) * (m - b) / (a * b) * z0_ + m * (m - b) / (a * (a - b)) * z + m * (m - a) / (b * (b - a)) * z1_;
  }

  void Block(double a1, double a2, int zb, int zt) {
    zt += kMargin;
    // An obstacle well under the straight line from start to target meets only arcs that sag
    // below that line: their apexes lie under the middle of the line, and no launch reaches
    // those. (Most of what a flight passes over is such ground.)
    if (zt + kUnderLine <= chordLow_) return;
    double corners[4] = {ApexThrough(a1, zb), ApexThrough(a1, zt), ApexThrough(a2, zb), ApexThrough(a2, zt)};
    double low = *std::min_element(corners, corners + 4), high = *std::max_element(corners, corners + 4);
    if (high < 0 || low > top_) return;
    int from = static_cast<int>(std::floor(std::max(low, 0.0)));
    int to = static_cast<int>(std::ceil(std::min(high, static_cast<double>(top_))));
    from = std::max(from, lowestReachable_);
    to = std::min(to, highestReachable_);
    for (int apex = from; apex <= to; ++apex) blocked_[static_cast<size_t>(apex)] = 1;
  }

  static int CellIndexOf(int x, int y, int z) {
    int level = FloorDiv(z, kUnitsPerLevel);
    if (level < 0 || level >= g_map.levels) return -1;
    return g_map.CellIndex(CWrapCoord::WrapUnitsX(x) / kUnitsPerTile, CWrapCoord::WrapUnitsY(y) / kUnitsPerTile, level);
  }

  // Every obstacle in the column whose corner is at (px, py) units. The cells the shooter
  // and the target stand in are their own ground, not obstacles.
  void MarkColumn(int px, int py, double a1, double a2) {
    int x = CWrapCoord::WrapUnitsX(px), y = CWrapCoord::WrapUnitsY(py);
    int tileX = x / kUnitsPerTile, tileY = y / kUnitsPerTile;
    int vx = (x / 4) % 8, vy = (y / 4) % 8;
    // Water and terrain of a level that lies wholly under this height block no arc a launch
    // can reach (see Block).
    const double under = chordLow_ - kUnderLine - kMargin;
    // A fine flight crosses eight columns of every tile; the levels of the tile that hold
    // anything are found once for all of them.
    if (tileX != columnTileX_ || tileY != columnTileY_) FindSolidLevels(tileX, tileY);
    for (int level : solidLevels_) {
      const CMapCell& cell = g_map.CellAt(tileX, tileY, level);
      int index = g_map.CellIndex(tileX, tileY, level);
      if (index == startCell_ || index == targetCell_) {
        MarkCreature(cell, x, y, level, a1, a2);
        continue;
      }
      int floor = kUnitsPerLevel * level;
      MarkCreature(cell, x, y, level, a1, a2);
      if (floor + kUnitsPerLevel - 1 <= under) continue;
      if (cell.IsDeepWater()) Block(a1, a2, floor, floor + kUnitsPerLevel - 1);
      if (cell.terrain == 0 || cell.IsOpenDoorway()) continue;
      const CTerrainType& type = TerrainOf(cell);
      if (!fine_) {
        Block(a1, a2, floor, floor + kUnitsPerLevel - 1);
        continue;
      }
      for (int q = 0; q < 4; ++q)
        if (type.TestVoxel(vx, vy, q)) Block(a1, a2, floor + 4 * q, floor + 4 * q + 3);
    }
  }

  // The levels of a tile with a creature that may block, deep water or closed terrain: in
  // every other cell of the column MarkColumn has nothing to mark.
  void FindSolidLevels(int tileX, int tileY) {
    columnTileX_ = tileX;
    columnTileY_ = tileY;
    solidLevels_.clear();
    tileHoldsCreature_ = false;
    for (int level = 0; level < g_map.levels; ++level) {
      const CMapCell& cell = g_map.CellAt(tileX, tileY, level);
      const bool creature = MayHoldBlockingCreature(cell);
      tileHoldsCreature_ = tileHoldsCreature_ || creature;
      if (creature || cell.IsDeepWater() || (cell.terrain != 0 && !cell.IsOpenDoorway())) solidLevels_.push_back(level);
    }
  }

  // Whether every column the flight crosses in a tile (unwrapped tile numbers; the flight
  // enters it at a1) would mark nothing: no creature that may block, and every solid level
  // wholly under the straight line, by the margin MarkColumn skips such levels with. The
  // chord is monotonic along the flight, so its lower end over the tile's columns is at the
  // entry or at the exit; no column ends past the first crossing of the tile's boundaries.
  bool TileLiesUnderFlight(int tileX, int tileY, int stepX, int stepY, double a1) {
    const int wrappedX = CWrapCoord::WrapUnitsX(tileX * kUnitsPerTile) / kUnitsPerTile;
    const int wrappedY = CWrapCoord::WrapUnitsY(tileY * kUnitsPerTile) / kUnitsPerTile;
    if (wrappedX != columnTileX_ || wrappedY != columnTileY_) FindSolidLevels(wrappedX, wrappedY);
    if (tileHoldsCreature_) return false;
    if (solidLevels_.empty()) return true;
    const double exit = std::min(
        {Crossing(stepX, tileX, kUnitsPerTile, x0_, dx_), Crossing(stepY, tileY, kUnitsPerTile, y0_, dy_), 1.0});
    const double under = std::min(Chord(a1), Chord(exit * flight_)) - kUnderLine - kMargin;
    const int floor = kUnitsPerLevel * solidLevels_.back();
    return floor + kUnitsPerLevel - 1 <= under;
  }

  bool MayHoldBlockingCreature(const CMapCell& cell) const {
    const int occupant = cell.occupant;
    return occupant != kNoLink && (cell.state & state_bits::kOccupancy) && occupant != target_ && occupant != shooter_;
  }

  void MarkCreature(const CMapCell& cell, int x, int y, int level, double a1, double a2) {
    if (!MayHoldBlockingCreature(cell)) return;
    const int occupant = cell.occupant;
    CreatureBody body;
    if (!g_mapHooks.creatures->GetBody(occupant, body)) {
      Block(a1, a2, kUnitsPerLevel * level, kUnitsPerLevel * level + kUnitsPerLevel - 1);
      return;
    }
    int width = g_map.width * kUnitsPerTile, height = g_map.height * kUnitsPerTile;
    if (fine_ &&
        !body.shape.Contains(WrappedDelta(x + 2, body.cornerX, width), WrappedDelta(y + 2, body.cornerY, height), 0))
      return;
    Block(a1, a2, body.floorZ, body.floorZ + kUnitsPerLevel * body.shape.height - 1);
  }

  int x0_, y0_, z0_, z1_, dx_, dy_;
  int shooter_, target_;
  bool fine_;
  int startCell_, targetCell_;
  double flight_;
  int top_;
  std::vector<uint8_t> blocked_;
  double chordLow_ = 0;  // the lower end of the straight line over the column being marked
  int columnTileX_ = -1, columnTileY_ = -1;
  bool tileHoldsCreature_ = false;
  std::vector<int> solidLevels_;
  // The reachable apex heights lie within these (all of them until LimitToReach says).
  int lowestReachable_ = 0, highestReachable_ = top_;
};

// A shot straight up or down its own column: clear when nothing stands between the two
// points and the speed carries it the height.
int VerticalShot(int x, int y, int zLow, int zHigh, int shooter, int target, bool fine, double speed, double gravity) {
  int tileX = x / kUnitsPerTile, tileY = y / kUnitsPerTile;
  int width = g_map.width * kUnitsPerTile, height = g_map.height * kUnitsPerTile;
  int lowLevel = FloorDiv(zLow, kUnitsPerLevel), highLevel = FloorDiv(zHigh, kUnitsPerLevel);
  for (int z = zLow + 1; z < zHigh; z += fine ? 4 : 1) {
    int level = FloorDiv(z, kUnitsPerLevel);
    if (level < 0 || level >= g_map.levels) continue;
    const CMapCell& cell = g_map.CellAt(tileX, tileY, level);
    if (cell.IsDeepWater()) return 0;
    int occupant = cell.occupant;
    if (occupant != kNoLink && (cell.state & state_bits::kOccupancy) && occupant != target && occupant != shooter) {
      if (!fine) return 0;
      CreatureBody body;
      if (g_mapHooks.creatures->GetBody(occupant, body) &&
          body.shape.Contains(WrappedDelta(x, body.cornerX, width), WrappedDelta(y, body.cornerY, height),
                              z - body.floorZ))
        return 0;
    }
    if (cell.terrain == 0 || cell.IsOpenDoorway()) continue;
    // The cells the two ends stand in are the shooter's and the target's own ground.
    if (fine ? TerrainOf(cell).TestVoxel((x / 4) % 8, (y / 4) % 8, (z / 4) % 4) != 0
             : level > lowLevel && level < highLevel)
      return 0;
  }
  return (zHigh - zLow) * gravity * 2.0 < speed * speed ? 1 : 0;
}

}  // namespace

int CLineWalker::TraceProjectile(int x0, int y0, int z0, int x1, int y1, int z1, int shooter, int speed, int spell,
                                 int target, int flags, CProjectileResult& result) {
  result = CProjectileResult{};
  if (!g_map.cells) return 0;
  const int width = g_map.width * kUnitsPerTile, height = g_map.height * kUnitsPerTile;
  x0 = WrapInto(x0, width);
  y0 = WrapInto(y0, height);
  x1 = WrapInto(x1, width);
  y1 = WrapInto(y1, height);
  const double v = speed, gravity = g_mapHooks.effects->Gravity();
  const bool fine = (flags & kFineShot) != 0;

  // Aim ahead of a target that moves along its route, by the share of its next step that
  // it makes while the shot flies.
  CreatureLead lead;
  if (target >= 0 && g_mapHooks.creatures->GetLead(target, lead)) {
    double distance = std::hypot(WrappedDelta(x1, x0, width), WrappedDelta(y1, y0, height));
    double flightTime = v > 0 ? distance / (v * 0.70710678) : 0;
    double share = std::min(1.0, flightTime / std::max(lead.frames, 1));
    x1 = WrapInto(x1 + static_cast<int>(WrappedDelta(lead.x, x1, width) * share), width);
    y1 = WrapInto(y1 + static_cast<int>(WrappedDelta(lead.y, y1, height) * share), height);
    z1 += static_cast<int>((lead.z - z1) * share);
  }
  result.aim[0] = x1;
  result.aim[1] = y1;
  result.aim[2] = z1;

  if (x0 / kUnitsPerTile == x1 / kUnitsPerTile && y0 / kUnitsPerTile == y1 / kUnitsPerTile) {
    result.velocity[2] = static_cast<float>(v);
    result.apexHeight = std::max(z0, z1);
    return VerticalShot(x0, y0, std::min(z0, z1), std::max(z0, z1), shooter, target, fine, v, gravity);
  }

  int dx = WrappedDelta(x1, x0, width), dy = WrappedDelta(y1, y0, height);
  ArcPlanner planner(x0, y0, z0, dx, dy, z1, shooter, target, fine);
  planner.LimitToReach(v, gravity);
  if (planner.AnyReachable()) planner.MarkObstacles();
  int chosen = -1, clear = 0;
  double horizontal = 0, slope = 0;
  // The lowest clear arc the launch reaches, else the highest it reaches; no height outside
  // the reachable span is either.
  for (int apex = planner.LowestReachable(); apex <= planner.HighestReachable() && chosen < 0; ++apex)
    if (!planner.IsBlocked(apex) && planner.Reachable(apex, v, gravity, horizontal, slope)) {
      chosen = apex;
      clear = 1;
    }
  if (chosen < 0 && planner.AnyReachable()) {
    chosen = planner.HighestReachable();
    planner.Reachable(chosen, v, gravity, horizontal, slope);
  }

  const double b = planner.Flight();
  if (chosen < 0) {
    // No arc at all: launched at 45 degrees towards the target.
    double part = v * 0.70710678;
    result.velocity[0] = static_cast<float>(part * dx / b);
    result.velocity[1] = static_cast<float>(part * dy / b);
    result.velocity[2] = static_cast<float>(part);
    return 0;
  }
  result.apexHeight = chosen;
  result.velocity[0] = static_cast<float>(horizontal * dx / b);
  result.velocity[1] = static_cast<float>(horizontal * dy / b);
  result.velocity[2] = static_cast<float>(horizontal * slope);
  return clear;
}
