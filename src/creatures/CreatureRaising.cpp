// Raising a creature as an undead: a living one turns at once; a dead body first plays the
// rising animation and gets up for the raising army when it reaches its event, the weaker the
// further its body has decayed.
#include <algorithm>

#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"
#include "map/MapCell.h"

namespace {

constexpr int kRisingAnim = 96;
constexpr int kRaisedEffect = 3;
constexpr int kArrivingEffect = 5;

// The skeleton, the zombie and the ghost keep their own looks and animation when raised.
bool KeepsOwnLooks(int type) { return type == 11 || type == 13 || type == 14; }

// The share of health a raised creature keeps: spell 52's Data1, less a quarter of it for each
// stage its body decayed.
int RaisedHealthPercent(int deathStage) {
  const int e = g_spellDefs[spell_tuning::kRaiseDead].Data1;
  return e + std::clamp(deathStage, 0, 3) * (e / -4);
}

}  // namespace

int CCreature::RaiseAsUndead(int raisingArmy) {
  if (!type) return 0;
  const bool blocked =
      g_map.IsColumnBlocked(cellX, cellY, level, type->TileHeight, type->TileSizeXY == 2 ? 2 : 1, index) != 0;
  int percent = g_spellDefs[spell_tuning::kRaiseDead].Data1;
  if (IsAlive()) {
    if (blocked) {
      Detach();
      return 0;
    }
    if (!KeepsOwnLooks(typeNumber)) printFX.RemoveEffect(kArrivingEffect);
  } else {
    if (blocked) return 0;
    CAttachedAnim& rising = attachAnims[2];
    if (!rising.inUse) {
      // The first call: the body starts to rise. Without the animation loaded it rises at once.
      army = raisingArmy;
      // The entry's own sequence: the table's animations are shared by many entries.
      int first = 0;
      if (CAnimation* animation = g_creatureEffects->EffectAnimEntry(kRisingAnim, first)) {
        rising.player.SetAnimation(animation);
        rising.player.Start(first, 0);
        rising.inUse = 1;
        return 1;
      }
    }
    GetUpFromBody(raisingArmy);
    percent = RaisedHealthPercent(orderState.deathStage);
    orderState.deathStage = 0;
    orderState.bodyCountdown = 0;
    ResetState();
    changed = 1;
  }
  if (!combat.raised) {
    combat.raised = 1;
    printFX.PushEffect(kRaisedEffect);
  }
  undead = 1;
  health = std::max(percent * health / 100, 1);
  RebuildHealthGauge();
  if (!KeepsOwnLooks(typeNumber)) SetAnimState(ANIM_RISING);
  CountArmyCreatures();
  return 1;
}

void CCreature::GetUpFromBody(int raisingArmy) {
  army = raisingArmy;  // (the state reset after this sets its sightings for the army)
  heldKind = heldTime = 0;
  // The body leaves the list of bodies (and its cell's body mark when it lay there alone) and
  // stands in its cells again.
  g_creatureArray.RemoveBody(index);
  if (!g_creatureArray.HasBodyAt(cellX, cellY, level))
    if (CMapCell* cell = g_map.CellAtWrapped(cellX, cellY, level))
      cell->state &= static_cast<uint16_t>(~state_bits::kCreatureMark);
  MarkCells(cellX, cellY, level);
}
