// Terrain damage, breaking doors and opening doors. Damage passes what is left over on to
// the terrain that replaces the destroyed one; doors break and open across their whole
// structure. Every walk here is bounded: a cell breaks or opens at most once per call, and
// the leftover is passed on a limited number of times.
#include <unordered_set>
#include <vector>

#include "core/Options.h"
#include "map/Doors.h"
#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"

namespace {

constexpr int kEffectFire = 14;  // holds the terrain of its cell
constexpr int kEffectAffectsTile = 33;
constexpr int kMaxLeftoverPasses = 32;  // a chain of destruction types ends
constexpr int kMaxChainLength = 0x10000;

struct Position {
  int x, y, level;
};

// Passability before a change, taken only when the path network is in use.
struct PassabilityWatch {
  Position at;
  int before[3] = {};
  explicit PassabilityWatch(Position position) : at(position) {
    if (g_useNodeMap) g_map.GetCellPassability(at.x, at.y, at.level, before);
  }
  void Report() const {
    if (!g_useNodeMap) return;
    int after[3];
    g_map.GetCellPassability(at.x, at.y, at.level, after);
    int kind = ComparePassability(before, after);
    if (kind != -1) NotifyPathNetwork(at.x, at.y, at.level, kind);
  }
};

bool IsDoorType(const CTerrainType& type) { return type.doorIndex != kNoDoor; }

// Replaces a destroyed terrain; an animated cell loses its animation first.
void ReplaceTerrain(CMapCell& cell, int type) {
  auto animated = cell.IsAnimated() ? g_map.FindAnimatedCell(&cell) : g_map.animatedCells.end();
  cell.state &= static_cast<uint16_t>(~state_bits::kAnimated);
  cell.SetTerrain(type);
  if (animated != g_map.animatedCells.end()) g_map.animatedCells.erase(animated);
}

int DamageCell(CMapCell& cell, int amount, int pass);

int PassLeftover(CMapCell& cell, int leftover, int pass) {
  if (leftover > 0 && !(cell.shape & shape_bits::kKeepLeftoverDamage)) DamageCell(cell, leftover, pass + 1);
  return 1;
}

int DamageCell(CMapCell& cell, int amount, int pass) {
  if (pass > kMaxLeftoverPasses || cell.terrain == 0) return 0;
  const CTerrainType& type = TerrainOf(cell);
  if (type.damageThreshold == kIndestructible || type.damageThreshold > amount) return 0;
  int leftover = amount - type.damageThreshold;
  if (IsDoorType(type)) return cell.BreakDoor(amount);

  Position at;
  if (!g_map.UnpackCellOffset(&cell, at.x, at.y, at.level)) return 0;
  PassabilityWatch watch(at);
  const int oldTerrain = cell.terrain;
  ReplaceTerrain(cell, type.afterDestruction);
  if (cell.terrain == oldTerrain && type.afterDestruction != oldTerrain) return 0;  // refused under a creature
  g_mapHooks.battle->AddChangedCell(&cell);
  watch.Report();

  IMapEffects& effects = *g_mapHooks.effects;
  int effect = cell.effect;
  for (int steps = 0; effect != kNoLink && steps < kMaxChainLength; ++steps) {
    int next = effects.NextInCell(effect);
    int kind = effects.Kind(effect);
    if (kind == kEffectFire) {
      if (cell.terrain != 0) return PassLeftover(cell, leftover, pass);
      effects.Deactivate(effect);
    } else if (kind == kEffectAffectsTile) {
      effects.AffectTerrainTile(effect);
    }
    effect = next;
  }
  if (cell.terrain == 0) cell.CreateObjectEffects(oldTerrain, at.level);
  return PassLeftover(cell, leftover, pass);
}

// Breaks one door cell: 1 when it broke.
int BreakDoorCell(CMapCell& cell, int amount) {
  const CTerrainType& type = TerrainOf(cell);
  if (!IsDoorType(type) || amount < type.damageThreshold) return 0;
  Position at;
  if (!g_map.UnpackCellOffset(&cell, at.x, at.y, at.level)) return 0;
  PassabilityWatch watch(at);
  cell.state &= static_cast<uint16_t>(~state_bits::kDoorBits);
  cell.SetTerrain(type.afterDestruction);
  watch.Report();
  return 1;
}

// The ten cells a breaking door spreads to: the eight around it on its level, the cell
// above and the cell below.
std::vector<CMapCell*> DoorNeighbours(const CMapCell& cell) {
  std::vector<CMapCell*> around;
  int x, y, level;
  if (!g_map.UnpackCellOffset(&cell, x, y, level)) return around;
  for (const GridStep& step : kDirectionSteps) around.push_back(g_map.CellAtWrapped(x + step.dx, y + step.dy, level));
  around.push_back(g_map.CellAtWrapped(x, y, level + 1));
  around.push_back(g_map.CellAtWrapped(x, y, level - 1));
  return around;
}

}  // namespace

