// The DEPLOYMENT action: a character brought into the battle by a summoning effect (or, when
// it is alive here already, given its attributes at once), or a world object put down; and
// CScript::ApplyCreatureAction, which gives a creature the attributes of the deployment.
#include <cstring>

#include "battle/ScriptActions.h"
#include "battle/ScriptActors.h"
#include "battle/WizardFacePanel.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "magic/Effect.h"
#include "magic/EffectManager.h"
#include "magic/EffectWorld.h"
#include "magic/ParticleFactory.h"
#include "magic/ParticleManager.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

namespace script_actions {

namespace {

// The summoning effects of a deployed character: a wizard's, and any other creature's.
constexpr int kSummonWizardEffect = 64;
constexpr int kSummonCreatureEffect = 41;
// The bow a deployment hands out: an effect of kind 52 carrying spell 78 on the creature.
constexpr int kBowEffect = effect_kind::kCreatureEcho;
constexpr int kBowSpell = 78;
enum DeploymentEquipment : int { kSword = 1, kBow = 2, kWings = 3 };
enum DeploymentRank : int { kLord = 1, kKing = 2 };

bool Named(const char* field) { return field[0] != '\0'; }

// The place a deployment puts its character or object: beside a character (east of it),
// at an area's centre, or at the first world object of a kind.
Place DeploymentPlace(const ScriptDeploymentPart& d) {
  switch (d.deploymentType) {
    case 1: {
      const ScriptActor* beside = g_scriptActors.FindByName(d.deployNextToCharacter);
      Place place;
      if (const CCreature* c = BoundCreature(beside))
        place = At(c->cellX, c->cellY, c->level);
      else
        place = LastCell(beside);
      if (place.found) ++place.x;
      return Wrapped(place);
    }
    case 2:
      return Wrapped(AreaCentre(d.deploymentLocation));
    case 3:
      return FirstObject(d.deployNextToArtefact);
    default:
      return {};
  }
}

bool IsWizardKind(int type) { return type == 0 || type == 24 || type == 25 || type == 26; }

void DeployObject(const ScriptDeploymentPart& d) { PutDownObject(d.deployedArtefact, DeploymentPlace(d)); }

void GiveBow(CCreature& c) {
  CEffect* effect = g_effectManager.AllocateEffect();
  if (!effect) return;
  int x, y, z;
  c.CentrePoint(x, y, z);
  CEffectParams block;
  block.SetPoint(effect_word::kSourceX, x, y, z);
  block.SetPoint(effect_word::kTargetX, x, y, z);
  block.words[effect_word::kCreature] = c.index;
  block.words[effect_word::kSpell] = kBowSpell;
  block.words[effect_word::kMode] = 1;
  block.words[effect_word::kKindMode] = 1;
  effect->Activate(kBowEffect, block);
  effect->SetKind(kBowEffect);
  if (!c.SetSpellState(kBow, static_cast<int>(effect - g_effectManager.effects.data()))) effect->Deactivate();
}

void ApplyRankAndEquipment(CCreature& c, const ScriptDeploymentPart& d) {
  const CCreatureType* type = c.type;
  if (type && (d.rank == kLord || d.rank == kKing)) c.AddExperience(type->LordExperienceLevel + 1);
  if (type && d.rank == kKing) c.AddExperience(type->KingExperienceLevel + 1);
  if (d.equipment == kSword || d.equipment == kWings) c.SetSpellState(d.equipment, -1);
  if (d.equipment == kBow) GiveBow(c);
}

void ApplyConditions(CCreature& c, const ScriptDeploymentPart& d) {
  if (d.illusion) c.SetIllusion(d.illusion);
  if (d.undead) c.undead = 1;
  if (d.invisibility) c.SetInvisibility(d.invisibility);
  if (d.bloodLust) c.SetBloodLust(d.bloodLust);
  if (d.ironSkin) c.SetIronSkin(d.ironSkin);
  if (d.haste) c.SetHaste(d.haste);
  // A levitating or earth-bound creature wears its aura while the condition lasts (none when
  // the options give the aura no density); one aloft or bound already wears one.
  if (d.levitation) {
    const bool aloft = c.airborne > 0;
    c.Levitate(d.levitation);
    if (!aloft) g_particleManager.Add(g_particleFactory->MakeAura(true, c.index));
  }
  if (d.gorgonStare) c.Immobilise(d.gorgonStare, 1);
  if (d.earthBind) {
    const bool bound = c.earthBind > 0;
    c.SetEarthBind(d.earthBind);
    c.ForceLanding();
    if (!bound) g_particleManager.Add(g_particleFactory->MakeAura(false, c.index));
  }
}

// Health and mana in per cent of their maximum (-1: as they are), poison and the unsummon
// countdown. Answers false when the creature died of it.
bool ApplyHealthAndMana(CCreature& c, const ScriptDeploymentPart& d) {
  if (d.initialHealth >= 0) {
    c.health = c.GetMaxHealth() * d.initialHealth / 100;
    c.RebuildHealthGauge();
    if (c.IsWizard() && c.army == g_localArmy) g_wizardFacePanel.UpdateHealthGauge(c.health);
    if (c.health == 0) {
      c.OnKilled();
      return false;
    }
  }
  if (d.initialMana >= 0) {
    c.AddMana(-(c.maxMana * 256));
    c.AddMana(c.maxMana * d.initialMana / 100 * 256);
  }
  if (d.initialPoison) c.AddScore(d.initialPoison);
  if (d.unsummonDuration) c.orderState.dissolve = d.unsummonDuration;
  return true;
}

// The items a deployment hands its creature, each with its object type's four values.
void GiveItems(CCreature& c, const ScriptDeploymentPart& d) {
  for (int kind : d.artefact) {
    if (kind == -1) continue;
    int32_t values[4] = {};
    ObjectValues(kind, values);
    c.AddEvent(kind, values[0], values[1], values[2], values[3], 1);
  }
}

// The creature's post and wandering: an army without a wizard, or a guard, stays near the
// cell it came to.
void ApplyBehaviour(CCreature& c, const ScriptDeploymentPart& d) {
  if (!c.OwnerHasNoWizard() && !d.guard) return;
  int32_t* w = c.placementWords;
  const int32_t post[9] = {CWrapCoord::WrapX(c.cellX),
                           CWrapCoord::WrapY(c.cellY),
                           c.level,
                           0,
                           0,
                           c.type ? c.type->WanderDist : 0,
                           c.type ? c.type->WanderDelay : 0,
                           0,
                           d.guard ? 5 : 0};
  std::memcpy(w, post, sizeof post);
  if (d.wanderRange) w[3] = d.wanderRange;
  if (d.wanderMode) w[4] = d.wanderMode;
  if (d.wanderDistance) w[5] = d.wanderDistance;
  if (d.wanderDelay) w[6] = d.wanderDelay;
  if (d.aggression) w[8] = d.aggression;
}

// Whether the computer player holds the creature already: its army has a wizard or a script
// commands it (a creature without an army is nobody's).
bool TakenByComputer(const CCreature& c) {
  if (c.army < 0 || c.army >= kArmyCount) return false;
  return !c.OwnerHasNoWizard() || c.scriptCommand;
}

}  // namespace

void RunDeployment(CScript& script, int record) {
  CScriptEvent& e = script.Event(record);
  const ScriptDeploymentPart& d = e.deployment;
  if (d.deployedArtefact != -1) {
    DeployObject(d);
    script.RearmEvent(record);
    return;
  }
  if (!Named(d.deployedCharacter)) return;  // nothing to deploy: the event stays armed
  e.runState = kScriptRunning;
  const ScriptActor* actor = g_scriptActors.FindByName(d.deployedCharacter);
  if (!actor) return;
  if (CCreature* alive = BoundCreature(actor); alive && actor->state == kActorAliveInBattle) {
    // Alive in the battle already: no second one is summoned.
    script.ApplyCreatureAction(alive->index, record);
    return;
  }
  const Place place = DeploymentPlace(d);
  if (!place.found) {
    if (!g_effectManager.AllocateEffect()) {
      e.runState = kScriptArmed;
      return;
    }
    script.RearmEvent(record);
    return;
  }
  const int kind = IsWizardKind(d.creatureType) ? kSummonWizardEffect : kSummonCreatureEffect;
  // The summoning effect makes the creature and hands it to ApplyCreatureAction, which re-arms.
  if (!StartPlaceEffect(kind, PointOf(place), d.creatureType, record)) e.runState = kScriptArmed;
}

}  // namespace script_actions

