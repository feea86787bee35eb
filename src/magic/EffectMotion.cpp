// How effects move: along a line over the wrapping map, in a thrown arc, falling, and the
// creatures they meet on the way. Positions are map units; the cell follows the position.
#include <cmath>
#include <numbers>

#include "magic/EffectManager.h"
#include "magic/EffectSpells.h"
#include "magic/EffectWorld.h"
#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;

// Units per tick per tick that pull a thrown effect down (a 32-bit float, as every machine
// computes the arc alike).
constexpr float kGravity = 0.969f;
// Thrown effects step until something happens; a line that never meets its target ends its
// tick after this many steps.
constexpr int kMaxThrownSteps = 1 << 16;

bool IsThrown(int kind) { return kind >= 4 && kind <= 6; }

int MapWidthUnits() { return g_map.width * kUnitsPerTile; }
int MapHeightUnits() { return g_map.height * kUnitsPerTile; }
int TopUnits() { return g_map.levels * kUnitsPerLevel; }

// A float truncated toward zero, kept inside the range of an int.
int TruncateToInt(float value) {
  if (!(value == value)) return 0;
  constexpr float kLimit = 2.0e9f;
  if (value > kLimit) return static_cast<int>(kLimit);
  if (value < -kLimit) return -static_cast<int>(kLimit);
  return static_cast<int>(value);
}

bool SameSubVoxel(const int32_t* kept, int sx, int sy, int sz) {
  return kept[0] == sx && kept[1] == sy && kept[2] == sz;
}

}  // namespace

void CEffect::GatherCreatures(Gathered& out) const {
  out.count = 0;
  if (!g_map.cells) return;
  const int own = params[w::kCreature];
  auto visit = [&](int dx, int dy, int dz) {
    const int level = cellLevel + dz;
    if (level < 0 || level >= g_map.levels) return;
    const int occupant =
        g_map.CellAt(WrapInto(cellX + dx, g_map.width), WrapInto(cellY + dy, g_map.height), level).occupant;
    if (occupant == kNoLink || occupant == own) return;
    for (int i = 0; i < out.count; ++i)
      if (out.creatures[i] == occupant) return;
    out.creatures[out.count++] = occupant;
  };
  visit(0, 0, 0);
  for (const GridStep& step : kNeighbours26) visit(step.dx, step.dy, step.dz);
}

int CEffect::CreatureAtPoint(const Gathered& around, int px, int py, int pz) const {
  IMapCreatures& creatures = *g_mapHooks.creatures;
  for (int i = 0; i < around.count; ++i) {
    CreatureBody body;
    const int c = around.creatures[i];
    if (!creatures.GetBody(c, body) || !body.onMap) continue;
    if (body.shape.Contains(WrappedDelta(px, body.cornerX, MapWidthUnits()),
                            WrappedDelta(py, body.cornerY, MapHeightUnits()), pz - body.floorZ))
      return c;
  }
  return -1;
}

void CEffect::PlaceInCell(int cx, int cy, int level, bool relink) {
  if (relink) UnlinkFromCell(cell);
  cellX = cx;
  cellY = cy;
  cellLevel = level;
  cell = g_map.CellIfInside(cx, cy, level);
  if (relink) LinkToCell(cell);
  terrainType = &TerrainOf(cell ? cell->terrain : 0);
}

void CEffect::MoveToPositionCell(bool relink) {
  const int cx = x >> 5, cy = y >> 5, level = static_cast<int>(static_cast<uint32_t>(z) >> 4);
  if (cx == cellX && cy == cellY && level == cellLevel && cell == g_map.CellIfInside(cx, cy, level)) return;
  PlaceInCell(cx, cy, level, relink);
}

void CEffect::StartTrajectory(int x0, int y0, int z0, int x1, int y1, int z1) {
  for (int i = s::kSubVoxel; i <= s::kReachedCell + 2; ++i) state[i] = -1;
  stepper.Reset();
  state[s::kTrajectoryStart] = x = x0;
  state[s::kTrajectoryStart + 1] = y = y0;
  state[s::kTrajectoryStart + 2] = z = z0;
  stepper.StartWrappedScaled(x0, y0, z0, x1, y1, z1, &state[s::kDistance], kUnitsPerTile);
  MoveToPositionCell(false);
}

