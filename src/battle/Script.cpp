// The trigger engine: occasions offered to the events, the running of an event through its
// pauses, its re-arming and retirement, player inputs and the end of a speech.
#include "battle/Script.h"

#include <cstring>

#include "battle/BattleSystems.h"
#include "battle/ScriptActions.h"
#include "battle/ScriptActors.h"
#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "graphics/BattleFacing.h"
#include "map/Map.h"
#include "net/NetMachine.h"
#include "net/NetMessages.h"
#include "ui/SpeechCtrl.h"

CScript g_script;

namespace {

// The decision type of the scripted command (the computer player's own numbering).
constexpr int kScriptedCommandDecision = 5;
// The per-tick offer of COMMAND events to the computer player, every 20th tick.
constexpr int kCommandOfferTicks = 20;

bool Named(const char* field) { return field[0] != '\0'; }

}  // namespace

HookSlot<IScriptActions> g_scriptActions(&g_scriptActionRunner);

void IScriptActions::RunAction(CScript& script, int record, int) { script.RearmEvent(record); }
void IScriptActions::FinishSpeech() { g_speechCtrl.ReturnCamera(); }

void CScriptSpeechCallback::OnSpeechDone(int eventNumber) {
  g_netClient.AddMessage(MakeWordCommand(MSG_SPEECH_CLOSED, eventNumber));
}

CScript::CScript(int capacity_) : records(new CScriptEvent[static_cast<size_t>(capacity_)]), capacity(capacity_) {
  Clear();
}

void CScript::Clear() {
  for (int r = 0; r < capacity; ++r) records[r].Reset();
  eventCount = 0;
  interfaceWatch = 0;
  std::memset(snapshot, 0, sizeof snapshot);
}

bool CScript::IsLive(int record) const { return record >= 0 && record < eventCount && records[record].inUse; }

// --- occasions ------------------------------------------------------------------------------

void CScript::FireEvent(int kind, int creature, int value, int command, int id1, int id2) {
  // The count is read again on every pass: an action may change what follows.
  switch (kind) {
    case kOccasionTick:
    case kOccasionTriggerCell:
    case kOccasionDeath:
      for (int r = 0; r < eventCount; ++r)
        if (records[r].inUse && MatchEvent(r, kind, creature) && CheckConditions(r, kind, creature, 0, 0, -1, -1))
          RunActions(r, creature);
      return;
    case kOccasionPickedUp:
    case kOccasionUsed:
      for (int r = 0; r < eventCount; ++r) {
        CScriptEvent& e = records[r];
        if (!e.inUse || !MatchEvent(r, kind, creature) || e.dependentArtefact != value) continue;
        if (!Named(e.possessingArmy) || CreatureArmyIs(creature, e.possessingArmy)) ++e.artefactEventCount;
        if (CheckConditions(r, kind, creature, 0, command, id1, id2)) {
          RunActions(r, creature);
          RecomputeInterfaceWatch();
        }
      }
      return;
    case kOccasionInterface:
      for (int r = 0; r < eventCount; ++r)
        if (records[r].inUse && MatchEvent(r, kind, creature) &&
            CheckConditions(r, kind, creature, 0, command, id1, id2)) {
          RunActions(r, creature);
          RecomputeInterfaceWatch();
        }
      return;
    default:
      return;
  }
}

bool CScript::MatchEvent(int record, int kind, int creature) {
  if (!IsRecord(record)) return false;
  const CScriptEvent& e = records[record];
  if (!e.inUse || e.runState != kScriptArmed) return false;
  const bool hasCreature = g_creatureArray.InUse(creature) != nullptr;
  const bool locationHolds = !Named(e.triggerLocation) || IsCreatureInNamedArea(e.triggerLocation, creature);
  switch (kind) {
    case kOccasionTick:
      if (e.type == kScriptCommand) return BattleState().gameTick % kCommandOfferTicks == 0;
      return !e.triggerTarget && !e.interfaceCommand &&
             !(e.dependentArtefact != -1 && (e.artefactStatus == 5 || e.artefactStatus == 6));
    case kOccasionTriggerCell:
      return e.triggerTarget && hasCreature && !e.deathActivate && locationHolds;
    case kOccasionDeath:
      if (e.type == kScriptPortal && Named(e.dependentCharacter) && e.dependentCharacterStatus == kActorDeadInBattle &&
          Named(e.portal.portalCharacter))
        return true;
      return e.triggerTarget && hasCreature && e.deathActivate && locationHolds;
    case kOccasionCommandQuery: {
      if (e.type != kScriptCommand) return false;
      const ScriptActor* actor = g_scriptActors.FindByName(e.command.commandCharacter);
      return actor && creature >= 0 && actor->creature == creature;
    }
    case kOccasionPickedUp:
      return e.dependentArtefact != -1 && e.artefactStatus == 6;
    case kOccasionUsed:
      return e.dependentArtefact != -1 && e.artefactStatus == 5;
    case kOccasionInterface:
      return e.interfaceCommand != 0;
    case kOccasionSpeechEnd:
      return e.type == kScriptDialogue;
    default:
      return false;
  }
}

