// Wizard records: the wizard file, the generated and player-slot wizards, items, start objects,
// ranks and the table's look-ups.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <utility>

#include "CreatureWorld.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/PlayerSlot.h"
#include "core/Random.h"
#include "creatures/CreatureHooks.h"
#include "creatures/SpellDefinition.h"
#include "creatures/WizardTable.h"
#include "map/Map.h"
#include "support/TestSupport.h"

namespace {

using testing_support::BoxRecorder;
using testing_support::TempDir;

// Object types whose records say their own number, so the copied values show.
struct NumberedObjects : IWizardHooks {
  int ObjectTypeCount() override { return 30; }
  void ObjectTypeValues(int type, int32_t values[4]) override {
    for (int i = 0; i < 4; ++i) values[i] = type * 10 + i;
  }
};

class WizardFileTest : public ::testing::Test {
 protected:
  // Writes wizards\<name> in the test's folder and loads it into the record.
  int Load(const std::string& text, CWizard& wizard, const std::string& file = "test.wzd") {
    dir_.Write("wizards/" + file, text);
    return wizard.LoadDefinition(file.c_str(), 1, 7);
  }
  TempDir dir_{true};
  NumberedObjects objects_;
  HookScope<IWizardHooks> hooks_{g_wizardHooks, objects_};
  BoxRecorder boxes_;
};

TEST_F(WizardFileTest, ReadsStatisticsItemsSpellsAndObjects) {
  CWizard wizard;
  ASSERT_EQ(Load("[GENERAL]\nName=Morgath the Grey of the Fens\nControlLimit=40\nIntelligence=0\n"
                 "Scout=\nRetreat=20\nWizardAnimFile=wizard4\nstartTalismans_Law=2\nstartTalismans_Vrask=3\n"
                 "[START_MAGIC_ITEMS]\nMITEM_03=TRUE\nMITEM_07=TRUE ;kept\nMITEM_08=FALSE\nMITEM_24=TRUE\n"
                 "[START_SPELLS]\nSPELL_05=TRUE\nSPELL_103=TRUE\nSPELL_06=xTRUE\nSPELL_07= TRUE\n"
                 "[START_OBJECTS]\nOBJECT_02=TRUE\nOBJECT_29=TRUE\nOBJECT_30=TRUE\n",
                 wizard),
            1);
  EXPECT_STREQ(wizard.name, "Morgath the Gre");  // cut to 15 letters
  EXPECT_EQ(wizard.maxMana, 0);                  // no MaxMana gives 0
  EXPECT_EQ(wizard.maxHealth, 100);              // no MaxHealth keeps 100
  EXPECT_EQ(wizard.controlLimit, 40);
  EXPECT_EQ(wizard.intelligence, 50);  // 0 is not stored
  EXPECT_EQ(wizard.weights[5], 100);   // an empty weight keeps its default
  EXPECT_EQ(wizard.weights[6], 20);
  EXPECT_STREQ(wizard.animFile, "wizard4");
  EXPECT_EQ(wizard.talismans[0], 2);
  EXPECT_EQ(wizard.talismans[1], 0);
  EXPECT_EQ(wizard.talismans[2], 3);
  EXPECT_EQ(wizard.magicItems[0], 3);
  EXPECT_EQ(wizard.magicItems[1], 7);
  EXPECT_EQ(wizard.magicItems[2], 24);
  EXPECT_EQ(wizard.magicItems[3], -1);
  ASSERT_EQ(wizard.spellCount, 4);  // "xTRUE" contains TRUE; " TRUE" is trimmed by the reader
  EXPECT_EQ(wizard.spellPool[0], 5);
  EXPECT_EQ(wizard.spellPool[3], 103);
  ASSERT_EQ(wizard.startObjectCount, 2);  // type 30 lies outside the table
  EXPECT_EQ(wizard.startObjects[1].kind, 29);
  EXPECT_EQ(wizard.startObjects[1].values[3], 293);
  EXPECT_EQ(wizard.deploymentKey, 7);
  EXPECT_EQ(wizard.computer, 1);
  EXPECT_EQ(wizard.inUse, 1);
  EXPECT_TRUE(wizard.textBlock.empty());  // a computer wizard has no text block
  EXPECT_EQ(boxes_.Count(), 0u);
}

TEST_F(WizardFileTest, ReadsActionsAsTheirKeysSay) {
  CWizard wizard;
  ASSERT_EQ(Load("[GENERAL]\nName=Ack\n"
                 "[ACTION_01]\nValid=TRUE\nDestination=Section\nSectionID=4\nXposition=9\nWaitingTime=3\n"
                 "SpellType=0\nSpellTarget=Enemy\nNumberOfActions=5 ;Infinite\nRating=0\nInterrupt=TRUE\n"
                 "[ACTION_02]\nValid=TRUE\nDestination=Section/Node\nSpellType=104\nSpellTarget=Self\n"
                 "NumberOfActions=Infinite\nRating=50\nBeginTime=2\nEndTime=10\n"
                 "[ACTION_03]\nValid=FALSE\nSpellType=12\nMana=40\n"
                 "[ACTION_04]\nValid=TRUE\nDestination=Node\nNodeType=Room\nSpellType=12\nSpellTarget=Node\n"
                 "TargetNodeType=Room\nRating=149\nDependancy=2\nMana=40\nHealth=60\n"
                 "[ACTION_10]\nValid= TRUE ; last\nSpellType=103\nSpellTarget=Friend\n",
                 wizard),
            1);
  const CWizardAction& a = wizard.actions[0];
  EXPECT_EQ(a.valid, 1);
  EXPECT_EQ(a.destinationKind, 1);
  EXPECT_EQ(a.sectionId, 4);
  EXPECT_EQ(a.x, 9);
  EXPECT_EQ(a.waitingTime, 51);
  EXPECT_EQ(a.spellType, -1);  // spell 0 is none
  EXPECT_EQ(a.targetKind, 4);  // and the target is still read
  EXPECT_EQ(a.numberOfActions, 5);
  EXPECT_EQ(a.actionsRemaining, 5);
  EXPECT_EQ(a.rating, -1.0f);
  EXPECT_EQ(a.interrupt, 1);
  const CWizardAction& b = wizard.actions[1];
  EXPECT_EQ(b.destinationKind, 1);  // Section wins over Node
  EXPECT_EQ(b.spellType, -1);
  EXPECT_EQ(b.targetKind, 3);
  EXPECT_EQ(b.numberOfActions, -1);
  EXPECT_EQ(b.rating, 0.0f);
  EXPECT_EQ(b.beginTime, 34);
  EXPECT_EQ(b.endTime, 170);
  EXPECT_EQ(wizard.actions[2].valid, 0);  // not valid: nothing of it is read
  EXPECT_EQ(wizard.actions[2].spellType, -1);
  EXPECT_EQ(wizard.actions[2].mana, 0);
  const CWizardAction& d = wizard.actions[3];
  EXPECT_EQ(d.destinationKind, 2);
  EXPECT_EQ(d.nodeType, 1);
  EXPECT_EQ(d.spellType, 12);
  EXPECT_EQ(d.targetKind, 2);
  EXPECT_EQ(d.targetNodeType, 1);
  EXPECT_EQ(d.rating, 1.0f);
  EXPECT_EQ(d.dependancy, 2);
  EXPECT_EQ(d.mana, 40);
  EXPECT_EQ(d.health, 60);
  EXPECT_EQ(wizard.actions[4].valid, 0);
  EXPECT_EQ(wizard.actions[9].valid, 1);
  EXPECT_EQ(wizard.actions[9].targetKind, 5);
}

TEST_F(WizardFileTest, ANamelessFileChangesNothing) {
  CWizard wizard;
  ASSERT_EQ(Load("[GENERAL]\nName=Keeper\nMaxMana=80\n[START_SPELLS]\nSPELL_04=TRUE\n"
                 "[START_MAGIC_ITEMS]\nMITEM_02=TRUE\n",
                 wizard, "keeper.wzd"),
            1);
  for (const char* text : {"[GENERAL]\nMaxMana=10\n[START_SPELLS]\nSPELL_09=TRUE\n", "[GENERAL]\nName=\n"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Load(text, wizard), 0);
    EXPECT_STREQ(wizard.name, "Keeper");
    EXPECT_EQ(wizard.maxMana, 80);
    EXPECT_EQ(wizard.spellCount, 1);
    EXPECT_EQ(wizard.magicItems[0], 2);
  }
  ASSERT_EQ(boxes_.Count(), 2u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "FAILED TO LOAD WIZARD");
  EXPECT_NE(boxes_.Boxes()[0].text.find("test.wzd"), std::string::npos);
  EXPECT_EQ(Load("", wizard, "missing.wzd"), 0);  // a missing file has no name either
}

// Numbers a hostile or damaged file may hold: each is held where its use fits.
TEST_F(WizardFileTest, HostileNumbersAreHeldWhereTheirUseFits) {
  struct HostileCase {
    const char* keys;
    int32_t (*field)(const CWizard&);
    int32_t expected;
  };
  const HostileCase cases[] = {
      {"MaxMana=2147483647", [](const CWizard& w) { return w.maxMana; }, kWizardValueLimit},
      {"MaxMana=-99999999999", [](const CWizard& w) { return w.maxMana; }, 0},
      {"MaxMana=nan", [](const CWizard& w) { return w.maxMana; }, 0},
      {"MaxHealth=2147483647", [](const CWizard& w) { return w.maxHealth; }, kWizardValueLimit},
      {"MaxHealth=inf", [](const CWizard& w) { return w.maxHealth; }, 100},  // no number keeps the default
      {"ControlLimit=99999999999", [](const CWizard& w) { return w.controlLimit; }, kWizardValueLimit},
      {"CombatModifier=-2147483648", [](const CWizard& w) { return w.combatModifier; }, -kWizardValueLimit},
      {"DifficultyModifier=2147483647", [](const CWizard& w) { return w.difficultyModifier; }, kWizardValueLimit},
      {"AggressiveAttack=99999999999", [](const CWizard& w) { return w.weights[0]; }, kWizardValueLimit},
      {"startTalismans_Law=-1", [](const CWizard& w) { return w.talismans[0]; }, 0},
      {"startTalismans_Vrask=2147483647", [](const CWizard& w) { return w.talismans[2]; }, kWizardValueLimit},
      {"[ACTION_01]\nValid=TRUE\nBeginTime=2147483647", [](const CWizard& w) { return w.actions[0].beginTime; },
       kWizardSecondsLimit * kWizardFramesPerSecond},
      {"[ACTION_01]\nValid=TRUE\nEndTime=-5", [](const CWizard& w) { return w.actions[0].endTime; }, 0},
      {"[ACTION_01]\nValid=TRUE\nDestination=Section\nWaitingTime=99999999999",
       [](const CWizard& w) { return w.actions[0].waitingTime; }, kWizardSecondsLimit * kWizardFramesPerSecond},
      {"[ACTION_01]\nValid=TRUE\nMana=-2147483648", [](const CWizard& w) { return w.actions[0].mana; },
       -kWizardValueLimit},
  };
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.keys);
    CWizard wizard;
    ASSERT_EQ(Load(std::string("[GENERAL]\nName=Hostile\n") + c.keys + "\n", wizard), 1);
    EXPECT_EQ(c.field(wizard), c.expected);
  }
  EXPECT_EQ(boxes_.Count(), 0u);
}