int CEffect::TravelRange() const {
  if (kind == 57) return (g_effectWorld->ArtifactValue(10, 0) + 1) * kUnitsPerTile;
  return SpellRecord(params[w::kSpell]).RangeUnits + kUnitsPerTile;
}

int CEffect::Travel(int link) {
  int result = kMotionGoing;
  if (!g_map.cells) return kMotionLeftMap;
  Gathered around;
  if (params[w::kSpell] != 68) GatherCreatures(around);
  int budget = IsThrown(kind) ? kMaxThrownSteps : params[w::kSpeed];
  while (budget-- > 0) {
    const int outcome = TravelStep(link, around, result);
    if (outcome >= 0) return outcome;
  }
  return result;
}

// One step along the line: a result ends the tick, -1 goes on.
int CEffect::TravelStep(int link, Gathered& around, int& result) {
  const bool watchCreatures = params[w::kSpell] != 68;
  state[s::kLastPosition] = x;
  state[s::kLastPosition + 1] = y;
  state[s::kLastPosition + 2] = z;
  int px = params[w::kSourceX], py = params[w::kSourceY], pz = params[w::kSourceZ];
  stepper.Step(px, py, pz, state[s::kDistance]);
  params[w::kSourceZ] = pz;
  if (pz < 0 || pz > TopUnits() - 1) return kMotionLeftMap;
  params[w::kSourceX] = x = px = WrapInto(px, MapWidthUnits());
  params[w::kSourceY] = y = py = WrapInto(py, MapHeightUnits());
  z = pz;
  const int nx = px >> 5, ny = py >> 5, nl = pz >> 4;
  state[s::kReachedCell] = nx;
  state[s::kReachedCell + 1] = ny;
  state[s::kReachedCell + 2] = nl;

  if (nx != cellX || ny != cellY || nl != cellLevel) {
    if (nl >= g_map.levels) return kMotionLeftMap;
    state[s::kPreviousCell] = cellX;
    state[s::kPreviousCell + 1] = cellY;
    state[s::kPreviousCell + 2] = cellLevel;
    PlaceInCell(nx, ny, nl, link != 0);
    if (!CellsAdjacent(nx, ny, nl, state[s::kTrailCell], state[s::kTrailCell + 1], state[s::kTrailCell + 2]))
      for (int i = 0; i < 3; ++i) state[s::kTrailCell + i] = state[s::kPreviousCell + i];
    if ((cell->state & state_bits::kCreatureMark) && params[w::kSpell] == 52 && cell->occupant != kNoLink) {
      creature = cell->occupant;
      return kMotionHitCreature;
    }
    if (cell->state & state_bits::kSealed) return kMotionBlocked;
    if (watchCreatures) GatherCreatures(around);
  }

  const int sx = (px / 4) % 8, sy = (py / 4) % 8, sz = (pz / 4) % 4;
  if (!SameSubVoxel(&state[s::kSubVoxel], sx, sy, sz)) {
    state[s::kSubVoxel] = sx;
    state[s::kSubVoxel + 1] = sy;
    state[s::kSubVoxel + 2] = sz;
    if (terrainType->TestVoxel(sx, sy, sz)) {
      params[w::kTarget] = -1;
      if (kind != 35 || !link) return kMotionBlocked;
      // A wall of force breaks what it can and flies on through emptied cells.
      DamageTarget(SpellRecord(params[w::kSpell]).Damage);
      if (cell->terrain != 0) return kMotionBlocked;
      terrainType = &TerrainOf(0);
    }
  }

  if (watchCreatures) {
    const int hit = CreatureAtPoint(around, px, py, pz);
    if (hit >= 0) {
      creature = hit;
      params[w::kTarget] = hit;
      if (kind != 3) return kMotionHitCreature;
      result = kMotionHitCreature;
    }
  }

  if ((IsThrown(kind) || kind == 71) && px == WrapInto(params[w::kTargetX], MapWidthUnits()) &&
      py == WrapInto(params[w::kTargetY], MapHeightUnits()) && pz == params[w::kTargetZ])
    return kMotionGoing;
  if (kind != effect_kind::kFallingBlock && kind != 3 && kind != 71 && TravelRange() < state[s::kDistance] / 2)
    return kMotionOutOfRange;
  return -1;
}

