#include "battle/BattleSystems.h"

#include "battle/BattleArmies.h"
#include "magic/Effect.h"
#include "magic/EffectManager.h"
#include "map/Map.h"

namespace {
IBattleSystems g_standIn;
constexpr int kWizardSight = 33;  // the widest light pattern
}  // namespace

HookSlot<IBattleSystems> g_battleSystems{&g_standIn};

void IBattleSystems::UpdateEffect(int slot) {
  CEffect* effect = g_effectManager.At(slot);
  if (effect && effect->active) effect->Update();
}

void IBattleSystems::UpdateCreatureVisibility() {
  const int local = g_localArmy;
  if (local < 0 || local >= kArmyCount) return;
  const WizardSite& site = g_wizardSites[local];
  if (site.placed && g_armyTable.armies[local].wizardCreature < 0 && g_map.HasCells())
    g_map.RevealAround(site.x, site.y, site.level, kWizardSight);
}
