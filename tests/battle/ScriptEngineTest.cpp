// The trigger engine on small hand-made scripts: how often events fire, their pauses, their
// conditions, speeches that follow each other, commands the computer player drops, and the
// player's inputs.
#include "ScriptTestWorld.h"
#include "battle/Battle.h"
#include "battle/PanelBattle.h"
#include "map/MapViewHooks.h"
#include "net/NetHooks.h"
#include "net/NetMessages.h"

namespace script_test {
namespace {

class ScriptEngine : public ScriptWorld {};

TEST_F(ScriptEngine, AnEventFiresAsOftenAsItsNumberOfActions) {
  Load(Event(1, "EventType=EXPERIENCE\nNumberOfActions=2") + Event(2, "EventType=EXPERIENCE\nNumberOfActions=0") +
       Event(3, "EventType=EXPERIENCE\nNumberOfActions=-1\nPostPause=3"));
  TickTo(10);
  EXPECT_EQ(actions.Count(0), 2);
  EXPECT_EQ(g_script.Event(0).runState, kScriptRetired);
  EXPECT_EQ(actions.Count(1), 1);  // 0 is once
  // -1 fires after every post-pause: ticks 1, 4, 7 and 10.
  EXPECT_EQ(actions.Count(2), 4);
  EXPECT_NE(g_script.Event(2).runState, kScriptRetired);
}

TEST_F(ScriptEngine, APrePauseDelaysTheActionAndAPostPauseTheRearming) {
  Load(Event(1, "EventType=EXPERIENCE\nNumberOfActions=2\nPrePause=3\nPostPause=2"));
  Tick();  // fires: the pre-pause counts from this tick
  EXPECT_EQ(g_script.Event(0).runState, kScriptRunning);
  TickTo(2);
  EXPECT_EQ(actions.Count(0), 0);
  Tick();  // tick 3: the pre-pause is over, the action runs, the post-pause starts
  EXPECT_EQ(actions.Count(0), 1);
  EXPECT_EQ(g_script.Event(0).runState, kScriptRunning);
  TickTo(4);
  EXPECT_EQ(g_script.Event(0).runState, kScriptRunning);
  TickTo(5);  // the post-pause ends: armed, one action left
  EXPECT_EQ(g_script.Event(0).runState, kScriptArmed);
  EXPECT_EQ(g_script.Event(0).actionsLeft, 1);
  EXPECT_EQ(g_script.Event(0).prePauseLeft, 3);
  TickTo(20);
  EXPECT_EQ(actions.Count(0), 2);
  EXPECT_EQ(g_script.Event(0).runState, kScriptRetired);
}

TEST_F(ScriptEngine, TimeBoundsAreInclusiveAndZeroIsNoBound) {
  Load(Event(1, "EventType=EXPERIENCE\nNumberOfActions=-1\nTimeElapsed=100\nTimeLimit=100") +
       Event(2, "EventType=EXPERIENCE\nTimeLimit=0\nTimeElapsed=0"));
  TickTo(99);
  EXPECT_EQ(actions.Count(0), 0);
  TickTo(101);
  EXPECT_EQ(actions.Count(0), 1);  // at 100 only
  EXPECT_EQ(actions.runs.front(), 1);
}

TEST_F(ScriptEngine, CompletionNamesOnlyCountFromTheFirst) {
  Load(Event(1, "EventType=EXPERIENCE\nTimeElapsed=5") + Event(2, "EventType=EXPERIENCE\nComplete2=1") +
       Event(3, "EventType=EXPERIENCE\nComplete1=1") + Event(4, "EventType=EXPERIENCE\nInComplete1=1") +
       Event(5, "EventType=EXPERIENCE\nComplete1=1\nComplete2=6\nAllComplete=True") +
       Event(6, "EventType=EXPERIENCE\nTimeElapsed=8"));
  Tick();
  EXPECT_EQ(actions.Count(1), 1);  // Complete2 alone imposes nothing
  EXPECT_EQ(actions.Count(2), 0);
  EXPECT_EQ(actions.Count(3), 1);  // event 1 has not retired
  TickTo(5);
  EXPECT_EQ(actions.Count(2), 1);
  EXPECT_EQ(actions.Count(4), 0);  // 6 is still armed
  TickTo(9);
  EXPECT_EQ(actions.Count(4), 1);
}

TEST_F(ScriptEngine, FlagsChainEventsAndNumbersOutsideTheTableNeverHold) {
  Load(Event(1, "EventType=FLAG\nSetFlag=7\nTimeElapsed=3") + Event(2, "EventType=EXPERIENCE\nFlagSet=7") +
       Event(3, "EventType=FLAG\nClearFlag=7\nSetFlag=8\nFlagSet=7") + Event(4, "EventType=EXPERIENCE\nFlagSet=60") +
       Event(5, "EventType=EXPERIENCE\nFlagClear=60") + Event(6, "EventType=EXPERIENCE\nRegionIncomplete=44") +
       Event(7, "EventType=EXPERIENCE\nRegionIncomplete=43"));
  TickTo(2);
  EXPECT_EQ(actions.Count(1), 0);
  TickTo(3);
  EXPECT_EQ(actions.Count(1), 1);  // set by event 1 earlier in the same pass
  EXPECT_TRUE(g_scriptActors.FlagSet(8));
  EXPECT_FALSE(g_scriptActors.FlagSet(7));  // and cleared by event 3 after it
  TickTo(10);
  EXPECT_EQ(actions.Count(1), 1);
  EXPECT_EQ(actions.Count(3) + actions.Count(4) + actions.Count(5), 0);
  EXPECT_EQ(actions.Count(6), 1);
}

TEST_F(ScriptEngine, TriggerCreatureTypesAdmitAndStopWizardKinds) {
  AddArea("Gate", 10, 10, 0, 12, 12, 0);
  Load(Event(1,
             "EventType=EXPERIENCE\nNumberOfActions=-1\nTriggerTarget=CREATURE_TYPE\nTriggerCreatureType=0\n"
             "TriggerLocation=Gate") +
       Event(2, "EventType=EXPERIENCE\nNumberOfActions=-1\nTriggerTarget=CREATURE_TYPE\nExcludeCreatureType=0") +
       Event(3, "EventType=EXPERIENCE\nNumberOfActions=-1\nTriggerTarget=CHARACTER\nTriggerCharacter=Nobody"));
  EXPECT_NE(g_map.CellAt(11, 11, 0).shape & shape_bits::kScriptTrigger, 0);
  EXPECT_EQ(g_map.CellAt(13, 11, 0).shape & shape_bits::kScriptTrigger, 0);
  const int wizard = AddCreature(24, 0, 11, 11), goblin = AddCreature(3, 0, 11, 12),
            outside = AddCreature(0, 0, 20, 20);
  g_script.FireEvent(kOccasionTriggerCell, wizard, -1, 0, -1, -1);
  g_script.FireEvent(kOccasionTriggerCell, goblin, -1, 0, -1, -1);
  g_script.FireEvent(kOccasionTriggerCell, outside, -1, 0, -1, -1);
  EXPECT_EQ(actions.Count(0), 1);  // the wizard kind in the area
  EXPECT_EQ(actions.Count(1), 1);  // the goblin only
  EXPECT_EQ(actions.Count(2), 0);  // no actor of that name: never
  Tick();                          // trigger events do not fire on ticks
  EXPECT_EQ(actions.runs.size(), 2u);
}

TEST_F(ScriptEngine, TheTriggerCreatureMustMeetItsBounds) {
  UseArmy(1, "Morvane");
  Load(Event(1,
             "EventType=EXPERIENCE\nNumberOfActions=-1\nTriggerTarget=CREATURE_TYPE\nIsAligned=VRASK\n"
             "MinTriggerHealth=50\nTriggerArmy=Morvane\nUndeadState=NOT"));
  const int fiend = AddCreature(5, 1, 3, 3), lawful = AddCreature(3, 1, 3, 4), stray = AddCreature(5, 0, 3, 5);
  const int hurt = AddCreature(5, 1, 3, 6), undead = AddCreature(5, 1, 3, 7);
  C(hurt).health = 40;
  C(undead).undead = 1;
  for (int c : {fiend, lawful, stray, hurt, undead}) g_script.FireEvent(kOccasionTriggerCell, c, -1, 0, -1, -1);
  EXPECT_EQ(actions.runs.size(), 1u);
}

TEST_F(ScriptEngine, TwoDialoguesWithoutPausesShareOneSpeechBox) {
  Load(Event(1, "EventType=DIALOGUE\nSpeech=First") + Event(2, "EventType=DIALOGUE\nSpeech=Second\nComplete1=1") +
       Event(3, "EventType=DIALOGUE\nSpeech=Third\nComplete1=2\nPrePause=5"));
  Tick();
  ASSERT_EQ(actions.runs, std::vector<int>{0});
  Tick();  // the speech waits: nothing else starts
  g_script.OnSpeechFinished(0);
  EXPECT_EQ(g_script.Event(0).runState, kScriptRetired);
  EXPECT_EQ(actions.runs, (std::vector<int>{0, 1}));
  EXPECT_EQ(actions.speechesFinished, 0);  // the second speaks in the same box
  g_script.OnSpeechFinished(1);
  EXPECT_EQ(actions.speechesFinished, 1);  // the third waits its pre-pause: the box closes
  EXPECT_EQ(g_script.Event(2).runState, kScriptRunning);
  TickTo(7);
  EXPECT_EQ(actions.runs, (std::vector<int>{0, 1, 2}));
  g_script.OnSpeechFinished(2);
  EXPECT_EQ(actions.speechesFinished, 2);
  g_script.OnSpeechFinished(500);  // outside the records: nothing
}

// A dialogue that follows a speech but says nothing (the local army has no wizard to hear it)
// closes the box: the battle, paused for the speech, must not wait for it forever.
TEST_F(ScriptEngine, AFollowingDialogueThatSaysNothingClosesTheBox) {
  Load(Event(1, "EventType=DIALOGUE\nSpeech=First") + Event(2, "EventType=DIALOGUE\nSpeech=Second\nComplete1=1"));
  actions.silent = {1};
  Tick();
  g_script.OnSpeechFinished(0);
  EXPECT_EQ(actions.runs, (std::vector<int>{0, 1}));
  EXPECT_EQ(g_script.Event(1).runState, kScriptRetired);
  EXPECT_EQ(actions.speechesFinished, 1);
}

TEST_F(ScriptEngine, ASpeechWithAPostPauseClosesAndWaits) {
  Load(Event(1, "EventType=DIALOGUE\nSpeech=Wait\nPostPause=2\nNumberOfActions=2"));
  Tick();
  g_script.OnSpeechFinished(0);
  EXPECT_EQ(actions.speechesFinished, 1);
  EXPECT_EQ(g_script.Event(0).runState, kScriptRunning);
  TickTo(3);
  EXPECT_EQ(g_script.Event(0).runState, kScriptArmed);
  EXPECT_EQ(g_script.Event(0).actionsLeft, 1);
}

TEST_F(ScriptEngine, ACommandIsOfferedEveryTwentiethTickAndADroppedOneRearmsWithoutLosingAnAction) {
  const int wizard = AddCreature(24, 1, 5, 5);
  UseArmy(1, "Morvane", wizard);
  Load(Event(1, "EventType=COMMAND\nCommandCharacter=Morvane\nNumberOfActions=2"));
  EXPECT_EQ(g_scriptActors.FindByName("Morvane")->creature, wizard);  // bound through its army
  EXPECT_EQ(C(wizard).scriptCommand, 1);
  computer.decisionType = 3;
  TickTo(19);
  EXPECT_TRUE(computer.dropped.empty());
  Tick();
  EXPECT_EQ(computer.dropped, std::vector<int>{wizard});  // its own decision gives way
  EXPECT_EQ(g_script.Event(0).runState, kScriptArmed);    // the run state is the computer player's
  EXPECT_TRUE(g_script.MatchEvent(0, kOccasionCommandQuery, wizard));
  EXPECT_FALSE(g_script.MatchEvent(0, kOccasionCommandQuery, wizard + 1));
  // The computer player takes the command up, then drops it.
  g_script.Event(0).runState = kScriptRunning;
  computer.decisionType = 5;
  Tick();
  EXPECT_EQ(g_script.Event(0).runState, kScriptRunning);
  computer.decisionType = 2;
  Tick();
  EXPECT_EQ(g_script.Event(0).runState, kScriptArmed);
  EXPECT_EQ(g_script.Event(0).actionsLeft, 2);
}

TEST_F(ScriptEngine, TheStandInComputerPlayerHoldsNoDecisionSoACommandStaysArmed) {
  const int wizard = AddCreature(24, 1, 5, 5);
  UseArmy(1, "Morvane", wizard);
  Load(Event(1, "EventType=COMMAND\nCommandCharacter=Morvane"));
  TickTo(40);
  EXPECT_EQ(g_script.Event(0).runState, kScriptArmed);
  EXPECT_TRUE(computer.dropped.empty());
}

TEST_F(ScriptEngine, TheInterfaceWatchFollowsRetirement) {
  Load(Event(1, "EventType=EXPERIENCE\nInterfaceCommand=SPELL_SELECTED\nInterfaceSpell=12") +
       Event(2, "EventType=DIALOGUE\nTutorialCommand=CREATURE_SELECTED\nTutorialSelected=3\nSpeech=Pick a goblin"));
  EXPECT_EQ(g_script.interfaceWatch, 1);
  Tick();  // the tutorial speaks
  ASSERT_EQ(actions.runs, std::vector<int>{1});
  g_script.OnInterfaceCommand(kCommandSpellSelected, 11, -1);
  EXPECT_EQ(actions.Count(0), 0);  // another spell
  g_script.OnInterfaceCommand(kCommandCreatureSelected, -1, 5);
  EXPECT_EQ(g_script.Event(1).runState, kScriptRunning);  // another creature type
  g_script.OnInterfaceCommand(kCommandCreatureSelected, -1, 3);
  EXPECT_EQ(g_script.Event(1).runState, kScriptRetired);
  EXPECT_EQ(actions.speechesFinished, 1);
  EXPECT_EQ(g_script.interfaceWatch, 1);  // event 1 still waits for its spell
  g_script.OnInterfaceCommand(kCommandSpellSelected, 12, -1);
  EXPECT_EQ(actions.Count(0), 1);
  EXPECT_EQ(g_script.interfaceWatch, 0);
}

TEST_F(ScriptEngine, ArtefactOccasionsCountPickUpsOfTheirKind) {
  const int finder = AddCreature(3, 1, 2, 2), other = AddCreature(3, 2, 2, 3);
  UseArmy(1, "Morvane");
  UseArmy(2, "Cadoc");
  Load(Event(1,
             "EventType=EXPERIENCE\nDependentArtefact=40\nArtefactStatus=PICKED_UP\nArtefactNumber=2\n"
             "PossessingArmy=Morvane") +
       Event(2, "EventType=EXPERIENCE\nDependentArtefact=41\nArtefactStatus=USED"));
  Tick();
  EXPECT_TRUE(actions.runs.empty());  // artefact events never fire on ticks
  g_script.FireEvent(kOccasionPickedUp, finder, 40, 0, -1, -1);
  g_script.FireEvent(kOccasionPickedUp, other, 40, 0, -1, -1);  // another army: not counted
  g_script.FireEvent(kOccasionUsed, finder, 40, 0, -1, -1);
  EXPECT_TRUE(actions.runs.empty());
  g_script.FireEvent(kOccasionPickedUp, finder, 40, 0, -1, -1);
  EXPECT_EQ(actions.Count(0), 1);
  g_script.FireEvent(kOccasionUsed, other, 41, 0, -1, -1);
  EXPECT_EQ(actions.Count(1), 1);
}

TEST_F(ScriptEngine, TheDependentCharacterIsTestedByStateHealthPlaceAndRange) {
  AddArea("Moor", 0, 0, 0, 9, 9, 0);
  const int hero = AddCreature(24, 0, 4, 4), foe = AddCreature(0, 1, 30, 4);
  UseArmy(0, "Edric", hero);
  UseArmy(1, "Morvane", foe);
  Load(Event(1,
             "EventType=EXPERIENCE\nNumberOfActions=-1\nDependentCharacter=Edric\n"
             "DependentCharacterStatus=ALIVE_IN_BATTLE\nDependentLocation=Moor\nMaximumHealth=60") +
       Event(2,
             "EventType=EXPERIENCE\nNumberOfActions=-1\nDependentCharacter=Edric\nRangeCharacter=Morvane\n"
             "Range=5") +
       Event(3,
             "EventType=EXPERIENCE\nNumberOfActions=-1\nDependentCharacter=Morvane\n"
             "DependentCharacterStatus=NOT_ALIVE_IN_BATTLE"));
  Tick();
  EXPECT_TRUE(actions.runs.empty());  // healthy, far apart, the foe alive
  C(hero).health = 50;
  C(foe).cellX = 8;
  Tick();
  EXPECT_EQ(actions.Count(0), 1);
  EXPECT_EQ(actions.Count(1), 1);
  C(hero).cellX = 20;  // out of the moor
  g_scriptActors.FindByName("Morvane")->state = kActorDeadInBattle;
  Tick();
  EXPECT_EQ(actions.Count(0), 1);
  EXPECT_EQ(actions.Count(2), 1);
}

TEST_F(ScriptEngine, ChangedTerrainIsSeenAgainstTheSnapshot) {
  AddArea("Bridge", 62, 5, 1, 1, 6, 1);  // wraps across the map's edge
  for (int x : {62, 63, 0, 1})
    for (int y : {5, 6}) g_map.CellAt(x, y, 1).terrain = 7;
  Load(Event(1, "EventType=EXPERIENCE\nChangedLocation=Bridge\nChange=True") +
       Event(2, "EventType=EXPERIENCE\nNumberOfActions=-1\nChangedLocation=Bridge"));
  EXPECT_EQ(g_script.Event(0).snapshotStart, 0);
  EXPECT_EQ(g_script.Event(1).snapshotStart, 8);
  Tick();
  EXPECT_EQ(actions.Count(0), 0);
  EXPECT_EQ(actions.Count(1), 1);
  g_map.CellAt(0, 6, 1).terrain = 0;
  Tick();
  EXPECT_EQ(actions.Count(0), 1);
  EXPECT_EQ(actions.Count(1), 1);
}

TEST_F(ScriptEngine, ArmiesAndDifficultyAreConditionsToo) {
  UseArmy(0, "Edric");
  UseArmy(1, "Morvane");
  g_armyTable.armies[0].SetAlliance(1, 0);
  Load(Event(1, "EventType=EXPERIENCE\nFirstArmy=Edric\nSecondArmy=Morvane\nHostile=True") +
       Event(2, "EventType=EXPERIENCE\nFirstArmy=Edric\nSecondArmy=Morvane") +
       Event(3, "EventType=EXPERIENCE\nMinimumDifficulty=2") + Event(4, "EventType=EXPERIENCE\nMaximumDifficulty=1"));
  Tick();
  EXPECT_EQ(actions.runs, (std::vector<int>{0, 3}));
}

TEST_F(ScriptEngine, InputsReachTheScriptAsFrameCommandsWhileItWatches) {
  struct Sink : IMapCommandSink {
    std::vector<CommandMessage> messages;
    void AddMessage(const CommandMessage& m) override { messages.push_back(m); }
  } sink;
  HookScope<IMapCommandSink> sinkScope(g_panelCommands, sink);
  InstallBattle();
  g_battleSystems.Install(&computer);
  Load(Event(1, "EventType=EXPERIENCE\nInterfaceCommand=CREATURE_SELECTED\nCreatureSelected=3") +
       Event(2, "EventType=DIALOGUE\nSpeech=Look\nTimeElapsed=5"));
  // The map view names the selected creature's type: it travels as the command's second id.
  g_mapViewHooks.battle->OfferInterfaceCommand(kCommandCreatureSelected, 3, -1);
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0].Type(), MSG_INTERFACE_COMMAND);
  EXPECT_TRUE(actions.runs.empty());                              // nothing happens before the command's frame
  g_netHooks.battle->InterfaceCommand(sink.messages[0].Word(3));  // after the three-word header
  EXPECT_EQ(actions.runs, std::vector<int>{0});
  EXPECT_EQ(g_script.interfaceWatch, 0);
  g_mapViewHooks.battle->OfferInterfaceCommand(kCommandCreatureSelected, 3, -1);
  EXPECT_EQ(sink.messages.size(), 1u);  // nothing watches any more
  // The speech's end arrives as its frame command too.
  TickTo(5);
  ASSERT_EQ(g_script.Event(1).runState, kScriptRunning);
  g_netHooks.battle->SpeechClosed(1);
  EXPECT_EQ(g_script.Event(1).runState, kScriptRetired);
  UninstallBattle();
}

}  // namespace
}  // namespace script_test
