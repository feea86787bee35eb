// Rating a candidate creature for the spell decisions, and finding a spell's spot.
#include "ai/AIScoring.h"

#include <algorithm>

#include "ai/AICertainty.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIMeasures.h"
#include "creatures/Armies.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"

namespace {

constexpr int kHolderType = 8;  // never scored as a defender

// The measure terms the hostile wizards' seen spells add, per spell.
struct SpellCorrection {
  int spell;
  bool undeadOnly;
  std::initializer_list<MeasureTerm> terms;
};

const SpellCorrection kCorrections[] = {
    {33, false, {{1, 18}}}, {35, false, {{1, 18}}}, {38, true, {{2, -16}, {1, 8}}}, {44, false, {{1, -18}}},
    {46, false, {{1, 8}}},  {54, false, {{4, 8}}},  {81, false, {{4, 8}}},          {50, false, {{1, 13}}},
    {76, false, {{1, 27}}}, {77, false, {{1, 13}}}, {91, false, {{1, 27}}},         {92, false, {{1, 13}}},
    {65, false, {{1, 16}}},
};

}  // namespace

float CAIGroupBuilder::ScoreGroup(CCreature& wizard, CCreature& candidate, CAIGroupNode* groupA,
                                  CAIGroupNode* enemyGroup, CAIGroupNode* targetGroup, float prior) {
  CAIGroupNode* leaf = NewLeafNode(&candidate);
  const int danger = wizard.RateCurrentNode();
  const std::initializer_list<MeasureTerm> matchTerms = {{3, 6}, {3, 7}, {3, -63}, {3, -64}};

  // A general need for more creatures.
  float w1 = 0.0f, c1 = 0.0f;
  EvaluateMeasures(groupA, enemyGroup, w1, c1, {{3, -77}, {2, -58}, {1, -112}});
  FoldMeasure(-55, danger, 2.0f, w1, c1);
  EvaluateMeasures(leaf, enemyGroup, w1, c1, {{3, 3}, {1, 18}, {1, 5}, {0.5, 4}, {0.5, 2}});

  // A fighter against the targets.
  float w2 = 8.0f, c2 = prior;
  FoldMeasure(-55, danger, 2.0f, w2, c2);
  EvaluateMeasures(leaf, targetGroup, w2, c2, matchTerms);
  EvaluateMeasures(leaf, enemyGroup, w2, c2, {{3, 3}});

  // A defender where it is dangerous.
  float c3 = -1.0f;
  if (candidate.typeNumber != kHolderType) {
    float w3 = 8.0f;
    c3 = prior;
    FoldMeasure(55, danger, 2.0f, w3, c3);
    EvaluateMeasures(leaf, targetGroup, w3, c3, matchTerms);
    EvaluateMeasures(leaf, enemyGroup, w3, c3, {{2, 2}});
  }

  float result = std::max(c2, c3);
  if (result < c1) result = c1;

  // The spells hostile wizards were seen casting.
  float weight = 50.0f;
  const int own = wizard.army;
  for (int enemy = 0; enemy < kArmyCount && own >= 0 && own < kArmyCount; ++enemy) {
    const CArmy& army = g_armyTable.armies[enemy];
    if (!army.inUse || !g_armyTable.GetWizard(enemy) || g_armyTable.armies[own].IsAlliedWith(enemy)) continue;
    for (const SpellCorrection& correction : kCorrections) {
      if (!g_spellDefs[correction.spell].Sightings[own][enemy]) continue;
      if (correction.undeadOnly && !candidate.undead) continue;
      EvaluateMeasures(leaf, enemyGroup, weight, result, correction.terms);
    }
  }
  DeleteGroup(leaf);
  return result;
}

// --- spell spots ---------------------------------------------------------------------------

namespace {

int StepToward(int from, int to, int size) {
  const int d = WrappedDelta(to, from, size);
  return WrapInto(int64_t{from} + (d > 0) - (d < 0), size);
}

int ColumnCountOf(int spell, int count) {
  if (spell == 65 || spell == 70 || spell == 92) return 7;
  if (spell == 69 || spell == 91) return 6;
  return count;
}

bool Holds(const CMapCell& cell) { return cell.terrain != 0; }
bool Occupied(const CMapCell& cell) { return cell.occupant != kNoLink || cell.object != kNoLink; }
bool IsLiquidTerrain(const CMapCell& cell) { return Holds(cell) && TerrainOf(cell.terrain).IsLiquid(); }

// Whether a spell's column of count cells may stand at (x, y, z); z may move up over liquid.
bool Fits(int x, int y, int& z, int count) {
  const CMapCell* cell = g_map.CellIfInside(x, y, z);
  if (!cell || !TerrainOf(cell->terrain).IsStandable()) return false;
  if (IsLiquidTerrain(*cell)) {
    const CMapCell* above = g_map.CellIfInside(x, y, z + 1);
    if (!above || IsLiquidTerrain(*above)) return false;
    cell = above;
    ++z;
  }
  const CMapCell* below = g_map.CellIfInside(x, y, z - 1);
  if (!(z == 0 || Holds(*cell) || (below && Holds(*below)))) return false;
  if (Occupied(*cell)) return false;
  for (int i = 1; i <= count; ++i) {
    const CMapCell* above = g_map.CellIfInside(x, y, z + i);
    if (!above || Holds(*above) || Occupied(*above)) return false;
  }
  return true;
}

}  // namespace

bool FindSpellSpot(int count, int& x, int& y, int& z, int& foundLevel, int spell, int targetX, int targetY) {
  if (!g_map.cells || g_map.width <= 0 || g_map.height <= 0) return false;
  x = StepToward(x, targetX, g_map.width);
  y = StepToward(y, targetY, g_map.height);
  count = ColumnCountOf(spell, count);
  for (int dz : {0, 1, -1}) {
    const int level = z + dz;
    if (level < 0 || level >= g_map.levels) continue;
    for (int i = -1; i < 8; ++i) {
      const int px = i < 0 ? x : WrapInto(int64_t{x} + kDirectionSteps[i].dx, g_map.width);
      const int py = i < 0 ? y : WrapInto(int64_t{y} + kDirectionSteps[i].dy, g_map.height);
      int pz = level;
      if (!Fits(px, py, pz, count)) continue;
      x = px;
      y = py;
      z = pz;
      foundLevel = pz + count - 1;
      return true;
    }
  }
  return false;
}
