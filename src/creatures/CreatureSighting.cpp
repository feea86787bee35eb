// What creatures see: the view-range and line-of-sight tests, the sighting scan that refreshes
// a tenth of the creatures each frame (counters that fall while unseen, shared vision, spot
// icons for the local player), and the watch over the regions of power.
#include <cstdlib>

#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "map/LineWalker.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

constexpr int kScanGroups = 10;
constexpr int kRefreshBelow = 15;  // counters above it need no look this frame
constexpr int kRegionHoldRange = 3;
constexpr int kRegionWatchRange = 10;

bool ValidArmyIndex(int army) { return army >= 0 && army < kArmyCount; }

// Fighting, tracking or shooting shows an invisible creature.
bool IsBusy(const CCreature& creature) {
  return creature.tracking || creature.animState == ANIM_ENGAGED || creature.rangedAttack;
}

}  // namespace

void CCreature::EyePoint(int& x, int& y, int& z) const {
  const CCreatureType& t = type ? *type : g_creatureTypes[0];
  const int f = facing & 7;
  x = unitX + t.LRCOffsets[f][0] + t.centreOffset;
  y = unitY + t.LRCOffsets[f][1] + t.centreOffset;
  z = unitZ + t.LRCOffsets[f][2] + t.centreHeight;
}

void CCreature::CentrePoint(int& x, int& y, int& z) const {
  const CCreatureType& t = type ? *type : g_creatureTypes[0];
  x = unitX + t.centreOffset;
  y = unitY + t.centreOffset;
  z = unitZ + t.centreHeight;
}

int CCreature::IsWithinViewRange(int x, int y) const {
  const int range = type ? type->ViewRange : 0;
  return std::abs(WrapDeltaX(cellX, x)) <= range && std::abs(WrapDeltaY(cellY, y)) <= range ? 1 : 0;
}

int CCreature::CanSeePoint(int x, int y, int z) const {
  if (!IsWithinViewRange(x / kUnitsPerTile, y / kUnitsPerTile)) return 0;
  int ex, ey, ez;
  EyePoint(ex, ey, ez);
  CLineWalker walker;
  const int range = (type ? type->ViewRange : 0) * kUnitsPerTile;
  return walker.TraceSight(ex, ey, ez, x, y, z, range, typeNumber == creature_kind::kStatic ? 1 : 0) == 1 ? 1 : 0;
}

int CCreature::HasLineOfSightTo(const CCreature& other) const {
  if (!IsWithinViewRange(other.cellX, other.cellY)) return 0;
  int ex, ey, ez, tx, ty, tz;
  EyePoint(ex, ey, ez);
  other.CentrePoint(tx, ty, tz);
  CLineWalker walker;
  const int range = (type ? type->ViewRange : 0) * kUnitsPerTile;
  return walker.TraceSight(ex, ey, ez, tx, ty, tz, range, typeNumber == creature_kind::kStatic ? 1 : 0) == 1 ? 1 : 0;
}

void CCreatureArray::UpdateVisibility() {
  const int local = g_localArmy;
  const int phase = visibilityPhase;

  // This frame's group: note what the local army saw, and let the counters of the armies
  // that do not share the owner's vision fall.
  ForEachInUse([&](CCreature& creature) {
    if (!creature.IsAlive() || creature.index % kScanGroups != phase) return;
    if (creature.army != local)
      creature.seenBefore = ValidArmyIndex(local) && creature.sightingCounters[local] != 0 ? 1 : 0;
    for (int army = 0; army < kArmyCount; ++army) {
      if (army == creature.army) continue;
      const CArmy* record = g_armyTable.GetArmy(army);
      if (record && record->SharesVisionWith(creature.army)) continue;
      if (creature.sightingCounters[army] > 0) --creature.sightingCounters[army];
    }
  });
  visibilityPhase = (visibilityPhase + 1) % kScanGroups;

  // The group looks round.
  const CCreature* localWizard = g_armyTable.GetWizard(local);
  ForEachInUse([&](CCreature& scanner) {
    if (!scanner.IsAlive() || scanner.index % kScanGroups != phase) return;
    ForEachInUse([&](CCreature& seen) {
      if (seen.army == scanner.army || seen.typeNumber == creature_kind::kUnseen) return;
      if (!ValidArmyIndex(scanner.army) || seen.sightingCounters[scanner.army] > kRefreshBelow) return;
      if (seen.invisible && !IsBusy(seen) && scanner.typeNumber != creature_kind::kStatic) return;
      if (IsBusy(scanner) && scanner.target == seen.index) {
        seen.SetSeenByArmy(1, scanner.army, scanner.index);
      } else if (scanner.HasLineOfSightTo(seen)) {
        seen.SetSeenByArmy(1, scanner.army, scanner.index);
      } else if (localWizard && localWizard->inUse && localWizard->sightTimer > 0 && seen.army != local) {
        seen.SetSeenByArmy(1, local, localWizard->index);
      }
    });
  });

  // The local player's spot icons follow what its army sees. The mark is brought up to date
  // with each change told, so that a creature outside this frame's group is not told of
  // again on every frame until its own group's turn.
  if (ValidArmyIndex(local)) {
    ForEachInUse([&](CCreature& creature) {
      if (creature.army == local) return;
      const bool seenNow = creature.sightingCounters[local] != 0;
      if (seenNow && !creature.seenBefore && creature.IsAlive()) {
        g_creatureBattle->AddSpotIcon(creature.index);
        creature.seenBefore = 1;
      } else if (!seenNow && creature.seenBefore) {
        g_creatureBattle->RemoveSpotIcon(creature.index);
        creature.seenBefore = 0;
      }
    });
  }
  UpdateRegionsOfPower();
}

void CCreatureArray::UpdateRegionsOfPower() {
  const int regions = g_map.CountRegionsOfPower();
  if (regions == 0) return;
  if (g_map.regionCursor < 0 || g_map.regionCursor >= regions) g_map.regionCursor = 0;
  const int region = g_map.regionCursor;
  int rx, ry, rl;
  g_map.GetRegionOfPowerPosition(region, rx, ry, rl);

  int holder = -1;
  for (int slot = 0; slot < highWater && holder == -1; ++slot) {
    const CCreature& creature = records[slot];
    if (creature.inUse && creature.manaSource &&
        CellsWithinRange(kRegionHoldRange, nullptr, creature.cellX, creature.cellY, creature.level, rx, ry, rl))
      holder = creature.army;
  }
  ForEachInUse([&](CCreature& creature) {
    if (CellsWithinRange(kRegionWatchRange, nullptr, creature.cellX, creature.cellY, creature.level, rx, ry, rl))
      g_map.SetRegionOfPowerHolder(region, creature.army, holder);
  });
  ++g_map.regionCursor;
}