// The animation is looked up below the creatures' folder: a file whose animation climbs out of
// the data folder is refused, and the record stays as it was.
TEST_F(WizardFileTest, AnAnimationOutsideTheDataFolderIsRefused) {
  CWizard wizard;
  ASSERT_EQ(Load("[GENERAL]\nName=Keeper\nMaxMana=80\nWizardAnimFile=wizard3\n", wizard), 1);
  for (const char* anim : {"../../../../../../etc/passwd", "..\\..\\secret", "/etc/passwd", "\\share\\x",
                           "C:\\anims\\wizard", "wizards/../../x"}) {
    SCOPED_TRACE(anim);
    EXPECT_EQ(Load(std::string("[GENERAL]\nName=Climber\nMaxMana=5\nWizardAnimFile=") + anim + "\n", wizard), 0);
    EXPECT_STREQ(wizard.name, "Keeper");
    EXPECT_STREQ(wizard.animFile, "wizard3");
    EXPECT_EQ(wizard.maxMana, 80);
  }
  EXPECT_EQ(boxes_.Count(), 6u);
  ASSERT_EQ(Load("[GENERAL]\nName=Delver\nWizardAnimFile=16Mb Anims\\wizard5\n", wizard), 1);
  EXPECT_STREQ(wizard.animFile, "16Mb Anims\\wizard5");
}

