// The battle screen's frame: what a pause stops and what goes on, the frame counter and the
// frame protocol, the end of a battle (the countdown of a lost campaign wizard, a defeated
// player who leaves), the battle clock's end, the victory items for the player's wizard, the
// blows the frame trace counts, and the computer player's experience written every 512 ticks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DirectBattleScreen.h"
#include "ai/Brain.h"
#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleCampaign.h"
#include "battle/BattleCreatures.h"
#include "battle/BattlePanels.h"
#include "battle/BattleSystems.h"
#include "battle/BattleWizards.h"
#include "battle/NamedList.h"
#include "battle/ScriptActors.h"
#include "core/GameSettings.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Random.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/WizardTable.h"
#include "graphics/BattleFacing.h"
#include "magic/Effect.h"
#include "magic/EffectBattle.h"
#include "magic/EffectManager.h"
#include "map/PathNetwork.h"
#include "net/NetBattle.h"
#include "net/NetMachine.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "support/TestSupport.h"
#include "ui/Screen.h"
#include "ui/SpeechCtrl.h"

namespace {

// Counts what the battle asked of the subsystems it drives.
struct RecordingSystems : IBattleSystems {
  int aiUpdates = 0, creatureUpdates = 0, scriptTicks = 0, kills = 0, visibility = 0;
  int reservedEffects = 0, otherEffects = 0;
  bool aiFinished = false;
  bool wizardFound = true;
  std::vector<std::pair<int, int>> queued;  // kind, first value
  std::vector<int> magicItems;
  void UpdateAI(int, int) override { ++aiUpdates; }
  void UpdateCreatures() override { ++creatureUpdates; }
  void ScriptTick() override { ++scriptTicks; }
  void KillAllCreatures() override { ++kills; }
  void UpdateCreatureVisibility() override { ++visibility; }
  void UpdateEffect(int slot) override { ++(slot < 100 ? reservedEffects : otherEffects); }
  bool AIFinished() override { return aiFinished; }
  bool FindPlayerWizard(const char*) override { return wizardFound; }
  void AddWizardQueuedEntry(int kind, const int32_t values[4]) override { queued.push_back({kind, values[0]}); }
  void AddWizardMagicItem(int item) override { magicItems.push_back(item); }
  void RewardPlayerWizard(const char* name, int experience) override { rewards.push_back({name, experience}); }
  std::vector<std::pair<std::string, int>> rewards;  // name, experience
};

// The campaign record's words as the battle sets them.
struct CampaignRecord : IBattleCampaign {
  void SetBattleResult(int result) override { battleResult = result; }
  void LeaveCampaign() override { ++left; }
  int battleResult = 0, left = 0;
};

// The screen below the battle on the stack.
struct CallerScreen : CScreen {
  void Update() override {}
  int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }
  int resumed = 0;
  void Resume() override { ++resumed; }
};

class BattleFrame : public DirectBattleScreen {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(StartBattle(&caller_, &systems_)); }

  RecordingSystems systems_;
  CallerScreen caller_;
};