void CScript::ApplyCreatureAction(int creature, int eventNumber) {
  using namespace script_actions;
  if (!IsRecord(eventNumber)) return;
  CScriptEvent& e = records[eventNumber];
  CCreature* c = g_creatureArray.InUse(creature);
  if (!c || e.type != kScriptDeployment) {
    RearmEvent(eventNumber);
    return;
  }
  const ScriptDeploymentPart& d = e.deployment;
  ApplyRankAndEquipment(*c, d);
  ApplyConditions(*c, d);
  if (ApplyHealthAndMana(*c, d)) {
    GiveItems(*c, d);
    ApplyBehaviour(*c, d);
    if (d.canCastOnAllies) c->mayCastOnAllies = 1;
    const bool taken = TakenByComputer(*c);
    ScriptActor* actor = g_scriptActors.FindByName(d.deployedCharacter);
    if (actor && (actor->creature < 0 || actor->state == kActorDeadInBattle)) {
      actor->state = kActorAliveInBattle;
      actor->creature = c->index;
      actor->lastCell[0] = c->cellX, actor->lastCell[1] = c->cellY, actor->lastCell[2] = c->level;
      actor->temporary = d.temporary;
      actor->keyCharacter = d.keyCharacter;
      MarkScriptCommanded(c->index);
    }
    if (!taken && c->scriptCommand) {
      g_creatureAI->RegisterCreature(0, c->index);
      if (c->IsWizard()) g_creatureAI->RegisterCreature(1, c->index);
    }
    if (c->nodeRoute.NearestNode() < 0) {
      CLocationRequest location;
      location.x = c->cellX, location.y = c->cellY, location.level = c->level;
      location.mover.creature = c->index;
      location.mover.queryGiven = true;
      location.mover.query = c->MakeMoveQuery();
      c->nodeRoute.NearestNode() = g_pathNetwork.FindNearestReachableNode(location);
    }
    PlaySound(e, c->cellX, c->cellY);
  }
  RearmEvent(eventNumber);
}

void CScript::OnSummonFailed(int eventNumber) {
  if (!IsRecord(eventNumber)) return;
  const CScriptEvent& e = records[eventNumber];
  // Only a deployment still waiting for its creature: a late or stray report changes nothing.
  if (e.type != kScriptDeployment || e.runState != kScriptRunning || e.prePauseLeft > 0) return;
  RearmEvent(eventNumber);
}
