// The collapse step, one cell's collapse and the changed-cell queue.
#include "battle/Collapse.h"

#include <algorithm>
#include <queue>
#include <unordered_map>
#include <vector>

#include "battle/Battle.h"
#include "core/Options.h"
#include "core/Random.h"
#include "core/TraceLog.h"
#include "creatures/CreatureArray.h"
#include "magic/Effect.h"
#include "magic/EffectManager.h"
#include "magic/EffectParams.h"
#include "map/Map.h"
#include "map/PathNetwork.h"
#include "map/TerrainType.h"

namespace {
ICollapseEffects g_realCollapseEffects;
}  // namespace
HookSlot<ICollapseEffects> g_collapseEffects(&g_realCollapseEffects);
CollapseStats g_collapseStats;

void ICollapseEffects::StartFallingBlock(int x, int y, int z, int terrainType) {
  CEffect* effect = g_effectManager.AllocateEffect();
  if (!effect) return;
  CEffectParams block;
  for (int i = 0; i <= 9; ++i) block[i] = -1;
  block.SetPoint(effect_word::kSourceX, x, y, z);
  block.SetPoint(effect_word::kTargetX, x, y, z);
  block[effect_word::kMode] = 1;  // sequence 1
  block[effect_word::kValue] = terrainType;
  block[effect_word::kKindMode] = 7;
  effect->Activate(effect_kind::kFallingBlock, block);
}

void ICollapseEffects::EndCellEffects(CMapCell& cell) {
  int index = cell.effect;
  for (int steps = 0; index != CEffect::kEndOfChain && steps < g_effectManager.Count(); ++steps) {
    CEffect* effect = g_effectManager.At(index);
    if (!effect) return;
    index = effect->GetNextInCell();
    effect->SetSequence(1);
  }
}

bool IsCellGrounded(const CMapCell* cell) {
  int x, y, level;
  if (!cell || !g_map.UnpackCellOffset(cell, x, y, level)) return false;
  return level == 0 || (cell->state & kAnchoredCell) != 0 || TerrainOf(cell->terrain).kind == kFixedTerrainKind;
}

namespace {

struct CellPlace {
  int x = 0, y = 0, level = 0;
};

int Wrap(int v, int n) { return n > 0 ? ((v % n) + n) % n : 0; }

// The neighbour across a face, x and y wrapped round the map; null above or below the levels.
CMapCell* Neighbour(const CellPlace& at, const CollapseDirection& d, CellPlace& out) {
  out = {Wrap(at.x + d.dx, g_map.width), Wrap(at.y + d.dy, g_map.height), at.level + d.dz};
  if (out.level < 0 || out.level >= g_map.levels) return nullptr;
  return &g_map.CellAt(out.x, out.y, out.level);
}

bool Falls(const CMapCell& cell) { return cell.terrain != 0 && TerrainOf(cell.terrain).kind != kFixedTerrainKind; }

// The faces in the order of this expansion, drawn from the battle's generator.
void ShuffleFaces(int order[6]) {
  for (int i = 0; i < 6; ++i) order[i] = i;
  for (int i = 5; i > 0; --i) {
    const int j = static_cast<int>((g_battleRandom.Next() & 0x7FFFFFFFu) % static_cast<uint32_t>(i + 1));
    if (g_netRandomLog) g_traceLog.Record("collapse", __LINE__);
    std::swap(order[i], order[j]);
  }
}

// Best-first search from the cell over its supported faces for a grounded cell, spending one
// node of the allowance per expanded cell. True when the ground was reached.
bool ReachesGround(const CellPlace& start, int& allowance) {
  struct Open {
    int cost, index;
    CellPlace place;
    bool operator>(const Open& other) const { return cost > other.cost; }
  };
  std::priority_queue<Open, std::vector<Open>, std::greater<Open>> open;
  std::unordered_map<int, int> best;  // cell index -> cheapest cost reached
  const int startIndex = g_map.CellIndexFromPointer(&g_map.CellAt(start.x, start.y, start.level));
  open.push({0, startIndex, start});
  best[startIndex] = 0;
  int groundCost = -1;
  while (!open.empty() && allowance > 0) {
    const Open node = open.top();
    if (groundCost >= 0 && node.cost >= groundCost) break;
    open.pop();
    if (node.cost > best[node.index]) continue;  // a cheaper way was found since
    --allowance;
    ++g_collapseStats.nodes;
    const CMapCell& cell = g_map.CellAt(node.place.x, node.place.y, node.place.level);
    int order[6];
    ShuffleFaces(order);
    for (int face : order) {
      const CollapseDirection& d = kCollapseDirections[face];
      if (!(cell.shape & d.bit)) continue;
      CellPlace next;
      CMapCell* neighbour = Neighbour(node.place, d, next);
      if (!neighbour || neighbour->terrain == 0) continue;
      const int index = g_map.CellIndexFromPointer(neighbour);
      const int cost = node.cost + 1;
      auto found = best.find(index);
      if (found != best.end() && found->second <= cost) continue;
      best[index] = cost;
      if (IsCellGrounded(neighbour)) {
        if (groundCost < 0 || cost < groundCost) groundCost = cost;
        continue;
      }
      open.push({cost, index, next});
    }
  }
  return groundCost >= 0;
}

// The search's node allowance: the node value of the path-network section holding the cell,
// at most 512; a cell outside every section gets the most.
int SearchAllowance(const CellPlace& at) {
  const int section = g_pathNetwork.FindSection(at.x, at.y);
  if (section < 0 || section >= CPathNetwork::kSections) return kCollapseSearchLimit;
  return std::clamp(g_pathNetwork.sections[section].values[0], 0, kCollapseSearchLimit);
}

}  // namespace

