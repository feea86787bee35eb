#pragma once
// CLineWalker: whether one thing can see or hit another, by walking a 3-D line through the
// map and testing what it passes: solid voxels of terrain, cells under the tile overlay,
// obscuring effects, creatures' bodies and the top of the map. Sight, fire and cell walks
// are exact integer walks; a lobbed projectile's arc is planned over the columns it crosses.

#include <cstdint>

#include "map/LineStepper.h"

// Results of CLineWalker::TraceFire.
enum FireResult : int {
  kFireReached = 0,
  kFireObscured = 1,  // or too far
  kFireAboveMap = 2,
  kFireTerrain = 3,
  kFireCreature = 4,
  kFireEnemy = 5,
};

// Results of CLineWalker::TraceCells.
enum CellTraceResult : int {
  kCellsReached = 0,
  kCellsTooFar = 1,
  kCellsBlocked = 3,
};

// What a projectile trace hands back.
struct CProjectileResult {
  float velocity[3] = {};   // units per tick at launch
  int32_t aim[3] = {};      // the point aimed at (ahead of a moving target), map units
  int32_t apexHeight = -1;  // height of the chosen arc at its middle, -1 for the fallback
};

class CLineWalker {
 public:
  static constexpr int kFineShot = 1;  // projectile flag: test voxels and shapes, not cells

  int32_t total = 0;  // the walked length plus the obscuring costs met
  CLineStepper stepper;
  int32_t stopX = 0, stopY = 0, stopZ = 0;  // where the last line of fire ended

  // 1 when the end can be seen from the start (map units): only solid voxels, the length and
  // the cost of overlay cells block sight, never creatures.
  int TraceSight(int x0, int y0, int z0, int x1, int y1, int z1, int limit, int ignoreOverlay);
  // A line of fire from the shooter towards a target point (map units); see FireResult.
  int TraceFire(int x0, int y0, int z0, int x1, int y1, int z1, int limit, int shooter, int ignored);
  // A walk of cells; the start and end cells are not tested. See CellTraceResult.
  int TraceCells(int x0, int y0, int z0, int x1, int y1, int z1, int range);
  // Plans a lobbed shot with launch speed `speed` from start to target (map units): 1 when a
  // clear arc within reach was found. The target creature (or -1) is aimed ahead of when it
  // moves along a route and is not an obstacle; neither is the shooter.
  int TraceProjectile(int x0, int y0, int z0, int x1, int y1, int z1, int shooter, int speed, int spell, int target,
                      int flags, CProjectileResult& result);

 private:
  int WalkFire(int& x, int& y, int& z, int x1, int y1, int z1, int limit, int shooter, int ignored);
};
