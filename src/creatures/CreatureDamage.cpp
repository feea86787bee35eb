// Damage intake and experience: every hit passes TakeDamage, which applies protections, held
// states and iron skin before the health changes; a lethal loss kills, bursts or fades the
// creature. Experience makes Lords and Kings; a missile's hit tests illusions first.
#include <algorithm>
#include <cstdlib>

#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "map/MapUnits.h"

namespace {

constexpr int kIronSkin = 74;
constexpr int kFadingEffect = 8;
// The second print-effect timer: item kind 21 sets it, with print effect 16.
constexpr int kInvulnerabilityTimer = 1;
constexpr int kInvisibleEffect = 3;
constexpr int kIronSkinEffect = 5;
constexpr int kBloodLustEffect = 6;
constexpr int kHurtPause = 250;
constexpr int kShatterSound = 1024;
constexpr int kHeldStone = 1;  // turned to stone: no damage, shatters
constexpr int kHeldIce = 2;    // frozen: takes damage, shatters
constexpr int kMaxBurst = 150;
constexpr int kAttackerMemory = 100;
constexpr int kWebSpinner = 8;   // its missile holds in kind 0
constexpr int kIceSpinner = 20;  // its missile holds in kind 2
constexpr int kPoisonSpitter = 23;

const CSpellDefinition& Spell(int number) { return g_spellDefs[number]; }

// A percentage raise of a value.
int Boosted(int value, int percent) { return value + value * percent / 100; }

// Whether the tester sees through an illusion at a distance: a roll plus a quarter of the
// distance below the tester's share of its intelligence against the illusion's strength.
// The roll is made even when the test cannot pass.
bool Disbelieves(const CCreature& tester, const CCreature& from, const CCreature& to) {
  const int strength = Spell(spell_tuning::kIllusion).SpellStrength;
  const int distance = MapWrappedDistance(from.cellX, from.cellY, from.level, to.cellX, to.cellY, to.level);
  const int roll = BattleRoll(100, __LINE__);
  const int sum = strength + tester.intelligence;
  if (sum <= 0 || tester.intelligence <= 0) return false;
  return roll + distance / 4 < tester.intelligence * 100 / sum;
}

}  // namespace

int CCreature::TakeDamage(int amount, int attackerArmy, int item1, int item2) {
  int a = amount;
  if (a < 1) return 0;
  if (printFX.GetCurrentEffect() == kFadingEffect) return kFadingEffect;
  // The invulnerability an item gives is its timed counter, which the update counts down.
  const int invulnerable = orderState.printTimers[kInvulnerabilityTimer];
  if (invulnerable != 0) return invulnerable;

  if (ironSkin > 0) {
    const int absorbs = std::clamp(Spell(kIronSkin).SpellStrength, 0, 100);
    const int passes = a * (100 - absorbs) / 100;
    EmitGlowBurst(a - passes);
    a = passes;
    if (a < 1) return 0;
  }
  if (combat.shielded != 0) a /= 4;

  int items[2] = {item1, item2};
  if (heldKind == kHeldStone || heldKind == kHeldIce) {
    if (!IsWizard() && ShatterHeld(a)) return 1;
    EmitGlowBurst(a);
    return heldKind == kHeldIce ? AdjustHealth(-a, attackerArmy, items, 1) : 0;
  }
  if (a < 1) return 0;
  EmitBlood(a);
  return AdjustHealth(-a, attackerArmy, items, 1);
}

bool CCreature::LoseHealth(int amount, int attackerArmy, const int* items, int flag) {
  (void)attackerArmy;
  (void)flag;
  if (health <= 0 || amount == 0) return true;
  for (int a = 0; a < kCombatArmies; ++a) {
    if (sightingCounters[a] <= 0) continue;
    combat.lastSeenDamage[a] = amount;
    combat.lastSeenCounter[a] = 0;
  }
  bool survived = true;
  int value = 0;
  if (amount < health) {
    value = g_creatureAI->ComputeDamageValue(typeNumber, health, amount, 1.0f, 0.0f);
    health -= amount;
    if (combat.hurtPause <= 0 && IsLocalPlayers()) {
      g_creatureBattle->CreatureHurt(index);
      combat.hurtPause = kHurtPause;
    }
  } else {
    survived = false;
    const float ratio = combat.damageCredit ? static_cast<float>(mana) / 256.0f : 0.0f;
    value = g_creatureAI->ComputeDamageValue(typeNumber, 0, health, 1.0f, ratio);
    if (!illusion || combat.illusionFading) {
      health = 0;
      if (combat.blastValue != 0) {
        const CSpellDefinition& burst = Spell(spell_tuning::kDrain);
        const int strength = std::min(std::max(combat.blastValue / std::max(burst.Data1, 1), burst.Damage), kMaxBurst);
        Explode(strength, std::max(burst.SpellStrength, 1));
      } else if (!illusion) {
        OnKilled();
      }
    } else {
      // An illusion fades first, and cannot be hurt while it does.
      printFX.PushEffect(kFadingEffect);
      combat.illusionFading = 1;
    }
  }
  g_creatureAI->CreditHarm(items ? items[0] : -1, items ? items[1] : -1, g_creatureAI->TopDecisionId(0, index),
                           g_creatureAI->TopDecisionId(1, index), value);
  return survived;
}

