// The effect pool's answers to what creatures ask of effects: markers that end, the effect a
// creature holds turned with it, the global animation table (the effect-animation table),
// effects started on or by a creature, the effects of a cell and a breakable object's
// strength, and the creatures' casts.
#include "magic/CreatureEffectAnswers.h"

#include "core/Options.h"
#include "core/Random.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "magic/Blast.h"
#include "magic/EffectManager.h"
#include "magic/ParticleFactory.h"
#include "magic/ParticleManager.h"
#include "magic/ParticleSpawns.h"
#include "magic/SpellCast.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;

constexpr int kGoalMarker = 43;
constexpr int kWaypointMarker = 70;
constexpr int kWalkEntry = 2;
// The entry whose first sequence the kind-52 echo adds to its creature's sequence.
constexpr int kEchoEntry = 45;
constexpr int kSubvertPriority = 25;

CEffect* ActiveEffect(int effect) {
  CEffect* record = g_effectManager.At(effect);
  return record && record->active ? record : nullptr;
}

// A creature's path marker (a reserved record) at a cell's centre; -1 when none is free.
int StartMarker(int kind, int creature, int cellX, int cellY, int level, int value) {
  CEffect* marker = g_effectManager.AllocateReservedEffect();
  if (!marker) return -1;
  CEffectParams block;
  const int x = cellX * kUnitsPerTile + 16, y = cellY * kUnitsPerTile + 16, z = level * kUnitsPerLevel;
  block.SetPoint(w::kSourceX, x, y, z);
  block.SetPoint(w::kTargetX, x, y, z);
  block[w::kCreature] = creature;
  block[w::kMode] = 1;
  block[w::kKindMode] = 1;
  block[w::kValue] = value;
  marker->Activate(kind, block);
  return marker->index;
}

// The free record AllocateEffect hands out next, -1 when none is.
int NextFreeRecord() {
  for (int i = CEffectManager::kReserved; i < g_effectManager.Count(); ++i) {
    const CEffect* record = g_effectManager.At(i);
    if (!record->active && record->state[s::kHold] == 0) return i;
  }
  return -1;
}

// The kinds the manager starts on a creature by its own placement and words.
bool SpawnOnCreature(int kind, int creature) {
  switch (kind) {
    case 17:
      g_effectManager.SpawnCreatureEffect17(creature);
      return true;
    case 19:
      g_effectManager.SpawnCreatureEffect19(creature);
      return true;
    case 22:
      g_effectManager.SpawnCreatureEffect22(creature);
      return true;
    case 40:
      g_effectManager.SpawnCreatureEffect40(creature);
      return true;
    case 47:
      g_effectManager.SpawnCreatureEffect47(creature);
      return true;
    default:
      return false;
  }
}

class CreatureEffectAnswers : public ICreatureEffects {
 public:
  void Deactivate(int effect) override {
    if (CEffect* record = g_effectManager.At(effect)) record->Deactivate();
  }
  void DeactivateEffectsOf(int kind, int creature) override {
    for (int i = 0; i < g_effectManager.Count(); ++i) {
      CEffect* record = g_effectManager.At(i);
      if (record->active && record->kind == kind && record->params[effect_word::kCreature] == creature)
        record->Deactivate();
    }
  }

  // The echo a creature holds in spell state 2 plays its creature's sequence for a facing:
  // it moves to the new facing's sequence of the same group and keeps its step, so that a
  // turn never restarts it.
  void SetEffectArmy(int effect, int army) override {
    if (CEffect* record = ActiveEffect(effect)) record->state[s::kArmy] = army;
  }
  void TurnEffect(int effect, int facing) override {
    CEffect* record = ActiveEffect(effect);
    const EffectAniEntry* entry = g_effectManager.AniEntry(kEchoEntry);
    if (!record || record->kind != effect_kind::kCreatureEcho || !entry) return;
    const int offset = record->animPlayer.sequence - entry->animation;
    if (offset < 0) return;
    record->animPlayer.SwitchSequence(entry->animation + offset - (offset & 7) + (facing & 7));
  }

  CAnimation* GlobalAnim(int number) override {
    int first = 0;
    return EffectAnimEntry(number, first);
  }

  CAnimation* EffectAnimEntry(int entry, int& firstSequence) override {
    CAnimation* animation = nullptr;
    int first = 0, data = 0;
    if (!g_effectManager.GetGlobalAnimation(entry, animation, first, data)) return nullptr;
    firstSequence = first;
    return animation;
  }

  // The goal marker of a walk, then a marker on each queued walk without one; only the
  // local player's creatures show them (every creature in the directAI and train modes,
  // which both set g_directAI).
  void ShowGoalMarker(int creature) override {
    CCreature* c = g_creatureArray.InUse(creature);
    if (!c || !(c->IsLocalPlayers() || g_directAI)) return;
    const bool walking = c->order == ORDER_WALK_TO_POS || c->pendingOrder == ORDER_WALK_TO_POS;
    if (walking && c->goalMarker < 0)
      c->goalMarker = StartMarker(kGoalMarker, creature, c->route.goalX, c->route.goalY, c->route.goalLevel, -1);
    for (CQueuedOrder& entry : c->queuedOrders.entries) {
      if (entry.kind != kWalkEntry || entry.markerEffect >= 0) continue;
      // The queue keeps one cell an entry: its marker stands on it.
      entry.markerEffect = StartMarker(kWaypointMarker, creature, entry.x, entry.y, entry.level, 0);
    }
  }