TEST_F(BattleFrame, APauseStopsTheBattleButNotTheFramesOrTheReservedEffects) {
  Frames(5);
  EXPECT_EQ(battle_.frameNumber, 5);
  EXPECT_EQ(BattleState().gameTick, 5);
  EXPECT_EQ(systems_.creatureUpdates, 5);
  EXPECT_EQ(systems_.aiUpdates, 10);  // both controllers
  EXPECT_EQ(systems_.scriptTicks, 5);
  const int reserved = systems_.reservedEffects, others = systems_.otherEffects;
  EXPECT_GT(others, 0);

  // The pause key goes as a frame command; it runs on every machine two frames later.
  battle_.RequestPause();
  for (int i = 0; i < 4 && !battle_.paused; ++i) Frames(1);
  ASSERT_EQ(battle_.paused, 1);
  const int tick = BattleState().gameTick, creatures = systems_.creatureUpdates, ai = systems_.aiUpdates,
            scripts = systems_.scriptTicks, othersPaused = systems_.otherEffects,
            reservedPaused = systems_.reservedEffects, frame = battle_.frameNumber;
  const int framesRun = g_netClient.framesRun;
  Frames(10);
  EXPECT_EQ(BattleState().gameTick, tick);
  EXPECT_EQ(systems_.creatureUpdates, creatures);
  EXPECT_EQ(systems_.aiUpdates, ai);
  EXPECT_EQ(systems_.scriptTicks, scripts);
  EXPECT_EQ(systems_.otherEffects, othersPaused);
  EXPECT_EQ(systems_.reservedEffects, reservedPaused + 10 * 100);
  EXPECT_EQ(battle_.frameNumber, frame + 10);
  EXPECT_EQ(g_netClient.framesRun, framesRun + 10);
  EXPECT_GT(systems_.reservedEffects, reserved);

  battle_.RequestPause();
  for (int i = 0; i < 4 && battle_.paused; ++i) Frames(1);
  EXPECT_EQ(battle_.paused, 0);
  Frames(1);
  EXPECT_GT(BattleState().gameTick, tick);
}

TEST_F(BattleFrame, Every512thTickWritesTheCompleteExperience) {
  testing_support::TempDir dir(true);
  g_brain.Reset();
  g_brain.SetLearning(true);
  g_brain.CompleteExperience(g_brain.AddExperience(3, {1, 2}), 1);
  const int open = g_brain.AddExperience(3, {4, 5});
  BattleState().gameTick = 510;
  Frames(1);  // tick 511
  EXPECT_FALSE(platform::FileExists(kExperienceFileName));
  Frames(1);  // tick 512
  EXPECT_EQ(platform::FileSize(kExperienceFileName), 16 + 2 * 4);
  // The open entry stays for its decision to complete.
  g_brain.CompleteExperience(open, 0);
  EXPECT_EQ(g_brain.Entry(1).state, kExperienceComplete);
  g_brain.Reset();
}

// A camera on a straight road east: each step one map unit, and the screen shows the map's x
// as its own, so a speaker far east is a long glide away.
struct RoadCamera : ISpeechCamera {
  void CameraTile(int& x, int& y, int& level) override { x = y = level = 0; }
  void MoveCamera(int, int, int) override {}
  void ProjectToScreen(int x, int, int, int& screenX, int& screenY) override {
    screenX = x;
    screenY = 200;
  }
  int MapWidthTiles() override { return 1000; }
  int MapHeightTiles() override { return 1000; }
  int StartLine(int x0, int, int, int x1, int, int) override { return x1 - x0; }
  void StepLine(int& x, int&, int&) override { ++x; }
};

// A speech's pause lets the path network catch up, and however long the camera takes (it
// depends on this machine's view), the first paused frame finishes every pending check: the
// network is the same after one paused frame as after any number of them.
TEST_F(BattleFrame, ASpeechsPauseFinishesThePathChecksOnItsFirstFrame) {
  RoadCamera road;
  ISpeechCamera* camera = g_speechCamera;
  g_speechCamera = &road;
  g_pathNetwork.Clear();  // no nodes: each check is taken and dropped by one update
  for (int i = 0; i < 40; ++i) g_pathNetwork.checks[i] = CPathCheck{900 + i, 0, 1};
  Frames(2);
  ASSERT_TRUE(g_pathNetwork.HasPendingChecks());  // a network without nodes waits in frames that run
  SpeechRequest request;
  request.x = 30000, request.y = 0, request.level = 0;
  g_speechCtrl.Say(request, false, true);
  // The pause goes as a frame command; the frame that runs it is the first paused one.
  for (int i = 0; i < 4 && !battle_.paused; ++i) Frames(1);
  ASSERT_EQ(battle_.paused, 1);
  EXPECT_TRUE(g_speechCtrl.IsActive());  // still gliding
  EXPECT_FALSE(g_pathNetwork.HasPendingChecks());
  g_speechCtrl.Clear();
  g_pathNetwork.Clear();
  g_speechCamera = camera;
}

