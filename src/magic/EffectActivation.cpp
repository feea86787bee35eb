// One record's life: activation from a parameter block, the cell chain it stands in, and
// deactivation. Both ends write to the effect log while it is on.
#include <algorithm>

#include "core/Options.h"
#include "magic/EffectLog.h"
#include "magic/EffectManager.h"
#include "magic/EffectSpells.h"
#include "magic/EffectWorld.h"
#include "magic/ParticleFactory.h"
#include "magic/ParticleManager.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TileOverlay.h"
#include "sound/SoundManager.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;

// Kinds that start at their target rather than their source.
bool StartsAtTarget(int kind) {
  return kind == 9 || kind == 11 || kind == 21 || kind == 30 || kind == 31 || kind == 32;
}

bool IsPathMarker(int kind) { return kind == 43 || kind == 70; }

// The cell of a unit position; z below 0 gives a level far outside any map, as an unsigned
// shift does.
int LevelOfZ(int z) { return static_cast<int>(static_cast<uint32_t>(z) >> 4); }

}  // namespace

int CEffect::CreatureOfWord(int word) const {
  const int c = params[word];
  if (c < 0 || c >= kEffectCreatureCount) return -1;
  EffectCreature info;
  return g_effectWorld->GetCreature(c, info) ? c : -1;
}

int CEffect::Activate(int newKind, const CEffectParams& block) {
  if (g_netEffectsLog && index >= CEffectManager::kReserved) g_effectLog.Write(index, newKind, 1);
  for (int i = s::kSubVoxel; i <= s::kReachedCell + 2; ++i) state[i] = -1;
  for (int i = s::kArmy; i <= s::kItem1; ++i) state[i] = -1;

  params = block;
  const int width = g_map.width * kUnitsPerTile, height = g_map.height * kUnitsPerTile;
  params[w::kSourceX] = WrapInto(params[w::kSourceX], width);
  params[w::kTargetX] = WrapInto(params[w::kTargetX], width);
  params[w::kSourceY] = WrapInto(params[w::kSourceY], height);
  params[w::kTargetY] = WrapInto(params[w::kTargetY], height);

  EffectCreature named;
  const int c = CreatureOfWord(w::kCreature);
  if (c >= 0 && g_effectWorld->GetCreature(c, named)) {
    state[s::kArmy] = named.army;
    state[s::kItem0] = named.carriedItems[0];
    state[s::kItem1] = named.carriedItems[1];
  }

  if (newKind == 21 && !FindDropPoint()) return 0;
  if (newKind == 30 && g_indirectSpellParticleLevel > 0) {
    // The sparks fall on the target from the top of the map.
    SparkEmitterSpec spec;
    spec.x = params[w::kTargetX];
    spec.y = params[w::kTargetY];
    spec.z = g_map.levels * kUnitsPerLevel;
    if (params[w::kTarget] != -1) {
      const CSpellDefinition& spell = SpellRecord(params[w::kSpell]);
      spec.stageCounts[1] = spell.ManaCost * g_indirectSpellParticleLevel / 100;
      const int alignment = std::clamp(spell.Alignment, 0, 2);
      for (int i = 0; i < 3; ++i) spec.colour[i] = g_spellCastColour[3 * alignment + i];
      spec.spread = 64;
      spec.creature = params[w::kTarget];
      spec.flags[0] = spec.flags[1] = 1;
    }
    g_particleManager.Add(g_particleFactory->MakeSpellSparkEmitter(spec));
  }
  const int first = StartsAtTarget(newKind) ? w::kTargetX : w::kSourceX;
  x = params[first];
  y = params[first + 1];
  z = params[first + 2];
  cellX = x >> 5;
  cellY = y >> 5;
  cellLevel = LevelOfZ(z);

  creature = -1;
  cell = g_map.CellIfInside(cellX, cellY, cellLevel);
  LinkToCell(cell);
  terrainType = &TerrainOf(cell ? cell->terrain : 0);
  active = 1;
  if (owner) owner->highWater = std::max(owner->highWater, index + 1);
  state[s::kHold] = state[s::kPrintType] = state[s::kMotionMode] = 0;
  sound = nullptr;

  SetKind(newKind);

  state[s::kSeen] = 1;
  state[s::kPreviousCell] = state[s::kTrailCell] = cellX;
  state[s::kPreviousCell + 1] = state[s::kTrailCell + 1] = cellY;
  state[s::kPreviousCell + 2] = state[s::kTrailCell + 2] = cellLevel;
  return cellLevel;
}