int CEffect::StepBallistic() {
  const int t = ++params[w::kTick];
  const float ft = static_cast<float>(t);
  const float vx = params.Float(w::kVelocityX), vy = params.Float(w::kVelocityY), vz = params.Float(w::kVelocityZ);
  const float fz = static_cast<float>(params[w::kStartZ]) + ft * vz - kGravity * ft * ft / 2.0f;
  if (!(fz > -1.0f && fz < static_cast<float>(TopUnits()))) return kMotionLeftMap;
  const int tx = TruncateToInt(static_cast<float>(params[w::kStartX]) + ft * vx);
  const int ty = TruncateToInt(static_cast<float>(params[w::kStartY]) + ft * vy);
  const int tz = static_cast<int>(fz);

  // The pitch frame: 0 climbing steeply .. 4 falling steeply.
  const float a = std::atan2(vz - kGravity * ft, std::sqrt(vx * vx + vy * vy));
  int pitch = 2 - static_cast<int>(std::floor(0.5f + a * 8.0f / std::numbers::pi_v<float>));
  params[w::kValue] = pitch < 0 ? 0 : pitch > 4 ? 4 : pitch;

  params[w::kTargetX] = WrapInto(tx, MapWidthUnits());
  params[w::kTargetY] = WrapInto(ty, MapHeightUnits());
  params[w::kTargetZ] = tz;
  stepper.StartWrappedScaled(params[w::kSourceX], params[w::kSourceY], params[w::kSourceZ], params[w::kTargetX],
                             params[w::kTargetY], tz, &state[s::kDistance], kUnitsPerTile);
  return Travel(1);
}

int CEffect::Fall() {
  if (!g_map.cells) return kMotionLeftMap;
  Gathered around;
  GatherCreatures(around);
  const int speed = state[s::kMotionCounter];
  state[s::kMotionCounter] = speed + 1;
  int result = kMotionGoing;
  for (int i = 0; i < speed; ++i) {
    state[s::kLastPosition + 2] = z;
    --z;
    params[w::kSourceZ] = z;
    if (z < 0) return kMotionLeftMap;
    const int level = z >> 4;
    if (level != cellLevel) {
      if (level >= g_map.levels) return kMotionLeftMap;
      PlaceInCell(cellX, cellY, level, true);
      GatherCreatures(around);
    }
    if (terrainType->TestVoxel((x / 4) % 8, (y / 4) % 8, (z / 4) % 4)) {
      params[w::kTarget] = -1;
      return kMotionBlocked;
    }
    const int hit = CreatureAtPoint(around, x, y, z);
    if (hit >= 0) {
      params[w::kTarget] = hit;
      if (kind != 3) return kMotionHitCreature;
      result = kMotionHitCreature;
    }
  }
  return result;
}

void CEffect::FollowCreature(int c) {
  EffectCreature info;
  if (c < 0 || c >= kEffectCreatureCount || !g_effectWorld->GetCreature(c, info)) return;
  x = WrapInto(info.x, MapWidthUnits());
  y = WrapInto(info.y, MapHeightUnits());
  z = info.z;
  params.SetPoint(w::kSourceX, x, y, z);
  params.SetPoint(w::kTargetX, x, y, z);
  MoveToPositionCell(true);
}

void CEffect::FollowCreatureTop(int c) {
  EffectCreature info;
  if (c < 0 || c >= kEffectCreatureCount || !g_effectWorld->GetCreature(c, info)) return;
  x = WrapInto(info.x + info.halfWidth, MapWidthUnits());
  y = WrapInto(info.y + info.halfWidth, MapHeightUnits());
  MoveToPositionCell(true);
}

void CEffect::FollowCreatureAt(int c, int drop) {
  EffectCreature info;
  if (c < 0 || c >= kEffectCreatureCount || !g_effectWorld->GetCreature(c, info)) return;
  x = WrapInto(info.x + info.halfWidth, MapWidthUnits());
  y = WrapInto(info.y + info.halfWidth, MapHeightUnits());
  const int top = (g_map.levels - 1) * kUnitsPerLevel;
  z = info.z + (info.heightLevels - drop) * kUnitsPerLevel;
  if (z > top) z = top;
  MoveToPositionCell(true);
}