TEST_F(BattleFrame, TheFrameCountsOnlyOnceItsMessagesHaveRun) {
  Frames(3);
  // A frame far ahead has not arrived: the wait ends (the application quits) and the frame
  // is left, to be tried again with the same number.
  battle_.frameNumber = 40;
  platform::PostQuitMessage(0);
  battle_.Update();
  EXPECT_EQ(battle_.frameNumber, 40);
  EXPECT_EQ(BattleState().gameTick, 3);
  EXPECT_EQ(systems_.creatureUpdates, 3);
}

TEST_F(BattleFrame, ALostCampaignWizardEndsTheBattleOnThe121stFrame) {
  g_gameMode = kGameModeCampaign;
  battle_.endCountdownEnabled = 1;
  battle_.wizardLostByEffect = 1;
  Frames(120);
  EXPECT_TRUE(BattleOnTop());
  EXPECT_EQ(battle_.endScreenShown, 0);
  Frames(1);  // the 121st: the end is asked for and shown
  EXPECT_TRUE(BattleOnTop());
  EXPECT_EQ(battle_.endScreenShown, 1);
  EXPECT_EQ(battle_.endScreenWon, 0);
  Frames(1);
  EXPECT_FALSE(BattleOnTop());
  EXPECT_EQ(caller_.resumed, 1);
}

// The effects tell the battle when a trap takes the local wizard: that is the wizard lost by an
// effect, and the end countdown starts on the next frame.
TEST_F(BattleFrame, AWizardTakenByATrapIsLostAndTheEndCountdownStarts) {
  g_gameMode = kGameModeCampaign;
  battle_.endCountdownEnabled = 1;
  Frames(1);
  EXPECT_EQ(battle_.endCountdownRunning, 0);
  g_effectBattle->LocalWizardTrapped();
  EXPECT_EQ(battle_.wizardLostByEffect, 1);
  Frames(1);
  EXPECT_EQ(battle_.endCountdownRunning, 1);
  EXPECT_EQ(battle_.endCountdown, CBattle::kEndCountdownFrames - 1);
}

// One answer to the effects' calls: the panels (installed at the program's start, here after the
// battle) answer a trap on the local wizard and a countdown's defeat as the battle does.
TEST_F(BattleFrame, WithThePanelsUpATrappedWizardLosesWithTheDefeatMessage) {
  struct Defeats : IScriptBattleEnd {
    std::string DefeatMessage(int n) override { return "defeat " + std::to_string(n); }
  } defeats;
  HookScope<IScriptBattleEnd> defeatScope(g_scriptBattleEnd, defeats);
  IEffectBattle* battleAnswer = g_effectBattle.Get();
  InstallBattlePanels();
  EXPECT_EQ(g_effectBattle.Get(), battleAnswer);
  g_gameMode = kGameModeCampaign;
  battle_.endCountdownEnabled = 1;
  Frames(1);
  g_effectBattle->LocalWizardTrapped();
  g_effectBattle->EndWithDefeatMessage(2);
  EXPECT_EQ(battle_.wizardLostByEffect, 1);
  EXPECT_EQ(defeats.endMessage, "defeat 2");
  Frames(1);
  EXPECT_EQ(battle_.endCountdownRunning, 1);
}

TEST_F(BattleFrame, ADefeatedPlayerWithAnArmyLeavesWithoutTheEndScreen) {
  g_gameMode = kGameModeCampaign;
  battle_.endRequested = 1;
  Frames(1);
  EXPECT_EQ(battle_.endScreenShown, 0);
  EXPECT_TRUE(BattleOnTop());
  Frames(1);
  EXPECT_FALSE(BattleOnTop());
  EXPECT_EQ(battle_.endScreenShown, 0);
}