TEST_F(WizardFileTest, APlayerWizardGetsATextBlockAndALongAnimNameIsIgnored) {
  CWizard wizard;
  dir_.Write("wizards/_start.wzd", "[GENERAL]\nName=Edric\nWizardAnimFile=" + std::string(70, 'a') + "\n");
  ASSERT_EQ(wizard.LoadDefinition("_start.wzd", 0, -1), 1);
  EXPECT_EQ(wizard.textBlock.size(), static_cast<size_t>(kWizardTextBlockBytes));
  EXPECT_STREQ(wizard.animFile, "noname");
}

TEST(WizardRecordTest, ItemsStartObjectsAndSpellPoolHaveTheirBounds) {
  CWizard wizard;
  int slot = -1;
  EXPECT_FALSE(wizard.FindMagicItem(4, slot));
  EXPECT_EQ(slot, kWizardMagicItems);
  for (int id = 0; id < kWizardMagicItems; ++id) EXPECT_EQ(wizard.AddMagicItem(id), 1);
  EXPECT_EQ(wizard.AddMagicItem(4), 1);  // already held
  EXPECT_TRUE(wizard.FindMagicItem(4, slot));
  EXPECT_EQ(slot, 4);
  wizard.magicItems[4] = 3;               // two of the same: 4 no longer held
  EXPECT_EQ(wizard.AddMagicItem(4), 0);   // no empty slot
  EXPECT_EQ(wizard.AddMagicItem(25), 0);  // no such item
  const int32_t values[4] = {1, 2, 3, 4};
  for (int n = 0; n < kWizardStartObjects; ++n) EXPECT_EQ(wizard.AddQueuedEntry(5 + n, values), 1);
  EXPECT_EQ(wizard.AddQueuedEntry(99, values), 0);
  const uint8_t spells[40] = {1, 2, 3, 200};
  wizard.AddSpellsToPool(spells, 40);
  EXPECT_EQ(wizard.spellCount, kWizardSpellPoolCapacity);  // 200 is no spell; the rest fill the pool
  EXPECT_EQ(wizard.spellPool[3], 0);

  CBoundedIntList list(2);
  EXPECT_EQ(list.Push(7), 1);
  EXPECT_EQ(list.Push(8), 1);
  EXPECT_EQ(list.Push(9), 0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.At(1), 8);
}

