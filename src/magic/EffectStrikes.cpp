// The targeting and strike effects: ricochets, jumping strikes, bolts and beams, the
// guardians' and totems' shots, random strikes round a point, the best hostile target, the
// cone in front of a caster, the ring of a trap and the countdown trap's frame. Game-logic
// draws come from the battle generator; the jitter of bolts and beams, which are only drawn,
// from the view's generator.
#include <algorithm>
#include <cmath>

#include "core/Random.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "magic/EffectBattle.h"
#include "magic/EffectManager.h"
#include "magic/EffectRandom.h"
#include "magic/EffectScript.h"
#include "magic/EffectSounds.h"
#include "magic/EffectSpells.h"
#include "magic/EffectWorld.h"
#include "map/LineWalker.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/SegmentPool.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;

constexpr int kBoltDepth = 4;  // a bolt of 2^4 pieces
constexpr int kBoltBranchChance = 32;
constexpr int kBoltJitter = 50;
constexpr int kJumpListFirst = 14;  // words 14-33: the creatures a jumping strike has hit
constexpr int kJumpListMax = 20;
constexpr int kJumpListCount = 34;
constexpr int kNoCandidate = 999;

// A creature in use, or null.
CCreature* Creature(int slot) {
  return slot >= 0 && slot < kEffectCreatureCount ? g_creatureArray.InUse(slot) : nullptr;
}

bool Alive(const CCreature* c) { return c && c->health != 0; }

struct Point {
  int x, y, z;
};

// The middle of a creature's footprint at its feet and at its aiming height.
Point CentreOf(const CCreature& c) {
  const int offset = c.type ? c.type->centreOffset : kUnitsPerTile / 2;
  return {c.unitX + offset, c.unitY + offset, c.unitZ};
}

Point AimPoint(const CCreature& c) {
  Point p = CentreOf(c);
  p.z = (c.level + (c.type ? c.type->TileHeight : 1)) * kUnitsPerLevel - kUnitsPerLevel;
  return p;
}

// Not allied with the army; an effect of no army (-1) finds everyone hostile.
bool HostileTo(int army, const CCreature& c) {
  if (army < 0 || army >= kArmyCount) return true;
  return !g_armyTable.armies[army].IsAlliedWith(c.army);
}

bool SeenByArmy(int army, const CCreature& c) { return army >= 0 && army < kArmyCount && c.sightingCounters[army] > 0; }

int MapUnitsWide() { return g_map.width * kUnitsPerTile; }
int MapUnitsHigh() { return g_map.height * kUnitsPerTile; }

// A block with every word -1 but word 10 = 1 and word 12 = 7 (and the zeros above 12).
CEffectParams FreshBlock() {
  CEffectParams block;
  for (int i = 13; i < CEffectParams::kWords; ++i) block[i] = -1;
  return block;
}

// Fills the launch of a thrown kind from a trace: start, velocity and tick.
void SetLaunch(CEffectParams& block, const CProjectileResult& arc) {
  block.SetPoint(w::kStartX, block[w::kSourceX], block[w::kSourceY], block[w::kSourceZ]);
  for (int i = 0; i < 3; ++i) block.SetFloat(w::kVelocityX + i, arc.velocity[i]);
  block[w::kTick] = 0;
}

// The ring's animation offsets by view rotation: each rotation shows the corners in another
// order, and every offset starts a sequence of the same length.
constexpr int kRingLooks[4][4] = {{0, 1, 2, 3}, {1, 2, 3, 0}, {2, 3, 0, 1}, {3, 0, 1, 2}};
constexpr int kDiagonals[4][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};

}  // namespace

// --- ricochets and jumps ----------------------------------------------------------------------------

void CEffect::Ricochet(int relink) {
  if (relink) UnlinkFromCell(cell);
  x = params[w::kSourceX] = state[s::kLastPosition];
  y = params[w::kSourceY] = state[s::kLastPosition + 1];
  z = params[w::kSourceZ] = state[s::kLastPosition + 2];
  cellX = x >> 5;
  cellY = y >> 5;
  cellLevel = static_cast<int>(static_cast<uint32_t>(z) >> 4);
  cell = g_map.CellIfInside(cellX, cellY, cellLevel);
  if (relink) LinkToCell(cell);
  terrainType = &TerrainOf(cell ? cell->terrain : 0);

  float dx = static_cast<float>(WrappedDelta(params[w::kTargetX], state[s::kTrajectoryStart], MapUnitsWide()));
  float dy = static_cast<float>(WrappedDelta(params[w::kTargetY], state[s::kTrajectoryStart + 1], MapUnitsHigh()));
  float dz = static_cast<float>(params[w::kTargetZ] - state[s::kTrajectoryStart + 2]);
  g_map.TraceProjectileRay(x, y, z, 1.0f, dx, dy, dz);
  const float top = static_cast<float>(g_map.levels * kUnitsPerLevel);
  float factor = 1.0f;
  if (dz != 0.0f && z + dz < 0.0f)
    factor = -static_cast<float>(z) / dz;
  else if (dz != 0.0f && z + dz >= top)
    factor = (top - static_cast<float>(z) - 1.0f) / dz;
  params[w::kTargetX] = WrapInto(static_cast<int64_t>(x + factor * dx), MapUnitsWide());
  params[w::kTargetY] = WrapInto(static_cast<int64_t>(y + factor * dy), MapUnitsHigh());
  params[w::kTargetZ] = static_cast<int>(z + factor * dz);
  stepper.Reset();
  stepper.StartWrappedScaled(x, y, z, params[w::kTargetX], params[w::kTargetY], params[w::kTargetZ],
                             &state[s::kDistance], kUnitsPerTile);
  if (--params[w::kSpeed] == 0 && relink) Deactivate();
}