TEST_F(BattleFrame, QuickBattlesHaveNoCountdownAndEndWhenOnlyComputersAreLeft) {
  g_gameMode = kGameModeQuickBattle;
  battle_.endCountdownEnabled = 0;
  battle_.victoryReached = 1;
  Frames(200);
  EXPECT_TRUE(BattleOnTop());
  g_aiOnlyEnd = 1;
  Frames(1);
  EXPECT_TRUE(BattleOnTop());  // the computer players are still at work
  systems_.aiFinished = true;
  Frames(1);
  EXPECT_FALSE(BattleOnTop());
}

// A won campaign battle: the realm view hears of it, and the player's wizard counts one more
// victory toward its rank and gains the sum of the battle's awards.
TEST_F(BattleFrame, AWonCampaignBattleRewardsThePlayersWizard) {
  CampaignRecord campaign;
  HookScope<IBattleCampaign> campaignScope(g_battleCampaign, campaign);
  GetNamedList()->Clear();
  GetNamedList()->Add(300, "Held the ford", -1);
  GetNamedList()->Add(150, "Saved the miller", 12);
  g_gameMode = kGameModeCampaign;
  g_battleSetup.region = 1;
  battle_.victoryReached = 1;
  battle_.endRequested = 1;
  Frames(1);
  EXPECT_EQ(battle_.endScreenShown, 1);
  EXPECT_EQ(battle_.endScreenWon, 1);
  EXPECT_EQ(campaign.battleResult, kBattleResultWon);
  EXPECT_EQ(campaign.left, 0);
  ASSERT_EQ(systems_.rewards.size(), 1u);
  EXPECT_EQ(systems_.rewards[0].first, "Edric");
  EXPECT_EQ(systems_.rewards[0].second, 450);
  GetNamedList()->Clear();
  g_battleSetup.region = -1;
}

// Lost in the realm's first region, with the wizard gone: the campaign is over, and nothing is
// rewarded.
TEST_F(BattleFrame, ACampaignLostInTheFirstRegionEndsTheCampaign) {
  CampaignRecord campaign;
  HookScope<IBattleCampaign> campaignScope(g_battleCampaign, campaign);
  g_gameMode = kGameModeCampaign;
  g_battleSetup.region = 1;
  battle_.wizardLostByEffect = 1;
  battle_.endRequested = 1;
  Frames(1);
  EXPECT_EQ(battle_.endScreenShown, 1);
  EXPECT_EQ(battle_.endScreenWon, 0);
  EXPECT_EQ(campaign.battleResult, 0);
  EXPECT_EQ(campaign.left, 1);
  EXPECT_TRUE(systems_.rewards.empty());
  g_battleSetup.region = -1;
}

// The reward on the wizard record: the rank counter steps (the rank follows its thresholds)
// and the experience is added to what the wizard has not spent.
TEST(BattleVictory, TheRewardAdvancesTheRankCounterAndAddsTheExperience) {
  g_wizardTable.Clear();
  // A name no earlier test gave a record (a cleared record keeps its name), and the thresholds
  // and the record's words as this test needs them, whatever ran before.
  const int savedThreshold = g_spUpgradeLevel[0];
  g_spUpgradeLevel[0] = 3;
  CWizard& edric = g_wizardTable.records[2];
  edric.inUse = 1;
  edric.computer = 0;
  edric.rank = 1;
  std::snprintf(edric.name, sizeof edric.name, "%s", "Rewardine");
  edric.experience = 40;
  edric.rankCounter = g_spUpgradeLevel[0] - 1;
  RewardWinner("Rewardine", 450);
  EXPECT_EQ(edric.experience, 490);
  EXPECT_EQ(edric.rankCounter, g_spUpgradeLevel[0]);
  EXPECT_EQ(edric.rank, 2);
  RewardWinner("Morwen", 100);  // no such record: nothing happens
  EXPECT_EQ(edric.experience, 490);
  g_wizardTable.Clear();
  g_spUpgradeLevel[0] = savedThreshold;
}

