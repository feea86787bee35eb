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
#include "map/CellRouteSearch.h"
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

// A cell of air holds nothing up, whatever support bit a neighbour still keeps toward it (the
// emptied cell's neighbours are queued, but their bits are only cleared when they are taken).
bool HoldsTerrain(int cellIndex) { return g_map.cells[cellIndex].terrain != 0; }

// Takes the successors in random order: each one drawn from those left with the battle's
// generator.
void TakeInRandomOrder(std::vector<CSuccessor>& successors) {
  for (size_t left = successors.size(); left > 0; --left) {
    const size_t pick = (g_battleRandom.Next() & 0x7FFFFFFFu) % left;
    if (g_netRandomLog) g_traceLog.Record("collapse", __LINE__);
    std::swap(successors[pick], successors[left - 1]);
  }
}

// Best-first search from the cell for a grounded cell over the map's successor cells along the
// support faces, each step at the map's cost for it (sideways 2, down 1, up 3), so that a way
// down is tried before a way round. Each expanded cell spends one node of the allowance. True
// when the ground was reached.
bool ReachesGround(const CellPlace& start, int& allowance) {
  struct Open {
    int cost, index;
    bool operator>(const Open& other) const { return cost > other.cost; }
  };
  std::priority_queue<Open, std::vector<Open>, std::greater<Open>> open;
  std::unordered_map<int, int> best;  // cell index -> cheapest cost reached
  CRouteMover supportFaces;
  supportFaces.connectionMoves = true;
  const CBestFirstSearch::Closed noStep;
  std::vector<CSuccessor> successors;
  const int startIndex = g_map.CellIndexFromPointer(&g_map.CellAt(start.x, start.y, start.level));
  open.push({0, startIndex});
  best[startIndex] = 0;
  int groundCost = -1;
  while (!open.empty() && allowance > 0) {
    const Open node = open.top();
    if (groundCost >= 0 && node.cost >= groundCost) break;
    open.pop();
    if (node.cost > best[node.index]) continue;  // a cheaper way was found since
    ++g_collapseStats.nodes;
    successors.clear();
    int32_t left = allowance;
    CellSuccessors(node.index, noStep, supportFaces, successors, left);
    allowance = left;
    TakeInRandomOrder(successors);
    for (auto next = successors.rbegin(); next != successors.rend(); ++next) {
      if (!HoldsTerrain(next->node)) continue;
      const int cost = node.cost + next->cost;
      auto found = best.find(next->node);
      if (found != best.end() && found->second <= cost) continue;
      best[next->node] = cost;
      if (IsCellGrounded(g_map.cells + next->node)) {
        if (groundCost < 0 || cost < groundCost) groundCost = cost;
        continue;
      }
      open.push({cost, next->node});
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
