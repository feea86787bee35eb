// Blasts: the step table, absorption by terrain, propagation over the box and what the blast
// does at every cell it reached.
#include "magic/Blast.h"

#include <algorithm>
#include <cstdlib>

#include "creatures/CreatureArray.h"
#include "magic/EffectManager.h"
#include "magic/EffectSounds.h"
#include "map/LineStepper.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"

CBlastPool g_blastPool;

namespace {

namespace w = effect_word;
namespace s = effect_state;

constexpr int kBlastSound = 1013;
constexpr int kBlastKind = 44;
constexpr uint16_t kStopsBlasts = state_bits::kSealed;
// The line stepper wraps at the map's size times this: far beyond the box, so that the
// table is the same whatever map is loaded when it is built.
constexpr int kUnwrappedScale = 1 << 16;

enum class Axis { kX, kY, kZ };

// The map cell of a grid cell of a blast; null above the top or below the floor.
const CMapCell* MapCellOf(const CBlastQuery& q, int i, int j, int k) {
  if (!g_map.cells) return nullptr;
  const int level = q.cellLevel + k - CBlast::kCentre;
  if (level < 0 || level >= g_map.levels) return nullptr;
  return &g_map.CellAt(WrapInto(q.cellX + i - CBlast::kCentre, g_map.width),
                       WrapInto(q.cellY + j - CBlast::kCentre, g_map.height), level);
}

// What is left of v after crossing the terrain of a grid cell along an axis.
int Absorbed(const CBlastQuery& q, int i, int j, int k, Axis axis, int v) {
  const CMapCell* cell = MapCellOf(q, i, j, k);
  if (!cell || v <= 0) return std::max(v, 0);
  const BlastAbsorption& a = g_blastPool.AbsorptionOf(cell->terrain);
  int p = 0;
  switch (axis) {
    case Axis::kZ:
      p = a.absorbZ;
      break;
    case Axis::kY:
      p = a.absorbY != 0 ? a.absorbX + a.absorbY : 0;
      break;
    case Axis::kX:
      p = a.absorbX != 0 ? a.absorbX + a.absorbY : 0;
      break;
  }
  int left = p >= 100 ? 0 : v - v * p / 100;
  // A destructive blast breaks through what is weaker than the strength it would lose.
  const int strength = TerrainOf(*cell).damageThreshold;
  if (q.type == 0 && strength != kIndestructible && strength < v - left) left = v - strength;
  return std::max(left, 0);
}

// Two legs of half the strength each, across a diagonal step on one level.
int DiagonalOnLevel(const CBlastQuery& q, const BlastCell& from, const BlastCell& to, int k, int v) {
  const int h = v / 2;
  const int legA = Absorbed(q, from.i, from.j, k, Axis::kY, h);
  const int legB = Absorbed(q, from.i, from.j, k, Axis::kX, h);
  if (legA == 0 || legB == 0) return 0;
  return Absorbed(q, from.i, to.j, k, Axis::kX, legA) + Absorbed(q, to.i, from.j, k, Axis::kY, legB);
}

int StepCost(int horizontal, bool levelChange) {
  const int base = horizontal == 0 ? 0 : horizontal == 1 ? 4 : 6;
  if (!levelChange) return base;
  return base == 0 ? 2 : base + 1;
}

}  // namespace

// --- the query and the record -------------------------------------------------------------------

void CBlastQuery::Init(int x, int y, int level, int s, int loss, int count, int kind) {
  strength = s;
  cellX = x;
  cellY = y;
  cellLevel = level;
  falloff = loss;
  refCount = count;
  type = kind;
}

void CBlast::Set(int x, int y, int level, int s, int loss, int count, int kind, const CEffectParams& block) {
  Init(x, y, level, s, loss, count, kind);
  params = block;
}

void CBlast::Release() {
  if (strength == 0) return;  // a free record holds nothing to set off
  if (refCount > 0) --refCount;
  if (refCount != 0) return;
  Grid grid;
  Propagate(grid);
  Apply(grid);
  g_effectSounds->PlayAt(kBlastSound, cellX, cellY, nullptr, 0);
  strength = 0;
}

