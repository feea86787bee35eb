// Effects that the creature code and the battle start with one call: glows and markers on a
// creature, and floating digits over a cell.
#include "magic/EffectManager.h"
#include "magic/EffectWorld.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

namespace w = effect_word;

bool GetCreature(int c, EffectCreature& out) {
  return c >= 0 && c < kEffectCreatureCount && g_effectWorld->GetCreature(c, out);
}

// Source and target at one point.
void AtPoint(CEffectParams& block, int x, int y, int z) {
  block.SetPoint(w::kSourceX, x, y, z);
  block.SetPoint(w::kTargetX, x, y, z);
}

bool HasObject(int x, int y, int level) {
  const CMapCell* cell = g_map.CellIfInside(WrapInto(x, g_map.width), WrapInto(y, g_map.height), level);
  return cell && cell->object != kNoLink;
}

}  // namespace

void CEffectManager::Spawn(int kind, const CEffectParams& block) {
  if (CEffect* effect = AllocateEffect()) effect->Activate(kind, block);
}

void CEffectManager::SpawnCreatureEffect47(int c) {
  CEffectParams block;
  block.SetPoint(w::kSourceX, 0, 0, 0);
  block[w::kTargetX] = block[w::kTargetY] = 0;
  block[w::kCreature] = block[w::kTarget] = c;
  block[w::kSpell] = 38;
  block[w::kKindMode] = 1;
  Spawn(47, block);
}

void CEffectManager::SpawnOnCreature(int kind, int c, int target, int value, int x, int y, int z) {
  CEffectParams block;
  AtPoint(block, x, y, z);
  block[w::kCreature] = c;
  block[w::kTarget] = target;
  if (value >= 0) block[w::kValue] = value;
  block[w::kKindMode] = 1;
  Spawn(kind, block);
}

void CEffectManager::SpawnCreatureEffect17(int c) {
  EffectCreature info;
  if (!GetCreature(c, info)) return;
  int cx = info.cellX, cy = info.cellY;
  // A large creature standing on no world object marks the first of its other cells that
  // holds one, else the last of them.
  if (info.footprint == 2 && !HasObject(cx, cy, info.level)) {
    constexpr int kOthers[3][2] = {{1, 0}, {1, 1}, {0, 1}};
    int chosen = 2;
    for (int i = 0; i < 3; ++i)
      if (HasObject(cx + kOthers[i][0], cy + kOthers[i][1], info.level)) {
        chosen = i;
        break;
      }
    cx = WrapInto(cx + kOthers[chosen][0], g_map.width);
    cy = WrapInto(cy + kOthers[chosen][1], g_map.height);
  }
  SpawnOnCreature(17, c, 0, -1, cx * kUnitsPerTile + 16, cy * kUnitsPerTile + 16, (info.level + 1) * kUnitsPerLevel);
}

void CEffectManager::SpawnCreatureEffect40(int c) {
  EffectCreature info;
  if (GetCreature(c, info))
    SpawnOnCreature(40, c, 0, 53, info.x + info.halfWidth, info.y + info.halfWidth, info.z + info.heightOffset);
}

void CEffectManager::SpawnCreatureEffect19(int c) {
  EffectCreature info;
  if (!GetCreature(c, info)) return;
  const int top = (g_map.levels - 1) * kUnitsPerLevel;
  const int z = info.z + kUnitsPerLevel * info.heightLevels;
  SpawnOnCreature(19, c, 0, -1, info.x + info.halfWidth, info.y + info.halfWidth, z > top ? top : z);
}

void CEffectManager::SpawnCreatureEffect22(int c) {
  EffectCreature info;
  if (GetCreature(c, info)) SpawnOnCreature(22, c, c, -1, info.x + info.halfWidth, info.y + info.halfWidth, info.z);
}

void CEffectManager::ShowFloatingNumber(int cx, int cy, int level, int n) {
  if (n < 0 || n >= 1000) return;
  // Each digit is an effect of its own; its place picks the entry it shows (82-86).
  struct Digit {
    int value, place;
  };
  Digit digits[3];
  int count = 0;
  if (n < 10) {
    digits[count++] = {n, 83};
  } else if (n < 100) {
    digits[count++] = {n / 10, 85};
    digits[count++] = {n % 10, 86};
  } else {
    digits[count++] = {n / 100, 82};
    digits[count++] = {n / 10 % 10, 83};
    digits[count++] = {n % 10, 84};
  }
  for (int i = 0; i < count; ++i) {
    CEffectParams block;
    AtPoint(block, cx * kUnitsPerTile + 16, cy * kUnitsPerTile + 16, level * kUnitsPerLevel);
    block[w::kKindMode] = 1;
    block[w::kValue] = digits[i].value;
    block[w::kSpell] = digits[i].place;
    Spawn(effect_kind::kDigit, block);
  }
}