TEST(WizardRecordTest, RanksFollowTheThresholds) {
  struct Case {
    std::vector<int> thresholds;
    std::vector<int> ranksAfterEachVictory;
  };
  const Case cases[] = {
      {{3, 6, 10}, {1, 1, 2, 2, 2, 3, 3, 3, 3, 4, 4}}, {{3, 3}, {1, 1, 2, 2, 2}},  // the second 3 never gives rank 3
  };
  for (const Case& c : cases) {
    ResetGlobalOptions();
    for (size_t i = 0; i < c.thresholds.size(); ++i) g_spUpgradeLevel[i] = c.thresholds[i];
    CWizard wizard;
    for (size_t v = 0; v < c.ranksAfterEachVictory.size(); ++v) {
      wizard.AdvanceRankCounter();
      EXPECT_EQ(wizard.rank, c.ranksAfterEachVictory[v]) << "victory " << v + 1;
    }
  }
  ResetGlobalOptions();
  CWizard wizard;
  for (auto [rank, tier] : {std::pair{1, 0}, {2, 0}, {3, 1}, {4, 1}, {5, 2}, {6, 2}}) {
    wizard.rank = rank;
    EXPECT_EQ(wizard.GetRankTier(), tier);
  }
}

TEST(WizardRecordTest, APlayerSlotWizardLosesItsHandicap) {
  g_gameSettings.mana = 200;
  g_gameSettings.health = 150;
  g_gameSettings.ControlLimit = 30;
  g_playerSlots[2].handicap = 25;
  g_playerSlots[2].portrait = 9;
  CWizard wizard;
  EXPECT_EQ(wizard.InitForPlayer("Ysolde", 2, 0x101), 1);
  EXPECT_STREQ(wizard.name, "Ysolde");
  EXPECT_EQ(wizard.maxMana, 150);
  EXPECT_EQ(wizard.maxHealth, 113);  // 150 - 150 x 25 / 100, truncated
  EXPECT_EQ(wizard.controlLimit, 23);
  EXPECT_STREQ(wizard.animFile, "wizard4");
  EXPECT_EQ(wizard.computer, 1);  // the low byte
  EXPECT_EQ(wizard.inUse, 1);
  ResetPlayerSlots();
  g_gameSettings = CGameSettings{};
}