  // The glows and flashes the manager places on a creature itself take its placement;
  // other kinds start at the point with the creature as their source.
  int SpawnEffect(int kind, int x, int y, int z, int source) override {
    const int effect = NextFreeRecord();
    if (source >= 0 && SpawnOnCreature(kind, source)) {
      const CEffect* started = g_effectManager.At(effect);
      return started && started->active && started->kind == kind ? effect : -1;
    }
    CEffect* record = g_effectManager.AllocateEffect();
    if (!record) return -1;
    CEffectParams block;
    block.SetPoint(w::kSourceX, x, y, z);
    block.SetPoint(w::kTargetX, x, y, z);
    block[w::kCreature] = source;
    return record->Activate(kind, block) == 0 && !record->active ? -1 : record->index;
  }

  // A creature's ranged attack is a cast request of its own: mode 1, no extra value.
  void CastSpell(int spell, int x, int y, int z, int caster, int targetCreature) override {
    CSpellCast request;
    request.spell = spell;
    request.targetX = x;
    request.targetY = y;
    request.targetZ = z;
    request.caster = caster;
    request.target = targetCreature;
    request.Execute();
  }

  int FindEffectAt(int x, int y, int level, int kind) override {
    const CMapCell* cell = g_map.CellAtWrapped(x, y, level);
    if (!cell) return -1;
    // A chain is never longer than the pool; the bound keeps a broken one from looping.
    int e = cell->effect;
    for (int walked = 0; e != kNoLink && walked < g_effectManager.Count(); ++walked) {
      const CEffect* record = g_effectManager.At(e);
      if (!record) return -1;
      if (record->active && record->kind == kind) return e;
      e = record->nextInCell;
    }
    return -1;
  }

  bool GlobalAnimEntry(int entry, GlobalAnimInfo& out) override {
    if (!g_effectManager.GetGlobalAnimation(entry, out.animation, out.firstSequence, out.value)) return false;
    out.printType = g_effectManager.AniEntry(entry) ? g_effectManager.AniEntry(entry)->printType : 0;
    return true;
  }

  int StartEffect(int kind, const int32_t words[63]) override {
    CEffect* record = g_effectManager.AllocateEffect();
    if (!record) return -1;
    CEffectParams block;
    for (int i = 0; i < CEffectParams::kWords; ++i) block[i] = words[i];
    record->Activate(kind, block);
    return record->index;
  }

  int EffectPoolSize() override { return g_effectManager.Count(); }

  void CastSpellWithMode(int spell, int caster, int targetCreature, int mode) override {
    CSpellCast request;
    request.spell = spell;
    request.caster = caster;
    request.target = targetCreature;
    request.mode = mode;
    request.Execute();
  }

  // The sparks round a creature an item subverted: 6 x (TileSizeXY x (TileHeight + 1) + 1)
  // of them about its centre, +-16 across and within its height above its base. Seen only:
  // they draw from the view's generator.
  void SpawnSubvertParticles(int creature) override {
    const CCreature* c = g_creatureArray.InUse(creature);
    if (!c || !c->type) return;
    const int size = c->type->TileSizeXY, height = c->type->TileHeight;
    const int count = 6 * (size * (height + 1) + 1);
    const int cx = c->unitX + c->type->centreOffset, cy = c->unitY + c->type->centreOffset;
    auto draw = [](int n) {
      return n > 0 ? static_cast<int>((g_viewRandom.Next() & 0x7FFFFFFF) % static_cast<uint32_t>(n)) : 0;
    };
    for (int i = 0; i < count; ++i) {
      const int px = cx + draw(33) - 16, py = cy + draw(33) - 16, pz = c->unitZ + draw(height * kUnitsPerLevel);
      g_particleManager.Add(g_particleFactory->MakeSubvertParticle(px, py, pz, creature, kSubvertPriority));
    }
  }

  void SetEffectStateWord(int effect, int word, int value) override {
    CEffect* record = ActiveEffect(effect);
    if (record && word >= 0 && word < static_cast<int>(sizeof record->state / sizeof record->state[0]))
      record->state[word] = value;
  }

  int EffectStrength(int effect) override {
    const CEffect* record = ActiveEffect(effect);
    return record ? record->state[s::kCounter] : 0;
  }

  // A breakable object still standing shows its new strength: its look starts again.
  void SetEffectStrength(int effect, int strength) override {
    CEffect* record = ActiveEffect(effect);
    if (!record) return;
    record->state[s::kCounter] = strength;
    if (strength > 10) record->RestartKind26Anim(0);
  }

  // The particles of wounds, deaths and pests.
  void SpawnBodyParts(int type, int x, int y, int z, int parameter) override {
    SpawnCreatureBodyParts(type, x, y, z, parameter);
  }
  void SpawnBurstBodyParts(int type, int x, int y, int z, const uint8_t* traces, int traceCount) override {
    SpawnCreatureBurstParts(type, x, y, z, traces, traceCount);
  }
  void SpawnBlood(int creature, int vx, int vy, int vz, int size, bool alive) override {
    SpawnCreatureBlood(creature, vx, vy, vz, size, alive);
  }
  void SpawnGlowBurst(int creature, int count, bool blue) override { SpawnCreatureGlowBurst(creature, count, blue); }
  void SpawnFly(int creature, int x, int y, int z) override { SpawnCreatureFly(creature, x, y, z); }
  // A creature's burst: one holder, let go at once, so it spreads and acts now; nothing when
  // every blast record is taken.
  void StartBlast(int type, int x, int y, int level, int strength, int falloff, int spell) override {
    CBlast* blast = g_blastPool.FindFree();
    if (!blast) return;
    CEffectParams block;
    block[w::kSpell] = spell;
    blast->Set(x, y, level, strength, falloff, 1, type, block);
    blast->Release();
  }
};

CreatureEffectAnswers g_creatureEffectAnswers;

}  // namespace

void InstallCreatureEffectAnswers() { g_creatureEffects.Install(&g_creatureEffectAnswers); }
