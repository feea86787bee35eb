// What spells leave on a creature: the spell-held states (a mighty blow's aura, a bow held by
// an effect, a flight of limited duration), the primed burst with its ticking sound, the
// reaction to an effect, the levitation overlay and the overlays of the wait states.
#include <algorithm>

#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"

namespace {

constexpr int kWaitOverlay = 36;
constexpr int kFlightOverlay = 22;
constexpr int kLevitateOverlay = 90, kLevitateOverlayLarge = 91;
constexpr int kPrimedSound = 719;
constexpr int kReactionSound = 743;
constexpr int kReactionOverlay = 37;

// Starts a player on an entry of the effect animation table at its first sequence plus an
// offset; false (the player untouched) when the entry is not loaded.
bool StartEntry(CAnimPlayer& player, int entry, int offset) {
  int first = 0;
  CAnimation* animation = g_creatureEffects->EffectAnimEntry(entry, first);
  if (!animation) return false;
  player.SetAnimation(animation);
  player.Start(first + offset, 0);
  return true;
}

}  // namespace

int CCreature::SetSpellState(int state, int effect) {
  if (state == 3 && type && type->CanFly) return 0;
  if (state == spellState || (spellState == 3 && orderState.flying)) return 0;
  switch (spellState) {
    case 1:
      overlayAnim.playing = 0;
      break;
    case 2:
      if (attachedEffect >= 0) g_creatureEffects->Deactivate(attachedEffect);
      attachedEffect = -1;
      break;
    case 3:
      EndSpellFlight();
      break;
    default:
      break;
  }
  spellState = state;
  switch (state) {
    case 1:
      StartWaitOverlay();
      break;
    case 2:
      attachedEffect = effect;
      break;
    case 3:
      attachAnim2.Clear();
      StartEntry(attachAnim2, kFlightOverlay, viewFacing);
      orderState.flightCounter = g_spellDefs[spell_tuning::kFlight].Duration;
      mayFly = 1;
      break;
    default:
      break;
  }
  strength.dirty = 1;
  return 1;
}

void CCreature::EndSpellFlight() {
  attachAnim2.Clear();
  overlayAnim.playing = 0;
  g_creatureSounds->FlightLoop(*this, false);
  orderState.fallFlag = 0;
  if (spellState == 3) spellState = 0;
  if (!(type && type->CanFly)) mayFly = 0;
  strength.dirty = 1;
}

void CCreature::StartSpellSound() {
  // The creature is primed to burst: it wastes away a point a period and bursts on death by
  // the health it had now.
  combat.blastValue = health;
  orderState.drainHealth = health;
  orderState.nextDrainFrame = BattleNow() + g_spellDefs[spell_tuning::kDrain].Duration;
  if (!orderState.drainState) g_creatureSounds->PlayAt(kPrimedSound, cellX, cellY);
  orderState.drainState = 1;
  strength.dirty = 1;
}

void CCreature::PlayEffectReaction() {
  if (IsWizard() || typeNumber == creature_kind::kStatic) return;
  g_creatureSounds->PlayAt(kReactionSound, cellX, cellY);
  // A flash rises off it once; while it plays the creature deals no engaged blow.
  CAttachedAnim& reaction = attachAnims[0];
  reaction.player.Clear();
  if (StartEntry(reaction.player, kReactionOverlay, 0)) reaction.inUse = 1;
}

void CCreature::ShowSpellOverlay() {
  if (airborne > 0 || heldKind) {
    airborne = g_spellDefs[spell_tuning::kLevitate].Duration / std::max(magicResistance, 1);
    return;
  }
  const bool large = type && type->TileSizeXY == 2;
  attachAnim1.player.Clear();
  if (StartEntry(attachAnim1.player, large ? kLevitateOverlayLarge : kLevitateOverlay, 0)) attachAnim1.inUse = 1;
}

void CCreature::StartWaitOverlay() { StartEntry(overlayAnim, kWaitOverlay, viewFacing); }

int CCreature::SyncAnimFrame() {
  if (bodyAnim.animation && !bodyAnim.playing) StartAnimAt(creature_anim::kStand, 0);
  if (bodyAnim.animation && bodyAnim.frameStep < 0) bodyAnim.RunToFrame();
  SyncedFrame() = bodyAnim.animation ? bodyAnim.CurrentFrame() : -1;
  return SyncedFrame();
}