// --- actions --------------------------------------------------------------------------------

void CScript::RunActions(int record, int creature) {
  if (!IsRecord(record)) return;
  CScriptEvent& e = records[record];
  if (e.type == kScriptCommand) {
    RunCommand(record);
    return;
  }
  if (e.prePauseLeft > 0) {
    e.runState = kScriptRunning;  // ProcessTick runs the actions when the pre-pause ends
    return;
  }
  switch (e.type) {
    case kScriptNull:
      RearmEvent(record);
      break;
    case kScriptFlag:
      RunFlag(record);
      break;
    case kScriptDialogue:
    case kScriptDeployment:
    case kScriptPortal:
    case kScriptTrap:
    case kScriptDiplomacy:
    case kScriptExperience:
      g_scriptActions->RunAction(*this, record, creature);
      break;
    default:
      break;
  }
}

void CScript::RunFlag(int record) {
  const ScriptFlagPart& flag = records[record].flag;
  if (flag.clearFlag >= 0 && flag.clearFlag < kScriptFlagCount) g_scriptActors.SetFlag(flag.clearFlag, false);
  if (flag.setFlag >= 0 && flag.setFlag < kScriptFlagCount) g_scriptActors.SetFlag(flag.setFlag, true);
  RearmEvent(record);
}

// The computer player carries the command out: a decision of its own that the creature's
// group holds is dropped, so that the group is decided again and takes the command up. The
// run state is the computer player's to set.
void CScript::RunCommand(int record) {
  const ScriptActor* actor = g_scriptActors.FindByName(records[record].command.commandCharacter);
  if (!actor || actor->creature < 0) return;
  const int decision = BattleSystems().TopDecisionType(actor->creature);
  if (decision >= 0 && decision != kScriptedCommandDecision) BattleSystems().DropTopDecision(actor->creature);
}

void CScript::RearmEvent(int record) {
  if (!IsRecord(record)) return;
  CScriptEvent& e = records[record];
  if (e.postPauseLeft > 0) {
    e.runState = kScriptRunning;
    return;
  }
  bool retire = false;
  if (e.actionsLeft == 0) {
    retire = true;
  } else if (e.actionsLeft != -1) {
    --e.actionsLeft;
    retire = e.actionsLeft <= 0;
  }
  if (retire) {
    e.runState = kScriptRetired;
    RecomputeInterfaceWatch();
    return;
  }
  e.prePauseLeft = e.prePause;
  e.postPauseLeft = e.postPause;
  e.soundDelayLeft = e.soundDelay;
  e.artefactEventCount = 0;
  e.runState = kScriptArmed;
}

void CScript::ProcessTick() {
  for (int r = 0; r < eventCount; ++r) {
    CScriptEvent& e = records[r];
    if (!e.inUse || e.runState != kScriptRunning) continue;
    if (e.prePauseLeft > 0) {
      if (--e.prePauseLeft == 0) RunActions(r, -1);
    } else if (e.postPauseLeft > 0) {
      if (--e.postPauseLeft == 0) RearmEvent(r);
    } else if (e.type == kScriptCommand) {
      // A command the computer player no longer carries out is offered again, without
      // counting an action.
      const ScriptActor* actor = g_scriptActors.FindByName(e.command.commandCharacter);
      if (!actor || actor->creature < 0 || BattleSystems().TopDecisionType(actor->creature) != kScriptedCommandDecision)
        e.runState = kScriptArmed;
    }
  }
  for (int r = 0; r < eventCount; ++r)
    if (records[r].inUse && records[r].soundDelayLeft > 0) --records[r].soundDelayLeft;
}

// --- player input and speeches -----------------------------------------------------------------

namespace {

bool AnswersTutorial(const CScriptEvent& e, int command, int id1, int id2) {
  if (!e.inUse || e.runState != kScriptRunning || e.type != kScriptDialogue) return false;
  const ScriptDialoguePart& d = e.dialogue;
  if (d.tutorialCommand == 0 || d.tutorialCommand != command) return false;
  if (command == kCommandSpellSelected || command == kCommandSpellCast)
    return d.tutorialSpell == -1 || d.tutorialSpell == id1;
  if (command == kCommandCreatureSelected || command == kCommandMovementOrder || command == kCommandAttackOrder ||
      command == kCommandDragSelection)
    return d.tutorialSelected == -1 || d.tutorialSelected == id2;
  return true;
}

}  // namespace

void CScript::OnInterfaceCommand(int command, int id1, int id2) {
  for (int r = 0; r < eventCount; ++r) {
    CScriptEvent& e = records[r];
    if (!AnswersTutorial(e, command, id1, id2)) continue;
    if (command == kCommandSpellSelected && e.dialogue.tutorialSpell != -1) g_speechBattle->RestoreInterface();
    e.runState = kScriptRetired;
    g_scriptActions->FinishSpeech();
    RecomputeInterfaceWatch();
    break;
  }
  FireEvent(kOccasionInterface, -1, -1, command, id1, id2);
}