TEST_F(BattleFrame, TheClockAtZeroKillsEveryCreatureOnTheFollowingFrames) {
  battle_.timedBattle = 1;
  g_battleClock = 3;
  Frames(2);
  EXPECT_EQ(systems_.kills, 0);
  battle_.SetBattleTimer(0);
  Frames(3);
  EXPECT_EQ(systems_.kills, 3);
  g_battleClock = -1;
}

TEST(BattleVictory, WonItemsGoToThePlayersWizardByKind) {
  RecordingSystems systems;
  HookScope<IBattleSystems> scope(g_battleSystems, systems);
  CBattle battle;
  battle.victoryReached = 1;
  // {kind, joins the item list, magic item number (-1 none)}
  struct Case {
    int kind;
    bool queued;
    int magic;
  };
  const Case cases[] = {{0, false, -1}, {4, false, -1}, {5, true, -1},   {6, false, -1},
                        {7, true, -1},  {18, true, -1}, {19, false, -1}, {20, true, -1},
                        {96, true, -1}, {97, false, 0}, {100, false, 3}, {121, false, 24}};
  battle.wonItemCount = 0;
  for (const Case& c : cases) {
    CBattle::WonItem& item = battle.wonItems[battle.wonItemCount++];
    item.kind = c.kind;
    item.values[0] = c.kind * 10;
    item.present = 1;
  }
  battle.wonItems[battle.wonItemCount++] = CBattle::WonItem{9, {1, 2, 3, 4}, 0};  // not present
  EXPECT_TRUE(battle.EvaluateVictory());
  EXPECT_EQ(battle.victory, 1);
  std::vector<std::pair<int, int>> queued;
  std::vector<int> magic;
  for (const Case& c : cases) {
    if (c.queued) queued.push_back({c.kind, c.kind * 10});
    if (c.magic >= 0) magic.push_back(c.magic);
  }
  EXPECT_EQ(systems.queued, queued);
  EXPECT_EQ(systems.magicItems, magic);

  // No victory: nothing is given.
  CBattle lost;
  lost.wonItems[0] = CBattle::WonItem{5, {1, 0, 0, 0}, 1};
  lost.wonItemCount = 1;
  systems.queued.clear();
  EXPECT_FALSE(lost.EvaluateVictory());
  EXPECT_EQ(lost.victoryEvaluated, 1);
  EXPECT_TRUE(systems.queued.empty());
}

// A blow a creature strikes reaches the frame trace's count of its army, which reading takes.
TEST(BattleTraceCounts, BlowsAreCountedByArmyAndReadOnce) {
  InstallBattle();
  CBattleCreatures creatures;
  for (int army : {1, 1, 2, 9}) g_creatureBattle->NoteBlow(army);  // 9 is no army
  EXPECT_EQ(creatures.ArmyCounts(1).blows, 2);
  EXPECT_EQ(creatures.ArmyCounts(2).blows, 1);
  EXPECT_EQ(creatures.ArmyCounts(1).blows, 0);
  UninstallBattle();
}

// A new battle's first frame counts only its own creatures: neither a place of the battle
// before (in the same slot) nor a blow left unread reaches it.
TEST(BattleTraceCounts, ANewBattleStartsItsCountsAfresh) {
  InstallBattle();
  CBattleCreatures creatures;
  const auto place = [](int x, int y) {
    CCreature* creature = g_creatureArray.At(0);
    creature->inUse = 1;
    creature->army = 1;
    creature->cellX = x;
    creature->cellY = y;
    creature->level = 0;
  };
  place(3, 4);
  creatures.ArmyCounts(1);
  place(5, 4);
  EXPECT_EQ(creatures.ArmyCounts(1).moved, 1);  // within a battle a step counts
  g_creatureBattle->NoteBlow(1);

  creatures.ResetCreatures();
  place(20, 30);
  const ArmyFrameCounts first = creatures.ArmyCounts(1);
  EXPECT_EQ(first.moved, 0);
  EXPECT_EQ(first.blows, 0);
  creatures.ResetCreatures();
  UninstallBattle();
}

}  // namespace