void CBattle::QueueCell(CMapCell* cell) {
  const int index = g_map.CellIndexFromPointer(cell);
  if (!cell || index < 0) return;
  if (static_cast<size_t>(index) >= cellQueued.size()) cellQueued.resize(static_cast<size_t>(index) + 1, 0);
  if (cellQueued[static_cast<size_t>(index)]) return;
  cellQueued[static_cast<size_t>(index)] = 1;
  cellQueue.push_back(cell);
}

CMapCell* CBattle::TakeQueuedCell() {
  CMapCell* cell = cellQueue.front();
  cellQueue.pop_front();
  const int index = g_map.CellIndexFromPointer(cell);
  if (index >= 0 && static_cast<size_t>(index) < cellQueued.size()) cellQueued[static_cast<size_t>(index)] = 0;
  return cell;
}

void CBattle::ClearCellQueue() {
  cellQueue.clear();
  cellQueued.clear();
}

void CBattle::StepCollapse() {
  int budget = kCollapseNodeBudget;
  g_collapseStats = {};
  for (int taken = 0; taken < kCollapseCellsPerFrame && budget > kCollapseLowBudget && !cellQueue.empty(); ++taken) {
    CMapCell* cell = TakeQueuedCell();
    ++g_collapseStats.cellsTaken;
    CellPlace at;
    if (!g_map.UnpackCellOffset(cell, at.x, at.y, at.level)) continue;
    if (cell->terrain == 0) {
      // An emptied cell: the neighbours that leaned on it are examined.
      for (const CollapseDirection& d : kCollapseDirections) {
        CellPlace next;
        CMapCell* neighbour = Neighbour(at, d, next);
        if (!neighbour || !Falls(*neighbour)) continue;
        if (!(neighbour->shape & kSupportBits) || (neighbour->shape & d.opposite)) QueueCell(neighbour);
      }
      continue;
    }
    if (!Falls(*cell) || IsCellGrounded(cell)) continue;
    // Faces that touch nothing any more hold nothing up.
    for (const CollapseDirection& d : kCollapseDirections) {
      if (!(cell->shape & d.bit)) continue;
      if (g_map.CountVoxelContact(at.x, at.y, at.level, at.x + d.dx, at.y + d.dy, at.level + d.dz) <= 0)
        cell->shape &= static_cast<uint16_t>(~d.bit);
    }
    if (!(cell->shape & kSupportBits)) {
      CollapseCell(cell);
      continue;
    }
    int allowance = SearchAllowance(at);
    budget -= allowance;
    if (!ReachesGround(at, allowance)) CollapseCell(cell);
    budget += allowance;
  }
}

void CBattle::CollapseCell(CMapCell* cell) {
  int x, y, level;
  if (!cell || !g_map.UnpackCellOffset(cell, x, y, level)) return;
  ++g_collapseStats.collapsed;
  // A block on level 0 starts at the floor, not below the map.
  g_collapseEffects->StartFallingBlock(x * 32, y * 32, std::max(level - 1, 0) * 16, cell->terrain);
  g_collapseEffects->EndCellEffects(*cell);
  cell->CreateObjectEffects(cell->terrain, level);
  if (cell->occupant != kNoLink)
    if (CCreature* creature = CreatureInUse(cell->occupant); creature && !creature->orderState.flying)
      creature->SetOrder(ORDER_DROPPED);
  cell->Clear();
  QueueCell(cell);
}