TEST(WizardTableTest, LooksUpRecordsAndCounts) {
  CWizardTable table;
  EXPECT_EQ(table.FindFree(), 0);
  std::snprintf(table.records[3].name, kWizardNameSize, "Edric");  // not in use
  table.records[5].inUse = 1;
  table.records[5].computer = 1;
  std::snprintf(table.records[5].name, kWizardNameSize, "Edric");
  EXPECT_EQ(table.FindByName("Edric"), &table.records[3]);  // in use or not, never a computer's
  EXPECT_EQ(table.FindByName("edric"), nullptr);
  table.records[0].inUse = 1;
  table.records[0].computer = 1;
  table.records[0].groupKey = 4;
  table.records[5].groupKey = 4;
  table.records[6].inUse = 1;
  table.records[6].groupKey = 4;
  table.records[7].groupKey = 4;  // not in use
  EXPECT_EQ(table.CountMatching(4), 3);
  EXPECT_EQ(table.CountInGroup(4), 2);
  EXPECT_EQ(table.FindFree(), 1);
  EXPECT_EQ(table.IndexOf(&table.records[6]), 6);
  table.Clear();
  EXPECT_EQ(table.records[5].inUse, 0);
  EXPECT_EQ(table.FindFree(), 0);
}

TEST(WizardTableTest, FindsThePlayersWizard) {
  g_wizardTable.Clear();
  EXPECT_EQ(FindPlayerWizardIndex(), -1);
  g_wizardTable.records[2].inUse = 1;
  g_wizardTable.records[2].computer = 3;
  g_wizardTable.records[4].inUse = 1;
  g_wizardTable.records[4].computer = 0;
  EXPECT_EQ(FindPlayerWizardIndex(), 4);
  g_wizardTable.Clear();
  for (CWizard& wizard : g_wizardTable.records) wizard.computer = 0;
}

// --- generated wizards and deployment on the forged creatures ---------------------------

class WizardDeployTest : public creature_test::WizardWorld {
 protected:
  CWizard& Record(int i, const char* look = "wizard2") {
    CWizard& wizard = g_wizardTable.records[i];
    wizard.inUse = 1;
    std::snprintf(wizard.name, kWizardNameSize, "Wizard %d", i);
    std::snprintf(wizard.animFile, kWizardAnimNameSize, "%s", look);
    return wizard;
  }
};

