// The check of a freshly read script against the battle, for script authors: every event in
// use is checked by its type and then by the conditions all events share, and every fault is
// told in its own "SCRIPT ERROR" box. Nothing is changed.
#include <cstring>
#include <string>

#include "battle/Script.h"
#include "core/ErrorBox.h"
#include "creatures/Armies.h"
#include "platform/MessageBox.h"

namespace {

bool Named(const char* field) { return field[0] != '\0'; }

bool SameName(const char* a, const char* b) { return std::strncmp(a, b, kScriptNameSize) == 0; }

class ScriptValidator {
 public:
  ScriptValidator(const CScript& script, int record)
      : script_(script), e_(script.Event(record)), section_(record + 1) {}

  void Run() {
    switch (e_.type) {
      case kScriptCommand:
        Command();
        break;
      case kScriptDialogue:
        Dialogue();
        break;
      case kScriptDeployment:
        Deployment();
        break;
      case kScriptPortal:
        Portal();
        break;
      case kScriptTrap:
        Trap();
        break;
      case kScriptDiplomacy:
        Diplomacy();
        break;
      case kScriptExperience:
        Experience();
        break;
      case kScriptFlag:
        Flag();
        break;
      case kScriptNull:
        break;
      default:
        Tell(":No valid event type");
        break;
    }
    Common();
  }

 private:
  void Tell(const char* message) const { ShowScriptError(section_, message); }
  void TellWhen(bool fault, const char* message) const {
    if (fault) Tell(message);
  }

  // Deployed: a DEPLOYMENT in use brings the character in, or it is the messenger or the
  // player's wizard.
  bool Deployed(const char* name) const {
    if (!Named(name)) return false;
    if (SameName(name, "Herald") || SameName(name, "Edric")) return true;
    for (int r = 0; r < script_.eventCount; ++r) {
      const CScriptEvent& other = script_.Event(r);
      if (other.inUse && other.type == kScriptDeployment && SameName(other.deployment.deployedCharacter, name))
        return true;
    }
    return false;
  }
  static bool LocationExists(const char* name) {
    int x, y, z;
    return GetAreaCentreByName(name, x, y, z);
  }
  static bool ArmyExists(const char* name) { return g_armyTable.FindByName(name) != nullptr; }
  // A name given that is not deployed / an area or army given that does not exist.
  void GivenNotDeployed(const char* name, const char* message) const {
    TellWhen(Named(name) && !Deployed(name), message);
  }
  void GivenMissingLocation(const char* name, const char* message) const {
    TellWhen(Named(name) && !LocationExists(name), message);
  }
  void GivenMissingArmy(const char* name, const char* message) const {
    TellWhen(Named(name) && !ArmyExists(name), message);
  }
  bool PortalDeployed() const {
    for (int r = 0; r < script_.eventCount; ++r) {
      const CScriptEvent& other = script_.Event(r);
      if (other.inUse && other.type == kScriptPortal &&
          (other.portal.portalPosition != 2 || other.portal.rangeFromCharacter != 0))
        return true;
    }
    return false;
  }

  void Command() const {
    const ScriptCommandPart& c = e_.command;
    if (!Named(c.commandCharacter))
      Tell(":No command character specified");
    else if (!Deployed(c.commandCharacter))
      Tell(":Command Character never deployed");
    switch (c.destinationType) {
      case 0:
        TellWhen(Named(c.destinationCharacter) || Named(c.destinationLocation) || c.destinationArtefact != -1,
                 ":Destination Type not specified");
        break;
      case 1:
        TellWhen(!Deployed(c.destinationCharacter), ":Destination Character never deployed");
        break;
      case 2:
        TellWhen(!LocationExists(c.destinationLocation), ":Destination Location doesn't exist");
        break;
      case 3:
        TellWhen(c.destinationArtefact == -1, ":Destination Artefact not specified");
        break;
      case 5:
        TellWhen(!PortalDeployed(), ":Destination a portal but no portal deployed");
        break;
      default:
        Tell(":Destination Type invalid");
        break;
    }
    if (c.dropArtefact || c.giveArtefact) {
      TellWhen(c.commandArtefact == -1, ":Artefact to drop/give  not specified");
      TellWhen(c.dropArtefact && c.destinationType == 0, ":No destination location set to drop artefact");
      TellWhen(c.giveArtefact && !Deployed(c.destinationCharacter), ":No character to give artefact to");
    }
    TellWhen(c.destinationType == 0 && c.spellToCast == -1, ":No Destination or spell set");
    if (c.spellToCast != -1) {
      TellWhen(c.spellTarget == 0, ":No Spell Target set");
      TellWhen(c.spellTarget == 1 && !Deployed(c.targetCharacter), ":Target Character not deployed");
      TellWhen(c.spellTarget == 2 && !LocationExists(c.targetLocation), ":Target Location doesn't exist");
      TellWhen(Named(c.targetCharacter) && c.spellTarget != 1, ":Target Character set but target type different");
      TellWhen(Named(c.targetLocation) && c.spellTarget != 2, ":Target Location set but target type different");
    }
  }