void CEffect::SeekNextTarget(int hit) {
  const CCreature* struck = Creature(hit);
  int& listed = params[kJumpListCount];
  listed = std::clamp(listed, 0, kJumpListMax);
  if (listed < kJumpListMax) params[kJumpListFirst + listed++] = hit;
  if (listed >= kJumpListMax || !struck) return;

  int candidates[kJumpListMax];
  float distance[kJumpListMax];
  int found = 0;
  for (int i = 0; i < kEffectCreatureCount && found < kJumpListMax; ++i) {
    const CCreature* c = Creature(i);
    if (!Alive(c) || i == hit || !struck->HasLineOfSightTo(*c)) continue;
    const float ddx = static_cast<float>(WrapDeltaX(struck->cellX, c->cellX));
    const float ddy = static_cast<float>(WrapDeltaY(struck->cellY, c->cellY));
    const float ddz = static_cast<float>(c->level - struck->level);
    candidates[found] = i;
    distance[found++] = std::sqrt(ddy * ddy + ddx * ddx + ddz * ddz);
  }
  CEffect* next = owner ? owner->AllocateEffect() : nullptr;
  if (!next || found == 0) return;
  for (;;) {
    int best = -1;
    for (int k = 0; k < found; ++k)
      if (distance[k] < 100.0f && (best < 0 || distance[k] < distance[best])) best = k;
    if (best < 0) return;
    const int chosen = candidates[best];
    const bool struckBefore = std::find(&params[kJumpListFirst], &params[kJumpListFirst] + listed, chosen) !=
                              &params[kJumpListFirst] + listed;
    if (struckBefore) {
      distance[best] = kNoCandidate;
      continue;
    }
    params[w::kCompanion] -= SpellRecord(87).SpellStrength;
    if (params[w::kCompanion] < 3) return;
    const CCreature& to = *Creature(chosen);
    CEffectParams jump = params;
    jump[w::kCreature] = hit;
    jump[w::kTarget] = chosen;
    const Point from = CentreOf(*struck), at = CentreOf(to);
    jump.SetPoint(w::kSourceX, from.x, from.y,
                  struck->level * kUnitsPerLevel + (struck->type ? struck->type->TileHeight : 1) * 8);
    jump.SetPoint(w::kTargetX, at.x, at.y, to.level * kUnitsPerLevel + (to.type ? to.type->TileHeight : 1) * 8);
    next->Activate(48, jump);
    return;
  }
}

// --- bolts and beams --------------------------------------------------------------------------------

void CEffect::StartBolt() {
  const int branch = params[w::kSpell] == 88 || params[w::kKindMode] == 2 ? 0 : -1;
  g_segmentPool.AddForkedBolt(g_viewRandom, x, y, z + 200, params[w::kTargetX], params[w::kTargetY],
                              params[w::kTargetZ], SpellRecord(72).Duration + 1, 0, 0, 0, kBoltDepth, kBoltJitter,
                              branch, kBoltBranchChance);
}

// a: the segment kind; b, c: its two drawing values; the fourth number is not used; depth:
// the bolt's depth of splitting (0 draws one straight segment); chance: its branch chance.
void CEffect::StartBeam(int a, int b, int c, int unused, int depth, int chance) {
  int ex = params[w::kTargetX], ey = params[w::kTargetY], ez = params[w::kTargetZ];
  creature = -1;
  if (const CCreature* target = Creature(params[w::kTarget])) {
    creature = target->index;
    const Point centre = CentreOf(*target);
    ex = centre.x;
    ey = centre.y;
    ez = target->unitZ + (target->type ? target->type->centreHeight : 0);
    // One lap of the map at most: the segments take the short way themselves.
    if (ex < 0) ex += MapUnitsWide();
    if (ex >= MapUnitsWide()) ex -= MapUnitsWide();
    if (ey < 0) ey += MapUnitsHigh();
    if (ey >= MapUnitsHigh()) ey -= MapUnitsHigh();
  }
  const int lifetime = SpellRecord(72).Duration + 1;
  if (depth > 0 && chance > 0)
    g_segmentPool.AddForkedBolt(g_viewRandom, x, y, z, ex, ey, ez, lifetime, a, b, c, depth, kBoltJitter, -1, chance);
  else
    g_segmentPool.Add(x, y, z, ex, ey, ez, lifetime, a, b, c);
}