TEST_F(WizardDeployTest, ARandomWizardDrawsTheSameSpellsFromItsOwnGenerator) {
  const CRandom battleBefore = g_battleRandom;
  CWizard first, second, other;
  ASSERT_EQ(first.InitRandom("Edric", 0, 100, 10, 4242), 1);
  ASSERT_EQ(second.InitRandom("Edric", 0, 100, 10, 4242), 1);
  ASSERT_EQ(other.InitRandom("Edric", 0, 100, 10, 77), 1);
  EXPECT_EQ(std::memcmp(&battleBefore, &g_battleRandom, sizeof battleBefore), 0);
  ASSERT_GT(first.spellCount, 0);
  EXPECT_LE(first.spellCount, 10);
  EXPECT_EQ(first.spellPool, second.spellPool);
  EXPECT_EQ(first.spellCount, second.spellCount);
  EXPECT_NE(first.spellPool, other.spellPool);
  EXPECT_EQ(first.maxHealth, 300);
  EXPECT_GE(first.maxMana, 100);
  const int last = first.spellPool[first.spellCount - 1];
  EXPECT_EQ(first.maxMana, std::max(100, g_spellDefs[last].ManaCost));  // the last drawn decides
  for (int s = 0; s < first.spellCount; ++s) {
    EXPECT_LE(first.spellPool[s], 91);
    EXPECT_NE(g_spellDefs[first.spellPool[s]].ManaCost, 0);
    for (int t = 0; t < s; ++t) EXPECT_NE(first.spellPool[s], first.spellPool[t]);
  }
  EXPECT_EQ(first.InitRandom(nullptr, 0, 1, 1, 1), 0);
}

TEST_F(WizardDeployTest, SpawnsTheWizardCreatureWithTheRecordsValues) {
  CWizard& wizard = Record(6, "Wizard4");
  wizard.maxHealth = 140;
  wizard.maxMana = 90;
  wizard.controlLimit = 12;
  wizard.intelligence = 70;
  wizard.weights[8] = 5;
  wizard.deploymentKey = 3;
  wizard.AddSpell(12);
  wizard.AddSpell(40);
  const int32_t values[4] = {9, 8, 7, 6};
  wizard.AddQueuedEntry(21, values);
  wizard.actions[1].valid = 1;
  wizard.actions[1].numberOfActions = 4;
  wizard.actions[1].actionsDone = 2;
  ASSERT_EQ(wizard.SpawnCreature(1, 20 + g_map.width, 10, 0), 1);  // x wraps
  const int slot = g_armyTable.armies[1].wizardCreature;
  ASSERT_GE(slot, 0);
  const CCreature& c = C(slot);
  EXPECT_EQ(c.typeNumber, 0);
  EXPECT_EQ(c.cellX, 20);
  EXPECT_EQ(c.army, 1);
  EXPECT_EQ(c.health, 140);
  EXPECT_EQ(c.ownMaxHealth, 140);
  EXPECT_EQ(c.maxMana, 90);
  EXPECT_EQ(c.mana, 90 * 256);
  EXPECT_EQ(c.intelligence, 70);
  EXPECT_EQ(c.aiWords[wizard_words::kControlLimit], 12);
  EXPECT_EQ(c.aiWords[wizard_words::kLookClass], 1);  // "Wizard4"
  EXPECT_EQ(c.aiWords[wizard_words::kFirstWeight + 8], 5);
  ASSERT_EQ(c.spellCount, 2);
  EXPECT_EQ(c.spells[1], 40);
  EXPECT_EQ(c.eventCount, 1);
  EXPECT_EQ(c.events[0].kind, 21);
  EXPECT_EQ(c.events[0].remaining, 6);
  EXPECT_STREQ(g_wizardTable.GetAnimFileName(), "creatures\\Wizard4.ani");
  EXPECT_EQ(g_armyTable.armies[1].wizardRecord, 6);
  EXPECT_EQ(g_armyTable.armies[1].deploymentKey, 3);
  EXPECT_STREQ(g_armyTable.armies[1].name, "Wizard 6");
  EXPECT_EQ(wizard.actions[1].actionsRemaining, 4);
  EXPECT_EQ(wizard.actions[1].actionsDone, 0);
  EXPECT_EQ(wizard.deployed, 1);
  EXPECT_EQ(wizard.army, 1);
  EXPECT_TRUE(g_wizardTable.WizardNumberUsed(0));
  EXPECT_EQ(WizardLookClass("noname"), 3);
  EXPECT_EQ(WizardLookClass("creatures\\16Mb Anims\\wizard6.ani"), 2);
  EXPECT_EQ(WizardLookClass("ISLES FEMALE"), 4);
}