  void Dialogue() const {
    const ScriptDialoguePart& d = e_.dialogue;
    GivenNotDeployed(d.speakingCharacter, ":Speaking Character not deployed");
    GivenMissingLocation(d.speechLocation, ":Speech Location doesn't exist");
    TellWhen(!Named(d.speech), ":No Speech set");
  }

  void Deployment() const {
    const ScriptDeploymentPart& d = e_.deployment;
    TellWhen(d.deployedArtefact == -1 && !Named(d.deployedCharacter),
             ":Neither a character or artefact set to be deployed");
    switch (d.deploymentType) {
      case 1:
        TellWhen(!Deployed(d.deployNextToCharacter), ":Character to deploy next to not deployed");
        break;
      case 2:
        TellWhen(!LocationExists(d.deploymentLocation), ":Deployment Location doesn't exist");
        break;
      case 3:
        TellWhen(d.deployNextToArtefact == -1, ":Deployment artefact not set");
        break;
      default:
        Tell(":Deployment Type invalid");
        break;
    }
    if (Named(d.deployedCharacter)) {
      TellWhen(!ArmyExists(d.deployedArmy), ":Deployed Army doesn't exist");
      TellWhen(d.creatureType == -1, ":Creature Type Not Set");
    }
  }

  void Portal() const {
    const ScriptPortalPart& p = e_.portal;
    switch (p.portalPosition) {
      case 1:
        TellWhen(!LocationExists(p.portalLocation), ":Portal Location doesn't exist");
        break;
      case 2:
        TellWhen(!Deployed(p.portalCharacter), ":Portal Character not deployed");
        break;
      case 3:
        TellWhen(p.portalArtefact == -1, ":Portal artefact not set");
        break;
      default:
        Tell(":Portal Position not set");
        break;
    }
  }

  void Trap() const {
    const ScriptTrapPart& t = e_.trap;
    if (t.trapSpell == -1) {
      if (t.terrainEvent) {
        TellWhen(!LocationExists(t.trapTargetLocation), ":Trap Location doesn't exist");
        TellWhen(t.terrainEvent == 3 && t.createdTerrain == 0, ":Created terrain not specified");
      } else {
        if (!Named(t.trapTargetCharacter))
          Tell(":No trap event type specified");
        else if (!Deployed(t.trapTargetCharacter))
          Tell(":Trap Event Character not deployed");
        TellWhen(t.poisonCharacter == 0 && t.promotion == 0, ":No Trap Data for Character specified");
      }
      return;
    }
    switch (t.trapTarget) {
      case 1:
        TellWhen(!Deployed(t.trapTargetCharacter), ":Trap target Character not deployed");
        break;
      case 2:
        TellWhen(!LocationExists(t.trapTargetLocation), ":Trap target Location doesn't exist");
        break;
      case 6:
      case 7:
        TellWhen(e_.triggerTarget != 1 && e_.triggerTarget != 6, ":No trigger Target set");
        if (!(e_.deathActivate && !Named(e_.triggerLocation)))
          TellWhen(!LocationExists(e_.triggerLocation), ":Trigger Location doesn't exist");
        break;
      default:
        Tell(":Invalid Trap target");
        break;
    }
    GivenMissingLocation(t.sourceLocation, ":Source Location doesn't exist");
  }

