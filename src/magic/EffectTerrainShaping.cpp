// Effects that change the battle map: totems that grow as columns of their own tiles, act on
// the creatures round them and collapse when hit; walls that grow upward and spread
// sideways; the sinking column; the corner columns of an earthquake and their shaking; and
// effects hopping to a standable cell. Every terrain change is compared for passability and
// told to the path network. Game-logic draws come from the battle generator; the glows of a
// collapsing totem from the view's generator (g_viewRandom).
#include <algorithm>
#include <cctype>

#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "magic/EffectManager.h"
#include "magic/EffectRandom.h"
#include "magic/EffectSounds.h"
#include "magic/EffectSpells.h"
#include "magic/EffectWorld.h"
#include "magic/ParticleFactory.h"
#include "magic/ParticleKinds.h"
#include "magic/ParticleManager.h"
#include "map/LineWalker.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;

constexpr int kTotemTileFirst = 333, kTotemTileLast = 366;
constexpr int kWallSpell = 35;
constexpr uint16_t kTileClass = 0x0003;  // shape bits a grown tile clears ...
constexpr uint16_t kTileGrown = 0x0200;  // ... and the bit it sets

// The first tile and the levels of a totem spell; 0 levels for other spells.
struct TotemTiles {
  int first = 0, levels = 0;
};
TotemTiles TilesOf(int spell) {
  switch (spell) {
    case 65:
      return {359, 7};
    case 69:
      return {339, 6};
    case 70:
      return {345, 7};
    case 91:
      return {333, 6};
    case 92:
      return {352, 7};
    default:
      return {};
  }
}

bool IsTotemTile(int terrain) { return terrain >= kTotemTileFirst && terrain <= kTotemTileLast; }

// A standing totem's shot or healing beam: a new effect of the kind, from the totem's cell
// centre (ex, ey) at its level, aimed at the creature's centre, with the creature as its
// target. Nothing when no effect is free.
void LaunchAtCreature(CEffect& totem, int kind, int ex, int ey, const CCreature& creature) {
  CEffect* launched = totem.owner ? totem.owner->AllocateEffect() : nullptr;
  if (!launched) return;
  CEffectParams block = totem.params;
  block.SetPoint(w::kSourceX, ex, ey, totem.cellLevel * kUnitsPerLevel);
  const int offset = creature.type ? creature.type->centreOffset : 16;
  const int height = creature.type ? creature.type->TileHeight : 1;
  block.SetPoint(w::kTargetX, creature.unitX + offset, creature.unitY + offset,
                 (creature.level + height) * kUnitsPerLevel - kUnitsPerLevel);
  block[w::kTarget] = creature.index;
  launched->Activate(kind, block);
}

// The neighbour orders a totem tries its site in, one drawn per search; order 0 also tests
// whether a totem stands beside it.
constexpr int kNeighbourOrders[4][8][2] = {{{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}},
                                           {{-1, -1}, {-1, 0}, {-1, 1}, {1, 1}, {0, 1}, {1, 0}, {1, -1}, {0, -1}},
                                           {{1, -1}, {1, 1}, {-1, 0}, {1, 0}, {-1, -1}, {-1, 1}, {0, 1}, {0, -1}},
                                           {{1, 0}, {0, -1}, {-1, 0}, {-1, -1}, {0, 1}, {1, -1}, {-1, 1}, {1, 1}}};
constexpr int kCorners[4][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
// The free-cell search: the cell itself, its eight neighbours, then the 5 x 5 ring.
constexpr int kFreeCellOffsets[25][2] = {
    {0, 0}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1},  {-1, 1}, {-1, 0}, {-1, -1}, {0, -2},  {1, -2},  {2, -2}, {2, -1},
    {2, 0}, {2, 1},  {2, 2},  {1, 2}, {0, 2}, {-1, 2}, {-2, 2}, {-2, 1}, {-2, 0},  {-2, -1}, {-2, -2}, {-1, -2}};