int CBlast::StepStrength(const CBlastQuery& q, const BlastCell& from, const BlastCell& to, int s) {
  const int horizontal = (from.i != to.i) + (from.j != to.j);
  const bool levelChange = from.k != to.k;
  int loss = StepCost(horizontal, levelChange) * q.falloff / 4;
  if (loss == 0 && q.falloff > 0) loss = 1;
  s -= loss;
  if (s < 1) return 0;
  if (from == BlastCell{kCentre, kCentre, kCentre}) return s;
  const CMapCell* left = MapCellOf(q, from.i, from.j, from.k);
  if (left && (left->state & kStopsBlasts)) return 0;

  const Axis along = from.i != to.i ? Axis::kX : Axis::kY;
  if (horizontal == 0) return Absorbed(q, from.i, from.j, from.k, Axis::kZ, s);
  if (horizontal == 1 && !levelChange) return Absorbed(q, from.i, from.j, from.k, along, s);
  const int h = s / 2;
  if (horizontal == 1) {
    const int firstA = Absorbed(q, from.i, from.j, from.k, along, h);
    const int firstB = Absorbed(q, from.i, from.j, from.k, Axis::kZ, h);
    if (firstA == 0 || firstB == 0) return 0;
    return Absorbed(q, to.i, to.j, from.k, Axis::kZ, firstA) + Absorbed(q, from.i, from.j, to.k, along, firstB);
  }
  if (!levelChange) return DiagonalOnLevel(q, from, to, from.k, s);
  int j = Absorbed(q, to.i, to.j, from.k, Axis::kZ, DiagonalOnLevel(q, from, to, from.k, h));
  int k = Absorbed(q, from.i, from.j, from.k, Axis::kZ, h);
  if (k != 0)
    k = DiagonalOnLevel(q, from, to, to.k, k);
  else
    j = 0;
  return std::max(j + k, 0);
}

void CBlast::Propagate(Grid& grid) const {
  grid.fill(0);
  grid[static_cast<size_t>(Index(kCentre, kCentre, kCentre))] = strength;
  const std::vector<BlastStep>& steps = g_blastPool.Steps();
  for (size_t n = 1; n < steps.size(); ++n) {
    const BlastStep& step = steps[n];
    const int level = cellLevel + step.cell.k - kCentre;
    if (level < 0 || level >= g_map.levels) continue;
    const int f = grid[static_cast<size_t>(Index(step.previous.i, step.previous.j, step.previous.k))];
    if (f <= 0) continue;
    const int arriving = StepStrength(step.previous, step.cell, f);
    if (arriving > 0) grid[static_cast<size_t>(Index(step.cell.i, step.cell.j, step.cell.k))] = arriving;
  }
}

namespace {

// The creature whose body centre lies in the cell, looked for among the occupants of the
// 27 cells around it.
CCreature* CreatureCentredIn(int x, int y, int level) {
  auto centredHere = [&](int dx, int dy, int dz) -> CCreature* {
    const int l = level + dz;
    if (l < 0 || l >= g_map.levels) return nullptr;
    const CMapCell& cell = g_map.CellAt(WrapInto(x + dx, g_map.width), WrapInto(y + dy, g_map.height), l);
    CCreature* c = cell.occupant == kNoLink ? nullptr : g_creatureArray.InUse(cell.occupant);
    if (!c || !c->type) return nullptr;
    int cx, cy, cz;
    c->CentrePoint(cx, cy, cz);
    const bool inCell = WrapInto(cx, g_map.width * kUnitsPerTile) >> 5 == x &&
                        WrapInto(cy, g_map.height * kUnitsPerTile) >> 5 == y && cz >> 4 == level;
    return inCell ? c : nullptr;
  };
  if (CCreature* c = centredHere(0, 0, 0)) return c;
  for (const GridStep& step : kNeighbours26)
    if (CCreature* c = centredHere(step.dx, step.dy, step.dz)) return c;
  return nullptr;
}

}  // namespace