  void Diplomacy() const {
    const ScriptDiplomacyPart& d = e_.diplomacy;
    if (Named(d.newArmy)) {
      TellWhen(!ArmyExists(d.newArmy), ":New Army doesn't exist");
      TellWhen(!Deployed(d.diplomacyCharacter), ":Diplomacy Character not deployed");
      return;
    }
    if (Named(d.hostileArmy))
      TellWhen(!ArmyExists(d.hostileArmy), ":Hostile Army doesn't exist");
    else if (Named(d.friendlyArmy))
      TellWhen(!ArmyExists(d.friendlyArmy), ":Friendly Army doesn't exist");
    else if (Named(d.viewArmy))
      TellWhen(!ArmyExists(d.viewArmy), ":View Army doesn't exist");
    else {
      Tell(":Diplomacy event not specified");
      return;
    }
    TellWhen(!ArmyExists(d.diplomacyArmy), ":Diplomacy Army doesn't exist");
  }

  void Experience() const {
    const ScriptExperiencePart& x = e_.experience;
    TellWhen(x.experienceType == 1 && !Deployed(x.experienceCharacter), ":Experience Character not deployed");
    TellWhen(x.experienceType == 2 && !LocationExists(x.experienceLocation), ":Experience Location doesn't exist");
    TellWhen(x.experienceType == 3 && x.experienceArtefact == -1, ":Experience Artefact not specified");
    TellWhen(!Named(x.experienceText), ":Experience Text not specified");
    TellWhen(x.experiencePoints <= 0, ":Experience points not specified");
  }

  void Flag() const {
    const ScriptFlagPart& f = e_.flag;
    TellWhen(f.clearFlag < 0 && f.setFlag < 0, ":No valid flag event set");
    TellWhen(f.clearFlag < 0 && f.setFlag >= kScriptFlagCount, ":Invalid Set Flag");
    TellWhen(f.clearFlag >= kScriptFlagCount, ":Invalid Clear Flag");
  }

  // A completion number names an event in use (1-based).
  bool NamesEventInUse(int number) const {
    return number >= 1 && number <= script_.capacity && script_.Event(number - 1).inUse;
  }

  void Common() const {
    for (int number : e_.complete) TellWhen(number != 0 && !NamesEventInUse(number), ":Invalid completion dependancy");
    for (int number : e_.inComplete)
      TellWhen(number != 0 && !NamesEventInUse(number), ":Invalid incompletion dependancy");
    if (Named(e_.dependentCharacter)) {
      const int status = e_.dependentCharacterStatus;
      TellWhen(status != 3 && status != 5 && !Deployed(e_.dependentCharacter), ":Dependant Character not deployed");
      GivenMissingLocation(e_.dependentLocation, ":Dependant Location doesn't exist");
      GivenNotDeployed(e_.rangeCharacter, ":Range Character not deployed");
      TellWhen(e_.charactersArtefact != -1 && e_.dependentArtefactStatus != 2 && e_.dependentArtefactStatus != 3,
               ":No valid state specified for characters artefact");
    }
    if (e_.dependentArtefact != -1) {
      GivenMissingArmy(e_.possessingArmy, ":Possessing Army doesn't exist");
      GivenMissingLocation(e_.artefactLocation, ":Artefact Location doesn't exist");
    }
    GivenMissingLocation(e_.changedLocation, ":Changed Location doesn't exist");
    if (e_.triggerTarget) {
      GivenNotDeployed(e_.triggerCharacter, ":Trigger Character not deployed");
      GivenMissingLocation(e_.triggerLocation, ":Trigger Location doesn't exist");
      GivenMissingArmy(e_.triggerArmy, ":Trigger Army doesn't exist");
      GivenMissingArmy(e_.safeArmy, ":Safe Army doesn't exist");
    } else {
      TellWhen(Named(e_.triggerCharacter) || Named(e_.triggerLocation) || e_.deathActivate,
               ":Trigger Target not specified");
    }
    GivenMissingArmy(e_.firstArmy, ":First Army doesn't exist");
    GivenMissingArmy(e_.secondArmy, ":Second Army doesn't exist");
  }

  const CScript& script_;
  const CScriptEvent& e_;
  int section_;
};

}  // namespace

void ShowScriptError(int section, const std::string& message) {
  const std::string text = "Script " + std::to_string(section) + message;
  platform::ShowMessageBox(text.c_str(), "SCRIPT ERROR", WarningBoxFlags());
}

void ValidateScriptEvents(const CScript& script) {
  for (int r = 0; r < script.eventCount && r < script.capacity; ++r)
    if (script.Event(r).inUse) ScriptValidator(script, r).Run();
}