TEST_F(WizardDeployTest, AFifthWizardFindsNoTypeAndChangesNothing) {
  for (int i = 0; i < 4; ++i) ASSERT_EQ(Record(i).SpawnCreature(2, 5 + 6 * i, 5, 0), 1);
  EXPECT_EQ(C(g_armyTable.armies[2].wizardCreature).typeNumber, 26);
  CWizard& fifth = Record(4);
  const int inUse = g_creatureArray.highWater;
  const int army = fifth.army;
  EXPECT_EQ(fifth.SpawnCreature(1, 30, 30, 0), -1);
  EXPECT_EQ(fifth.deployed, 0);
  EXPECT_EQ(fifth.army, army);
  EXPECT_EQ(g_armyTable.armies[1].wizardCreature, -1);
  EXPECT_EQ(g_creatureArray.highWater, inUse);
  // An army outside 0-7 is refused the same way.
  g_creatureArray.At(g_armyTable.armies[2].wizardCreature)->Detach();  // frees wizard number 3
  EXPECT_FALSE(g_wizardTable.WizardNumberUsed(3));
  EXPECT_EQ(fifth.SpawnCreature(8, 30, 30, 0), -1);
  EXPECT_EQ(fifth.deployed, 0);
}

TEST_F(WizardDeployTest, NoPlaceLeavesTheWizardTypeFree) {
  for (int y = 0; y < g_map.height; ++y)
    for (int x = 0; x < g_map.width; ++x) g_map.CellAt(x, y, 0).terrain = 0;  // nowhere to stand
  CWizard& wizard = Record(0);
  EXPECT_EQ(wizard.SpawnCreature(1, 10, 10, 0), 0);
  EXPECT_EQ(wizard.deployed, 1);
  EXPECT_EQ(wizard.army, 1);
  EXPECT_FALSE(g_wizardTable.WizardNumberUsed(0));
  EXPECT_EQ(g_armyTable.armies[1].wizardCreature, -1);
  EXPECT_EQ(g_creatureArray.highWater, 0);
}

TEST_F(WizardDeployTest, TheDifficultyRaisesEachDeploymentFromTheSameRecord) {
  g_difficulty = 2;
  g_healthModify[2] = 20;
  g_manaModify[2] = 10;
  CWizard& wizard = Record(0);
  wizard.difficultyModifier = 50;
  for (int deployment = 0; deployment < 2; ++deployment) {
    ASSERT_EQ(wizard.SpawnCreature(1, 10, 10, 0), 1);
    const CCreature& c = C(g_armyTable.armies[1].wizardCreature);
    EXPECT_EQ(c.health, 110);  // 100 + 100 x (50 x 20 / 100) / 100
    EXPECT_EQ(c.maxMana, 52);  // 50 + 50 x 5 / 100
    EXPECT_EQ(wizard.maxHealth, 100);
    g_creatureArray.At(g_armyTable.armies[1].wizardCreature)->Detach();
  }
}

TEST_F(WizardDeployTest, TheLargestValuesAndDifficultiesStayInsideTheWizardsRange) {
  g_difficulty = 3;
  g_healthModify[3] = INT_MAX;
  g_manaModify[3] = INT_MIN;
  CWizard& wizard = Record(0);
  wizard.maxHealth = kWizardValueLimit;
  wizard.maxMana = kWizardValueLimit;
  wizard.difficultyModifier = kWizardValueLimit;
  ASSERT_EQ(wizard.SpawnCreature(1, 10, 10, 0), 1);
  CCreature& c = C(g_armyTable.armies[1].wizardCreature);
  EXPECT_EQ(c.health, kWizardValueLimit);
  EXPECT_EQ(c.maxMana, -kWizardValueLimit);
  EXPECT_EQ(c.mana, 0);  // no negative mana, however low the maximum
  c.SetMaxMana(INT_MAX);
  c.AddMana(INT_MAX);
  EXPECT_EQ(c.mana, INT_MAX);
  c.AddMana(INT_MIN);
  EXPECT_EQ(c.mana, 0);
}

