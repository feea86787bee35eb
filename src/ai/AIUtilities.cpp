#include "ai/AIUtilities.h"

#include <algorithm>
#include <cmath>

#include "ai/AIDecision.h"
#include "ai/AIGroupNode.h"
#include "core/Options.h"
#include "core/Random.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/ManaWait.h"
#include "creatures/SpellDefinition.h"
#include "magic/SpellCast.h"
#include "map/LineWalker.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"

namespace {

IAIWorld g_neutralAIWorld;

// The percentage boost of a lord (rank 1) or king (rank 2), each option kept within 1-100.
int RankBoosted(int v, int rank) {
  if (rank == 1) return v + v * std::clamp(g_lordBooster, 1, 100) / 100;
  if (rank == 2) return v + v * std::clamp(g_kingBooster, 1, 100) / 100;
  return v;
}

int SpellDamage(int spell) { return g_spellDefs[spell].Damage; }

}  // namespace

constinit HookSlot<IAIWorld> g_aiWorld(&g_neutralAIWorld);

int IAIWorld::CheckSpellTarget(int lx, int ly, int lz, int ax, int ay, int az, int spell, int caster, int target,
                               int inRange) {
  if (!inRange) return kTargetUnreachable;
  CProjectileResult trace;
  return ::CheckSpellTarget(lx, ly, lz, ax, ay, az, spell, caster, target, trace);
}

int IAIWorld::ManaWaitSeenBy(const CCreature& caster, int army, int spell) {
  if (spell < 0 || spell >= kSpellCount || army < 0 || army >= kArmyCount) return INT32_MAX;
  return EstimateManaWaitTime(caster.manaStores[army], caster.maxMana, g_spellDefs[spell].ManaCost, 1,
                              CountManaSources(caster.army));
}

bool IAIWorld::ProjectileReaches(int x0, int y0, int z0, int x1, int y1, int z1, int shooter, int spell, int target) {
  if (spell < 0 || spell >= kSpellCount) return false;
  CLineWalker walker;
  CProjectileResult arc;
  return walker.TraceProjectile(x0, y0, z0, x1, y1, z1, shooter, g_spellDefs[spell].Speed, spell, target,
                                CLineWalker::kFineShot, arc) != 0;
}

int RandomBits31() { return static_cast<int>(g_aiRandom.Next() & 0x7fffffffu); }

float UniformRandom() { return static_cast<float>(RandomBits31()) / 2147483648.0f; }

double ExponentialRandom(float mean) {
  int bits = RandomBits31();
  if (bits == 0) bits = 1;
  const double u = static_cast<double>(bits) / 2147483648.0;
  return -static_cast<double>(mean) * std::log(u);
}

float SideRatio(int army) {
  const CCreature* wizard = g_armyTable.GetWizard(army);
  if (!wizard) return 0.0f;
  return (static_cast<float>(wizard->aiThreat) + 1.0f) / (static_cast<float>(wizard->aiSideStrength) + 1.0f);
}

double OutcomeRatio(const CAIDecision& decision) {
  const double current = SideRatio(decision.side);
  const double balance = (static_cast<double>(decision.gain) + 1.0) / (static_cast<double>(decision.loss) + 1.0);
  return balance * (static_cast<double>(decision.startRatio) + 0.01) / (current + 0.01);
}

bool WithinRange(int r, int x1, int y1, int z1, int x2, int y2, int z2) {
  return static_cast<int64_t>(WrappedDistanceSq(x1, y1, z1, x2, y2, z2)) <= static_cast<int64_t>(r) * r;
}

bool SpellPermits(int spell, int targetArmy, int casterArmy) {
  if (spell < 0 || spell >= kSpellCount) return false;
  if (targetArmy < 0 || targetArmy >= kSightingArmies || casterArmy < 0 || casterArmy >= kSightingArmies) return false;
  return g_spellDefs[spell].Sightings[targetArmy][casterArmy] != 0;
}

void LaunchPoint(const CCreature& caster, int x, int y, int level, int dir, int& lx, int& ly, int& lz) {
  const CCreatureType& type = caster.type ? *caster.type : g_creatureTypes[caster.typeNumber];
  const int32_t* offset = type.LRCOffsets[dir & 7];
  lx = CWrapCoord::WrapUnitsX(x * kUnitsPerTile + offset[0] + type.centreOffset);
  ly = CWrapCoord::WrapUnitsY(y * kUnitsPerTile + offset[1] + type.centreOffset);
  lz = level * kUnitsPerLevel + offset[2] + type.centreHeight;
}