// --- shots --------------------------------------------------------------------------------------------

void CEffect::FireIfClear() {
  CEffect* shot = owner ? owner->AllocateEffect() : nullptr;
  if (!shot) return;
  const int speed = SpellRecord(98).Speed;
  CLineWalker walker;
  CProjectileResult arc;
  if (!walker.TraceProjectile(x, y, z, params[w::kTargetX], params[w::kTargetY], params[w::kTargetZ],
                              params[w::kCreature], speed, 98, params[w::kTarget], CLineWalker::kFineShot, arc))
    return;
  CEffectParams block = FreshBlock();
  block.SetPoint(w::kSourceX, x, y, z);
  block.SetPoint(w::kTargetX, params[w::kTargetX], params[w::kTargetY], params[w::kTargetZ]);
  block[w::kCreature] = params[w::kCreature];
  block[w::kTarget] = params[w::kTarget];
  block[w::kSpell] = 98;
  block[w::kSpeed] = speed;
  SetLaunch(block, arc);
  shot->Activate(4, block);
  g_effectSounds->PlayAt(751, cellX, cellY, nullptr, 0);
}

void CEffect::ChooseStrikeTarget() {
  const int army = state[s::kArmy];
  const int reach = SpellRecord(78).Damage * kUnitsPerTile;
  const auto valid = [&](const CCreature* c) {
    if (!Alive(c) || army < 0 || army >= kArmyCount || !SeenByArmy(army, *c) || !HostileTo(army, *c)) return false;
    const Point at = CentreOf(*c);
    if (!PointsWithinRange(x, y, z, at.x, at.y, at.z, reach)) return false;
    CLineWalker walker;
    CProjectileResult arc;
    return walker.TraceProjectile(x, y, z, at.x, at.y, c->unitZ + (c->type ? c->type->centreHeight : 0),
                                  params[w::kCreature], SpellRecord(98).Speed, 98, c->index, CLineWalker::kFineShot,
                                  arc) != 0;
  };
  if (valid(Creature(params[w::kTarget]))) return;
  params[w::kTarget] = -1;
  const CCreature* winner = nullptr;
  int bestScore = -1;
  for (int i = 0; i < kEffectCreatureCount; ++i) {
    const CCreature* c = Creature(i);
    if (!valid(c)) continue;
    const int score = std::max(0, 500 - c->health) + (c->IsWizard() ? 100 : 0) + EffectBattleDraw(__LINE__) % 50;
    if (score > bestScore) {
      bestScore = score;
      winner = c;
    }
  }
  if (!winner) return;
  const Point at = CentreOf(*winner);
  params.SetPoint(w::kTargetX, at.x, at.y, winner->unitZ + (winner->type ? winner->type->centreHeight : 0));
  params[w::kTarget] = winner->index;
  SetKind(51);
}

void CEffect::ShootHostiles() {
  const int range = SpellRecord(params[w::kSpell]).Duration;
  for (int i = 0; i < kEffectCreatureCount; ++i) {
    const CCreature* c = Creature(i);
    if (!Alive(c) || c->IsWizard() || !HostileTo(state[s::kArmy], *c)) continue;
    if (!CellsWithinRange(range, nullptr, cellX, cellY, cellLevel, c->cellX, c->cellY, c->level)) continue;
    CEffect* shot = owner ? owner->AllocateEffect() : nullptr;
    if (!shot) return;
    state[s::kCounter] = 3;
    CEffectParams block = params;
    block.SetPoint(w::kSourceX, cellX * kUnitsPerTile + 16, cellY * kUnitsPerTile + 16,
                   (cellLevel + 4) * kUnitsPerLevel);
    const Point aim = AimPoint(*c);
    block.SetPoint(w::kTargetX, aim.x, aim.y, aim.z);
    block[w::kValue] = 0;
    block[w::kTarget] = i;
    shot->Activate(34, block);
  }
}

