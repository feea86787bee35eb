// The script file of a campaign region: sections EVENT_1 .. EVENT_182, one an event, read key
// by key into the records of the script. Every value is cut at its first ';'; integers,
// flags and keywords count their first word only. A missing file, section or key leaves the
// record's default. With ValidateScripts on, a gap in the numbering and a missing or unknown
// event type are told in a "SCRIPT ERROR" box.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "battle/Script.h"
#include "battle/ScriptKeywords.h"
#include "core/ErrorBox.h"
#include "core/Options.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"

namespace {

// One section of the file, read key by key with the profile reader.
class SectionReader {
 public:
  SectionReader(const std::string& path, int section) : path_(path), section_("EVENT_" + std::to_string(section)) {}

  // The value cut at its first ';'; empty when the key is missing.
  std::string Raw(std::string_view key) const {
    char buffer[kScriptTextSize];
    platform::ReadProfileString(section_, key, "", buffer, sizeof buffer, path_);
    std::string value = buffer;
    const size_t comment = value.find(';');
    if (comment != std::string::npos) value.resize(comment);
    return value;
  }
  // The first word of the value (cut at the first blank).
  std::string Word(std::string_view key) const {
    std::string value = Raw(key);
    const size_t blank = value.find_first_of(" \t");
    if (blank != std::string::npos) value.resize(blank);
    return value;
  }

  void Int(std::string_view key, int32_t& field) const {
    const std::string word = Word(key);
    if (!word.empty()) field = script_keywords::LeadingInt(word);
  }
  void Flag(std::string_view key, int32_t& field) const {
    if (script_keywords::HasTrue(Word(key))) field = 1;
  }
  void Keyword(std::string_view key, const script_keywords::List& list, int32_t& field) const {
    const std::string word = Word(key);
    if (!word.empty()) script_keywords::Match(word, list, field);
  }
  void Ranged(std::string_view key, int low, int high, int32_t& field) const {
    const std::string word = Word(key);
    if (word.empty()) return;
    const int value = script_keywords::LeadingInt(word);
    field = value >= low && value <= high ? value : -1;
  }
  void CreatureType(std::string_view key, int32_t& field) const { Ranged(key, 0, 27, field); }
  void Spell(std::string_view key, int32_t& field) const { Ranged(key, 1, 103, field); }
  // Worked in double and rounded to single precision once: a single-precision product of
  // two rounded factors misses the nearest single for about a third of the values.
  void Percent(std::string_view key, float& field) const {
    const std::string word = Word(key);
    if (!word.empty()) field = static_cast<float>((script_keywords::LeadingInt(word) - 50) * 0.02);
  }
  // Names and texts keep their blanks; a longer value is cut to the field.
  template <size_t N>
  void Text(std::string_view key, char (&field)[N]) const {
    const std::string value = Raw(key);
    if (value.empty()) return;
    std::snprintf(field, N, "%s", value.c_str());
  }

