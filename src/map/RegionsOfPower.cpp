// Regions of power (places players hold with a creature) and the water level.
#include <algorithm>
#include <climits>

#include "core/Options.h"
#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"

namespace {

constexpr int kRegionCentreSequence = 16;
constexpr int kRegionObjectKind = 61;
constexpr int kAIControllers = 2;

// Terrain around a region's centre, in direction order N, NE, E, SE, S, SW, W, NW.
constexpr int kRegionPatterns[3][8] = {
    {242, 238, 241, 237, 244, 240, 243, 239},
    {250, 246, 249, 245, 252, 248, 251, 247},
    {258, 254, 257, 253, 260, 256, 259, 255},
};

bool ValidRegion(int region) { return region >= 0 && region < CMap::kMaxRegions; }
bool ValidPlayer(int player) { return player >= 0 && player < CMap::kPlayers; }

// Whether the player holds a region through this creature.
bool Holds(int player, int creature) { return creature != -1 && !g_mapHooks.creatures->IsLostToArmy(player, creature); }

// What holding a region is worth to the computer player: half the value of one mana
// recovery, at least 1.
int RegionShareAmount() {
  float rate = g_manaRecoveryDelay > 0 ? static_cast<float>(g_manaRecovery) / static_cast<float>(g_manaRecoveryDelay)
                                       : static_cast<float>(g_manaRecovery);
  return std::max(g_mapHooks.ai->ComputeDamageValue(0, 0, 0, rate, 0.0f) / 2, 1);
}

}  // namespace

void CMap::BuildRegionOfPower(int x, int y, int level, int pattern) {
  CMapCell* centre = CellAtWrapped(x, y, level);
  if (!centre) return;
  int object = g_mapHooks.objects->FindFree();
  if (object < 0) return;
  x = CWrapCoord::WrapX(x);
  y = CWrapCoord::WrapY(y);
  if (pattern < 0 || pattern > 2) pattern = 0;
  AnimateCell(centre, kRegionCentreSequence, TerrainAnimation(), 1);
  for (int direction = 0; direction < 8; ++direction) {
    const GridStep& step = kDirectionSteps[direction];
    CellAtWrapped(x + step.dx, y + step.dy, level)->SetTerrain(kRegionPatterns[pattern][direction]);
  }
  int objectLevel = TerrainOf(kRegionOfPowerCentreType).IsLiquid() ? level + 1 : level;
  g_mapHooks.objects->Place(object, x, y, objectLevel);
  g_mapHooks.objects->SetKind(object, kRegionObjectKind);
  g_mapHooks.battle->ScannerCellChanged(x, y, level);
}

void CMap::GetRegionOfPowerPosition(int n, int& x, int& y, int& level) const {
  if (!ValidRegion(n)) {
    x = y = level = 0;
    return;
  }
  x = CWrapCoord::WrapX(regions[n].x);
  y = CWrapCoord::WrapY(regions[n].y);
  level = regions[n].level;
}

int CMap::GetRegionOfPowerValue(int n) const { return ValidRegion(n) ? regions[n].value : -1; }

void CMap::SetRegionOfPowerHolder(int region, int player, int creature) {
  if (!ValidRegion(region) || !ValidPlayer(player)) return;
  int old = regionHolders[region][player];
  bool heldBefore = Holds(player, old);
  bool heldAfter = Holds(player, creature);
  if (heldBefore != heldAfter) {
    int amount = RegionShareAmount();
    IMapAI& ai = *g_mapHooks.ai;
    for (int controller = 0; controller < kAIControllers; ++controller) {
      // Losing the region is a loss to the player, gaining it a gain.
      if (heldBefore)
        ai.ShareLoss(controller, player, amount);
      else
        ai.ShareGain(controller, player, amount);
    }
  }
  regionHolders[region][player] = creature;
  regionCounters[region][player] = 0;
}

void CMap::TickRegionOfPowerCounters() {
  for (auto& row : regionCounters)
    for (int32_t& counter : row)
      if (counter < INT_MAX) ++counter;
}

int CMap::CountRegionsOfPower() const {
  int count = 0;
  while (count < kMaxRegions) {
    const CRegionOfPower& region = regions[count];
    if (region.x == 0 && region.y == 0 && region.level == 0) break;
    ++count;
  }
  return count;
}

void CMap::SetWaterLevel(int level) { waterLevel = std::clamp(level, 0, std::max(levels - 1, 0)); }

void CMap::SetWaterLimits(int minLevel, int maxLevel) {
  minWaterLevel = minLevel;
  maxWaterLevel = maxLevel;
}

void CMap::ChangeWaterLevel(int delta) {
  int top = std::max(levels - 1, 0);
  int target = static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(waterLevel) + delta, 0, top));
  int d = target - waterLevel;
  if (d == 0 || target > maxWaterLevel || target < minWaterLevel) return;

  // Swimmers floating at the surface move with it while they have room.
  IMapCreatures& creatures = *g_mapHooks.creatures;
  int step = d > 0 ? 1 : -1;
  for (int creature = creatures.NextInUse(-1); creature != -1; creature = creatures.NextInUse(creature)) {
    CreaturePlace place;
    if (!creatures.GetPlace(creature, place)) continue;
    if (place.movementKind != kMovementSwimmer || place.level + place.height != waterLevel) continue;
    int reached = place.level;
    for (int moved = 0; moved < std::abs(d); ++moved) {
      int next = reached + step;
      if (!creatures.HasRoomAt(creature, place.x, place.y, next) || !creatures.FitsAt(creature, place.x, place.y, next))
        break;
      reached = next;
    }
    if (reached != place.level) creatures.Relocate(creature, place.x, place.y, reached);
  }
  waterLevel = target;
  if (d > 0) g_mapHooks.effects->MarkKind14(waterLevel);
}