void CEffect::RandomStrike() {
  CEffect* strike = owner ? owner->AllocateEffect() : nullptr;
  if (!strike) return;
  const int tx = cellX + EffectBattleDraw(__LINE__) % 12 - 6;
  const int ty = cellY + EffectBattleDraw(__LINE__) % 12 - 6;
  const int level = std::min(cellLevel + 5, g_map.levels - 1);
  CEffectParams block = FreshBlock();
  block.SetPoint(w::kSourceX, cellX * kUnitsPerTile, cellY * kUnitsPerTile, cellLevel * kUnitsPerLevel);
  block.SetPoint(w::kTargetX, WrapInto(tx, g_map.width) * kUnitsPerTile, WrapInto(ty, g_map.height) * kUnitsPerTile,
                 level * kUnitsPerLevel);
  block[w::kCreature] = params[w::kCreature];
  block[w::kKindMode] = 1;
  // The strike carries its shower's spell, which gives its range.
  block[w::kSpell] = params[w::kSpell];
  CLineWalker walker;
  CProjectileResult arc;
  if (!walker.TraceProjectile(block[w::kSourceX], block[w::kSourceY], block[w::kSourceZ], block[w::kTargetX],
                              block[w::kTargetY], block[w::kTargetZ], params[w::kCreature], 20, params[w::kSpell], -1,
                              1, arc))
    return;
  SetLaunch(block, arc);
  strike->Activate(71, block);
}

int CEffect::AreaInFront() {
  const CCreature* caster = Creature(params[w::kCreature]);
  creature = caster ? caster->index : -1;
  const int origin = params[w::kMode];
  const bool fromSource = origin == 0 || origin == 4;
  float vx, vy;
  int refX, refY;
  if (fromSource) {
    refX = WrapInto(params[w::kSourceX] >> 5, g_map.width);
    refY = WrapInto(params[w::kSourceY] >> 5, g_map.height);
    vx = static_cast<float>(WrapDeltaX(refX, params[w::kTargetX] >> 5));
    vy = static_cast<float>(WrapDeltaY(refY, params[w::kTargetY] >> 5));
  } else {
    refX = caster ? caster->cellX : cellX;
    refY = caster ? caster->cellY : cellY;
    vx = static_cast<float>(WrapDeltaX(refX, cellX));
    vy = static_cast<float>(WrapDeltaY(refY, cellY));
  }
  const int d = DirectionFromVector(vx, vy);
  // The cone starts a cell back from the effect toward the caster when they stand apart.
  constexpr int kBack[8][2] = {{0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}};
  int ox = cellX, oy = cellY;
  if (refX != cellX || refY != cellY) {
    ox = WrapInto(cellX + kBack[d][0], g_map.width);
    oy = WrapInto(cellY + kBack[d][1], g_map.height);
  }
  g_creatureArray.SlowInCone(ox, oy, cellLevel, kDirectionSteps[d].dx, kDirectionSteps[d].dy, 0,
                             SpellRecord(params[w::kSpell]).SpellStrength);
  return 1;
}

// --- traps ------------------------------------------------------------------------------------------------

void CEffect::SpawnRing() {
  const int rotation = EffectViewRotation() & 3;
  for (int i = 0; i < 4; ++i) {
    CEffect* corner = owner ? owner->AllocateEffect() : nullptr;
    if (!corner) return;
    CEffectParams block = FreshBlock();
    const int px = (cellX + kDiagonals[i][0]) * kUnitsPerTile + 16;
    const int py = (cellY + kDiagonals[i][1]) * kUnitsPerTile + 16;
    block.SetPoint(w::kSourceX, WrapInto(px, MapUnitsWide()), WrapInto(py, MapUnitsHigh()), cellLevel * kUnitsPerLevel);
    block.SetPoint(w::kTargetX, block[w::kSourceX], block[w::kSourceY], block[w::kSourceZ]);
    block[w::kSpeed] = i;
    block[w::kMode] = 1;
    block[w::kValue] = kRingLooks[rotation][i];
    block[w::kKindMode] = 1;
    corner->Activate(63, block);
  }
}

void CEffect::TrapOnCell() {
  if (cell && cell->occupant != kNoLink) creature = cell->occupant;
  CCreature* c = Creature(creature);
  if (!c) return;
  if (c->order != ORDER_TRAPPED) {
    if (c->IsTargetPosition(cellX, cellY, cellLevel)) c->Trap();
    return;
  }
  const uint32_t frame = static_cast<uint32_t>(g_creatureBattle->FrameCounter());
  uint32_t& timer = reinterpret_cast<uint32_t&>(state[s::kCounter2]);
  if (frame > timer) {
    SpawnRing();
    timer = frame + 50;
    g_effectSounds->PlayAt(1040, cellX, cellY, nullptr, 0);
  }
  if (timer - frame == 35) g_effectSounds->PlayAt(1041, cellX, cellY, nullptr, 0);
  if (timer - frame == 25) {
    if (c->IsWizard() && c->army == g_localArmy) g_effectBattle->LocalWizardTrapped();
    c->StartPrintEffect8();
    g_effectScript->MarkGone(c->index);
  }
}
