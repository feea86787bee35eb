// The campaign's battle scripts. Region 1 of the moorland is the castle on the moor: Edric
// comes up the moor road to the castle of the enemy wizard Ysbail, who is brought in with her
// guards once the opening words are spoken, while Captain Bran joins Edric (his fall loses the
// battle). The east wall falls after a while, lightning strikes those who walk the moor road,
// the wandering folk at the standing stones turn to Edric's side, Ysbail is sent to meet him,
// and when she is dead a portal opens by the castle for Edric to leave through. Flags chain the
// opening: the speech sets flag 1, the deployments flag 2, the fallen wall flag 3, and the
// chain ends with flag 5. (Region 0, where direct starts begin, has no script.)
#include "forge/Forge.h"
#include "forge/ScriptWriter.h"

namespace forge {

namespace {

namespace k = script_keywords;

constexpr int kNull = 0, kCommand = 1, kDialogue = 2, kDeployment = 3, kPortal = 4, kTrap = 5, kDiplomacy = 6,
              kExperience = 8, kFlag = 9;
constexpr int kLightning = 71;
constexpr int kWizardKind = 25, kPhoenix = 6, kElf = 3, kHero = 5;

ScriptEventKeys Speech(int section, const char* speaker, const char* text) {
  ScriptEventKeys e(section, kDialogue);
  if (*speaker) e.Text("SpeakingCharacter", speaker).Text("SpeakerName", speaker);
  e.Text("Speech", text);
  return e;
}

}  // namespace

std::vector<ScriptEventKeys> MoorlandCastleScript() {
  std::vector<ScriptEventKeys> s;
  // 1-2: the opening words, then flag 1.
  s.push_back(Speech(1, "Edric",
                     "The castle of Ysbail stands before us on the moor. Her guards will not let us pass "
                     "freely, but the wandering folk of the stones may yet ride with us.")
                  .Int("TimeElapsed", 1)
                  .Keyword("SpeakerStatus", k::kCharacterStatus, 0)
                  .Int("DialogueIndex", 1));
  s.push_back(ScriptEventKeys(2, kFlag).Int("Complete1", 1).Int("SetFlag", 1));
  // 3-6: the enemy wizard in her hall with two guards; the player's captain beside Edric.
  s.push_back(ScriptEventKeys(3, kDeployment)
                  .Int("FlagSet", 1)
                  .Text("DeployedCharacter", "Ysbail")
                  .Text("DeployedArmy", "Ysbail")
                  .Flag("Wizard")
                  .Int("CreatureType", kWizardKind)
                  .Keyword("DeploymentType", k::kDeploymentType, 2)
                  .Text("DeploymentLocation", "Castle Keep")
                  .Flag("Guard")
                  .Int("Aggression", 3)
                  .Int("Sound", 701));
  s.push_back(ScriptEventKeys(4, kDeployment)
                  .Int("Complete1", 3)
                  .Text("DeployedCharacter", "Hall Guard")
                  .Text("DeployedArmy", "Ysbail")
                  .Int("CreatureType", kPhoenix)
                  .Keyword("DeploymentType", k::kDeploymentType, 1)
                  .Text("DeployNextToCharacter", "Ysbail")
                  .Keyword("Rank", k::kRank, 1)
                  .Flag("Guard")
                  .Flag("Temporary"));
  s.push_back(ScriptEventKeys(5, kDeployment)
                  .Int("Complete1", 3)
                  .Text("DeployedCharacter", "Gate Guard")
                  .Text("DeployedArmy", "Ysbail")
                  .Int("CreatureType", kElf)
                  .Keyword("DeploymentType", k::kDeploymentType, 2)
                  .Text("DeploymentLocation", "Castle Gate")
                  .Keyword("Equipment", k::kEquipment, 2)
                  .Flag("Guard")
                  .Int("WanderRange", 3)
                  .Flag("Temporary"));
  s.push_back(ScriptEventKeys(6, kDeployment)
                  .Int("FlagSet", 1)
                  .Text("DeployedCharacter", "Captain Bran")
                  .Text("DeployedArmy", "Edric")
                  .Int("CreatureType", kHero)
                  .Keyword("DeploymentType", k::kDeploymentType, 1)
                  .Text("DeployNextToCharacter", "Edric")
                  .Keyword("Equipment", k::kEquipment, 1)
                  .Int("InitialHealth", 100)
                  .Flag("KeyCharacter"));
  // 7-8: both sides stand: flag 2, and the captain speaks while he lives.
  s.push_back(ScriptEventKeys(7, kFlag).Int("Complete1", 3).Int("Complete2", 6).Flag("AllComplete").Int("SetFlag", 2));
  s.push_back(Speech(8, "Captain Bran", "I will keep your back, my lord. Should I fall, our cause falls with me.")
                  .Int("FlagSet", 2)
                  .Keyword("SpeakerStatus", k::kCharacterStatus, 1)
                  .Int("PostPause", 20));
  // 9-11: a while after, the east wall falls; the fallen wall is worth experience.
  s.push_back(ScriptEventKeys(9, kFlag).Int("Complete1", 7).Int("PrePause", 100).Int("SetFlag", 3));
  s.push_back(ScriptEventKeys(10, kTrap)
                  .Int("FlagSet", 3)
                  .Text("TrapTargetLocation", "East Wall")
                  .Keyword("TerrainEvent", k::kTerrainEvent, 1)
                  .Int("Sound", 812));
  s.push_back(ScriptEventKeys(11, kExperience)
                  .Text("ChangedLocation", "East Wall")
                  .Flag("Change")
                  .Int("ExperiencePoints", 50)
                  .Text("ExperienceText", "The east wall of the castle has fallen.")
                  .Keyword("ExperienceType", k::kExperienceType, 2)
                  .Text("ExperienceLocation", "East Wall")
                  .Flag("Centre"));
  // 12: lightning from the watch tower on Edric's creatures walking the moor road.
  s.push_back(ScriptEventKeys(12, kTrap)
                  .Int("NumberOfActions", 3)
                  .Int("PostPause", 60)
                  .Keyword("TriggerTarget", k::kTriggerTarget, 6)
                  .Text("TriggerLocation", "Moor Road")
                  .Text("TriggerArmy", "Edric")
                  .Keyword("MovementState", k::kMovementState, 1)
                  .Int("TrapSpell", kLightning)
                  .Keyword("TrapTarget", k::kTrapTarget, 6)
                  .Text("SourceLocation", "Watch Tower"));
  // 13-15: Edric at the standing stones turns the wandering folk to his side.
  s.push_back(ScriptEventKeys(13, kDiplomacy)
                  .Keyword("TriggerTarget", k::kTriggerTarget, 1)
                  .Text("TriggerCharacter", "Edric")
                  .Text("TriggerLocation", "Standing Stones")
                  .Text("FriendlyArmy", "WANDERING")
                  .Text("DiplomacyArmy", "Edric")
                  .Text("ViewArmy", "WANDERING")
                  .Flag("CanView"));
  s.push_back(Speech(14, "", "The wandering folk of the moor will ride with you, wizard.")
                  .Int("Complete1", 13)
                  .Text("SpeakerName", "Wanderer")
                  .Text("SpeechLocation", "Standing Stones")
                  .Flag("Disembodied"));
  s.push_back(ScriptEventKeys(15, kExperience)
                  .Int("Complete1", 13)
                  .Int("ExperiencePoints", 100)
                  .Text("ExperienceText", "The wandering folk are your allies.")
                  .Keyword("ExperienceType", k::kExperienceType, 1)
                  .Text("ExperienceCharacter", "Edric"));
  // 16: Ysbail is sent to meet Edric once the wall is down.
  s.push_back(ScriptEventKeys(16, kCommand)
                  .Int("FlagSet", 3)
                  .Text("CommandCharacter", "Ysbail")
                  .Int("Threshold", 80)
                  .Int("Rating", 90)
                  .Keyword("DestinationType", k::kDestinationType, 1)
                  .Text("DestinationCharacter", "Edric")
                  .Int("SpellToCast", kLightning)
                  .Keyword("SpellTarget", k::kSpellTarget, 1)
                  .Text("TargetCharacter", "Edric"));
  // 17-19: her death opens a portal at the stone for Edric, and is worth experience.
  s.push_back(ScriptEventKeys(17, kPortal)
                  .Text("DependentCharacter", "Ysbail")
                  .Keyword("DependentCharacterStatus", k::kCharacterStatus, 2)
                  .Keyword("PortalPosition", k::kPortalPosition, 1)
                  .Text("PortalLocation", "Portal Stone")
                  .Int("PortalCountDown", 900)
                  .Int("Sound", 813));
  s.push_back(Speech(18, "", "A portal opens by the standing stone. Go through it, Edric, before it closes!")
                  .Int("Complete1", 17)
                  .Text("SpeakerName", "Herald")
                  .Text("SpeechLocation", "Portal Stone")
                  .Flag("Illuminate"));
  s.push_back(ScriptEventKeys(19, kExperience)
                  .Text("DependentCharacter", "Ysbail")
                  .Keyword("DependentCharacterStatus", k::kCharacterStatus, 2)
                  .Int("ExperiencePoints", 250)
                  .Text("ExperienceText", "Ysbail is defeated.")
                  .Keyword("ExperienceType", k::kExperienceType, 2)
                  .Text("ExperienceLocation", "Castle Keep"));
  // 20-21: the gate reached (a marker event) closes the opening chain with flag 5.
  s.push_back(ScriptEventKeys(20, kNull)
                  .Keyword("TriggerTarget", k::kTriggerTarget, 1)
                  .Text("TriggerCharacter", "Edric")
                  .Text("TriggerLocation", "Castle Gate"));
  s.push_back(ScriptEventKeys(21, kFlag).Int("Complete1", 10).Int("Complete2", 20).Int("SetFlag", 5));
  return s;
}

namespace {

FORGE_STEP(CampaignScripts) {
  ctx.WriteText("realms\\moorland\\moorlandScript1.cfg",
                ScriptFileText("The castle on the moor: the battle script of region 1", MoorlandCastleScript()));
}

}  // namespace

}  // namespace forge