int CMapCell::Damage(int amount) { return DamageCell(*this, amount, 0); }

int CMapCell::BreakDoor(int amount) {
  std::vector<CMapCell*> pending{this};
  std::unordered_set<const CMapCell*> seen{this};
  int broke = 0;
  while (!pending.empty()) {
    CMapCell* cell = pending.back();
    pending.pop_back();
    if (!BreakDoorCell(*cell, amount)) continue;
    if (cell == this) broke = 1;
    std::vector<CMapCell*> around = DoorNeighbours(*cell);
    for (auto it = around.rbegin(); it != around.rend(); ++it)  // taken in order from the stack
      if (*it && seen.insert(*it).second) pending.push_back(*it);
  }
  return broke;
}

void CMap::OpenDoor(int x, int y, int level, int arg, int* result) {
  if (!cells) return;
  std::vector<Position> pending{{CWrapCoord::WrapX(x), CWrapCoord::WrapY(y), level}};
  std::unordered_set<int> seen;
  while (!pending.empty()) {
    Position at = pending.back();
    pending.pop_back();
    if (!IsInside(at.x, at.y, at.level) || !seen.insert(CellIndex(at.x, at.y, at.level)).second) continue;
    const CMapCell& cell = CellAt(at.x, at.y, at.level);
    if (!(cell.state & state_bits::kDoorBits)) continue;
    int doorIndex = TerrainOf(cell).doorIndex;
    int bottom = at.level;
    if (bottom != 1) {
      while (bottom > 0 && TerrainOf(CellAt(at.x, at.y, bottom - 1)).doorIndex == doorIndex) --bottom;
    }
    if (bottom == 1) bottom = 0;
    const CDoorRecord* door = FindDoor(doorIndex);
    int doorHeight = door ? door->Height : 0;
    for (int z = bottom; z < bottom + doorHeight && z < levels; ++z) {
      CMapCell& opened = CellAt(at.x, at.y, z);
      opened.terrain = 0;
      opened.state &= static_cast<uint16_t>(~state_bits::kDoorBits);
      NotifyPathNetwork(at.x, at.y, z, 1);
    }
    backgroundDirty = 1;
    // North, east, south and west, taken in that order from the stack.
    for (int direction = 6; direction >= 0; direction -= 2) {
      const GridStep& step = kDirectionSteps[direction];
      pending.push_back({CWrapCoord::WrapX(at.x + step.dx), CWrapCoord::WrapY(at.y + step.dy), bottom});
    }
  }
  if (result) *result = 813;
}

int CMap::DestroyStructure(int x, int y, int level, int army, int* sound) {
  if (sound) *sound = -1;
  CMapCell* cell = CellAtWrapped(x, y, level);
  if (!cell || !(cell->state & state_bits::kDoorBits)) return 0;
  const CDoorRecord* door = FindDoor(TerrainOf(*cell).doorIndex);
  if (sound && door) *sound = door->SoundNum;
  OpenDoor(x, y, level, army, nullptr);
  return 1;
}