// Pushes of the shockwave by the direction from a creature to the quake, two cells away.
constexpr int kPushTargets[8][2] = {{0, 2}, {-2, 2}, {-2, 0}, {-2, -2}, {0, -2}, {2, -2}, {2, 0}, {2, 2}};
// The sway of the corner columns: amplitude by level above the quake, sign by step.
constexpr int kSwayAmplitude[11] = {-1, 3, 4, 5, 6, 7, 8, 9, 10, 12, 0};
constexpr int kSwaySign[8] = {-1, -1, 1, 1, 1, 1, -1, -1};
// The corner columns' animation offsets by view rotation: every offset starts a sequence of
// the same steps, so what a view shows never changes the battle.
constexpr int kCornerLooks[4][4] = {{0, 1, 2, 3}, {3, 0, 1, 2}, {2, 3, 0, 1}, {1, 2, 3, 0}};

int Wx(int x) { return WrapInto(x, g_map.width); }
int Wy(int y) { return WrapInto(y, g_map.height); }

CMapCell* CellOrNull(int x, int y, int level) {
  if (!g_map.cells || level < 0 || level >= g_map.levels) return nullptr;
  return &g_map.CellAt(Wx(x), Wy(y), level);
}

bool IsFullHeight(const CTerrainType& type) { return type.groundHeight >= kUnitsPerLevel; }

// A cell where something may stand: empty above standable full-height ground, or holding
// low standable ground.
bool IsStandableCell(int x, int y, int level) {
  const CMapCell* cell = CellOrNull(x, y, level);
  if (!cell) return false;
  if (cell->terrain != 0) {
    const CTerrainType& type = TerrainOf(*cell);
    return !IsFullHeight(type) && (type.typeFlags & type_flags::kStandable);
  }
  const CMapCell* below = CellOrNull(x, y, level - 1);
  return below && below->terrain != 0 && IsFullHeight(TerrainOf(*below)) &&
         (TerrainOf(*below).typeFlags & type_flags::kStandable);
}

// Sets a cell's terrain and tells the path network what it changed for passing creatures.
void ChangeTerrain(int x, int y, int level, int type) {
  CMapCell* cell = CellOrNull(x, y, level);
  if (!cell) return;
  x = Wx(x);
  y = Wy(y);
  int before[3] = {};
  if (g_useNodeMap) g_map.GetCellPassability(x, y, level, before);
  cell->SetTerrain(type);
  if (!g_useNodeMap) return;
  int after[3];
  g_map.GetCellPassability(x, y, level, after);
  const int kind = ComparePassability(before, after);
  if (kind != -1) NotifyPathNetwork(x, y, level, kind);
}

// A tile grown by a totem or a wall.
void GrowTile(int x, int y, int level, int type) {
  ChangeTerrain(x, y, level, type);
  if (CMapCell* cell = CellOrNull(x, y, level)) {
    cell->shape &= static_cast<uint16_t>(~kTileClass);
    cell->shape |= kTileGrown;
  }
}

CCreature* LivingCreature(int slot) {
  CCreature* c = g_creatureArray.InUse(slot);
  return c && c->health != 0 ? c : nullptr;
}

bool AlliedWith(int army, const CCreature& c) {
  return army >= 0 && army < kArmyCount && g_armyTable.armies[army].IsAlliedWith(c.army);
}

// The army of a name, without regard to case; -1 when none.
int ArmyNamed(const char* name) {
  for (int a = 0; a < kArmyCount; ++a) {
    const char* own = g_armyTable.armies[a].name;
    size_t i = 0;
    while (own[i] && name[i] &&
           std::toupper(static_cast<unsigned char>(own[i])) == std::toupper(static_cast<unsigned char>(name[i])))
      ++i;
    if (own[i] == 0 && name[i] == 0) return a;
  }
  return -1;
}

// The creature slots a standing totem looks at this frame: Data1 of them from the cursor,
// not past slot 99; the cursor moves on and starts again at 0 past 99.
template <class Visit>
void ScanSlots(CEffectParams& params, int count, Visit visit) {
  int& cursor = params[w::kCompanion];
  if (cursor < 0 || cursor > 99) cursor = 0;
  const int end = std::min(cursor + std::max(count, 0), kEffectCreatureCount);
  for (int slot = cursor; slot < end; ++slot) visit(slot);
  cursor += count;
  if (cursor > 99) cursor = 0;
}

}  // namespace

