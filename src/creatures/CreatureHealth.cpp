// A creature's health and mana: the maximum by rank, changes with their bookkeeping (kills,
// grievances, the wizard's mana from kills), mana stores, the wizard's mana recovery from
// regions of power, and the pest flies that plague a creature.
#include <algorithm>
#include <cstdint>

#include "core/Options.h"
#include "core/Random.h"
#include "core/TraceLog.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"
#include "platform/Numbers.h"

namespace {

constexpr int kArmyWipeDamage = 100000;

// Mana is held in 8.8 fixed point between 0 and the maximum x 256; sums and the ceiling stop
// at the ends of the int range, whatever a file or a spell made of the maximum.
int ManaCeiling(int maximum) { return std::max(platform::SaturatingMultiply(maximum, 256), 0); }
int ManaAfter(int current, int amount, int maximum) {
  return std::clamp(platform::SaturatingAdd(current, amount), 0, ManaCeiling(maximum));
}
constexpr int kWizardReturnDelay = 100;
constexpr int kPestInterval = 50;

// A type's Health, at least 1 where it divides or bounds (a type read without the key has 0).
int TypeHealth(const CCreature& creature) { return creature.type ? std::max(creature.type->Health, 1) : 1; }

// One game-logic roll 0..n-1 from the battle's generator, traced when asked.
int BattleRoll(int n, int line) {
  const int roll = static_cast<int>((g_battleRandom.Next() & 0x7FFFFFFF) % static_cast<uint32_t>(n));
  if (g_netRandomLog) g_traceLog.Record("Mapelem", line);
  return roll;
}

// Cells around a 1 x 1 and a 2 x 2 footprint on the same level.
constexpr int kPestRingSmall[8][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};
constexpr int kPestRingLarge[12][2] = {{0, -1}, {1, -1}, {2, -1}, {2, 0},  {2, 1},  {2, 2},
                                       {1, 2},  {0, 2},  {-1, 2}, {-1, 1}, {-1, 0}, {-1, -1}};

}  // namespace

int CCreature::GetMaxHealth() const {
  if (IsWizard()) {
    if (ownMaxHealth != 0) return ownMaxHealth;
    const CCreature* wizard = g_armyTable.GetWizard(army);
    if (wizard && wizard != this && wizard->ownMaxHealth != 0) return wizard->ownMaxHealth;
    return TypeHealth(*this);
  }
  const uint32_t base = static_cast<uint32_t>(TypeHealth(*this));
  uint32_t percent = 0;
  if (rank == 1) percent = static_cast<uint32_t>(g_lordBooster);
  if (rank == 2) percent = static_cast<uint32_t>(g_kingBooster);
  return static_cast<int>(base + base * percent / 100);
}

int CCreature::AdjustHealth(int amount, int attackerArmy, int* out, int flag) {
  if (health <= 0) return 0;
  if (amount < 0) {
    const int damage = -amount;
    const bool survived = LoseHealth(damage, attackerArmy, out, flag);
    if (attackerArmy != -1 && !illusion) {
      if (CArmy* attacker = g_armyTable.GetArmy(attackerArmy)) attacker->AddGrievance(damage, army);
      if (IsWizard()) g_creatureBattle->AddScore(attackerArmy, damage);
    }
    if (!survived && attackerArmy != -1) {
      if (IsWizard() && !illusion) {
        const int gameType = g_creatureBattle->GameType();
        if (gameType == 1 || gameType == 2) {
          g_creatureBattle->AddKills(attackerArmy, 1);
          g_creatureBattle->AddScore(attackerArmy, GetMaxHealth());
          g_creatureBattle->AddDeaths(army, 1);
          if (g_creatureBattle->LivesLeft(army) != 1)
            g_creatureBattle->ScheduleWizardReturn(army, g_creatureBattle->FrameCounter() + kWizardReturnDelay);
          g_creatureBattle->LoseLife(army);
        }
        // A wizard's army falls with it.
        const int fallenArmy = army;
        g_creatureArray.ForEachInUse([fallenArmy](CCreature& member) {
          if (member.army == fallenArmy) member.AdjustHealth(-kArmyWipeDamage, -1, nullptr, 1);
        });
      }
      CCreature* killerWizard = g_armyTable.GetWizard(attackerArmy);
      if (killerWizard && killerWizard->inUse) {
        const int cost = typeNumber < kSpellCount ? g_spellDefs[typeNumber].ManaCost : 0;
        killerWizard->AddMana(platform::SaturatingMultiply(platform::SaturatingMultiply(cost, g_manaGeneration), 256) /
                              100);
      }
    }
  } else {
    health = std::min(health + amount, GetMaxHealth());
  }
  if (IsWizard() && IsLocalPlayers()) g_creatureBattle->ShowWizardHealth(health);
  healthStep = std::min(std::max(health, 0) * 15 / TypeHealth(*this), 14);
  healthGauge.SetValue(health);
  changed = 1;
  return 1;
}

