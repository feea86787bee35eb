#pragma once
// Terrain collapse: a map cell that has lost every connection to the ground falls. The battle
// keeps a queue of changed cells (CBattle::cellQueue, filled through CBattle::QueueCell);
// once an unpaused frame CBattle::StepCollapse takes cells from its front, drops the support
// bits of faces that no longer touch anything, searches within a node budget for a supported
// path to the ground, and collapses the cells it finds none for. Each collapse queues the
// emptied cell again, so that its neighbours are examined in turn: a large destruction
// spreads over several frames. The search draws its order from g_battleRandom, so that every
// machine drops the same cells in the same frames.

#include <cstdint>

#include "core/Hooks.h"

struct CMapCell;

// The six faces of a cell, in the order the step examines them: offset, the cell's support
// bit for the face and the neighbour's bit for the face toward the cell.
struct CollapseDirection {
  int dx, dy, dz;
  uint16_t bit, opposite;
};
inline constexpr CollapseDirection kCollapseDirections[6] = {
    {-1, 0, 0, 0x2000, 0x0800}, {+1, 0, 0, 0x0800, 0x2000}, {0, -1, 0, 0x0400, 0x1000},
    {0, +1, 0, 0x1000, 0x0400}, {0, 0, -1, 0x0200, 0x0100}, {0, 0, +1, 0x0100, 0x0200},
};
inline constexpr uint16_t kSupportBits = 0x3F00;
// The anchor bit of a cell's flags (the state word): an anchored cell never falls.
inline constexpr uint16_t kAnchoredCell = 0x0040;
// Terrain of this kind never falls, nor is it examined.
inline constexpr int kFixedTerrainKind = 255;

inline constexpr int kCollapseNodeBudget = 1024;   // search nodes a frame
inline constexpr int kCollapseLowBudget = 511;     // no new cell is taken at or below it
inline constexpr int kCollapseCellsPerFrame = 64;  // cells taken a frame
inline constexpr int kCollapseSearchLimit = 512;   // nodes one search may spend

// What the last collapse step did: cells taken from the queue, search nodes spent, cells
// collapsed (a measure for tests and the frame trace).
struct CollapseStats {
  int cellsTaken = 0;
  int nodes = 0;
  int collapsed = 0;
};
extern CollapseStats g_collapseStats;

// Whether the cell of the battle map stands on the ground: on level 0, anchored, or of the
// fixed terrain kind.
bool IsCellGrounded(const CMapCell* cell);

// What a collapse starts beyond the map: the falling block (effect kind 23) and the cell's
// effects turning to their ending sequence. The neutral implementation uses the effect pool;
// tests put a fake in with HookScope<ICollapseEffects>(g_collapseEffects, fake).
class ICollapseEffects {
 public:
  virtual ~ICollapseEffects() = default;
  // A block of the terrain type falls from the point (map units), when an effect slot is free.
  virtual void StartFallingBlock(int x, int y, int z, int terrainType);
  // Every effect chained to the cell switches to sequence 1.
  virtual void EndCellEffects(CMapCell& cell);
};
extern HookSlot<ICollapseEffects> g_collapseEffects;
