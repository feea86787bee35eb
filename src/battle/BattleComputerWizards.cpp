#include "battle/BattleComputerWizards.h"

#include <cstdlib>
#include <initializer_list>

#include "core/GameSettings.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "magic/SpellCast.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

constexpr int kTurnTicks = 20;   // ticks between two turns of one army
constexpr int kFirstSummon = 1;  // the creature summonings (0 brings a wizard)
constexpr int kLastSummon = 23;
constexpr int kCreaturesWanted = 6;  // an army summons no more than this many at a time
constexpr int kSummonDistance = 2;   // cells from the wizard where a summoned creature appears

bool IsEnemyOf(int army, const CCreature& other) {
  return other.army != army && !g_armyTable.armies[army].IsAlliedWith(other.army);
}

// The nearest living enemy of the creature's army, by the short way round the map; the lower
// slot wins a tie. With seenOnly, only enemies its army sees now.
CCreature* NearestEnemy(const CCreature& from, bool seenOnly) {
  CCreature* nearest = nullptr;
  int best = 0;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (!other.IsAlive() || !IsEnemyOf(from.army, other)) return;
    if (seenOnly && other.sightingCounters[from.army] == 0) return;
    const int distance = MapWrappedDistance(from.cellX, from.cellY, from.level, other.cellX, other.cellY, other.level);
    if (!nearest || distance < best) {
      nearest = &other;
      best = distance;
    }
  });
  return nearest;
}

bool CanPay(const CCreature& wizard, int spell) { return (wizard.mana >> 8) >= g_spellDefs[spell].ManaCost; }

// The wizard's own paid cast at a creature (target >= 0) or a point (map units), made only
// when the spell may go there.
bool Cast(CCreature& wizard, int spell, int target, int x, int y, int z) {
  if (!CanPay(wizard, spell) || TestSpellTargetFrom(wizard.index, spell, target, x, y, z) != kTargetValid) return false;
  CSpellCast cast;
  cast.spell = spell;
  cast.caster = wizard.index;
  cast.target = target;
  cast.targetX = x;
  cast.targetY = y;
  cast.targetZ = z;
  cast.mode = 1;
  cast.Execute();
  return true;
}

// A summoning from the wizard's list at a free place a little way toward the enemy (or
// round the wizard), the first of its summonings it can pay for.
bool Summon(CCreature& wizard, const CCreature* enemy) {
  if (wizard.behaviour.armyCount >= wizard.aiWords[wizard_words::kControlLimit]) return false;
  if (wizard.behaviour.armyCount >= kCreaturesWanted) return false;
  int stepX = 1, stepY = 0;
  if (enemy) {
    const int dx = WrapDeltaX(wizard.cellX, enemy->cellX), dy = WrapDeltaY(wizard.cellY, enemy->cellY);
    stepX = dx > 0 ? 1 : dx < 0 ? -1 : 0;
    stepY = dy > 0 ? 1 : dy < 0 ? -1 : 0;
  }
  const int offsets[5][2] = {{stepX, stepY}, {1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  for (int i = 0; i < wizard.spellCount; ++i) {
    const int spell = wizard.spells[i];
    if (spell < kFirstSummon || spell > kLastSummon || !CanPay(wizard, spell)) continue;
    for (const auto& offset : offsets) {
      if (offset[0] == 0 && offset[1] == 0) continue;
      const int x = CWrapCoord::WrapX(wizard.cellX + offset[0] * kSummonDistance);
      const int y = CWrapCoord::WrapY(wizard.cellY + offset[1] * kSummonDistance);
      for (int level : {wizard.level, wizard.level + 1, wizard.level - 1}) {
        if (level < 0 || level >= g_map.levels) continue;
        if (Cast(wizard, spell, -1, x * kUnitsPerTile + 16, y * kUnitsPerTile + 16, level * kUnitsPerLevel))
          return true;
      }
    }
  }
  return false;
}

// The wizard's first missile spell that reaches an enemy its army sees.
bool Strike(CCreature& wizard) {
  CCreature* enemy = NearestEnemy(wizard, true);
  if (!enemy) return false;
  for (int i = 0; i < wizard.spellCount; ++i) {
    const int spell = wizard.spells[i];
    if (spell < 0 || spell >= kSpellCount || g_spellDefs[spell].AI_Missile <= 0) continue;
    int x = 0, y = 0, z = 0;
    enemy->CentrePoint(x, y, z);
    if (Cast(wizard, spell, enemy->index, x, y, z)) return true;
  }
  return false;
}

// Whether the creature's order leaves it free to be sent: waiting, walking, or attacking a
// creature that is gone (reactions and held states run their course).
bool Free(const CCreature& creature) {
  switch (creature.order) {
    case ORDER_NONE:
    case ORDER_WAIT:
    case ORDER_WALK_TO_POS:
      return true;
    case ORDER_ATTACK_CREATURE: {
      const CCreature* target = creature.target >= 0 ? g_creatureArray.InUse(creature.target) : nullptr;
      return !target || !target->IsAlive();
    }
    default:
      return false;
  }
}

constexpr int kGoalSlack = 4;  // cells an enemy may move before a walk toward it is renewed

// Sends a free creature against the nearest enemy: an attack on one its army sees, else a
// walk to where the enemy stands (renewed when the enemy has moved on).
void Charge(CCreature& creature) {
  if (!Free(creature)) return;
  CCreature* enemy = NearestEnemy(creature, false);
  if (!enemy) return;
  if (enemy->sightingCounters[creature.army] != 0 && creature.AttackCreature(enemy->index)) return;
  if (creature.order == ORDER_WALK_TO_POS && std::abs(WrapDeltaX(creature.route.goalX, enemy->cellX)) <= kGoalSlack &&
      std::abs(WrapDeltaY(creature.route.goalY, enemy->cellY)) <= kGoalSlack)
    return;
  creature.WalkTo(enemy->cellX, enemy->cellY, enemy->level);
}

void TakeTurn(int army) {
  CCreature* wizard = g_armyTable.GetWizard(army);
  if (!wizard || !wizard->inUse || !wizard->IsAlive()) return;
  const CCreature* enemy = NearestEnemy(*wizard, false);
  if (!enemy) return;
  const bool summoned = Summon(*wizard, enemy);
  if (!summoned) Strike(*wizard);
  bool hasCreatures = false;
  g_creatureArray.ForEachInUse([&](CCreature& creature) {
    if (creature.army != army || creature.IsWizard() || !creature.IsAlive()) return;
    hasCreatures = true;
    Charge(creature);
  });
  // Alone and with nothing to summon, the wizard goes itself.
  if (!hasCreatures && !summoned) Charge(*wizard);
}

}  // namespace

void RunComputerWizards(int tick) {
  if (g_gameMode != kGameModeQuickBattle && g_gameMode != kGameModeLobby) return;
  if (!g_map.HasCells()) return;
  for (int army = 0; army < kArmyCount; ++army) {
    const CArmy& record = g_armyTable.armies[army];
    // The armies take their turns on different ticks.
    if (!record.inUse || record.human || (tick + army * 5) % kTurnTicks != 0) continue;
    TakeTurn(army);
  }
}
