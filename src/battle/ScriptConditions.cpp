// The conditions of a script event, tested in a fixed order; the first that fails decides.
#include <algorithm>
#include <cstring>

#include "battle/Script.h"
#include "battle/ScriptActors.h"
#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "graphics/BattleFacing.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

bool Named(const char* field) { return field[0] != '\0'; }

bool SameName(const char* a, const char* b) { return std::strncmp(a, b, kScriptNameSize) == 0; }

// Percent of a maximum that is at least 1.
int Percent(int value, int maximum) { return value * 100 / std::max(maximum, 1); }
int ManaPercent(const CCreature& c) { return Percent(c.mana >> 8, c.maxMana >> 8); }
int HealthPercent(const CCreature& c) { return Percent(c.health, c.GetMaxHealth()); }

// A bound of 0 is no bound.
bool Within(int value, int minimum, int maximum) {
  return (minimum == 0 || value >= minimum) && (maximum == 0 || value <= maximum);
}

// Character statuses: 1 alive in the battle, 2-5 that state, 6 was deployed in the battle
// (alive, dead or exited), 7 not alive in the battle; 0 no test.
bool StatusHolds(int status, int state) {
  switch (status) {
    case 1:
      return state == kActorAliveInBattle;
    case 2:
    case 3:
    case 4:
    case 5:
      return state == status;
    case 6:
      return state == kActorAliveInBattle || state == kActorDeadInBattle || state == kActorExited;
    case 7:
      return state != kActorAliveInBattle;
    default:
      return true;
  }
}

bool CarriesItem(const CCreature& c, int kind) {
  for (const CCreatureEvent& entry : c.events)
    if (entry.active && entry.kind == kind) return true;
  return false;
}

// A flag or region test names its number: one outside the table never holds.
bool FlagTestHolds(const CScriptEvent& e) {
  if (e.flagSet != -1 && !g_scriptActors.FlagSet(e.flagSet)) return false;
  if (e.flagClear != -1 && (e.flagClear < 0 || e.flagClear >= kScriptFlagCount || g_scriptActors.FlagSet(e.flagClear)))
    return false;
  if (e.regionComplete != -1 && !g_scriptActors.RegionSet(e.regionComplete)) return false;
  if (e.regionIncomplete != -1 && (e.regionIncomplete < 0 || e.regionIncomplete >= kRegionCompletionBytes ||
                                   g_scriptActors.RegionSet(e.regionIncomplete)))
    return false;
  return true;
}

bool InterfaceHolds(const CScriptEvent& e, int command, int id1, int id2) {
  if (command != e.interfaceCommand) return false;
  switch (command) {
    case kCommandSpellSelected:
    case kCommandSpellCast:
      return e.interfaceSpell == -1 || e.interfaceSpell == id1;
    case kCommandCreatureSelected:
    case kCommandMovementOrder:
    case kCommandAttackOrder:
    case kCommandDragSelection:
      return e.creatureSelected == -1 || e.creatureSelected == id2;
    default:
      return true;
  }
}

bool ArmiesHold(const CScriptEvent& e) {
  if (!Named(e.firstArmy) || !Named(e.secondArmy)) return true;
  const CArmy* first = g_armyTable.FindByName(e.firstArmy);
  const CArmy* second = g_armyTable.FindByName(e.secondArmy);
  if (!first || !second) return true;
  const bool allied = first->alliance[second->index] != 0;
  return e.hostile ? !allied : allied;
}

int CountObjects(int kind, const char* area) {
  int found = 0;
  g_scriptObjects->ForEachObject(kind, [&](int x, int y, int z) {
    if (!area || g_script.IsPointInNamedArea(area, x, y, z)) ++found;
    return true;
  });
  return found;
}

}  // namespace

