#pragma once
// Blasts: an explosion centred on a map cell whose strength spreads outward through a box of
// 19 x 19 x 19 cells, losing strength with distance and in the terrain it passes, and then
// acts on every cell it reached: a kind-44 effect there, or, with no effect record free, the
// damage done at once. Effects and creatures request blasts from the pool of 100; the
// computer player judges one along single lines through CBlastQuery without a live blast.
//
// Cells of the box are named by their grid coordinates (i, j, k), each 0-18; the centre
// (9, 9, 9) is the blast's own cell, and grid (i, j, k) is the map cell (x + i - 9,
// y + j - 9, level + k - 9) with x and y wrapped.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "magic/EffectParams.h"

struct BlastCell {
  int i = 0, j = 0, k = 0;
  bool operator==(const BlastCell&) const = default;
};

// The header of a blast: what StepStrength needs, and all a query holds.
struct CBlastQuery {
  int32_t strength = 0;  // at the centre; 0 marks a free record
  int32_t cellX = 0, cellY = 0, cellLevel = 0;
  int32_t falloff = 0;   // the loss per step, in quarters of the step's cost
  int32_t refCount = 0;  // holders; the blast goes off when the last lets go
  int32_t type = 0;      // 0 destructive, 1 spawns fires, 2 delivers its spell (no break-through)

  // A query at a centre with a strength, fall-off, count and type.
  void Init(int x, int y, int level, int s, int loss, int count, int kind);
};

class CBlast : public CBlastQuery {
 public:
  static constexpr int kSide = 19;
  static constexpr int kCentre = 9;
  static constexpr int kCells = kSide * kSide * kSide;

  using Grid = std::array<int32_t, kCells>;

  void Set(int x, int y, int level, int s, int loss, int count, int kind, const CEffectParams& block);
  // One holder lets go; the last one sets the blast off: it spreads, acts on its cells,
  // sounds at its centre and frees the record.
  void Release();

  // The strength arriving in `to` from its neighbour `from` when `s` leaves `from`; never
  // negative. Reads the map's terrain around the query's centre and changes nothing.
  static int StepStrength(const CBlastQuery& query, const BlastCell& from, const BlastCell& to, int s);
  int StepStrength(const BlastCell& from, const BlastCell& to, int s) const { return StepStrength(*this, from, to, s); }

  // Fills the grid with the strength reaching each cell (0 where none arrives).
  void Propagate(Grid& grid) const;
  // Acts on every reached cell in step-table order.
  void Apply(const Grid& grid) const;

  static int Index(int i, int j, int k) { return (k * kSide + j) * kSide + i; }

  CEffectParams params;  // given to the effects the blast starts
};

// One record of the step table: the cell, the cell before it on the line from the centre,
// and the key the table is ordered by.
struct BlastStep {
  int32_t key = 0;  // MapDistanceApprox of the offset from the centre
  BlastCell cell, previous;
};

// The part of a terrain type's solid mask that each axis of a blast crosses, in per cent.
struct BlastAbsorption {
  int32_t absorbX = 0, absorbY = 0, absorbZ = 0;
};

class CBlastPool {
 public:
  static constexpr int kRecords = 100;

  CBlastPool();
  // The first free record (strength 0), or null.
  CBlast* FindFree();
  // Frees every record (a battle starts or ends).
  void Clear();
  // From the terrain types' solid masks; run at battle start.
  void BuildAbsorptionTable();
  const BlastAbsorption& AbsorptionOf(int terrainType) const;

  // Built on first use.
  const std::vector<BlastStep>& Steps();
  CBlast& Record(int n) { return records_[static_cast<std::size_t>(n)]; }

 private:
  std::array<CBlast, kRecords> records_{};
  std::vector<BlastAbsorption> absorption_;
  std::vector<BlastStep> steps_;  // sorted by key, ties in grid order
};

extern CBlastPool g_blastPool;

// The step table: every grid cell with its predecessor, stably sorted by key.
std::vector<BlastStep> BuildBlastStepTable();