int CEffect::Deactivate() {
  if (g_netEffectsLog && index >= CEffectManager::kReserved) g_effectLog.Write(index, kind, 0);
  cell = g_map.CellIfInside(cellX, cellY, cellLevel);
  if (active) {
    UnlinkFromCell(cell);
    active = 0;
  }
  if (owner && index + 1 == owner->highWater) owner->LowerHighWater(index);
  state[s::kHold] = 0;
  state[s::kArmy] = 255;
  state[s::kItem0] = state[s::kItem1] = -1;
  animPlayer.Stop();
  if (sound) {
    if (g_soundManager && g_soundManager->IsLive()) sound->Stop(0);
    sound = nullptr;
  }
  // A path marker ends its partner with it (only while the partner still runs, so that two
  // records naming each other cannot end each other forever).
  if (IsPathMarker(kind) && params[w::kKindMode] == 2 && owner) {
    CEffect* partner = owner->At(params[w::kCompanion]);
    if (partner && partner != this && partner->active) partner->Deactivate();
  }
  return kind;
}

void CEffect::LinkToCell(CMapCell* target) {
  if (!target || (target->state & state_bits::kSealed)) return;
  nextInCell = kEndOfChain;
  if (target->effect == kNoLink) {
    target->effect = static_cast<uint16_t>(index);
  } else {
    int e = target->effect;
    for (int guard = 0; owner && guard < owner->count; ++guard) {
      if (e == index) return;  // already in the chain
      CEffect* link = owner->At(e);
      if (!link) return;  // a chain naming no record: leave it as it is
      if (link->nextInCell == kEndOfChain) {
        link->nextInCell = static_cast<uint16_t>(index);
        break;
      }
      e = link->nextInCell;
    }
  }
  target->shape &= static_cast<uint16_t>(~shape_bits::kOpenSky);
}

void CEffect::UnlinkFromCell(CMapCell* target) {
  if (!target) return;
  int previous = -1;
  int e = target->effect;
  for (int guard = 0; owner && e != kNoLink && guard < owner->count; ++guard) {
    CEffect* link = owner->At(e);
    if (!link) break;
    if (e == index) {
      if (previous < 0)
        target->effect = nextInCell;
      else
        owner->At(previous)->nextInCell = nextInCell;
      nextInCell = kEndOfChain;
      break;
    }
    previous = e;
    e = link->nextInCell;
  }
  if (target->terrain == 0 && target->effect == kNoLink && target->occupant == kNoLink && target->object == kNoLink &&
      !(target->state & state_bits::kCreatureMark) && g_tileSpans.TestCell(target))
    target->shape |= shape_bits::kOpenSky;
}

// Drops from the top of the map onto the target column: the first solid sub-voxel or body
// stops the fall, and the target height becomes the point reached.
int CEffect::FindDropPoint() {
  params[w::kSourceX] = params[w::kTargetX];
  params[w::kSourceY] = params[w::kTargetY];
  const int cx = params[w::kSourceX] >> 5, cy = params[w::kSourceY] >> 5;
  if (!g_map.cells || !g_map.IsInside(cx, cy, 0)) return 0;
  const int sx = (params[w::kSourceX] / 4) % 8, sy = (params[w::kSourceY] / 4) % 8;
  int lastSubLevel = -1;
  for (int pz = g_map.levels * kUnitsPerLevel - 1; pz >= 0; --pz) {
    params[w::kSourceZ] = pz;
    if (pz == params[w::kTargetZ]) break;  // the target reached with nothing in the way
    x = params[w::kSourceX];
    y = params[w::kSourceY];
    z = pz;
    cellX = cx;
    cellY = cy;
    cellLevel = pz >> 4;
    const int subLevel = (pz / 4) % 4;
    if (subLevel != lastSubLevel) {
      lastSubLevel = subLevel;
      if (TerrainOf(g_map.CellAt(cx, cy, cellLevel).terrain).TestVoxel(sx, sy, subLevel)) {
        params[w::kTarget] = -1;
        params[w::kTargetZ] = pz;
        break;
      }
    }
    Gathered around;
    GatherCreatures(around);
    const int hit = CreatureAtPoint(around, params[w::kSourceX], params[w::kSourceY], pz);
    if (hit >= 0) {
      params[w::kTarget] = hit;
      params[w::kTargetZ] = pz;
      break;
    }
    if (pz == 0) return 0;
  }
  params[w::kSourceZ] = g_map.levels * kUnitsPerLevel - 1;
  return 1;
}
