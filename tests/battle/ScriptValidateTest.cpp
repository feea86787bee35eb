// The script validator on small scripts, one per group of messages: every fault of an event is
// told in its own "SCRIPT ERROR" box, in the order of the checks, each text exactly.
#include <string>
#include <vector>

#include "ScriptTestWorld.h"

namespace script_test {
namespace {

using Texts = std::vector<std::string>;

class ScriptValidate : public ScriptWorld {
 protected:
  void SetUp() override {
    ScriptWorld::SetUp();
    AddArea("Ford", 2, 2, 0, 4, 4, 0);
    UseArmy(0, "Edric");
    UseArmy(1, "Ysbail");
  }
  // The texts of the boxes the script shows while it is read and prepared.
  Texts Validate(const std::string& script) {
    testing_support::BoxRecorder boxes;
    g_validateScripts = 1;
    Load(script);
    g_validateScripts = 0;
    Texts texts;
    for (const platform::MessageBoxCall& box : boxes.Boxes()) {
      EXPECT_EQ(box.caption, "SCRIPT ERROR") << box.text;
      texts.push_back(box.text);
    }
    return texts;
  }
};

TEST_F(ScriptValidate, CommandEvents) {
  const std::string script =
      Event(1, "EventType=COMMAND\nDestinationType=RANDOM") +
      Event(2, "EventType=COMMAND\nCommandCharacter=Bran\nDestinationLocation=Ford") +
      Event(3,
            "EventType=COMMAND\nCommandCharacter=Edric\nDestinationType=PORTAL\nGiveArtefact=True\n"
            "DestinationCharacter=Ghost") +
      Event(4,
            "EventType=COMMAND\nCommandCharacter=Herald\nDestinationType=LOCATION\nDestinationLocation=Nowhere\n"
            "SpellToCast=8\nTargetCharacter=Edric\nTargetLocation=Ford") +
      Event(5,
            "EventType=COMMAND\nCommandCharacter=Edric\nDestinationType=CHARACTER\nDestinationCharacter=Ghost\n"
            "DropArtefact=True\nCommandArtefact=3\nSpellToCast=8\nSpellTarget=CHARACTER\nTargetCharacter=Ghost") +
      Event(6,
            "EventType=COMMAND\nCommandCharacter=Edric\nDestinationType=ARTEFACT\nSpellToCast=8\n"
            "SpellTarget=LOCATION\nTargetLocation=Nowhere") +
      Event(7,
            "EventType=COMMAND\nCommandCharacter=Edric\nDropArtefact=True\nCommandArtefact=2\nSpellToCast=8\n"
            "SpellTarget=SELF") +
      // A portal that opens at a character with no range is no destination; one with a
      // range is.
      Event(8, "EventType=PORTAL\nPortalPosition=CHARACTER\nPortalCharacter=Edric") +
      Event(9, "EventType=COMMAND\nCommandCharacter=Edric\nDestinationType=PORTAL");
  EXPECT_EQ(Validate(script), (Texts{
                                  "Script 1:No command character specified",
                                  "Script 1:Destination Type invalid",
                                  "Script 2:Command Character never deployed",
                                  "Script 2:Destination Type not specified",
                                  "Script 2:No Destination or spell set",
                                  "Script 3:Destination a portal but no portal deployed",
                                  "Script 3:Artefact to drop/give  not specified",
                                  "Script 3:No character to give artefact to",
                                  "Script 4:Destination Location doesn't exist",
                                  "Script 4:No Spell Target set",
                                  "Script 4:Target Character set but target type different",
                                  "Script 4:Target Location set but target type different",
                                  "Script 5:Destination Character never deployed",
                                  "Script 5:Target Character not deployed",
                                  "Script 6:Destination Artefact not specified",
                                  "Script 6:Target Location doesn't exist",
                                  "Script 7:No destination location set to drop artefact",
                                  "Script 9:Destination a portal but no portal deployed",
                              }));
  EXPECT_EQ(Validate(script + Event(10,
                                    "EventType=PORTAL\nPortalPosition=CHARACTER\nPortalCharacter=Edric\n"
                                    "RangeFromCharacter=3")),
            (Texts{
                "Script 1:No command character specified",
                "Script 1:Destination Type invalid",
                "Script 2:Command Character never deployed",
                "Script 2:Destination Type not specified",
                "Script 2:No Destination or spell set",
                "Script 3:Artefact to drop/give  not specified",
                "Script 3:No character to give artefact to",
                "Script 4:Destination Location doesn't exist",
                "Script 4:No Spell Target set",
                "Script 4:Target Character set but target type different",
                "Script 4:Target Location set but target type different",
                "Script 5:Destination Character never deployed",
                "Script 5:Target Character not deployed",
                "Script 6:Destination Artefact not specified",
                "Script 6:Target Location doesn't exist",
                "Script 7:No destination location set to drop artefact",
            }));
}

TEST_F(ScriptValidate, DialogueDeploymentAndPortalEvents) {
  EXPECT_EQ(
      Validate(Event(1, "EventType=DIALOGUE\nSpeakingCharacter=Ghost\nSpeechLocation=Nowhere") +
               // Edric and the messenger count as deployed without any event bringing them in.
               Event(2, "EventType=DIALOGUE\nSpeakingCharacter=Edric\nSpeech=Onward.") +
               Event(3, "EventType=DIALOGUE\nSpeakingCharacter=Herald\nSpeech=News.") +
               Event(4, "EventType=DEPLOYMENT") +
               Event(5, "EventType=DEPLOYMENT\nDeployedCharacter=Bran\nDeployedArmy=Nobody\nDeploymentType=RANDOM") +
               Event(6,
                     "EventType=DEPLOYMENT\nDeployedCharacter=Edric\nDeployedArmy=Edric\nCreatureType=5\n"
                     "DeploymentType=CHARACTER\nDeployNextToCharacter=Ghost") +
               Event(7,
                     "EventType=DEPLOYMENT\nDeployedArtefact=4\nDeploymentType=LOCATION\n"
                     "DeploymentLocation=Nowhere") +
               Event(8, "EventType=DEPLOYMENT\nDeployedArtefact=4\nDeploymentType=ARTEFACT") +
               Event(9, "EventType=PORTAL\nPortalPosition=LOCATION\nPortalLocation=Nowhere") +
               Event(10, "EventType=PORTAL\nPortalPosition=CHARACTER\nPortalCharacter=Ghost") +
               Event(11, "EventType=PORTAL\nPortalPosition=ARTEFACT") + Event(12, "EventType=PORTAL") +
               Event(13, "EventType=PORTAL\nPortalPosition=CHARACTER\nPortalCharacter=Bran")),
      (Texts{
          "Script 1:Speaking Character not deployed",
          "Script 1:Speech Location doesn't exist",
          "Script 1:No Speech set",
          "Script 4:Neither a character or artefact set to be deployed",
          "Script 4:Deployment Type invalid",
          "Script 5:Deployment Type invalid",
          "Script 5:Deployed Army doesn't exist",
          "Script 5:Creature Type Not Set",
          "Script 6:Character to deploy next to not deployed",
          "Script 7:Deployment Location doesn't exist",
          "Script 8:Deployment artefact not set",
          "Script 9:Portal Location doesn't exist",
          "Script 10:Portal Character not deployed",
          "Script 11:Portal artefact not set",
          "Script 12:Portal Position not set",
      }));
}

TEST_F(ScriptValidate, TrapEvents) {
  EXPECT_EQ(
      Validate(Event(1, "EventType=TRAP\nTerrainEvent=CREATION\nTrapTargetLocation=Nowhere") +
               Event(2, "EventType=TRAP\nTerrainEvent=COLLAPSE\nTrapTargetLocation=Ford") + Event(3, "EventType=TRAP") +
               Event(4, "EventType=TRAP\nTrapTargetCharacter=Ghost\nPoisonCharacter=5") +
               Event(5,
                     "EventType=TRAP\nTrapSpell=8\nTrapTarget=CHARACTER\nTrapTargetCharacter=Ghost\n"
                     "SourceLocation=Nowhere") +
               Event(6, "EventType=TRAP\nTrapSpell=8\nTrapTarget=LOCATION\nTrapTargetLocation=Nowhere") +
               Event(7, "EventType=TRAP\nTrapSpell=8\nTrapTarget=CREATURE_TYPE") +
               // A trap set off by a death needs no place.
               Event(8,
                     "EventType=TRAP\nTrapSpell=8\nTrapTarget=ACTIVE\nTriggerTarget=CHARACTER\n"
                     "TriggerCharacter=Edric\nDeathActivate=True") +
               Event(9, "EventType=TRAP\nTrapSpell=8\nTrapTarget=NONE")),
      (Texts{
          "Script 1:Trap Location doesn't exist",
          "Script 1:Created terrain not specified",
          "Script 3:No trap event type specified",
          "Script 3:No Trap Data for Character specified",
          "Script 4:Trap Event Character not deployed",
          "Script 5:Trap target Character not deployed",
          "Script 5:Source Location doesn't exist",
          "Script 6:Trap target Location doesn't exist",
          "Script 7:No trigger Target set",
          "Script 7:Trigger Location doesn't exist",
          "Script 9:Invalid Trap target",
      }));
}

TEST_F(ScriptValidate, DiplomacyExperienceFlagAndTypeEvents) {
  EXPECT_EQ(Validate(Event(1, "EventType=DIPLOMACY\nNewArmy=Nobody\nDiplomacyCharacter=Ghost") +
                     Event(2, "EventType=DIPLOMACY\nHostileArmy=Nobody\nDiplomacyArmy=Nobody") +
                     Event(3, "EventType=DIPLOMACY\nFriendlyArmy=Nobody\nDiplomacyArmy=Edric") +
                     Event(4, "EventType=DIPLOMACY\nViewArmy=Ysbail\nDiplomacyArmy=Nobody") +
                     Event(5, "EventType=DIPLOMACY") +
                     Event(6, "EventType=EXPERIENCE\nExperienceType=CHARACTER\nExperienceCharacter=Ghost") +
                     Event(7,
                           "EventType=EXPERIENCE\nExperienceType=LOCATION\nExperienceLocation=Nowhere\n"
                           "ExperienceText=Well done\nExperiencePoints=10") +
                     Event(8,
                           "EventType=EXPERIENCE\nExperienceType=ARTEFACT\nExperienceText=Found\n"
                           "ExperiencePoints=-5") +
                     Event(9, "EventType=FLAG") + Event(10, "EventType=FLAG\nSetFlag=60") +
                     Event(11, "EventType=FLAG\nClearFlag=60\nSetFlag=2") + Event(12, "EventType=NULL") +
                     Event(13, "EventType=SOMETHING")),
            (Texts{
                // An unknown type is told while the file is read and leaves a NULL event.
                "Script 13:No valid event type",
                "Script 1:New Army doesn't exist",
                "Script 1:Diplomacy Character not deployed",
                "Script 2:Hostile Army doesn't exist",
                "Script 2:Diplomacy Army doesn't exist",
                "Script 3:Friendly Army doesn't exist",
                "Script 4:Diplomacy Army doesn't exist",
                "Script 5:Diplomacy event not specified",
                "Script 6:Experience Character not deployed",
                "Script 6:Experience Text not specified",
                "Script 6:Experience points not specified",
                "Script 7:Experience Location doesn't exist",
                "Script 8:Experience Artefact not specified",
                "Script 8:Experience points not specified",
                "Script 9:No valid flag event set",
                "Script 10:Invalid Set Flag",
                "Script 11:Invalid Clear Flag",
            }));
}

TEST_F(ScriptValidate, TheChecksEveryEventShares) {
  EXPECT_EQ(Validate(Event(1, "EventType=NULL\nComplete1=8\nComplete2=200\nComplete3=7\nInComplete1=2\nInComplete2=1") +
                     "[EVENT_2]\nValid=False\n" +
                     Event(3,
                           "EventType=NULL\nDependentCharacter=Ghost\nDependentLocation=Nowhere\n"
                           "RangeCharacter=Ghost\nCharactersArtefact=4") +
                     Event(4,
                           "EventType=NULL\nDependentCharacter=Ghost\nDependentCharacterStatus=DEAD_IN_CAMPAIGN\n"
                           "CharactersArtefact=4\nDependentArtefactStatus=POSSESSED") +
                     Event(5,
                           "EventType=NULL\nDependentArtefact=4\nPossessingArmy=Nobody\nArtefactLocation=Nowhere\n"
                           "ChangedLocation=Nowhere") +
                     Event(6,
                           "EventType=NULL\nTriggerTarget=CHARACTER\nTriggerCharacter=Ghost\nTriggerLocation=Nowhere\n"
                           "TriggerArmy=Nobody\nSafeArmy=Nobody") +
                     Event(7, "EventType=NULL\nTriggerLocation=Ford\nFirstArmy=Nobody\nSecondArmy=Nobody") +
                     "[EVENT_8]\nValid=False\n"),
            (Texts{
                // Section 8 is there but not valid, 200 lies beyond the capacity, section 2 is not valid.
                "Script 1:Invalid completion dependancy",
                "Script 1:Invalid completion dependancy",
                "Script 1:Invalid incompletion dependancy",
                "Script 3:Dependant Character not deployed",
                "Script 3:Dependant Location doesn't exist",
                "Script 3:Range Character not deployed",
                "Script 3:No valid state specified for characters artefact",
                "Script 5:Possessing Army doesn't exist",
                "Script 5:Artefact Location doesn't exist",
                "Script 5:Changed Location doesn't exist",
                "Script 6:Trigger Character not deployed",
                "Script 6:Trigger Location doesn't exist",
                "Script 6:Trigger Army doesn't exist",
                "Script 6:Safe Army doesn't exist",
                "Script 7:Trigger Target not specified",
                "Script 7:First Army doesn't exist",
                "Script 7:Second Army doesn't exist",
            }));
}

TEST_F(ScriptValidate, WithoutTheOptionNothingIsShown) {
  testing_support::BoxRecorder boxes;
  Load(Event(1, "EventType=DIALOGUE\nSpeakingCharacter=Ghost") + Event(3, "EventType=FLAG"));
  EXPECT_EQ(boxes.Count(), 0u);
}

}  // namespace
}  // namespace script_test