// --- totems --------------------------------------------------------------------------------------------

int CEffect::DropToGround() {
  if (!g_map.cells) return 0;
  for (int level = std::min(cellLevel, g_map.levels - 1); level >= 0; --level) {
    const CMapCell& ground = g_map.CellAt(cellX, cellY, level);
    const CTerrainType& type = TerrainOf(ground);
    if (ground.terrain == 0 || !(type.typeFlags & type_flags::kStandable)) continue;
    const int target = IsFullHeight(type) ? level + 1 : level;
    if (target >= g_map.levels) return 0;
    PlaceInCell(cellX, cellY, target, true);
    z = target * kUnitsPerLevel + (IsFullHeight(*terrainType) ? 0 : terrainType->groundHeight);
    return 1;
  }
  return 0;
}

int CEffect::CanGrowTotem() {
  const TotemTiles tiles = TilesOf(params[w::kSpell]);
  if (!cell || tiles.levels == 0 || cell->occupant != kNoLink) return 0;
  if (cellLevel == 0 && cell->terrain == 0) return 0;
  if (cellLevel > 0 && IsTotemTile(g_map.CellAt(cellX, cellY, cellLevel - 1).terrain)) return 0;
  for (int k = 1; k <= tiles.levels; ++k) {
    if (cellLevel + k >= g_map.levels) return 0;
    const CMapCell& above = g_map.CellAt(cellX, cellY, cellLevel + k);
    if (above.terrain != 0 || above.occupant != kNoLink) return 0;
  }
  return 1;
}

int CEffect::FindTotemSite() {
  if (!g_map.cells || !cell) return 0;
  const int(&order)[8][2] = kNeighbourOrders[EffectBattleDraw(__LINE__) % 4];
  const auto totemAt = [&](const int(&step)[2]) {
    const CMapCell* next = CellOrNull(cellX + step[0], cellY + step[1], cellLevel);
    return next && IsTotemTile(next->terrain);
  };
  const auto found = [&] {
    state[s::kCounter3] = 0;
    params[w::kCompanion] = 0;
    x = cellX * kUnitsPerTile + kUnitsPerTile / 2;
    y = cellY * kUnitsPerTile + kUnitsPerTile / 2;
    z = cellLevel * kUnitsPerLevel;
    return 1;
  };
  bool besideTotem = false;
  for (const auto& step : kNeighbourOrders[0]) besideTotem = besideTotem || totemAt(step);
  if (!besideTotem && DropToGround() && CanGrowTotem()) return found();
  // Away from other totems, one neighbour at a time; a map's worth of moves at most.
  for (int moves = 0; moves < g_map.width * g_map.height;) {
    int i = 0;
    while (i < 8 && totemAt(order[i])) ++i;
    if (i == 8) return 0;
    PlaceInCell(Wx(cellX + order[i][0]), Wy(cellY + order[i][1]), g_map.levels - 1, true);
    z = cellLevel * kUnitsPerLevel;
    ++moves;
    if (DropToGround() && CanGrowTotem()) return found();
  }
  return 0;
}

int CEffect::GrowTotem() {
  const TotemTiles tiles = TilesOf(params[w::kSpell]);
  if (!cell || tiles.levels == 0 || cell->object != kNoLink) return 0;
  int& step = state[s::kCounter3];
  if (step == 1) g_effectSounds->PlayAt(727, cellX, cellY, nullptr, 0);
  // A scripted totem with no army of its own stands with the wandering creatures.
  if (state[s::kArmy] == -1 && params[w::kMode] == 4) state[s::kArmy] = ArmyNamed("WANDERING");
  if (cell->occupant != kNoLink) return 0;
  GrowTile(cellX, cellY, cellLevel, tiles.first + std::clamp(step, 0, tiles.levels - 1));
  if (++step >= tiles.levels) {
    SetKind(effect_kind::kAffectsTile);
    return 1;
  }
  if (cellLevel + 1 < g_map.levels) {
    PlaceInCell(cellX, cellY, cellLevel + 1, true);
    z = cellLevel * kUnitsPerLevel;
  }
  return 1;
}