void CCreature::AddMana(int amount) {
  mana = ManaAfter(mana, amount, maxMana);
  if (IsWizard() && IsLocalPlayers()) g_creatureBattle->ShowWizardMana(mana >> 8);
  changed = 1;
}

void CCreature::SetMaxMana(int value) {
  maxMana = value;
  if (IsWizard() && IsLocalPlayers()) g_creatureBattle->ShowWizardMaxMana(value);
  std::fill(std::begin(manaStores), std::end(manaStores), ManaCeiling(value));
}

void CCreature::AddSpellMana(int storeArmy, int amount) {
  if (storeArmy < 0 || storeArmy >= kSightingArmyCount) return;
  manaStores[storeArmy] = ManaAfter(manaStores[storeArmy], amount, maxMana);
}

void CCreature::RecoverWizardMana() {
  if (!IsWizard()) return;
  const int delay = std::max(g_manaRecoveryDelay, 1);
  const int gain = platform::SaturatingMultiply(g_manaRecovery, 256) / delay;
  const CArmy* own = g_armyTable.GetArmy(army);
  const int regions = g_map.CountRegionsOfPower();
  for (int region = 0; region < regions; ++region) {
    for (int j = 0; j < CMap::kPlayers; ++j) {
      if (g_map.regionHolders[region][j] != army) continue;
      manaStores[j] = ManaAfter(manaStores[j], gain, maxMana);
      if (own && own->IsAlliedWith(j)) continue;
      const float rate = static_cast<float>(g_manaRecovery) / static_cast<float>(delay);
      const int value = g_creatureAI->ComputeDamageValue(typeNumber, 0, 0, rate, 0.0f);
      for (int controller = 0; controller < 2; ++controller)
        g_creatureAI->NoteManaGain(controller, j, std::max(value / 2, 1));
    }
  }
}

int CCreature::StartPestFlies() {
  if (pestered) return pestered;
  pestered = 1;
  pestTimer = g_creatureBattle->FrameCounter() + kPestInterval;
  // The flies are seen only: their places come from the view's generator.
  const int size = type ? type->TileSizeXY : 1, height = type ? type->TileHeight : 1;
  const auto scatter = [] { return static_cast<int>(g_viewRandom.Next() & 0x7FFFFFFF) % 128 - 64; };
  int x, y, z;
  CentrePoint(x, y, z);
  for (int n = size * (height + 1) + 1; n > 0; --n) {
    const int dz = scatter(), dy = scatter(), dx = scatter();
    g_creatureEffects->SpawnFly(index, x + dx, y + dy, z + dz);
  }
  return pestered;
}

void CCreature::StopPestFlies() { pestered = 0; }

void CCreature::PestStep() {
  if (IsAlive()) {
    const CSpellDefinition& pest = g_spellDefs[spell_tuning::kPestilence];
    const int strength = pest.SpellStrength;
    const int immune = type ? type->ImmuneSystem : 0;
    const int roll = BattleRoll(100, __LINE__);
    if (immune + strength > 0 && strength * 100 / (immune + strength) < roll) StopPestFlies();
    if (!undead) AdjustHealth(-pest.Damage, -1, nullptr, 1);

    const int typeIntelligence = type ? type->Intelligence : 0;
    const bool large = type && type->TileSizeXY == 2;
    const int count = large ? 12 : 8;
    for (int n = 0; n < count; ++n) {
      const int* offset = large ? kPestRingLarge[n] : kPestRingSmall[n];
      const CMapCell* cell = g_map.CellAtWrapped(cellX + offset[0], cellY + offset[1], level);
      if (!cell || cell->occupant == kNoOccupant || cell->occupant == index) continue;
      CCreature* neighbour = CreatureInUse(cell->occupant);
      if (!neighbour || neighbour->pestered) continue;
      const int catchRoll = BattleRoll(100, __LINE__);
      if (typeIntelligence + strength > 0 && catchRoll < strength * 100 / (typeIntelligence + strength)) {
        neighbour->StartPestFlies();
        break;
      }
    }
  }
  pestTimer = g_creatureBattle->FrameCounter() + kPestInterval;
}