void CreatureAimPoint(const CCreature& target, int& ax, int& ay, int& az) {
  const CCreatureType& type = target.type ? *target.type : g_creatureTypes[target.typeNumber];
  ax = CWrapCoord::WrapUnitsX(target.unitX + type.centreOffset);
  ay = CWrapCoord::WrapUnitsY(target.unitY + type.centreOffset);
  az = target.unitZ + type.centreHeight;
}

void CellAimPoint(int x, int y, int level, int& ax, int& ay, int& az) {
  // The point within the cell its terrain offers as a target, the same point a player's cast
  // at the place aims at: a low wall is hit on its top, not at its foot. A place outside the
  // map offers the empty type's point.
  const CMapCell* cell = g_map.CellAtWrapped(x, y, level);
  const CTerrainType& terrain = TerrainOf(cell ? cell->terrain : 0);
  ax = CWrapCoord::WrapUnitsX(x * kUnitsPerTile + terrain.targetOffset[0]);
  ay = CWrapCoord::WrapUnitsY(y * kUnitsPerTile + terrain.targetOffset[1]);
  az = level * kUnitsPerLevel + terrain.targetOffset[2];
}

namespace {

int CastCheck(CCreature& caster, int spell, int x, int y, int level, int tx, int ty, int tlevel, int ax, int ay, int az,
              int target) {
  if (spell < 0 || spell >= kSpellCount) return kTargetNotAllowed;
  const int dir = DirectionFromVector(static_cast<float>(WrapDeltaX(x, tx)), static_cast<float>(WrapDeltaY(y, ty)));
  int lx, ly, lz;
  LaunchPoint(caster, x, y, level, dir, lx, ly, lz);
  const int inRange = g_spellDefs[spell].LOFType == kLofThrowCast ? WithinRange(6, x, y, level, tx, ty, tlevel) : 1;
  return g_aiWorld->CheckSpellTarget(lx, ly, lz, ax, ay, az, spell, caster.index, target, inRange);
}

}  // namespace

int CastCheckAtCreature(CCreature& caster, int spell, int x, int y, int level, CCreature* target) {
  if (!target) return kTargetNotAllowed;
  int ax, ay, az;
  CreatureAimPoint(*target, ax, ay, az);
  return CastCheck(caster, spell, x, y, level, target->cellX, target->cellY, target->level, ax, ay, az, target->index);
}

int CastCheckAtCell(CCreature& caster, int spell, int x, int y, int level, int tx, int ty, int tlevel) {
  int ax, ay, az;
  CellAimPoint(tx, ty, tlevel, ax, ay, az);
  return CastCheck(caster, spell, x, y, level, tx, ty, tlevel, ax, ay, az, -1);
}

int LeafHthRating(const CAIGroupNode* leaf, int againstType, int asked) {
  if (!leaf || !leaf->creature) return 0;
  const CCreature& c = *leaf->creature;
  int v = c.GetHthRating(againstType, asked);
  v += v * c.strength.attackBonus / 100;
  if (c.bloodLust) v *= 2;
  v = RankBoosted(v, c.rank);
  if (c.GetSpellState() == 1) v += SpellDamage(spell_tuning::kMightyBlow);
  return v;
}

int LeafLrcRating(const CAIGroupNode* leaf, int againstType, int asked) {
  if (!leaf || !leaf->creature) return 0;
  const CCreature& c = *leaf->creature;
  int v = RankBoosted(c.GetLrcRating(againstType, asked), c.rank);
  if (c.GetSpellState() == 2) v += SpellDamage(spell_tuning::kArcaneBolt);
  return v;
}

int LeafManaIncome(CAIGroupNode* group, const CAIGroupNode* leaf) {
  if (!group || !leaf || !leaf->creature) return 0;
  const int leafArmy = leaf->creature->army;
  const int perPlace = g_manaRecoveryDelay > 0 ? g_manaRecovery * 1000 / g_manaRecoveryDelay : 0;
  int income = 0;
  const int places = g_map.CountRegionsOfPower();
  for (int place = 0; place < places; ++place) {
    bool flag = false;
    const int cursor = GroupFirstMember(group);
    while (CCreature* member = GroupNextMember(group, cursor)) {
      if (member->army < 0 || member->army >= CMap::kPlayers) continue;
      // The army the member's side last saw holding the place, -1 when it has no record.
      const int holder = g_map.regionHolders[place][member->army];
      if (holder == -1) continue;
      // The last member with a record decides, as the income has always been counted.
      flag = holder == leafArmy;
    }
    if (flag) income += perPlace;
  }
  return income;
}
