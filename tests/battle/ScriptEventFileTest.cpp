// The script file reader: its value forms as a table, the section numbering and its
// messages, and the record layout that the battle's saved game keeps.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "battle/Script.h"
#include "battle/ScriptKeywords.h"
#include "core/Options.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

namespace {

using testing_support::BoxRecorder;
using testing_support::TempDir;

// Reads a script text into a fresh script.
class ScriptFile {
 public:
  explicit ScriptFile(const std::string& text) {
    dir_.Write("s.cfg", text);
    platform::FlushProfileCache();
    LoadScriptEventsFrom(script, dir_.File("s.cfg"));
  }
  CScript script;

 private:
  TempDir dir_;
};

std::string Event(int section, const std::string& keys) {
  return "[EVENT_" + std::to_string(section) + "]\nValid=True\n" + keys + "\n";
}

struct FormCase {
  const char* name;
  std::string keys;
  int32_t CScriptEvent::*field;
  int32_t expected;
};

TEST(ScriptEventFileTest, ValueFormsReadAsTheReaderRules) {
  const FormCase cases[] = {
      {"comment cut", "EventType=FLAG\nTimeLimit=120;late", &CScriptEvent::timeLimit, 120},
      {"first word only", "EventType=FLAG\nTimeElapsed=40 60", &CScriptEvent::timeElapsed, 40},
      {"no number reads 0", "EventType=FLAG\nTimeElapsed=soon", &CScriptEvent::timeElapsed, 0},
      {"flag True", "EventType=FLAG\nAllComplete=True", &CScriptEvent::allComplete, 1},
      {"flag inside a word", "EventType=FLAG\nAllComplete=IsTrue", &CScriptEvent::allComplete, 1},
      {"flag TRUE stays 0", "EventType=FLAG\nAllComplete=TRUE", &CScriptEvent::allComplete, 0},
      {"flag False stays 0", "EventType=FLAG\nHostile=False", &CScriptEvent::hostile, 0},
      {"exact keyword first", "EventType=FLAG\nDependentCharacterStatus=NOT_ALIVE_IN_BATTLE",
       &CScriptEvent::dependentCharacterStatus, 7},
      {"substring fallback", "EventType=FLAG\nDependentCharacterStatus=XDEAD_IN_BATTLE",
       &CScriptEvent::dependentCharacterStatus, 2},
      {"two words: NOT UNDEAD", "EventType=FLAG\nUndeadState=NOT UNDEAD", &CScriptEvent::undeadState, 2},
      {"no keyword keeps default", "EventType=FLAG\nIsAligned=CHAOS", &CScriptEvent::isAligned, 3},
      {"alignment", "EventType=FLAG\nNotAligned=VRASK", &CScriptEvent::notAligned, 2},
      {"creature type in range", "EventType=FLAG\nTriggerCreatureType=27", &CScriptEvent::triggerCreatureType, 27},
      {"creature type 28 is -1", "EventType=FLAG\nTriggerCreatureType=28", &CScriptEvent::triggerCreatureType, -1},
      {"creature type -5 is -1", "EventType=FLAG\nExcludeCreatureType=-5", &CScriptEvent::excludeCreatureType, -1},
      {"spell 0 is -1", "EventType=FLAG\nInterfaceSpell=0", &CScriptEvent::interfaceSpell, -1},
      {"spell 103", "EventType=FLAG\nInterfaceSpell=103", &CScriptEvent::interfaceSpell, 103},
      {"missing key keeps default", "EventType=FLAG", &CScriptEvent::minimumDifficulty, -1},
      {"interface command", "EventType=FLAG\nInterfaceCommand=MAP_ROTATED", &CScriptEvent::interfaceCommand, 9},
      {"pre-pause kept twice", "EventType=FLAG\nPrePause=30", &CScriptEvent::prePauseLeft, 30},
      {"unknown type is NULL", "EventType=PARADE", &CScriptEvent::type, 0},
      {"event type", "EventType=EXPERIENCE", &CScriptEvent::type, 8},
  };
  for (const FormCase& c : cases) {
    ScriptFile file(Event(1, c.keys));
    EXPECT_EQ(file.script.Event(0).*c.field, c.expected) << c.name;
  }
}

// A percent weight is the nearest single to (v - 50) x 0.02: every value of 0-100 against the
// double worked out once, and v = 4 by its bits.
TEST(ScriptEventFileTest, PercentWeightsAreTheNearestSingle) {
  std::string text;
  for (int v = 0; v <= 100; ++v) text += Event(v + 1, "EventType=COMMAND\nThreshold=" + std::to_string(v));
  ScriptFile file(text);
  for (int v = 0; v <= 100; ++v)
    EXPECT_EQ(file.script.Event(v).command.threshold, static_cast<float>((v - 50) / 50.0)) << "v = " << v;
  uint32_t bits = 0;
  std::memcpy(&bits, &file.script.Event(4).command.threshold, sizeof bits);
  EXPECT_EQ(bits, 0xbf6b851fu);
}

TEST(ScriptEventFileTest, TypePartsTakeTheirDefaultsAndValues) {
  ScriptFile file(
      Event(1, "EventType=COMMAND\nThreshold=0\nRating=100\nSpellToCast=0\nCommandCharacter=Morvane the Grey") +
      Event(2, "EventType=DEPLOYMENT\nWizard=True\nCreatureType=5\nWanderMode=7\nArtefact2=12") +
      Event(3, "EventType=DEPLOYMENT\nWizard=True") +
      Event(4, "EventType=DIALOGUE\nTutorialSelected=28\nSpeech=Hold the ford; the rest is ours") +
      Event(5, "EventType=COMMAND\nThreshold=50") + Event(6, "EventType=FLAG\nSetFlag=12"));
  const CScript& s = file.script;
  EXPECT_FLOAT_EQ(s.Event(0).command.threshold, -1.0f);
  EXPECT_FLOAT_EQ(s.Event(0).command.rating, 1.0f);
  EXPECT_FLOAT_EQ(s.Event(4).command.threshold, 0.0f);
  EXPECT_FLOAT_EQ(s.Event(4).command.rating, -1.0f);  // the default
  EXPECT_EQ(s.Event(0).command.spellToCast, -1);
  EXPECT_STREQ(s.Event(0).command.commandCharacter, "Morvane the Grey");  // names keep blanks
  EXPECT_EQ(s.Event(1).deployment.creatureType, 5);                       // CreatureType is read after Wizard
  EXPECT_EQ(s.Event(2).deployment.creatureType, 0);                       // Wizard alone makes it a wizard
  EXPECT_EQ(s.Event(1).deployment.wanderMode, 0);                         // 7 is no wander mode
  EXPECT_EQ(s.Event(1).deployment.artefact[0], -1);
  EXPECT_EQ(s.Event(1).deployment.artefact[1], 12);
  EXPECT_EQ(s.Event(1).deployment.initialHealth, -1);
  EXPECT_EQ(s.Event(3).dialogue.tutorialSelected, -1);
  EXPECT_EQ(s.Event(3).dialogue.speakerStatus, 1);
  EXPECT_STREQ(s.Event(3).dialogue.speech, "Hold the ford");  // a text is cut at ';' too
  EXPECT_EQ(s.Event(5).flag.setFlag, 12);
  EXPECT_EQ(s.Event(5).flag.clearFlag, -1);
}

TEST(ScriptEventFileTest, LongNamesAndTextsAreCutToTheirFields) {
  const std::string name(40, 'n'), text(300, 't');
  ScriptFile file(Event(1, "EventType=EXPERIENCE\nDependentCharacter=" + name + "\nExperienceText=" + text));
  EXPECT_EQ(std::string(file.script.Event(0).dependentCharacter), std::string(31, 'n'));
  EXPECT_EQ(std::string(file.script.Event(0).experience.experienceText), std::string(255, 't'));
}

TEST(ScriptEventFileTest, RecordsFollowSectionNumbersAndAGapHidesNothing) {
  const int savedValidate = g_validateScripts;
  g_validateScripts = 1;
  BoxRecorder boxes;
  ScriptFile file(Event(1, "EventType=NULL") + Event(2, "EventType=FLAG") +
                  "[EVENT_3]\nValid=False True\nEventType=FLAG\n" + Event(4, "EventType=TRAP") +
                  Event(6, "EventType=PORTAL") + Event(7, "Sound=4") + Event(8, "EventType=PARADE"));
  g_validateScripts = savedValidate;
  const CScript& s = file.script;
  EXPECT_EQ(s.eventCount, 8);
  EXPECT_EQ(s.Event(2).inUse, 0);  // Valid False (its first word): counted, never in use
  EXPECT_EQ(s.Event(2).type, 0);
  EXPECT_EQ(s.Event(3).type, kScriptTrap);
  EXPECT_EQ(s.Event(3).trap.trapSpell, -1);
  EXPECT_EQ(s.Event(4).inUse, 0);  // no section 5
  EXPECT_EQ(s.Event(5).type, kScriptPortal);
  ASSERT_EQ(boxes.Count(), 3u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "SCRIPT ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, "Script 6:Event 5 missing");
  EXPECT_EQ(boxes.Boxes()[1].text, "Script 7:No event type");
  EXPECT_EQ(boxes.Boxes()[2].text, "Script 8:No valid event type");
}

TEST(ScriptEventFileTest, SectionsOneTwoAndFourGiveFourEventsAndTheMessage) {
  const int savedValidate = g_validateScripts;
  g_validateScripts = 1;
  BoxRecorder boxes;
  ScriptFile file(Event(1, "EventType=FLAG") + Event(2, "EventType=FLAG") + Event(4, "EventType=FLAG"));
  g_validateScripts = savedValidate;
  EXPECT_EQ(file.script.eventCount, 4);
  EXPECT_EQ(file.script.Event(2).inUse, 0);
  EXPECT_EQ(file.script.Event(3).inUse, 1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Script 4:Event 3 missing");
}

TEST(ScriptEventFileTest, WithoutValidationAndWithoutAFileNothingIsTold) {
  BoxRecorder boxes;
  ScriptFile gap(Event(2, "EventType=FLAG"));
  EXPECT_EQ(gap.script.eventCount, 2);
  CScript none;
  LoadScriptEventsFrom(none, "/nonexistent/script.cfg");
  EXPECT_EQ(none.eventCount, 0);
  EXPECT_EQ(boxes.Count(), 0u);
}

TEST(ScriptEventFileTest, TheFileLiesInTheRealmsFolder) {
  const std::string path = ScriptFileName("Moorland", 3);
  EXPECT_NE(path.find("realms\\Moorland\\MoorlandScript3.cfg"), std::string::npos) << path;
}

TEST(ScriptEventFileTest, TheRecordIsLaidOutForTheSavedGame) {
  CScriptEvent e;
  e.Reset();
  e.ResetDialogue();
  e.dialogue.tutorialSelected = 0x01020304;
  const auto* bytes = reinterpret_cast<const unsigned char*>(&e);
  EXPECT_EQ(bytes[1108], 0x04);
  EXPECT_EQ(bytes[1111], 0x01);
  int32_t word;
  std::memcpy(&word, bytes + 32, 4);  // the snapshot start
  EXPECT_EQ(word, -1);
  std::memcpy(&word, bytes + 744, 4);  // SpeakerStatus
  EXPECT_EQ(word, 1);
}

TEST(ScriptEventFileTest, KeywordsMatchWholeWordsFirst) {
  namespace k = script_keywords;
  int32_t value = -9;
  EXPECT_TRUE(k::Match("NOT_ALIVE_IN_BATTLE", k::kCharacterStatus, value));
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(k::Match("ALIVE_IN_BATTLEX", k::kCharacterStatus, value));
  EXPECT_EQ(value, 1);
  EXPECT_FALSE(k::Match("walking", k::kMovementState, value));
  EXPECT_EQ(value, 1);
  EXPECT_STREQ(k::WordOf(k::kEventType, 8), "EXPERIENCE");
  EXPECT_EQ(k::WordOf(k::kEventType, 7), nullptr);
}

}  // namespace