void CScript::OnSpeechFinished(int eventNumber) {
  if (!IsRecord(eventNumber)) return;
  CScriptEvent& e = records[eventNumber];
  if (e.postPause > 0) {
    g_scriptActions->FinishSpeech();
    e.postPauseLeft = e.postPause;
    return;
  }
  RearmEvent(eventNumber);
  // A dialogue that follows at once speaks in the same box.
  for (int r = 0; r < eventCount; ++r) {
    if (!records[r].inUse || !MatchEvent(r, kOccasionSpeechEnd, -1) ||
        !CheckConditions(r, kOccasionSpeechEnd, -1, 0, 0, -1, -1))
      continue;
    const bool pausesFirst = records[r].prePauseLeft > 0;
    RunActions(r, -1);
    // The box closes unless the next speech took it: one that waits its pre-pause first, or
    // one that said nothing (it re-armed at once), leaves it to close.
    if (pausesFirst || records[r].runState != kScriptRunning) g_scriptActions->FinishSpeech();
    return;
  }
  g_scriptActions->FinishSpeech();
}

void CScript::RecomputeInterfaceWatch() {
  interfaceWatch = 0;
  for (int r = 0; r < eventCount; ++r) {
    const CScriptEvent& e = records[r];
    if (!e.inUse || e.runState == kScriptRetired) continue;
    if (e.interfaceCommand || (e.type == kScriptDialogue && e.dialogue.tutorialCommand)) interfaceWatch = 1;
  }
}

void CScript::MarkScriptCommanded(int creature) {
  CCreature* c = g_creatureArray.At(creature);
  if (!c) return;
  c->scriptCommand = 0;
  const ScriptActor* actor = g_scriptActors.FindByCreature(creature);
  if (!actor) return;
  for (int r = 0; r < eventCount; ++r) {
    const CScriptEvent& e = records[r];
    if (e.inUse && e.runState != kScriptRetired && e.type == kScriptCommand &&
        std::strncmp(e.command.commandCharacter, actor->name, kScriptNameSize) == 0)
      c->scriptCommand = 1;
  }
}

// --- preparing a freshly read script -------------------------------------------------------------

namespace {

void RegisterNames(const CScriptEvent& e) {
  const char* names[4] = {e.dependentCharacter, e.rangeCharacter, nullptr, nullptr};
  switch (e.type) {
    case kScriptCommand:
      names[2] = e.command.commandCharacter;
      break;
    case kScriptDialogue:
      names[2] = e.dialogue.speakingCharacter;
      break;
    case kScriptDeployment:
      names[2] = e.deployment.deployedCharacter;
      break;
    case kScriptPortal:
      names[2] = e.portal.portalCharacter;
      break;
    case kScriptTrap:
      names[2] = e.trap.trapTargetCharacter;
      break;
    case kScriptDiplomacy:
      names[2] = e.diplomacy.diplomacyCharacter;
      break;
    case kScriptExperience:
      names[2] = e.experience.experienceCharacter;
      break;
    default:
      break;
  }
  for (const char* name : names)
    if (name) g_scriptActors.Register(name);
  if (e.type == kScriptCommand) {
    g_scriptActors.Register(e.command.destinationCharacter);
    g_scriptActors.Register(e.command.targetCharacter);
  }
  if (e.type == kScriptDeployment) g_scriptActors.Register(e.deployment.deployNextToCharacter);
}

}  // namespace

void CScript::Prepare() {
  int taken = 0;
  for (int r = 0; r < eventCount; ++r) {
    CScriptEvent& e = records[r];
    if (!e.inUse) continue;
    RegisterNames(e);
    if (Named(e.changedLocation)) TakeSnapshot(e, taken);
    if (e.interfaceCommand || (e.type == kScriptDialogue && e.dialogue.tutorialCommand)) interfaceWatch = 1;
    if (Named(e.triggerLocation)) MarkTriggerCells(e.triggerLocation);
  }
  // Characters named like an army are that army's wizard.
  for (ScriptActor& actor : g_scriptActors.entries) {
    if (!actor.inUse) continue;
    const CArmy* army = g_armyTable.FindByName(actor.name);
    if (!army || army->wizardCreature < 0 || !g_creatureArray.InUse(army->wizardCreature)) continue;
    actor.creature = army->wizardCreature;
    actor.state = kActorAliveInBattle;
    const CCreature* wizard = g_creatureArray.At(actor.creature);
    actor.lastCell[0] = wizard->cellX;
    actor.lastCell[1] = wizard->cellY;
    actor.lastCell[2] = wizard->level;
    MarkScriptCommanded(actor.creature);
  }
  if (g_validateScripts) ValidateScriptEvents(*this);
}

void CScript::TakeSnapshot(CScriptEvent& e, int& taken) {
  e.snapshotStart = taken;
  ForEachNamedAreaCell(e.changedLocation, [&](int x, int y, int z) {
    if (taken < kScriptSnapshotWords) snapshot[taken++] = g_map.CellAt(x, y, z).terrain;
    return true;
  });
}

void CScript::MarkTriggerCells(const char* area) {
  ForEachNamedAreaCell(area, [](int x, int y, int z) {
    g_map.CellAt(x, y, z).shape |= shape_bits::kScriptTrigger;
    return true;
  });
}
