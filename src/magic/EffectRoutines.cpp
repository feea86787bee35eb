// What an effect does to what it reached, the rolls of its spell, and its light.
#include "core/Options.h"
#include "core/Random.h"
#include "magic/EffectManager.h"
#include "magic/EffectRandom.h"
#include "magic/EffectSounds.h"
#include "magic/EffectSpells.h"
#include "magic/EffectWorld.h"
#include "magic/ParticleFactory.h"
#include "magic/ParticleManager.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "sound/SoundCues.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;

constexpr int kFizzleSound = 1011;
constexpr int kTotemTypeFirst = 333, kTotemTypeLast = 366;

bool CollapsesTotems(int spell) { return spell == 34 || spell == 72; }

// Kinds that give their light whoever owns them.
bool AlwaysLit(int kind) { return kind == 14 || kind == 43 || kind == 70 || kind == 78 || kind == 85 || kind == 87; }

int CosmeticDraw(int n) { return n > 0 ? static_cast<int>(g_viewRandom.Next() & 0x7FFFFFFFu) % n : 0; }

}  // namespace

int RandomRange(int a, int b) {
  if (a == b) return b;
  return b + EffectBattleDraw(__LINE__) % (a - b);
}

void CEffect::DamageTarget(int amount) {
  const int spell = params[w::kSpell];
  const int target = CreatureOfWord(w::kTarget);
  if (target < 0) {
    if (!cell || cell->terrain == 0) return;
    if (!CollapsesTotems(spell)) {
      cell->Damage(amount);
      return;
    }
    if (cell->terrain < kTotemTypeFirst || cell->terrain > kTotemTypeLast || !owner) return;
    // The totem standing in this column, from the effect's level up, falls.
    for (int level = cellLevel; level >= 0 && level < g_map.levels; ++level) {
      int e = g_map.CellAt(cellX, cellY, level).effect;
      for (int guard = 0; e != kNoLink && guard < owner->count; ++guard) {
        CEffect* link = owner->At(e);
        if (!link) break;
        if (link->active && link->kind == effect_kind::kAffectsTile) {
          link->CollapseTotem();
          return;
        }
        e = link->nextInCell;
      }
    }
    return;
  }
  g_effectWorld->TakeDamage(target, amount, state[s::kArmy], state[s::kItem0], state[s::kItem1]);
  EffectCreature info;
  if ((spell == 71 || spell == 73) && g_effectWorld->GetCreature(target, info) && info.health != 0)
    g_effectWorld->Immobilise(target, 20, 0);
}

int CEffect::PassesSpellChecks(int a, int b) {
  const CSpellDefinition& spell = SpellRecord(params[w::kSpell]);
  if (!spell.DoMRCheck && !spell.DoITCheck && !spell.DoBRCheck) return 1;
  // With nothing on either side there is no chance to pass.
  if (static_cast<int64_t>(a) + b == 0) return 0;
  const int64_t chance = static_cast<int64_t>(a) * 100 / (static_cast<int64_t>(a) + b);
  return EffectBattleDraw(__LINE__) % 100 < chance ? 1 : 0;
}

void CEffect::Fizzle() {
  g_effectSounds->PlayAt(kFizzleSound, cellX, cellY, nullptr, 0);
  // Only a paid cast gets its mana back: a free one must not create mana.
  if (params[w::kMode] != 1) return;
  EffectCreature caster;
  const int c = CreatureOfWord(w::kCreature);
  if (c >= 0 && g_effectWorld->GetCreature(c, caster) && caster.wizardType)
    g_effectWorld->AddMana(c, SpellRecord(params[w::kSpell]).ManaCost * 256);
}

void CEffect::SpawnCreatureParticles(int c) {
  EffectCreature info;
  if (c < 0 || c >= kEffectCreatureCount || !g_effectWorld->GetCreature(c, info)) return;
  const int particles = (info.sizeW * (info.sizeH + 1) + 1) * 6;
  for (int i = 0; i < particles; ++i) {
    const int px = info.x + info.halfWidth + CosmeticDraw(32) - 16;
    const int py = info.y + info.halfWidth + CosmeticDraw(32) - 16;
    const int pz = info.z + CosmeticDraw(16 * info.sizeH);
    g_particleManager.Add(g_particleFactory->MakeCureParticle(px, py, pz, c, 25));
  }
}

bool CEffect::PassesLightFilter() const {
  if (AlwaysLit(kind) || g_noLightSources) return true;
  EffectCreature info;
  const int c = CreatureOfWord(w::kCreature);
  return c >= 0 && g_effectWorld->GetCreature(c, info) && info.localPlayers;
}

bool CEffect::IsLightSourceAffected() const {
  const EffectKindEntry* entry = owner ? owner->KindEntry(kind) : nullptr;
  return entry && entry->lightSourceAffected;
}

bool CEffect::IsClippedToHeight() const {
  const EffectKindEntry* entry = owner ? owner->KindEntry(kind) : nullptr;
  return entry && entry->clippedToHeight;
}

int CEffect::RestartKind26Anim(int value) {
  if (kind != effect_kind::kTrap || !owner) return value;
  const EffectAniEntry* entry = owner->AniEntry(46);
  return animPlayer.Start(entry ? entry->animation : -1, 0);
}

void CEffect::SetSequence(int n) {
  if (n == state[s::kMotionMode]) return;
  state[s::kMotionMode] = n;
  state[s::kMotionCounter] = 0;
}