void CEffect::CollapseTotem() {
  const TotemTiles tiles = TilesOf(params[w::kSpell]);
  if (tiles.levels == 0 || !g_map.cells) return;
  for (int level = cellLevel; level >= 0 && level > cellLevel - tiles.levels; --level) {
    if (level >= g_map.levels) continue;
    const int terrain = g_map.CellAt(cellX, cellY, level).terrain;
    if (terrain < tiles.first || terrain >= tiles.first + tiles.levels) continue;
    ChangeTerrain(cellX, cellY, level, 0);
    CEffectParams rubble = params;
    rubble.SetPoint(w::kSourceX, x, y, level * kUnitsPerLevel);
    rubble.SetPoint(w::kTargetX, x, y, level * kUnitsPerLevel);
    if (CEffect* dust = owner ? owner->AllocateEffect() : nullptr) dust->Activate(13, rubble);
  }
  const int gx = cellX * kUnitsPerTile, gy = cellY * kUnitsPerTile;
  for (int i = 0; i < 200; ++i) {
    const int px = gx + 14 + ParticleDraw(5), py = gy + 14 + ParticleDraw(5), pz = z - 2 + ParticleDraw(5);
    g_particleManager.Add(g_particleFactory->MakeGlow(px, py, pz, 128, 128, 32));
  }
  g_effectSounds->PlayAt(1026, cellX, cellY, nullptr, 0);
  if (owner) owner->Remove(kListTotems, index);
  if (active) Deactivate();
}

void CEffect::AffectTerrainTile() {
  if (kind == effect_kind::kAffectsTile && TilesOf(params[w::kSpell]).levels > 0) CollapseTotem();
}

void CEffect::TotemAura() {
  const int spell = params[w::kSpell];
  const CSpellDefinition& def = SpellRecord(spell);
  ScanSlots(params, def.Data1, [&](int slot) {
    CCreature* c = LivingCreature(slot);
    if (!c || !CellsWithinRange(def.Duration, nullptr, cellX, cellY, cellLevel, c->cellX, c->cellY, c->level)) return;
    switch (spell) {
      case 65:
        if (PassesSpellChecks(def.SpellStrength, c->magicResistance) && !c->pestered) c->StartPestFlies();
        break;
      case 91: {
        if (c->motion.pushed) break;
        if (!PassesSpellChecks(def.SpellStrength, c->type ? c->type->MagicResist : 0)) break;
        const int away = def.Duration / 2;
        const int dx = WrapDeltaX(cellX, c->cellX), dy = WrapDeltaY(cellY, c->cellY);
        const int tx = Wx(c->cellX + (dx > 0 ? away : dx < 0 ? -away : 0));
        const int ty = Wy(c->cellY + (dy > 0 ? away : dy < 0 ? -away : 0));
        c->WalkTo(tx, ty, c->level);
        c->motion.pushed = 1;
        break;
      }
      case 92:
        if (!PassesSpellChecks(def.SpellStrength, c->magicResistance)) break;
        c->WalkTo(cellX, cellY, cellLevel);
        c->motion.pushed = 1;
        break;
      default:
        break;
    }
  });
}

