// The defaults of a script event record: what an event holds before its section is read.
#include "battle/ScriptEvent.h"

#include <cstring>

void CScriptEvent::Reset() {
  std::memset(this, 0, sizeof *this);
  snapshotStart = -1;
  graphic = sound = -1;
  minimumDifficulty = maximumDifficulty = -1;
  flagSet = flagClear = -1;
  regionComplete = regionIncomplete = -1;
  charactersArtefact = dependentArtefact = -1;
  triggerCreatureType = excludeCreatureType = -1;
  isAligned = notAligned = 3;
  interfaceSpell = creatureSelected = -1;
}

void CScriptEvent::ResetCommand() {
  std::memset(typeBytes, 0, sizeof typeBytes);
  command.threshold = command.rating = -1.0f;
  command.destinationArtefact = command.commandArtefact = -1;
  command.spellToCast = command.targetCreatureType = -1;
}

void CScriptEvent::ResetDialogue() {
  std::memset(typeBytes, 0, sizeof typeBytes);
  dialogue.speakerStatus = 1;
  dialogue.speechArtefact = dialogue.tutorialSpell = dialogue.tutorialSelected = -1;
}

void CScriptEvent::ResetDeployment() {
  std::memset(typeBytes, 0, sizeof typeBytes);
  deployment.deployedArtefact = deployment.deployNextToArtefact = deployment.creatureType = -1;
  deployment.initialHealth = deployment.initialMana = -1;
  for (int32_t& item : deployment.artefact) item = -1;
}

void CScriptEvent::ResetTypePart(int eventType) {
  std::memset(typeBytes, 0, sizeof typeBytes);
  switch (eventType) {
    case kScriptCommand:
      ResetCommand();
      break;
    case kScriptDialogue:
      ResetDialogue();
      break;
    case kScriptDeployment:
      ResetDeployment();
      break;
    case kScriptPortal:
      portal.portalArtefact = portal.portalCountDown = -1;
      break;
    case kScriptTrap:
      trap.trapSpell = -1;
      break;
    case kScriptExperience:
      experience.itemGained = experience.experienceArtefact = -1;
      break;
    case kScriptFlag:
      flag.setFlag = flag.clearFlag = -1;
      break;
    default:
      break;
  }
}