TEST_F(WizardDeployTest, DeploysAtTheSiteTheHooksChoose) {
  struct Sites : IWizardHooks {
    int asked = -1;
    bool DeployWizardSite(int site, int area, int key, int& x, int& y, int& z) override {
      asked = key;
      x = 12;
      y = 14;
      z = 0;
      return site == 1;
    }
    bool PickPlaceOfPower(int, int& x, int& y, int& z) override {
      x = 30;
      y = 8;
      z = 0;
      return true;
    }
  } sites;
  HookScope<IWizardHooks> scope(g_wizardHooks, sites);
  CWizard& wizard = Record(0);
  wizard.deploymentKey = 5;
  EXPECT_EQ(wizard.Deploy(1, 2, 0, 0), 0);  // no such site
  EXPECT_EQ(wizard.deployed, 0);
  ASSERT_EQ(wizard.Deploy(1, 1, 0, 0), 1);
  EXPECT_EQ(sites.asked, 5);
  EXPECT_EQ(C(g_armyTable.armies[1].wizardCreature).cellX, 12);
  ASSERT_EQ(Record(1).Deploy(2, 1, 0, 1), 1);
  EXPECT_EQ(C(g_armyTable.armies[2].wizardCreature).cellX, 30);
}

// What the player first sees goes into its wizard's record once, through the table's
// answer to the creatures: creature types sighted, events and items taken, spells seen cast.
TEST_F(WizardDeployTest, ThePlayersWizardNotesWhatThePlayerFirstSeesOnce) {
  CWizard& rival = Record(0);
  rival.computer = 1;
  rival.textBlock.clear();      // a reset keeps a record's text block; this one has none
  CWizard& player = Record(2);  // no text block until the first note
  player.textBlock.clear();
  ASSERT_EQ(FindPlayerWizardIndex(), 2);
  const int enemy = Place(11, 2, 20, 20);
  const int own = Place(3, 1, 10, 10);
  C(enemy).SetSeenByArmy(1, 1, own);
  C(enemy).SetSeenByArmy(0, 1, -1);
  C(enemy).SetSeenByArmy(1, 1, own);    // seen again: not noted again
  C(own).AddEvent(100, 0, 0, 0, 0, 0);  // a magic item, id 3
  C(own).AddEvent(30, 0, 0, 0, 0, 0);   // events 28-49 share one note
  C(own).AddEvent(31, 0, 0, 0, 0, 0);
  C(enemy).AddEvent(45, 0, 0, 0, 0, 0);  // not the player's creature
  g_creatureWizards->NoteSeen(5, 44);
  const std::pair<int, int> expected[] = {{4, 11}, {6, 4}, {7, 28}, {5, 44}};
  ASSERT_EQ(player.NoticeCount(), 4);
  for (int i = 0; i < 4; ++i) {
    int kind = -1, number = -1;
    ASSERT_TRUE(player.NoticeAt(i, kind, number));
    EXPECT_EQ(std::make_pair(kind, number), expected[i]) << i;
    EXPECT_TRUE(player.HasSeen(kind, number));
  }
  EXPECT_TRUE(rival.textBlock.empty());
  // Numbers no flag holds are passed over.
  for (auto [kind, number] : {std::pair{5, 100}, std::pair{10, 1}, std::pair{-1, 0}, std::pair{4, -1}})
    g_creatureWizards->NoteSeen(kind, number);
  EXPECT_EQ(player.NoticeCount(), 4);
  // The list takes 20 notices; later things are still marked seen, once.
  for (int spell = 0; spell < 30; ++spell) g_creatureWizards->NoteSeen(5, spell);
  EXPECT_EQ(player.NoticeCount(), 20);
  EXPECT_TRUE(player.HasSeen(5, 29));
  int kind = 0, number = 0;
  ASSERT_TRUE(player.NoticeAt(19, kind, number));
  EXPECT_EQ(std::make_pair(kind, number), std::make_pair(5, 15));
  EXPECT_FALSE(player.NoticeAt(20, kind, number));
  EXPECT_TRUE(WizardTextBlockIsSound(player.textBlock));
  // Without a player's wizard nothing is noted anywhere.
  player.inUse = 0;
  g_creatureWizards->NoteSeen(4, 20);
  EXPECT_FALSE(player.HasSeen(4, 20));
  EXPECT_TRUE(rival.textBlock.empty());
}

}  // namespace