void CEffect::TotemShoot() {
  if (state[s::kCounter]-- > 1) return;
  const CSpellDefinition& def = SpellRecord(params[w::kSpell]);
  const int army = state[s::kArmy];
  const int ex = cellX * kUnitsPerTile + 16, ey = cellY * kUnitsPerTile + 16, ez = (cellLevel + 1) * kUnitsPerLevel;
  CCreature* nearest = nullptr;
  int best = 2000;
  ScanSlots(params, def.Data1, [&](int slot) {
    CCreature* c = LivingCreature(slot);
    if (!c || AlliedWith(army, *c)) return;
    const int dx = std::abs(WrapDeltaX(cellX, c->cellX)), dy = std::abs(WrapDeltaY(cellY, c->cellY));
    const int distance = std::max(dx, dy) + std::abs(dx - dy) / 2;
    if (distance >= best) return;
    int cx, cy, cz;
    c->CentrePoint(cx, cy, cz);
    CLineWalker walker;
    if (walker.TraceSight(ex, ey, ez, cx, cy, cz, def.Duration * kUnitsPerTile, 0) != 1) return;
    best = distance;
    nearest = c;
  });
  if (!nearest) return;
  state[s::kCounter] = def.SpellStrength;
  LaunchAtCreature(*this, 46, ex, ey, *nearest);
}

void CEffect::TotemHeal() {
  if (state[s::kCounter]-- > 1) return;
  const CSpellDefinition& def = SpellRecord(params[w::kSpell]);
  const int army = state[s::kArmy];
  const int ex = cellX * kUnitsPerTile + 16, ey = cellY * kUnitsPerTile + 16, ez = (cellLevel + 2) * kUnitsPerLevel;
  CCreature* patient = nullptr;
  ScanSlots(params, def.Data1, [&](int slot) {
    CCreature* c = LivingCreature(slot);
    if (patient || !c || !AlliedWith(army, *c) || c->health >= c->GetMaxHealth()) return;
    int cx, cy, cz;
    c->CentrePoint(cx, cy, cz);
    CLineWalker walker;
    if (walker.TraceSight(ex, ey, ez, cx, cy, cz, def.Duration * kUnitsPerTile, 0) == 1) patient = c;
  });
  if (!patient) return;
  state[s::kCounter] = def.SpellStrength;
  LaunchAtCreature(*this, 42, ex, ey, *patient);
}

// --- walls -----------------------------------------------------------------------------------------------

void CEffect::GrowWall() {
  const int height = SpellRecord(kWallSpell).SpellStrength;
  int& step = state[s::kCounter3];
  const int level = cellLevel + step;
  if (g_map.cells && level >= 0 && level < g_map.levels) {
    const CMapCell& here = g_map.CellAt(cellX, cellY, level);
    if (step > 0 && here.terrain != 0) {
      Deactivate();
      return;
    }
    if (here.occupant == kNoLink) {
      int type;
      if (step == 0)
        type = TerrainOf(here).groundHeight > 1 ? 137 : 129 + EffectBattleDraw(__LINE__) % 2;
      else if (step == height || level == g_map.levels - 1)
        type = 131 + EffectBattleDraw(__LINE__) % 5;
      else
        type = 117 + EffectBattleDraw(__LINE__) % 12;
      GrowTile(cellX, cellY, level, type);
    }
  }
  if (step == 1) {
    if (params[w::kValue] == -1)
      StartSideWalls();
    else if (params[w::kSpeed] != 0)
      SpawnWallSegment(params[w::kValue]);
  }
  --params[w::kSpeed];
  if (step++ >= height && active) Deactivate();
}

void CEffect::StartSideWalls() {
  int d = 0;
  if (const CCreature* caster = g_creatureArray.InUse(params[w::kCreature]))
    d = DirectionFromVector(static_cast<float>(WrapDeltaX(caster->cellX, cellX)),
                            static_cast<float>(WrapDeltaY(caster->cellY, cellY)));
  SpawnWallSegment((d + 6) & 7);
  SpawnWallSegment((d + 2) & 7);
  params[w::kKindMode] = 4;
  params[w::kValue] = d;
}

