#include "battle/BattleUnattendedEnd.h"

#include <cstdint>
#include <cstdio>

#include "ai/AIController.h"
#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleSystems.h"
#include "battle/BattleTrace.h"
#include "core/BattleLimits.h"
#include "core/GameSettings.h"
#include "core/Options.h"

namespace {

UnattendedOutcome g_outcome;

// The winner by health among the armies that keep their wizards: -1 on a tie at the top.
int HealthiestArmy() {
  IBattleSystems& systems = BattleSystems();
  int winner = -1;
  int64_t best = -1;
  bool tie = false;
  for (int army = 0; army < kArmyCount; ++army) {
    if (!g_armyTable.armies[army].inUse || !systems.ArmyKeepsWizard(army)) continue;
    const int64_t health = systems.ArmyHealth(army);
    if (health > best) {
      best = health;
      winner = army;
      tie = false;
    } else if (health == best) {
      tie = true;
    }
  }
  return tie ? -1 : winner;
}

void Decide(int tick, const char* reason, int winner) {
  g_outcome = UnattendedOutcome{true, tick, reason, winner};
  char line[96];
  std::snprintf(line, sizeof line, "battle end tick %d reason %s winner %d", tick, reason, winner);
  std::printf("%s\n", line);
  std::fflush(stdout);
  WriteBattleTraceNote(line);
  g_aiOnlyEnd = 1;
  g_aiUnitController.BeginWindDown();
  g_aiSideController.BeginWindDown();
}

}  // namespace

bool BattleHasNoHumanSide() {
  // The unattended modes (directAI, and training, which sets it too) are the battles made
  // without a person; a scene that merely leaves its armies to the computer is not one.
  if (!g_directAI || g_networkGame) return false;
  for (const CArmy& army : g_armyTable.armies)
    if (army.inUse && army.human) return false;
  return true;
}

void CheckUnattendedEnd(int tick) {
  if (g_outcome.decided || !BattleHasNoHumanSide()) return;
  IBattleSystems& systems = BattleSystems();
  int keeping = 0, last = -1;
  for (int army = 0; army < kArmyCount; ++army)
    if (g_armyTable.armies[army].inUse && systems.ArmyKeepsWizard(army)) {
      ++keeping;
      last = army;
    }
  if (keeping <= 1) {
    Decide(tick, "wizards", last);
    return;
  }
  if (tick >= g_aiBattleTickLimit) Decide(tick, "ticks", HealthiestArmy());
}

const UnattendedOutcome& UnattendedEndOutcome() { return g_outcome; }

void ResetUnattendedEnd() { g_outcome = UnattendedOutcome{}; }