void CBlast::Apply(const Grid& grid) const {
  g_effectManager.BeginFreeScan();
  for (const BlastStep& step : g_blastPool.Steps()) {
    const int d = grid[static_cast<size_t>(Index(step.cell.i, step.cell.j, step.cell.k))];
    if (d <= 0) continue;
    const int x = WrapInto(cellX + step.cell.i - kCentre, g_map.width);
    const int y = WrapInto(cellY + step.cell.j - kCentre, g_map.height);
    const int level = cellLevel + step.cell.k - kCentre;
    if (CEffect* free = g_effectManager.NextFree()) {
      CEffectParams block = params;
      block.SetPoint(w::kSourceX, x * kUnitsPerTile, y * kUnitsPerTile, level * kUnitsPerLevel);
      block[13] = d;
      block[14] = type;
      const int di = std::abs(step.cell.i - kCentre), dj = std::abs(step.cell.j - kCentre);
      const int dk = std::abs(step.cell.k - kCentre);
      block[15] = MapDistanceApprox(di, dj, dk / 2) / 2 + 1;
      free->Activate(kBlastKind, block);
      continue;
    }
    CMapCell& cell = g_map.CellAt(x, y, level);
    if (type == 0) {
      if (cell.terrain != 0) cell.Damage(d);
      if (CCreature* c = CreatureCentredIn(x, y, level)) {
        const CCreature* by = g_creatureArray.InUse(params[w::kCreature]);
        c->TakeDamage(d, by ? by->army : -1, by ? by->carriedItems[0] : -1, by ? by->carriedItems[1] : -1);
      }
      const bool trapCell = (cell.state & state_bits::kField20) && !(cell.state & state_bits::kField10);
      CEffect* first = trapCell ? g_effectManager.At(cell.effect) : nullptr;
      if (first && first->active && first->kind == effect_kind::kTrap) {
        first->state[s::kCounter] -= d;
        if (first->state[s::kCounter] > 10)
          first->RestartKind26Anim(0);
        else
          first->state[s::kCounter] -= 10;
      }
    } else if (type == 1 && cell.terrain != 0) {
      if (CEffect* fire = g_effectManager.AllocateEffect()) {
        CEffectParams block = params;
        block.SetPoint(w::kSourceX, x * kUnitsPerTile, y * kUnitsPerTile, level * kUnitsPerLevel);
        fire->Activate(effect_kind::kFire, block);
      }
    }
    // A blast that delivers its spell (type 2) does nothing where no effect can carry it.
  }
}

// --- the pool ----------------------------------------------------------------------------------

std::vector<BlastStep> BuildBlastStepTable() {
  constexpr int c = CBlast::kCentre;
  std::vector<BlastStep> steps;
  steps.reserve(CBlast::kCells);
  for (int k = 0; k < CBlast::kSide; ++k)
    for (int j = 0; j < CBlast::kSide; ++j)
      for (int i = 0; i < CBlast::kSide; ++i) {
        BlastStep step;
        step.key = MapDistanceApprox(i - c, j - c, k - c);
        step.cell = {i, j, k};
        step.previous = step.cell;
        CLineStepper line;
        line.StartWrappedScaled(c, c, c, i, j, k, nullptr, kUnwrappedScale);
        int x = c, y = c, z = c;
        int32_t length = 0;
        for (int n = line.MajorSteps(); n > 0 && !(x == i && y == j && z == k); --n) {
          step.previous = {x, y, z};
          line.Step(x, y, z, length);
        }
        steps.push_back(step);
      }
  std::stable_sort(steps.begin(), steps.end(), [](const BlastStep& a, const BlastStep& b) { return a.key < b.key; });
  return steps;
}

CBlastPool::CBlastPool() = default;

const std::vector<BlastStep>& CBlastPool::Steps() {
  if (steps_.empty()) steps_ = BuildBlastStepTable();
  return steps_;
}

CBlast* CBlastPool::FindFree() {
  for (CBlast& record : records_)
    if (record.strength == 0) return &record;
  return nullptr;
}

void CBlastPool::Clear() {
  for (CBlast& record : records_) record = CBlast{};
}

void CBlastPool::BuildAbsorptionTable() {
  absorption_.assign(static_cast<size_t>(g_terrainTypes.Count()), BlastAbsorption{});
  for (int t = 0; t < g_terrainTypes.Count(); ++t) {
    const CTerrainType& type = TerrainOf(t);
    int linesY = 0, linesX = 0, columns = 0;
    for (int q = 0; q < 4; ++q)
      for (int a = 0; a < 8; ++a) {
        bool alongY = false, alongX = false;
        for (int b = 0; b < 8; ++b) {
          alongY = alongY || type.TestVoxel(a, b, q);
          alongX = alongX || type.TestVoxel(b, a, q);
        }
        linesY += alongY;
        linesX += alongX;
      }
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        bool solid = false;
        for (int q = 0; q < 4; ++q) solid = solid || type.TestVoxel(x, y, q);
        columns += solid;
      }
    BlastAbsorption& a = absorption_[static_cast<size_t>(t)];
    a.absorbY = linesY < 9 ? 0 : linesY * 100 / 32;
    a.absorbX = linesX < 9 ? 0 : linesX * 100 / 32;
    a.absorbZ = columns <= 16 ? 0 : columns * 100 / 64;
  }
}

const BlastAbsorption& CBlastPool::AbsorptionOf(int terrainType) const {
  static const BlastAbsorption kNone{};
  if (terrainType < 0 || terrainType >= static_cast<int>(absorption_.size())) return kNone;
  return absorption_[static_cast<size_t>(terrainType)];
}