void CEffect::SpawnWallSegment(int direction) {
  if (!g_map.cells) return;
  const GridStep& step = kDirectionSteps[direction & 7];
  const int nx = Wx(cellX + step.dx), ny = Wy(cellY + step.dy);
  for (int level = cellLevel + 1; level >= cellLevel - 1; --level) {
    const CMapCell* there = CellOrNull(nx, ny, level);
    if (!there) continue;
    bool fits;
    if (there->terrain == 0) {
      const CMapCell* below = CellOrNull(nx, ny, level - 1);
      fits = below && below->terrain != 0 && IsFullHeight(TerrainOf(*below)) &&
             (TerrainOf(*below).typeFlags & type_flags::kStandable);
    } else {
      const CTerrainType& type = TerrainOf(*there);
      fits = (type.typeFlags & type_flags::kStandable) && !IsFullHeight(type);
    }
    if (!fits) continue;
    CEffect* segment = owner ? owner->AllocateEffect() : nullptr;
    if (!segment) return;
    CEffectParams block = params;
    block.SetPoint(w::kSourceX, nx * kUnitsPerTile, ny * kUnitsPerTile, level * kUnitsPerLevel);
    block.SetPoint(w::kTargetX, nx * kUnitsPerTile, ny * kUnitsPerTile, level * kUnitsPerLevel);
    block[w::kValue] = direction & 7;
    segment->Activate(56, block);
    return;
  }
}

// --- the sinking column ------------------------------------------------------------------------------------

void CEffect::SettleWall(int relink) {
  if (!g_map.cells) return;
  if (relink) {
    const int sx = Wx(state[s::kPreviousCell]), sy = Wy(state[s::kPreviousCell + 1]);
    int level = std::clamp(state[s::kPreviousCell + 2], 0, g_map.levels - 1);
    while (level > 0 && (TerrainOf(g_map.CellAt(sx, sy, level - 1)).typeFlags & type_flags::kSettles)) --level;
    PlaceInCell(sx, sy, level, true);
    x = sx * kUnitsPerTile + 16;
    y = sy * kUnitsPerTile + 16;
    z = level * kUnitsPerLevel;
    return;
  }
  const int count = state[s::kCounter3];
  if (count <= 0) return;
  // The `count` cells from the effect's cell upward move down one cell; the top one empties.
  for (int k = 0; k < count; ++k) {
    const int level = cellLevel + k;
    if (level >= g_map.levels) break;
    const CMapCell* above = CellOrNull(cellX, cellY, level + 1);
    const int type = k + 1 < count && above ? above->terrain : 0;
    ChangeTerrain(cellX, cellY, level, type);
  }
  --state[s::kCounter3];
}

// --- the corner columns of an earthquake -------------------------------------------------------------------

void CEffect::SpawnCornerEffects() {
  int& tier = params[w::kSpeed];
  int& spawned = params[w::kValue];
  int& listed = params[w::kCompanionFlag];
  int& corner = state[s::kCounter3];
  int& limit = state[s::kCounter2];
  if (tier <= 0) {
    if (cellLevel + 1 >= g_map.levels) {
      limit = spawned;
      return;
    }
    tier = 1;
  }
  const int z0 = (cellLevel + tier) * kUnitsPerLevel;
  const int rotation = EffectViewRotation() & 3;
  for (int made = 0; made < 4; ++made) {
    CEffect* column = owner ? owner->AllocateEffect() : nullptr;
    if (!column) return;
    corner &= 3;
    const int cx = cellX * kUnitsPerTile + (kCorners[corner][0] == 1 ? 15 : 16);
    const int cy = cellY * kUnitsPerTile + (kCorners[corner][1] == -1 ? 17 : 16);
    CEffectParams block;
    for (int i = 13; i < CEffectParams::kWords; ++i) block[i] = -1;
    block.SetPoint(w::kSourceX, cx, cy, z0);
    block.SetPoint(w::kTargetX, cx, cy, z0);
    block[w::kCreature] = params[w::kCreature];
    block[w::kValue] = kCornerLooks[rotation][corner];
    column->Activate(20, block);
    if (listed >= 0 && w::kCompanion + listed < w::kCompanionFlag) params[w::kCompanion + listed++] = column->index;
    ++spawned;
    if (++corner == 4) {
      corner = 0;
      ++tier;
      if (cellLevel + tier >= g_map.levels) limit = spawned;
    }
    if (spawned >= limit) {
      corner = 0;
      return;
    }
    if (corner == 0) return;  // one tier a frame
  }
}