 private:
  const std::string& path_;
  std::string section_;
};

void ReadCommon(const SectionReader& in, CScriptEvent& e) {
  namespace k = script_keywords;
  in.Int("NumberOfActions", e.actionsLeft);
  in.Int("PrePause", e.prePause);
  e.prePauseLeft = e.prePause;
  in.Int("PostPause", e.postPause);
  e.postPauseLeft = e.postPause;
  in.Int("Graphic", e.graphic);
  in.Int("Sound", e.sound);
  in.Int("SoundDelay", e.soundDelay);
  e.soundDelayLeft = e.soundDelay;
  in.Int("TimeElapsed", e.timeElapsed);
  in.Int("TimeLimit", e.timeLimit);
  for (int i = 0; i < 5; ++i) in.Int("Complete" + std::to_string(i + 1), e.complete[i]);
  in.Flag("AllComplete", e.allComplete);
  for (int i = 0; i < 5; ++i) in.Int("InComplete" + std::to_string(i + 1), e.inComplete[i]);
  in.Flag("AllInComplete", e.allInComplete);
  in.Int("MinimumDifficulty", e.minimumDifficulty);
  in.Int("MaximumDifficulty", e.maximumDifficulty);
  in.Int("FlagSet", e.flagSet);
  in.Int("FlagClear", e.flagClear);
  in.Int("RegionComplete", e.regionComplete);
  in.Int("RegionIncomplete", e.regionIncomplete);
  in.Text("DependentCharacter", e.dependentCharacter);
  in.Keyword("DependentCharacterStatus", k::kCharacterStatus, e.dependentCharacterStatus);
  in.Int("MinimumMana", e.minimumMana);
  in.Int("MaximumMana", e.maximumMana);
  in.Int("MinimumHealth", e.minimumHealth);
  in.Int("MaximumHealth", e.maximumHealth);
  in.Text("DependentLocation", e.dependentLocation);
  in.Flag("NotAtLocation", e.notAtLocation);
  in.Flag("CharacterDiscovered", e.characterDiscovered);
  in.Text("RangeCharacter", e.rangeCharacter);
  in.Int("Range", e.range);
  in.Flag("OutOfRange", e.outOfRange);
  in.Int("CharactersArtefact", e.charactersArtefact);
  in.Keyword("DependentArtefactStatus", k::kArtefactStatus, e.dependentArtefactStatus);
  in.Int("DependentArtefact", e.dependentArtefact);
  in.Keyword("ArtefactStatus", k::kArtefactStatus, e.artefactStatus);
  in.Int("ArtefactNumber", e.artefactNumber);
  in.Text("PossessingArmy", e.possessingArmy);
  in.Text("ArtefactLocation", e.artefactLocation);
  in.Text("ChangedLocation", e.changedLocation);
  in.Flag("Change", e.change);
  in.Keyword("TriggerTarget", k::kTriggerTarget, e.triggerTarget);
  in.CreatureType("TriggerCreatureType", e.triggerCreatureType);
  in.CreatureType("ExcludeCreatureType", e.excludeCreatureType);
  in.Text("TriggerCharacter", e.triggerCharacter);
  in.Text("TriggerLocation", e.triggerLocation);
  in.Flag("DeathActivate", e.deathActivate);
  in.Keyword("IsAligned", k::kAlignment, e.isAligned);
  in.Keyword("NotAligned", k::kAlignment, e.notAligned);
  in.Int("MinMR", e.minMR);
  in.Int("MaxMR", e.maxMR);
  in.Int("MinIntelligence", e.minIntelligence);
  in.Int("MaxIntelligence", e.maxIntelligence);
  in.Int("MinTriggerHealth", e.minTriggerHealth);
  in.Int("MaxTriggerHealth", e.maxTriggerHealth);
  in.Int("MinTriggerMana", e.minTriggerMana);
  in.Int("MaxTriggerMana", e.maxTriggerMana);
  in.Int("MinWeight", e.minWeight);
  in.Int("MaxWeight", e.maxWeight);
  in.Int("MinSpeed", e.minSpeed);
  in.Int("MaxSpeed", e.maxSpeed);
  in.Text("TriggerArmy", e.triggerArmy);
  in.Text("SafeArmy", e.safeArmy);
  in.Keyword("MovementState", k::kMovementState, e.movementState);
  in.Keyword("UndeadState", k::kUndeadState, e.undeadState);
  in.Keyword("VisibleState", k::kVisibleState, e.visibleState);
  in.Keyword("InterfaceCommand", k::kInterfaceCommand, e.interfaceCommand);
  in.Spell("InterfaceSpell", e.interfaceSpell);
  in.CreatureType("CreatureSelected", e.creatureSelected);
  in.Text("FirstArmy", e.firstArmy);
  in.Text("SecondArmy", e.secondArmy);
  in.Flag("Hostile", e.hostile);
}

void ReadCommand(const SectionReader& in, ScriptCommandPart& c) {
  namespace k = script_keywords;
  in.Text("CommandCharacter", c.commandCharacter);
  in.Flag("Interrupt", c.interrupt);
  in.Percent("Threshold", c.threshold);
  in.Percent("Rating", c.rating);
  in.Keyword("DestinationType", k::kDestinationType, c.destinationType);
  in.Text("DestinationCharacter", c.destinationCharacter);
  in.Text("DestinationLocation", c.destinationLocation);
  in.Int("DestinationArtefact", c.destinationArtefact);
  in.Int("RangeToArtefact", c.rangeToArtefact);
  in.Flag("SafeRoute", c.safeRoute);
  in.Flag("DropArtefact", c.dropArtefact);
  in.Flag("GiveArtefact", c.giveArtefact);
  in.Int("CommandArtefact", c.commandArtefact);
  in.Spell("SpellToCast", c.spellToCast);
  in.Keyword("SpellTarget", k::kSpellTarget, c.spellTarget);
  in.Text("TargetCharacter", c.targetCharacter);
  in.Text("TargetLocation", c.targetLocation);
  in.CreatureType("TargetCreatureType", c.targetCreatureType);
  in.Flag("ManaBoost", c.manaBoost);
}

void ReadDialogue(const SectionReader& in, ScriptDialoguePart& d) {
  namespace k = script_keywords;
  in.Text("SpeakingCharacter", d.speakingCharacter);
  in.Text("SpeakerName", d.speakerName);
  in.Keyword("SpeakerStatus", k::kCharacterStatus, d.speakerStatus);
  in.Text("SpeechLocation", d.speechLocation);
  in.Int("SpeechArtefact", d.speechArtefact);
  in.Int("DialogueIndex", d.dialogueIndex);
  in.Int("ScrollType", d.scrollType);
  in.Text("Portrait", d.portrait);
  in.Flag("Disembodied", d.disembodied);
  in.Flag("Illuminate", d.illuminate);
  in.Flag("DontScrollBack", d.dontScrollBack);
  in.Flag("HeraldWait", d.heraldWait);
  in.Flag("HeraldAtCharacter", d.heraldAtCharacter);
  in.Text("Speech", d.speech);
  in.Keyword("TutorialCommand", k::kInterfaceCommand, d.tutorialCommand);
  in.Spell("TutorialSpell", d.tutorialSpell);
  in.CreatureType("TutorialSelected", d.tutorialSelected);
}

void ReadDeployment(const SectionReader& in, ScriptDeploymentPart& d) {
  namespace k = script_keywords;
  in.Text("DeployedCharacter", d.deployedCharacter);
  in.Flag("Temporary", d.temporary);
  in.Text("DeployedArmy", d.deployedArmy);
  in.Int("DeployedArtefact", d.deployedArtefact);
  in.Keyword("DeploymentType", k::kDeploymentType, d.deploymentType);
  in.Text("DeployNextToCharacter", d.deployNextToCharacter);
  in.Text("DeploymentLocation", d.deploymentLocation);
  in.Int("DeployNextToArtefact", d.deployNextToArtefact);
  in.Flag("Wizard", d.wizard);
  if (d.wizard) d.creatureType = 0;
  in.CreatureType("CreatureType", d.creatureType);
  in.Keyword("Rank", k::kRank, d.rank);
  in.Keyword("Equipment", k::kEquipment, d.equipment);
  in.Flag("Illusion", d.illusion);
  in.Flag("Undead", d.undead);
  in.Int("Invisibility", d.invisibility);
  in.Int("BloodLust", d.bloodLust);
  in.Int("IronSkin", d.ironSkin);
  in.Int("Haste", d.haste);
  in.Int("Levitation", d.levitation);
  in.Int("GorgonStare", d.gorgonStare);
  in.Int("EarthBind", d.earthBind);
  in.Int("InitialHealth", d.initialHealth);
  in.Int("InitialMana", d.initialMana);
  in.Int("InitialPoison", d.initialPoison);
  in.Int("UnsummonDuration", d.unsummonDuration);
  for (int i = 0; i < 3; ++i) in.Int("Artefact" + std::to_string(i + 1), d.artefact[i]);
  in.Flag("Guard", d.guard);
  in.Int("WanderRange", d.wanderRange);
  in.Int("WanderDistance", d.wanderDistance);
  in.Int("WanderDelay", d.wanderDelay);
  in.Int("Aggression", d.aggression);
  int32_t mode = d.wanderMode;
  in.Int("WanderMode", mode);
  if (mode >= 0 && mode <= 3) d.wanderMode = mode;
  in.Flag("CanCastOnAllies", d.canCastOnAllies);
  in.Flag("KeyCharacter", d.keyCharacter);
}

void ReadPortal(const SectionReader& in, ScriptPortalPart& p) {
  in.Keyword("PortalPosition", script_keywords::kPortalPosition, p.portalPosition);
  in.Text("PortalCharacter", p.portalCharacter);
  in.Int("RangeFromCharacter", p.rangeFromCharacter);
  in.Text("PortalLocation", p.portalLocation);
  in.Int("PortalArtefact", p.portalArtefact);
  in.Int("PortalCountDown", p.portalCountDown);
}

void ReadTrap(const SectionReader& in, ScriptTrapPart& t) {
  namespace k = script_keywords;
  in.Text("TrapTargetCharacter", t.trapTargetCharacter);
  in.Text("TrapTargetLocation", t.trapTargetLocation);
  in.Spell("TrapSpell", t.trapSpell);
  in.Text("SourceLocation", t.sourceLocation);
  in.Keyword("TrapTarget", k::kTrapTarget, t.trapTarget);
  in.Keyword("TerrainEvent", k::kTerrainEvent, t.terrainEvent);
  in.Int("CreatedTerrain", t.createdTerrain);
  in.Int("PoisonCharacter", t.poisonCharacter);
  in.Keyword("Promotion", k::kRank, t.promotion);
}

void ReadDiplomacy(const SectionReader& in, ScriptDiplomacyPart& d) {
  in.Text("DiplomacyCharacter", d.diplomacyCharacter);
  in.Text("NewArmy", d.newArmy);
  in.Text("DiplomacyArmy", d.diplomacyArmy);
  in.Text("HostileArmy", d.hostileArmy);
  in.Text("FriendlyArmy", d.friendlyArmy);
  in.Text("ViewArmy", d.viewArmy);
  in.Flag("CanView", d.canView);
}

void ReadExperience(const SectionReader& in, ScriptExperiencePart& x) {
  in.Int("ExperiencePoints", x.experiencePoints);
  in.Text("ExperienceText", x.experienceText);
  in.Int("ItemGained", x.itemGained);
  in.Keyword("ExperienceType", script_keywords::kExperienceType, x.experienceType);
  in.Text("ExperienceCharacter", x.experienceCharacter);
  in.Text("ExperienceLocation", x.experienceLocation);
  in.Int("ExperienceArtefact", x.experienceArtefact);
  in.Flag("Centre", x.centre);
}

void ReadTypePart(const SectionReader& in, CScriptEvent& e) {
  switch (e.type) {
    case kScriptCommand:
      ReadCommand(in, e.command);
      break;
    case kScriptDialogue:
      ReadDialogue(in, e.dialogue);
      break;
    case kScriptDeployment:
      ReadDeployment(in, e.deployment);
      break;
    case kScriptPortal:
      ReadPortal(in, e.portal);
      break;
    case kScriptTrap:
      ReadTrap(in, e.trap);
      break;
    case kScriptDiplomacy:
      ReadDiplomacy(in, e.diplomacy);
      break;
    case kScriptExperience:
      ReadExperience(in, e.experience);
      break;
    case kScriptFlag:
      in.Int("SetFlag", e.flag.setFlag);
      in.Int("ClearFlag", e.flag.clearFlag);
      break;
    default:
      break;
  }
}

void ReadEvent(const SectionReader& in, int section, CScriptEvent& e) {
  e.inUse = 1;
  const std::string type = in.Word("EventType");
  if (type.empty()) {
    if (g_validateScripts) ShowScriptError(section, ":No event type");
  } else if (!script_keywords::Match(type, script_keywords::kEventType, e.type) && g_validateScripts) {
    ShowScriptError(section, ":No valid event type");
  }
  e.ResetTypePart(e.type);
  ReadCommon(in, e);
  ReadTypePart(in, e);
}

}  // namespace

std::string ScriptFileName(const char* realm, int region) {
  std::string path = platform::CurrentDirectory();
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += "\\";
  return path + "realms\\" + realm + "\\" + realm + "Script" + std::to_string(region) + ".cfg";
}

void LoadScriptEventsFrom(CScript& script, const std::string& path) {
  script.Clear();
  bool previousPresent = true;
  for (int section = 1; section <= script.capacity; ++section) {
    const SectionReader in(path, section);
    // Any value makes the section count; only a first word holding "True" puts it in use.
    if (in.Raw("Valid").empty()) {
      previousPresent = false;
      continue;
    }
    // The count is the highest section found, so that no event hides behind a gap; the gap
    // is still told to the script's author.
    script.eventCount = section;
    if (!previousPresent && g_validateScripts) {
      const std::string message = ":Event " + std::to_string(section - 1) + " missing";
      ShowScriptError(section, message.c_str());
    }
    previousPresent = true;
    if (script_keywords::HasTrue(in.Word("Valid"))) ReadEvent(in, section, script.Event(section - 1));
  }
}

void LoadScriptEvents(const char* realm, int region) { LoadScriptEventsFrom(g_script, ScriptFileName(realm, region)); }
