// A creature's frame: its timed conditions count down in a fixed order, then the handler of
// its animation state runs and its print effects step. A countdown runs out in the frame in
// which it goes from 1 to 0. Where a step leaves a living creature dead or takes it out of
// the pool, the frame ends there for it.
#include <algorithm>

#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"

namespace {

constexpr int kDissolveEffect = 19;
constexpr int kBurnSpell = 58;
constexpr int kInvisibleFading = 20;

// Lowers a positive countdown; true in the frame in which it runs out.
bool RunsOut(int32_t& countdown) { return countdown > 0 && --countdown == 0; }

}  // namespace

void CCreature::Ignite() {
  if (IsFireImmune() || !type) return;
  orderState.burnTimer = type->BurnTime;
  orderState.burnPeriod = g_spellDefs[kBurnSpell].Data1;
}

void CCreature::Update() {
  if (!inUse) return;
  const bool wasAlive = IsAlive();
  // The frame ends for a creature that a step killed or took off the map.
  auto ended = [&] { return !inUse || (wasAlive && !IsAlive()); };
  const int now = BattleNow();
  CCreatureOrderState& s = orderState;

  // 1. A body player left past the end of its (reloaded) animation starts its sequence again.
  if (bodyAnim.animation && (bodyAnim.step < 0 || bodyAnim.step >= bodyAnim.animation->StepCount())) bodyAnim.Restart();
  // 2.
  if (s.traceDraw) BattleRoll(0x7FFFFFFF, __LINE__);
  // 3. Invisibility fades out over its last 20 frames.
  if (invisible == kInvisibleFading) {
    printFX.RemoveEffect(3);
    printFX.PushEffect(6);
    --invisible;
  } else if (invisible > 1) {
    --invisible;
  } else if (invisible == 1) {
    invisible = 0;
    printFX.RemoveEffect(6);
    s.looksChanged = 1;
  }
  // 4, 5.
  if (RunsOut(ironSkin)) {
    printFX.RemoveColourFX(5);
    s.looksChanged = 1;
  }
  if (RunsOut(bloodLust)) {
    printFX.RemoveColourFX(6);
    s.looksChanged = 1;
  }
  // 6. A creature that feeds its wizard.
  if (s.manaRecovery && now > s.nextRecoveryFrame) {
    s.nextRecoveryFrame = now + g_manaRecoveryDelay;
    if (CCreature* wizard = g_armyTable.GetWizard(army)) wizard->AddMana(g_manaRecovery * 256);
  }
  // 7, 8.
  RecoverWizardMana();
  if (pestered && now > pestTimer) {
    PestStep();
    if (ended()) return;
  }
  // 9, 10.
  if (rank == 1 || rank == 2) {
    if (rankBadge.animation && rankBadge.playing) rankBadge.Advance();
    if (rank == 2) KingStep();
  }
  if (g_localArmy >= 0 && g_localArmy < kSightingArmyCount && sightingCounters[g_localArmy] == 6) printFX.PushEffect(2);
  // 11. Dissolving: the effect shows at 30, the creature leaves when it reaches 0.
  if (s.dissolve > 0 || s.dissolveSpawned) {
    const bool spawnedBefore = s.dissolveSpawned != 0;
    s.dissolve = std::max(s.dissolve - 5, 0);
    if (!spawnedBefore && s.dissolve <= 30) {
      int x, y, z;
      CentrePoint(x, y, z);
      g_creatureEffects->SpawnEffect(kDissolveEffect, x, y, z, index);
      s.dissolveSpawned = 1;
    } else if (spawnedBefore && s.dissolve == 0) {
      Remove();
      Detach();
      return;
    }
  }
  // 12. Burning.
  if (s.burnTimer > 0) {
    --s.burnTimer;
    --s.lightCounter;
    if (s.burnPeriod > 0) {
      --s.burnPeriod;
    } else {
      TakeDamage(type ? type->BurnDamage : 0, -1, -1, -1);
      if (ended()) return;
      s.burnPeriod = g_spellDefs[kBurnSpell].Data1;
      if (heldKind == 2) heldTime = 1;
    }
  } else if (s.lightCounter < 0) {
    ++s.lightCounter;
  }
  // 13-15.
  if (RunsOut(earthBind)) {
    if (CanFlyNow()) mayFly = 1;
    s.earthBound = 0;
    s.looksChanged = 1;
  }
  if (RunsOut(haste)) s.looksChanged = 1;
  if (RunsOut(slow)) {
    printFX.RemoveColourFX(1);
    s.looksChanged = 1;
  }
  // 16. Provocation.
  if (provokeTimer > 1) {
    --provokeTimer;
    ProvokeOthers();
  } else if (provokeTimer == 1) {
    provokeTimer = 0;
    const int slot = index;
    g_creatureArray.ForEachInUse([slot](CCreature& other) {
      if (other.index != slot) other.DropTarget(slot);
    });
  }
  // 17. Levitation: coming down at 1, drifting before.
  if (airborne == 1) {
    airborne = 0;
    s.lineMove = 0;
    mirrored = 0;
    if (!CanFlyNow()) mayFly = 0;
    if (IsAlive()) {
      if (s.flying) {
        if (typeNumber == creature_kind::kUnseen) {
          EndHeldState();
        } else {
          ReleaseEngagement();
          ReleaseWalkMarkers();
          s.panicking = 0;
          rangedAttack = 0;
          SetOrder(ORDER_DROPPED);
        }
      } else {
        EndHeldState();
      }
    }
  } else if (airborne > 1) {
    if (!s.lineMove && !CanFlyNow() && !heldKind && order == ORDER_WAIT) {
      const int speed = g_spellDefs[spell_tuning::kLevitate].SpellStrength;
      StartDrift(0, speed, airborne * speed / 2304 + 2);
    }
    --airborne;
  }
  // 18. The rising overlay starts the levitation at its event 2.
  if (attachAnim1.inUse && attachAnim1.player.animation) {
    const int event = attachAnim1.player.Advance();
    if (event == 1) {
      attachAnim1.inUse = 0;
    } else if (event == 2) {
      Levitate(g_spellDefs[spell_tuning::kLevitate].Duration / std::max(magicResistance, 1));
    }
  }
  // 19.
  if (RunsOut(s.printTimers[0])) printFX.RemoveEffect(4);
  if (RunsOut(s.printTimers[1])) printFX.RemoveEffect(16);
  if (RunsOut(s.printTimers[2])) printFX.RemoveEffect(15);
  if (RunsOut(s.printTimers[3])) printFX.PushEffect(8);
  // 20. Draining.
  if (s.drainState && now > s.nextDrainFrame) {
    AdjustHealth(-1, -1, nullptr, 1);
    if (ended()) return;
    s.nextDrainFrame = now + g_spellDefs[spell_tuning::kDrain].Duration;
  }
  // 21.
  if (s.quadDamage > 0) --s.quadDamage;
  if (s.secondAttackTimer > 0) --s.secondAttackTimer;
  if (s.generalCounter > 0) --s.generalCounter;
  // 22. A flight of limited duration.
  if (spellState == 3 && s.flying) {
    if (attachAnim2.animation && attachAnim2.playing) attachAnim2.Advance();
    g_creatureSounds->FlightLoop(*this, true);
    --s.flightCounter;
    if (s.flightCounter == 1) {
      s.fallFlag = 1;
      ForceLanding();
      s.looksChanged = 1;
    } else if (s.flightCounter == 0) {
      // Once, in the frame the time runs out (still in the air, it would else dissolve anew
      // every frame until it lands).
      int x, y, z;
      CentrePoint(x, y, z);
      g_creatureEffects->SpawnEffect(kDissolveEffect, x, y, z, index);
      g_creatureSounds->FlightLoop(*this, false);
      g_creatureSounds->PlayAt(creature_sound::kFlightEnd, cellX, cellY);
    }
  } else if (spellState == 3) {
    g_creatureSounds->FlightLoop(*this, false);
  }
  // 23. Poison: a point a PoisonDelay.
  if (s.poisonPoints > 0 && now > s.nextPoisonFrame) {
    --s.poisonPoints;
    AdjustHealth(-1, -1, nullptr, 1);
    s.nextPoisonFrame = now + g_poisonDelay;
    if (ended()) return;
  }
  // 24. Magic resistance comes back a point an MRDelay.
  if (type && magicResistance < type->MagicResist && now > s.nextResistanceFrame) {
    ++magicResistance;
    s.nextResistanceFrame = now + g_mrDelay;
  }
  // 25, 26. Animations of spells on the creature; the third raises it as undead.
  for (int i = 0; i < 2; ++i)
    if (attachAnims[i].inUse && attachAnims[i].player.animation && attachAnims[i].player.Advance() == 1)
      attachAnims[i].inUse = 0;
  if (attachAnims[2].inUse && attachAnims[2].player.animation) {
    const int event = attachAnims[2].player.Advance();
    if (event == 2) RaiseAsUndead(army);
    if (event == 1) attachAnims[2].inUse = 0;
  }
  // 27. Frames since each army saw the creature take its last damage.
  for (int32_t& frames : combat.lastSeenCounter) ++frames;
  // 28.
  // The handler follows the state, also where a rule changed the state alone (a target that
  // left turns a blow into STAND) or a saved game was loaded.
  animStateHandler = GetAnimStateHandler(animState);
  if (animStateHandler) (this->*animStateHandler)();
  if (inUse) printFX.Step();
}