void CEffect::WobbleLinked() {
  int& sway = state[s::kLastPosition];
  sway = (sway + 1) & 7;
  const int axis = state[s::kLastPosition + 1];
  const int listed = std::clamp(params[w::kCompanionFlag], 0, w::kCompanionFlag - w::kCompanion);
  for (int i = 0; i < listed; ++i) {
    CEffect* column = owner ? owner->At(params[w::kCompanion + i]) : nullptr;
    if (!column || column == this || !column->active) continue;
    const int above = std::clamp(column->cellLevel - cellLevel, 0, 10);
    const int move = kSwayAmplitude[above] * kSwaySign[sway];
    if (axis == 0)
      column->x += move;
    else
      column->y += move;
  }
}

void CEffect::Shockwave() {
  WobbleLinked();
  const CSpellDefinition& def = SpellRecord(params[w::kSpell]);
  int& cursor = state[s::kCounter3];
  if (cursor < 0 || cursor > 99) cursor = 0;
  const int end = std::min(cursor + std::max(def.Data1, 0), kEffectCreatureCount);
  for (int slot = cursor; slot < end; ++slot) {
    CCreature* c = LivingCreature(slot);
    if (!c) continue;
    if (c->cellX == cellX && c->cellY == cellY && c->level >= cellLevel) {
      c->EnterOrder15();
      continue;
    }
    if (c->order == ORDER_LIFTED || c->orderState.lineMove) continue;
    if (!CellsWithinRange(def.SpellStrength, nullptr, cellX, cellY, cellLevel, c->cellX, c->cellY, c->level)) continue;
    const int d = DirectionFromVector(static_cast<float>(WrapDeltaX(c->cellX, cellX)),
                                      static_cast<float>(WrapDeltaY(c->cellY, cellY)));
    // Thrown two cells on, away from the quake, with the unit step of the direction.
    CLineMoveParams line;
    line.targetX = Wx(c->cellX + kPushTargets[d][0]);
    line.targetY = Wy(c->cellY + kPushTargets[d][1]);
    line.targetLevel = c->level;
    line.shape[0] = d;
    line.shape[1] = 0;  // 0.0
    line.shape[2] = 300;
    line.shape[3] = 3;
    if (c->StartLineMove(line)) c->motion.pushed = 1;
  }
  cursor += def.Data1;
  if (cursor > 99) cursor = 0;
}

// --- moving the effect ----------------------------------------------------------------------------------------

void CEffect::MoveToFreeCell() {
  SettleOnGround();
  if (!active || !g_map.cells) return;
  for (const auto& offset : kFreeCellOffsets) {
    const int nx = Wx(cellX + offset[0]), ny = Wy(cellY + offset[1]);
    for (int level = cellLevel + 1; level >= cellLevel - 1; --level) {
      const CMapCell* there = CellOrNull(nx, ny, level);
      if (!there || there->occupant != kNoLink || there->object != kNoLink || !IsStandableCell(nx, ny, level)) continue;
      PlaceInCell(nx, ny, level, true);
      x = nx * kUnitsPerTile;
      y = ny * kUnitsPerTile;
      z = level * kUnitsPerLevel;
      return;
    }
  }
}

void CEffect::RiseOneLevel() {
  if (!g_map.cells || cellLevel + 1 >= g_map.levels) return;
  PlaceInCell(cellX, cellY, cellLevel + 1, true);
  z = cellLevel * kUnitsPerLevel;
}

int CEffect::FeedFlame() {
  if (!cell || !owner) return 0;
  int level = cellLevel;
  if (cell->terrain != 0 && IsFullHeight(*terrainType)) ++level;
  if (level >= g_map.levels) return 0;
  int e = g_map.CellAt(cellX, cellY, level).effect;
  for (int guard = 0; e != kNoLink && guard < owner->count; ++guard) {
    CEffect* link = owner->At(e);
    if (!link) return 0;
    if (link->active && link->kind == effect_kind::kTrap) {
      link->state[s::kCounter] -= SpellRecord(72).Damage;
      link->animPlayer.Restart();
      return 1;
    }
    e = link->nextInCell;
  }
  return 0;
}