bool CScript::CheckConditions(int record, int kind, int creature, int, int command, int id1, int id2) {
  if (!IsRecord(record)) return false;
  const CScriptEvent& e = records[record];
  const int tick = BattleState().gameTick;
  if (e.timeElapsed && tick < e.timeElapsed) return false;
  if (e.timeLimit && tick > e.timeLimit) return false;
  if (!CompletionHolds(e)) return false;
  if (e.minimumDifficulty != -1 && g_difficulty < e.minimumDifficulty) return false;
  if (e.maximumDifficulty != -1 && g_difficulty > e.maximumDifficulty) return false;
  if (!FlagTestHolds(e)) return false;
  if (Named(e.dependentCharacter) && !DependentCharacterHolds(e)) return false;
  if (e.dependentArtefact != -1 && !ArtefactHolds(e, kind)) return false;
  if (Named(e.changedLocation) && !TerrainHolds(e)) return false;
  if (e.triggerTarget && !TriggerCreatureHolds(e, kind, creature)) return false;
  if (e.interfaceCommand && !InterfaceHolds(e, command, id1, id2)) return false;
  if (!ArmiesHold(e)) return false;
  return TypeHolds(e);
}

bool CScript::CompletionHolds(const CScriptEvent& e) const {
  auto retired = [&](int number) { return records[number - 1].runState == kScriptRetired; };
  auto named = [&](int number) { return number >= 1 && number <= capacity && records[number - 1].inUse; };
  if (e.complete[0]) {
    bool anyRetired = false, anyLeft = false;
    for (int number : e.complete) {
      if (!named(number)) continue;
      (retired(number) ? anyRetired : anyLeft) = true;
    }
    if (e.allComplete ? anyLeft : !anyRetired) return false;
  }
  if (e.inComplete[0]) {
    bool anyRetired = false, anyLeft = false;
    for (int number : e.inComplete) {
      if (!named(number)) continue;
      (retired(number) ? anyRetired : anyLeft) = true;
    }
    if (e.allInComplete ? anyRetired : !anyLeft) return false;
  }
  return true;
}

bool CScript::DependentCharacterHolds(const CScriptEvent& e) const {
  const ScriptActor* actor = g_scriptActors.FindByName(e.dependentCharacter);
  if (!actor || !StatusHolds(e.dependentCharacterStatus, actor->state)) return false;
  const CCreature* c = actor->creature >= 0 ? g_creatureArray.InUse(actor->creature) : nullptr;
  if (!c) {
    if (e.minimumMana || e.maximumMana || e.minimumHealth || e.maximumHealth || e.characterDiscovered) return false;
    if (Named(e.dependentLocation) && !e.notAtLocation) return false;
    if (Named(e.rangeCharacter) && !e.outOfRange) return false;
    return !(e.charactersArtefact != -1 && e.dependentArtefactStatus == 2);
  }
  if (!Within(ManaPercent(*c), e.minimumMana, e.maximumMana)) return false;
  if (!Within(HealthPercent(*c), e.minimumHealth, e.maximumHealth)) return false;
  if (Named(e.dependentLocation) && IsCreatureInNamedArea(e.dependentLocation, c->index) == (e.notAtLocation != 0))
    return false;
  // Only the local army's sighting counts: the light of this machine's view would make the
  // test differ between machines and between a recording and its playback.
  if (e.characterDiscovered &&
      !(g_localArmy >= 0 && g_localArmy < kSightingArmyCount && c->sightingCounters[g_localArmy] != 0))
    return false;
  if (Named(e.rangeCharacter) && e.range) {
    if (c->health == 0) {
      if (!e.outOfRange) return false;
    } else {
      const ScriptActor* other = g_scriptActors.FindByName(e.rangeCharacter);
      const CCreature* o = other && other->creature >= 0 ? g_creatureArray.InUse(other->creature) : nullptr;
      const bool near = o && o->health > 0 &&
                        e.range >= MapWrappedDistance(c->cellX, c->cellY, c->level, o->cellX, o->cellY, o->level) / 2;
      if (near == (e.outOfRange != 0)) return false;
    }
  }
  if (e.charactersArtefact != -1) {
    if (e.dependentArtefactStatus == 2 && !CarriesItem(*c, e.charactersArtefact)) return false;
    if (e.dependentArtefactStatus == 3 && CarriesItem(*c, e.charactersArtefact)) return false;
  }
  return true;
}

bool CScript::ArtefactHolds(const CScriptEvent& e, int kind) const {
  const int wanted = std::max(1, e.artefactNumber);
  switch (e.artefactStatus) {
    case 1:
      return CountObjects(e.dependentArtefact, nullptr) >= wanted;
    case 2:
      return !Named(e.possessingArmy) || ArmyHasArtefact(e.dependentArtefact, e.artefactNumber, e.possessingArmy);
    case 3:
      return !Named(e.possessingArmy) || !ArmyHasArtefact(e.dependentArtefact, e.artefactNumber, e.possessingArmy);
    case 4:
      return CountObjects(e.dependentArtefact, e.artefactLocation) >= wanted;
    case 5:
      return kind == kOccasionUsed && e.artefactEventCount >= e.artefactNumber;
    case 6:
      return kind == kOccasionPickedUp && e.artefactEventCount >= e.artefactNumber;
    default:
      return true;
  }
}

