// Orders passed from one creature to another, the reach test of an attack, the burst of a
// creature with its blast damage, and the blood and glows of a wound. Blood and glows are
// seen only: they draw from the view's generator and appear only where the local army sees.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/Options.h"
#include "core/Random.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "map/LineWalker.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

constexpr int kBurstSound = 1023;
constexpr int kDeathBlastSpell = 58, kSpawnerBlast = 1;
constexpr int kDeathBlastBase = 60, kDeathBlastPerRadius = 20, kDeathBlastFalloff = 20;
constexpr int kQuietBurster = 6;

bool CannotExplode(int type) { return type == 20 || type == 22 || type == 23; }

// The spell whose record the burst's line to a victim is thrown with (its Speed).
constexpr int kBurstTraceSpell = 28;

// The trace of a burst's line to a victim as the body parts take it: the end point, the
// launch velocity (three floats) and the arc's apex height.
void PackBurstTrace(const CProjectileResult& trace, uint8_t* out) {
  static_assert(sizeof trace.aim + sizeof trace.velocity + sizeof trace.apexHeight == kBurstTraceBytes);
  std::memcpy(out, trace.aim, sizeof trace.aim);
  std::memcpy(out + 12, trace.velocity, sizeof trace.velocity);
  std::memcpy(out + 24, &trace.apexHeight, sizeof trace.apexHeight);
}

// A cosmetic draw, top bit cleared.
int LookDraw() { return static_cast<int>(g_viewRandom.Next() & 0x7FFFFFFF); }

bool LocalArmySees(const CCreature& creature) {
  return g_localArmy >= 0 && g_localArmy < kSightingArmyCount && creature.sightingCounters[g_localArmy] > 0;
}

}  // namespace

void CCreature::IssueOrder(int kind, int x, int y, int z, int targetSlot) {
  switch (kind) {
    case 2:
      WalkTo(x, y, z);
      break;
    case 3:
      if (const CCreature* victim = CreatureInUse(targetSlot); victim && victim->IsAlive()) AttackCreature(targetSlot);
      break;
    case 4:
      AttackTerrain(x, y, z);
      break;
    default:
      break;
  }
}

bool CCreature::CanReach(const CCreature& other) {
  int x = cellX, y = cellY, z = level;
  int fromX = -1, fromY = -1, fromZ = -1;
  int best = MapWrappedDistance(x, y, z, other.cellX, other.cellY, other.level);
  while (!(x == other.cellX && y == other.cellY && z == other.level)) {
    if (InHandToHandContact(other, x, y, z) || (HasUsableMissile() && ClearShotFrom(x, y, z, other))) return true;
    // The walk takes the nearest neighbour it can step to, the first of the neighbours'
    // order among equals: the closer ones, in that order, are tried first, and the first
    // that passes is the one.
    struct Neighbour {
      int distance, x, y, z;
    };
    Neighbour closer[std::size(kNeighbours26)];
    int count = 0;
    for (const GridStep& step : kNeighbours26) {
      const int nz = z + step.dz;
      if (nz < 0 || nz >= g_map.levels) continue;
      const int nx = CWrapCoord::WrapX(x + step.dx), ny = CWrapCoord::WrapY(y + step.dy);
      if (nx == fromX && ny == fromY && nz == fromZ) continue;
      const int d = MapWrappedDistance(nx, ny, nz, other.cellX, other.cellY, other.level);
      if (d < best) closer[count++] = {d, nx, ny, nz};
    }
    std::stable_sort(closer, closer + count,
                     [](const Neighbour& a, const Neighbour& b) { return a.distance < b.distance; });
    const Neighbour* next = nullptr;
    for (int i = 0; i < count && !next; ++i)
      // The step is tried from the walk's cell, not from where the creature stands.
      if (CanMoveStraightTo(x, y, z, closer[i].x, closer[i].y, closer[i].z, nullptr, 0)) next = &closer[i];
    if (!next) return false;
    best = next->distance;
    fromX = x, fromY = y, fromZ = z;
    x = next->x, y = next->y, z = next->z;
  }
  return false;
}

void CCreature::Explode(int strength, int falloff) {
  if (CannotExplode(typeNumber)) return;
  if (typeNumber != kQuietBurster) g_creatureSounds->PlayAt(kBurstSound, cellX, cellY);
  // The body flies apart along the lines the burst was traced to its victims.
  uint8_t traces[kCreatureCapacity * kBurstTraceBytes];
  int traceCount = 0;
  if (strength > 0) {
    health = 0;
    const int reach = strength / std::max(falloff, 1);
    int cx, cy, cz;
    CentrePoint(cx, cy, cz);
    g_creatureArray.ForEachInUse([&](CCreature& victim) {
      if (&victim == this || !victim.IsAlive()) return;
      const int d =
          CellDistanceApprox(WrapDeltaX(cellX, victim.cellX), WrapDeltaY(cellY, victim.cellY), victim.level - level);
      if (d / 4 >= reach) return;
      int vx, vy, vz;
      victim.CentrePoint(vx, vy, vz);
      CLineWalker walker;
      // The line is thrown from every victim in reach; its trace sets a body part's flight.
      if (traceCount < kCreatureCapacity) {
        CProjectileResult trace;
        walker.TraceProjectile(vx, vy, vz, cx, cy, cz, victim.index, g_spellDefs[kBurstTraceSpell].Speed,
                               kBurstTraceSpell, index, 0, trace);
        PackBurstTrace(trace, traces + kBurstTraceBytes * traceCount++);
      }
      // Walls stop the blast; bodies do not.
      if (walker.TraceSight(vx, vy, vz, cx, cy, cz, (reach + 1) * 4 * kUnitsPerTile, 1) != 1) return;
      victim.TakeDamage(strength - falloff * (d / 4), army, carriedItems[0], carriedItems[1]);
    });
  }
  int x, y, z;
  CentrePoint(x, y, z);
  g_creatureEffects->SpawnBurstBodyParts(typeNumber, x, y, z, traceCount ? traces : nullptr, traceCount);
  Remove();
  orderHandler = nullptr;
  order = pendingOrder = ORDER_NONE;
  Detach();
}

void CCreature::EmitBlood(int amount) {
  if (!LocalArmySees(*this)) return;
  const int vx = LookDraw() % 5 - 2;
  const int vy = LookDraw() % 5 - 2;
  const int vz = LookDraw() % 3 + 4;
  const int size = (amount / 2 + 4) * g_bloodLevel / 100;
  g_creatureEffects->SpawnBlood(index, vx, vy, vz, size, IsAlive());
}

void CCreature::EmitGlowBurst(int count) {
  if (!LocalArmySees(*this)) return;
  const int n = count * g_bloodLevel * 2 / 100;
  if (n > 0) g_creatureEffects->SpawnGlowBurst(index, n, heldKind == 2);
}

// A creature whose death ends in a burst: its body flies apart with no harm, and a spawner
// blast of spell 58 spreads from the cell above it.
void CCreature::DeathBlast() {
  const int x = cellX, y = cellY, z = level + 1;
  Explode(0, kDeathBlastFalloff);
  const int strength = kDeathBlastBase + kDeathBlastPerRadius * g_spellDefs[kDeathBlastSpell].Radius;
  g_creatureEffects->StartBlast(kSpawnerBlast, x, y, z, strength, kDeathBlastFalloff, kDeathBlastSpell);
}