int CCreature::ShatterHeld(int blow) {
  const int magnitude = std::abs(blow);
  const bool stone = heldKind == kHeldStone && magnitude >= Spell(spell_tuning::kFreezeShatter).Data1;
  const bool ice = heldKind == kHeldIce && magnitude >= Spell(spell_tuning::kHoldShatter).Data1;
  if (!stone && !ice) return 0;
  EmitBlood(blow);
  g_creatureSounds->PlayAt(kShatterSound, cellX, cellY);
  int x, y, z;
  CentrePoint(x, y, z);
  g_creatureEffects->SpawnBodyParts(typeNumber, x, y, z, stone ? 4 : 1);
  order = ORDER_NONE;
  orderHandler = nullptr;
  pendingOrder = ORDER_NONE;
  health = 0;
  Remove();
  Detach();
  return 1;
}

void CCreature::AddExperience(int amount) {
  if (IsWizard() || !IsAlive()) return;
  experience += amount;
  if (!type) return;
  int booster = 0;
  if (rank == 0 && experience > type->LordExperienceLevel) {
    rank = 1;
    booster = g_lordBooster;
  } else if (rank == 1 && experience > type->KingExperienceLevel && typeNumber >= 0 && typeNumber < kCreatureTypes &&
             !g_creatureArray.kingFlags[typeNumber]) {
    rank = 2;
    booster = g_kingBooster;
    g_creatureArray.kingFlags[typeNumber] = 1;
  } else {
    return;
  }
  health = Boosted(health, booster);
  RebuildHealthGauge();
  StartRankBadge();
  magicResistance = Boosted(type->MagicResist, booster);
  intelligence = Boosted(type->Intelligence, booster);
  changed = 1;
}

void CCreature::ResolveMissileHit(int victimSlot) {
  CCreature* victim = CreatureInUse(victimSlot);
  if (!victim || !type) return;
  g_creatureBattle->NoteBlow(army);
  CCreature& r = *victim;
  if (illusion && !r.illusion) {
    if (Disbelieves(r, *this, r)) {
      int items[2] = {r.carriedItems[0], r.carriedItems[1]};
      AdjustHealth(-health, r.army, items, 1);
      g_creatureSounds->PlayAt(creature_sound::kDisbelief, cellX, cellY);
      return;
    }
  } else if (r.illusion && !illusion) {
    if (Disbelieves(*this, *this, r)) {
      int items[2] = {carriedItems[0], carriedItems[1]};
      r.AdjustHealth(-r.health, army, items, 1);
      g_creatureSounds->PlayAt(creature_sound::kDisbelief, cellX, cellY);
      return;
    }
  }
  int base = r.typeNumber >= 0 && r.typeNumber < kCreatureTypes ? type->LRC_Matrix[r.typeNumber] : 0;
  if (r.undead && !undead) base /= 3;
  int hit = base * BattleRoll(257, __LINE__) / 128;
  if (rank == 1) hit = Boosted(hit, g_lordBooster);
  if (rank == 2) hit = Boosted(hit, g_kingBooster);
  if (r.IsAlive()) {
    r.combat.attacker = index + 1;
    r.combat.attackerMemory = kAttackerMemory;
    const int resistance = std::max(r.magicResistance, 1);
    if (typeNumber == kWebSpinner)
      r.Immobilise(hit / resistance, 0);
    else if (typeNumber == kIceSpinner)
      r.Immobilise(hit / resistance, kHeldIce);
    else if (typeNumber == kPoisonSpitter)
      r.orderState.poisonPoints += hit;
    else
      r.TakeDamage(hit, army, carriedItems[0], carriedItems[1]);
  }
  if (&r != this && IsEnemyOf(r) && typeNumber != kWebSpinner && typeNumber != kIceSpinner) AddExperience(hit);
}

namespace {

// A condition setter: nothing while held; a condition coming on shows its print effect.
void SetCondition(CCreature& creature, int32_t& condition, int n, int effect) {
  if (creature.heldKind) return;
  const bool wasOff = condition == 0;
  condition = n;
  if (wasOff && n != 0) creature.printFX.PushEffect(effect);
  if (wasOff) creature.changed = 1;
}

}  // namespace

// A type that takes no harm from burning (its BurnDamage is 0) is not set alight and shrugs
// off fire spells.
bool CCreature::IsFireImmune() const { return type && type->BurnDamage <= 0; }

void CCreature::SetInvisibility(int n) { SetCondition(*this, invisible, n, kInvisibleEffect); }
void CCreature::SetIronSkin(int n) { SetCondition(*this, ironSkin, n, kIronSkinEffect); }
void CCreature::SetBloodLust(int n) { SetCondition(*this, bloodLust, n, kBloodLustEffect); }