bool CScript::TerrainHolds(const CScriptEvent& e) const {
  bool changed = false;
  int index = e.snapshotStart;
  if (index >= 0)
    ForEachNamedAreaCell(e.changedLocation, [&](int x, int y, int z) {
      if (index >= kScriptSnapshotWords) return false;
      if (g_map.CellAt(x, y, z).terrain != snapshot[index++]) changed = true;
      return !changed;
    });
  return changed == (e.change != 0);
}

bool CScript::TriggerCreatureHolds(const CScriptEvent& e, int kind, int creature) const {
  const CCreature* c = g_creatureArray.InUse(creature);
  if (!c || c->typeNumber == creature_kind::kUnseen || !c->type) return false;
  if (e.triggerTarget == 1) {
    const ScriptActor* actor = g_scriptActors.FindByName(e.triggerCharacter);
    if (!actor || actor->creature != creature) return false;
  }
  const bool wizardKind = IsWizardType(c->typeNumber);
  if (e.triggerTarget == 6 && e.triggerCreatureType != -1 && e.triggerCreatureType != c->typeNumber &&
      !(e.triggerCreatureType == 0 && wizardKind))
    return false;
  if (e.excludeCreatureType != -1 &&
      (c->typeNumber == e.excludeCreatureType || (e.excludeCreatureType == 0 && wizardKind)))
    return false;
  if (e.deathActivate && kind != kOccasionDeath) return false;
  const CCreatureType& type = *c->type;
  if (e.isAligned != 3 && type.alignment != e.isAligned) return false;
  if (e.notAligned != 3 && type.alignment == e.notAligned) return false;
  if (!Within(c->magicResistance, e.minMR, e.maxMR)) return false;
  if (!Within(c->intelligence, e.minIntelligence, e.maxIntelligence)) return false;
  if (!Within(HealthPercent(*c), e.minTriggerHealth, e.maxTriggerHealth)) return false;
  if (!Within(ManaPercent(*c), e.minTriggerMana, e.maxTriggerMana)) return false;
  if (!Within(type.Weight, e.minWeight, e.maxWeight)) return false;
  if (!Within(c->stepSpeed, e.minSpeed, e.maxSpeed)) return false;
  if (Named(e.triggerArmy) && !CreatureArmyIs(creature, e.triggerArmy)) return false;
  if (Named(e.safeArmy) && CreatureArmyIs(creature, e.safeArmy)) return false;
  const bool moving = c->movement[0] != 0, flying = c->orderState.flying != 0;
  if (e.movementState == 1 && !(moving && !flying)) return false;
  if (e.movementState == 2 && !(moving && flying)) return false;
  if (e.undeadState == 1 && !c->undead) return false;
  if (e.undeadState == 2 && c->undead) return false;
  if (e.visibleState == 1 && c->invisible != 0) return false;
  if (e.visibleState == 2 && c->invisible == 0) return false;
  return true;
}

bool CScript::TypeHolds(const CScriptEvent& e) const {
  if (e.type == kScriptDialogue && Named(e.dialogue.speakingCharacter)) {
    const ScriptActor* actor = g_scriptActors.FindByName(e.dialogue.speakingCharacter);
    if (!actor) return true;
    // The messenger speaks whenever it is sent for.
    if (e.dialogue.speakerStatus == 1 && SameName(actor->name, "Herald")) return true;
    return StatusHolds(e.dialogue.speakerStatus, actor->state);
  }
  if (e.type == kScriptDeployment) {
    const ScriptActor* actor = g_scriptActors.FindByName(e.deployment.deployedCharacter);
    if (!actor || actor->state == kActorAliveInBattle || actor->state == kActorAliveInCampaign) return true;
    return SameName(e.dependentCharacter, e.deployment.deployedCharacter) &&
           e.dependentCharacterStatus == kActorDeadInBattle;
  }
  return true;
}
